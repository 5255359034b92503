// The list of waiting graphic reports and the batch run over it.
#include "reports/GraphicReports.h"

#include <memory>
#include <vector>

#include "blocks/Blocks.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"
#include "core/SystemUtilities.h"
#include "database/RecordsetReader.h"
#include "reports/GraphicReport.h"

static const LPCTSTR SOURCE_FILE = _T("GraphicReports.cpp");

CGraphicReports::~CGraphicReports() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

void CGraphicReports::getGraphicReports(CStoredProcedure* pStoredProcedure,
                                        const CServerPreferenceDocMon* pServerPreference,
                                        int iStatusID, int iTimeout) {
    static const LPCTSTR PROC_SIG = _T("CGraphicReports::getGraphicReports");
    try {
        // The ids first: each report is then read with the same procedure object, once the row
        // set of the list is closed.
        std::vector<int> ids;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getGraphicReports"), SOURCE_FILE, PROC_SIG,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addTinyInt(parameters, _T("@statusID"), iStatusID);
            },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader rows(pRecords);
                while (rows.next()) {
                    int iID = 0;
                    if (rows.read(L"grID", iID))
                        ids.push_back(iID);
                }
                rows.close();
            });
        for (int iID : ids) {
            auto pReport = std::make_unique<CGraphicReport>();
            pReport->getGraphicReport(pStoredProcedure, pServerPreference, iID, iTimeout);
            addGraphicReport(pReport.release());
        }
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC_SIG);
    }
}

void CGraphicReports::prepareReports(CStoredProcedure* pStoredProcedure, int iTimeout) {
    static const LPCTSTR PROC_SIG = _T("CGraphicReports::prepareReports");
    try {
        CSystemUtilities system;
        for (int i = 0; i < m_reports.GetSize(); i++) {
            CGraphicReport* pReport = m_reports.GetAt(i);
            try {
                pReport->prepareReport(pStoredProcedure, iTimeout);
            } catch (...) {
                // One report's failure is that report's outcome, not the end of the run.
                CEXUnhandled* pError = wrapCaughtError(SOURCE_FILE, PROC_SIG);
                try {
                    pError->logToErrorLogs(docMonPreferences);
                } catch (...) {
                    discardCaughtError();
                }
                pError->deleteChain();
                // Only a report this run claimed is its to record; one whose claim failed may be
                // another run's.
                if (pReport->isClaimed())
                    pReport->recordEndStatus(pStoredProcedure, iTimeout,
                                             CGraphicReport::STATUS_FAILED);
            }
            system.doEvents();
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

void CGraphicReports::addGraphicReport(CGraphicReport* pReport) {
    if (pReport == nullptr)
        return;
    try {
        m_reports.Add(pReport);
    } catch (...) {
        delete pReport;
        throwWrapped(SOURCE_FILE, _T("CGraphicReports::addGraphicReport"));
    }
    m_iCount++;
}

CGraphicReport* CGraphicReports::getAt(int iIndex) const {
    return m_reports.GetAt(iIndex);
}

void CGraphicReports::deleteObjects() {
    try {
        for (int i = 0; i < m_reports.GetSize(); i++)
            delete m_reports.GetAt(i);
        m_reports.RemoveAll();
        m_iCount = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CGraphicReports::deleteObjects"));
    }
}
