// What the editor sees of an entity when the user picks it or draws a window round it: its
// outline in the plan (world x and y), as paths of points. Arcs are followed by short chords;
// texts, attributes and entities without a drawing of their own show their box; a block
// reference shows its definition's entities and its attributes, placed by its transform.
// Texts and hatches are filled: a point inside them touches them.
#pragma once

#include <vector>

#include "../db/AcDbEntity.h"
#include "../ge/AcGePoint.h"

namespace qv::host::ed {

struct EntityShape {
    std::vector<std::vector<AcGePoint2d>> paths;  // each closed path repeats its first point
    std::vector<bool> filled;                     // per path: the inside belongs to the shape

    bool isEmpty() const { return paths.empty(); }
    // The nearest distance from `point` to the shape (0 inside a filled path).
    double distanceTo(const AcGePoint2d& point) const;
    // Every point of the shape lies inside the polygon (closed implicitly).
    bool isInside(const std::vector<AcGePoint2d>& polygon) const;
    // Some part of the shape lies inside the polygon or crosses its edges.
    bool touches(const std::vector<AcGePoint2d>& polygon) const;
};

// The shape of an entity (which the caller holds open, or the host's own code peeks at).
EntityShape shapeOf(const AcDbEntity& entity);

// A point somewhere on the entity's drawing, for an entity picked by its handle.
AcGePoint3d pointOn(const AcDbEntity& entity);

// The window of two corners as a polygon.
std::vector<AcGePoint2d> windowPolygon(const AcGePoint2d& a, const AcGePoint2d& b);

}  // namespace qv::host::ed
