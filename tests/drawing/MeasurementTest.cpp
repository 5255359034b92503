#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "core/ErrorCapture.h"
#include "drawing/AcadUtilities.h"
#include "drawing/BlockDefinitions.h"
#include "support/HostFixture.h"

using qv::test::caught;

namespace {

constexpr double PI = std::numbers::pi;

struct Vertex {
    double x, y, bulge;
};

std::unique_ptr<AcDbPolyline> polyline(const std::vector<Vertex>& vertices, bool closed) {
    auto result = std::make_unique<AcDbPolyline>();
    for (unsigned int i = 0; i < vertices.size(); ++i)
        result->addVertexAt(i, AcGePoint2d(vertices[i].x, vertices[i].y), vertices[i].bulge);
    result->setClosed(closed);
    return result;
}

// A 4000 x 2000 rectangle whose two short sides are half circles of radius 1000 bulging out
// (bulge 1 turns left, which is outside on a counter-clockwise boundary).
const std::vector<Vertex> STADIUM = {{0, 0, 0}, {4000, 0, 1}, {4000, 2000, 0}, {0, 2000, 1}};
// The same rectangle with its right side a half circle cut into it.
const std::vector<Vertex> NOTCHED = {{0, 0, 0}, {4000, 0, -1}, {4000, 2000, 0}, {0, 2000, 0}};
const std::vector<Vertex> RECTANGLE = {{0, 0, 0}, {10000, 0, 0}, {10000, 5000, 0}, {0, 5000, 0}};

class Measurement : public qv::test::DrawingTest {};

TEST_F(Measurement, ClosedPolylinesInTheResultUnits) {
    const struct {
        const char* what;
        std::vector<Vertex> vertices;
        bool closed;
        Adesk::Int16 lunits;
        int units;
        double area;
        double perimeter;
    } cases[] = {
        {"rectangle, mm, metric", RECTANGLE, true, 2, 0, 50.0, 30.0},
        {"rectangle, mm, imperial", RECTANGLE, true, 2, 1, 5.0e7 / 92903.04, 30000.0 / 304.8},
        {"100 x 50, inches, imperial",
         {{0, 0, 0}, {100, 0, 0}, {100, 50, 0}, {0, 50, 0}},
         true,
         3,
         1,
         5000 / 144.0,
         25.0},
        {"arcs bulging out", STADIUM, true, 2, 0, (8.0e6 + PI * 1.0e6) / 1.0e6,
         (8000 + 2 * PI * 1000) / 1000},
        {"an arc cut in", NOTCHED, true, 2, 0, (8.0e6 - PI * 1.0e6 / 2) / 1.0e6,
         (10000 + PI * 1000) / 1000},
        // Open: the area as if closed by a straight line, the length without it.
        {"open triangle", {{0, 0, 0}, {3000, 0, 0}, {3000, 4000, 0}}, false, 2, 0, 6.0, 7.0},
        {"closed triangle", {{0, 0, 0}, {3000, 0, 0}, {3000, 4000, 0}}, true, 2, 0, 6.0, 12.0},
        // Nothing to measure.
        {"no vertices", {}, true, 2, 0, 0.0, 0.0},
        // Drawn clockwise: the area is still positive.
        {"clockwise",
         {{0, 0, 0}, {0, 2000, 0}, {1000, 2000, 0}, {1000, 0, 0}},
         true,
         2,
         0,
         2.0,
         6.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto curve = polyline(c.vertices, c.closed);
        EXPECT_NEAR(c.area, CAcadUtilities::calculatePolylineArea(curve.get(), c.lunits, c.units),
                    1e-9 * c.area + 1e-12);
        EXPECT_NEAR(c.perimeter,
                    CAcadUtilities::calculatePolylinePerimeter(curve.get(), c.lunits, c.units),
                    1e-9 * c.perimeter + 1e-12);
    }
}

TEST_F(Measurement, ScaledReferencesMultiplyTheBoundary) {
    const auto boundary = polyline(RECTANGLE, true);
    const struct {
        AcGeScale3d scale;
        double area;
        double perimeter;
    } cases[] = {
        {{2, 2, 1}, 200.0, 60.0},
        {{-2, 2, 1}, 200.0, 60.0},
        {{0.5, 0.5, 1}, 12.5, 15.0},
        // Scaled differently in x and y the boundary keeps no single length factor.
        {{2, 3, 1}, 300.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scale.sx << ", " << c.scale.sy << ", " << c.scale.sz);
        AcDbBlockReference reference;
        ASSERT_EQ(Acad::eOk, reference.setScaleFactors(c.scale));
        EXPECT_NEAR(c.area, CAcadUtilities::recalculateBlockArea(&reference, boundary.get(), 2, 0),
                    1e-9);
        EXPECT_NEAR(c.perimeter,
                    CAcadUtilities::recalculateBlockPerimeter(&reference, boundary.get(), 2, 0),
                    1e-9);
    }
}

TEST_F(Measurement, MissingCurvesAndReferencesAreReportedNotCrashes) {
    AcDbBlockReference reference;
    const auto boundary = polyline(RECTANGLE, true);
    const struct {
        const wchar_t* procSig;
        std::function<void()> call;
    } cases[] = {
        {L"CAcadUtilities::calculatePolylineArea",
         [] { CAcadUtilities::calculatePolylineArea(nullptr, 2, 0); }},
        {L"CAcadUtilities::getPolyPerimeter", [] { CAcadUtilities::getPolyPerimeter(nullptr); }},
        {L"CAcadUtilities::recalculateBlockPerimeter",
         [&] { CAcadUtilities::recalculateBlockPerimeter(&reference, nullptr, 2, 0); }},
    };
    for (const auto& c : cases) {
        auto error = caught(c.call);
        ASSERT_TRUE(error) << CStringA(c.procSig).GetString();
        EXPECT_EQ(CString(c.procSig), error->getProcSig());
        EXPECT_EQ(CString(L"AcadUtilities"), error->getClass());
    }
}

TEST_F(Measurement, TopLeftTakesTheSmallestXAndLargestYOfAllVertices) {
    AcGeMatrix3d shift;
    shift.setToTranslation(AcGeVector3d(100, -50, 7));
    AcGeMatrix3d quarterTurn;
    quarterTurn.setToRotation(PI / 2, AcGeVector3d::kZAxis);
    const struct {
        std::vector<Vertex> vertices;
        AcGeMatrix3d* transform;
        AcGePoint3d expected;
    } cases[] = {
        {{{0, 0, 0}, {10, 5, 0}, {5, 20, 0}}, nullptr, {0, 20, 0}},
        {{{0, 0, 0}, {10, 5, 0}, {5, 20, 0}}, &shift, {100, -30, 0}},
        // (x, y) turns to (-y, x): (0, 0), (-5, 10), (-20, 5).
        {{{0, 0, 0}, {10, 5, 0}, {5, 20, 0}}, &quarterTurn, {-20, 10, 0}},
        {{}, nullptr, {DBL_MAX, -DBL_MAX, 0}},
    };
    for (const auto& c : cases) {
        auto line = polyline(c.vertices, true);
        const AcGePoint3d topLeft = CAcadUtilities::getPolylineTopLeft(line.get(), c.transform);
        EXPECT_NEAR(c.expected.x, topLeft.x, 1e-9);
        EXPECT_NEAR(c.expected.y, topLeft.y, 1e-9);
        EXPECT_EQ(0.0, topLeft.z);
    }
}

// Block definitions and references in the drawing, for the extents.
class BlockExtents : public qv::test::DrawingTest {
  protected:
    AcDbObjectId defineBlock(const wchar_t* name,
                             std::vector<std::pair<AcDbEntity*, bool>> entities) {
        return qv::test::defineBlock(document(), name, std::move(entities));
    }

    // A reference in model space; open for read while the test uses it.
    AcDbBlockReference* place(AcDbObjectId block, AcGePoint3d position, double rotation,
                              double scale) {
        auto* reference = new AcDbBlockReference(position, block);
        reference->setRotation(rotation);
        reference->setScaleFactors(AcGeScale3d(scale, scale, scale));
        const AcDbObjectId id = addToModelSpace(reference);
        AcDbBlockReference* opened = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(opened, id, AcDb::kForRead));
        return opened;
    }

    static AcDbPolyline* rectangle(double width, double height) {
        return polyline({{0, 0, 0}, {width, 0, 0}, {width, height, 0}, {0, height, 0}}, true)
            .release();
    }
};

TEST_F(BlockExtents, TheFirstPolylineOfTheDefinitionAsTheReferencePlacesIt) {
    // A line first, then an erased polyline: the walk skips both and measures the 100 x 50
    // rectangle; a later polyline plays no part.
    const AcDbObjectId block = defineBlock(
        L"ROOM-1", {{new AcDbLine(AcGePoint3d(-500, -500, 0), AcGePoint3d(500, 500, 0)), false},
                    {rectangle(1000, 1000), true},
                    {rectangle(100, 50), false},
                    {rectangle(300, 300), false}});
    const struct {
        const char* what;
        double rotation;
        double scale;
        double margin;
        AcGePoint3d min, max;
    } cases[] = {
        {"plain", 0, 1, 0, {1000, 2000, 0}, {1100, 2050, 0}},
        {"scaled", 0, 2, 0, {1000, 2000, 0}, {1200, 2100, 0}},
        {"margin", 0, 1, 100, {900, 1900, 0}, {1200, 2150, 0}},
        // Turned a quarter: (x, y) -> (-y, x), so the box lies left of the insertion point.
        {"turned and scaled", PI / 2, 2, 0, {900, 2000, 0}, {1000, 2200, 0}},
        // An eighth of a turn: the box holding the turned rectangle.
        {"eighth of a turn",
         PI / 4,
         1,
         0,
         {1000 - 50 * std::sqrt(0.5), 2000, 0},
         {1000 + 100 * std::sqrt(0.5), 2000 + 150 * std::sqrt(0.5), 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AcDbBlockReference* reference = place(block, {1000, 2000, 0}, c.rotation, c.scale);
        AcGePoint3d min, max;
        CAcadUtilities::getBlockExtents(reference, min, max, c.margin);
        reference->close();
        EXPECT_NEAR(c.min.x, min.x, 1e-9);
        EXPECT_NEAR(c.min.y, min.y, 1e-9);
        EXPECT_NEAR(c.max.x, max.x, 1e-9);
        EXPECT_NEAR(c.max.y, max.y, 1e-9);
        EXPECT_NEAR(0.0, min.z, 1e-9);
        EXPECT_NEAR(0.0, max.z, 1e-9);
    }
}

TEST_F(BlockExtents, NothingIsWrittenWithoutAPolylineToMeasure) {
    const AcDbObjectId noPolyline =
        defineBlock(L"EMPTY", {{new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 5, 0)), false},
                               {rectangle(10, 10), true}});
    AcDbBlockReference* reference = place(noPolyline, {0, 0, 0}, 0, 1);
    const AcGePoint3d untouched(-1, -2, -3);
    AcGePoint3d min = untouched, max = untouched;
    CAcadUtilities::getBlockExtents(reference, min, max, 10);
    reference->close();
    EXPECT_EQ(untouched, min);
    EXPECT_EQ(untouched, max);

    // Not a block reference at all.
    AcDbPolyline* notAReference = rectangle(10, 10);
    CAcadUtilities::getBlockExtents(notAReference, min, max, 0);
    delete notAReference;
    CAcadUtilities::getBlockExtents(nullptr, min, max, 0);
    EXPECT_EQ(untouched, min);
    EXPECT_EQ(untouched, max);
}

}  // namespace
