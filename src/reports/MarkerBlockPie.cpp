#include "reports/MarkerBlockPie.h"

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("MarkerBlockPie.cpp");

CMarkerBlockPie::CMarkerBlockPie(AcDbBlockReference* pReference, AcApDocument* pDocument) {
    try {
        bool bFound = false;
        AcGePoint3d ptPosition;
        readMarker(pReference, pDocument, L"AcDbCircle", bFound, ptPosition,
                   [this](const CString& sTag, const CString& sText) {
                       if (sTag == L"PIETEXTSIZE") {
                           double dblSize = 0.0;
                           if (CUtilities::CStringToFiniteDouble(sText, L"pie text size", dblSize))
                               setTextSize(dblSize);
                       } else if (sTag == L"PIEPRECISION")
                           setPrecision(CUtilities::CStringToInt(sText));
                       else if (sTag == L"PIERADIUS")
                           CUtilities::CStringToFiniteDouble(sText, L"pie radius", m_dblRadius);
                   });
        if (bFound)
            m_centre = ptPosition;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CMarkerBlockPie::CMarkerBlockPie"));
    }
}

void CMarkerBlockPie::setCentreFromCircle(AcGeMatrix3d matrix, AcDbCircle* pCircle) {
    AcGePoint3d centre = pCircle->center();
    m_centre = CAcadUtilities::convertUCSToWCS(centre.transformBy(matrix));
}

CMarkerBlock::Layout CMarkerBlockPie::layoutFor(double dblRadius, int iPrecision,
                                                double dblTextSize, double /*dblRotation*/) {
    return {PIE_BLOCK_NAME,
            PIE_LAYER,
            {{
                {L"PIETITLE", L"", L"PIE BLOCK"},
                {L"PIETEXTSIZE", L"Enter pie text size",
                 CUtilities::DoubleToCString(dblTextSize, iPrecision)},
                {L"PIEPRECISION", L"Enter precision", CUtilities::IntToCString(iPrecision)},
                {L"PIERADIUS", L"Enter Radius", CUtilities::DoubleToCString(dblRadius, iPrecision)},
                {L"PIEXYOFFSETVALUE", L"Enter pie chart offset value",
                 CUtilities::DoubleToCString(DEFAULT_XY_OFFSET, iPrecision)},
            }}};
}

int CMarkerBlockPie::defineMarkerBlock(AcDbObjectId& blockId, const AcDbObjectIdArray& entities,
                                       AcGePoint3d* pCentre, CAcadDrawing* pDrawing,
                                       double dblRadius, int iPrecision, double dblTextSize,
                                       double dblAttributeRotation) {
    return statusOf(SOURCE_FILE, _T("CMarkerBlockPie::defineMarkerBlock"), [&]() -> int {
        return defineMarker(blockId, entities, *pCentre, pDrawing,
                            layoutFor(dblRadius, iPrecision, dblTextSize, dblAttributeRotation),
                            dblTextSize, dblAttributeRotation);
    });
}

int CMarkerBlockPie::createMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId circleId,
                                       int /*iUnits*/, int iPrecision, double dblTextSize,
                                       double dblRotation) {
    return statusOf(SOURCE_FILE, _T("CMarkerBlockPie::createMarkerBlock"), [&]() -> int {
        AcGePoint3d ptCentre;
        double dblRadius = 0.0;
        {
            AcDbObjectPointer<AcDbCircle> pCircle(circleId, AcDb::kForRead);
            if (pCircle.openStatus() != Acad::eOk)
                return pCircle.openStatus();
            ptCentre = pCircle->center();
            dblRadius = pCircle->radius();
        }
        return createMarker(pDrawing, circleId, ptCentre,
                            layoutFor(dblRadius, iPrecision, dblTextSize, 0.0), dblTextSize,
                            dblRotation);
    });
}
