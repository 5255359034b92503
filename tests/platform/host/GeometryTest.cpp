#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "arxHeaders.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectNear(const AcGePoint3d& actual, const AcGePoint3d& expected, const char* name) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << name;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << name;
    EXPECT_NEAR(actual.z, expected.z, 1e-9) << name;
}

TEST(AcGeMatrix3d, TransformsPointsAsComposed) {
    const AcGePoint3d p(1.0, 2.0, 3.0);
    const AcGeMatrix3d move = AcGeMatrix3d::translation({10.0, 0.0, -1.0});
    const AcGeMatrix3d turn = AcGeMatrix3d::rotation(kPi / 2.0, AcGeVector3d::kZAxis);
    const AcGeMatrix3d turnAbout =
        AcGeMatrix3d::rotation(kPi, AcGeVector3d::kZAxis, AcGePoint3d(1.0, 1.0, 0.0));
    const AcGeMatrix3d scale = AcGeMatrix3d::scaling(AcGeScale3d(2.0, 3.0, 4.0));
    const AcGeMatrix3d mirror =
        AcGeMatrix3d::mirroring(AcGePoint3d(5.0, 0.0, 0.0), AcGeVector3d::kXAxis);
    const struct {
        const char* name;
        AcGeMatrix3d m;
        AcGePoint3d expected;
    } cases[] = {
        {"translation", move, {11.0, 2.0, 2.0}},
        {"quarter turn about z", turn, {-2.0, 1.0, 3.0}},
        {"half turn about (1,1)", turnAbout, {1.0, 0.0, 3.0}},
        {"scale by axis", scale, {2.0, 6.0, 12.0}},
        {"mirror in x = 5", mirror, {9.0, 2.0, 3.0}},
        // The right-hand matrix acts first.
        {"move after turn", move * turn, {8.0, 1.0, 2.0}},
        {"turn after move", turn * move, {-2.0, 11.0, 2.0}},
        {"inverse undoes", (move * turn * scale).inverse() * (move * turn * scale), p},
    };
    for (const auto& c : cases) {
        expectNear(c.m * p, c.expected, c.name);
    }
}

TEST(AcGeMatrix3d, PlaneSystemsFollowTheArbitraryAxisRule) {
    const struct {
        AcGeVector3d normal;
        AcGeVector3d xAxis;
    } cases[] = {
        {{0, 0, 1}, {1, 0, 0}},
        {{0, 0, -1}, {-1, 0, 0}},
        {{1, 0, 0}, {0, 1, 0}},
        {{0, 1, 0}, {-1, 0, 0}},
    };
    for (const auto& c : cases) {
        const AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(c.normal);
        EXPECT_TRUE((toWorld * AcGeVector3d::kXAxis).isEqualTo(c.xAxis)) << c.normal.x;
        EXPECT_TRUE((toWorld * AcGeVector3d::kZAxis).isEqualTo(c.normal));
        EXPECT_TRUE(
            (AcGeMatrix3d::worldToPlane(c.normal) * toWorld).isEqualTo(AcGeMatrix3d::kIdentity));
    }
}

TEST(AcGeVector3d, MeasuresAngles) {
    EXPECT_NEAR(AcGeVector3d::kXAxis.angleTo(AcGeVector3d::kYAxis), kPi / 2.0, 1e-12);
    EXPECT_NEAR(AcGeVector3d::kXAxis.angleTo(-AcGeVector3d::kYAxis, AcGeVector3d::kZAxis),
                3.0 * kPi / 2.0, 1e-12);
    EXPECT_NEAR(AcGeVector2d(-1.0, 0.0).angle(), kPi, 1e-12);
    EXPECT_TRUE(AcGeVector3d(0, 0, 2).isParallelTo(AcGeVector3d(0, 0, -1)));
    EXPECT_FALSE(AcGeVector3d(0, 0, 2).isCodirectionalTo(AcGeVector3d(0, 0, -1)));
}

}  // namespace

// Following a segment step by step gives the very points pointAt gives at each fraction (the
// shapes of the selections rest on them): arcs either way round, small and large, and lines.
TEST(BulgeSegment, StepsAreThePointsAtTheirFractions) {
    const struct {
        const char* what;
        qv::host::BulgeSegment segment;
        int steps;
    } cases[] = {
        {"a quarter circle counter-clockwise", {{1, 0}, {0, 1}, std::tan(kPi / 8)}, 9},
        {"a half circle clockwise", {{-2, 3}, {4, 3}, -1.0}, 18},
        {"a flat arc", {{0, 0}, {10, 0.5}, 0.01}, 2},
        {"a large arc", {{5, 5}, {5, 7}, 3.5}, 31},
        {"a line", {{1, 2}, {7, -4}, 0.0}, 1},
        {"a line in steps", {{1, 2}, {7, -4}, 0.0}, 4},
    };
    for (const auto& c : cases) {
        std::vector<AcGePoint2d> points;
        c.segment.forEachStep(c.steps, [&](const AcGePoint2d& p) { points.push_back(p); });
        ASSERT_EQ(points.size(), static_cast<size_t>(c.steps)) << c.what;
        for (int i = 1; i <= c.steps; ++i) {
            const AcGePoint2d want = c.segment.pointAt(static_cast<double>(i) / c.steps);
            EXPECT_EQ(points[i - 1].x, want.x) << c.what << ", step " << i;
            EXPECT_EQ(points[i - 1].y, want.y) << c.what << ", step " << i;
        }
        EXPECT_NEAR(points.back().x, c.segment.end.x, 1e-9) << c.what;
        EXPECT_NEAR(points.back().y, c.segment.end.y, 1e-9) << c.what;
    }
}
