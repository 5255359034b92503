#include "host/ed/PlanGeometry.h"

#include <algorithm>

namespace qv::host::ed {
namespace {

double cross(const AcGePoint2d& o, const AcGePoint2d& a, const AcGePoint2d& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool onSegment(const AcGePoint2d& p, const AcGePoint2d& a, const AcGePoint2d& b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

}  // namespace

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

bool segmentsCross(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                   const AcGePoint2d& d) {
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    return ((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0));
}

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

double distanceBetweenSegments(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                               const AcGePoint2d& d) {
    if (segmentsMeet(a, b, c, d)) {
        return 0.0;
    }
    return std::min({distanceToSegment(a, c, d), distanceToSegment(b, c, d),
                     distanceToSegment(c, a, b), distanceToSegment(d, a, b)});
}

}  // namespace qv::host::ed
