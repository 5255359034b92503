// Arcs: extents, parameters and transforms, and the extents of every entity an asset block may
// hold, the block reference's own through its transform.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drawing/BlockDefinitions.h"
#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;
constexpr double kPi = std::numbers::pi;

double degrees(double d) {
    return d * kPi / 180.0;
}

bool near(const AcGePoint3d& a, const AcGePoint3d& b, double tolerance = 1e-9) {
    return a.distanceTo(b) <= tolerance;
}

TEST(AcDbArcGeometry, ExtentsFollowTheAxesTheArcCrosses) {
    const struct {
        const char* name;
        double start, end;  // degrees
        AcGePoint3d min, max;
    } cases[] = {
        {"first quarter", 0, 90, {10, 20, 0}, {12, 22, 0}},
        {"over the x axis",
         350,
         10,
         {10 + 2 * std::cos(degrees(10)), 20 - 2 * std::sin(degrees(10)), 0},
         {12, 20 + 2 * std::sin(degrees(10)), 0}},
        {"left half", 90, 270, {8, 18, 0}, {10, 22, 0}},
        {"all but a sliver", 1, 0, {8, 18, 0}, {12, 22, 0}},
    };
    for (const auto& c : cases) {
        const AcDbArc arc(AcGePoint3d(10, 20, 0), 2.0, degrees(c.start), degrees(c.end));
        AcDbExtents box;
        ASSERT_EQ(arc.getGeomExtents(box), Acad::eOk) << c.name;
        EXPECT_TRUE(near(box.minPoint(), c.min, 1e-6)) << c.name;
        EXPECT_TRUE(near(box.maxPoint(), c.max, 1e-6)) << c.name;
    }
}

TEST(AcDbArcGeometry, ParametersAreAnglesFromStartToEnd) {
    const AcDbArc arc(AcGePoint3d(0, 0, 0), 2.0, degrees(350), degrees(10));
    double start = 0, end = 0, dist = 0;
    ASSERT_EQ(arc.getStartParam(start), Acad::eOk);
    ASSERT_EQ(arc.getEndParam(end), Acad::eOk);
    EXPECT_NEAR(end - start, degrees(20), 1e-12);
    ASSERT_EQ(arc.getDistAtParam(end, dist), Acad::eOk);
    EXPECT_NEAR(dist, 2.0 * degrees(20), 1e-12);
    AcGePoint3d p;
    ASSERT_EQ(arc.getEndPoint(p), Acad::eOk);
    EXPECT_TRUE(near(p, {2 * std::cos(degrees(10)), 2 * std::sin(degrees(10)), 0}));
    double param = 0;
    EXPECT_EQ(arc.getParamAtPoint({2, 0, 0}, param), Acad::eOk);
    EXPECT_NEAR(param, degrees(360), 1e-9);  // past the start, over the x axis
    EXPECT_EQ(arc.getParamAtPoint({-2, 0, 0}, param), Acad::eInvalidInput);  // on the circle only
    EXPECT_EQ(arc.getPointAtParam(start - 0.5, p), Acad::eInvalidInput);
}

TEST(AcDbArcGeometry, TransformsKeepTheEndsAndRefuseUnevenScales) {
    const struct {
        const char* name;
        AcGeMatrix3d m;
        Acad::ErrorStatus status;
    } cases[] = {
        {"turned", AcGeMatrix3d::rotation(kPi / 3, AcGeVector3d::kZAxis, {1, 1, 0}), Acad::eOk},
        {"scaled and moved", AcGeMatrix3d::translation({5, -2, 0}) * AcGeMatrix3d::scaling(2.5),
         Acad::eOk},
        {"mirrored", AcGeMatrix3d::mirroring({0, 0, 0}, {1, 0, 0}), Acad::eOk},
        {"stretched", AcGeMatrix3d::scaling(AcGeScale3d(2, 1, 1)), Acad::eCannotScaleNonUniformly},
    };
    for (const auto& c : cases) {
        AcDbArc arc(AcGePoint3d(3, 4, 0), 2.0, degrees(30), degrees(120));
        AcGePoint3d start, end, middle;
        arc.getStartPoint(start);
        arc.getEndPoint(end);
        arc.getPointAtParam(degrees(75), middle);
        const double length = arc.length();
        ASSERT_EQ(arc.transformBy(c.m), c.status) << c.name;
        AcGePoint3d start2, end2, middle2;
        arc.getStartPoint(start2);
        arc.getEndPoint(end2);
        double s = 0, e = 0;
        arc.getStartParam(s);
        arc.getEndParam(e);
        arc.getPointAtParam((s + e) / 2, middle2);
        if (c.status != Acad::eOk) {
            EXPECT_TRUE(near(start2, start) && near(end2, end)) << c.name << ": unchanged";
            continue;
        }
        EXPECT_TRUE(near(start2, c.m * start)) << c.name;
        EXPECT_TRUE(near(end2, c.m * end)) << c.name;
        EXPECT_TRUE(near(middle2, c.m * middle)) << c.name << ": the same side of the circle";
        EXPECT_NEAR(arc.length(), length * c.m.scale(), 1e-9) << c.name;
    }
}

class AssetExtentsTest : public DrawingTest {};

// The entities an asset block may hold each give their box; the reference's box is the union
// carried by its transform.
TEST_F(AssetExtentsTest, EveryEntityOfADefinitionHasItsBox) {
    auto* bulged = new AcDbPolyline;
    bulged->addVertexAt(0, {0, 0}, 1.0);  // a half circle below the chord to (4, 0)
    bulged->addVertexAt(1, {4, 0});
    auto* attdef = new AcDbAttributeDefinition({0, 6, 0}, L"CHAIR", L"TYPE", L"Type");
    attdef->setHeight(1.0);
    auto* centred = new AcDbText({0, 0, 0}, L"ABCD", AcDbObjectId(), 0.5);
    centred->setHorizontalMode(AcDb::kTextCenter);
    centred->setAlignmentPoint({10, 10, 0});
    const struct {
        const char* name;
        AcDbEntity* entity;
        AcGePoint3d min, max;
    } cases[] = {
        {"line", new AcDbLine({-1, -2, 0}, {3, 1, 0}), {-1, -2, 0}, {3, 1, 0}},
        {"arc", new AcDbArc({0, 0, 0}, 1.0, 0, kPi / 2), {0, 0, 0}, {1, 1, 0}},
        {"circle", new AcDbCircle({5, 5, 0}, AcGeVector3d::kZAxis, 2), {3, 3, 0}, {7, 7, 0}},
        {"polyline with a bulge", bulged, {0, -2, 0}, {4, 0, 0}},
        // Five characters of 0.6 heights each, from the position up one height.
        {"attribute definition", attdef, {0, 6, 0}, {3, 7, 0}},
        // Four characters of 0.3, centred on the alignment point.
        {"centred text", centred, {9.4, 10, 0}, {10.6, 10.5, 0}},
    };
    for (const auto& c : cases) {
        AcDbExtents box;
        ASSERT_EQ(c.entity->getGeomExtents(box), Acad::eOk) << c.name;
        EXPECT_TRUE(near(box.minPoint(), c.min, 1e-9)) << c.name;
        EXPECT_TRUE(near(box.maxPoint(), c.max, 1e-9)) << c.name;
        delete c.entity;
    }
}

TEST_F(AssetExtentsTest, AReferenceCarriesItsDefinitionsBox) {
    const AcDbObjectId block = qv::test::defineBlockOf(
        document(), L"CHAIR",
        {new AcDbLine({-1, -1, 0}, {3, 2, 0}), new AcDbArc({3, 2, 0}, 1.0, 0, kPi)});
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTableRecord>(block, AcDb::kForWrite)->setOrigin({1, 1, 0});
    }
    // Definition box (-1, -1)-(4, 3); less the origin (-2, -2)-(3, 2); doubled (-4, -4)-(6, 4);
    // turned a quarter (-4, -4)-(4, 6); moved to (100, 50).
    AcDbBlockReference ref({100, 50, 0}, block);
    ref.setScaleFactors(AcGeScale3d(2, 2, 2));
    ref.setRotation(kPi / 2);
    AcDbExtents box;
    ASSERT_EQ(ref.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(near(box.minPoint(), {96, 46, 0}, 1e-9));
    EXPECT_TRUE(near(box.maxPoint(), {104, 56, 0}, 1e-9));
}

}  // namespace
