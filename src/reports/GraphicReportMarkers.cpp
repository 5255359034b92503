// The legend table and the pie chart of an applied report, at the drawing's first legend and
// pie markers (full hosts only).
#include <memory>

#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadDrawingState.h"
#include "reports/GraphicReport.h"
#include "reports/LegendTable.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"
#include "reports/PieChart.h"

static const LPCTSTR SOURCE_FILE = _T("GraphicReport.cpp");

namespace {

CString unitsLabel(int iUnits) { return iUnits == 1 ? L"sq.ft." : L"sq.m."; }

// The name of the database's current layer, on which new references are placed.
CString currentLayerName(AcDbDatabase* pDatabase) {
    AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> pLayer(pDatabase->clayer(),
                                                              AcDb::kForRead);
    const ACHAR* sName = nullptr;
    if (pLayer.openStatus() != Acad::eOk || pLayer->getName(sName) != Acad::eOk ||
        sName == nullptr)
        return CString();
    return CString(sName);
}

// Prints a failure of the legend or the pie on the command line; the application goes on.
void printFailure(LPCTSTR sWhat) {
    CEXUnhandled* pError = wrapCaughtError(SOURCE_FILE, sWhat);
    pError->printErrorChain();
    pError->deleteChain();
}

}  // namespace

void CGraphicReport::applyLegendAndPie(CAcadDrawing* pDrawing, CAcadDrawingState& state) {
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    int iLegendUnits = -1;
    try {
        CBlocks legends;
        legends.getLegendBlock_SS(pDrawing);
        if (legends.getCount() > 0) {
            auto* pMarker = static_cast<CMarkerBlockLegend*>(legends.getAt(0));
            iLegendUnits = pMarker->getUnits();
            AcGePoint3d ptPosition = pMarker->getPoint();
            CLegendTable legend(pDrawing, pMarker->getTextSize(), pMarker->getPrecision(),
                                unitsLabel(pMarker->getUnits()), 0, this, pMarker->getRotation(),
                                &ptPosition);
            state.setLayerState(currentLayerName(pDatabase), 0, 0, 0, 1);
            pDrawing->regenDrawing();
        }
    } catch (...) {
        printFailure(_T("CGraphicReport::applyToDrawing (legend)"));
    }
    try {
        CBlocks pies;
        pies.getPieBlock_SS(pDrawing);
        if (pies.getCount() > 0) {
            auto* pMarker = static_cast<CMarkerBlockPie*>(pies.getAt(0));
            const int iUnits = iLegendUnits >= 0 ? iLegendUnits : pMarker->getUnits();
            AcGePoint3d ptCentre = pMarker->getCentre();
            CPieChart pie(pDrawing, this, pMarker->getRadius(), m_dblPieXYOffset,
                          pMarker->getTextSize(), pMarker->getPrecision(), unitsLabel(iUnits),
                          m_bPieIgnoreEmptySegments, m_bPieShowLabels,
                          m_bPieShowLabelSegmentLines, pMarker->getRotation(), &ptCentre);
            state.setLayerState(currentLayerName(pDatabase), 0, 0, 0, 1);
            pDrawing->regenDrawing();
        }
    } catch (...) {
        printFailure(_T("CGraphicReport::applyToDrawing (pie chart)"));
    }
}
