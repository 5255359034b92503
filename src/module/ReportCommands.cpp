// oagr, ogr, olbd, opbd and the legacy legend and pie definitions.
#include "module/ReportCommands.h"

#include <functional>
#include <memory>

#include "blocks/Blocks.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/Preferences.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "drawing/HostIdentity.h"
#include "module/CommandFrame.h"
#include "reports/GraphicReport.h"
#include "reports/LegendTable.h"
#include "reports/PieChart.h"

namespace {

const wchar_t REPORT_FILTER[] = L"XML Graphic Reports (*.xml)|*.xml";
const double DEGREES_TO_RADIANS = 0.017453292519943295;

// The legacy definitions that the drawing still needs after a report was applied: on a full
// host those whose marker is missing, on any other host both.
void defineMissingLegacyBlocks(CAcadDrawing* pDrawing, CGraphicReport* pReport) {
    if (!hostIdentity.isFullHost()) {
        defineLegacyLegendAndPie(pDrawing, pReport, 1, 1);
        return;
    }
    CBlocks legends;
    legends.getLegendBlock_SS(pDrawing);
    CBlocks pies;
    pies.getPieBlock_SS(pDrawing);
    const int bLegend = legends.getCount() == 0 ? 1 : 0;
    const int bPie = pies.getCount() == 0 ? 1 : 0;
    if (bLegend || bPie)
        defineLegacyLegendAndPie(pDrawing, pReport, bLegend, bPie);
}

// Fills the report from the file; a file that holds no report is refused with its reason, and
// nothing is applied: an empty report would still reset every layer's line weight.
bool loadReport(CGraphicReport& report, const CString& sPath) {
    CString sWhy;
    if (report.load(sPath, sWhy))
        return true;
    printCommandFailure(L"Unable to read the graphic report %s: %s.\n", sPath.GetString(),
                        sWhy.GetString());
    return false;
}

// Shows a module error raised by the work under the lock; anything else goes on to the
// handler.
void showModuleErrors(const std::function<void()>& work) {
    try {
        work();
    } catch (CEXOrvan* e) {
        e->showErrorDialog();
        e->deleteChain();
    }
}

// oagr and ogr: choose a report file, read it, apply it to the drawing (the current one, or
// the one the report names, which is then saved) and build the missing legacy definitions.
void applyReportFile(bool bReportDrawing, LPCTSTR sHandler) {
    CCommandFrame frame;
    try {
        frame.loadPreferences();
        const CString sPath = CFileUtilities::browseForFile(REPORT_FILTER);
        CGraphicReport report;
        if (!sPath.IsEmpty() && loadReport(report, sPath)) {
            std::unique_ptr<CAcadDrawing> pOpened;
            CAcadDrawing* pDrawing = nullptr;
            if (bReportDrawing) {
                pOpened = std::make_unique<CAcadDrawing>(report.getDrawingPath(),
                                                         report.getDrawingFilename());
                pDrawing = pOpened.get();
            } else {
                pDrawing = frame.openCurrentDrawing();
            }
            bool bApplied = false;
            {
                CDrawingLock lock(pDrawing);
                if (lock.held()) {
                    showModuleErrors([&] {
                        report.applyToDrawing(pDrawing);
                        bApplied = true;
                        if (!bReportDrawing)
                            acutPrintf(L"graphic report successfully applied.\n");
                        defineMissingLegacyBlocks(pDrawing, &report);
                    });
                }
            }
            if (bApplied && bReportDrawing) {
                // The work is kept in the report's drawing before success is reported.
                pOpened->saveAs(pOpened->getFolder(), pOpened->getFileName());
                acutPrintf(L"graphic report successfully applied.\n");
            }
        }
    } catch (...) {
        reportCommandError(sHandler);
    }
    acutPrintf(L"\n");
}

// olbd and opbd: choose a report file and build one of its legacy definitions.
void defineFromReportFile(LPCTSTR sBanner, int bLegend, int bPie, LPCTSTR sHandler) {
    CCommandFrame frame;
    try {
        CCommandFrame::printBanner(sBanner);
        frame.loadPreferences();
        const CString sPath = CFileUtilities::browseForFile(REPORT_FILTER);
        if (sPath.IsEmpty())
            return;
        CGraphicReport report;
        if (!loadReport(report, sPath))
            return;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        if (frame.lockDrawing()) {
            defineLegacyLegendAndPie(pDrawing, &report, bLegend, bPie);
            frame.unlockDrawing();
        }
    } catch (...) {
        reportCommandError(sHandler);
    }
}

}  // namespace

void applyGraphicReport() { applyReportFile(false, L"applyGraphicReport"); }

void graphicReport() { applyReportFile(true, L"graphicReport"); }

void legendBlockDefine() {
    defineFromReportFile(L"Orvan Legend Block Define ", 1, 0, L"legendBlockDefine");
}

void pieBlockDefine() {
    defineFromReportFile(L"Orvan Pie Chart Block Define ", 0, 1, L"pieBlockDefine");
}

void defineLegacyLegendAndPie(CAcadDrawing* pDrawing, CGraphicReport* pReport, int bLegend,
                              int bPie) {
    try {
        CCommandFrame frame;
        const CPreferences& preferences = *frame.loadPreferences();
        double dblTextSize = preferences.getTextSize();
        CAcadUtilities::getDouble(L"specify text size", preferences.getTextSize(),
                                  preferences.getPrecision(), &dblTextSize);
        double dblRadius = dblTextSize * 10.0;
        if (bPie)
            CAcadUtilities::getDouble(L"specify pie chart radius", dblTextSize * 10.0,
                                      preferences.getPrecision(), &dblRadius);
        double dblDegrees = preferences.getTextRotation();
        CAcadUtilities::getDouble(L"specify rotation (in degrees)",
                                  preferences.getTextRotation(), preferences.getPrecision(),
                                  &dblDegrees);
        const double dblRotation = dblDegrees * DEGREES_TO_RADIANS;
        BOOL bIgnoreEmpty = TRUE;
        CAcadUtilities::getBoolean(L"ignore empty categories and pie chart segments?", TRUE,
                                   &bIgnoreEmpty);
        const CString sDefaultUnits = preferences.getUnits() == 1 ? L"sq.ft." : L"sq.m.";
        CString sUnits = sDefaultUnits;
        CAcadUtilities::getString(L"specify units", sDefaultUnits, &sUnits);
        int iPrecision = preferences.getPrecision();
        CAcadUtilities::getInteger(L"specify precision", preferences.getPrecision(), &iPrecision);

        CDrawingLock lock(pDrawing);
        if (!lock.held())
            return;
        if (bLegend) {
            CLegendTable legend(pDrawing, dblTextSize, iPrecision, sUnits, bIgnoreEmpty ? 1 : 0,
                                pReport, dblRotation, nullptr);
            acutPrintf(L"legend definition successfully created.\n");
        }
        if (bPie) {
            CPieChart pie(pDrawing, pReport, dblRadius, 0.0, dblTextSize, iPrecision, sUnits,
                          bIgnoreEmpty ? 1 : 0, 1, 1, dblRotation, nullptr);
            acutPrintf(L"pie chart definition successfully created.\n");
        }
    } catch (...) {
        CEXUnhandled* pError = wrapCaughtError(COMMAND_SOURCE_FILE, L"defineLegacyLegendAndPie");
        pError->showErrorDialog();
        pError->deleteChain();
    }
}
