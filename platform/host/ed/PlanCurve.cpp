#include "host/ed/PlanCurve.h"

#include <algorithm>
#include <cmath>

#include "host/ed/PlanGeometry.h"

namespace qv::host::ed {
namespace {

constexpr size_t kMaxPoints = 16;  // a spline of degree 15
// Halvings of one piece into smaller ones, and halvings for one question at most.
constexpr int kMaxDepth = 48;
constexpr int kMaxHalvings = 1 << 15;
// A distance is measured to within this share of itself.
constexpr double kDistanceShare = 1e-6;
// Windows judge a piece by its chord once it lies within this share of its first size.
constexpr double kWindowShare = 1e-9;

using Homogeneous = std::array<double, 3>;

// A piece or a part of it, as halving makes them.
struct Hull {
    std::array<Homogeneous, kMaxPoints> h;
    size_t count = 0;
    int depth = 0;

    AcGePoint2d at(size_t i) const { return {h[i][0] / h[i][2], h[i][1] / h[i][2]}; }
    AcGePoint2d first() const { return at(0); }
    AcGePoint2d last() const { return at(count - 1); }
    // How far the hull reaches from the chord: the curve lies within so much of it.
    double flatness() const {
        const AcGePoint2d a = first(), b = last();
        double most = 0.0;
        for (size_t i = 1; i + 1 < count; ++i) {
            most = std::max(most, distanceToSegment(at(i), a, b));
        }
        return most;
    }
    // The halves at the middle parameter (de Casteljau's way); the first ends where the second
    // starts.
    void halve(Hull& left, Hull& right) const {
        std::array<Homogeneous, kMaxPoints> work = h;
        left.count = right.count = count;
        left.depth = right.depth = depth + 1;
        for (size_t level = 0; level < count; ++level) {
            left.h[level] = work[0];
            right.h[count - 1 - level] = work[count - 1 - level];
            for (size_t i = 0; i + 1 < count - level; ++i) {
                for (size_t k = 0; k < 3; ++k) {
                    work[i][k] = (work[i][k] + work[i + 1][k]) / 2.0;
                }
            }
        }
    }
};

Hull hullOf(const std::vector<Homogeneous>& points) {
    Hull hull;
    std::copy(points.begin(), points.end(), hull.h.begin());
    hull.count = points.size();
    return hull;
}

// Where windows judge the parts of a piece by their chords: a share of its size.
double exactness(const Hull& hull) {
    return kWindowShare * (hull.first().distanceTo(hull.last()) + hull.flatness());
}

// What one question may still spend on halving.
class Budget {
  public:
    bool halve(const Hull& hull) { return hull.depth < kMaxDepth && m_left-- > 0; }

  private:
    int m_left = kMaxHalvings;
};

bool anyEdge(const std::vector<AcGePoint2d>& polygon, auto&& test) {
    for (size_t e = 0; e < polygon.size(); ++e) {
        if (test(polygon[e], polygon[(e + 1) % polygon.size()])) {
            return true;
        }
    }
    return false;
}

// The hull comes within its flatness of an edge: its side of the polygon is not settled.
bool nearEdges(const Hull& hull, double flatness, const std::vector<AcGePoint2d>& polygon) {
    const AcGePoint2d a = hull.first(), b = hull.last();
    return anyEdge(polygon, [&](const AcGePoint2d& c, const AcGePoint2d& d) {
        return distanceBetweenSegments(a, b, c, d) <= flatness;
    });
}

void nearest(const Hull& hull, const AcGePoint2d& p, double& best, Budget& budget) {
    const AcGePoint2d a = hull.first(), b = hull.last();
    const double flatness = hull.flatness();
    const double chord = distanceToSegment(p, a, b);
    if (chord - flatness >= best) {
        return;
    }
    if (flatness <= kDistanceShare * best || !budget.halve(hull)) {
        best = std::min(best, chord);
        return;
    }
    Hull left, right;
    hull.halve(left, right);
    best = std::min(best, p.distanceTo(left.last()));
    // The nearer half first: the other is then often passed over.
    const bool leftFirst =
        distanceToSegment(p, a, left.last()) <= distanceToSegment(p, b, left.last());
    nearest(leftFirst ? left : right, p, best, budget);
    nearest(leftFirst ? right : left, p, best, budget);
}

// The region between a hull's curve and its chord is that of its halves, turned over by the
// triangle of the chord and the halves' chords.
bool between(const Hull& hull, const AcGePoint2d& p, Budget& budget) {
    const AcGePoint2d a = hull.first(), b = hull.last();
    if (distanceToSegment(p, a, b) >= hull.flatness() || !budget.halve(hull)) {
        return false;
    }
    Hull left, right;
    hull.halve(left, right);
    const bool inTriangle = pointInPolygon(p, {a, left.last(), b});
    return (between(left, p, budget) != between(right, p, budget)) != inTriangle;
}

// Some part of the hull's curve lies on the other side of the polygon's edges from its ends:
// with `inside` (both ends inside), the curve crosses an edge and leaves the polygon; otherwise
// (both ends outside), it meets an edge or enters the polygon.
bool reachesAcross(const Hull& hull, const std::vector<AcGePoint2d>& polygon, bool inside,
                   double exact, Budget& budget) {
    const double flatness = hull.flatness();
    if (!nearEdges(hull, flatness, polygon)) {
        return false;
    }
    if (flatness <= exact || !budget.halve(hull)) {
        const AcGePoint2d a = hull.first(), b = hull.last();
        return anyEdge(polygon, [&](const AcGePoint2d& c, const AcGePoint2d& d) {
            return inside ? segmentsCross(a, b, c, d) : segmentsMeet(a, b, c, d);
        });
    }
    Hull left, right;
    hull.halve(left, right);
    return pointInPolygon(left.last(), polygon) != inside ||
           reachesAcross(left, polygon, inside, exact, budget) ||
           reachesAcross(right, polygon, inside, exact, budget);
}

}  // namespace

PlanCurve::PlanCurve(const RationalBezier& piece, const AcGeMatrix3d& m) {
    if (piece.points.size() < 2 || piece.points.size() > kMaxPoints ||
        piece.weights.size() != piece.points.size()) {
        return;
    }
    for (size_t i = 0; i < piece.points.size(); ++i) {
        const AcGePoint2d p = (m * piece.points[i]).convert2d();
        const double w = piece.weights[i];
        const Homogeneous h{p.x * w, p.y * w, w};
        if (!(w > 0.0) || !std::isfinite(h[0]) || !std::isfinite(h[1]) || !std::isfinite(w)) {
            m_points.clear();
            return;
        }
        m_points.push_back(h);
    }
}

AcGePoint2d PlanCurve::start() const {
    return {m_points.front()[0] / m_points.front()[2], m_points.front()[1] / m_points.front()[2]};
}

AcGePoint2d PlanCurve::end() const {
    return {m_points.back()[0] / m_points.back()[2], m_points.back()[1] / m_points.back()[2]};
}

double PlanCurve::distanceTo(const AcGePoint2d& point, double best) const {
    if (isEmpty()) {
        return best;
    }
    best = std::min({best, point.distanceTo(start()), point.distanceTo(end())});
    Budget budget;
    nearest(hullOf(m_points), point, best, budget);
    return best;
}

bool PlanCurve::holdsBetweenChord(const AcGePoint2d& point) const {
    Budget budget;
    return !isEmpty() && between(hullOf(m_points), point, budget);
}

bool PlanCurve::leaves(const std::vector<AcGePoint2d>& polygon) const {
    if (isEmpty()) {
        return false;
    }
    const Hull hull = hullOf(m_points);
    Budget budget;
    return reachesAcross(hull, polygon, true, exactness(hull), budget);
}

bool PlanCurve::meets(const std::vector<AcGePoint2d>& polygon) const {
    if (isEmpty()) {
        return false;
    }
    if (pointInPolygon(start(), polygon) || pointInPolygon(end(), polygon)) {
        return true;
    }
    const Hull hull = hullOf(m_points);
    Budget budget;
    return reachesAcross(hull, polygon, false, exactness(hull), budget);
}

void PlanCurve::addTo(Box2d& box) const {
    for (const Homogeneous& h : m_points) {
        box.add({h[0] / h[2], h[1] / h[2]});
    }
}

}  // namespace qv::host::ed
