// What the editor sees of an entity when the user picks it or draws a window round it: its
// outline in the plan (world x and y), as paths of points, every piece between two points judged
// by the curve itself. A circular arc stays an arc between two points of its path wherever the
// plan shows it as one (its plane and its blocks turn, move, mirror or scale it alike in x and
// y); elsewhere (a block scaled unevenly, a tilted plane), and for ellipses and splines, a piece
// follows the curve as a plan curve (PlanCurve.h), refined near the point or window in question,
// so that a pick exactly on it finds it however closely the plan is viewed. A hatch shows its
// loops whatever its normal. Texts, attributes and entities without a drawing of their own show
// their box; a block reference shows its definition's entities and its attributes, placed by
// its transform. Texts and hatches are filled: a point inside them touches them.
#pragma once

#include <vector>

#include "../db/AcDbEntity.h"
#include "../ge/AcGePoint.h"
#include "../ge/BulgeSegment.h"
#include "PlanCurve.h"

namespace qv::host::ed {

struct EntityShape {
    std::vector<std::vector<AcGePoint2d>> paths;  // each closed path repeats its first point
    std::vector<bool> filled;                     // per path: the inside belongs to the shape
    // Per path: the bulge of each piece (from point k to point k + 1) as the plan shows it (a
    // mirror turns its sign), 0 for a straight piece; empty when every piece is straight.
    std::vector<std::vector<double>> bulges;
    // Per path, while any path has some: the curve each piece follows (from point k to point
    // k + 1), none for a straight piece or an arc; empty for a path without curves.
    std::vector<std::vector<PlanCurve>> curves;

    bool isEmpty() const { return paths.empty(); }
    // The nearest distance from `point` to the shape (0 inside a filled path).
    double distanceTo(const AcGePoint2d& point) const;
    // Every point of the shape lies inside the polygon (closed implicitly).
    bool isInside(const std::vector<AcGePoint2d>& polygon) const;
    // Some part of the shape lies inside the polygon or crosses its edges.
    bool touches(const std::vector<AcGePoint2d>& polygon) const;
    // Widens the box by every point of the shape, the arcs' extremes included.
    void addTo(Box2d& box) const;
};

// The shape of an entity (which the caller holds open, or the host's own code peeks at).
EntityShape shapeOf(const AcDbEntity& entity);

// A point somewhere on the entity's drawing, for an entity picked by its handle.
AcGePoint3d pointOn(const AcDbEntity& entity);

// The window of two corners as a polygon.
std::vector<AcGePoint2d> windowPolygon(const AcGePoint2d& a, const AcGePoint2d& b);

}  // namespace qv::host::ed
