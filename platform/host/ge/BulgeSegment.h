// A segment of a lightweight polyline: a straight line, or a circular arc given by its bulge,
// the tangent of a quarter of its included angle (positive: counter-clockwise from start to end;
// 1: a half circle).
#pragma once

#include <cmath>

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
    // Calls each(pointAt(i / steps)) for i from 1 to steps, in order, with the arc's centre,
    // radius and angles worked out once instead of at every point.
    template <class Each>
    void forEachStep(int steps, Each&& each) const;
    // The fraction of the point of the segment nearest to `p`, and its distance.
    double closestFraction(const AcGePoint2d& p, double& distance) const;
    // Widens the box by the segment (arc extremes included).
    void addTo(Box2d& box) const;
};

template <class Each>
void BulgeSegment::forEachStep(int steps, Each&& each) const {
    if (!isArc()) {
        for (int i = 1; i <= steps; ++i) {
            each(start + (end - start) * (static_cast<double>(i) / steps));
        }
        return;
    }
    // The same sums as pointAt, so that the points are the very same.
    const AcGePoint2d c = center();
    const double r = radius();
    const double a0 = std::atan2(start.y - c.y, start.x - c.x);
    const double s = sweep();
    for (int i = 1; i <= steps; ++i) {
        const double a = a0 + s * (static_cast<double>(i) / steps);
        each(AcGePoint2d(c.x + r * std::cos(a), c.y + r * std::sin(a)));
    }
}

}  // namespace qv::host
