// Failures of the database and its driver arrive as _com_error with the driver's message, and
// the connection's Errors collection holds the driver's diagnostics.
#include <chrono>
#include <functional>

#include "AdoTestSupport.h"

namespace qv::test {
namespace {

constexpr const char* kProvider = "Microsoft OLE DB Provider for ODBC Drivers";

class AdoFailureTest : public AdoTest {};

TEST_F(AdoFailureTest, ConnectionsThatCannotBeMade) {
    struct Case {
        const char* what;
        std::wstring connectionString;
        HRESULT hr;
        const char* message;  // a part of the driver's message
    };
    const TestDatabase& d = db();
    const Case cases[] = {
        {"no server on the port",
         L"Provider=SQLOLEDB;Data Source=127.0.0.1,1;Initial Catalog=docMon;User Id=u;Password=p",
         E_FAIL, "127.0.0.1"},
        {"wrong password", d.connectionString(d.user, L"not the password"), E_FAIL,
         "password authentication failed"},
        {"unknown catalogue",
         L"Provider=SQLOLEDB;Data Source=" + d.server + L";Initial Catalog=nosuch;User Id=" +
             d.user + L";Password=" + d.password,
         E_FAIL, "nosuch"},
        {"unquoted semicolon in the password",
         L"Provider=SQLOLEDB;Data Source=" + d.server + L";User Id=u;Password=a;b;", E_FAIL,
         "starting at index"},
    };
    for (const Case& c : cases) {
        _ConnectionPtr connection(L"ADODB.Connection");
        connection->PutConnectionTimeout(5);
        std::optional<Raised> raised =
            raisedBy([&] { connection->Open(c.connectionString.c_str(), L"", L"", -1); });
        ASSERT_TRUE(raised) << c.what;
        EXPECT_EQ(raised->hr, c.hr) << c.what;
        EXPECT_NE(raised->description.find(c.message), std::string::npos)
            << c.what << ": " << raised->description;
        EXPECT_EQ(raised->source, kProvider) << c.what;
        EXPECT_EQ(connection->GetState(), adStateClosed) << c.what;
        ErrorsPtr errors = connection->GetErrors();
        ASSERT_GE(errors->GetCount(), 1) << c.what;
        EXPECT_EQ(narrow(errors->GetItem(0L)->GetDescription()), raised->description) << c.what;
    }
}

TEST_F(AdoFailureTest, CallsThatTheDatabaseRefuses) {
    struct Case {
        const char* what;
        const wchar_t* procedure;
        std::function<void(const _CommandPtr&)> parameters;
        long timeout;
        HRESULT hr;
        const char* message;
    };
    const Case cases[] = {
        {"unknown procedure", L"__nosuch", [](const _CommandPtr&) {}, 30,
         static_cast<HRESULT>(0x80040E14), "__nosuch"},
        {"unknown catalogue-qualified procedure", L"[idr]..[nosuch]", [](const _CommandPtr&) {}, 30,
         static_cast<HRESULT>(0x80040E14), "nosuch"},
        {"a name that is no name", L"__test_fail(1); --", [](const _CommandPtr&) {}, 30,
         static_cast<HRESULT>(0x80040E14), "not a valid name"},
        {"the procedure's own error", L"__test_fail",
         [](const _CommandPtr& c) {
             AdoTest::add(c, L"@message", adVarChar, adParamInput, 100,
                          _variant_t(L"The room is locked; try later."));
         },
         30, static_cast<HRESULT>(0x80040E14), "The room is locked; try later."},
        {"text longer than its declared size", L"__test_fail",
         [](const _CommandPtr& c) {
             AdoTest::add(c, L"@message", adVarChar, adParamInput, 5, _variant_t(L"123456"));
         },
         30, static_cast<HRESULT>(0x80040E57), "@message"},
        {"fixed text longer than its declared size", L"__test_fail",
         [](const _CommandPtr& c) {
             AdoTest::add(c, L"@message", adChar, adParamInput, 8, _variant_t(L"64.04.00.01"));
         },
         30, static_cast<HRESULT>(0x80040E57), "declared size 8"},
        {"output longer than its declared size", L"__test_textOut",
         [](const _CommandPtr& c) {
             AdoTest::add(c, L"@length", adInteger, adParamInput, 4, _variant_t(11L));
             AdoTest::add(c, L"@text", adVarChar, adParamOutput, 10, _variant_t());
         },
         30, static_cast<HRESULT>(0x80040E57), "@text"},
        {"time-out", L"__test_sleep",
         [](const _CommandPtr& c) {
             AdoTest::add(c, L"@seconds", adInteger, adParamInput, 4, _variant_t(5L));
         },
         1, static_cast<HRESULT>(0x80040E31), "timeout"},
    };
    _ConnectionPtr connection = open();
    for (const Case& c : cases) {
        _CommandPtr command = procedure(connection, c.procedure, c.timeout);
        c.parameters(command);
        auto started = std::chrono::steady_clock::now();
        std::optional<Raised> raised =
            raisedBy([&] { command->Execute(nullptr, nullptr, adCmdStoredProc); });
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
        ASSERT_TRUE(raised) << c.what;
        EXPECT_EQ(raised->hr, c.hr) << c.what << ": " << raised->description;
        EXPECT_NE(raised->description.find(c.message), std::string::npos)
            << c.what << ": " << raised->description;
        EXPECT_EQ(raised->source, kProvider) << c.what;
        EXPECT_LT(seconds.count(), 4.0) << c.what;  // the time-out ends the 5-second sleep

        // The driver's diagnostics stay in the connection's Errors, the first one being the
        // error's description.
        ErrorsPtr errors = connection->GetErrors();
        ASSERT_GE(errors->GetCount(), 1) << c.what;
        EXPECT_EQ(narrow(errors->GetItem(0L)->GetDescription()), raised->description) << c.what;
        EXPECT_EQ(errors->GetItem(0L)->GetNumber(), c.hr) << c.what;
        EXPECT_EQ(narrow(errors->GetItem(0L)->GetSource()), kProvider) << c.what;
        EXPECT_EQ(narrow(errors->GetItem(0L)->GetSQLState()).size(), 5u) << c.what;

        // The connection serves the next call, which starts with no errors.
        _CommandPtr next = procedure(connection, L"__test_rows");
        add(next, L"@count", adInteger, adParamInput, 4, _variant_t(1L));
        EXPECT_EQ(next->Execute(nullptr, nullptr, adCmdStoredProc)->GetRecordCount(), 1) << c.what;
        EXPECT_EQ(connection->GetErrors()->GetCount(), 0) << c.what;
    }
}

TEST_F(AdoFailureTest, KeepsTheDriversNativeErrorAndState) {
    _ConnectionPtr connection = open();
    _CommandPtr command = procedure(connection, L"__nosuch");
    ASSERT_TRUE(raisedBy([&] { command->Execute(nullptr, nullptr, adCmdStoredProc); }));
    ErrorPtr error = connection->GetErrors()->GetItem(0L);
    EXPECT_EQ(narrow(error->GetSQLState()), "42883");  // PostgreSQL: undefined function
    EXPECT_NE(error->GetNativeError(), 0);
}

}  // namespace
}  // namespace qv::test
