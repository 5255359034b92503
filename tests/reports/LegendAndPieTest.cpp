#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "ReportFixture.h"
#include "StdAfx.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "host/db/ObjectAccess.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/LegendTable.h"
#include "reports/PieChart.h"
#include "reports/PieSegment.h"
#include "reports/PieSegments.h"
#include "support/CpuBudget.h"
#include "support/FaultSweep.h"

namespace {

using qv::host::ObjectAccess;
using qv::test::expectNear;

const double PI = 3.141592653589793;

// One category of a test report: title, the areas of its space blocks, and its hatch (pattern
// empty: none).
struct CategorySpec {
    const wchar_t* title;
    std::vector<double> areas;
    const wchar_t* pattern = L"ANSI31";
    int colour = 1;
    int scale = 1;
    const wchar_t* layer = L"HATCH-A";
};

class ReportDrawingTest : public qv::test::ReportTest {
  protected:
    ReportDrawingTest() { report.setTitle(L"Plan: 1/2"); }

    static CCategories* categoriesOf(const std::vector<CategorySpec>& specs) {
        auto* categories = new CCategories;
        for (const CategorySpec& spec : specs) {
            auto* category = new CCategory;
            category->setTitle(spec.title);
            auto* blocks = new CBlocks;
            for (double area : spec.areas) {
                auto* block = new CBlockDWG;
                block->setArea(area);
                blocks->addBlock(block);
            }
            category->setBlocks(blocks);
            if (spec.pattern[0] != 0) {
                auto* hatch = new CHatch;
                hatch->setPatternName(spec.pattern);
                hatch->setPatternScale(spec.scale);
                AcCmColor colour;
                colour.setColorIndex(static_cast<Adesk::UInt16>(spec.colour));
                hatch->setColour(colour);
                hatch->setLayerName(spec.layer);
                category->setHatch(hatch);
            }
            categories->add(category);
        }
        return categories;
    }
    void addCategories(std::initializer_list<CategorySpec> specs) {
        report.setCategories(categoriesOf(specs));
    }

    template <typename T>
    std::vector<const T*> entitiesOfKind(AcDbObjectId block) const {
        std::vector<const T*> result;
        for (const AcDbObjectId& id : entitiesOf(block))
            if (const auto* e = ObjectAccess::peekAs<T>(id))
                result.push_back(e);
        return result;
    }

    const AcDbTable* legendTable(const wchar_t* name) const {
        const auto tables = entitiesOfKind<AcDbTable>(definition(name));
        return tables.size() == 1 ? tables[0] : nullptr;
    }

    CGraphicReport report;
};

// A chart of many wedges (a report of many categories): each wedge is offered in constant time,
// and a label already held, case included, is still refused however many are held.
TEST(PieSegmentsTest, ManyWedgesAreHeldOncePerLabel) {
    constexpr int kWedges = 60000;
    CPieSegments segments;
    const qv::test::CpuBudget budget(2.0);
    int offered = 0;
    for (; offered < kWedges && !budget.spent(); ++offered) {
        const CString label = L"Wedge " + CString(std::to_wstring(offered).c_str());
        segments.add(new CPieSegment(label, nullptr, 1.0, 2, L"m2"));
    }
    ASSERT_EQ(offered, kWedges) << "out of time (" << budget.used() << " s)";
    const struct {
        const wchar_t* label;
        int count;
    } offers[] = {
        {L"Wedge 0", kWedges},                // the first label held
        {L"Wedge 59999", kWedges},            // the last one
        {L"wedge 0", kWedges + 1},            // another case is another label
        {L"Wedge 60000", kWedges + 2},        // a new one
        {L"Wedge 60000", kWedges + 2},        // and now held
    };
    for (const auto& offer : offers)
        EXPECT_EQ(segments.add(new CPieSegment(offer.label, nullptr, 1.0, 2, L"m2")), offer.count)
            << offer.label;
    EXPECT_DOUBLE_EQ(segments.getTotalArea(), kWedges + 2.0);
    segments.deleteObjects();
    EXPECT_EQ(segments.add(new CPieSegment(L"Wedge 0", nullptr, 1.0, 2, L"m2")), 1)
        << "deleting the wedges forgets their labels";
}

const wchar_t LEGEND[] = L"[ORVAN_LEGEND]_Plan_ 1_2";
const wchar_t PIE[] = L"[ORVAN_PIECHART]_Plan_ 1_2";

// The table: title merged over the columns, header, one row per category in order with its
// title (backslashes doubled), its swatch and its area; widths in characters times the text
// size; rows 1.5 text sizes high unless a swatch needs more.
TEST_F(ReportDrawingTest, TheLegendTableListsTheCategories) {
    addCategories({{L"Offices", {12.5, 30.0}},
                   {L"Store\\North", {7.25}, L"ANSI37", 3, 1, L"HATCH-B"},
                   {L"Empty", {}, L"", 0},
                   {L"A rather long category title", {1234567.891}, L"ANSI31", 5}});
    CDrawingLock lock(&drawing);
    AcGePoint3d at(5000, 2000, 0);
    CLegendTable(&drawing, 100.0, 2, L"sq.m.", 0, &report, 0.0, &at);

    const AcDbTable* table = legendTable(LEGEND);
    ASSERT_NE(nullptr, table);
    ASSERT_EQ(6, table->numRows());
    ASSERT_EQ(3, table->numColumns());
    EXPECT_TRUE(table->isMergedCell(0, 2)) << "the title spans the three columns";
    const std::vector<std::vector<std::wstring>> texts = {
        {L"Plan: 1/2", L"", L""},    {L"Description", L"Hatch", L"Area sq.m."},
        {L"Offices", L"", L"42.50"}, {L"Store\\\\North", L"", L"7.25"},
        {L"Empty", L"", L"0.00"},    {L"A rather long category title", L"", L"1234567.89"}};
    for (int r = 0; r < 6; ++r)
        for (int c : {0, 2}) {
            if (r > 0 || c == 0) {
                EXPECT_EQ(texts[r][c], table->textStringConst(r, c)) << r << "," << c;
            }
        }
    // Widths: the longest title (28 + 1), the swatch column, "Area sq.m." (10 + 1).
    EXPECT_DOUBLE_EQ(2900.0, table->columnWidth(0));
    EXPECT_DOUBLE_EQ(600.0, table->columnWidth(1));
    EXPECT_DOUBLE_EQ(1100.0, table->columnWidth(2));
    // Swatches two text sizes high make their rows grow; the rest stay 1.5 text sizes.
    const double margins = 2 * table->vertCellMargin();
    const double heights[] = {150, 150, 200 + margins, 200 + margins, 150, 200 + margins};
    for (int r = 0; r < 6; ++r)
        EXPECT_NEAR(heights[r], table->rowHeight(r), 1e-9) << r;
    for (AcDb::RowType type : {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow}) {
        EXPECT_DOUBLE_EQ(100.0, table->textHeight(type));
        EXPECT_EQ(AcDb::kMiddleCenter, table->alignment(type));
    }
    // The swatch cells; the category without hatch settings has none.
    const wchar_t* swatches[] = {L"[ORVAN_LEGEND_HATCH]_Plan_ 1_2_Offices",
                                 L"[ORVAN_LEGEND_HATCH]_Plan_ 1_2_Store_North", nullptr,
                                 L"[ORVAN_LEGEND_HATCH]_Plan_ 1_2_A rather long category title"};
    for (int i = 0; i < 4; ++i) {
        const AcDbObjectId cell = table->blockTableRecordId(2 + i, 1);
        EXPECT_EQ(swatches[i] == nullptr ? AcDbObjectId() : definition(swatches[i]), cell) << i;
    }
    // A swatch: a 3 x 2 text-size rectangle on the hatch layer, filled with the hatch.
    const AcDbObjectId swatch = definition(swatches[1]);
    const auto outlines = entitiesOfKind<AcDbPolyline>(swatch);
    ASSERT_EQ(1u, outlines.size());
    AcGePoint3d corner;
    outlines[0]->getPointAt(2, corner);
    expectNear(AcGePoint3d(300, 200, 0), corner);
    EXPECT_EQ(std::wstring(L"HATCH-B"), layerOf(outlines[0]));
    const auto hatches = entitiesOfKind<AcDbHatch>(swatch);
    ASSERT_EQ(1u, hatches.size());
    EXPECT_STREQ(L"ANSI37", hatches[0]->patternName());
    EXPECT_EQ(3, hatches[0]->colorIndex());
    EXPECT_EQ(std::wstring(L"HATCH-B"), layerOf(hatches[0]));
    // The reference at the point.
    const std::vector<AcDbObjectId> references = referencesTo(LEGEND);
    ASSERT_EQ(1u, references.size());
    expectNear(at, ObjectAccess::peekAs<AcDbBlockReference>(references[0])->position());
}

// What the legend leaves out or marks: empty categories with the flag, a pattern too dense for a
// swatch, equal titles, and a report without categories.
TEST_F(ReportDrawingTest, TheLegendHandlesEmptyTwinsAndUnshowablePatterns) {
    addCategories({{L"Dense", {5.0}, L"ANSI37", 1, 1},
                   {L"Sparse", {0.0}, L"ANSI31", 2, 100000},
                   {L"Twin", {1.0}, L"ANSI31", 3, 10},
                   {L"Twin", {2.0}, L"ANSI31", 4, 10}});
    CDrawingLock lock(&drawing);
    ASSERT_EQ(Acad::eOk, db()->setHpmaxlines(100));  // ANSI37 over a swatch: some 200 lines
    CLegendTable(&drawing, 100.0, 1, L"sq.ft.", 0, &report, 0.0, nullptr);
    const AcDbTable* table = legendTable(LEGEND);
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(6, table->numRows());
    EXPECT_TRUE(referencesTo(LEGEND).empty());  // no point: the definition alone
    // A pattern too dense to show in the swatch: a mark stands in its place.
    const auto marks = entitiesOfKind<AcDbAttributeDefinition>(table->blockTableRecordId(2, 1));
    ASSERT_EQ(1u, marks.size());
    EXPECT_STREQ(L"<!", marks[0]->textStringConst());
    EXPECT_TRUE(marks[0]->isConstant());
    EXPECT_TRUE(entitiesOfKind<AcDbHatch>(table->blockTableRecordId(2, 1)).empty());
    // Two categories of one title: a swatch each.
    EXPECT_NE(table->blockTableRecordId(4, 1), table->blockTableRecordId(5, 1));
    EXPECT_FALSE(definition(L"[ORVAN_LEGEND_HATCH]_Plan_ 1_2_Twin_2").isNull());
    EXPECT_EQ(1u, entitiesOfKind<AcDbHatch>(table->blockTableRecordId(5, 1)).size());

    // With the ignore-empty flag the category of area 0 has no row.
    CLegendTable(&drawing, 100.0, 1, L"sq.ft.", 1, &report, 0.0, nullptr);
    table = legendTable(LEGEND);
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(5, table->numRows());
    EXPECT_EQ(std::wstring(L"Twin"), table->textStringConst(3, 0));

    // No categories: title and header only.
    CGraphicReport bare;
    bare.setTitle(L"Bare");
    CLegendTable(&drawing, 100.0, 1, L"sq.ft.", 1, &bare, 0.0, nullptr);
    ASSERT_NE(nullptr, legendTable(L"[ORVAN_LEGEND]_Bare"));
    EXPECT_EQ(2, legendTable(L"[ORVAN_LEGEND]_Bare")->numRows());
}

// The sweep of a wedge from its outline: 4 atan(-bulge) of the arc's vertex; its start from the
// arc's first point (clockwise from twelve o'clock).
struct Wedge {
    double start, sweep;
};
Wedge wedgeOf(const AcDbPolyline* outline) {
    AcGePoint3d first;
    outline->getPointAt(1, first);
    double bulge = 0.0;
    outline->getBulgeAt(1, bulge);
    return {std::atan2(first.x, first.y), 4.0 * std::atan(-bulge)};
}

// The wedges share the report's total clockwise from twelve o'clock in category order, with
// their labels, title and total; a second category of the same title gets no wedge.
TEST_F(ReportDrawingTest, ThePieSharesTheTotalByArea) {
    addCategories({{L"A", {30.0, 20.0}},
                   {L"B", {30.0}, L"ANSI37", 2, 1, L"HATCH-B"},
                   {L"C", {20.0}, L"", 0},
                   {L"B", {5.0}, L"ANSI31", 6}});
    report.setTotalChildAreas(100.0);
    CDrawingLock lock(&drawing);
    AcGePoint3d centre(1000, 1000, 0);
    CPieChart(&drawing, &report, 2000.0, 0.0, 250.0, 2, L"sq.m.", 1, 1, 1, 0.0, &centre);

    const AcDbObjectId pie = definition(PIE);
    ASSERT_FALSE(pie.isNull());
    const auto outlines = entitiesOfKind<AcDbPolyline>(pie);
    ASSERT_EQ(3u, outlines.size());
    const Wedge expected[] = {{0.0, PI}, {PI, 0.6 * PI}, {1.6 * PI, 0.4 * PI}};
    for (size_t i = 0; i < 3; ++i) {
        const Wedge w = wedgeOf(outlines[i]);
        EXPECT_NEAR(std::cos(expected[i].start), std::cos(w.start), 1e-9) << i;
        EXPECT_NEAR(std::sin(expected[i].start), std::sin(w.start), 1e-9) << i;
        EXPECT_NEAR(expected[i].sweep, w.sweep, 1e-9) << i;
    }
    // Hatched wedges only; the one without hatch settings takes no layer or colour.
    EXPECT_EQ(2u, entitiesOfKind<AcDbHatch>(pie).size());
    EXPECT_EQ(std::wstring(L"HATCH-B"), layerOf(outlines[1]));
    EXPECT_EQ(std::wstring(L"0"), layerOf(outlines[2]));
    EXPECT_EQ(256, outlines[2]->colorIndex());
    EXPECT_EQ(3u, entitiesOfKind<AcDbLine>(pie).size());

    // Labels, title and total: constant texts. A label starts at its point right of the pie and
    // ends there left of it, so that it runs away from the pie.
    std::vector<std::pair<std::wstring, AcDb::TextHorzMode>> labels;
    const AcDbAttributeDefinition* title = nullptr;
    const AcDbAttributeDefinition* total = nullptr;
    for (const AcDbAttributeDefinition* text : entitiesOfKind<AcDbAttributeDefinition>(pie)) {
        EXPECT_TRUE(text->isConstant());
        ACHAR* tag = text->tag();
        const std::wstring sTag = tag;
        acutDelString(tag);
        if (sTag == L"CHARTTITLE")
            title = text;
        else if (sTag == L"CHARTTOTAL")
            total = text;
        else
            labels.emplace_back(text->textStringConst(), text->horizontalMode());
    }
    EXPECT_EQ((std::vector<std::pair<std::wstring, AcDb::TextHorzMode>>{
                  {L"A (50.00 sq.m.)", AcDb::kTextLeft},
                  {L"B (30.00 sq.m.)", AcDb::kTextRight},
                  {L"C (20.00 sq.m.)", AcDb::kTextRight}}),
              labels);
    ASSERT_NE(nullptr, title);
    ASSERT_NE(nullptr, total);
    EXPECT_STREQ(L"Plan: 1/2", title->textStringConst());
    EXPECT_STREQ(L"Total: 100.00sq.m.", total->textStringConst());
    expectNear(AcGePoint3d(0, 3250, 0), title->alignmentPoint());
    expectNear(AcGePoint3d(0, -2750, 0), total->alignmentPoint());
    EXPECT_EQ(AcDb::kTextCenter, title->horizontalMode());
    EXPECT_EQ(AcDb::kTextTop, total->verticalMode());

    const std::vector<AcDbObjectId> references = referencesTo(PIE);
    ASSERT_EQ(1u, references.size());
    expectNear(centre, ObjectAccess::peekAs<AcDbBlockReference>(references[0])->position());
}

// A legend and a pie placed at a point picked in a turned user coordinate system stand there,
// turned with it (the drawing's world coordinates are what the references keep).
TEST_F(ReportDrawingTest, TheLegendAndPieStandWhereTheyWerePickedInATurnedUcs) {
    addCategories({{L"A", {40.0}}, {L"B", {60.0}, L"ANSI37", 2}});
    report.setTotalChildAreas(100.0);
    const double turn = PI / 6;
    ASSERT_EQ(Acad::eOk,
              db()->setUcs(AcGePoint3d(1000, 500, 0), AcGeVector3d(std::cos(turn), std::sin(turn), 0),
                           AcGeVector3d(-std::sin(turn), std::cos(turn), 0)));
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs, db());
    const struct {
        const char* name;
        const wchar_t* block;
        double rotation;  // as given, in the UCS
    } cases[] = {
        {"legend", LEGEND, 0.0},
        {"pie", PIE, 0.0},
        {"legend turned in the UCS", LEGEND, PI / 2},
        {"pie turned in the UCS", PIE, PI / 2},
    };
    CDrawingLock lock(&drawing);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AcGePoint3d at(2000, 3000, 0);
        if (c.block == LEGEND)
            CLegendTable(&drawing, 100.0, 2, L"sq.m.", 0, &report, c.rotation, &at);
        else
            CPieChart(&drawing, &report, 1000.0, 0.0, 100.0, 2, L"sq.m.", 0, 1, 1, c.rotation,
                      &at);
        const std::vector<AcDbObjectId> references = referencesTo(c.block);
        ASSERT_FALSE(references.empty());
        const auto* reference = ObjectAccess::peekAs<AcDbBlockReference>(references.back());
        expectNear(AcGePoint3d(at).transformBy(ucs), reference->position());
        EXPECT_NEAR(std::remainder(turn + c.rotation - reference->rotation(), 2 * PI), 0.0,
                    1e-9);
    }
}

// The total decides the circle: one wedge of it all is a full circle, wedges that run a little
// over it are kept within the circle, and wedges well over it are refused.
TEST_F(ReportDrawingTest, ThePieKeepsItsWedgesWithinTheCircle) {
    const struct {
        const char* name;
        double total;
        std::vector<double> areas;
        int outlines;    // -1: refused
        double lastEnd;  // where the last wedge ends, radians
        int ignoreEmpty = 0;
    } cases[] = {
        {"one wedge of it all", 100.0, {100.0}, 1, 2 * PI},
        {"over by less than a whole unit", 100.4, {60.0, 40.9}, 2, 2 * PI},
        {"short of the total", 200.0, {50.0, 50.0}, 2, PI},
        {"over by a whole unit", 100.9, {60.0, 41.0}, -1, 0.0},
        {"no total", 0.0, {10.0}, 0, 0.0},
        {"an empty wedge left out", 100.0, {100.0, 0.0}, 1, 2 * PI, 1},
        {"a small wedge is no empty one", 100.0, {99.5, 0.5}, 2, 2 * PI, 1},
    };
    CDrawingLock lock(&drawing);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicReport one;
        one.setTitle(CString(c.name));
        one.setTotalChildAreas(c.total);
        std::vector<CategorySpec> specs;
        for (size_t i = 0; i < c.areas.size(); ++i)
            specs.push_back({i == 0 ? L"K0" : L"K1", {c.areas[i]}, L"", 0});
        one.setCategories(categoriesOf(specs));
        bool refused = false;
        try {
            CPieChart(&drawing, &one, 1000.0, 0.0, 100.0, 2, L"sq.m.", c.ignoreEmpty, 0, 0, 0.0,
                      nullptr);
        } catch (CEXOrvan* e) {
            refused = true;
            e->deleteChain();
        }
        EXPECT_EQ(c.outlines < 0, refused);
        const AcDbObjectId pie =
            definition((CString(L"[ORVAN_PIECHART]_") + CString(c.name)).GetString());
        if (c.outlines <= 0) {
            EXPECT_TRUE(pie.isNull());
            continue;
        }
        const auto outlines = entitiesOfKind<AcDbPolyline>(pie);
        ASSERT_EQ(static_cast<size_t>(c.outlines), outlines.size());
        if (c.outlines == 1) {
            EXPECT_EQ(3u, outlines[0]->numVerts());  // two clockwise half circles
            for (unsigned int v : {0u, 1u}) {
                double bulge = 0.0;
                outlines[0]->getBulgeAt(v, bulge);
                EXPECT_DOUBLE_EQ(-1.0, bulge) << v;
            }
            continue;
        }
        const Wedge last = wedgeOf(outlines.back());
        double start = last.start < -1e-9 ? last.start + 2 * PI : last.start;
        EXPECT_NEAR(c.lastEnd, start + last.sweep, 1e-9);
    }
}

// Applying twice redefines the legend, swatch and pie definitions in place: the references and
// table cells of the first run show the second run's content, nothing dangles.
TEST_F(ReportDrawingTest, ApplyingTwiceRedefinesInPlace) {
    addCategories({{L"A", {40.0}}, {L"B", {60.0}, L"ANSI37", 2}});
    report.setTotalChildAreas(100.0);
    CDrawingLock lock(&drawing);
    AcGePoint3d at(0, 0, 0);
    CLegendTable(&drawing, 100.0, 2, L"sq.m.", 0, &report, 0.0, &at);
    CPieChart(&drawing, &report, 1000.0, 0.0, 100.0, 2, L"sq.m.", 0, 1, 1, 0.0, &at);
    const AcDbObjectId legend = definition(LEGEND);
    const AcDbObjectId pie = definition(PIE);
    const AcDbObjectId swatch = definition(L"[ORVAN_LEGEND_HATCH]_Plan_ 1_2_B");
    const std::vector<AcDbObjectId> firstPie = entitiesOf(pie);

    report.getCategories()->getAt(1)->getBlocks()->getAt(0)->setArea(10.0);
    CLegendTable(&drawing, 100.0, 2, L"sq.m.", 0, &report, 0.0, &at);
    CPieChart(&drawing, &report, 1000.0, 0.0, 100.0, 2, L"sq.m.", 0, 1, 1, 0.0, &at);

    EXPECT_EQ(legend, definition(LEGEND));
    EXPECT_EQ(pie, definition(PIE));
    EXPECT_EQ(swatch, definition(L"[ORVAN_LEGEND_HATCH]_Plan_ 1_2_B"));
    // Each run put its reference; both show the one definition.
    EXPECT_EQ(2u, referencesTo(LEGEND).size());
    EXPECT_EQ(2u, referencesTo(PIE).size());
    // The old entities are gone, the new ones there.
    for (const AcDbObjectId& id : firstPie)
        EXPECT_TRUE(ObjectAccess::peek(id)->isErased());
    const AcDbTable* table = legendTable(LEGEND);
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(std::wstring(L"10.00"), table->textStringConst(3, 2));
    EXPECT_EQ(swatch, table->blockTableRecordId(3, 1));
    EXPECT_EQ(2u, entitiesOf(swatch).size());  // outline and hatch, once
    // Every block shown by a reference or a cell is a live definition.
    for (const AcDbObjectId& id : entitiesOf(definition(L"*Model_Space"))) {
        const auto* reference = ObjectAccess::peekAs<AcDbBlockReference>(id);
        if (reference != nullptr) {
            EXPECT_FALSE(ObjectAccess::peek(reference->blockTableRecord())->isErased());
        }
    }
}

// A text size or radius that a user edited to letters (read as 0) is refused clearly, and
// nothing is drawn.
TEST_F(ReportDrawingTest, ATextSizeOrRadiusOfZeroIsRefused) {
    addCategories({{L"A", {40.0}}});
    report.setTotalChildAreas(40.0);
    CDrawingLock lock(&drawing);
    AcGePoint3d at(0, 0, 0);
    const struct {
        const char* name;
        double textSize, radius;
        bool legend;
        const wchar_t* message;
    } cases[] = {
        {"legend text size", 0.0, 0.0, true, L"the legend's text size must be greater than 0"},
        {"pie text size", 0.0, 1000.0, false, L"its text size and radius must be greater"},
        {"pie radius", 100.0, 0.0, false, L"its text size and radius must be greater"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CString shown;
        try {
            if (c.legend)
                CLegendTable(&drawing, c.textSize, 2, L"sq.m.", 0, &report, 0.0, &at);
            else
                CPieChart(&drawing, &report, c.radius, 0.0, c.textSize, 2, L"sq.m.", 0, 1, 1, 0.0,
                          &at);
        } catch (CEXOrvan* e) {
            for (CEXOrvan* level = e; level != nullptr; level = level->getInnerException())
                shown += level->getDescription();
            e->deleteChain();
        }
        EXPECT_NE(-1, shown.Find(c.message)) << CStringA(shown).GetString();
    }
    EXPECT_TRUE(definition(LEGEND).isNull());
    EXPECT_TRUE(definition(PIE).isNull());
}

// Whatever host call fails while a legend or a pie is drawn, the failure reaches the caller as
// an error, and nothing is left open, locked or leaked; the normal run afterwards draws both.
TEST_F(ReportDrawingTest, EveryHostFailureIsReportedAndGivesEverythingBack) {
    addCategories({{L"A", {40.0}}, {L"B", {60.0}, L"ANSI37", 2}, {L"C", {0.0}, L"", 0}});
    report.setTotalChildAreas(100.0);
    bool built = false;
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults([&] {
        built = false;
        AcGePoint3d at(0, 0, 0);
        try {
            CDrawingLock lock(&drawing);
            CLegendTable(&drawing, 100.0, 2, L"sq.m.", 0, &report, 0.0, &at);
            CPieChart(&drawing, &report, 1000.0, 50.0, 100.0, 2, L"sq.m.", 0, 1, 1, 0.0, &at);
            built = true;
        } catch (CEXOrvan* e) {
            e->deleteChain();
        }
    });
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_TRUE(built);
    EXPECT_GT(sweep.failurePoints, 20);
    ASSERT_NE(nullptr, legendTable(LEGEND));
    EXPECT_EQ(5, legendTable(LEGEND)->numRows());
}

// On a host that is not a full host the definitions are made and no reference is put.
TEST_F(ReportDrawingTest, ALightHostGetsTheDefinitionsOnly) {
    addCategories({{L"A", {40.0}}});
    report.setTotalChildAreas(40.0);
    const CHostIdentity running = hostIdentity;
    hostIdentity = CHostIdentity(L"AutoCAD LT 2015", L"");
    {
        CDrawingLock lock(&drawing);
        AcGePoint3d at(0, 0, 0);
        CLegendTable(&drawing, 100.0, 2, L"sq.m.", 0, &report, 0.0, &at);
        CPieChart(&drawing, &report, 1000.0, 0.0, 100.0, 2, L"sq.m.", 0, 1, 1, 0.0, &at);
    }
    hostIdentity = running;
    EXPECT_FALSE(definition(LEGEND).isNull());
    EXPECT_FALSE(definition(PIE).isNull());
    EXPECT_TRUE(referencesTo(LEGEND).empty());
    EXPECT_TRUE(referencesTo(PIE).empty());
}

// Each wedge's hatch goes beneath everything else of the pie block while the block is being
// built (held open), so outlines, lines and labels are drawn over it; nothing is reported.
TEST_F(ReportDrawingTest, ThePieWedgesLieBeneathTheirOutlines) {
    addCategories({{L"A", {60.0}}, {L"B", {40.0}, L"ANSI37", 2, 1, L"HATCH-B"}});
    report.setTotalChildAreas(100.0);
    CDrawingLock lock(&drawing);
    AcGePoint3d centre(0, 0, 0);
    qv::host::transcript().clear();
    CPieChart(&drawing, &report, 1000.0, 0.0, 100.0, 2, L"sq.m.", 1, 1, 1, 0.0, &centre);

    const AcDbObjectIdArray order = qv::host::drawOrder(definition(PIE));
    const auto hatches = entitiesOfKind<AcDbHatch>(definition(PIE));
    ASSERT_EQ(2u, hatches.size());
    ASSERT_GT(order.length(), 2);
    EXPECT_EQ(hatches[1]->objectId(), order[0]) << "the last wedge's hatch moved last, lowest";
    EXPECT_EQ(hatches[0]->objectId(), order[1]);
    EXPECT_EQ(qv::host::transcript().text(), L"") << "no draw-order error";
}

}  // namespace
