// A module for the space-block acceptance case. No command of the real module makes space blocks
// yet, so this one drives the module's own operations as a command of it would, on the drawing
// that the host program opened:
//   qvrooms     every closed polyline of model space becomes a space block "ROOM-n" (NAME "R-n",
//               AUX "AUX-n", the AREA text the area to two places), measured in square metres
//               and written back with its extended data
//   qvpickroom  picks a space block (CAcadUtilities::userSelectOrvanBlock) and prints it
//   qvunroom    picks a space block and turns it back into its polyline
//   qvcollect   collects the space blocks with their furniture (the "X" walk, level "f"),
//               sorted by handle; turns the first by 30 degrees and scales it by 1.5; gives each
//               a hatch (ANSI31, scale 50, colour 200,120,40, layer "ROOM-HATCH") and the
//               hyperlink "http://rooms/" + name, "Room " + name, each of its assets a hatch
//               (ANSI37, scale 20, colour 40,120,200, layer "ASSET-HATCH") and the hyperlink
//               "http://assets/" + block name + "/" + handle; and writes it back
#include "StdAfx.h"

#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Blocks.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"

namespace {

constexpr const ACHAR* kGroup = L"QV_SPACE_BLOCKS";

// The current document wrapped as the module's commands wrap it.
void wrapCurrent(CAcadDrawing& drawing) {
    drawing.setDocument(acDocManager->curDocument());
    drawing.setIsOpen(1);
    drawing.setIsCurrentDocument(1);
}

CAttributes* roomAttributes(int n) {
    auto* attributes = new CAttributes;
    const CString values[] = {L"R-" + CUtilities::IntToCString(n), L"",
                              L"AUX-" + CUtilities::IntToCString(n)};
    for (int kind = 0; kind < 3; ++kind) {
        auto* record = new COrvanAttribute;
        record->setKind(kind);
        record->setValue(values[kind]);
        attributes->add(record, FALSE);
    }
    return attributes;
}

// The closed polylines of model space, in drawing order.
AcDbObjectIdArray closedOutlines(AcDbDatabase* db) {
    AcDbObjectIdArray outlines;
    AcDbObjectPointer<AcDbBlockTableRecord> space(db->modelSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* raw = nullptr;
    if (space.openStatus() != Acad::eOk || space->newIterator(raw) != Acad::eOk)
        return outlines;
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        it->getEntityId(id);
        AcDbObjectPointer<AcDbPolyline> outline(id, AcDb::kForRead);
        if (outline.openStatus() == Acad::eOk && outline->isClosed() &&
            wcscmp(outline->isA()->name(), L"AcDbPolyline") == 0)
            outlines.append(id);
    }
    return outlines;
}

void makeRooms() {
    try {
        CAcadDrawing drawing;
        wrapCurrent(drawing);
        AcApDocument* document = acDocManager->curDocument();
        int n = 0;
        for (const AcDbObjectId& id : closedOutlines(document->database())) {
            ++n;
            CBlockDWGRoom room;
            room.setBlockName(L"ROOM-" + CUtilities::IntToCString(n));
            room.setAttributes(roomAttributes(n));
            room.setUnits(0);
            room.setPrecision(12);
            Acad::ErrorStatus es;
            {
                AcDbObjectPointer<AcDbEntity> outline(id, AcDb::kForRead);
                AcDbExtents box;
                outline->getGeomExtents(box);
                const AcGePoint3d middle = box.minPoint() + (box.maxPoint() - box.minPoint()) / 2;
                es = room.createBlock(&drawing, outline.object(), middle, 250.0, 1.0, 0.0);
            }
            if (es != Acad::eOk) {
                acutPrintf(L"%s not made: %s\n", room.getBlockName().GetString(),
                           acadErrorStatusText(es));
                continue;
            }
            room.recalculateArea(document);
            room.recalculatePerimeter(document);
            room.getAttributes()
                ->getAtAttribute(COrvanAttribute::KIND_AREA)
                ->setValue(CUtilities::DoubleToCString(room.getArea(), 2));
            room.applyToDWG(&drawing, nullptr);
            acutPrintf(L"%s R-%d %s %s, perimeter %s %s\n", room.getBlockName().GetString(), n,
                       CUtilities::DoubleToCString(room.getArea(), 2).GetString(),
                       room.getAreaUnitsText().GetString(),
                       CUtilities::DoubleToCString(room.getPerimeter(), 2).GetString(),
                       room.getLengthUnitsText().GetString());
        }
        acutPrintf(L"%d space blocks made.\n", n);
    } catch (CEXOrvan* e) {
        e->printErrorChain();
        e->deleteChain();
    }
}

void pickRoom() {
    try {
        CBlockDWG picked;
        if (CAcadUtilities::userSelectOrvanBlock(acDocManager->curDocument(), &picked) == 0)
            return;
        acutPrintf(L"Picked %s: %s, %s %s, units %d, precision %d, application %s\n",
                   picked.getBlockName().GetString(), picked.getName().GetString(),
                   CUtilities::DoubleToCString(picked.getArea(), 2).GetString(),
                   picked.getAreaUnitsText().GetString(), picked.getUnits(), picked.getPrecision(),
                   picked.getXDataAppName().GetString());
    } catch (CEXOrvan* e) {
        e->printErrorChain();
        e->deleteChain();
    }
}

void unRoom() {
    try {
        CBlockDWG picked;
        if (CAcadUtilities::userSelectOrvanBlock(acDocManager->curDocument(), &picked) == 0)
            return;
        CAcadDrawing drawing;
        wrapCurrent(drawing);
        acutPrintf(picked.deleteBlock(&drawing) ? L"%s is a polyline again.\n"
                                                : L"%s stays a space block.\n",
                   picked.getBlockName().GetString());
    } catch (CEXOrvan* e) {
        e->printErrorChain();
        e->deleteChain();
    }
}

const wchar_t* kindName(int type) {
    switch (type) {
        case 7:
            return L"room";
        case 8:
            return L"floor";
        case 9:
            return L"building";
        case 10:
            return L"site";
        default:
            return L"block";
    }
}

void collectAndHatch() {
    try {
        CAcadDrawing drawing;
        wrapCurrent(drawing);
        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(&drawing, true, L"f");
        blocks.sortBlocksByHandle(true);
        acutPrintf(L"%d space blocks collected.\n", blocks.getCount());
        for (int i = 0; i < blocks.getCount(); i++) {
            auto* block = dynamic_cast<CBlockDWG*>(blocks.getAt(i));
            if (block == nullptr)
                continue;
            if (i == 0) {
                CDrawingLock lock(&drawing);
                AcDbObjectPointer<AcDbBlockReference> reference(block->getObjectId(),
                                                                AcDb::kForWrite);
                if (reference.openStatus() == Acad::eOk) {
                    reference->setRotation(3.14159265358979323846 / 6.0);
                    reference->setScaleFactors(AcGeScale3d(1.5, 1.5, 1.0));
                }
            }
            auto* hatch = new CHatch;
            hatch->setPatternName(L"ANSI31");
            hatch->setPatternScale(50);
            hatch->setLayerName(L"ROOM-HATCH");
            AcCmColor colour;
            colour.setRGB(200, 120, 40);
            hatch->setColour(colour);
            block->setHatch(hatch);
            auto* links = new CHyperlinks;
            links->add(
                new CHyperlink(L"http://rooms/" + block->getName(), L"Room " + block->getName()));
            block->setHyperlinks(links);
            CAssets* assets = block->getAssets();
            const int iAssets = assets != nullptr ? assets->getCount() : 0;
            for (int a = 0; a < iAssets; a++) {
                CAsset* asset = assets->getAt(a);
                auto* assetHatch = new CHatch;
                assetHatch->setPatternName(L"ANSI37");
                assetHatch->setPatternScale(20);
                assetHatch->setLayerName(L"ASSET-HATCH");
                AcCmColor assetColour;
                assetColour.setRGB(40, 120, 200);
                assetHatch->setColour(assetColour);
                asset->setHatch(assetHatch);
                auto* assetLinks = new CHyperlinks;
                assetLinks->add(new CHyperlink(
                    L"http://assets/" + asset->getBlockIdentifier() + L"/" + asset->getHandle(),
                    asset->getBlockIdentifier()));
                asset->setHyperlinks(assetLinks);
                acutPrintf(L"  asset %s\n", asset->getBlockIdentifier().GetString());
            }
            COrvanExceptions errors;
            block->applyToDWG(&drawing, &errors);
            acutPrintf(L"%s %s %s, %d asset(s): %d hatch error(s)\n",
                       block->getBlockName().GetString(), kindName(block->getBlockType()),
                       block->getName().GetString(), iAssets, errors.getCount());
            errors.printAll();
        }
    } catch (CEXOrvan* e) {
        e->printErrorChain();
        e->deleteChain();
    }
}

}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* appId) {
    switch (message) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(appId);
            acrxDynamicLinker->registerAppMDIAware(appId);
            acedRegCmds->addCommand(kGroup, L"qvrooms", L"qvrooms", ACRX_CMD_MODAL, makeRooms);
            acedRegCmds->addCommand(kGroup, L"qvpickroom", L"qvpickroom", ACRX_CMD_MODAL, pickRoom);
            acedRegCmds->addCommand(kGroup, L"qvunroom", L"qvunroom", ACRX_CMD_MODAL, unRoom);
            acedRegCmds->addCommand(kGroup, L"qvcollect", L"qvcollect", ACRX_CMD_MODAL,
                                    collectAndHatch);
            break;
        case AcRx::kUnloadAppMsg:
            acedRegCmds->removeGroup(kGroup);
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}
