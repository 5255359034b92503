#include "host/db/AcDbCurve.h"

#include <cmath>
#include <numbers>

QV_RX_DEFINE_MEMBERS(AcDbCurve, AcDbEntity, L"")
QV_RX_DEFINE_MEMBERS(AcDbLine, AcDbCurve, L"LINE")
QV_RX_DEFINE_MEMBERS(AcDbCircle, AcDbCurve, L"CIRCLE")
QV_RX_DEFINE_MEMBERS(AcDbPolyline, AcDbCurve, L"LWPOLYLINE")

using qv::host::BulgeSegment;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// How far off a curve a point may lie and still count as on it.
constexpr double kOnCurve = 1e-6;

AcGePoint3d lift(const AcGeMatrix3d& plane, const AcGePoint2d& p) {
    return plane * AcGePoint3d(p.x, p.y, 0.0);
}

// The extents of plane segments carried to the world: exact for a plane parallel to the world's
// xy plane, the box of the carried corners otherwise.
AcDbExtents segmentExtents(const std::vector<BulgeSegment>& segments, const AcGeMatrix3d& plane) {
    qv::host::Box2d box;
    for (const BulgeSegment& s : segments) {
        s.addTo(box);
    }
    AcDbExtents extents;
    if (box.isEmpty()) {
        return extents;
    }
    extents.addPoint(lift(plane, {box.minX, box.minY}));
    extents.addPoint(lift(plane, {box.maxX, box.maxY}));
    extents.addPoint(lift(plane, {box.minX, box.maxY}));
    extents.addPoint(lift(plane, {box.maxX, box.minY}));
    return extents;
}

}  // namespace

// ---- curves made of segments ----

Acad::ErrorStatus AcDbCurve::getStartParam(double& param) const {
    param = 0.0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getEndParam(double& param) const {
    const auto segments = qvSegments();
    param = static_cast<double>(segments.size());
    return segments.empty() ? Acad::eDegenerateGeometry : Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getStartPoint(AcGePoint3d& point) const {
    double start = 0.0;
    const Acad::ErrorStatus es = getStartParam(start);
    return es != Acad::eOk ? es : getPointAtParam(start, point);
}

Acad::ErrorStatus AcDbCurve::getEndPoint(AcGePoint3d& point) const {
    double end = 0.0;
    const Acad::ErrorStatus es = getEndParam(end);
    return es != Acad::eOk ? es : getPointAtParam(end, point);
}

Acad::ErrorStatus AcDbCurve::getPointAtParam(double param, AcGePoint3d& point) const {
    const auto segments = qvSegments();
    if (segments.empty()) {
        return Acad::eDegenerateGeometry;
    }
    const double n = static_cast<double>(segments.size());
    if (!(param >= 0.0 && param <= n)) {
        return Acad::eInvalidInput;
    }
    const size_t k = std::min(static_cast<size_t>(param), segments.size() - 1);
    point = lift(qvPlane(), segments[k].pointAt(param - static_cast<double>(k)));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    const auto segments = qvSegments();
    if (segments.empty()) {
        return Acad::eDegenerateGeometry;
    }
    const AcGePoint3d local = qvPlane().inverse() * point;
    if (std::fabs(local.z) > kOnCurve) {
        return Acad::eInvalidInput;
    }
    double best = 1e300;
    for (size_t k = 0; k < segments.size(); ++k) {
        double distance = 0.0;
        const double f = segments[k].closestFraction({local.x, local.y}, distance);
        if (distance < best) {
            best = distance;
            param = static_cast<double>(k) + f;
        }
    }
    return best <= kOnCurve ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbCurve::getDistAtParam(double param, double& dist) const {
    const auto segments = qvSegments();
    if (segments.empty()) {
        return Acad::eDegenerateGeometry;
    }
    if (!(param >= 0.0 && param <= static_cast<double>(segments.size()))) {
        return Acad::eInvalidInput;
    }
    dist = 0.0;
    for (size_t k = 0; k < segments.size() && static_cast<double>(k) < param; ++k) {
        const double part = std::min(1.0, param - static_cast<double>(k));
        dist += segments[k].length() * part;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getParamAtDist(double dist, double& param) const {
    const auto segments = qvSegments();
    if (segments.empty()) {
        return Acad::eDegenerateGeometry;
    }
    if (dist < 0.0) {
        return Acad::eInvalidInput;
    }
    double walked = 0.0;
    for (size_t k = 0; k < segments.size(); ++k) {
        const double l = segments[k].length();
        if (dist <= walked + l) {
            param = static_cast<double>(k) + (l > 0.0 ? (dist - walked) / l : 0.0);
            return Acad::eOk;
        }
        walked += l;
    }
    if (dist <= walked + kOnCurve) {
        param = static_cast<double>(segments.size());
        return Acad::eOk;
    }
    return Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbCurve::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
    double param = 0.0;
    const Acad::ErrorStatus es = getParamAtPoint(point, param);
    return es != Acad::eOk ? es : getDistAtParam(param, dist);
}

Acad::ErrorStatus AcDbCurve::getPointAtDist(double dist, AcGePoint3d& point) const {
    double param = 0.0;
    const Acad::ErrorStatus es = getParamAtDist(dist, param);
    return es != Acad::eOk ? es : getPointAtParam(param, point);
}

Acad::ErrorStatus AcDbCurve::getArea(double& area) const {
    const auto segments = qvSegments();
    double twice = 0.0, arcs = 0.0;
    for (const BulgeSegment& s : segments) {
        twice += s.start.x * s.end.y - s.end.x * s.start.y;
        arcs += s.signedArcArea();
    }
    if (!segments.empty() && !isClosed()) {
        const AcGePoint2d& a = segments.back().end;
        const AcGePoint2d& b = segments.front().start;
        twice += a.x * b.y - b.x * a.y;
    }
    area = std::fabs(twice / 2.0 + arcs);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getGeomExtents(AcDbExtents& extents) const {
    const AcDbExtents box = segmentExtents(qvSegments(), qvPlane());
    if (box.qvIsEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = box;
    return Acad::eOk;
}

// ---- lines ----

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& point) {
    assertWriteEnabled();
    m_start = point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& point) {
    assertWriteEnabled();
    m_end = point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::setThickness(double thickness) {
    assertWriteEnabled();
    m_thickness = thickness;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getEndParam(double& param) const {
    param = m_start.distanceTo(m_end);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getStartPoint(AcGePoint3d& point) const {
    point = m_start;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getEndPoint(AcGePoint3d& point) const {
    point = m_end;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getPointAtParam(double param, AcGePoint3d& point) const {
    const double length = m_start.distanceTo(m_end);
    if (!(param >= 0.0 && param <= length)) {
        return Acad::eInvalidInput;
    }
    point = length > 0.0 ? m_start + (m_end - m_start) * (param / length) : m_start;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    const AcGeVector3d d = m_end - m_start;
    const double l = d.length();
    const double t = l > 0.0 ? (point - m_start).dotProduct(d) / l : 0.0;
    if (t < -kOnCurve || t > l + kOnCurve ||
        (m_start + (l > 0.0 ? d * (t / l) : AcGeVector3d())).distanceTo(point) > kOnCurve) {
        return Acad::eInvalidInput;
    }
    param = std::fmin(std::fmax(t, 0.0), l);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getDistAtParam(double param, double& dist) const {
    if (!(param >= 0.0 && param <= m_start.distanceTo(m_end))) {
        return Acad::eInvalidInput;
    }
    dist = param;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getParamAtDist(double dist, double& param) const {
    return getDistAtParam(dist, param);
}

Acad::ErrorStatus AcDbLine::getArea(double& area) const {
    area = 0.0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    extents.addPoint(m_start);
    extents.addPoint(m_end);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    m_start.transformBy(m);
    m_end.transformBy(m);
    const AcGeVector3d n = m * m_normal;
    if (!n.isZeroLength()) {
        m_normal = n.normal();
    }
    return Acad::eOk;
}

// ---- circles ----

Acad::ErrorStatus AcDbCircle::setCenter(const AcGePoint3d& center) {
    assertWriteEnabled();
    m_center = center;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setRadius(double radius) {
    assertWriteEnabled();
    if (!(radius > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_radius = radius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    m_normal = normal.normal();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::setThickness(double thickness) {
    assertWriteEnabled();
    m_thickness = thickness;
    return Acad::eOk;
}

double AcDbCircle::circumference() const {
    return kTwoPi * m_radius;
}

AcGeMatrix3d AcDbCircle::qvPlane() const {
    return AcGeMatrix3d::translation(m_center.asVector()) * AcGeMatrix3d::planeToWorld(m_normal);
}

std::vector<BulgeSegment> AcDbCircle::qvSegments() const {
    if (!(m_radius > 0.0)) {
        return {};
    }
    return {{{m_radius, 0.0}, {-m_radius, 0.0}, 1.0}, {{-m_radius, 0.0}, {m_radius, 0.0}, 1.0}};
}

Acad::ErrorStatus AcDbCircle::getEndParam(double& param) const {
    param = kTwoPi;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getPointAtParam(double param, AcGePoint3d& point) const {
    if (!(param >= 0.0 && param <= kTwoPi)) {
        return Acad::eInvalidInput;
    }
    point = qvPlane() * AcGePoint3d(m_radius * std::cos(param), m_radius * std::sin(param), 0.0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getParamAtPoint(const AcGePoint3d& point, double& param) const {
    const AcGePoint3d local = qvPlane().inverse() * point;
    if (std::fabs(local.z) > kOnCurve ||
        std::fabs(std::hypot(local.x, local.y) - m_radius) > kOnCurve) {
        return Acad::eInvalidInput;
    }
    param = std::atan2(local.y, local.x);
    if (param < 0.0) {
        param += kTwoPi;
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getDistAtParam(double param, double& dist) const {
    if (!(param >= 0.0 && param <= kTwoPi)) {
        return Acad::eInvalidInput;
    }
    dist = param * m_radius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getParamAtDist(double dist, double& param) const {
    if (!(dist >= 0.0 && dist <= circumference() + kOnCurve) || !(m_radius > 0.0)) {
        return Acad::eInvalidInput;
    }
    param = std::fmin(dist / m_radius, kTwoPi);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getArea(double& area) const {
    area = std::numbers::pi * m_radius * m_radius;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getGeomExtents(AcDbExtents& extents) const {
    const AcGeVector3d half(m_radius * std::sqrt(std::fmax(0.0, 1.0 - m_normal.x * m_normal.x)),
                            m_radius * std::sqrt(std::fmax(0.0, 1.0 - m_normal.y * m_normal.y)),
                            m_radius * std::sqrt(std::fmax(0.0, 1.0 - m_normal.z * m_normal.z)));
    extents = AcDbExtents(m_center - half, m_center + half);
    return Acad::eOk;
}

namespace {

// The images of a plane's x and y axes must stay perpendicular and of one length for arcs to
// stay arcs.
bool keepsCircles(const AcGeVector3d& x, const AcGeVector3d& y) {
    const double lx = x.length(), ly = y.length();
    return lx > 0.0 && std::fabs(lx - ly) <= 1e-9 * lx &&
           std::fabs(x.dotProduct(y)) <= 1e-9 * lx * ly;
}

}  // namespace

Acad::ErrorStatus AcDbCircle::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(m_normal);
    const AcGeVector3d x = m * AcGeVector3d(plane(0, 0), plane(1, 0), plane(2, 0));
    const AcGeVector3d y = m * AcGeVector3d(plane(0, 1), plane(1, 1), plane(2, 1));
    if (!keepsCircles(x, y)) {
        return Acad::eCannotScaleNonUniformly;
    }
    m_center.transformBy(m);
    m_radius *= x.length();
    m_normal = x.crossProduct(y).normal();
    return Acad::eOk;
}

// ---- polylines ----

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& point,
                                            double bulge, double startWidth, double endWidth) {
    assertWriteEnabled();
    if (index > m_vertices.size()) {
        return Acad::eInvalidIndex;
    }
    Vertex v{point, bulge, startWidth < 0.0 ? m_constantWidth : startWidth,
             endWidth < 0.0 ? m_constantWidth : endWidth};
    m_vertices.insert(m_vertices.begin() + index, v);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::removeVertexAt(unsigned int index) {
    assertWriteEnabled();
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    m_vertices.erase(m_vertices.begin() + index);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint2d& point) const {
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    point = m_vertices[index].point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint3d& point) const {
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    point = lift(qvPlane(), m_vertices[index].point);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setPointAt(unsigned int index, const AcGePoint2d& point) {
    assertWriteEnabled();
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    m_vertices[index].point = point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const {
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    bulge = m_vertices[index].bulge;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setBulgeAt(unsigned int index, double bulge) {
    assertWriteEnabled();
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    m_vertices[index].bulge = bulge;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int index, double& startWidth,
                                            double& endWidth) const {
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    startWidth = m_vertices[index].startWidth;
    endWidth = m_vertices[index].endWidth;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setWidthsAt(unsigned int index, double startWidth,
                                            double endWidth) {
    assertWriteEnabled();
    if (!validIndex(index)) {
        return Acad::eInvalidIndex;
    }
    if (startWidth < 0.0 || endWidth < 0.0) {
        return Acad::eInvalidInput;
    }
    m_vertices[index].startWidth = startWidth;
    m_vertices[index].endWidth = endWidth;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getConstantWidth(double& width) const {
    width = m_constantWidth;
    for (const Vertex& v : m_vertices) {
        if (v.startWidth != m_constantWidth || v.endWidth != m_constantWidth) {
            return Acad::eInvalidInput;
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setConstantWidth(double width) {
    assertWriteEnabled();
    if (width < 0.0) {
        return Acad::eInvalidInput;
    }
    m_constantWidth = width;
    for (Vertex& v : m_vertices) {
        v.startWidth = v.endWidth = width;
    }
    return Acad::eOk;
}

AcDbPolyline::SegType AcDbPolyline::segType(unsigned int index) const {
    if (m_vertices.empty()) {
        return kEmpty;
    }
    if (m_vertices.size() == 1) {
        return kPoint;
    }
    if (!validIndex(index) || (index == m_vertices.size() - 1 && !m_closed)) {
        return kEmpty;
    }
    const Vertex& a = m_vertices[index];
    const Vertex& b = m_vertices[(index + 1) % m_vertices.size()];
    if (a.point == b.point) {
        return kCoincident;
    }
    return BulgeSegment{a.point, b.point, a.bulge}.isArc() ? kArc : kLine;
}

bool AcDbPolyline::isOnlyLines() const {
    for (unsigned int i = 0; i < numVerts(); ++i) {
        if (segType(i) == kArc) {
            return false;
        }
    }
    return true;
}

void AcDbPolyline::reset(bool reuse, unsigned int newSize) {
    assertWriteEnabled();
    if (!reuse) {
        m_vertices.clear();
    } else if (newSize < m_vertices.size()) {
        m_vertices.resize(newSize);
    }
}

void AcDbPolyline::setClosed(bool closed) {
    assertWriteEnabled();
    m_closed = closed;
}

void AcDbPolyline::setElevation(double elevation) {
    assertWriteEnabled();
    m_elevation = elevation;
}

void AcDbPolyline::setNormal(const AcGeVector3d& normal) {
    assertWriteEnabled();
    if (!normal.isZeroLength()) {
        m_normal = normal.normal();
    }
}

Acad::ErrorStatus AcDbPolyline::setThickness(double thickness) {
    assertWriteEnabled();
    m_thickness = thickness;
    return Acad::eOk;
}

AcGeMatrix3d AcDbPolyline::qvPlane() const {
    return AcGeMatrix3d::planeToWorld(m_normal) *
           AcGeMatrix3d::translation(AcGeVector3d(0.0, 0.0, m_elevation));
}

std::vector<BulgeSegment> AcDbPolyline::qvSegments() const {
    std::vector<BulgeSegment> segments;
    const size_t n = m_vertices.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        segments.push_back({m_vertices[i].point, m_vertices[i + 1].point, m_vertices[i].bulge});
    }
    if (m_closed && n >= 2) {
        segments.push_back({m_vertices[n - 1].point, m_vertices[0].point, m_vertices[n - 1].bulge});
    }
    return segments;
}

Acad::ErrorStatus AcDbPolyline::getEndParam(double& param) const {
    if (m_vertices.empty()) {
        param = 0.0;
        return Acad::eDegenerateGeometry;
    }
    param = static_cast<double>(qvSegments().size());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::transformBy(const AcGeMatrix3d& m) {
    assertWriteEnabled();
    const AcGeMatrix3d plane = qvPlane();
    const AcGeVector3d x = m * AcGeVector3d(plane(0, 0), plane(1, 0), plane(2, 0));
    const AcGeVector3d y = m * AcGeVector3d(plane(0, 1), plane(1, 1), plane(2, 1));
    const AcGeVector3d normal = x.crossProduct(y);
    if (normal.isZeroLength()) {
        return Acad::eDegenerateGeometry;
    }
    const bool circles = keepsCircles(x, y);
    if (!circles && !isOnlyLines()) {
        return Acad::eCannotScaleNonUniformly;
    }
    const AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(normal);
    const AcGeMatrix3d carry = toPlane * m * plane;
    const double widthScale = circles ? x.length() : 1.0;
    for (Vertex& v : m_vertices) {
        const AcGePoint3d p = carry * AcGePoint3d(v.point.x, v.point.y, 0.0);
        v.point.set(p.x, p.y);
        v.startWidth *= widthScale;
        v.endWidth *= widthScale;
    }
    m_elevation = (carry * AcGePoint3d::kOrigin).z;
    m_constantWidth *= widthScale;
    m_normal = normal.normal();
    return Acad::eOk;
}
