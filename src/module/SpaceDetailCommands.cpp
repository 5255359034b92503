// osc_cal and osc_dsd: the attribute layers of every space block, and the details of one.
#include "StdAfx.h"

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawingState.h"
#include "drawing/AcadUtilities.h"
#include "drawing/Layer.h"
#include "module/BlockSweep.h"
#include "module/CommandFrame.h"
#include "module/ListingCommands.h"

namespace {

// The layer of each kind of space-block text, by kind (COrvanAttribute::Kind).
const wchar_t* const ATTRIBUTE_LAYERS[] = {L"ATT-NAME", L"ATT-AREA", L"ATT-AUX"};

// Puts the block's NAME, AREA and AUX records on their layers; true when one moved.
bool moveRecordsToTheirLayers(CAttributes* pAttributes) {
    bool bMoved = false;
    for (int iKind = COrvanAttribute::KIND_NAME; iKind <= COrvanAttribute::KIND_AUX; ++iKind) {
        CAttribute* pRecord = pAttributes->getAtAttribute(iKind);
        if (pRecord == nullptr || pRecord->getLayer() == ATTRIBUTE_LAYERS[iKind])
            continue;
        pRecord->setLayer(ATTRIBUTE_LAYERS[iKind]);
        bMoved = true;
    }
    return bMoved;
}

void moveAttributesOfEveryBlock(CAcadDrawing* pDrawing) {
    CBlocks blocks;
    collectSpaceBlocks(pDrawing, blocks);
    for (int i = 0; i < blocks.getCount(); ++i) {
        const auto* pBlock = static_cast<const CBlockDWG*>(blocks.getAt(i));
        CAttributes* pAttributes = pBlock->getAttributes();
        if (pAttributes == nullptr || !moveRecordsToTheirLayers(pAttributes))
            continue;
        AcDbObjectPointer<AcDbEntity> pReference(pBlock->getObjectId(), AcDb::kForWrite);
        if (pReference.openStatus() != Acad::eOk)
            continue;
        pAttributes->applyToDWGByTag(pReference.object());
    }
}

// Puts the saved state back after a failure; a failure of its own is shown too, before the
// one that ends the command.
void restoreAfterFailure(CAcadDrawingState& saved, CAcadDrawing* pDrawing) {
    try {
        saved.applyState(pDrawing, 0);
    } catch (...) {
        reportCommandError(_T("checkAttributeLayers"));
    }
}

void printAttribute(const CAttributes* pAttributes, int iKind, const wchar_t* sFormat) {
    if (const CAttribute* pRecord = pAttributes->getAtAttribute(iKind))
        acutPrintf(sFormat, pRecord->getValue().GetString());
}

void printDetails(const CBlockDWG* pBlock) {
    acutPrintf(L"\n");
    acutPrintf(L"Block Identifier %s\n", pBlock->getBlockName().GetString());
    acutPrintf(L"Handle\t\t\t %s\n", pBlock->getHandle().GetString());
    if (const CAttributes* pAttributes = pBlock->getAttributes()) {
        acutPrintf(L"Attributes\n");
        printAttribute(pAttributes, COrvanAttribute::KIND_NAME, L"\tName '%s'\n");
        printAttribute(pAttributes, COrvanAttribute::KIND_AREA, L"\tArea '%s'\n");
        printAttribute(pAttributes, COrvanAttribute::KIND_AUX, L"\t Aux '%s'\n");
        acutPrintf(L"\n");
    }
    acutPrintf(L"XDATA\n");
    acutPrintf(L"\t Area           %f\n", pBlock->getArea());
    acutPrintf(L"\t Perimeter      %f\n", pBlock->getPerimeter());
    acutPrintf(L"\t Tag Type       %s\n", pBlock->getTagType().GetString());
    acutPrintf(L"\t Area Type      %s\n", pBlock->getAreaType().GetString());
    acutPrintf(L"\t Cost Centre    %s\n", pBlock->getCostCentre().GetString());
    acutPrintf(L"\t Date           %s\n", pBlock->getDate().GetString());
    acutPrintf(L"\t Date Last Move %s\n", pBlock->getDateLastMove().GetString());
    acutPrintf(L"\t Dept Charge    %s\n", pBlock->getDeptCharge().GetString());
    acutPrintf(L"\t Room Height    %f\n", pBlock->getRoomHeight());
    acutPrintf(L"\t Special Req    %s\n", pBlock->getSpecialReq().GetString());
    acutPrintf(L"\t Tot Staff      %s\n", pBlock->getTotStaff().GetString());
    acutPrintf(L"\t Tot Wk Stns    %s\n", pBlock->getTotWkStns().GetString());
    acutPrintf(L"\t Vloume         %f\n", pBlock->getVolume());
    acutPrintf(L"\n\n");
}

}  // namespace

void checkAttributeLayers() {
    guardCommand(_T("checkAttributeLayers"), [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        if (!frame.lockDrawing())
            return;
        for (const wchar_t* sLayer : ATTRIBUTE_LAYERS)
            CLayer::ensureLayerExists(sLayer, pDrawing);

        AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
        CAcadDrawingState saved(pDatabase);
        try {
            CAcadDrawingState takeOff(pDatabase);
            takeOff.setStateForTakeOff(pDrawing);
            moveAttributesOfEveryBlock(pDrawing);
        } catch (...) {
            restoreAfterFailure(saved, pDrawing);
            throw;
        }
        saved.applyState(pDrawing, 0);
    });
}

void displaySpaceDetails() {
    guardCommand(_T("displaySpaceDetails"), [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        AcDbHandle handle;
        if (CAcadUtilities::selectSpaceHandle(&handle) != 0)
            return;
        CBlocks blocks;
        collectSpaceBlocks(pDrawing, blocks);
        const auto* pBlock =
            static_cast<const CBlockDWG*>(blocks.getAt(CString(handle.text().c_str())));
        if (pBlock == nullptr) {
            printCommandFailure(L"\nThe selected block is not a space block\n");
            return;
        }
        printDetails(pBlock);
    });
}
