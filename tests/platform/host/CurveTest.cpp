#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "arxHeaders.h"
#include "host/db/AcDbEllipse.h"
#include "host/db/AcDbSpline.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct Vertex {
    double x, y, bulge;
};

AcDbPolyline polyline(const std::vector<Vertex>& vertices, bool closed) {
    AcDbPolyline p;
    for (const Vertex& v : vertices) {
        p.addVertexAt(p.numVerts(), AcGePoint2d(v.x, v.y), v.bulge);
    }
    p.setClosed(closed);
    return p;
}

double area(const AcDbCurve& c) {
    double a = -1.0;
    EXPECT_EQ(c.getArea(a), Acad::eOk);
    return a;
}

double length(const AcDbCurve& c) {
    double end = 0.0, dist = -1.0;
    EXPECT_EQ(c.getEndParam(end), Acad::eOk);
    EXPECT_EQ(c.getDistAtParam(end, dist), Acad::eOk);
    return dist;
}

TEST(AcDbPolylineMeasure, AreasAndLengthsWithArcs) {
    const double wedge = 100.0;  // a quarter circle wedge of radius 100
    const struct {
        const char* name;
        std::vector<Vertex> vertices;
        bool closed;
        double area, length, endParam;
    } cases[] = {
        {"rectangle 10000 x 5000",
         {{0, 0, 0}, {10000, 0, 0}, {10000, 5000, 0}, {0, 5000, 0}},
         true,
         5.0e7,
         30000.0,
         4},
        {"the same, open: the length leaves out the closing side",
         {{0, 0, 0}, {10000, 0, 0}, {10000, 5000, 0}, {0, 5000, 0}},
         false,
         5.0e7,
         25000.0,
         3},
        // An open polyline's area is that of the shape closed by the straight chord from its
        // last point to its first (a chord that misses the origin, so that leaving it out
        // shows); the last vertex's bulge has no segment to shape.
        {"open triangle away from the origin",
         {{10, 10, 0}, {20, 10, 0}, {20, 30, 0}},
         false,
         100.0,
         30.0,
         2},
        {"open, a half circle outwards, a bulge on the last vertex",
         {{10, 10, 1}, {20, 10, 0}, {20, 30, 1}},
         false,
         100.0 + kPi * 25.0 / 2.0,
         20.0 + kPi * 5.0,
         2},
        {"open, clockwise, a half circle inwards",
         {{10, 20, 0}, {30, 20, 1}, {30, 10, 0}, {10, 10, 0}},
         false,
         200.0 - kPi * 25.0 / 2.0,
         40.0 + kPi * 5.0,
         3},
        {"square with a half circle outwards",
         {{0, 0, 1}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}},
         true,
         100.0 + kPi * 25.0 / 2.0,
         30.0 + kPi * 5.0,
         4},
        {"arc on the closing segment",
         {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 1}},
         true,
         100.0 + kPi * 25.0 / 2.0,
         30.0 + kPi * 5.0,
         4},
        {"circle of two clockwise half circles, first point repeated",
         {{0, 2000, -1}, {0, -2000, -1}, {0, 2000, 0}},
         true,
         kPi * 4.0e6,
         4000.0 * kPi,
         3},
        {"quarter-circle wedge",
         {{0, 0, 0}, {0, wedge, -std::tan(kPi / 8.0)}, {wedge, 0, 0}, {0, 0, 0}},
         true,
         kPi * wedge * wedge / 4.0,
         2.0 * wedge + kPi * wedge / 2.0,
         4},
    };
    for (const auto& c : cases) {
        const AcDbPolyline p = polyline(c.vertices, c.closed);
        EXPECT_NEAR(area(p), c.area, 1e-6 * c.area) << c.name;
        EXPECT_NEAR(length(p), c.length, 1e-9 * c.length) << c.name;
        double end = 0.0;
        p.getEndParam(end);
        EXPECT_EQ(end, c.endParam) << c.name;
    }
}

TEST(AcDbPolylineMeasure, PointsAndDistancesAlongArcs) {
    const AcDbPolyline p = polyline({{0, 0, 1}, {10, 0, 0}, {10, 10, 0}}, false);
    const struct {
        double param;
        AcGePoint3d point;
        double dist;
    } cases[] = {
        {0.0, {0, 0, 0}, 0.0},
        {0.5, {5, -5, 0}, kPi * 2.5},
        {1.0, {10, 0, 0}, kPi * 5.0},
        {1.5, {10, 5, 0}, kPi * 5.0 + 5.0},
        {2.0, {10, 10, 0}, kPi * 5.0 + 10.0},
    };
    for (const auto& c : cases) {
        AcGePoint3d point;
        ASSERT_EQ(p.getPointAtParam(c.param, point), Acad::eOk) << c.param;
        EXPECT_TRUE(point.isEqualTo(c.point, AcGeTol())) << c.param;
        double dist = -1, param = -1;
        EXPECT_EQ(p.getDistAtParam(c.param, dist), Acad::eOk);
        EXPECT_NEAR(dist, c.dist, 1e-9) << c.param;
        EXPECT_EQ(p.getParamAtPoint(c.point, param), Acad::eOk);
        EXPECT_NEAR(param, c.param, 1e-9) << c.param;
        EXPECT_EQ(p.getParamAtDist(c.dist, param), Acad::eOk);
        EXPECT_NEAR(param, c.param, 1e-9) << c.param;
    }
    AcGePoint3d point;
    double value = 0.0;
    EXPECT_EQ(p.getPointAtParam(2.5, point), Acad::eInvalidInput);
    EXPECT_EQ(p.getDistAtParam(-0.1, value), Acad::eInvalidInput);
    EXPECT_EQ(p.getParamAtPoint({3, 3, 0}, value), Acad::eInvalidInput);
    EXPECT_EQ(AcDbPolyline().getEndParam(value), Acad::eDegenerateGeometry);
}

TEST(AcDbPolylineMeasure, VerticesInTheWorld) {
    AcDbPolyline p = polyline({{1, 2, 0}, {3, 4, 0}}, false);
    p.setElevation(5.0);
    p.setNormal({0, 0, -1});
    AcGePoint3d world;
    ASSERT_EQ(p.getPointAt(1, world), Acad::eOk);
    EXPECT_TRUE(world.isEqualTo({-3, 4, -5}));
    AcGePoint2d plane;
    ASSERT_EQ(p.getPointAt(1, plane), Acad::eOk);
    EXPECT_TRUE(plane.isEqualTo({3, 4}));
    EXPECT_EQ(p.getPointAt(2, world), Acad::eInvalidIndex);
    EXPECT_EQ(p.addVertexAt(5, {0, 0}), Acad::eInvalidIndex);
}

TEST(AcDbPolylineTransform, KeepsItsShapeWhereItCan) {
    const AcGeMatrix3d turnAndMove =
        AcGeMatrix3d::translation({100, 0, 0}) * AcGeMatrix3d::rotation(kPi / 2, {0, 0, 1});
    const AcGeMatrix3d mirror = AcGeMatrix3d::mirroring(AcGePoint3d::kOrigin, {1, 0, 0});
    const struct {
        const char* name;
        AcGeMatrix3d m;
        bool withArc;
        Acad::ErrorStatus status;
        double areaFactor;
        AcGePoint3d second;  // where the vertex (10, 0) goes
    } cases[] = {
        {"turn and move", turnAndMove, true, Acad::eOk, 1.0, {100, 10, 0}},
        {"scale 2", AcGeMatrix3d::scaling(2.0), true, Acad::eOk, 4.0, {20, 0, 0}},
        {"mirror", mirror, true, Acad::eOk, 1.0, {-10, 0, 0}},
        {"scale 2 by 3, lines only",
         AcGeMatrix3d::scaling(AcGeScale3d(2, 3, 1)),
         false,
         Acad::eOk,
         6.0,
         {20, 0, 0}},
        {"scale 2 by 3 with an arc",
         AcGeMatrix3d::scaling(AcGeScale3d(2, 3, 1)),
         true,
         Acad::eCannotScaleNonUniformly,
         1.0,
         {10, 0, 0}},
    };
    for (const auto& c : cases) {
        AcDbPolyline p = polyline({{0, 0, c.withArc ? 1.0 : 0.0}, {10, 0, 0}, {10, 10, 0}}, true);
        const double before = area(p);
        EXPECT_EQ(p.transformBy(c.m), c.status) << c.name;
        EXPECT_NEAR(area(p), before * c.areaFactor, 1e-9 * before) << c.name;
        AcGePoint3d second;
        p.getPointAt(1, second);
        EXPECT_TRUE(second.isEqualTo(c.second, AcGeTol())) << c.name;
    }
}

TEST(AcDbCurves, LinesAndCircles) {
    const AcDbLine line({1, 1, 0}, {4, 5, 0});
    EXPECT_NEAR(length(line), 5.0, 1e-12);
    AcGePoint3d point;
    ASSERT_EQ(line.getPointAtParam(2.5, point), Acad::eOk);
    EXPECT_TRUE(point.isEqualTo({2.5, 3, 0}));
    EXPECT_EQ(area(line), 0.0);

    AcDbCircle circle({5, 5, 0}, AcGeVector3d::kZAxis, 2.0);
    EXPECT_NEAR(area(circle), kPi * 4.0, 1e-12);
    EXPECT_NEAR(length(circle), kPi * 4.0, 1e-12);
    ASSERT_EQ(circle.getPointAtParam(kPi / 2.0, point), Acad::eOk);
    EXPECT_TRUE(point.isEqualTo({5, 7, 0}));
    AcDbExtents box;
    ASSERT_EQ(circle.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(box.minPoint().isEqualTo({3, 3, 0}));
    EXPECT_TRUE(box.maxPoint().isEqualTo({7, 7, 0}));
    EXPECT_EQ(circle.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(1, 2, 1))),
              Acad::eCannotScaleNonUniformly);
    EXPECT_EQ(circle.transformBy(AcGeMatrix3d::scaling(3.0)), Acad::eOk);
    EXPECT_DOUBLE_EQ(circle.radius(), 6.0);
}

TEST(AcDbCurves, ExtentsHoldTheArcs) {
    const AcDbPolyline p = polyline({{0, 0, 1}, {10, 0, 0}, {10, 10, 0}}, true);
    AcDbExtents box;
    ASSERT_EQ(p.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(box.minPoint().isEqualTo({0, -5, 0}));
    EXPECT_TRUE(box.maxPoint().isEqualTo({10, 10, 0}));
}

}  // namespace

namespace {

// The exact pieces that picks judge ellipses and splines by (qvPieces) run along the curve the
// plot draws (qvPoints).
TEST(AcDbCurves, EllipseAndSplinePiecesFollowTheDrawnCurve) {
    // An elliptic arc of 300 degrees, its plane tilted: every point of its pieces lies on the
    // ellipse, within the arc, the pieces joined end to end from its start to its end.
    AcDbEllipse ellipse;
    AcDbEllipse::Data oval;
    oval.center = {10, 20, 5};
    oval.normal = AcGeVector3d(0, -1, 1).normal();
    oval.majorAxis = {50, 0, 0};
    oval.radiusRatio = 0.3;
    oval.startParam = kPi / 6;
    oval.endParam = kPi / 6 + 300 * kPi / 180;
    ellipse.qvSetData(oval);
    const std::vector<AcGePoint3d> drawn = ellipse.qvPoints(0.0);
    const std::vector<qv::host::RationalBezier> arcs = ellipse.qvPieces();
    ASSERT_EQ(arcs.size(), 4u);
    EXPECT_TRUE(arcs.front().pointAt(0).isEqualTo(drawn.front()));
    EXPECT_TRUE(arcs.back().pointAt(1).isEqualTo(drawn.back()));
    const AcGeVector3d major = ellipse.majorAxis(), minor = ellipse.minorAxis();
    for (size_t i = 0; i < arcs.size(); ++i) {
        if (i > 0) {
            EXPECT_TRUE(arcs[i].pointAt(0).isEqualTo(arcs[i - 1].pointAt(1))) << i;
        }
        for (double t = 0; t <= 1; t += 0.125) {
            const AcGeVector3d v = arcs[i].pointAt(t) - oval.center;
            const double c = v.dotProduct(major) / major.lengthSqrd();
            const double s = v.dotProduct(minor) / minor.lengthSqrd();
            EXPECT_NEAR(std::hypot(c, s), 1.0, 1e-12) << i << " at " << t;
            EXPECT_NEAR(v.dotProduct(oval.normal), 0.0, 1e-9) << i << " at " << t;
            double angle = std::atan2(s, c) - oval.startParam;
            angle = angle < -1e-9 ? angle + 2 * kPi : angle;
            EXPECT_LE(angle, 300 * kPi / 180 + 1e-9) << i << " at " << t;
        }
    }

    // Splines: the point i of 64 along span k (or between fit points k and k + 1) of the plot
    // is the point i / 64 of piece k.
    struct Case {
        const char* what;
        AcDbSpline::Data data;
    };
    auto points = [](std::initializer_list<std::array<double, 3>> xyz) {
        std::vector<AcGePoint3d> out;
        for (const auto& [x, y, z] : xyz) {
            out.emplace_back(x, y, z);
        }
        return out;
    };
    const auto wavy = points(
        {{0, 0, 0}, {10, 30, 1}, {25, -5, 2}, {40, 40, 0}, {60, 0, 3}, {70, 20, 1}, {90, 10, 0}});
    const Case cases[] = {
        {"a rational cubic of uneven knots, one of them double",
         {3,
          false,
          true,
          {0, 0, 0, 0, 0.5, 2, 2, 3.5, 3.5, 3.5, 3.5},
          wavy,
          {1, 2, 0.5, 3, 1, 0.25, 1},
          {}}},
        {"a quadratic of knots not clamped",
         {2, false, false, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, wavy, {}, {}}},
        {"a degree above what its points allow, knots that do not suit",
         {9, false, false, {0, 1}, points({{0, 0, 0}, {10, 30, 0}, {25, -5, 0}}), {}, {}}},
        {"an open curve through fit points", {3, false, false, {}, {}, {}, wavy}},
        {"a closed curve through fit points", {3, true, false, {}, {}, {}, wavy}},
    };
    for (const Case& c : cases) {
        AcDbSpline spline;
        spline.qvSetData(c.data);
        const std::vector<AcGePoint3d> plotted = spline.qvPoints(0.0);
        const std::vector<qv::host::RationalBezier> pieces = spline.qvPieces();
        ASSERT_EQ(plotted.size(), 64 * pieces.size() + 1) << c.what;
        for (size_t k = 0; k < pieces.size(); ++k) {
            for (size_t i = 0; i <= 64; ++i) {
                EXPECT_TRUE(pieces[k].pointAt(i / 64.0).isEqualTo(plotted[64 * k + i]))
                    << c.what << ", piece " << k << ", point " << i;
            }
        }
    }
}

}  // namespace
