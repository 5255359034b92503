// The benchmark floor plans (make_floorplan.py, QV_FLOORPLANS) loaded into the host, and what
// the benchmarks of space blocks and graphic reports share to make their rooms.
#pragma once

#include <cwchar>
#include <memory>
#include <string>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/OrvanAttribute.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/FileIo.h"

namespace spaceplan {

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

// The entities of model space of exactly that class, in drawing order.
inline AcDbObjectIdArray entitiesOf(AcDbDatabase* db, const wchar_t* className) {
    AcDbObjectIdArray ids;
    AcDbObjectPointer<AcDbBlockTableRecord> space(db->modelSpaceId(), AcDb::kForRead);
    for (const AcDbObjectId& id : space->qvEntities()) {
        if (!id.isErased() && wcscmp(id.objectClass()->name(), className) == 0)
            ids.append(id);
    }
    return ids;
}

// NAME "R-n", empty AREA and AUX, text 0.25 high.
inline CAttributes* roomAttributes(int n) {
    auto* attributes = new CAttributes;
    attributes->setTextHeight(0.25);
    const CString values[] = {L"R-" + CString(std::to_wstring(n).c_str()), L"", L""};
    for (int kind = 0; kind < 3; ++kind) {
        auto* record = new COrvanAttribute;
        record->setKind(kind);
        record->setValue(values[kind]);
        attributes->add(record, FALSE);
    }
    return attributes;
}

}  // namespace spaceplan
