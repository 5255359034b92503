// Short ways to draw outlines and make space blocks through the module's own block creation, for
// the tests of the module (header only: the platform's tests, which do not link the module, never
// include it).
#pragma once

#include <gtest/gtest.h>
#include <vector>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/AcadDrawing.h"

namespace qv::test {

// The space-block records NAME, AREA and AUX (kinds 0, 1, 2) with their values; a null value
// leaves its record out.
inline CAttributes* spaceAttributes(const wchar_t* name, const wchar_t* area, const wchar_t* aux) {
    auto* attributes = new CAttributes;
    const wchar_t* values[] = {name, area, aux};
    for (int kind = 0; kind < 3; ++kind) {
        if (values[kind] == nullptr)
            continue;
        auto* record = new COrvanAttribute;
        record->setKind(kind);
        record->setValue(values[kind]);
        attributes->add(record, FALSE);
    }
    return attributes;
}

// A polyline round the rectangle from (x, y), w wide and h high, counter-clockwise; not yet in a
// drawing.
inline AcDbPolyline* rectangleOutline(double x, double y, double w, double h, bool closed = true) {
    auto* outline = new AcDbPolyline;
    const AcGePoint2d corners[] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    for (const AcGePoint2d& corner : corners)
        outline->addVertexAt(outline->numVerts(), corner);
    outline->setClosed(closed);
    return outline;
}

// Points the wrapper at the document, open and current.
inline void wrapCurrentDocument(CAcadDrawing& drawing, AcApDocument* document) {
    drawing.setDocument(document);
    drawing.setIsOpen(1);
    drawing.setIsCurrentDocument(1);
}

// Makes the block (its name, attributes and values set by the caller) from the outline in the
// drawing, as the block creator does; the host's status.
inline Acad::ErrorStatus makeSpaceBlock(CBlockDWG& block, CAcadDrawing& drawing,
                                        AcDbObjectId outline, const AcGePoint3d& at,
                                        double textHeight = 250.0, double widthFactor = 1.0,
                                        double rotation = 0.0) {
    AcDbObjectPointer<AcDbEntity> entity(outline, AcDb::kForRead);
    EXPECT_EQ(entity.openStatus(), Acad::eOk);
    if (entity.openStatus() != Acad::eOk)
        return entity.openStatus();
    return block.createBlock(&drawing, entity.object(), at, textHeight, widthFactor, rotation);
}

// The hatches of the database's model space, in drawing order.
inline std::vector<AcDbObjectId> modelSpaceHatches(AcDbDatabase* db) {
    std::vector<AcDbObjectId> ids;
    AcDbObjectPointer<AcDbBlockTableRecord> model(db->modelSpaceId(), AcDb::kForRead);
    for (const AcDbObjectId& id : model->qvEntities())
        if (!id.isErased() && id.objectClass() == AcDbHatch::desc())
            ids.push_back(id);
    return ids;
}

}  // namespace qv::test
