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
#include "host/ed/PlanGeometry.h"

namespace qv::host::ed {
namespace {

constexpr int kMaxNesting = 16;  // block references inside block definitions
// How far apart the plan's scales in x and y (and its axes from square) may be for circles to
// stay circles, relative to the scale.
constexpr double kSimilar = 1e-9;

double cross(const AcGeVector2d& u, const AcGeVector2d& v) {
    return u.x * v.y - u.y * v.x;
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

// The curve that piece k of path i (from point k to point k + 1) follows; none for a straight
// piece or a circular arc.
const PlanCurve* curveOf(const EntityShape& shape, size_t i, size_t k) {
    if (i < shape.curves.size() && k < shape.curves[i].size() && !shape.curves[i][k].isEmpty()) {
        return &shape.curves[i][k];
    }
    return nullptr;
}

// Piece k of path i against the polygon's edges. `strictly`, with both its ends inside: it
// crosses an edge, leaving the polygon somewhere between them (a concave polygon, an arc or curve
// reaching over an edge). Otherwise, with both its ends outside: it meets an edge or lies partly
// inside.
bool pieceReachesAcross(const EntityShape& shape, size_t i, size_t k,
                        const std::vector<AcGePoint2d>& polygon, bool strictly) {
    if (const PlanCurve* curve = curveOf(shape, i, k)) {
        return strictly ? curve->leaves(polygon) : curve->meets(polygon);
    }
    const std::vector<AcGePoint2d>& path = shape.paths[i];
    const std::vector<double>& bulges = shape.bulges[i];
    for (size_t e = 0; e < polygon.size(); ++e) {
        const AcGePoint2d& c = polygon[e];
        const AcGePoint2d& d = polygon[(e + 1) % polygon.size()];
        if (!bulges.empty() && bulges[k] != 0
                ? arcMeetsSegment(Arc(path[k], path[k + 1], bulges[k]), c, d, strictly)
                : (strictly ? segmentsCross : segmentsMeet)(path[k], path[k + 1], c, d)) {
            return true;
        }
    }
    return false;
}

// The distance from the point to piece k of path i where it is below `best`; `best` otherwise.
double distanceToPiece(const AcGePoint2d& point, const EntityShape& shape, size_t i, size_t k,
                       double best) {
    if (const PlanCurve* curve = curveOf(shape, i, k)) {
        return curve->distanceTo(point, best);
    }
    const std::vector<AcGePoint2d>& path = shape.paths[i];
    const std::vector<double>& bulges = shape.bulges[i];
    return std::min(best, bulges.empty() || bulges[k] == 0
                              ? distanceToSegment(point, path[k], path[k + 1])
                              : distanceToArc(point, Arc(path[k], path[k + 1], bulges[k])));
}

// The point lies inside a closed path: inside the polygon of its points, turned over by every
// arc or curve that holds the point between its chord and itself.
bool insidePath(const AcGePoint2d& p, const EntityShape& shape, size_t i) {
    const std::vector<AcGePoint2d>& path = shape.paths[i];
    const std::vector<double>& bulges = shape.bulges[i];
    bool inside = pointInPolygon(p, path);
    for (size_t k = 0; k < bulges.size(); ++k) {
        if (bulges[k] != 0) {
            const Arc arc(path[k], path[k + 1], bulges[k]);
            const AcGeVector2d v = p - arc.start;
            double side = arc.side(v);
            if (side == 0) {
                // On the chord's line: judged as the polygon's test judges a point on an edge,
                // as if a little to the right of it (above it, where the chord is level).
                side = (arc.chord.y != 0 ? -arc.chord.y : arc.chord.x) * arc.bulge;
            }
            if (arc.power(v) < 0 && side < 0) {
                inside = !inside;
            }
        }
    }
    for (size_t k = 0; i < shape.curves.size() && k < shape.curves[i].size(); ++k) {
        if (shape.curves[i][k].holdsBetweenChord(p)) {
            inside = !inside;
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

struct Path {
    std::vector<AcGePoint2d> points;
    std::vector<double> bulges;     // empty while every piece is straight
    std::vector<PlanCurve> curves;  // empty while no piece follows a curve
    bool filled = false;

    void add(const AcGePoint2d& p, double bulge) {
        if (bulge != 0 && bulges.empty() && points.size() > 1) {
            bulges.assign(points.size() - 1, 0.0);
        }
        if (!bulges.empty() || bulge != 0) {
            bulges.push_back(bulge);
        }
        if (!curves.empty()) {
            curves.emplace_back();
        }
        points.push_back(p);
    }
    // A piece along the curve, from the path's last point (where the curve starts) to its end.
    void add(PlanCurve curve) {
        if (curve.isEmpty()) {
            return;
        }
        if (points.empty()) {
            points.push_back(curve.start());
        }
        const AcGePoint2d end = curve.end();
        curves.resize(points.size() - 1);
        curves.push_back(std::move(curve));
        if (!bulges.empty()) {
            bulges.push_back(0.0);
        }
        points.push_back(end);
    }
    // The pieces of a curve carried by `m`.
    void add(const std::vector<RationalBezier>& pieces, const AcGeMatrix3d& m) {
        for (const RationalBezier& piece : pieces) {
            add(PlanCurve(piece, m));
        }
    }
};

void addPath(EntityShape& shape, Path path) {
    if (!path.curves.empty() || !shape.curves.empty()) {
        shape.curves.resize(shape.paths.size());
        shape.curves.push_back(std::move(path.curves));
    }
    shape.paths.push_back(std::move(path.points));
    shape.filled.push_back(path.filled);
    shape.bulges.push_back(std::move(path.bulges));
}

// Follows segments carried by `m`: arcs stay arcs where the plan keeps circles, and become
// elliptic curves elsewhere.
Path follow(const std::vector<BulgeSegment>& segments, const AcGeMatrix3d& m) {
    Path path;
    const int sense = circleSense(m);
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
        const AcGePoint2d c = s.center();
        const double r = s.radius();
        const double from = std::atan2(s.start.y - c.y, s.start.x - c.x);
        const size_t before = path.points.size();
        path.add(ellipticArc({c.x, c.y, 0.0}, {r, 0.0, 0.0}, {0.0, r, 0.0}, from, from + s.sweep()),
                 m);
        if (path.points.size() == before) {
            path.add(end, 0.0);
        }
    }
    return path;
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

void addEntity(EntityShape& shape, const AcDbEntity& entity, const AcGeMatrix3d& m, int depth);

// What of a block's entities its references show: everything but the attribute definitions that
// are not constant (those show through the references' attributes).
bool shownByReference(const AcDbEntity& entity) {
    const auto* definition = AcDbAttributeDefinition::cast(&entity);
    return definition == nullptr || definition->isConstant();
}

void addBlock(EntityShape& shape, const AcDbBlockReference& reference, const AcGeMatrix3d& m,
              int depth) {
    const AcGeMatrix3d placed = m * reference.blockTransform();
    if (const auto* block =
            ObjectAccess::peekAs<AcDbBlockTableRecord>(reference.blockTableRecord());
        block != nullptr && depth < kMaxNesting) {
        for (AcDbObjectId id : block->qvEntities()) {
            const auto* inner = ObjectAccess::peekAs<AcDbEntity>(id);
            if (inner != nullptr && !inner->isErased() && shownByReference(*inner)) {
                addEntity(shape, *inner, placed, depth + 1);
            }
        }
    }
    for (AcDbObjectId id : reference.qvAttributes()) {
        const auto* attribute = ObjectAccess::peekAs<AcDbEntity>(id);
        if (attribute != nullptr && !attribute->isErased()) {
            addEntity(shape, *attribute, m, depth + 1);
        }
    }
}

void addEntity(EntityShape& shape, const AcDbEntity& entity, const AcGeMatrix3d& m, int depth) {
    if (const auto* reference = AcDbBlockReference::cast(&entity)) {
        addBlock(shape, *reference, m, depth);
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
            addPath(shape, follow(segments, m * curve->qvPlane()));
            return;
        }
    }
    // Ellipses and splines by the curves themselves.
    const auto* ellipse = AcDbEllipse::cast(&entity);
    const auto* spline = AcDbSpline::cast(&entity);
    if (ellipse != nullptr || spline != nullptr) {
        Path path;
        path.add(ellipse != nullptr ? ellipse->qvPieces() : spline->qvPieces(), m);
        if (!path.points.empty()) {
            addPath(shape, std::move(path));
        }
        return;
    }
    // A hatch's loops lie in its plane at its elevation, in the plane's own coordinates (the
    // arbitrary-axis rule): a normal of -z mirrors them in the plan, a tilted one squeezes them.
    if (const auto* hatch = AcDbHatch::cast(&entity)) {
        const AcGeMatrix3d plane =
            m * AcGeMatrix3d::planeToWorld(hatch->normal()) *
            AcGeMatrix3d::translation(AcGeVector3d(0, 0, hatch->elevation()));
        for (const AcDbHatch::Loop& loop : hatch->qvLoops()) {
            Path path = follow(loop.segments(), plane);
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
        if (filled[i] && path.size() > 2 && insidePath(point, *this, i)) {
            return 0.0;
        }
        if (path.size() == 1) {
            best = std::min(best, point.distanceTo(path[0]));
        }
        for (size_t k = 1; k < path.size(); ++k) {
            best = distanceToPiece(point, *this, i, k - 1, best);
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
            if (k > 0 && pieceReachesAcross(*this, i, k - 1, polygon, true)) {
                return false;
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
            if (pieceReachesAcross(*this, i, k - 1, polygon, false)) {
                return true;
            }
        }
        if (filled[i] && path.size() > 2 && insidePath(polygon.front(), *this, i)) {
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
        for (size_t k = 0; i < curves.size() && k < curves[i].size(); ++k) {
            curves[i][k].addTo(box);
        }
    }
}

EntityShape shapeOf(const AcDbEntity& entity) {
    EntityShape shape;
    addEntity(shape, entity, AcGeMatrix3d::kIdentity, 0);
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
