// Fixture for the tests that apply reports: a full host (BricsCAD) unless a test says otherwise,
// space blocks made from rectangles through the module's own operations, the hatches of model
// space, and short ways to build a report's categories in memory.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "ReportFixture.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "drawing/Layer.h"
#include "host/CommandLine.h"
#include "reports/Category.h"
#include "support/SpaceBlocks.h"

namespace qv::test {

inline CHatch* hatchOf(const wchar_t* pattern, AcCmColor colour, const wchar_t* layer) {
    auto* hatch = new CHatch;
    hatch->setPatternName(pattern);
    hatch->setColour(colour);
    hatch->setPatternScale(1);
    hatch->setLayerName(layer);
    return hatch;
}

struct HatchSeen {
    std::wstring pattern, layer;
    AcCmColor colour;
    std::vector<AcGePoint2d> outer;
};

class SpaceDrawingTest : public ReportTest {
  protected:
    SpaceDrawingTest() : m_savedHost(hostIdentity) {
        hostIdentity = CHostIdentity(L"BricsCAD", L"");
    }
    ~SpaceDrawingTest() override { hostIdentity = m_savedHost; }

    // A space block from a w × h rectangle at (x, y) with its NAME value; its handle.
    CString room(const wchar_t* blockName, double x, double y, double w, double h,
                 const wchar_t* name, const wchar_t* layer = L"ROOMS") {
        CLayer::ensureLayerExists(layer, &drawing);
        AcDbPolyline* pl = rectangleOutline(x, y, w, h);
        pl->setLayer(layer);
        const AcDbObjectId outline = addToModelSpace(pl);
        CBlockDWG block;
        block.setBlockName(blockName);
        block.setAttributes(spaceAttributes(name, L"", L""));
        block.setLayer(layer);
        block.setArea(w * h / 1e6);
        EXPECT_EQ(makeSpaceBlock(block, drawing, outline, AcGePoint3d(x, y, 0), 100.0), Acad::eOk);
        return referenceHandles().back();
    }

    std::vector<CString> referenceHandles() const {
        std::vector<CString> handles;
        CBlocks all;
        const_cast<SpaceDrawingTest*>(this)->collect(all);
        for (int i = 0; i < all.getCount(); i++)
            handles.push_back(all.getAt(i)->getHandle());
        return handles;
    }
    void collect(CBlocks& blocks) { blocks.getOrvanDWGBlocks_SS(&drawing, false, L"f"); }

    std::vector<HatchSeen> hatches() const {
        std::vector<HatchSeen> seen;
        AcDbObjectPointer<AcDbBlockTableRecord> model(db()->modelSpaceId(), AcDb::kForRead);
        for (const AcDbObjectId& id : model->qvEntities()) {
            AcDbObjectPointer<AcDbHatch> hatch(id, AcDb::kForRead);
            if (hatch.openStatus() != Acad::eOk)
                continue;
            HatchSeen h{hatch->patternName(), layerOf(hatch.object()), hatch->color(), {}};
            Adesk::Int32 type = 0;
            AcGePoint2dArray vertices;
            AcGeDoubleArray bulges;
            if (hatch->numLoops() > 0 && hatch->getLoopAt(0, type, vertices, bulges) == Acad::eOk)
                for (int i = 0; i < vertices.length(); i++)
                    h.outer.push_back(vertices[i]);
            seen.push_back(h);
        }
        return seen;
    }

    // A report block naming a drawing block by its handle (or "*"), with the category's hatch.
    static CBlockDWG* reportBlock(const CString& handle, const CHatch* hatch, double area = 0.0) {
        auto* block = new CBlockDWG;
        block->setHandle(handle);
        block->setArea(area);
        if (hatch != nullptr) {
            auto* copy = new CHatch;
            hatch->copyTo(copy);
            block->setHatch(copy);
        }
        return block;
    }

    static CCategory* category(const wchar_t* title, CHatch* hatch,
                               std::initializer_list<CString> handles) {
        auto* c = new CCategory;
        c->setTitle(title);
        c->setHatch(hatch);
        auto* blocks = new CBlocks;
        for (const CString& handle : handles)
            blocks->addBlock(reportBlock(handle, hatch));
        c->setBlocks(blocks);
        return c;
    }

    void setHost(const wchar_t* product) { hostIdentity = CHostIdentity(product, L""); }
    std::wstring printed() const { return qv::host::transcript().text(); }

  private:
    CHostIdentity m_savedHost;
};

}  // namespace qv::test
