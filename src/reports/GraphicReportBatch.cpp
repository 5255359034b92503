// CGraphicReport's batch run: the report filled from the facility database, run against its
// drawing (apply, plot, copy, XML), and its status and plotted layout recorded.
#include <memory>
#include <vector>

#include "blocks/Blocks.h"
#include "blocks/ProcedureCall.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/PlotSettingIds.h"
#include "core/PreferencesDocMon.h"
#include "core/ServerPreferenceDocMon.h"
#include "database/RecordsetReader.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "drawing/Layers.h"
#include "reports/Categories.h"
#include "reports/GraphicReport.h"
#include "reports/LinkLines.h"

static const LPCTSTR SOURCE_FILE = _T("GraphicReport.cpp");

namespace {

// One spelling of a Windows path, so that two spellings of one file compare equal: "/" read as
// "\", repeated separators folded, "." and ".." resolved (never above the drive or the share),
// and upper case, as the file system ignores letter case.
CString normalisedPath(CString sPath) {
    sPath.Replace(L'/', L'\\');
    CString sPrefix;
    if (sPath.Left(2) == L"\\\\") {
        sPrefix = L"\\\\";
        sPath = sPath.Mid(2);
    }
    std::vector<CString> parts;
    int iStart = 0;
    while (iStart <= sPath.GetLength()) {
        int iEnd = sPath.Find(L'\\', iStart);
        if (iEnd < 0)
            iEnd = sPath.GetLength();
        const CString sPart = sPath.Mid(iStart, iEnd - iStart);
        iStart = iEnd + 1;
        if (sPart.IsEmpty() || sPart == L".")
            continue;
        // The first part (a drive "C:" or a share's server) is the root.
        if (sPart == L"..") {
            if (parts.size() > 1)
                parts.pop_back();
            continue;
        }
        parts.push_back(sPart);
    }
    CString sResult = sPrefix;
    for (size_t i = 0; i < parts.size(); i++)
        sResult += (i == 0 ? L"" : L"\\") + parts[i];
    sResult.MakeUpper();
    return sResult;
}

// The same spelling, or the same file reached otherwise (a link, another share of the folder).
bool isSameFile(const CString& sPath, const CString& sOtherPath) {
    return normalisedPath(sPath) == normalisedPath(sOtherPath) ||
           CFileUtilities::isSameFile(sPath, sOtherPath);
}

// A plot's name is a file name in the output folder: no folder part, no way out of the folder.
bool isPlainFilename(CString sFilename) {
    if (!CFileUtilities::checkFilenameSyntax(sFilename, FALSE))
        return false;
    sFilename.Trim();
    return sFilename.FindOneOf(L"\\/") < 0 && sFilename != L"." && sFilename != L"..";
}

// Writes what went wrong in a step whose failure is the report's status, not the run's end.
void logStepError(LPCTSTR sProcSig) {
    CEXUnhandled* pError = wrapCaughtError(SOURCE_FILE, sProcSig);
    try {
        pError->logToErrorLogs(docMonPreferences);
    } catch (...) {
        discardCaughtError();
    }
    pError->deleteChain();
}

}  // namespace

void CGraphicReport::getGraphicReport(CStoredProcedure* pStoredProcedure,
                                      const CServerPreferenceDocMon* pServerPreference,
                                      int iGraphicReportID, int iTimeout) {
    static const LPCTSTR PROC_SIG = _T("CGraphicReport::getGraphicReport");
    try {
        m_iID = iGraphicReportID;
        bool bFound = false;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getGraphicReport"), SOURCE_FILE, PROC_SIG,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@graphicReportID"), iGraphicReportID);
            },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader rows(pRecords);
                if (!rows.next())
                    return;
                bFound = true;
                CString sText;
                int iValue = 0;
                double dblValue = 0.0;
                if (rows.read(L"grTitle", sText))
                    m_sTitle = sText;
                if (rows.read(L"grDrawingPath", sText))
                    setDrawingPath(sText);
                if (rows.read(L"grDrawingFilename", sText))
                    setDrawingFilename(sText);
                if (rows.read(L"grPlotLayout", sText))
                    m_sPlotLayout = sText;
                if (rows.read(L"grPlotTypeID", iValue))
                    m_iPlotType = CPlotSettingIds::convertPlotDevice(static_cast<short>(iValue));
                if (rows.read(L"grPlotAreaTypeID", iValue))
                    m_iPlotAreaType = CPlotSettingIds::convertPlotArea(static_cast<short>(iValue));
                if (rows.read(L"grPlotMediaSizeID", iValue))
                    m_iPlotMediaSize =
                        CPlotSettingIds::convertMediaSizeFromId(static_cast<short>(iValue));
                if (rows.read(L"grPlotScaleTypeID", iValue))
                    m_iPlotScaleType = CPlotSettingIds::convertScale(static_cast<short>(iValue));
                if (rows.read(L"grPlotCentred", iValue))
                    m_bPlotCentred = static_cast<short>(iValue) != 0 ? 1 : 0;
                sText.Empty();
                rows.read(L"grOutputPath", sText);
                if (sText.IsEmpty() && pServerPreference != nullptr)
                    sText = pServerPreference->getGraphRepOutPath();
                setOutputPath(sText);
                if (rows.read(L"grOutputFilename", sText))
                    setOutputFilename(sText);
                if (rows.read(L"grSaveCopyTo", sText))
                    m_sSaveCopyTo = sText;
                // As stored: the setter would end a file path with a backslash.
                if (rows.read(L"grXMLOutputTo", sText))
                    m_sXMLOutputTo = sText;
                if (rows.read(L"grTotalChildAreas", dblValue))
                    m_dblTotalChildAreas = dblValue;
                rows.close();
            });
        if (!bFound)
            return;

        const int iListTimeout =
            pServerPreference != nullptr ? pServerPreference->getDbTimeout() : iTimeout;
        auto pCategories = std::make_unique<CCategories>();
        pCategories->getReportCategories(pStoredProcedure, iGraphicReportID, iListTimeout);
        if (pCategories->getCount() > 0)
            setCategories(pCategories.release());
        auto pLayers = std::make_unique<CLayers>();
        pLayers->getGraphicReportLayersOn(pStoredProcedure, iGraphicReportID, iListTimeout);
        if (pLayers->getCount() > 0)
            setLayersOn(pLayers.release());
        auto pLinkLines = std::make_unique<CLinkLines>();
        pLinkLines->getGraphicReportLinkLines(pStoredProcedure, iGraphicReportID, iListTimeout);
        if (pLinkLines->getCount() > 0)
            setLinkLines(pLinkLines.release());
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC_SIG);
    }
}

bool CGraphicReport::setGraphicReportStatus(CStoredProcedure* pStoredProcedure, int iTimeout,
                                            int iStatus) {
    static const LPCTSTR PROC_SIG = _T("CGraphicReport::setGraphicReportStatus");
    try {
        bool bTaken = true;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_setGraphicReportStatus"), SOURCE_FILE, PROC_SIG,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@graphicReportID"), m_iID);
                blockdb::addInt(parameters, _T("@statusID"), iStatus);
            },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader rows(pRecords);
                int iSet = 1;
                if (rows.next() && rows.read(L"grStatusSet", iSet))
                    bTaken = iSet != 0;
                rows.close();
            });
        return bTaken;
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC_SIG);
    }
}

bool CGraphicReport::recordEndStatus(CStoredProcedure* pStoredProcedure, int iTimeout,
                                     int iStatus) {
    if (setGraphicReportStatus(pStoredProcedure, iTimeout, iStatus))
        return true;
    acutPrintf(L"\nGraphic report %d was changed while it ran: status %d not recorded.\n",
               m_iID, iStatus);
    return false;
}

void CGraphicReport::setGraphicReportLayout(CStoredProcedure* pStoredProcedure, int iTimeout,
                                            CString sLayout) {
    static const LPCTSTR PROC_SIG = _T("CGraphicReport::setGraphicReportLayout");
    try {
        blockdb::callProcedure(pStoredProcedure, iTimeout, _T("__gr_setGraphicReportLayout"),
                               SOURCE_FILE, PROC_SIG, blockdb::Mode::NoReturn,
                               [&](CParameters& parameters) {
                                   blockdb::addInt(parameters, _T("@graphicReportID"), m_iID);
                                   blockdb::addVarChar(parameters, _T("@layout"), sLayout, 255);
                               });
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC_SIG);
    }
}

void CGraphicReport::prepareReport(CStoredProcedure* pStoredProcedure, int iTimeout) {
    try {
        // The claim: another run that started or finished this report first keeps it.
        m_bClaimed = false;
        if (!setGraphicReportStatus(pStoredProcedure, iTimeout, STATUS_STARTED))
            return;
        m_bClaimed = true;
        if (!CFileUtilities::fileExists(m_sDrawingPath + m_sDrawingFilename)) {
            recordEndStatus(pStoredProcedure, iTimeout, STATUS_DRAWING_MISSING);
            return;
        }
        // The lock goes before the drawing: unlocked first, then closed, on every path.
        auto pDrawing = std::make_unique<CAcadDrawing>(m_sDrawingPath, m_sDrawingFilename);
        CDrawingLock lock(pDrawing.get());
        if (!lock.held())
            return;

        int iStatus = STATUS_STARTED;
        applyToDrawing(pDrawing.get());

        if (!CFileUtilities::directoryExists(m_sOutputPath)) {
            iStatus = STATUS_NO_OUTPUT_FOLDER;
        } else {
            const CString sLayoutAsked = m_sPlotLayout;
            if (!isPlainFilename(m_sOutputFilename)) {
                iStatus = STATUS_BAD_OUTPUT_FILENAME;
            } else {
                iStatus = pDrawing->plot(&m_sPlotLayout, m_sOutputPath, m_sOutputFilename,
                                         m_iPlotType, m_iApplyPlotSettings, m_bPlotCentred,
                                         m_iPlotScaleType, m_iPlotAreaType, m_iPlotMediaSize, 1);
                if (m_sPlotLayout != sLayoutAsked)
                    setGraphicReportLayout(pStoredProcedure, iTimeout, m_sPlotLayout);
            }
        }
        iStatus = saveCopy(*pDrawing, iStatus);
        iStatus = writeXML(*pDrawing, iStatus);

        recordEndStatus(pStoredProcedure, iTimeout, iStatus);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CGraphicReport::prepareReport"));
    }
}

int CGraphicReport::saveCopy(CAcadDrawing& drawing, int iStatus) {
    if (iStatus != STATUS_PLOTTED || m_sSaveCopyTo.IsEmpty())
        return iStatus;
    try {
        const CString sOwnPath = drawing.getFolder() + drawing.getFileName();
        CString sTarget = m_sSaveCopyTo;
        CString sFolder;
        CString sName;
        switch (CFileUtilities::getPathType(sTarget)) {
        case 0:  // a file name: beside the drawing
            sFolder = drawing.getFolder();
            sName = sTarget;
            break;
        case 1:  // a folder (now ending in a backslash): under the drawing's own name
            if (!CFileUtilities::directoryExists(sTarget))
                return STATUS_COPY_NOT_SAVED;
            sFolder = sTarget;
            sName = m_sDrawingFilename;
            break;
        case 2:  // a full path
            sFolder = CFileUtilities::getDirectoryString(sTarget);
            sName = sTarget.Mid(sFolder.GetLength());
            break;
        default:
            return STATUS_COPY_NOT_SAVED;
        }
        if (sName.IsEmpty() || isSameFile(sFolder + sName, sOwnPath))
            return STATUS_COPY_NOT_SAVED;
        // The plan is held against writing while the copy is written: a target that has become
        // the plan since (a link made meanwhile) is refused by the copy where it is put in place.
        CFile plan;
        plan.Open(sOwnPath, CFile::modeRead | CFile::shareDenyWrite);
        drawing.saveAs(sFolder, sName);
        return iStatus;
    } catch (...) {
        logStepError(_T("CGraphicReport::prepareReport (save copy)"));
        return STATUS_COPY_NOT_SAVED;
    }
}

int CGraphicReport::writeXML(CAcadDrawing& drawing, int iStatus) {
    if (iStatus != STATUS_PLOTTED)
        return iStatus;
    try {
        CString sTarget;
        if (m_sXMLOutputTo.IsEmpty()) {
            sTarget = m_sOutputPath +
                      CFileUtilities::swapFileExtension(
                          m_sOutputFilename, CPlotSettingIds::plotExtension(m_iPlotType), L".xml");
        } else {
            CString sTo = m_sXMLOutputTo;
            switch (CFileUtilities::getPathType(sTo)) {
            case 0:  // a file name: beside the plot
                sTarget = m_sOutputPath + sTo;
                break;
            case 1:  // a folder: the drawing's name as XML
                if (!CFileUtilities::directoryExists(sTo))
                    return STATUS_XML_NOT_WRITTEN;
                sTarget =
                    sTo + CFileUtilities::swapFileExtension(m_sDrawingFilename, L".dwg", L".xml");
                break;
            case 2:
                sTarget = sTo;
                break;
            default:
                return STATUS_XML_NOT_WRITTEN;
            }
        }
        if (isSameFile(sTarget, drawing.getFolder() + drawing.getFileName()))
            return STATUS_XML_NOT_WRITTEN;
        serialize(sTarget);
        return iStatus;
    } catch (...) {
        logStepError(_T("CGraphicReport::prepareReport (report XML)"));
        return STATUS_XML_NOT_WRITTEN;
    }
}
