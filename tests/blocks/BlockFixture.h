// Fixture for the space-block tests: a drawing wrapper on the test's current document, and short
// ways to draw boundaries and make space blocks from them through the module's own operations.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "support/HostFixture.h"
#include "support/SpaceBlocks.h"

namespace qv::test {

// One vertex of a polyline: x, y and the bulge of the segment that starts there.
struct Vertex {
    double x, y, bulge;
};

class BlockTest : public DrawingTest {
  protected:
    BlockTest() { wrapCurrentDocument(drawing, document()); }

    // A closed polyline in model space.
    AcDbObjectId addPolyline(std::initializer_list<Vertex> vertices,
                             const wchar_t* layer = nullptr) {
        auto* pl = new AcDbPolyline;
        for (const Vertex& v : vertices)
            pl->addVertexAt(pl->numVerts(), AcGePoint2d(v.x, v.y), v.bulge);
        pl->setClosed(true);
        if (layer != nullptr) {
            addLayer(layer);
            pl->setLayer(layer);
        }
        return addToModelSpace(pl);
    }
    // A closed rectangle from (x, y), w wide and h high.
    AcDbObjectId addRectangle(double x, double y, double w, double h) {
        return addToModelSpace(rectangleOutline(x, y, w, h));
    }

    // Makes a space block named `blockName` from the boundary, with the three attribute values;
    // the host's status.
    Acad::ErrorStatus create(CBlockDWG& block, AcDbObjectId boundary, const wchar_t* blockName,
                             const AcGePoint3d& insertion = AcGePoint3d(0, 0, 0),
                             double height = 250.0, double rotation = 0.0) {
        block.setBlockName(blockName);
        if (block.getAttributes() == nullptr)
            block.setAttributes(spaceAttributes(L"B.01", L"12.50", L""));
        return makeSpaceBlock(block, drawing, boundary, insertion, height, 1.0, rotation);
    }

    // The space block read back from its reference.
    std::unique_ptr<CBlockDWG> readBack(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        EXPECT_EQ(ref.openStatus(), Acad::eOk);
        return std::make_unique<CBlockDWG>(ref.object(), document());
    }

    // The hatches of model space, in order.
    std::vector<AcDbObjectId> hatches() const { return modelSpaceHatches(db()); }

    CAcadDrawing drawing;
};

// The innermost descriptions of the errors of a list, joined by newlines.
std::wstring errorTexts(const COrvanExceptions& errors);

// The extended data of an object under an application as "code:value" items joined by "|".
std::wstring xdataOf(AcDbObjectId id, const wchar_t* application);

}  // namespace qv::test
