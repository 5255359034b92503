#include "reports/MarkerBlockLegend.h"

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("MarkerBlockLegend.cpp");

CMarkerBlockLegend::CMarkerBlockLegend(AcDbBlockReference* pReference, AcApDocument* pDocument) {
    try {
        bool bFound = false;
        AcGePoint3d ptPosition;
        readMarker(
            pReference, pDocument, L"AcDbPolyline", bFound, ptPosition,
            [this](const CString& sTag, const CString& sText) {
                if (sTag == L"LEGENDTEXTSIZE") {
                    double dblSize = 0.0;
                    if (CUtilities::CStringToFiniteDouble(sText, L"legend text size", dblSize))
                        setTextSize(dblSize);
                } else if (sTag == L"LEGENDPRECISION")
                    setPrecision(CUtilities::CStringToInt(sText));
                else if (sTag == L"LEGENDUNITS")
                    setUnits(CUtilities::CStringToInt(sText));
            });
        if (bFound)
            m_point = ptPosition;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CMarkerBlockLegend::CMarkerBlockLegend"));
    }
}

void CMarkerBlockLegend::setPointFromOutline(AcGeMatrix3d matrix, AcDbPolyline* pOutline) {
    m_point = CAcadUtilities::getPolylineTopLeft(pOutline, nullptr).transformBy(matrix);
}

CMarkerBlock::Layout CMarkerBlockLegend::layoutFor(int iUnits, int iPrecision, double dblTextSize,
                                                   double dblAttributeRotation) {
    return {LEGEND_BLOCK_NAME,
            LEGEND_LAYER,
            {{
                {L"LEGENDTITLE", L"", L"LEGEND BLOCK"},
                {L"LEGENDTEXTSIZE", L"Enter legend text size",
                 CUtilities::DoubleToCString(dblTextSize, iPrecision)},
                {L"LEGENDPRECISION", L"Enter precision", CUtilities::IntToCString(iPrecision)},
                {L"LEGENDROTATION", L"Enter Rotation",
                 CUtilities::DoubleToCString(dblAttributeRotation, iPrecision)},
                {L"LEGENDUNITS", L"Enter legend units", CUtilities::IntToCString(iUnits)},
            }}};
}

int CMarkerBlockLegend::defineMarkerBlock(AcDbObjectId& blockId, const AcDbObjectIdArray& entities,
                                          AcGePoint3d* pBasePoint, CAcadDrawing* pDrawing,
                                          int iUnits, int iPrecision, double dblTextSize,
                                          double dblAttributeRotation) {
    return statusOf(SOURCE_FILE, _T("CMarkerBlockLegend::defineMarkerBlock"), [&]() -> int {
        return defineMarker(blockId, entities, *pBasePoint, pDrawing,
                            layoutFor(iUnits, iPrecision, dblTextSize, dblAttributeRotation),
                            dblTextSize, dblAttributeRotation);
    });
}

int CMarkerBlockLegend::createMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId outlineId,
                                          int iUnits, int iPrecision, double dblTextSize,
                                          double dblRotation) {
    return statusOf(SOURCE_FILE, _T("CMarkerBlockLegend::createMarkerBlock"), [&]() -> int {
        AcGePoint3d ptBase;
        {
            AcDbObjectPointer<AcDbPolyline> pOutline(outlineId, AcDb::kForRead);
            if (pOutline.openStatus() != Acad::eOk)
                return pOutline.openStatus();
            if (pOutline->numVerts() == 0)
                return Acad::eInvalidInput;
            ptBase = CAcadUtilities::getPolylineTopLeft(pOutline.object(), nullptr);
        }
        return createMarker(pDrawing, outlineId, ptBase,
                            layoutFor(iUnits, iPrecision, dblTextSize, 0.0), dblTextSize,
                            dblRotation);
    });
}
