// A module for the space-block acceptance case. No command of the real module makes space blocks
// yet, so this one drives the module's own operations as a command of it would, on the drawing
// that the host program opened:
//   qvrooms     every closed polyline of model space becomes a space block "ROOM-n" (NAME "R-n",
//               AUX "AUX-n", the AREA text the area to two places), measured in square metres
//               and written back with its extended data
//   qvpickroom  picks a space block (CAcadUtilities::userSelectOrvanBlock) and prints it
//   qvunroom    picks a space block and turns it back into its polyline
#include "StdAfx.h"

#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"

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

}  // namespace

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* appId) {
    switch (message) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(appId);
            acrxDynamicLinker->registerAppMDIAware(appId);
            acedRegCmds->addCommand(kGroup, L"qvrooms", L"qvrooms", ACRX_CMD_MODAL, makeRooms);
            acedRegCmds->addCommand(kGroup, L"qvpickroom", L"qvpickroom", ACRX_CMD_MODAL, pickRoom);
            acedRegCmds->addCommand(kGroup, L"qvunroom", L"qvunroom", ACRX_CMD_MODAL, unRoom);
            break;
        case AcRx::kUnloadAppMsg:
            acedRegCmds->removeGroup(kGroup);
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}
