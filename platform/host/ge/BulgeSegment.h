// A segment of a lightweight polyline: a straight line, or a circular arc given by its bulge,
// the tangent of a quarter of its included angle (positive: counter-clockwise from start to end;
// 1: a half circle).
#pragma once

#include "AcGePoint.h"

namespace qv::host {

struct Box2d {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(const AcGePoint2d& p);
    bool isEmpty() const { return minX > maxX; }
};

struct BulgeSegment {
    AcGePoint2d start, end;
    double bulge = 0.0;

    bool isArc() const;
    // The included angle, negative for a clockwise arc; 0 for a line.
    double sweep() const;
    double radius() const;
    AcGePoint2d center() const;
    double length() const;
    // The area between the chord and the arc, with the sign the chord's term of the shoelace sum
    // has for a counter-clockwise outline (so the outline's signed area is the shoelace sum plus
    // these).
    double signedArcArea() const;
    // The point a fraction of the way along (by length).
    AcGePoint2d pointAt(double fraction) const;
    // The fraction of the point of the segment nearest to `p`, and its distance.
    double closestFraction(const AcGePoint2d& p, double& distance) const;
    // Widens the box by the segment (arc extremes included).
    void addTo(Box2d& box) const;
};

}  // namespace qv::host
