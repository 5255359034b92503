#include "support/TestDatabase.h"

#include <cstdlib>

#include "comdef.h"
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

}  // namespace

const TestDatabase* TestDatabase::fromEnvironment() {
    static const TestDatabase* const described = []() -> const TestDatabase* {
        static TestDatabase db;
        bool complete =
            read("QV_TEST_DB_SERVER", db.server) && read("QV_TEST_DB_CATALOG", db.catalog) &&
            read("QV_TEST_DB_USER", db.user) && read("QV_TEST_DB_PASSWORD", db.password) &&
            read("QV_TEST_DB_ODD_USER", db.oddUser) &&
            read("QV_TEST_DB_ODD_PASSWORD", db.oddPassword);
        return complete ? &db : nullptr;
    }();
    return described;
}

std::wstring connectionStringValue(std::wstring_view value) {
    bool quote = value.find_first_of(L";\"'") != std::wstring_view::npos ||
                 (!value.empty() && (value.front() == L' ' || value.back() == L' '));
    if (!quote) {
        return std::wstring(value);
    }
    std::wstring out = L"\"";
    for (wchar_t c : value) {
        out += c;
        if (c == L'"') {
            out += L'"';
        }
    }
    return out + L"\"";
}

std::wstring TestDatabase::connectionString(std::wstring_view userId, std::wstring_view pwd) const {
    return L"Provider=SQLOLEDB;Data Source=" + connectionStringValue(server) +
           L";Initial Catalog=" + connectionStringValue(catalog) + L";User Id=" +
           connectionStringValue(userId) + L";Password=" + connectionStringValue(pwd) + L";";
}

void DatabaseTest::SetUp() {
    m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
    m_db = TestDatabase::fromEnvironment();
    if (m_db == nullptr) {
        FAIL() << "The test database is not described (QV_TEST_DB_SERVER and the rest are not "
                  "set). Run the tests through scripts/test, or start a server with "
                  "eval \"$(scripts/testdb start)\" and stop it with scripts/testdb stop.";
    }
}

void DatabaseTest::TearDown() {
    if (m_comInitialised) {
        CoUninitialize();
    }
}

}  // namespace qv::test
