#include "host/db/AcDbArc.h"

#include <cmath>
#include <numbers>

QV_RX_DEFINE_MEMBERS(AcDbArc, AcDbCurve, L"ARC")

using qv::host::BulgeSegment;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kOnCurve = 1e-6;

// An angle brought into [0, 2 pi).
double normalised(double angle) {
    if (!std::isfinite(angle)) {
        return 0.0;
    }
    double a = std::fmod(angle, kTwoPi);
    if (a < 0.0) {
        a += kTwoPi;
    }
    return a >= kTwoPi ? 0.0 : a;
}

}  // namespace

AcDbArc::AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
    : m_center(center),
      m_radius(radius),
      m_start(normalised(startAngle)),
      m_end(normalised(endAngle)) {}

AcDbArc::AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius,
                 double startAngle, double endAngle)
    : AcDbArc(center, radius, startAngle, endAngle) {
    if (!normal.isZeroLength()) {
        m_normal = normal.normal();
    }
}

Acad::ErrorStatus AcDbArc::setCenter(const AcGePoint3d& center) {
    assertWriteEnabled();
    m_center = center;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setRadius(double radius) {
    assertWriteEnabled();
    if (!(radius > 0.0) || !std::isfinite(radius)) {
        return Acad::eInvalidInput;
    }
    m_radius = radius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setStartAngle(double angle) {
    assertWriteEnabled();
    m_start = normalised(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setEndAngle(double angle) {
    assertWriteEnabled();
    m_end = normalised(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setThickness(double thickness) {
    assertWriteEnabled();
    m_thickness = thickness;
    return Acad::eOk;
}

double AcDbArc::totalAngle() const {
    const double sweep = m_end - m_start;
    return sweep > 0.0 ? sweep : sweep + kTwoPi;
}

AcGeMatrix3d AcDbArc::qvPlane() const {
    return AcGeMatrix3d::translation(m_center.asVector()) * AcGeMatrix3d::planeToWorld(m_normal);
}

std::vector<BulgeSegment> AcDbArc::qvSegments() const {
    if (!(m_radius > 0.0)) {
        return {};
    }
    auto at = [&](double a) { return AcGePoint2d(m_radius * std::cos(a), m_radius * std::sin(a)); };
    const double sweep = totalAngle();
    if (sweep <= std::numbers::pi) {
        return {{at(m_start), at(m_start + sweep), std::tan(sweep / 4.0)}};
    }
    const double half = sweep / 2.0;
    return {{at(m_start), at(m_start + half), std::tan(half / 4.0)},
            {at(m_start + half), at(m_start + sweep), std::tan(half / 4.0)}};
}

Acad::ErrorStatus AcDbArc::getStartParam(double& param) const {
    param = m_start;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getEndParam(double& param) const {
    param = m_start + totalAngle();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getPointAtParam(double param, AcGePoint3d& point) const {
    if (!(param >= m_start - kOnCurve && param <= m_start + totalAngle() + kOnCurve)) {
        return Acad::eInvalidInput;
    }
    point = qvPlane() * AcGePoint3d(m_radius * std::cos(param), m_radius * std::sin(param), 0.0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    const AcGePoint3d local = qvPlane().inverse() * point;
    if (std::fabs(local.z) > kOnCurve ||
        std::fabs(std::hypot(local.x, local.y) - m_radius) > kOnCurve) {
        return Acad::eInvalidInput;
    }
    double along = normalised(std::atan2(local.y, local.x)) - m_start;
    if (along < 0.0) {
        along += kTwoPi;
    }
    if (along > totalAngle() + kOnCurve / std::fmax(m_radius, 1.0)) {
        return Acad::eInvalidInput;
    }
    param = m_start + along;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getDistAtParam(double param, double& dist) const {
    if (!(param >= m_start - kOnCurve && param <= m_start + totalAngle() + kOnCurve)) {
        return Acad::eInvalidInput;
    }
    dist = (param - m_start) * m_radius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getParamAtDist(double dist, double& param) const {
    if (!(m_radius > 0.0) || !(dist >= 0.0 && dist <= length() + kOnCurve)) {
        return Acad::eInvalidInput;
    }
    param = m_start + std::fmin(dist / m_radius, totalAngle());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(m_normal);
    const AcGeVector3d x = m * AcGeVector3d(plane(0, 0), plane(1, 0), plane(2, 0));
    const AcGeVector3d y = m * AcGeVector3d(plane(0, 1), plane(1, 1), plane(2, 1));
    const double lx = x.length(), ly = y.length();
    if (!(lx > 0.0) || std::fabs(lx - ly) > 1e-9 * lx ||
        std::fabs(x.dotProduct(y)) > 1e-9 * lx * ly) {
        return Acad::eCannotScaleNonUniformly;
    }
    // The end points carried along keep their roles: a mirror turns the normal round, so the arc
    // still runs counter-clockwise about it.
    AcGePoint3d start, end;
    getStartPoint(start);
    getEndPoint(end);
    start.transformBy(m);
    end.transformBy(m);
    m_center.transformBy(m);
    m_radius *= lx;
    m_normal = x.crossProduct(y).normal();
    const AcGeMatrix3d back = qvPlane().inverse();
    const AcGePoint3d s = back * start, e = back * end;
    const double sweep = totalAngle();
    m_start = normalised(std::atan2(s.y, s.x));
    m_end = sweep >= kTwoPi - 1e-12 ? m_start : normalised(std::atan2(e.y, e.x));
    return Acad::eOk;
}
