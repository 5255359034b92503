#include "support/TestDatabase.h"

#include <unistd.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "comdef.h"
#include "msado15.h"
#include "win32/CodePage.h"

namespace qv::test {
namespace {

bool read(const char* name, std::wstring& out) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return false;
    }
    out = qv::utf8ToWide(value);
    return true;
}

// In double quotes, with quotes doubled: an SQL identifier, or a connection-string value.
std::wstring doubleQuoted(std::wstring_view text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        out += c;
        if (c == L'"') {
            out += L'"';
        }
    }
    return out + L"\"";
}

// Runs each statement on a connection to the server's maintenance catalogue (CREATE and DROP
// DATABASE run outside every catalogue they name). An error comes back as its text; none as "".
std::string onServer(const TestDatabase& db, std::initializer_list<std::wstring> statements) {
    TestDatabase maintenance = db;
    maintenance.catalog = L"postgres";
    try {
        _ConnectionPtr connection;
        if (FAILED(connection.CreateInstance(L"ADODB.Connection"))) {
            return "no ADODB.Connection";
        }
        connection->PutConnectionTimeout(10);
        connection->PutCommandTimeout(60);
        connection->Open(maintenance.connectionString().c_str(), L"", L"", adConnectUnspecified);
        for (const std::wstring& statement : statements) {
            connection->Execute(statement.c_str(), nullptr, static_cast<long>(adCmdText) | static_cast<long>(adExecuteNoRecords));
        }
        connection->Close();
    } catch (const _com_error& e) {
        const _bstr_t description = e.Description();
        const wchar_t* text = description;
        return text != nullptr && *text != L'\0' ? qv::wideToUtf8(text)
                                                 : "an error without a description";
    }
    return "";
}

}  // namespace

const TestDatabase* TestDatabase::fromEnvironment() {
    static const TestDatabase* const described = []() -> const TestDatabase* {
        static TestDatabase db;
        bool complete =
            read("QV_TEST_DB_SERVER", db.server) && read("QV_TEST_DB_CATALOG", db.catalog) &&
            read("QV_TEST_DB_TEMPLATE", db.templateCatalog) &&
            read("QV_TEST_DB_USER", db.user) && read("QV_TEST_DB_PASSWORD", db.password) &&
            read("QV_TEST_DB_ODD_USER", db.oddUser) &&
            read("QV_TEST_DB_ODD_PASSWORD", db.oddPassword);
        db.sharedCatalog = db.catalog;
        return complete ? &db : nullptr;
    }();
    return described;
}

std::wstring connectionStringValue(std::wstring_view value) {
    bool quote = value.find_first_of(L";\"'") != std::wstring_view::npos ||
                 (!value.empty() && (value.front() == L' ' || value.back() == L' '));
    return quote ? doubleQuoted(value) : std::wstring(value);
}

std::wstring TestDatabase::connectionString(std::wstring_view userId, std::wstring_view pwd) const {
    return L"Provider=SQLOLEDB;Data Source=" + connectionStringValue(server) +
           L";Initial Catalog=" + connectionStringValue(catalog) + L";User Id=" +
           connectionStringValue(userId) + L";Password=" + connectionStringValue(pwd) + L";";
}

std::string DatabaseCopy::make() {
    drop();
    const TestDatabase* described = TestDatabase::fromEnvironment();
    if (described == nullptr) {
        return "The test database is not described (QV_TEST_DB_SERVER and the rest are not "
               "set). Run the tests through scripts/test, or start a server with "
               "eval \"$(scripts/testdb start)\" and stop it with scripts/testdb stop.";
    }
    // A name no other process uses while this one lives; a copy a crashed process with the same
    // id left behind is dropped first.
    static int copies = 0;
    m_db = *described;
    m_db.catalog = described->sharedCatalog + L"_" + std::to_wstring(getpid()) + L"_" +
                   std::to_wstring(++copies);
    const std::wstring name = doubleQuoted(m_db.catalog);
    const std::string error =
        onServer(m_db, {L"DROP DATABASE IF EXISTS " + name + L" WITH (FORCE)",
                        L"CREATE DATABASE " + name + L" TEMPLATE " +
                            doubleQuoted(described->templateCatalog)});
    if (!error.empty()) {
        return "The test's own copy of the test database could not be made: " + error;
    }
    m_made = true;
    return "";
}

void DatabaseCopy::drop() {
    if (!m_made) {
        return;
    }
    m_made = false;
    const std::string error =
        onServer(m_db, {L"DROP DATABASE " + doubleQuoted(m_db.catalog) + L" WITH (FORCE)"});
    EXPECT_EQ(error, "") << "the test's own copy of the test database was not dropped";
}

void DatabaseTest::SetUp() {
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
    const std::string error = m_copy.make();
    if (!error.empty()) {
        FAIL() << error;
    }
}

void DatabaseTest::TearDown() {
    m_copy.drop();
    if (m_comInitialised) {
        CoUninitialize();
    }
}

}  // namespace qv::test
