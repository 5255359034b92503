// Area and perimeter of a space block with the areas subtracted from and added to it, unit
// conversion, and the highlighting of those areas.
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/UnitConversion.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWG.cpp");  // one source file for the class

namespace {

// Whether a handle that could not be used is to be dropped from its list: the database does not
// know it, or its entity is erased.
bool isGone(Acad::ErrorStatus es) {
    return es == Acad::eUnknownHandle || es == Acad::eWasErased;
}

// The boundary of a reference's definition: its first entity of class "AcDbPolyline" (opened for
// read into `boundary`); false when there is none.
bool openBoundary(const AcDbBlockReference* pReference, AcDbObjectPointer<AcDbEntity>& boundary) {
    AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                        AcDb::kForRead);
    if (pDefinition.openStatus() != Acad::eOk)
        return false;
    for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
        if (boundary.open(id, AcDb::kForRead) == Acad::eOk &&
            blockhost::isExactly(boundary.object(), L"AcDbPolyline"))
            return true;
        boundary.close();
    }
    return false;
}

}  // namespace

double CBlockDWG::sumOver(HandleList which, AcApDocument* pDocument, bool bArea, LPCTSTR sProcSig) {
    try {
        double dblTotal = 0.0;
        AcDbDatabase* pDatabase = pDocument != nullptr ? pDocument->database() : nullptr;
        if (pDatabase == nullptr)
            return 0.0;
        AcArray<AcDbHandle>& handles = list(which);
        for (int i = 0; i < handles.length();) {
            AcDbObjectId id;
            Acad::ErrorStatus es = blockhost::objectIdOf(pDatabase, handles[i], id);
            if (es == Acad::eOk) {
                AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForRead);
                es = pEntity.openStatus();
                if (es == Acad::eOk && blockhost::isExactly(pEntity.object(), L"AcDbPolyline")) {
                    auto* pCurve = AcDbCurve::cast(pEntity.object());
                    dblTotal += bArea ? CAcadUtilities::calculatePolylineArea(
                                            pCurve, pDatabase->lunits(), getUnits())
                                      : CAcadUtilities::calculatePolylinePerimeter(
                                            pCurve, pDatabase->lunits(), getUnits());
                }
            }
            if (isGone(es))
                handles.removeAt(i);
            else
                i++;
        }
        return dblTotal;
    } catch (...) {
        throwWrapped(SOURCE_FILE, sProcSig);
    }
}

double CBlockDWG::calcSubArea(AcApDocument* pDocument) {
    return sumOver(HandleList::Minus, pDocument, true, _T("CBlockDWG::calcSubArea"));
}

double CBlockDWG::calcAddArea(AcApDocument* pDocument) {
    return sumOver(HandleList::Add, pDocument, true, _T("CBlockDWG::calcAddArea"));
}

double CBlockDWG::calcSubAreaPerimeters(AcApDocument* pDocument) {
    return sumOver(HandleList::Minus, pDocument, false, _T("CBlockDWG::calcSubAreaPerimeters"));
}

double CBlockDWG::calcAddAreaPerimeters(AcApDocument* pDocument) {
    return sumOver(HandleList::Add, pDocument, false, _T("CBlockDWG::calcAddAreaPerimeters"));
}

// The boundary's area (or perimeter) as the reference places it, in the block's units; false
// when the reference does not open (0 when its definition holds no polyline).
static bool measureBoundary(AcDbObjectId referenceId, AcDbDatabase* pDatabase, int iUnits,
                            bool bArea, double& dblMeasure) {
    dblMeasure = 0.0;
    AcDbObjectPointer<AcDbBlockReference> pReference(referenceId, AcDb::kForRead);
    if (pReference.openStatus() != Acad::eOk)
        return false;
    AcDbObjectPointer<AcDbEntity> pBoundary;
    if (openBoundary(pReference.object(), pBoundary)) {
        auto* pCurve = AcDbCurve::cast(pBoundary.object());
        dblMeasure = bArea ? CAcadUtilities::recalculateBlockArea(pReference.object(), pCurve,
                                                                  pDatabase->lunits(), iUnits)
                           : CAcadUtilities::recalculateBlockPerimeter(pReference.object(), pCurve,
                                                                       pDatabase->lunits(), iUnits);
    }
    return true;
}

void CBlockDWG::recalculateArea(AcApDocument* pDocument) {
    try {
        double dblBase = 0.0;
        if (pDocument == nullptr || pDocument->database() == nullptr ||
            !measureBoundary(m_objectId, pDocument->database(), getUnits(), true, dblBase))
            return;
        const double dblArea = dblBase - calcSubArea(pDocument) + calcAddArea(pDocument);
        setArea(CUtilities::roundDouble(dblArea, getPrecision()));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::recalculateArea"));
    }
}

void CBlockDWG::recalculatePerimeter(AcApDocument* pDocument) {
    try {
        double dblBase = 0.0;
        if (pDocument == nullptr || pDocument->database() == nullptr ||
            !measureBoundary(m_objectId, pDocument->database(), getUnits(), false, dblBase))
            return;
        setPerimeter(dblBase + calcSubAreaPerimeters(pDocument) + calcAddAreaPerimeters(pDocument));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::recalculatePerimeter"));
    }
}

void CBlockDWG::setImperial(bool bImperial) {
    const bool bIsImperial = getUnits() != 0;  // 1, and -1 not known, measure in feet
    if (bImperial == bIsImperial) {
        if (bImperial)
            setUnits(1);
        return;
    }
    if (bImperial) {
        setPerimeter(getPerimeter() * FEET_PER_METRE);
        setArea(getArea() * SQUARE_FEET_PER_SQUARE_METRE);
        setUnits(1);
    } else {
        setPerimeter(getPerimeter() / FEET_PER_METRE);
        setArea(getArea() / SQUARE_FEET_PER_SQUARE_METRE);
        setUnits(0);
    }
}

void CBlockDWG::highlight(HandleList which, CAcadDrawing* pDrawing, int iHighlight, int iReport,
                          LPCTSTR sProcSig) {
    try {
        CDrawingLock lock(pDrawing);
        if (!lock.held())
            return;
        AcArray<AcDbHandle>& handles = list(which);
        if (iReport)
            acutPrintf(which == HandleList::Minus
                           ? L"\nThere are %i area(s) subtracted from this block\n"
                           : L"\nThere are %i area(s) added to this block\n",
                       handles.length());
        AcDbDatabase* pDatabase =
            pDrawing->getDocument() != nullptr ? pDrawing->getDocument()->database() : nullptr;
        for (int i = 0; pDatabase != nullptr && i < handles.length();) {
            AcDbObjectId id;
            Acad::ErrorStatus es = blockhost::objectIdOf(pDatabase, handles[i], id);
            if (es == Acad::eOk) {
                AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForWrite);
                es = pEntity.openStatus();
                if (es == Acad::eOk) {
                    const bool bMinus = which == HandleList::Minus;
                    if (iHighlight) {
                        pEntity->setColorIndex(bMinus ? 1 : 3, false);
                        pEntity->setLineWeight(AcDb::kLnWt100, true);
                    } else {
                        pEntity->setColorIndex(static_cast<Adesk::UInt16>(m_iColour), false);
                        pEntity->setLineWeight(static_cast<AcDb::LineWeight>(m_iLineWeight), true);
                    }
                    const Acad::ErrorStatus esClose = pEntity.close();
                    if (bMinus && esClose != Acad::eOk)
                        throw new CEXUnhandled(esClose, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                               sProcSig, 1620, L"", nullptr);
                }
            }
            if (isGone(es))
                handles.removeAt(i);
            else
                i++;
        }
        pDrawing->regenDrawing();
    } catch (...) {
        throwWrapped(SOURCE_FILE, sProcSig);
    }
}

void CBlockDWG::highlightAreasSubtracted(CAcadDrawing* pDrawing, int iHighlight, int iReport) {
    highlight(HandleList::Minus, pDrawing, iHighlight, iReport,
              _T("CBlockDWG::highlightAreasSubtracted"));
}

void CBlockDWG::highlightAreasAdded(CAcadDrawing* pDrawing, int iHighlight, int iReport) {
    highlight(HandleList::Add, pDrawing, iHighlight, iReport, _T("CBlockDWG::highlightAreasAdded"));
}
