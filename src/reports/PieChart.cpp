#include "reports/PieChart.h"

#include <cmath>
#include <memory>

#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "drawing/HostIdentity.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/LegendPieBlocks.h"
#include "reports/PieSegment.h"
#include "reports/PieSegments.h"

static const LPCTSTR SOURCE_FILE = _T("PieChart.cpp");

const wchar_t CPieChart::BLOCK_PREFIX[] = L"[ORVAN_PIECHART]_";
const wchar_t CPieChart::TITLE_TAG[] = L"CHARTTITLE";
const wchar_t CPieChart::TOTAL_TAG[] = L"CHARTTOTAL";

CPieChart::CPieChart(CAcadDrawing* pDrawing, CGraphicReport* pReport, double dblRadius,
                     double dblOffset, double dblTextSize, int iPrecision, CString sUnits,
                     int bIgnoreEmptySegments, int bShowLabels, int bShowLabelSegmentLines,
                     double dblRotation, AcGePoint3d* pCentre)
    : m_dblRotation(dblRotation) {
    try {
        if (pDrawing == nullptr || pReport == nullptr || pReport->getCategories() == nullptr)
            return;
        if (!(pReport->getTotalChildAreas() > 0.0))
            return;
        // A marker's value edited to something that is no number reads as 0.
        if (!(dblTextSize > 0.0) || !std::isfinite(dblTextSize) || !(dblRadius > 0.0) ||
            !std::isfinite(dblRadius))
            throw new CEXCustom(
                L"Invalid Pie Chart - its text size and radius must be greater than 0",
                ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CPieChart::CPieChart"),
                Acad::eInvalidInput, nullptr);
        initialise(pReport->getTitle(), pReport->getTotalChildAreas(), dblRadius, dblOffset,
                   dblTextSize, iPrecision, sUnits, bIgnoreEmptySegments, bShowLabels,
                   bShowLabelSegmentLines, dblRotation);
        pieChartFromGraphicReport(pReport);
        AcDbObjectId id;
        if (pCentre != nullptr && hostIdentity.isFullHost())
            createPieChartBlockReference(id, pDrawing, pCentre);
        else
            createPieChartBlockDefinition(id, pDrawing);
    } catch (...) {
        delete m_pSegments;
        m_pSegments = nullptr;
        throwWrapped(SOURCE_FILE, _T("CPieChart::CPieChart"));
    }
}

CPieChart::CPieChart(CString sTitle, double dblTotalArea, double dblRadius, double dblOffset,
                     double dblTextSize, int iPrecision, CString sUnits, int bIgnoreEmptySegments,
                     int bShowLabels, int bShowLabelSegmentLines, double dblRotation) {
    initialise(sTitle, dblTotalArea, dblRadius, dblOffset, dblTextSize, iPrecision, sUnits,
               bIgnoreEmptySegments, bShowLabels, bShowLabelSegmentLines, dblRotation);
}

CPieChart::~CPieChart() {
    delete m_pSegments;
}

void CPieChart::initialise(CString sTitle, double dblTotalArea, double dblRadius, double dblOffset,
                           double dblTextSize, int iPrecision, CString sUnits,
                           int bIgnoreEmptySegments, int bShowLabels, int bShowLabelSegmentLines,
                           double dblRotation) {
    delete m_pSegments;
    m_pSegments = new CPieSegments;
    m_sBlockName = reportblocks::cleanBlockName(CString(BLOCK_PREFIX) + sTitle);
    m_sTitle = sTitle;
    m_dblTotalArea = dblTotalArea;
    m_dblRadius = dblRadius;
    m_dblXYOffset = dblOffset;
    m_dblTextSize = dblTextSize;
    m_iPrecision = iPrecision;
    m_sUnits = sUnits;
    m_bIgnoreEmptySegments = bIgnoreEmptySegments;
    m_bShowLabels = bShowLabels;
    m_bShowLabelSegmentLines = bShowLabelSegmentLines;
    m_dblRotation = dblRotation;
}

void CPieChart::pieChartFromGraphicReport(CGraphicReport* pReport) {
    try {
        CCategories* pCategories = pReport->getCategories();
        for (int i = 0; pCategories != nullptr && i < pCategories->getCount(); i++) {
            CCategory* pCategory = pCategories->getAt(i);
            const double dblArea = reportblocks::categoryArea(pCategory);
            if (dblArea == 0.0 && m_bIgnoreEmptySegments)
                continue;
            m_pSegments->add(new CPieSegment(pCategory->getTitle(), pCategory->getHatch(), dblArea,
                                             m_iPrecision, m_sUnits));
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieChart::pieChartFromGraphicReport"));
    }
}

AcDbObjectId& CPieChart::createPieChartBlockDefinition(AcDbObjectId& blockId,
                                                       CAcadDrawing* pDrawing) {
    static const LPCTSTR PROC = _T("CPieChart::createPieChartBlockDefinition");
    blockId = AcDbObjectId();
    try {
        if (m_pSegments == nullptr || m_pSegments->getCount() == 0)
            return blockId;
        if (std::floor(m_dblTotalArea) < std::floor(m_pSegments->getTotalArea()))
            throw new CEXSegmentAreaOverTotal(ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC,
                                              m_pSegments->getTotalArea(), m_dblTotalArea);
        CDrawingLock lock(pDrawing);
        if (!lock.held())
            return blockId;
        AcDbObjectPointer<AcDbBlockTableRecord> pRecord;
        bool bBadName = false;
        const Acad::ErrorStatus es = reportblocks::openEmptyDefinition(
            pDrawing->getDocument()->database(), m_sBlockName, pRecord, bBadName);
        if (es != Acad::eOk)
            throw es;
        const AcGeVector3d normal = AcGeVector3d::kZAxis;  // the UCS z axis once placed
        m_pSegments->addSegmentsToBlock(pDrawing, pRecord.object(), m_bIgnoreEmptySegments,
                                        m_bShowLabels, m_bShowLabelSegmentLines, normal,
                                        m_dblRadius, m_dblTotalArea, m_dblXYOffset, m_dblTextSize,
                                        m_iPrecision);
        addTitleToPieChart(pDrawing, pRecord.object(), normal, m_dblTextSize, m_dblRadius);
        addFooterToPieChart(pDrawing, pRecord.object(), normal, m_dblTextSize, m_dblRadius);
        blockId = pRecord->objectId();
        return blockId;
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC);
    }
}

AcDbObjectId& CPieChart::createPieChartBlockReference(AcDbObjectId& referenceId,
                                                      CAcadDrawing* pDrawing,
                                                      AcGePoint3d* pCentre) {
    try {
        AcDbObjectId blockId;
        createPieChartBlockDefinition(blockId, pDrawing);
        if (blockId.isNull())
            return referenceId;
        CDrawingLock lock(pDrawing);
        if (lock.held())
            referenceId = reportblocks::insertInModelSpace(pDrawing->getDocument()->database(),
                                                           blockId, *pCentre, m_dblRotation);
        return referenceId;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieChart::createPieChartBlockReference"));
    }
}

void CPieChart::addCentredText(AcDbBlockTableRecord* pRecord, AcGeVector3d normal,
                               double dblTextSize, const AcGePoint3d& ptAt, const CString& sTag,
                               const CString& sText) {
    auto pText = std::make_unique<AcDbAttributeDefinition>();
    pText->setColorIndex(256);  // by layer
    pText->setPosition(ptAt);
    Acad::ErrorStatus es = pText->setHeight(dblTextSize);
    if (es != Acad::eOk)
        throw es;
    pText->setNormal(normal);
    pText->setHorizontalMode(AcDb::kTextCenter);
    pText->setVerticalMode(AcDb::kTextTop);
    pText->setAlignmentPoint(ptAt);
    pText->setTag(sTag);
    pText->setTextString(sText);
    pText->setInvisible(false);
    pText->setVerifiable(false);
    pText->setPreset(false);
    pText->setConstant(true);
    pText->setFieldLength(25);
    AcDbObjectPointer<AcDbAttributeDefinition> pPosted;
    AcDbAttributeDefinition* pMade = pText.release();
    pPosted.acquire(pMade);
    if ((es = pRecord->appendAcDbEntity(pPosted.object())) != Acad::eOk)
        throw es;
}

void CPieChart::addTitleToPieChart(CAcadDrawing* /*pDrawing*/, AcDbBlockTableRecord* pRecord,
                                   AcGeVector3d normal, double dblTextSize, double dblRadius) {
    try {
        addCentredText(pRecord, normal, dblTextSize,
                       AcGePoint3d(0.0, 1.5 * dblRadius + dblTextSize, 0.0), TITLE_TAG, m_sTitle);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieChart::addTitleToPieChart"));
    }
}

void CPieChart::addFooterToPieChart(CAcadDrawing* /*pDrawing*/, AcDbBlockTableRecord* pRecord,
                                    AcGeVector3d normal, double dblTextSize, double dblRadius) {
    try {
        const CString sTotal =
            m_dblTotalArea == 0.0
                ? CString(L"total unspecified or zero")
                : L"Total: " + CUtilities::DoubleToCString(m_dblTotalArea, m_iPrecision) + m_sUnits;
        addCentredText(pRecord, normal, dblTextSize,
                       AcGePoint3d(0.0, dblTextSize - 1.5 * dblRadius, 0.0), TOTAL_TAG, sTotal);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieChart::addFooterToPieChart"));
    }
}
