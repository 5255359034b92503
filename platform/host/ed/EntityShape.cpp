#include "host/ed/EntityShape.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbText.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

namespace qv::host::ed {
namespace {

constexpr int kMaxNesting = 16;  // block references inside block definitions

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

AcGePoint2d plan(const AcGeMatrix3d& m, const AcGePoint2d& p, double z = 0.0) {
    return (m * AcGePoint3d(p.x, p.y, z)).convert2d();
}

// Follows segments (arcs by chords of at most 10 degrees) carried by `m`.
std::vector<AcGePoint2d> follow(const std::vector<BulgeSegment>& segments, const AcGeMatrix3d& m) {
    std::vector<AcGePoint2d> path;
    for (const BulgeSegment& s : segments) {
        if (path.empty()) {
            path.push_back(plan(m, s.start));
        }
        const int steps =
            s.isArc() ? std::max(2, static_cast<int>(std::ceil(std::fabs(s.sweep()) / 0.1745))) : 1;
        for (int i = 1; i <= steps; ++i) {
            path.push_back(plan(m, s.pointAt(static_cast<double>(i) / steps)));
        }
    }
    return path;
}

void addBox(EntityShape& shape, const AcDbExtents& box, bool filled) {
    const AcGePoint3d& lo = box.minPoint();
    const AcGePoint3d& hi = box.maxPoint();
    std::vector<AcGePoint2d> path = windowPolygon(lo.convert2d(), hi.convert2d());
    path.push_back(path.front());
    shape.paths.push_back(std::move(path));
    shape.filled.push_back(filled);
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
    if (const auto* curve = AcDbCurve::cast(&entity)) {
        const std::vector<BulgeSegment> segments = curve->qvSegments();
        if (!segments.empty()) {
            shape.paths.push_back(follow(segments, m * curve->qvPlane()));
            shape.filled.push_back(false);
            return;
        }
    }
    if (const auto* hatch = AcDbHatch::cast(&entity);
        hatch != nullptr && hatch->normal() == AcGeVector3d::kZAxis) {
        const AcGeMatrix3d atElevation =
            m * AcGeMatrix3d::translation(AcGeVector3d(0, 0, hatch->elevation()));
        for (const AcDbHatch::Loop& loop : hatch->qvLoops()) {
            std::vector<AcGePoint2d> path = follow(loop.segments(), atElevation);
            if (!path.empty()) {
                path.push_back(path.front());
                shape.paths.push_back(std::move(path));
                shape.filled.push_back(true);
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
        if (filled[i] && path.size() > 2 && pointInPolygon(point, path)) {
            return 0.0;
        }
        if (path.size() == 1) {
            best = std::min(best, point.distanceTo(path[0]));
        }
        for (size_t k = 1; k < path.size(); ++k) {
            best = std::min(best, distanceToSegment(point, path[k - 1], path[k]));
        }
    }
    return best;
}

bool EntityShape::isInside(const std::vector<AcGePoint2d>& polygon) const {
    if (paths.empty() || polygon.size() < 3) {
        return false;
    }
    for (const auto& path : paths) {
        for (size_t k = 0; k < path.size(); ++k) {
            if (!pointInPolygon(path[k], polygon)) {
                return false;
            }
            // Both ends inside a concave polygon may still leave it between them.
            for (size_t e = 0; k > 0 && e < polygon.size(); ++e) {
                if (segmentsCross(path[k - 1], path[k], polygon[e],
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
                if (segmentsMeet(path[k - 1], path[k], polygon[e],
                                 polygon[(e + 1) % polygon.size()])) {
                    return true;
                }
            }
        }
        if (filled[i] && path.size() > 2 && pointInPolygon(polygon.front(), path)) {
            return true;
        }
    }
    return false;
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
