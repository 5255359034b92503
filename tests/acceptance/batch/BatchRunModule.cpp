// A module for the batch-run acceptance case. No command of the real module starts the report
// batch run; a host that wants batch reports drives it, as this module does:
//   qvplan    saves the current drawing as the reports' plan, C:\accept\plans\floor.dwg
//   qvbatch   asks for the status that marks waiting reports, connects to the test database
//             that scripts/testdb started (QV_TEST_DB_SERVER, _CATALOG, _USER, _PASSWORD), puts
//             the case's reports (ids 921 to 929) in that status, fetches the reports waiting
//             in it, runs them, and prints each report's id, title, recorded status and the
//             layout recorded as plotted.
//   qvrun     asks for the status that marks waiting reports and runs the reports waiting in it
//             in the same database, as one of several hosts that share it: nothing is reset
//             first, and each report is prepared as the batch run does (a report's failure ends
//             only that report). For every report that this run claimed it prints, as soon as
//             the report is done, "Report <id> run by process <pid>: status <status>", so that
//             the runs of several hosts can be told apart; a report that another host had is
//             not mentioned. Last "Run of process <pid> done: <claimed> of <listed> report(s)".
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

// Asks for the status that marks waiting reports; false, having said why, without an answer or
// without a test database.
bool askWaitingStatus(const Connection& db, int& status) {
    if (acedGetInt(L"\nStatus of the waiting reports: ", &status) != RTNORM)
        return false;
    if (db.server.IsEmpty()) {
        acutPrintf(L"No test database is described (QV_TEST_DB_SERVER).\n");
        return false;
    }
    return true;
}

void runBatch() {
    int status = 0;
    const Connection db;
    if (!askWaitingStatus(db, status))
        return;
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

// The status recorded for a report, or -1 when it has no row.
int recordedStatus(const Connection& db, int iID) {
    CSQLStatement statement(db.server, db.catalog, db.user, db.password, 10);
    CRecordsetReader rows(statement.execSQLReturn(static_cast<LPCTSTR>(
        L"SELECT status_id::integer AS status FROM graphic_reports WHERE id = " +
        CUtilities::IntToCString(iID))));
    int status = -1;
    if (rows.next())
        rows.read(L"status", status);
    rows.close();
    return status;
}

void runWaiting() {
    int status = 0;
    const Connection db;
    if (!askWaitingStatus(db, status))
        return;
    const int process = static_cast<int>(GetCurrentProcessId());
    const bool comInitialised = SUCCEEDED(CoInitialize(nullptr));
    try {
        CStoredProcedure procedure(db.server, db.catalog, db.user, db.password, 30);
        CGraphicReports reports;
        reports.getGraphicReports(&procedure, nullptr, status, 30);
        int claimed = 0;
        for (int i = 0; i < reports.getCount(); i++) {
            CGraphicReport* report = reports.getAt(i);
            try {
                report->prepareReport(&procedure, 30);
            } catch (CEXOrvan* e) {
                e->printErrorChain();
                e->deleteChain();
                if (report->isClaimed())
                    report->setGraphicReportStatus(&procedure, 30, CGraphicReport::STATUS_FAILED);
            }
            if (!report->isClaimed())
                continue;
            claimed++;
            acutPrintf(L"Report %d run by process %d: status %d\n", report->getID(), process,
                       recordedStatus(db, report->getID()));
        }
        acutPrintf(L"Run of process %d done: %d of %d report(s)\n", process, claimed,
                   reports.getCount());
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
            acedRegCmds->addCommand(kGroup, L"qvrun", L"qvrun", ACRX_CMD_MODAL, runWaiting);
            break;
        case AcRx::kUnloadAppMsg:
            acedRegCmds->removeGroup(kGroup);
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}
