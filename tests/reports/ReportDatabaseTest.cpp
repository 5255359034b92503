// A report's categories and link lines from the test database: hatches built only from a
// pattern, NULL columns, equal categories and repeated lines kept once.
#include <gtest/gtest.h>

#include "StdAfx.h"
#include "ReportFixture.h"
#include "blocks/Assets.h"
#include "blocks/Block.h"
#include "blocks/Blocks.h"
#include "database/DatabaseFixture.h"
#include "drawing/Hatch.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/LinkLine.h"
#include "reports/LinkLines.h"

namespace {

using qv::test::rgb;

using qv::test::ModuleDatabaseTest;

using ReportDatabaseTest = ModuleDatabaseTest;

TEST_F(ReportDatabaseTest, CategoriesWithTheirHatchBlocksAndAssets) {
    auto procedure = this->procedure(L"");
    CCategories categories;
    categories.getReportCategories(procedure.get(), 50, 23);
    EXPECT_EQ(procedure->getTimeout(), 23);
    ASSERT_EQ(categories.getCount(), 3) << "the second \"Offices\" equals the first";

    const CCategory* offices = categories.getAt(0);
    EXPECT_EQ(offices->getID(), 50);
    EXPECT_EQ(offices->getTitle(), L"Offices");
    ASSERT_NE(offices->getHatch(), nullptr);
    EXPECT_EQ(offices->getHatch()->getPatternName(), L"ANSI31");
    EXPECT_EQ(offices->getHatch()->getPatternAngle(), 1);
    EXPECT_EQ(offices->getHatch()->getPatternScale(), 20);
    EXPECT_EQ(offices->getHatch()->getColour(), rgb(255, 0, 0));
    EXPECT_EQ(offices->getHatch()->getLayerName(), L"HATCH-OFFICE");
    ASSERT_NE(offices->getBlocks(), nullptr);
    ASSERT_EQ(offices->getBlocks()->getCount(), 2);
    EXPECT_EQ(offices->getBlocks()->getAt(1)->getHandle(), L"5A1");
    EXPECT_DOUBLE_EQ(offices->getBlocks()->getAt(0)->getArea(), 100.25);
    ASSERT_NE(offices->getAssets(), nullptr);
    EXPECT_EQ(offices->getAssets()->getCount(), 1);

    const CCategory* meeting = categories.getAt(1);
    EXPECT_EQ(meeting->getTitle(), L"Meeting");
    EXPECT_EQ(meeting->getHatch(), nullptr) << "an empty pattern gives no hatch";
    EXPECT_EQ(meeting->getBlocks(), nullptr) << "no rows: no list";
    EXPECT_EQ(meeting->getAssets(), nullptr);

    const CCategory* storage = categories.getAt(2);
    ASSERT_NE(storage->getHatch(), nullptr);
    EXPECT_EQ(storage->getHatch()->getPatternName(), L"SOLID");
    EXPECT_EQ(storage->getHatch()->getLayerName(), L"_Orvan");
    EXPECT_EQ(storage->getHatch()->getPatternAngle(), 0);
    EXPECT_EQ(storage->getHatch()->getPatternScale(), 1);
    ASSERT_NE(storage->getBlocks(), nullptr);
    EXPECT_EQ(storage->getBlocks()->getAt(0)->getHandle(), L"*");

    CCategories none;
    none.getReportCategories(procedure.get(), 51, 5);
    EXPECT_EQ(none.getCount(), 0);
}

TEST_F(ReportDatabaseTest, LinkLinesOncePerPairOfHandles) {
    auto procedure = this->procedure(L"");
    CLinkLines lines;
    lines.getGraphicReportLinkLines(procedure.get(), 50, 9);
    EXPECT_EQ(procedure->getTimeout(), 9);
    ASSERT_EQ(lines.getCount(), 3);
    const struct {
        const wchar_t *start, *end, *layer, *label;
    } expected[] = {{L"5B0", L"5B1", L"LINKS", L"feeds"},
                    {L"5b0", L"5B1", L"", L""},
                    {L"5B1", L"5A0", L"", L"back"}};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(lines.getAt(i)->getStartHandle(), expected[i].start) << i;
        EXPECT_EQ(lines.getAt(i)->getEndHandle(), expected[i].end) << i;
        EXPECT_EQ(lines.getAt(i)->getLayerName(), expected[i].layer) << i;
        EXPECT_EQ(lines.getAt(i)->getLabelText(), expected[i].label) << i;
    }
    lines.getGraphicReportLinkLines(procedure.get(), 51, 9);
    EXPECT_EQ(lines.getCount(), 3);
}

}  // namespace
