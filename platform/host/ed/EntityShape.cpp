#include "host/ed/EntityShape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbEllipse.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbSpline.h"
#include "host/db/AcDbText.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

namespace qv::host::ed {
namespace {

constexpr int kMaxNesting = 16;  // block references inside block definitions
// Without a tolerance, chords lie within this share of their curve's size.
constexpr double kSizeShare = 1e-3;
// At most so many chords for one arc of a curve.
constexpr double kMaxChords = 16384;
// How far apart the plan's scales in x and y (and its axes from square) may be for circles to
// stay circles, relative to the scale.
constexpr double kSimilar = 1e-9;

bool pointInPolygon(const AcGePoint2d& p, const std::vector<AcGePoint2d>& polygon) {
    bool inside = false;
    const size_t n = polygon.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const AcGePoint2d& a = polygon[i];
        const AcGePoint2d& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double cross(const AcGePoint2d& o, const AcGePoint2d& a, const AcGePoint2d& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double cross(const AcGeVector2d& u, const AcGeVector2d& v) {
    return u.x * v.y - u.y * v.x;
}

bool onSegment(const AcGePoint2d& p, const AcGePoint2d& a, const AcGePoint2d& b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// The segments cross each other at a point inside both.
bool segmentsCross(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                   const AcGePoint2d& d) {
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

// The segments have a point in common.
bool segmentsMeet(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                  const AcGePoint2d& d) {
    if (segmentsCross(a, b, c, d)) {
        return true;
    }
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    return (d1 == 0 && onSegment(a, c, d)) || (d2 == 0 && onSegment(b, c, d)) ||
           (d3 == 0 && onSegment(c, a, b)) || (d4 == 0 && onSegment(d, a, b));
}

double distanceToSegment(const AcGePoint2d& p, const AcGePoint2d& a, const AcGePoint2d& b) {
    const AcGeVector2d ab = b - a;
    const double len2 = ab.x * ab.x + ab.y * ab.y;
    double t = len2 > 0 ? ((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const AcGePoint2d q(a.x + ab.x * t, a.y + ab.y * t);
    return p.distanceTo(q);
}

// A circular arc of a path, from `start` to start + chord, worked out from its start rather than
// its centre: a nearly straight arc (a tiny bulge, a far centre) keeps its precision.
struct Arc {
    AcGePoint2d start;
    AcGeVector2d chord;       // from the start to the end
    AcGeVector2d fromCentre;  // from the centre to the start
    double bulge, radius;

    Arc(const AcGePoint2d& a, const AcGePoint2d& b, double arcBulge)
        : start(a), chord(b - a), bulge(arcBulge) {
        const double l = chord.length();
        const AcGeVector2d left = AcGeVector2d(-chord.y, chord.x) / l;
        const double h = (l / 2.0) * (1.0 - bulge * bulge) / (2.0 * bulge);
        fromCentre = -(chord / 2.0 + left * h);
        radius = fromCentre.length();
    }
    // The square of the distance from the centre less the square of the radius, for the point
    // start + v: below 0 inside the circle.
    double power(const AcGeVector2d& v) const {
        return v.lengthSqrd() + 2.0 * v.dotProduct(fromCentre);
    }
    // Below 0 where the point start + v lies on the arc's side of the chord: a point of the
    // circle there lies on the arc (0 at its ends).
    double side(const AcGeVector2d& v) const { return cross(chord, v) * bulge; }
};

double distanceToArc(const AcGePoint2d& p, const Arc& arc) {
    const AcGeVector2d v = p - arc.start;
    const AcGeVector2d fromCentre = v + arc.fromCentre;
    // Whether p lies within the angle that the arc spans about its centre: the turns from the
    // start to p and from p to the end go the arc's way.
    double toPoint = cross(arc.fromCentre, v);
    double toEnd = cross(fromCentre, arc.chord - v);
    if (arc.bulge < 0) {
        toPoint = -toPoint;
        toEnd = -toEnd;
    }
    const bool within =
        std::fabs(arc.bulge) <= 1.0 ? toPoint >= 0 && toEnd >= 0 : toPoint >= 0 || toEnd >= 0;
    if (within) {
        return std::fabs(arc.power(v)) / (fromCentre.length() + arc.radius);
    }
    return std::min(v.length(), (v - arc.chord).length());
}

// The arc and the segment c-d have a point in common; `strictly`: they cross at a point inside
// both.
bool arcMeetsSegment(const Arc& arc, const AcGePoint2d& c, const AcGePoint2d& d, bool strictly) {
    // The points c + u (d - c) of the circle: a u^2 + 2 b u + power(c) = 0.
    const AcGeVector2d along = d - c, w = c - arc.start;
    const double a = along.lengthSqrd();
    if (!(a > 0)) {
        return false;
    }
    const double b = w.dotProduct(along) + along.dotProduct(arc.fromCentre);
    const double power = arc.power(w);
    const double discriminant = b * b - a * power;
    if (discriminant < 0 || (strictly && discriminant == 0)) {
        return false;
    }
    // The root of the larger size first, the other from it: no cancellation.
    const double q = -(b + std::copysign(std::sqrt(discriminant), b));
    const double roots[2] = {q / a, q != 0 ? power / q : 0.0};
    for (const double u : roots) {
        if (strictly ? u > 0 && u < 1 : u >= 0 && u <= 1) {
            const double side = arc.side(w + along * u);
            if (strictly ? side < 0 : side <= 0) {
                return true;
            }
        }
    }
    return false;
}

// Piece k of a path (from point k to point k + 1), straight or an arc, against the segment c-d.
bool pieceCrosses(const std::vector<AcGePoint2d>& path, const std::vector<double>& bulges, size_t k,
                  const AcGePoint2d& c, const AcGePoint2d& d) {
    if (bulges.empty() || bulges[k] == 0) {
        return segmentsCross(path[k], path[k + 1], c, d);
    }
    return arcMeetsSegment(Arc(path[k], path[k + 1], bulges[k]), c, d, true);
}

bool pieceMeets(const std::vector<AcGePoint2d>& path, const std::vector<double>& bulges, size_t k,
                const AcGePoint2d& c, const AcGePoint2d& d) {
    if (bulges.empty() || bulges[k] == 0) {
        return segmentsMeet(path[k], path[k + 1], c, d);
    }
    return arcMeetsSegment(Arc(path[k], path[k + 1], bulges[k]), c, d, false);
}

// The point lies inside a closed path: inside the polygon of its points, turned over by every
// arc whose bulge (between its chord and itself) holds the point.
bool insidePath(const AcGePoint2d& p, const std::vector<AcGePoint2d>& path,
                const std::vector<double>& bulges) {
    bool inside = pointInPolygon(p, path);
    for (size_t k = 0; k < bulges.size(); ++k) {
        if (bulges[k] != 0) {
            const Arc arc(path[k], path[k + 1], bulges[k]);
            const AcGeVector2d v = p - arc.start;
            if (arc.power(v) < 0 && arc.side(v) < 0) {
                inside = !inside;
            }
        }
    }
    return inside;
}

AcGePoint2d plan(const AcGeMatrix3d& m, const AcGePoint2d& p, double z = 0.0) {
    return (m * AcGePoint3d(p.x, p.y, z)).convert2d();
}

// How the plan of a matrix (x and y of the image of (x, y, 0)) shows circles: 1 as circles, -1
// as circles mirrored (turning the other way), 0 as ellipses or lines.
int circleSense(const AcGeMatrix3d& m) {
    const double a = m.entry[0][0], b = m.entry[0][1], c = m.entry[1][0], d = m.entry[1][1];
    const double x2 = a * a + c * c, y2 = b * b + d * d;
    if (!(x2 > 0) || !std::isfinite(x2) || std::fabs(x2 - y2) > kSimilar * x2 ||
        std::fabs(a * b + c * d) > kSimilar * x2) {
        return 0;
    }
    return a * d - b * c > 0 ? 1 : -1;
}

// The most by which the plan of a matrix lengthens a vector of x and y (`withZ`: of x, y and z):
// the root of the larger eigenvalue of B B^T, B its first two rows.
double planStretch(const AcGeMatrix3d& m, bool withZ) {
    double g11 = 0, g12 = 0, g22 = 0;
    for (int j = 0; j < (withZ ? 3 : 2); ++j) {
        g11 += m.entry[0][j] * m.entry[0][j];
        g12 += m.entry[0][j] * m.entry[1][j];
        g22 += m.entry[1][j] * m.entry[1][j];
    }
    return std::sqrt((g11 + g22) / 2.0 + std::hypot((g11 - g22) / 2.0, g12));
}

// How far a curve's chords may lie from it in its own units: `tolerance` of the plan brought
// back through a matrix that lengthens by up to `stretch`, or a share of the curve's `size`.
double ownTolerance(double tolerance, double stretch, double size) {
    if (!(tolerance > 0)) {
        return size * kSizeShare;
    }
    return stretch > 0 ? tolerance / stretch : tolerance;
}

struct Path {
    std::vector<AcGePoint2d> points;
    std::vector<double> bulges;  // empty while every piece is straight
    bool filled = false;

    void add(const AcGePoint2d& p, double bulge) {
        if (bulge != 0 && bulges.empty() && points.size() > 1) {
            bulges.assign(points.size() - 1, 0.0);
        }
        if (!bulges.empty() || bulge != 0) {
            bulges.push_back(bulge);
        }
        points.push_back(p);
    }
};

void addPath(EntityShape& shape, Path path) {
    shape.paths.push_back(std::move(path.points));
    shape.filled.push_back(path.filled);
    shape.bulges.push_back(std::move(path.bulges));
}

// Follows segments carried by `m`: arcs stay arcs where the plan keeps circles, and follow
// chords within `tolerance` of them elsewhere.
Path follow(const std::vector<BulgeSegment>& segments, const AcGeMatrix3d& m, double tolerance) {
    Path path;
    const int sense = circleSense(m);
    const double stretch = sense == 0 ? planStretch(m, false) : 0.0;
    for (const BulgeSegment& s : segments) {
        if (path.points.empty()) {
            path.points.push_back(plan(m, s.start));
        }
        const AcGePoint2d end = plan(m, s.end);
        if (!s.isArc()) {
            path.add(end, 0.0);
            continue;
        }
        if (sense != 0) {
            const double bulge = sense * s.bulge;
            path.add(end, BulgeSegment{path.points.back(), end, bulge}.isArc() ? bulge : 0.0);
            continue;
        }
        const double r = s.radius();
        const double share = std::min(ownTolerance(tolerance, stretch, r) / r, 1.0);
        double chords = std::ceil(std::fabs(s.sweep()) / (2.0 * std::acos(1.0 - share)));
        if (!(chords <= kMaxChords)) {
            chords = kMaxChords;
        }
        s.forEachStep(std::max(2, static_cast<int>(chords)),
                      [&](const AcGePoint2d& p) { path.add(plan(m, p), 0.0); });
    }
    return path;
}

// Points of a curve carried by `m`, joined by straight pieces.
Path follow(const std::vector<AcGePoint3d>& points, const AcGeMatrix3d& m) {
    Path path;
    for (const AcGePoint3d& p : points) {
        path.points.push_back((m * p).convert2d());
    }
    return path;
}

// The size of the box round a spline's finite control and fit points.
double sizeOf(const AcDbSpline::Data& data) {
    AcDbExtents box;
    for (const auto* points : {&data.controlPoints, &data.fitPoints}) {
        for (const AcGePoint3d& p : *points) {
            if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
                box.addPoint(p);
            }
        }
    }
    return box.qvIsEmpty() ? 0.0 : box.minPoint().distanceTo(box.maxPoint());
}

void addBox(EntityShape& shape, const AcDbExtents& box, bool filled) {
    const AcGePoint3d& lo = box.minPoint();
    const AcGePoint3d& hi = box.maxPoint();
    Path path;
    path.points = windowPolygon(lo.convert2d(), hi.convert2d());
    path.points.push_back(path.points.front());
    path.filled = filled;
    addPath(shape, std::move(path));
}

void addEntity(EntityShape& shape, const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
               double tolerance);

// What of a block's entities its references show: everything but the attribute definitions that
// are not constant (those show through the references' attributes).
bool shownByReference(const AcDbEntity& entity) {
    const auto* definition = AcDbAttributeDefinition::cast(&entity);
    return definition == nullptr || definition->isConstant();
}

void addBlock(EntityShape& shape, const AcDbBlockReference& reference, const AcGeMatrix3d& m,
              int depth, double tolerance) {
    const AcGeMatrix3d placed = m * reference.blockTransform();
    if (const auto* block =
            ObjectAccess::peekAs<AcDbBlockTableRecord>(reference.blockTableRecord());
        block != nullptr && depth < kMaxNesting) {
        for (AcDbObjectId id : block->qvEntities()) {
            const auto* inner = ObjectAccess::peekAs<AcDbEntity>(id);
            if (inner != nullptr && !inner->isErased() && shownByReference(*inner)) {
                addEntity(shape, *inner, placed, depth + 1, tolerance);
            }
        }
    }
    for (AcDbObjectId id : reference.qvAttributes()) {
        const auto* attribute = ObjectAccess::peekAs<AcDbEntity>(id);
        if (attribute != nullptr && !attribute->isErased()) {
            addEntity(shape, *attribute, m, depth + 1, tolerance);
        }
    }
}

void addEntity(EntityShape& shape, const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
               double tolerance) {
    if (const auto* reference = AcDbBlockReference::cast(&entity)) {
        addBlock(shape, *reference, m, depth, tolerance);
        return;
    }
    if (const auto* line = AcDbLine::cast(&entity)) {
        Path path;
        path.points = {(m * line->startPoint()).convert2d(), (m * line->endPoint()).convert2d()};
        addPath(shape, std::move(path));
        return;
    }
    if (const auto* curve = AcDbCurve::cast(&entity)) {
        const std::vector<BulgeSegment> segments = curve->qvSegments();
        if (!segments.empty()) {
            addPath(shape, follow(segments, m * curve->qvPlane(), tolerance));
            return;
        }
    }
    // Ellipses and splines as the plot draws them, finely enough for the tolerance (an
    // ellipse's chords never longer than a quarter of it).
    if (const auto* ellipse = AcDbEllipse::cast(&entity)) {
        const double major = ellipse->majorAxis().length();
        const double own = ownTolerance(tolerance, planStretch(m, true), major);
        const std::vector<AcGePoint3d> points = ellipse->qvPoints(std::min(own, major / 2.0));
        if (!points.empty()) {
            addPath(shape, follow(points, m));
        }
        return;
    }
    if (const auto* spline = AcDbSpline::cast(&entity)) {
        const double own = ownTolerance(tolerance, planStretch(m, true), sizeOf(spline->qvData()));
        const std::vector<AcGePoint3d> points = spline->qvPoints(own);
        if (!points.empty()) {
            addPath(shape, follow(points, m));
        }
        return;
    }
    if (const auto* hatch = AcDbHatch::cast(&entity);
        hatch != nullptr && hatch->normal() == AcGeVector3d::kZAxis) {
        const AcGeMatrix3d atElevation =
            m * AcGeMatrix3d::translation(AcGeVector3d(0, 0, hatch->elevation()));
        for (const AcDbHatch::Loop& loop : hatch->qvLoops()) {
            Path path = follow(loop.segments(), atElevation, tolerance);
            if (!path.points.empty()) {
                path.add(path.points.front(), 0.0);
                path.filled = true;
                addPath(shape, std::move(path));
            }
        }
        if (!hatch->qvLoops().empty()) {
            return;
        }
    }
    AcDbExtents box;
    if (entity.getGeomExtents(box) == Acad::eOk && !box.qvIsEmpty()) {
        box.transformBy(m);
        addBox(shape, box,
               AcDbText::cast(&entity) != nullptr || AcDbHatch::cast(&entity) != nullptr);
    }
}

}  // namespace

std::vector<AcGePoint2d> windowPolygon(const AcGePoint2d& a, const AcGePoint2d& b) {
    const double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

double EntityShape::distanceTo(const AcGePoint2d& point) const {
    double best = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::vector<AcGePoint2d>& path = paths[i];
        const std::vector<double>& arcs = bulges[i];
        if (filled[i] && path.size() > 2 && insidePath(point, path, arcs)) {
            return 0.0;
        }
        if (path.size() == 1) {
            best = std::min(best, point.distanceTo(path[0]));
        }
        for (size_t k = 1; k < path.size(); ++k) {
            best =
                std::min(best, arcs.empty() || arcs[k - 1] == 0
                                   ? distanceToSegment(point, path[k - 1], path[k])
                                   : distanceToArc(point, Arc(path[k - 1], path[k], arcs[k - 1])));
        }
    }
    return best;
}

bool EntityShape::isInside(const std::vector<AcGePoint2d>& polygon) const {
    if (paths.empty() || polygon.size() < 3) {
        return false;
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::vector<AcGePoint2d>& path = paths[i];
        for (size_t k = 0; k < path.size(); ++k) {
            if (!pointInPolygon(path[k], polygon)) {
                return false;
            }
            // Both ends inside a concave polygon may still leave it between them; so may an arc
            // whose bulge reaches over an edge.
            for (size_t e = 0; k > 0 && e < polygon.size(); ++e) {
                if (pieceCrosses(path, bulges[i], k - 1, polygon[e],
                                 polygon[(e + 1) % polygon.size()])) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool EntityShape::touches(const std::vector<AcGePoint2d>& polygon) const {
    if (polygon.size() < 3) {
        return false;
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::vector<AcGePoint2d>& path = paths[i];
        for (const AcGePoint2d& p : path) {
            if (pointInPolygon(p, polygon)) {
                return true;
            }
        }
        for (size_t k = 1; k < path.size(); ++k) {
            for (size_t e = 0; e < polygon.size(); ++e) {
                if (pieceMeets(path, bulges[i], k - 1, polygon[e],
                               polygon[(e + 1) % polygon.size()])) {
                    return true;
                }
            }
        }
        if (filled[i] && path.size() > 2 && insidePath(polygon.front(), path, bulges[i])) {
            return true;
        }
    }
    return false;
}

void EntityShape::addTo(Box2d& box) const {
    for (size_t i = 0; i < paths.size(); ++i) {
        for (const AcGePoint2d& p : paths[i]) {
            box.add(p);
        }
        for (size_t k = 0; k < bulges[i].size(); ++k) {
            BulgeSegment{paths[i][k], paths[i][k + 1], bulges[i][k]}.addTo(box);
        }
    }
}

EntityShape shapeOf(const AcDbEntity& entity, double tolerance) {
    EntityShape shape;
    addEntity(shape, entity, AcGeMatrix3d::kIdentity, 0, tolerance);
    return shape;
}

AcGePoint3d pointOn(const AcDbEntity& entity) {
    if (const auto* curve = AcDbCurve::cast(&entity)) {
        AcGePoint3d p;
        if (curve->getStartPoint(p) == Acad::eOk) {
            return p;
        }
    }
    if (const auto* reference = AcDbBlockReference::cast(&entity)) {
        return reference->position();
    }
    if (const auto* text = AcDbText::cast(&entity)) {
        return text->position();
    }
    AcDbExtents box;
    if (entity.getGeomExtents(box) == Acad::eOk && !box.qvIsEmpty()) {
        return box.minPoint();
    }
    return AcGePoint3d::kOrigin;
}

}  // namespace qv::host::ed
