// Areas and perimeters of space blocks with the areas subtracted and added, unit conversion and
// the highlighting of those areas.
#include <gtest/gtest.h>

#include <numbers>

#include "BlockFixture.h"
#include "drawing/AcadDrawing.h"
#include "support/CommandLineAnswers.h"

namespace {

using qv::test::BlockTest;
constexpr double kPi = std::numbers::pi;

class AreaTest : public BlockTest {
  protected:
    // A space block around the boundary, with units 0 and precision -1 unless told.
    std::unique_ptr<CBlockDWG> spaceAround(AcDbObjectId boundary, const wchar_t* name,
                                           int units = 0, int precision = -1) {
        auto block = std::make_unique<CBlockDWG>();
        EXPECT_EQ(create(*block, boundary, name, AcGePoint3d(0, 0, 0)), Acad::eOk);
        block->setUnits(units);
        block->setPrecision(precision);
        return block;
    }

    void scale(AcDbObjectId reference, double sx, double sy) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForWrite);
        ASSERT_EQ(ref->setScaleFactors(AcGeScale3d(sx, sy, 1)), Acad::eOk);
    }

    void erase(AcDbObjectId id) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForWrite);
        ASSERT_EQ(entity->erase(), Acad::eOk);
    }

    std::pair<int, int> colourAndWeight(AcDbObjectId id) {
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        return {entity->colorIndex(), static_cast<int>(entity->lineWeight())};
    }
};

// Boundaries measured as the reference places them: a rectangle with a semicircular end, in
// millimetres, scaled evenly and unevenly; the perimeter of an unevenly scaled block has no single
// factor and is 0.
TEST_F(AreaTest, BoundariesAreMeasuredAsTheReferencePlacesThem) {
    // 4 m x 2 m and a half circle of 1 m radius on its east side.
    const double area = 8.0 + kPi / 2, perimeter = 10.0 + kPi;
    const struct {
        double sx, sy, area, perimeter, general;  // general: the area in six digits
    } cases[] = {
        {1, 1, area, perimeter, 9.5708},
        {2, 2, 4 * area, 2 * perimeter, 38.2832},
        {2, 3, 6 * area, 0.0, 57.4248},
    };
    int n = 0;
    for (const auto& c : cases) {
        const auto block =
            spaceAround(addPolyline({{0, 0, 0}, {4000, 0, 1}, {4000, 2000, 0}, {0, 2000, 0}}),
                        (L"ROOM-" + std::to_wstring(++n)).c_str(), 0, 12);
        scale(block->getObjectId(), c.sx, c.sy);
        block->recalculateArea(document());
        block->recalculatePerimeter(document());
        EXPECT_NEAR(block->getArea(), c.area, 1e-9 * c.area) << c.sx << "x" << c.sy;
        EXPECT_NEAR(block->getPerimeter(), c.perimeter, 1e-9) << c.sx << "x" << c.sy;
        // Precision -1 rounds as the general number format writes the area.
        block->setPrecision(-1);
        block->recalculateArea(document());
        EXPECT_DOUBLE_EQ(block->getArea(), c.general) << c.sx << "x" << c.sy;
    }
}

TEST_F(AreaTest, InchDrawingsMeasureInFeetOrMetres) {
    {
        WriteLock lock(document());
        ASSERT_EQ(db()->setLunits(4), Acad::eOk);  // architectural: one unit is an inch
    }
    const struct {
        int units;
        double area, perimeter;
    } cases[] = {{1, 100.0, 40.0}, {0, 9.290304, 12.192}, {-1, 100.0, 40.0}};
    int n = 0;
    for (const auto& c : cases) {
        const auto block = spaceAround(addRectangle(0, 0, 120, 120),
                                       (L"ROOM-" + std::to_wstring(++n)).c_str(), c.units, 6);
        block->recalculateArea(document());
        block->recalculatePerimeter(document());
        EXPECT_NEAR(block->getArea(), c.area, 1e-9) << c.units;
        EXPECT_NEAR(block->getPerimeter(), c.perimeter, 1e-9) << c.units;
    }
}

// 100 m² less 4 m² plus 10 m²: the subtracted and added polylines count as they lie (the
// reference's scale plays no part for them); a circle stays in the list and counts 0; erased
// entities and handles the drawing does not know drop out of the list.
TEST_F(AreaTest, SubtractedAndAddedAreas) {
    const auto block = spaceAround(addRectangle(0, 0, 10000, 10000), L"ROOM-1", 0, 2);
    const AcDbObjectId shaft = addRectangle(1000, 1000, 2000, 2000);
    const AcDbObjectId gone = addRectangle(5000, 5000, 1000, 1000);
    const AcDbObjectId circle = addToModelSpace(new AcDbCircle({0, 0, 0}, {0, 0, 1}, 500));
    const AcDbObjectId annex = addRectangle(10000, 0, 5000, 2000);
    block->addHandleToMinus(shaft.handle(), nullptr);
    block->addHandleToMinus(gone.handle(), nullptr);
    block->addHandleToMinus(AcDbHandle(0xFFFFF), nullptr);
    block->addHandleToMinus(circle.handle(), nullptr);
    block->addHandleToAdd(annex.handle(), nullptr);
    block->addHandleToAdd(AcDbHandle(0xFFFFE), nullptr);
    erase(gone);
    scale(block->getObjectId(), 1, 1);

    block->recalculateArea(document());
    EXPECT_DOUBLE_EQ(block->getArea(), 106.0);
    block->recalculatePerimeter(document());
    EXPECT_NEAR(block->getPerimeter(), 40.0 + 8.0 + 14.0, 1e-12);
    const CString minus = block->getHandlesToMinusAsString();
    EXPECT_EQ(minus,
              CString((shaft.handle().text() + L"," + circle.handle().text() + L",").c_str()));
    EXPECT_EQ(block->getHandlesToAddCount(), 1);

    // The Add form from a selection keeps polylines only, the Minus form keeps all.
    AcDbObjectIdArray picked;
    picked.append(shaft);
    picked.append(circle);
    block->setHandlesToAddFromSelection(picked);
    block->setHandlesToMinus(picked);
    EXPECT_EQ(block->getHandlesToAddCount(), 1);
    EXPECT_EQ(block->getHandlesToMinusCount(), 2);
}

TEST_F(AreaTest, UnitConversion) {
    const struct {
        int units;
        bool imperial;
        double area, perimeter;
        int unitsAfter;
    } cases[] = {
        {0, true, 107.639104, 39.370078800000004, 1},
        {0, false, 10.0, 12.0, 0},
        {1, false, 10.0 / 10.7639104, 12.0 / 3.2808399, 0},
        {-1, true, 10.0, 12.0, 1},  // not known counts as feet: only recorded
        {-1, false, 10.0 / 10.7639104, 12.0 / 3.2808399, 0},
    };
    for (const auto& c : cases) {
        CBlockDWG block;
        block.setUnits(c.units);
        block.setArea(10.0);
        block.setPerimeter(12.0);
        block.setImperial(c.imperial);
        EXPECT_DOUBLE_EQ(block.getArea(), c.area) << c.units << c.imperial;
        EXPECT_DOUBLE_EQ(block.getPerimeter(), c.perimeter) << c.units << c.imperial;
        EXPECT_EQ(block.getUnits(), c.unitsAfter);
    }
}

TEST_F(AreaTest, HighlightingColoursTheListedAreasAndGivesTheBlocksColourBack) {
    qv::test::CommandLineAnswers answers;
    answers.give({});
    const auto block = spaceAround(addRectangle(0, 0, 10000, 10000), L"ROOM-1");
    const AcDbObjectId shaft = addRectangle(1000, 1000, 2000, 2000);
    const AcDbObjectId annex = addRectangle(10000, 0, 5000, 2000);
    const AcDbObjectId gone = addRectangle(5000, 5000, 1000, 1000);
    block->addHandleToMinus(shaft.handle(), nullptr);
    block->addHandleToMinus(gone.handle(), nullptr);
    block->addHandleToAdd(annex.handle(), nullptr);
    erase(gone);

    block->highlightAreasSubtracted(&drawing, 1, 1);
    block->highlightAreasAdded(&drawing, 1, 0);
    EXPECT_EQ(colourAndWeight(shaft), std::make_pair(1, 100));
    EXPECT_EQ(colourAndWeight(annex), std::make_pair(3, 100));
    EXPECT_EQ(block->getHandlesToMinusCount(), 1) << "the erased one is dropped";
    const std::wstring printed = qv::host::transcript().text();
    EXPECT_NE(printed.find(L"\nThere are 2 area(s) subtracted from this block\n"),
              std::wstring::npos);
    EXPECT_EQ(printed.find(L"added to this block"), std::wstring::npos);

    block->setColour(5);
    block->setLineWeight(-1);
    block->highlightAreasSubtracted(&drawing, 0, 0);
    EXPECT_EQ(colourAndWeight(shaft), std::make_pair(5, -1));
    EXPECT_EQ(document()->qvViews().regenCount(), 3u);

    // A block never read from the drawing gives back by-layer, never an unset colour.
    CBlockDWG fresh;
    fresh.addHandleToAdd(annex.handle(), nullptr);
    fresh.highlightAreasAdded(&drawing, 0, 1);
    EXPECT_EQ(colourAndWeight(annex), std::make_pair(256, -1));
    EXPECT_NE(qv::host::transcript().text().find(L"\nThere are 1 area(s) added to this block\n"),
              std::wstring::npos);
}

}  // namespace
