#include "host/ge/BulgeSegment.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qv::host {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTiny = 1e-12;
}  // namespace

void Box2d::add(const AcGePoint2d& p) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
}

bool BulgeSegment::isArc() const {
    return std::fabs(bulge) > kTiny && (end - start).length() > kTiny;
}

double BulgeSegment::sweep() const {
    return isArc() ? 4.0 * std::atan(bulge) : 0.0;
}

double BulgeSegment::radius() const {
    if (!isArc()) {
        return 0.0;
    }
    const double chord = (end - start).length();
    return chord / (2.0 * std::fabs(std::sin(sweep() / 2.0)));
}

AcGePoint2d BulgeSegment::center() const {
    const AcGeVector2d chord = end - start;
    const AcGePoint2d middle(start.x + chord.x / 2.0, start.y + chord.y / 2.0);
    if (!isArc()) {
        return middle;
    }
    const double l = chord.length();
    const AcGeVector2d left = AcGeVector2d(-chord.y, chord.x) / l;
    const double h = (l / 2.0) * (1.0 - bulge * bulge) / (2.0 * bulge);
    return middle + left * h;
}

double BulgeSegment::length() const {
    return isArc() ? radius() * std::fabs(sweep()) : (end - start).length();
}

double BulgeSegment::signedArcArea() const {
    if (!isArc()) {
        return 0.0;
    }
    const double t = sweep();
    const double r = radius();
    return (t - std::sin(t)) * r * r / 2.0;
}

AcGePoint2d BulgeSegment::pointAt(double f) const {
    if (!isArc()) {
        return start + (end - start) * f;
    }
    const AcGePoint2d c = center();
    const double r = radius();
    const double a = std::atan2(start.y - c.y, start.x - c.x) + sweep() * f;
    return {c.x + r * std::cos(a), c.y + r * std::sin(a)};
}

double BulgeSegment::closestFraction(const AcGePoint2d& p, double& distance) const {
    if (!isArc()) {
        const AcGeVector2d d = end - start;
        const double l2 = d.lengthSqrd();
        double f = l2 > 0.0 ? (p - start).dotProduct(d) / l2 : 0.0;
        f = std::clamp(f, 0.0, 1.0);
        distance = pointAt(f).distanceTo(p);
        return f;
    }
    const AcGePoint2d c = center();
    const double a0 = std::atan2(start.y - c.y, start.x - c.x);
    double a = std::atan2(p.y - c.y, p.x - c.x) - a0;
    const double s = sweep();
    // Bring the angle into the direction of the sweep, 0 to 2 pi.
    if (s > 0) {
        a = std::fmod(std::fmod(a, 2 * kPi) + 2 * kPi, 2 * kPi);
    } else {
        a = -std::fmod(std::fmod(-a, 2 * kPi) + 2 * kPi, 2 * kPi);
    }
    double f = a / s;
    if (f > 1.0) {
        // Past the end: the nearer of the two ends.
        f = pointAt(1.0).distanceTo(p) < pointAt(0.0).distanceTo(p) ? 1.0 : 0.0;
    }
    distance = pointAt(f).distanceTo(p);
    return f;
}

void BulgeSegment::addTo(Box2d& box) const {
    box.add(start);
    box.add(end);
    if (!isArc()) {
        return;
    }
    const AcGePoint2d c = center();
    const double r = radius();
    const double a0 = std::atan2(start.y - c.y, start.x - c.x);
    const double s = sweep();
    for (int k = -8; k <= 8; ++k) {
        const double a = k * kPi / 2.0;
        const double along = s > 0 ? a - a0 : a0 - a;
        if (along > 0.0 && along < std::fabs(s)) {
            box.add({c.x + r * std::cos(a), c.y + r * std::sin(a)});
        }
    }
}

}  // namespace qv::host
