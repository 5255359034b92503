#include "host/ge/RationalBezier.h"

#include <cmath>
#include <numbers>

namespace qv::host {

AcGePoint3d RationalBezier::pointAt(double t) const {
    std::vector<double> h;  // x w, y w, z w, w of each point
    for (size_t i = 0; i < points.size(); ++i) {
        const double w = i < weights.size() ? weights[i] : 1.0;
        h.insert(h.end(), {points[i].x * w, points[i].y * w, points[i].z * w, w});
    }
    for (size_t n = points.size(); n > 1; --n) {
        for (size_t i = 0; i + 1 < n; ++i) {
            for (size_t k = 0; k < 4; ++k) {
                h[4 * i + k] += (h[4 * (i + 1) + k] - h[4 * i + k]) * t;
            }
        }
    }
    if (h.empty() || !(h[3] != 0.0)) {
        return {};
    }
    return {h[0] / h[3], h[1] / h[3], h[2] / h[3]};
}

std::vector<RationalBezier> ellipticArc(const AcGePoint3d& centre, const AcGeVector3d& major,
                                        const AcGeVector3d& minor, double from, double to) {
    const double sweep = to - from;
    if (!(std::fabs(sweep) > 0.0) || !std::isfinite(sweep)) {
        return {};
    }
    // A quarter turn at most: the middle point's weight, the cosine of half the piece's sweep,
    // stays well above 0.
    const int count = static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2.0)));
    const double half = sweep / count / 2.0;
    auto at = [&](double t) { return centre + major * std::cos(t) + minor * std::sin(t); };
    std::vector<RationalBezier> pieces;
    AcGePoint3d start = at(from);
    for (int i = 1; i <= count; ++i) {
        const double end = from + sweep * i / count;
        const double middle = end - half;
        const AcGePoint3d last = i == count ? at(to) : at(end);
        const AcGePoint3d corner =
            centre + (major * std::cos(middle) + minor * std::sin(middle)) / std::cos(half);
        pieces.push_back({{start, corner, last}, {1.0, std::cos(half), 1.0}});
        start = last;
    }
    return pieces;
}

}  // namespace qv::host
