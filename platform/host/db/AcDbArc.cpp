#include "host/db/AcDbArc.h"

#include <cmath>
#include <numbers>

using qv::host::BulgeSegment;

QV_RX_DEFINE_MEMBERS(AcDbArc, AcDbCurve, L"ARC")

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}  // namespace

Acad::ErrorStatus AcDbArc::setCenter(const AcGePoint3d& center) {
    assertWriteEnabled();
    m_center = center;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setRadius(double radius) {
    assertWriteEnabled();
    if (!(radius > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_radius = radius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setStartAngle(double angle) {
    assertWriteEnabled();
    m_start = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::setEndAngle(double angle) {
    assertWriteEnabled();
    m_end = angle;
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

double AcDbArc::sweep() const {
    double sweep = std::fmod(m_end - m_start, kTwoPi);
    if (sweep <= 0.0) {
        sweep += kTwoPi;
    }
    return sweep;
}

AcGeMatrix3d AcDbArc::qvPlane() const {
    return AcGeMatrix3d::translation(m_center.asVector()) * AcGeMatrix3d::planeToWorld(m_normal);
}

std::vector<BulgeSegment> AcDbArc::qvSegments() const {
    if (!(m_radius > 0.0)) {
        return {};
    }
    const double total = sweep();
    const int pieces = static_cast<int>(std::ceil(total / (std::numbers::pi / 2.0) - 1e-9));
    const double step = total / pieces;
    const double bulge = std::tan(step / 4.0);
    std::vector<BulgeSegment> segments;
    for (int i = 0; i < pieces; ++i) {
        const double a0 = m_start + step * i, a1 = a0 + step;
        segments.push_back({{m_radius * std::cos(a0), m_radius * std::sin(a0)},
                            {m_radius * std::cos(a1), m_radius * std::sin(a1)},
                            bulge});
    }
    return segments;
}

Acad::ErrorStatus AcDbArc::getStartPoint(AcGePoint3d& point) const {
    point = qvPlane() * AcGePoint3d(m_radius * std::cos(m_start), m_radius * std::sin(m_start), 0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getEndPoint(AcGePoint3d& point) const {
    point = qvPlane() * AcGePoint3d(m_radius * std::cos(m_end), m_radius * std::sin(m_end), 0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getGeomExtents(AcDbExtents& extents) const {
    if (!(m_radius > 0.0)) {
        return Acad::eInvalidExtents;
    }
    qv::host::Box2d box;
    for (const BulgeSegment& segment : qvSegments()) {
        segment.addTo(box);
    }
    AcDbExtents result;
    const AcGeMatrix3d plane = qvPlane();
    for (const AcGePoint2d& corner : {AcGePoint2d(box.minX, box.minY), AcGePoint2d(box.maxX, box.minY),
                                      AcGePoint2d(box.minX, box.maxY), AcGePoint2d(box.maxX, box.maxY)}) {
        result.addPoint(plane * AcGePoint3d(corner.x, corner.y, 0.0));
    }
    extents = result;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(m_normal);
    const AcGeVector3d x = m * AcGeVector3d(plane(0, 0), plane(1, 0), plane(2, 0));
    const AcGeVector3d y = m * AcGeVector3d(plane(0, 1), plane(1, 1), plane(2, 1));
    const double lx = x.length(), ly = y.length();
    if (!(lx > 0.0) || std::fabs(lx - ly) > 1e-9 * lx || std::fabs(x.dotProduct(y)) > 1e-9 * lx * ly) {
        return Acad::eCannotScaleNonUniformly;
    }
    AcGePoint3d start, end;
    getStartPoint(start);
    getEndPoint(end);
    start.transformBy(m);
    end.transformBy(m);
    m_center.transformBy(m);
    m_radius *= lx;
    // A mirror turns the plane over: the new normal keeps the arc counter-clockwise in it.
    m_normal = x.crossProduct(y).normal();
    const AcGeMatrix3d toPlane = qvPlane().inverse();
    const AcGePoint3d s = toPlane * start, e = toPlane * end;
    m_start = std::atan2(s.y, s.x);
    m_end = std::atan2(e.y, e.x);
    return Acad::eOk;
}
