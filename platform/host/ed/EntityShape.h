// What the editor sees of an entity when the user picks it or draws a window round it: its
// outline in the plan (world x and y), as paths of points. A circular arc stays an arc between
// two points of its path wherever the plan shows it as one (its plane and its blocks turn, move,
// mirror or scale it alike in x and y), so that picks and windows judge it by the curve itself;
// elsewhere (a block scaled unevenly, a tilted plane), and for ellipses and splines, curves
// follow chords within a tolerance. Texts, attributes and entities without a drawing of their
// own show their box; a block reference shows its definition's entities and its attributes,
// placed by its transform. Texts and hatches are filled: a point inside them touches them.
#pragma once

#include <vector>

#include "../db/AcDbEntity.h"
#include "../ge/AcGePoint.h"
#include "../ge/BulgeSegment.h"

namespace qv::host::ed {

struct EntityShape {
    std::vector<std::vector<AcGePoint2d>> paths;  // each closed path repeats its first point
    std::vector<bool> filled;                     // per path: the inside belongs to the shape
    // Per path: the bulge of each piece (from point k to point k + 1) as the plan shows it (a
    // mirror turns its sign), 0 for a straight piece; empty when every piece is straight.
    std::vector<std::vector<double>> bulges;

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

// The shape of an entity (which the caller holds open, or the host's own code peeks at). The
// chords that stand for curves not kept exact lie within `tolerance` (plan units) of them, or,
// with a tolerance of 0, within a thousandth of each curve's size.
EntityShape shapeOf(const AcDbEntity& entity, double tolerance = 0.0);

// A point somewhere on the entity's drawing, for an entity picked by its handle.
AcGePoint3d pointOn(const AcDbEntity& entity);

// The window of two corners as a polygon.
std::vector<AcGePoint2d> windowPolygon(const AcGePoint2d& a, const AcGePoint2d& b);

}  // namespace qv::host::ed
