#include "reports/LegendTable.h"

#include <cmath>
#include <memory>

#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/LegendPieBlocks.h"

static const LPCTSTR SOURCE_FILE = _T("LegendTable.cpp");

const wchar_t CLegendTable::BLOCK_PREFIX[] = L"[ORVAN_LEGEND]_";
const wchar_t CLegendTable::SWATCH_PREFIX[] = L"[ORVAN_LEGEND_HATCH]_";

namespace {

const wchar_t TABLE_STYLE[] = L"Standard";

// The id of the drawing's "Standard" table style (made when the drawing has none).
AcDbObjectId tableStyleOf(AcDbDatabase* pDatabase) {
    AcDbDictionary* pDictionary = nullptr;
    Acad::ErrorStatus es = pDatabase->getTableStyleDictionary(pDictionary, AcDb::kForRead);
    if (es != Acad::eOk)
        throw es;
    AcDbObjectId id;
    es = pDictionary->getAt(TABLE_STYLE, id);
    pDictionary->close();
    if (es != Acad::eOk)
        throw es;
    return id;
}

void raiseOnFailure(Acad::ErrorStatus es) {
    if (es != Acad::eOk)
        throw es;
}

}  // namespace

CLegendTable::CLegendTable(CAcadDrawing* pDrawing, double dblTextSize, int iPrecision,
                           CString sUnits, int iIgnoreEmpty, CGraphicReport* pReport,
                           double dblRotation, AcGePoint3d* pInsertionPoint)
    : m_dblTextSize(dblTextSize),
      m_dblRotation(dblRotation),
      m_iPrecision(iPrecision),
      m_sUnits(sUnits) {
    // A marker's text size edited to something that is no number reads as 0.
    if (!(dblTextSize > 0.0) || !std::isfinite(dblTextSize))
        throw new CEXCustom(L"Invalid Text Size - the legend's text size must be greater than 0",
                            ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CLegendTable::CLegendTable"),
                            Acad::eInvalidInput, nullptr);
    if (pReport == nullptr || pDrawing == nullptr)
        return;
    const CString sBlockName =
        reportblocks::cleanBlockName(CString(BLOCK_PREFIX) + pReport->getTitle());
    AcDbObjectId id;
    if (pInsertionPoint != nullptr && hostIdentity.isFullHost())
        createLegendBlockReference(id, pDrawing, sBlockName, iIgnoreEmpty, pReport,
                                   pInsertionPoint);
    else
        createLegendBlockDefinition(id, pDrawing, sBlockName, iIgnoreEmpty, pReport);
}

AcDbObjectId& CLegendTable::createLegendBlockReference(AcDbObjectId& referenceId,
                                                       CAcadDrawing* pDrawing, CString sBlockName,
                                                       int iIgnoreEmpty, CGraphicReport* pReport,
                                                       AcGePoint3d* pInsertionPoint) {
    AcDbObjectId blockId;
    createLegendBlockDefinition(blockId, pDrawing, sBlockName, iIgnoreEmpty, pReport);
    try {
        referenceId = reportblocks::insertInModelSpace(pDrawing->getDocument()->database(), blockId,
                                                       *pInsertionPoint, m_dblRotation);
        return referenceId;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLegendTable::createLegendBlockReference"));
    }
}

AcDbObjectId& CLegendTable::createLegendBlockDefinition(AcDbObjectId& blockId,
                                                        CAcadDrawing* pDrawing, CString sBlockName,
                                                        int iIgnoreEmpty, CGraphicReport* pReport) {
    try {
        AcDbObjectPointer<AcDbBlockTableRecord> pRecord;
        bool bBadName = false;
        raiseOnFailure(reportblocks::openEmptyDefinition(pDrawing->getDocument()->database(),
                                                         sBlockName, pRecord, bBadName));
        AcDbObjectPointer<AcDbTable> pTable;
        AcDbTable* pMade =
            createLegendTableEntity(pReport, pDrawing, AcGeVector3d::kZAxis, iIgnoreEmpty);
        pTable.acquire(pMade);
        raiseOnFailure(pRecord->appendAcDbEntity(pTable.object()));
        blockId = pRecord->objectId();
        return blockId;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLegendTable::createLegendBlockDefinition"));
    }
}

AcDbTable* CLegendTable::createLegendTableEntity(CGraphicReport* pReport, CAcadDrawing* pDrawing,
                                                 AcGeVector3d normal, int iIgnoreEmpty) {
    try {
        const double ts = m_dblTextSize;
        auto pTable = std::make_unique<AcDbTable>();
        raiseOnFailure(pTable->setTableStyle(tableStyleOf(pDrawing->getDocument()->database())));
        raiseOnFailure(pTable->setSize(2, 3));
        raiseOnFailure(pTable->mergeCells(0, 0, 0, 2));
        pTable->setFlowDirection(AcDb::kTtoB);
        pTable->setPosition(AcGePoint3d::kOrigin);
        pTable->setNormal(normal);

        const CString sAreaHeader = L"Area " + m_sUnits;
        pTable->setTextString(0, 0, pReport->getTitle());
        pTable->setTextString(1, 0, L"Description");
        pTable->setTextString(1, 1, L"Hatch");
        pTable->setTextString(1, 2, sAreaHeader);
        int widths[3] = {12, 6, sAreaHeader.GetLength() + 1};

        int iRow = 2;
        CCategories* pCategories = pReport->getCategories();
        for (int i = 0; pCategories != nullptr && i < pCategories->getCount(); i++) {
            CCategory* pCategory = pCategories->getAt(i);
            double dblArea = 0.0;
            calculateCategoryArea(pCategory, dblArea);
            if (dblArea == 0.0 && iIgnoreEmpty != 0)
                continue;
            const CString sArea = CUtilities::DoubleToCString(dblArea, m_iPrecision);
            raiseOnFailure(pTable->insertRows(iRow, 1.5 * ts));
            pTable->setTextString(iRow, 2, sArea);
            widths[2] = std::max(widths[2], sArea.GetLength() + 1);
            CString sTitle = pCategory->getTitle();
            sTitle.Replace(L"\\", L"\\\\");
            pTable->setTextString(iRow, 0, sTitle);
            widths[0] = std::max(widths[0], sTitle.GetLength() + 1);
            AcDbObjectId swatchId;
            createHatchPattern(swatchId, pDrawing, normal, pReport->getTitle(), pCategory);
            if (!swatchId.isNull())
                raiseOnFailure(pTable->setBlockTableRecordId(iRow, 1, swatchId, false));
            iRow++;
        }
        for (int c = 0; c < 3; c++)
            raiseOnFailure(pTable->setColumnWidth(c, widths[c] * ts));
        raiseOnFailure(pTable->setRowHeight(1.5 * ts));
        const int rowTypes = AcDb::kDataRow | AcDb::kTitleRow | AcDb::kHeaderRow;
        raiseOnFailure(pTable->setTextHeight(ts, rowTypes));
        raiseOnFailure(pTable->setAlignment(AcDb::kMiddleCenter, rowTypes));
        return pTable.release();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLegendTable::createLegendTableEntity"));
    }
}

AcDbObjectId& CLegendTable::createHatchPattern(AcDbObjectId& blockId, CAcadDrawing* pDrawing,
                                               AcGeVector3d normal, CString sReportTitle,
                                               CCategory* pCategory) {
    static const LPCTSTR PROC = _T("CLegendTable::createHatchPattern");
    blockId = AcDbObjectId();
    try {
        CHatch* pSettings = pCategory->getHatch();
        if (pSettings == nullptr)
            return blockId;
        // A name of its own for each row, even where two titles clean to the same name.
        const CString sBase = reportblocks::cleanBlockName(CString(SWATCH_PREFIX) + sReportTitle +
                                                           L"_" + pCategory->getTitle());
        CString sName = sBase;
        for (int n = 2; !m_swatchNames.insert(CString(sName).MakeUpper().GetString()).second; n++)
            sName = sBase + L"_" + CUtilities::IntToCString(n);

        AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
        AcDbObjectPointer<AcDbBlockTableRecord> pRecord;
        bool bBadName = false;
        const Acad::ErrorStatus esRecord =
            reportblocks::openEmptyDefinition(pDatabase, sName, pRecord, bBadName);
        if (bBadName)
            throw new CEXCustom(
                L"Invalid Block Name - '" + sName + L"' - from Graphic Report and Category Names",
                ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC, esRecord, nullptr);
        raiseOnFailure(esRecord);

        const double ts = m_dblTextSize;
        const AcCmColor colour = pSettings->getColour();
        const CString sLayer = CLayer::validateLayerName(pSettings->getLayerName());
        if (!sLayer.IsEmpty())
            CLayers().ensureLayerExists(pDrawing, sLayer, colour);

        AcDbObjectId outlineId;
        {
            AcDbObjectPointer<AcDbPolyline> pOutline;
            pOutline.create();
            const AcGePoint2d corners[] = {
                {0.0, 0.0}, {0.0, 2.0 * ts}, {3.0 * ts, 2.0 * ts}, {3.0 * ts, 0.0}, {0.0, 0.0}};
            for (const AcGePoint2d& corner : corners)
                pOutline->addVertexAt(pOutline->numVerts(), corner, 0.0);
            pOutline->setClosed(true);
            pOutline->setColor(colour);
            if (!sLayer.IsEmpty())
                raiseOnFailure(pOutline->setLayer(sLayer));
            raiseOnFailure(pRecord->appendAcDbEntity(outlineId, pOutline.object()));
        }

        auto pHatch = std::make_unique<AcDbHatch>();
        pHatch->setPatternAngle(static_cast<double>(pSettings->getPatternAngle()));  // radians
        pHatch->setPatternScale(static_cast<double>(pSettings->getPatternScale()));
        if (!sLayer.IsEmpty())
            raiseOnFailure(pHatch->setLayer(sLayer));
        pHatch->setAssociative(false);
        pHatch->setPattern(AcDbHatch::kPreDefined, pSettings->getPatternName());
        pHatch->setColor(colour);
        pHatch->setHatchStyle(AcDbHatch::kNormal);
        pHatch->setNormal(normal);
        pHatch->setElevation(0.0);
        AcDbObjectIdArray loop;
        loop.append(outlineId);
        raiseOnFailure(pHatch->appendLoop(AcDbHatch::kOutermost, loop));
        const Acad::ErrorStatus evaluated = pHatch->evaluateHatch();
        if (evaluated == Acad::eOk) {
            AcDbObjectPointer<AcDbHatch> pPosted;
            AcDbHatch* pMade = pHatch.release();
            pPosted.acquire(pMade);
            raiseOnFailure(pRecord->appendAcDbEntity(pPosted.object()));
        } else if (evaluated == Acad::eHatchTooDense || evaluated == Acad::eAmbiguousOutput) {
            // The pattern cannot be shown at this size: a mark in its place.
            const wchar_t* sMark = evaluated == Acad::eHatchTooDense ? L"<!" : L">!";
            AcDbObjectPointer<AcDbAttributeDefinition> pMark;
            pMark.create();
            pMark->setPosition(AcGePoint3d::kOrigin);
            raiseOnFailure(pMark->setHeight(ts));
            pMark->setNormal(normal);
            pMark->setHorizontalMode(AcDb::kTextLeft);
            pMark->setVerticalMode(AcDb::kTextBase);
            pMark->setInvisible(false);
            pMark->setVerifiable(false);
            pMark->setPreset(false);
            pMark->setConstant(true);
            pMark->setFieldLength(25);
            pMark->setPrompt(sMark);
            raiseOnFailure(pMark->setTag(sMark));
            pMark->setTextString(sMark);
            raiseOnFailure(pRecord->appendAcDbEntity(pMark.object()));
        } else {
            throw evaluated;
        }
        blockId = pRecord->objectId();
        return blockId;
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC);
    }
}

void CLegendTable::calculateCategoryArea(CCategory* pCategory, double& dblArea) {
    try {
        dblArea = reportblocks::categoryArea(pCategory);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLegendTable::calculateCategoryArea"));
    }
}
