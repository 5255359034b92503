#include "host/db/AcDbSpline.h"

#include <algorithm>
#include <cmath>

QV_RX_DEFINE_MEMBERS(AcDbSpline, AcDbEntity, L"SPLINE")

namespace {

constexpr int kMaxPieces = 64;

bool finite(const AcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Pieces enough for a stretch of `length` to stay within `tolerance` of its chords (a curve
// bending as much as its length allows).
int piecesFor(double length, double tolerance) {
    if (!(tolerance > 0.0) || !std::isfinite(length)) {
        return kMaxPieces;
    }
    return std::clamp(static_cast<int>(std::ceil(std::sqrt(length / (4.0 * tolerance)))), 1,
                      kMaxPieces);
}

double polygonLength(const std::vector<AcGePoint3d>& points, size_t from, size_t to) {
    double length = 0.0;
    for (size_t i = from + 1; i <= to && i < points.size(); ++i) {
        length += points[i].distanceTo(points[i - 1]);
    }
    return length;
}

bool knotsFit(const std::vector<double>& knots, size_t count, int degree) {
    if (knots.size() != count + static_cast<size_t>(degree) + 1) {
        return false;
    }
    for (size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i]) || (i > 0 && knots[i] < knots[i - 1])) {
            return false;
        }
    }
    return knots[static_cast<size_t>(degree)] < knots[count];
}

std::vector<double> clampedUniform(size_t count, int degree) {
    std::vector<double> knots;
    const size_t p = static_cast<size_t>(degree);
    for (size_t i = 0; i < count + p + 1; ++i) {
        knots.push_back(i <= p ? 0.0 : i >= count ? static_cast<double>(count - p)
                                                  : static_cast<double>(i - p));
    }
    return knots;
}

// The point at parameter u of span `span` (knots[span] <= u <= knots[span + 1]), de Boor's way
// in homogeneous coordinates.
AcGePoint3d deBoor(const std::vector<AcGePoint3d>& points, const std::vector<double>& weights,
                   const std::vector<double>& knots, int degree, size_t span, double u) {
    const size_t p = static_cast<size_t>(degree);
    double d[16][4];
    for (size_t j = 0; j <= p; ++j) {
        const size_t index = span - p + j;
        const double w = weights[index];
        d[j][0] = points[index].x * w;
        d[j][1] = points[index].y * w;
        d[j][2] = points[index].z * w;
        d[j][3] = w;
    }
    for (size_t r = 1; r <= p; ++r) {
        for (size_t j = p; j >= r; --j) {
            const size_t i = span - p + j;
            const double denominator = knots[i + p + 1 - r] - knots[i];
            const double alpha = denominator > 0.0 ? (u - knots[i]) / denominator : 0.0;
            for (int k = 0; k < 4; ++k) {
                d[j][k] = (1.0 - alpha) * d[j - 1][k] + alpha * d[j][k];
            }
        }
    }
    const double w = d[p][3] != 0.0 ? d[p][3] : 1.0;
    return {d[p][0] / w, d[p][1] / w, d[p][2] / w};
}

std::vector<AcGePoint3d> fromControlPoints(const AcDbSpline::Data& data, double tolerance) {
    const std::vector<AcGePoint3d>& points = data.controlPoints;
    const size_t count = points.size();
    const int degree = std::clamp(data.degree, 1, std::min(15, static_cast<int>(count) - 1));
    std::vector<double> weights(count, 1.0);
    if (data.rational && data.weights.size() == count) {
        for (size_t i = 0; i < count; ++i) {
            weights[i] = data.weights[i] > 0.0 && std::isfinite(data.weights[i]) ? data.weights[i]
                                                                                   : 1.0;
        }
    }
    const std::vector<double> knots =
        knotsFit(data.knots, count, degree) ? data.knots : clampedUniform(count, degree);
    const size_t p = static_cast<size_t>(degree);
    std::vector<AcGePoint3d> out;
    for (size_t span = p; span < count; ++span) {
        const double from = knots[span], to = knots[span + 1];
        if (!(to > from)) {
            continue;
        }
        const int pieces = piecesFor(polygonLength(points, span - p, span), tolerance);
        for (int i = out.empty() ? 0 : 1; i <= pieces; ++i) {
            const double u = from + (to - from) * i / pieces;
            out.push_back(deBoor(points, weights, knots, degree, span, u));
        }
    }
    return out;
}

std::vector<AcGePoint3d> throughFitPoints(const AcDbSpline::Data& data, double tolerance) {
    std::vector<AcGePoint3d> fit = data.fitPoints;
    const size_t count = fit.size();
    const bool closed = data.closed && count > 2;
    auto at = [&](long i) {
        const long n = static_cast<long>(count);
        if (closed) {
            return fit[static_cast<size_t>(((i % n) + n) % n)];
        }
        return fit[static_cast<size_t>(std::clamp(i, 0L, n - 1))];
    };
    std::vector<AcGePoint3d> out{fit.front()};
    const long segments = static_cast<long>(closed ? count : count - 1);
    for (long s = 0; s < segments; ++s) {
        const AcGePoint3d p0 = at(s - 1), p1 = at(s), p2 = at(s + 1), p3 = at(s + 2);
        const int pieces = piecesFor(p1.distanceTo(p2) * 1.5, tolerance);
        for (int i = 1; i <= pieces; ++i) {
            const double t = static_cast<double>(i) / pieces, t2 = t * t, t3 = t2 * t;
            const double b0 = -0.5 * t3 + t2 - 0.5 * t, b1 = 1.5 * t3 - 2.5 * t2 + 1.0;
            const double b2 = -1.5 * t3 + 2.0 * t2 + 0.5 * t, b3 = 0.5 * t3 - 0.5 * t2;
            out.emplace_back(b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
                             b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y,
                             b0 * p0.z + b1 * p1.z + b2 * p2.z + b3 * p3.z);
        }
    }
    return out;
}

}  // namespace

std::vector<AcGePoint3d> AcDbSpline::qvPoints(double tolerance) const {
    const auto bad = [](const AcGePoint3d& p) { return !finite(p); };
    if (m_data.controlPoints.size() >= 2 &&
        std::none_of(m_data.controlPoints.begin(), m_data.controlPoints.end(), bad)) {
        return fromControlPoints(m_data, tolerance);
    }
    if (m_data.fitPoints.size() >= 2 &&
        std::none_of(m_data.fitPoints.begin(), m_data.fitPoints.end(), bad)) {
        return throughFitPoints(m_data, tolerance);
    }
    return {};
}

Acad::ErrorStatus AcDbSpline::getGeomExtents(AcDbExtents& extents) const {
    AcDbExtents box;
    for (const AcGePoint3d& p : qvPoints(0.0)) {
        box.addPoint(p);
    }
    if (box.qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = box;
    return Acad::eOk;
}
