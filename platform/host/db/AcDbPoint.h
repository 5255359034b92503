// Points, solids and traces: the simple marks of a drawing.
//
// A point is drawn as a dot. A solid or a trace is a filled quadrilateral (a triangle when its
// last two corners coincide) whose corners lie in the plane of its normal; its corners are given
// in the order of the drawing format, in which the third and the fourth are crossed: the
// outline runs first, second, fourth, third.
//
// These entities are read from drawings and drawn; what they hold is set as a whole.
#pragma once

#include <array>

#include "AcDbEntity.h"

class AcDbPoint : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbPoint)
  public:
    AcDbPoint() = default;
    explicit AcDbPoint(const AcGePoint3d& position) : m_position(position) {}
    QV_RX_CLONE(AcDbPoint)

    AcGePoint3d position() const { return m_position; }
    void qvSetPosition(const AcGePoint3d& position) {
        assertWriteEnabled();
        m_position = position;
    }
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    AcGePoint3d m_position;
};

class AcDbSolid : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbSolid)
  public:
    AcDbSolid() = default;
    QV_RX_CLONE(AcDbSolid)

    // Corner 0 to 3, in the plane of the normal, as the file gives them.
    AcGePoint3d corner(int index) const { return m_corners[static_cast<size_t>(index & 3)]; }
    AcGeVector3d normal() const { return m_normal; }
    // A normal of zero length becomes the z axis.
    void qvSet(const std::array<AcGePoint3d, 4>& corners, const AcGeVector3d& normal);
    // The outline in the world, in drawing order (first, second, fourth, third).
    std::array<AcGePoint3d, 4> qvOutline() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    std::array<AcGePoint3d, 4> m_corners{};
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
};

// A trace is drawn as a solid is.
class AcDbTrace : public AcDbSolid {
    QV_RX_DECLARE_MEMBERS(AcDbTrace)
  public:
    QV_RX_CLONE(AcDbTrace)
};
