// ogabc, odb and the block-definition test.
#include "module/BlockCommands.h"

#include <memory>

#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "module/CommandFrame.h"
#include "module/SpaceTexts.h"

namespace {

const wchar_t GROSS_AREA_BLOCK[] = L"ROOM-GROSS_AREA";

// Measures the polyline (open for write) in the units, makes the floor block "GROSS AREA" with
// area and perimeter rounded to the precision and the texts NAME "GROSS AREA", AREA (the area
// text, followed by its unit text when `bAreaUnit`) and AUX " ", and creates it at the point
// (rotation in degrees). The creation carries the outline into the UCS and puts it back on a
// refusal. Gives the creation's status.
Acad::ErrorStatus makeGrossAreaBlock(CAcadDrawing* pDrawing, AcDbPolyline* pPolyline,
                                     const AcGePoint3d& ptText, int iUnits, int iPrecision,
                                     double dblTextSize, double dblTextScale, double dblRotation,
                                     bool bAreaUnit) {
    const Adesk::Int16 iDrawingUnits = pDrawing->getDocument()->database()->lunits();
    const CString sArea = CUtilities::DoubleToCString(
        CAcadUtilities::calculatePolylineArea(pPolyline, iDrawingUnits, iUnits), iPrecision);
    const CString sPerimeter = CUtilities::DoubleToCString(
        CAcadUtilities::calculatePolylinePerimeter(pPolyline, iDrawingUnits, iUnits), iPrecision);

    CBlockDWGFloor block;
    block.setUnits(iUnits);
    block.setPrecision(iPrecision);
    block.setName(L"GROSS AREA");
    block.setArea(CUtilities::CStringToDouble(sArea));
    block.setPerimeter(CUtilities::CStringToDouble(sPerimeter));
    block.setAttributes(newSpaceTexts(
        L"GROSS AREA", bAreaUnit ? sArea + areaUnitText(iUnits) : sArea, L" "));
    return block.createBlock(pDrawing, pPolyline, ptText, dblTextSize, dblTextScale, dblRotation);
}

// Whether the picked outline is a polyline; says "\nInvalid Selection\n\n" when not.
bool isPolyline(AcDbEntity* pEntity) {
    if (CString(pEntity->isA()->name()) == L"AcDbPolyline")
        return true;
    printCommandFailure(L"\nInvalid Selection\n\n");
    return false;
}

}  // namespace

int blockDefinitionExists(CAcadDrawing* pDrawing, CString sName) {
    if (pDrawing == nullptr || !pDrawing->isOpen() || pDrawing->getDocument() == nullptr)
        return 0;
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    if (pDatabase == nullptr)
        return 0;
    AcDbObjectPointer<AcDbBlockTable> pTable(pDatabase->blockTableId(), AcDb::kForRead);
    if (pTable.openStatus() != Acad::eOk)
        return 0;
    AcDbBlockTableIterator* pRaw = nullptr;
    if (pTable->newIterator(pRaw) != Acad::eOk)
        return 0;
    const std::unique_ptr<AcDbBlockTableIterator> iterator(pRaw);
    int iFound = 0;
    for (; !iterator->done(); iterator->step()) {
        AcDbBlockTableRecord* pRecord = nullptr;
        if (iterator->getRecord(pRecord, AcDb::kForRead) != Acad::eOk)
            continue;
        AcDbObjectPointer<AcDbBlockTableRecord> record;
        record.acquire(pRecord);
        const ACHAR* pName = nullptr;
        if (record->getName(pName) != Acad::eOk || pName == nullptr)
            continue;
        const CString sRecord(pName);
        if (!sRecord.IsEmpty() && sRecord[0] != L'*' && sRecord == sName)
            iFound = 1;
    }
    return iFound;
}

void createGrossAreaBlock(CAcadDrawing* pDrawing, AcDbObjectId polylineId, int iUnits,
                          double dblTextSize, double dblTextScale, double dblRotation,
                          int iPrecision) {
    guardCommand(L"createGrossAreaBlock", [&] {
        CAcModuleResourceOverride resources;
        acutPrintf(L"Select Name and Area Text Position:\n");
        ads_point picked;
        if (acedGetPoint(nullptr, L"\nEnter Attribute points: ", picked) != RTNORM)
            return;
        const AcGePoint3d ptText(picked[0], picked[1], picked[2]);

        AcDbObjectPointer<AcDbEntity> pEntity(polylineId, AcDb::kForWrite);
        if (pEntity.openStatus() != Acad::eOk) {
            printCommandFailure(
                L"Block Creation Failed - Error Code %s\n",
                static_cast<LPCTSTR>(CUtilities::IntToCString(pEntity.openStatus())));
            return;
        }
        if (!isPolyline(pEntity.object()))
            return;
        const Acad::ErrorStatus es =
            makeGrossAreaBlock(pDrawing, static_cast<AcDbPolyline*>(pEntity.object()), ptText,
                               iUnits, iPrecision, dblTextSize, dblTextScale, dblRotation, true);
        pEntity.close();
        if (es == Acad::eOk)
            acutPrintf(L"Block Created Successfully\n");
        else
            printCommandFailure(L"Block Creation Failed - Error Code %s\n",
                                static_cast<LPCTSTR>(CUtilities::IntToCString(es)));
    });
}

void grossAreaBlockCreate() {
    guardCommand(L"grossAreaBlockCreate", L"\nUnhandled Error - Block Creation Failed\n", [] {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Create Gross Area Block ");
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        if (blockDefinitionExists(pDrawing, GROSS_AREA_BLOCK)) {
            printCommandFailure(L"\n\nGross Area Block Already Exists\n");
            return;
        }
        if (!frame.lockDrawing())
            return;
        const CPreferences* pPreferences = frame.loadPreferences();
        AcDbObjectId polylineId;
        if (CAcadUtilities::selectObjectIdOfClass(&polylineId, L"\nPlease select a polyline:\n",
                                                  L"AcDbPolyline") != 0)
            return;
        bool bClosed = false;
        {
            AcDbObjectPointer<AcDbPolyline> pPolyline(polylineId, AcDb::kForWrite);
            const Acad::ErrorStatus es = pPolyline.openStatus();
            if (es == Acad::eOnLockedLayer) {
                printCommandFailure(L"\nPolyline On Locked Layer - Block Creation Failed\n");
                return;
            }
            if (es != Acad::eOk) {
                printCommandFailure(L"\nUnable get Polyline - Error %s - Block Creation Failed\n",
                                    static_cast<LPCTSTR>(CUtilities::IntToCString(es)));
                return;
            }
            bClosed = pPolyline->isClosed();
        }
        if (!bClosed) {
            printCommandFailure(L"\nInvalid Selection - Polyline is not closed\n\n");
            return;
        }
        createGrossAreaBlock(pDrawing, polylineId, pPreferences->getUnits(),
                             pPreferences->getTextSize(), pPreferences->getTextScale(),
                             pPreferences->getTextRotation(), pPreferences->getPrecision());
    });
}

void grossAreaBlockCreate2() {
    guardCommand(L"grossAreaBlockCreate2", [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        if (blockDefinitionExists(pDrawing, GROSS_AREA_BLOCK)) {
            printCommandFailure(L"Operation Cancelled. Gross Area Block already Exists\n");
            return;
        }
        AcDbObjectId polylineId;
        if (CAcadUtilities::selectObjectIdOfClass(
                &polylineId, L"\nPlease select the gross area polyline:\n", L"AcDbPolyline") != 0) {
            acutPrintf(L"Gross Area Block Creation Cancelled\n");
            return;
        }
        if (!frame.lockDrawing())
            return;
        acutPrintf(L"Select Name and Area Text Position:\n");
        ads_point picked;
        if (acedGetPoint(nullptr, L"\nEnter Attribute points: ", picked) != RTNORM)
            return;
        AcDbObjectPointer<AcDbEntity> pEntity(polylineId, AcDb::kForWrite);
        if (pEntity.openStatus() != Acad::eOk) {
            printCommandFailure(L"Block Creation Failed\n");
            return;
        }
        if (!isPolyline(pEntity.object()))
            return;
        auto* pPolyline = static_cast<AcDbPolyline*>(pEntity.object());
        if (!pPolyline->isClosed()) {
            printCommandFailure(L"\nPolyline Is not closed\n\n");
            return;
        }
        // Without a preferences file: text size 250.0, and the other values as a fresh
        // preferences object holds them (square metres, 2 decimals, scale 1, no rotation).
        const CPreferences* pPreferences = frame.loadPreferences();
        const Acad::ErrorStatus es = makeGrossAreaBlock(
            pDrawing, pPolyline, AcGePoint3d(picked[0], picked[1], picked[2]),
            pPreferences->getUnits(), pPreferences->getPrecision(), pPreferences->getTextSize(),
            pPreferences->getTextScale(), pPreferences->getTextRotation(), false);
        pEntity.close();
        if (es == Acad::eOk)
            acutPrintf(L"Gross Area Block Created Successfully\n");
        else
            printCommandFailure(L"Block Creation Failed\n");
    });
}

void deleteBlock() {
    guardCommand(L"deleteBlock", [] {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Block Delete ");
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        CBlockDWG block;
        AcDbObjectId referenceId;
        if (CAcadUtilities::selectObjectIdOfClass(&referenceId, L"Select the Orvan Block to delete",
                                                  L"AcDbBlockReference") != 0)
            return;
        block.setObjectId(referenceId);
        if (!block.deleteBlock(pDrawing))
            printCommandFailure(
                L"\nUnable to delete the block - it is locked, scaled unevenly or gone\n");
    });
}
