// Calls that the database refuses arrive as one error object naming the operation, with the
// driver's message as its description; the object serves the next call afterwards.
#include <chrono>
#include <functional>

#include "DatabaseFixture.h"
#include "database/DatabaseExceptions.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"

namespace qv::test {
namespace {

class CallFailureTest : public ModuleDatabaseTest {};

TEST_F(CallFailureTest, RefusedCallsArriveAsTheOperationsErrorWithTheDriversMessage) {
    struct Case {
        const wchar_t* procedure;
        int timeout;
        std::function<void(CParameters&)> fill;
        std::function<void(CStoredProcedure&)> run;
        const char* procSig;
        const char* message;  // a part of the driver's message
    };
    const auto inOnly = [](CStoredProcedure& p) { p.execSPNoReturnParas(); };
    const auto none = [](CParameters&) {};
    const auto add = [](std::function<CParameter*()> make) {
        return [make](CParameters& l) { l.add(make()); };
    };
    const Case cases[] = {
        {L"__nosuch", 30, none, [](CStoredProcedure& p) { p.execSPNoReturnNoParas(); },
         "execSPNoReturnNoParas", "__nosuch"},
        {L"__test_fail", 30,
         add([] { return text<CParameterVarChar>(L"@message", 1, 100, L"The room is locked."); }),
         inOnly, "execSPNoReturnParas", "The room is locked."},
        {L"__test_fail", 30,
         add([] { return text<CParameterVarChar>(L"@message", 1, 5, L"123456"); }),
         [](CStoredProcedure& p) { p.execSPReturnParas(); }, "execSPReturnParas", "@message"},
        {L"__test_textOut", 30,
         [](CParameters& l) {
             l.add(parameter<CParameterInt>(L"@length", 1, 11));  // one more than fits
             l.add(text<CParameterVarChar>(L"@text", 2, 10, L""));
         },
         [](CStoredProcedure& p) { p.execSPNoReturnParasReturn(); }, "execSPNoReturnParasReturn",
         "@text"},
        {L"__test_sleep", 1, add([] { return parameter<CParameterInt>(L"@seconds", 1, 5); }),
         inOnly, "execSPNoReturnParas", "timeout"},
    };
    auto call = procedure(L"");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.procSig + std::string(" ") + c.message);
        call->setName(c.procedure);
        call->setTimeout(c.timeout);
        CAttachedParameters list(call.get(), new CParameters);
        c.fill(*list.get());
        const auto started = std::chrono::steady_clock::now();
        Chain error = caught([&] { c.run(*call); });
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
        EXPECT_LT(took.count(), 4.0);  // the time-out ends the 5-second sleep

        ASSERT_TRUE(dynamic_cast<CEXUnhandled*>(error.get()));
        EXPECT_EQ(nullptr, error->getInnerException());
        EXPECT_EQ("StoredProcedure::CStoredProcedure::" + std::string(c.procSig),
                  narrow(error->getClass() + L"::" + error->getProcSig()));
        EXPECT_EQ("Microsoft OLE DB Provider for ODBC Drivers", narrow(error->getSource()));
        EXPECT_EQ(2, error->getSeverity());
        EXPECT_NE(std::string::npos, narrow(error->getDescription()).find(c.message))
            << narrow(error->getDescription());

        // The connection serves the next call.
        call->setName(L"__test_noParameters");
        call->setTimeout(30);
        EXPECT_TRUE(CRecordsetReader(call->execSPReturnNoParas()).next());
    }
}

TEST_F(CallFailureTest, StatementsRunOnTheirConnectionAndRefusedOnesRaiseCEXSQLStatement) {
    CSQLStatement statement(server(), catalog(), user(), password(), 10);
    EXPECT_EQ(1, statement.execSQLNoReturn(L"CREATE TEMPORARY TABLE seen (n integer)"));
    EXPECT_EQ(1, statement.execSQLNoReturn(L"INSERT INTO seen VALUES (1), (NULL), (3)"));
    EXPECT_EQ(1, statement.execSQLNoReturn(L"UPDATE seen SET n = 0 WHERE false"));  // no rows
    CRecordsetReader rows(statement.execSQLReturn(L"SELECT n FROM seen ORDER BY n"));
    std::vector<int> seen;
    for (int n = -1; rows.next(); n = -1) {
        rows.read(L"n", n);
        seen.push_back(n);
    }
    EXPECT_EQ((std::vector<int>{1, 3, -1}), seen);

    const std::pair<std::function<void()>, const char*> refused[] = {
        {[&] { statement.execSQLReturn(L"SELECT * FROM nosuch"); }, "execSQLReturn"},
        {[&] { statement.execSQLNoReturn(L"SELECT * FROM nosuch"); }, "execSQLNoReturn"},
    };
    for (const auto& [run, operation] : refused) {
        Chain error = caught(run);
        ASSERT_TRUE(dynamic_cast<CEXSQLStatement*>(error.get())) << operation;
        EXPECT_EQ("SQLStatement::CSQLStatement::" + std::string(operation),
                  narrow(error->getClass() + L"::" + error->getProcSig()));
        EXPECT_NE(std::string::npos, narrow(error->getDescription()).find("nosuch"));
    }
}

}  // namespace
}  // namespace qv::test
