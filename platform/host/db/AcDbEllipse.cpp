#include "host/db/AcDbEllipse.h"

#include <algorithm>
#include <cmath>
#include <numbers>

QV_RX_DEFINE_MEMBERS(AcDbEllipse, AcDbEntity, L"ELLIPSE")

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool finite(const AcGeVector3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
}  // namespace

AcGeVector3d AcDbEllipse::minorAxis() const {
    return m_data.normal.crossProduct(m_data.majorAxis) * m_data.radiusRatio;
}

void AcDbEllipse::qvSetData(Data data) {
    assertWriteEnabled();
    data.normal = finite(data.normal) && !data.normal.isZeroLength() ? data.normal.normal()
                                                                     : AcGeVector3d::kZAxis;
    if (!std::isfinite(data.startParam)) {
        data.startParam = 0.0;
    }
    if (!std::isfinite(data.endParam)) {
        data.endParam = kTwoPi;
    }
    // A minor axis longer than the major one (as some programs write): the axes change places,
    // and the parameters turn back by a quarter, so that every point stays where it was.
    if (data.radiusRatio > 1.0 && std::isfinite(data.radiusRatio)) {
        data.majorAxis = data.normal.crossProduct(data.majorAxis) * data.radiusRatio;
        data.radiusRatio = 1.0 / data.radiusRatio;
        data.startParam -= kTwoPi / 4.0;
        data.endParam -= kTwoPi / 4.0;
    }
    m_data = data;
}

bool AcDbEllipse::empty() const {
    const double ratio = m_data.radiusRatio;
    return !(ratio > 0.0 && ratio <= 1.0) || !finite(m_data.majorAxis) ||
           m_data.majorAxis.isZeroLength() || !std::isfinite(m_data.center.x) ||
           !std::isfinite(m_data.center.y) || !std::isfinite(m_data.center.z);
}

bool AcDbEllipse::qvIsFull() const {
    const double sweep = m_data.endParam - m_data.startParam;
    return std::fabs(std::fmod(sweep, kTwoPi)) < 1e-9 || std::fabs(sweep - kTwoPi) < 1e-9;
}

double AcDbEllipse::sweep() const {
    if (qvIsFull()) {
        return kTwoPi;
    }
    const double sweep = std::fmod(m_data.endParam - m_data.startParam, kTwoPi);
    return sweep <= 0.0 ? sweep + kTwoPi : sweep;
}

std::vector<qv::host::RationalBezier> AcDbEllipse::qvPieces() const {
    if (empty()) {
        return {};
    }
    return qv::host::ellipticArc(m_data.center, m_data.majorAxis, minorAxis(), m_data.startParam,
                                 m_data.startParam + sweep());
}

std::vector<AcGePoint3d> AcDbEllipse::qvPoints(double tolerance) const {
    if (empty()) {
        return {};
    }
    const double sweep = this->sweep();
    const double radius = m_data.majorAxis.length();
    int pieces = 1024;
    if (tolerance > 0.0 && radius > tolerance) {
        const double step = 2.0 * std::acos(1.0 - tolerance / radius);
        pieces = static_cast<int>(std::ceil(sweep / std::max(step, 1e-4)));
    }
    pieces = std::clamp(pieces, 4, 1024);
    const AcGeVector3d minor = minorAxis();
    std::vector<AcGePoint3d> points;
    points.reserve(static_cast<size_t>(pieces) + 1);
    for (int i = 0; i <= pieces; ++i) {
        const double t = m_data.startParam + sweep * i / pieces;
        points.push_back(m_data.center + m_data.majorAxis * std::cos(t) + minor * std::sin(t));
    }
    return points;
}

Acad::ErrorStatus AcDbEllipse::getGeomExtents(AcDbExtents& extents) const {
    const std::vector<AcGePoint3d> points = qvPoints(m_data.majorAxis.length() * 1e-4);
    if (points.empty()) {
        return Acad::eInvalidExtents;
    }
    extents = AcDbExtents();
    for (const AcGePoint3d& p : points) {
        extents.addPoint(p);
    }
    return Acad::eOk;
}
