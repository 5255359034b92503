#include "host/db/AcDbPoint.h"

#include <cmath>

QV_RX_DEFINE_MEMBERS(AcDbPoint, AcDbEntity, L"POINT")
QV_RX_DEFINE_MEMBERS(AcDbSolid, AcDbEntity, L"SOLID")
QV_RX_DEFINE_MEMBERS(AcDbTrace, AcDbSolid, L"TRACE")

Acad::ErrorStatus AcDbPoint::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents(m_position, m_position);
    return Acad::eOk;
}

void AcDbSolid::qvSet(const std::array<AcGePoint3d, 4>& corners, const AcGeVector3d& normal) {
    assertWriteEnabled();
    m_corners = corners;
    const bool finite = std::isfinite(normal.x) && std::isfinite(normal.y) &&
                        std::isfinite(normal.z);
    m_normal = finite && !normal.isZeroLength() ? normal.normal() : AcGeVector3d::kZAxis;
}

std::array<AcGePoint3d, 4> AcDbSolid::qvOutline() const {
    const AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(m_normal);
    return {plane * m_corners[0], plane * m_corners[1], plane * m_corners[3],
            plane * m_corners[2]};
}

Acad::ErrorStatus AcDbSolid::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents();
    for (const AcGePoint3d& p : qvOutline()) {
        extents.addPoint(p);
    }
    return Acad::eOk;
}
