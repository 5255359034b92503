// A module for the batch-run acceptance case. No command of the real module starts the report
// batch run; a host that wants batch reports drives it, as this module does:
//   qvplan    saves the current drawing as the reports' plan, C:\accept\plans\floor.dwg
//   qvbatch   asks for the status that marks waiting reports, connects to the test database
//             that scripts/testdb started (QV_TEST_DB_SERVER, _CATALOG, _USER, _PASSWORD), puts
//             the case's reports (ids 921 to 929) in that status, fetches the reports waiting
//             in it, runs them, and prints each report's id, title, recorded status and the
//             layout recorded as plotted.
#include <cstdlib>
#include <memory>

#include "StdAfx.h"

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"
#include "database/StoredProcedure.h"
#include "reports/GraphicReport.h"
#include "reports/GraphicReports.h"

namespace {

constexpr const ACHAR* kGroup = L"QV_BATCH_RUN";

CString fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? CString(value) : CString();
}

struct Connection {
    CString server = fromEnvironment("QV_TEST_DB_SERVER");
    CString catalog = fromEnvironment("QV_TEST_DB_CATALOG");
    CString user = fromEnvironment("QV_TEST_DB_USER");
    CString password = fromEnvironment("QV_TEST_DB_PASSWORD");
};

void savePlan() {
    const Acad::ErrorStatus status =
        acDocManager->curDocument()->database()->saveAs(L"C:\\accept\\plans\\floor.dwg");
    acutPrintf(status == Acad::eOk ? L"Plan saved.\n" : L"Plan not saved: status %d.\n",
               static_cast<int>(status));
}

void runBatch() {
    int status = 0;
    if (acedGetInt(L"\nStatus of the waiting reports: ", &status) != RTNORM)
        return;
    const Connection db;
    if (db.server.IsEmpty()) {
        acutPrintf(L"No test database is described (QV_TEST_DB_SERVER).\n");
        return;
    }
    const bool comInitialised = SUCCEEDED(CoInitialize(nullptr));
    try {
        {
            CSQLStatement statement(db.server, db.catalog, db.user, db.password, 10);
            statement.execSQLNoReturn(
                static_cast<LPCTSTR>(L"UPDATE graphic_reports SET status_id = " +
                                     CUtilities::IntToCString(status) +
                                     L", plotted_layout = NULL WHERE id BETWEEN 921 AND 929"));
        }
        CStoredProcedure procedure(db.server, db.catalog, db.user, db.password, 30);
        CGraphicReports reports;
        reports.getGraphicReports(&procedure, nullptr, status, 30);
        acutPrintf(L"%d report(s) waiting.\n", reports.getCount());
        reports.prepareReports(&procedure, 30);

        CSQLStatement statement(db.server, db.catalog, db.user, db.password, 10);
        for (int i = 0; i < reports.getCount(); i++) {
            const CGraphicReport* report = reports.getAt(i);
            CRecordsetReader rows(statement.execSQLReturn(static_cast<LPCTSTR>(
                L"SELECT status_id::integer AS status, plotted_layout FROM graphic_reports "
                L"WHERE id = " +
                CUtilities::IntToCString(report->getID()))));
            int recorded = -1;
            CString layout = L"-";
            if (rows.next()) {
                rows.read(L"status", recorded);
                rows.read(L"plotted_layout", layout);
            }
            rows.close();
            acutPrintf(L"Report %d %s: status %d, plotted layout %s\n", report->getID(),
                       report->getTitle().GetString(), recorded, layout.GetString());
        }
    } catch (CEXOrvan* e) {
        e->printErrorChain();
        e->deleteChain();
    }
    if (comInitialised)
        CoUninitialize();
}

}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* appId) {
    switch (message) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(appId);
            acrxDynamicLinker->registerAppMDIAware(appId);
            acedRegCmds->addCommand(kGroup, L"qvplan", L"qvplan", ACRX_CMD_MODAL, savePlan);
            acedRegCmds->addCommand(kGroup, L"qvbatch", L"qvbatch", ACRX_CMD_MODAL, runBatch);
            break;
        case AcRx::kUnloadAppMsg:
            acedRegCmds->removeGroup(kGroup);
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}
