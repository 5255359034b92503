#include "host/db/AcDbSpline.h"

#include <algorithm>
#include <array>
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
        knots.push_back(i <= p       ? 0.0
                        : i >= count ? static_cast<double>(count - p)
                                     : static_cast<double>(i - p));
    }
    return knots;
}

// A spline's curve as it is drawn: its degree, points, weights and knots made usable. It reads
// the spline's control points where they are: the spline's data outlives it.
struct Nurbs {
    int degree = 1;
    const std::vector<AcGePoint3d>& points;
    std::vector<double> weights;
    std::vector<double> knots;

    explicit Nurbs(const AcDbSpline::Data& data) : points(data.controlPoints) {
        const size_t count = points.size();
        degree = std::clamp(data.degree, 1, std::min(15, static_cast<int>(count) - 1));
        weights.assign(count, 1.0);
        if (data.rational && data.weights.size() == count) {
            for (size_t i = 0; i < count; ++i) {
                const double w = data.weights[i];
                weights[i] = w > 0.0 && std::isfinite(w) ? w : 1.0;
            }
        }
        knots = knotsFit(data.knots, count, degree) ? data.knots : clampedUniform(count, degree);
    }

    // The blossom of span `span` (knots[span] < knots[span + 1]) at the parameters u[0] ..
    // u[degree - 1], in homogeneous coordinates (x w, y w, z w, w): with every u the same, the
    // point at u (de Boor's way); with u from the span's ends, the points of its Bezier piece.
    std::array<double, 4> blossom(size_t span, const double* u) const {
        const size_t p = static_cast<size_t>(degree);
        std::array<double, 4> d[16];
        for (size_t j = 0; j <= p; ++j) {
            const size_t index = span - p + j;
            const double w = weights[index];
            d[j] = {points[index].x * w, points[index].y * w, points[index].z * w, w};
        }
        for (size_t r = 1; r <= p; ++r) {
            for (size_t j = p; j >= r; --j) {
                const size_t i = span - p + j;
                const double denominator = knots[i + p + 1 - r] - knots[i];
                const double alpha = denominator > 0.0 ? (u[r - 1] - knots[i]) / denominator : 0.0;
                for (int k = 0; k < 4; ++k) {
                    d[j][k] = (1.0 - alpha) * d[j - 1][k] + alpha * d[j][k];
                }
            }
        }
        return d[p];
    }

    AcGePoint3d pointAt(size_t span, double u) const {
        double at[16];
        std::fill_n(at, degree, u);
        const std::array<double, 4> h = blossom(span, at);
        const double w = h[3] != 0.0 ? h[3] : 1.0;
        return {h[0] / w, h[1] / w, h[2] / w};
    }

    // Calls each(span, from, to) for every span that the curve runs over, in order.
    template <class Each>
    void forEachSpan(Each&& each) const {
        for (size_t span = static_cast<size_t>(degree); span < points.size(); ++span) {
            if (knots[span + 1] > knots[span]) {
                each(span, knots[span], knots[span + 1]);
            }
        }
    }
};

std::vector<AcGePoint3d> fromControlPoints(const AcDbSpline::Data& data, double tolerance) {
    const Nurbs curve(data);
    const size_t p = static_cast<size_t>(curve.degree);
    std::vector<AcGePoint3d> out;
    curve.forEachSpan([&](size_t span, double from, double to) {
        const int pieces = piecesFor(polygonLength(curve.points, span - p, span), tolerance);
        for (int i = out.empty() ? 0 : 1; i <= pieces; ++i) {
            out.push_back(curve.pointAt(span, from + (to - from) * i / pieces));
        }
    });
    return out;
}

std::vector<qv::host::RationalBezier> piecesOf(const AcDbSpline::Data& data) {
    const Nurbs curve(data);
    const int p = curve.degree;
    std::vector<qv::host::RationalBezier> out;
    curve.forEachSpan([&](size_t span, double from, double to) {
        qv::host::RationalBezier piece;
        double u[16];
        for (int j = 0; j <= p; ++j) {
            std::fill_n(u, p - j, from);
            std::fill_n(u + (p - j), j, to);
            const std::array<double, 4> h = curve.blossom(span, u);
            piece.points.emplace_back(h[0] / h[3], h[1] / h[3], h[2] / h[3]);
            piece.weights.push_back(h[3]);
        }
        out.push_back(std::move(piece));
    });
    return out;
}

// Calls each(p0, p1, p2, p3) for every piece of the Catmull-Rom curve through the fit points, in
// order: the piece from p1 to p2, p0 and p3 the points beside them.
template <class Each>
void forEachFitPiece(const std::vector<AcGePoint3d>& fit, bool closedSpline, Each&& each) {
    const size_t count = fit.size();
    const bool closed = closedSpline && count > 2;
    auto at = [&](long i) {
        const long n = static_cast<long>(count);
        if (closed) {
            return fit[static_cast<size_t>(((i % n) + n) % n)];
        }
        return fit[static_cast<size_t>(std::clamp(i, 0L, n - 1))];
    };
    const long segments = static_cast<long>(closed ? count : count - 1);
    for (long s = 0; s < segments; ++s) {
        each(at(s - 1), at(s), at(s + 1), at(s + 2));
    }
}

std::vector<AcGePoint3d> throughFitPoints(const AcDbSpline::Data& data, double tolerance) {
    std::vector<AcGePoint3d> out{data.fitPoints.front()};
    forEachFitPiece(
        data.fitPoints, data.closed,
        [&](const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
            const AcGePoint3d& p3) {
            const int pieces = piecesFor(p1.distanceTo(p2) * 1.5, tolerance);
            for (int i = 1; i <= pieces; ++i) {
                const double t = static_cast<double>(i) / pieces, t2 = t * t, t3 = t2 * t;
                const double b0 = -0.5 * t3 + t2 - 0.5 * t, b1 = 1.5 * t3 - 2.5 * t2 + 1.0;
                const double b2 = -1.5 * t3 + 2.0 * t2 + 0.5 * t, b3 = 0.5 * t3 - 0.5 * t2;
                out.emplace_back(b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
                                 b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y,
                                 b0 * p0.z + b1 * p1.z + b2 * p2.z + b3 * p3.z);
            }
        });
    return out;
}

// The same curve as cubic Bezier pieces: the tangent at p1 is (p2 - p0) / 2, a third of which
// leads to the piece's second point.
std::vector<qv::host::RationalBezier> fitPieces(const AcDbSpline::Data& data) {
    std::vector<qv::host::RationalBezier> out;
    forEachFitPiece(data.fitPoints, data.closed,
                    [&](const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                        const AcGePoint3d& p3) {
                        out.push_back({{p1, p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2},
                                       {1.0, 1.0, 1.0, 1.0}});
                    });
    return out;
}

}  // namespace

AcDbSpline::DrawnFrom AcDbSpline::drawnFrom() const {
    const auto bad = [](const AcGePoint3d& p) { return !finite(p); };
    if (m_data.controlPoints.size() >= 2 &&
        std::none_of(m_data.controlPoints.begin(), m_data.controlPoints.end(), bad)) {
        return DrawnFrom::kControlPoints;
    }
    if (m_data.fitPoints.size() >= 2 &&
        std::none_of(m_data.fitPoints.begin(), m_data.fitPoints.end(), bad)) {
        return DrawnFrom::kFitPoints;
    }
    return DrawnFrom::kNothing;
}

std::vector<AcGePoint3d> AcDbSpline::qvPoints(double tolerance) const {
    switch (drawnFrom()) {
        case DrawnFrom::kControlPoints:
            return fromControlPoints(m_data, tolerance);
        case DrawnFrom::kFitPoints:
            return throughFitPoints(m_data, tolerance);
        case DrawnFrom::kNothing:
            break;
    }
    return {};
}

std::vector<qv::host::RationalBezier> AcDbSpline::qvPieces() const {
    switch (drawnFrom()) {
        case DrawnFrom::kControlPoints:
            return piecesOf(m_data);
        case DrawnFrom::kFitPoints:
            return fitPieces(m_data);
        case DrawnFrom::kNothing:
            break;
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
