// Applying a graphic report to a drawing of space blocks: what it prints, the hatches it makes,
// the layers it leaves on, the blocks it formats and the stored areas it keeps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "SpaceDrawingFixture.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "host/CommandLine.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/LinkLine.h"
#include "reports/LinkLines.h"

namespace {

using qv::test::HatchSeen;
using qv::test::hatchOf;
using qv::test::rgb;
using ApplyReportTest = qv::test::SpaceDrawingTest;

TEST_F(ApplyReportTest, HatchesEachCategoryAndLeavesOnlyItsLayersOn) {
    const CString office = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    const CString meeting = room(L"ROOM-2", 5000, 0, 2000, 3000, L"1.02");
    const CString store = room(L"ROOM-3", 0, 4000, 1000, 1000, L"1.03");
    addLayer(L"WALLS");
    addLayer(L"FURNITURE");

    CGraphicReport report;
    report.setTitle(L"Departments");
    auto* categories = new CCategories;
    categories->add(category(L"Offices", hatchOf(L"ANSI31", rgb(255, 0, 0), L"HATCH-OFF"),
                             {office, meeting}));
    categories->add(category(L"Storage", hatchOf(L"SOLID", rgb(0, 0, 255), L"HATCH-STO"),
                             {store, L"FFFFF"}));
    report.setCategories(categories);
    auto* layers = new CLayers;
    auto* walls = new CLayer;
    walls->setName(L"WALLS");
    layers->add(walls);
    auto* empty = new CLayer;
    layers->add(empty);  // an empty name is passed over
    report.setLayersOn(layers);

    qv::host::transcript().clear();
    report.applyToDrawing(&drawing);
    EXPECT_EQ(drawing.isLocked(), 0);

    EXPECT_NE(printed().find(L"applying graphic report Departments.\n"
                             L"\tgraphic report contains 2 categories.\n"
                             L"\tapplying category Offices.\n"
                             L"\tcategory contains 2 blocks.\n"
                             L"\tapplying category Storage.\n"
                             L"\tcategory contains 2 blocks.\n"),
              std::wstring::npos)
        << printed();
    EXPECT_EQ(printed().find(L"Applying link Lines"), std::wstring::npos);

    const std::vector<HatchSeen> seen = hatches();
    ASSERT_EQ(seen.size(), 3u);
    struct Expected {
        const wchar_t *pattern, *layer;
        AcCmColor colour;
        double x, y, w, h;
    } expected[] = {{L"ANSI31", L"HATCH-OFF", rgb(255, 0, 0), 0, 0, 4000, 3000},
                    {L"ANSI31", L"HATCH-OFF", rgb(255, 0, 0), 5000, 0, 2000, 3000},
                    {L"SOLID", L"HATCH-STO", rgb(0, 0, 255), 0, 4000, 1000, 1000}};
    for (const Expected& e : expected) {
        bool found = false;
        for (const HatchSeen& h : seen) {
            if (h.outer.size() != 4 || std::abs(h.outer[0].x - e.x) > 1e-6 ||
                std::abs(h.outer[0].y - e.y) > 1e-6)
                continue;
            found = true;
            EXPECT_EQ(h.pattern, e.pattern);
            EXPECT_EQ(h.layer, e.layer);
            EXPECT_EQ(h.colour, e.colour);
            EXPECT_NEAR(h.outer[2].x, e.x + e.w, 1e-6);
            EXPECT_NEAR(h.outer[2].y, e.y + e.h, 1e-6);
        }
        EXPECT_TRUE(found) << "no hatch over the room at " << e.x << "," << e.y;
    }

    for (const wchar_t* on : {L"WALLS", L"HATCH-OFF", L"HATCH-STO"})
        EXPECT_FALSE(layerIsOff(on)) << on;
    for (const wchar_t* off : {L"FURNITURE", L"ROOMS"})
        EXPECT_TRUE(layerIsOff(off)) << off;

    // The report's blocks that were found are now the blocks read from the drawing.
    const CBlocks* offices = report.getCategories()->getAt(0)->getBlocks();
    ASSERT_EQ(offices->getCount(), 2);
    EXPECT_EQ(static_cast<CBlockDWG*>(offices->getAt(0))->getName(), L"1.01");
    EXPECT_EQ(static_cast<CBlockDWG*>(offices->getAt(1))->getName(), L"1.02");
}

TEST_F(ApplyReportTest, StarFormatsEveryRoomAndKeepsTheirStoredAreas) {
    room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    room(L"ROOM-2", 5000, 0, 2000, 3000, L"1.02");
    room(L"ROOM-GROSS_AREA", -100, -100, 8000, 6000, L"GROSS");
    std::vector<double> before;
    {
        CBlocks all;
        collect(all);
        for (int i = 0; i < all.getCount(); i++)
            before.push_back(all.getAt(i)->getArea());
    }
    ASSERT_EQ(before.size(), 3u);
    ASSERT_GT(before[0], 0.0);

    for (int run = 0; run < 2; run++) {  // re-applying the same report object
        CGraphicReport report;
        auto* categories = new CCategories;
        categories->add(category(L"All", hatchOf(L"SOLID", rgb(0, 200, 0), L"HATCH-ALL"), {L"*"}));
        report.setCategories(categories);
        qv::host::transcript().clear();
        report.applyToDrawing(&drawing);
        report.applyToDrawing(&drawing);
        EXPECT_NE(printed().find(L"\tcategory contains 1 blocks.\n"), std::wstring::npos);
        EXPECT_NE(printed().find(L"\tcategory contains 2 blocks.\n"), std::wstring::npos)
            << "the second application walks the rooms the first one found";

        const CBlocks* formatted = report.getCategories()->getAt(0)->getBlocks();
        ASSERT_EQ(formatted->getCount(), 2) << "the gross area is not formatted nor kept";
        double sum = 0;
        for (int i = 0; i < formatted->getCount(); i++)
            sum += formatted->getAt(i)->getArea();
        EXPECT_DOUBLE_EQ(sum, before[0] + before[1]);
    }
    CBlocks all;
    collect(all);
    ASSERT_EQ(all.getCount(), 3);
    for (int i = 0; i < all.getCount(); i++)
        EXPECT_DOUBLE_EQ(all.getAt(i)->getArea(), before[i]) << i;
    for (const HatchSeen& h : hatches())
        EXPECT_EQ(h.layer, L"HATCH-ALL");
}

TEST_F(ApplyReportTest, BlockOnALockedLayerIsReportedAndItsLayerSwitchedOn) {
    const CString office = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01", L"LOCKED");
    ASSERT_NO_FATAL_FAILURE(
        editLayer(L"LOCKED", [](AcDbLayerTableRecord& layer) { layer.setIsLocked(true); }));
    CGraphicReport report;
    auto* categories = new CCategories;
    CCategory* c = category(L"Offices", hatchOf(L"SOLID", rgb(1, 2, 3), L"H"), {office});
    static_cast<CBlockDWG*>(c->getBlocks()->getAt(0))->setLayer(L"LOCKED");
    categories->add(c);
    report.setCategories(categories);  // no layers-on list: the layers keep their locks
    qv::host::transcript().clear();
    report.applyToDrawing(&drawing);
    EXPECT_NE(printed().find(L"\t\terror(s) occurred whilst applying orvan block  - " +
                             std::wstring(office.GetString()) + L".\n"),
              std::wstring::npos)
        << printed();
    AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForRead);
    AcDbObjectPointer<AcDbLayerTableRecord> layer;
    AcDbObjectId id;
    table->getAt(L"LOCKED", id);
    ASSERT_EQ(layer.open(id, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(layer->isLocked()) << "switched on: thawed, unlocked, on";
    EXPECT_FALSE(layer->isOff());
    EXPECT_EQ(report.getCategories()->getAt(0)->getBlocks()->getAt(0)->getName(), L"")
        << "the report's own block stays in the list";
}

TEST_F(ApplyReportTest, LinkLinesComeFirstAndTheirLayersStayOn) {
    const CString first = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    const CString second = room(L"ROOM-2", 5000, 0, 2000, 3000, L"1.02");
    addLayer(L"WALLS");
    CGraphicReport report;
    report.setTitle(L"Links");
    auto* lines = new CLinkLines;
    auto* line = new CLinkLine;
    line->setStartHandle(first);
    line->setEndHandle(second);
    line->setLabelText(L"next door");
    lines->add(line);
    report.setLinkLines(lines);
    auto* layers = new CLayers;
    auto* walls = new CLayer;
    walls->setName(L"WALLS");
    layers->add(walls);
    report.setLayersOn(layers);
    auto* categories = new CCategories;
    categories->add(category(L"Offices", hatchOf(L"SOLID", rgb(9, 9, 9), L"H"), {first}));
    report.setCategories(categories);

    qv::host::transcript().clear();
    report.applyToDrawing(&drawing);
    const std::wstring text = printed();
    const size_t links = text.find(L"Applying link Lines\n");
    ASSERT_NE(links, std::wstring::npos) << text;
    EXPECT_LT(links, text.find(L"\tgraphic report contains 1 categories.\n"));
    EXPECT_FALSE(layerIsOff(L"_ORVAN")) << "the link line's own layer";
    EXPECT_FALSE(layerIsOff(L"ROOMS")) << "the linked references' layer";
    EXPECT_FALSE(layerIsOff(L"WALLS"));
    EXPECT_EQ(report.getLinkLines()->getAt(0)->getLayerName(), L"_ORVAN");
}

}  // namespace
