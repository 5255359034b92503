// The module's report of itself to the document-monitor database, read back from the table the
// procedures fill, and reports that cannot reach their server.
#include "DatabaseFixture.h"
#include "database/DatabaseExceptions.h"
#include "database/ModuleDetails.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"

namespace qv::test {
namespace {

class ModuleDetailsTest : public ModuleDatabaseTest {
  protected:
    // The row of the module "VRK" as "description|version|build date|running count", in the
    // catalogue the module always reports to, which every test shares.
    std::string recorded() const {
        CSQLStatement statement(server(), db().sharedCatalog.c_str(), user(), password(), 10);
        CRecordsetReader row(statement.execSQLReturn(
            L"SELECT description, version, build_date, running_count FROM modules "
            L"WHERE name = 'VRK'"));
        CString description, version;
        COleDateTime built;
        int count = 0;
        if (row.next()) {
            row.read(L"description", description);
            row.read(L"version", version);
            row.read(L"build_date", built);
            row.read(L"running_count", count);
        }
        return narrow(description + L"|" + version + L"|" + built.Format(L"%Y-%m-%d %H:%M:%S") +
                      L"|") +
               std::to_string(count);
    }
};

// Everything that writes the row of "VRK" is in this one test, so no two tests write it at once.
TEST_F(ModuleDetailsTest, RecordsTheModulesDetailsAndEachTimeItRuns) {
    CModuleDetails details;
    details.setModDetails(server(), user(), password(), 10);
    const std::string row = recorded();
    const std::string details64 =
        "ORVAN Halcyra compatible with 64bit BricsCAD 15|64.04.00.01|2014-11-24 00:00:00|";
    ASSERT_EQ(details64, row.substr(0, details64.size()));  // the version whole, not cut to 8
    const int count = std::stoi(row.substr(details64.size()));
    for (int run = 1; run <= 2; ++run) {
        details.setModuleRunning(server(), user(), password(), 10);
        EXPECT_EQ(details64 + std::to_string(count + run), recorded());
    }
}

TEST_F(ModuleDetailsTest, AReportThatCannotConnectNamesTheCatalogueAndTheDriversError) {
    CModuleDetails details;
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { details.setModDetails(L"127.0.0.1,1", user(), password(), 5); }, "setModDetails"},
        {[&] { details.setModuleRunning(server(), user(), L"wrong", 5); }, "setModuleRunning"},
    };
    for (const auto& [run, operation] : cases) {
        SCOPED_TRACE(operation);
        Chain error = caught(run);
        ASSERT_TRUE(error);
        EXPECT_EQ("ModuleDetails::CModuleDetails::" + std::string(operation),
                  narrow(error->getClass() + L"::" + error->getProcSig()));
        const CEXOrvan* connection = error->getInnerException();
        ASSERT_TRUE(dynamic_cast<const CEXConnection*>(connection));
        EXPECT_EQ(CString(L"An error occurred whilst connecting to docMon"),
                  connection->getDescription());
        EXPECT_TRUE(connection->getInnerException());
    }
}

}  // namespace
}  // namespace qv::test
