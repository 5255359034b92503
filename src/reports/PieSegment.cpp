#include "reports/PieSegment.h"

#include <cmath>
#include <memory>

#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/Hatch.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"

static const LPCTSTR SOURCE_FILE = _T("PieSegment.cpp");

const wchar_t CPieSegment::LABEL_TAG[] = L"SEGMENTLABEL";

namespace {

const double PI = 3.141592653589793;
const double FULL_CIRCLE = 2.0 * PI;
// A sweep this close to a full circle is drawn as the full circle.
const double FULL_CIRCLE_EPSILON = 1e-9;

// Appends the entity (outside the drawing) to the record and closes it; a refusal deletes it
// and raises the status.
AcDbObjectId appendOrRaise(AcDbBlockTableRecord* pRecord, AcDbEntity* pMade) {
    AcDbObjectPointer<AcDbEntity> pEntity;
    pEntity.acquire(pMade);
    AcDbObjectId id;
    const Acad::ErrorStatus es = pRecord->appendAcDbEntity(id, pEntity.object());
    if (es != Acad::eOk)
        throw es;
    return id;
}

}  // namespace

CPieSegment::CPieSegment(CString sLabel, CHatch* pHatch, double dblArea, int iPrecision,
                         CString sUnits)
    : m_sLabel(sLabel),
      m_pHatch(pHatch),
      m_dblArea(dblArea),
      m_iPrecision(iPrecision),
      m_sUnits(sUnits) {}

void CPieSegment::formatLikeHatch(CAcadDrawing* pDrawing, AcDbEntity* pEntity, bool bColour) const {
    if (m_pHatch == nullptr)
        return;
    if (bColour)
        pEntity->setColor(m_pHatch->getColour());
    const CString sLayer = CLayer::validateLayerName(m_pHatch->getLayerName());
    if (sLayer.IsEmpty())
        return;
    CLayers().ensureLayerExists(pDrawing, sLayer, m_pHatch->getColour());
    pEntity->setLayer(sLayer);
}

AcDbPolyline* CPieSegment::createSegment(AcGeVector3d normal, double dblRadius, double dblSweep) {
    try {
        auto pOutline = std::make_unique<AcDbPolyline>();
        pOutline->setNormal(normal);
        if (dblSweep >= FULL_CIRCLE - FULL_CIRCLE_EPSILON) {
            // Two clockwise half circles.
            pOutline->addVertexAt(0, AcGePoint2d(0.0, dblRadius), -1.0);
            pOutline->addVertexAt(1, AcGePoint2d(0.0, -dblRadius), -1.0);
            pOutline->addVertexAt(2, AcGePoint2d(0.0, dblRadius), 0.0);
        } else {
            pOutline->addVertexAt(0, AcGePoint2d(0.0, 0.0), 0.0);
            pOutline->addVertexAt(1, AcGePoint2d(0.0, dblRadius), -std::tan(dblSweep / 4.0));
            pOutline->addVertexAt(
                2, AcGePoint2d(dblRadius * std::sin(dblSweep), dblRadius * std::cos(dblSweep)),
                0.0);
            pOutline->addVertexAt(3, AcGePoint2d(0.0, 0.0), 0.0);
        }
        pOutline->setClosed(true);
        if (m_pHatch != nullptr)
            pOutline->setColor(m_pHatch->getColour());
        return pOutline.release();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegment::createSegment"));
    }
}

void CPieSegment::addSegmentToBlock(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                                    int /*bIgnoreEmpty*/, int bShowLabels, int bShowLabelLines,
                                    AcGeVector3d normal, double dblRadius, double dblOffset,
                                    double dblTotalArea, double dblStartArea, double dblTextSize,
                                    int iPrecision) {
    try {
        // Angles kept within one full circle.
        const double dblStart =
            std::min(dblStartArea / dblTotalArea * 360.0 * PI / 180.0, FULL_CIRCLE);
        const double dblSweep = std::max(
            0.0, std::min(m_dblArea / dblTotalArea * 360.0 * PI / 180.0, FULL_CIRCLE - dblStart));
        std::unique_ptr<AcDbPolyline> pOutline(createSegment(normal, dblRadius, dblSweep));
        pOutline->transformBy(AcGeMatrix3d::rotation(-dblStart, normal, AcGePoint3d::kOrigin));
        const double dblMiddle = dblStart + dblSweep / 2.0;
        pOutline->transformBy(AcGeMatrix3d::translation(
            AcGeVector3d(dblOffset * std::sin(dblMiddle), dblOffset * std::cos(dblMiddle), 0.0)));
        formatLikeHatch(pDrawing, pOutline.get(), false);
        const AcDbObjectId outlineId = appendOrRaise(pRecord, pOutline.release());

        COrvanExceptions errors;
        hatchSegment(pDrawing, pRecord, outlineId, errors);
        if (errors.getCount() > 0)
            errors.printAll();

        if (bShowLabels) {
            const double dblLabelRadius = 1.25 * dblRadius;
            if (bShowLabelLines)
                addSegmentLine(pDrawing, pRecord, normal, dblMiddle, dblLabelRadius, dblOffset);
            addSegmentLabel(pDrawing, pRecord, normal, dblMiddle, dblRadius, dblLabelRadius,
                            dblOffset, dblTextSize, iPrecision);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegment::addSegmentToBlock"));
    }
}

void CPieSegment::hatchSegment(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                               AcDbObjectId outlineId, COrvanExceptions& errors) {
    static const LPCTSTR PROC = _T("CPieSegment::hatchSegment");
    if (m_pHatch == nullptr)
        return;
    try {
        auto pHatch = std::make_unique<AcDbHatch>();
        pHatch->setPatternAngle(static_cast<double>(m_pHatch->getPatternAngle()));  // radians
        pHatch->setPatternScale(static_cast<double>(m_pHatch->getPatternScale()));
        pHatch->setAssociative(false);
        pHatch->setPattern(AcDbHatch::kPreDefined, m_pHatch->getPatternName());
        AcCmColor colour = m_pHatch->getColour();
        colour.setColorMethod(AcCmEntityColor::kByColor);
        pHatch->setColor(colour);
        pHatch->setHatchStyle(AcDbHatch::kNormal);
        pHatch->setNormal(AcGeVector3d::kZAxis);  // the UCS z axis once the reference carries it
        pHatch->setElevation(0.0);
        formatLikeHatch(pDrawing, pHatch.get(), false);

        AcDbObjectIdArray loop;
        loop.append(outlineId);
        if (pHatch->appendLoop(AcDbHatch::kOutermost, loop) != Acad::eOk) {
            errors.add(new CEXHatchNotClosed(L"Segment", m_sLabel, ORVAN_MODULE_DESCRIPTION,
                                             SOURCE_FILE, PROC));
            return;
        }
        const Acad::ErrorStatus evaluated = pHatch->evaluateHatch(true);
        const CString sSubject = L"piechart segment " + m_sLabel;
        const double dblScale = m_pHatch->getPatternScale();
        if (evaluated == Acad::eHatchTooDense)
            errors.add(new CEXHatchTooDense(sSubject, m_pHatch->getPatternName(), dblScale,
                                            ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC));
        else if (evaluated == Acad::eAmbiguousOutput)
            errors.add(new CEXHatchNotDenseEnough(sSubject, m_pHatch->getPatternName(), dblScale,
                                                  ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC));
        else if (evaluated != Acad::eOk)
            errors.add(new CEXUnhandled(evaluated, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC,
                                        __LINE__, CString(), nullptr));

        AcDbObjectPointer<AcDbHatch> pPosted;
        AcDbHatch* pMade = pHatch.release();
        pPosted.acquire(pMade);
        const Acad::ErrorStatus es = pRecord->appendAcDbEntity(pPosted.object());
        if (es != Acad::eOk) {
            errors.add(new CEXUnhandled(es, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC, __LINE__,
                                        CString(), nullptr));
            return;
        }
        // The wedge beneath its outline and label; the block is held open by the caller.
        const Acad::ErrorStatus moved = CAcadUtilities::moveToBottom(pPosted.object(), pRecord);
        if (moved != Acad::eOk)
            errors.add(new CEXUnhandled(moved, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC,
                                        __LINE__, CString(), nullptr));
    } catch (...) {
        errors.add(wrapCaughtError(SOURCE_FILE, PROC));
    }
}

void CPieSegment::addSegmentLine(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                                 AcGeVector3d normal, double dblMiddleAngle, double dblLabelRadius,
                                 double dblOffset) {
    try {
        const AcGeVector3d direction(std::sin(dblMiddleAngle), std::cos(dblMiddleAngle), 0.0);
        auto pLine = std::make_unique<AcDbLine>(
            AcGePoint3d::kOrigin + direction * dblOffset,
            AcGePoint3d::kOrigin + direction * (0.95 * dblLabelRadius + dblOffset));
        pLine->setNormal(normal);
        formatLikeHatch(pDrawing, pLine.get(), true);
        appendOrRaise(pRecord, pLine.release());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegment::addSegmentLine"));
    }
}

void CPieSegment::addSegmentLabel(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                                  AcGeVector3d normal, double dblMiddleAngle, double dblRadius,
                                  double dblLabelRadius, double dblOffset, double dblTextSize,
                                  int iPrecision) {
    try {
        const AcGePoint3d ptLabel((dblLabelRadius + dblOffset) * std::sin(dblMiddleAngle),
                                  (dblLabelRadius + dblOffset) * std::cos(dblMiddleAngle), 0.0);
        const CString sText = m_sLabel + L" (" +
                              CUtilities::DoubleToCString(m_dblArea, iPrecision) + L" " + m_sUnits +
                              L")";
        m_sLabel = sText;

        auto pLabel = std::make_unique<AcDbAttributeDefinition>();
        pLabel->setColorIndex(256);  // by layer
        pLabel->setPosition(ptLabel);
        Acad::ErrorStatus es = pLabel->setHeight(dblTextSize);
        if (es != Acad::eOk)
            throw es;
        pLabel->setNormal(normal);
        pLabel->setPrompt(sText);
        pLabel->setTag(LABEL_TAG);
        pLabel->setTextString(sText);
        pLabel->setInvisible(false);
        pLabel->setVerifiable(false);
        pLabel->setPreset(false);
        pLabel->setConstant(true);
        pLabel->setFieldLength(25);
        formatLikeHatch(pDrawing, pLabel.get(), false);
        pLabel->setHorizontalMode(ptLabel.x > 0.0    ? AcDb::kTextLeft
                                  : ptLabel.x == 0.0 ? AcDb::kTextCenter
                                                     : AcDb::kTextRight);
        const double dblHalfRadius = dblRadius / 2.0;
        pLabel->setVerticalMode(ptLabel.y > dblHalfRadius    ? AcDb::kTextBottom
                                : ptLabel.y == dblHalfRadius ? AcDb::kTextVertMid
                                                             : AcDb::kTextTop);
        pLabel->setAlignmentPoint(ptLabel);
        appendOrRaise(pRecord, pLabel.release());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegment::addSegmentLabel"));
    }
}
