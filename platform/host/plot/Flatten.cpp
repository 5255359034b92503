#include "host/plot/Flatten.h"

#include <algorithm>
#include <cmath>

namespace qv::host::plot {

Affine planAffine(const AcGeMatrix3d& m) {
    return {m.entry[0][0], m.entry[1][0], m.entry[0][1],
            m.entry[1][1], m.entry[0][3], m.entry[1][3]};
}

double averageScale(const Affine& map) {
    return std::sqrt(std::abs(map.determinant()));
}

void appendSegment(const BulgeSegment& segment, double deviceScale, std::vector<Point2>& points) {
    if (!segment.isArc()) {
        points.push_back({segment.end.x, segment.end.y});
        return;
    }
    const double radius = segment.radius();
    const double sweep = segment.sweep();
    const AcGePoint2d centre = segment.center();
    const double deviceRadius = radius * deviceScale;
    int pieces = 1;
    if (deviceRadius > 0.25) {
        const double step = 2.0 * std::acos(1.0 - 0.25 / deviceRadius);
        pieces = static_cast<int>(std::ceil(std::abs(sweep) / std::max(step, 1e-3)));
    }
    pieces = std::clamp(pieces, 1, 512);
    const double start = std::atan2(segment.start.y - centre.y, segment.start.x - centre.x);
    for (int i = 1; i < pieces; ++i) {
        const double angle = start + sweep * i / pieces;
        points.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    points.push_back({segment.end.x, segment.end.y});
}

std::vector<Point2> flattenChain(const std::vector<BulgeSegment>& segments, double deviceScale) {
    std::vector<Point2> points;
    if (segments.empty()) {
        return points;
    }
    points.push_back({segments.front().start.x, segments.front().start.y});
    for (const BulgeSegment& segment : segments) {
        appendSegment(segment, deviceScale, points);
    }
    return points;
}

}  // namespace qv::host::plot
