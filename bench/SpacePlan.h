// The generated floor plans of the space-block benchmarks (make_floorplan.py), loaded into the
// host and turned into space blocks through the module's own operations.
#pragma once

#include <cwchar>
#include <memory>
#include <string>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/AcadDrawing.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/FileIo.h"

namespace qv::bench {

inline std::string planOf(int rooms) {
    return std::string(QV_FLOORPLANS) + "/floorplan_" + std::to_string(rooms) + ".dxf";
}

// The plan loaded as the host's current document (outside any timing).
inline AcApDocument* load(int rooms) {
    acDocManager->qvReset();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    qv::dxf::MappedFile file(planOf(rooms));
    qv::dxf::AuditReport report;
    qv::dxf::readDrawing(file, *db, report);
    return acDocManager->qvAddDocument(std::move(db));
}

inline AcDbObjectIdArray entitiesOf(AcDbDatabase* db, const wchar_t* className) {
    AcDbObjectIdArray ids;
    AcDbObjectPointer<AcDbBlockTableRecord> space(db->modelSpaceId(), AcDb::kForRead);
    for (const AcDbObjectId& id : space->qvEntities()) {
        if (!id.isErased() && wcscmp(id.objectClass()->name(), className) == 0)
            ids.append(id);
    }
    return ids;
}

inline CAttributes* roomAttributes(int n, double textSize = 0.25) {
    auto* attributes = new CAttributes;
    attributes->setTextHeight(textSize);
    const CString values[] = {L"R-" + CString(std::to_wstring(n).c_str()), L"", L""};
    for (int kind = 0; kind < 3; ++kind) {
        auto* record = new COrvanAttribute;
        record->setKind(kind);
        record->setValue(values[kind]);
        attributes->add(record, FALSE);
    }
    return attributes;
}

// The current document wrapped as the commands wrap it; the caller owns the wrapper.
inline CAcadDrawing* wrap(AcApDocument* document) {
    auto* drawing = new CAcadDrawing;
    drawing->setDocument(document);
    drawing->setIsOpen(1);
    drawing->setIsCurrentDocument(1);
    return drawing;
}

// Makes a space block "ROOM-n" around each closed polyline, its texts of that size; the number
// made.
inline int makeRooms(AcApDocument* document, const AcDbObjectIdArray& outlines,
                     double textSize = 0.25) {
    std::unique_ptr<CAcadDrawing> drawing(wrap(document));
    drawing->lock();  // one lock for the whole run, as a command holds it
    int made = 0;
    for (const AcDbObjectId& id : outlines) {
        CBlockDWGRoom room;
        room.setBlockName(L"ROOM-" + CString(std::to_wstring(made + 1).c_str()));
        room.setAttributes(roomAttributes(made + 1, textSize));
        room.setUnits(0);
        room.setPrecision(2);
        AcDbObjectPointer<AcDbPolyline> outline(id, AcDb::kForRead);
        AcGePoint3d corner;
        outline->getPointAt(0, corner);
        if (room.createBlock(drawing.get(), outline.object(), corner, textSize, 1.0, 0.0) ==
            Acad::eOk)
            ++made;
    }
    drawing->unlock(1);
    return made;
}

}  // namespace qv::bench
