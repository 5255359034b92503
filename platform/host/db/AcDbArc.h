// Arcs: part of a circle in the plane of its normal, running counter-clockwise from the start
// angle to the end angle (radians, measured from the plane's x axis).
#pragma once

#include "AcDbCurve.h"

class AcDbArc : public AcDbCurve {
    QV_RX_DECLARE_MEMBERS(AcDbArc)
  public:
    AcDbArc() = default;
    AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
        : m_center(center), m_radius(radius), m_start(startAngle), m_end(endAngle) {}
    QV_RX_CLONE(AcDbArc)

    AcGePoint3d center() const { return m_center; }
    Acad::ErrorStatus setCenter(const AcGePoint3d& center);
    double radius() const { return m_radius; }
    // eInvalidInput unless the radius is above 0.
    Acad::ErrorStatus setRadius(double radius);
    double startAngle() const { return m_start; }
    Acad::ErrorStatus setStartAngle(double angle);
    double endAngle() const { return m_end; }
    Acad::ErrorStatus setEndAngle(double angle);
    AcGeVector3d normal() const { return m_normal; }
    // eInvalidInput for a zero vector.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double thickness);
    // The angle swept, above 0 and at most a full turn.
    double sweep() const;

    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Moves, turns, scales (uniformly) or mirrors the arc; eCannotScaleNonUniformly otherwise.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;
    // Pieces of at most a quarter turn, in the arc's plane around its centre.
    std::vector<qv::host::BulgeSegment> qvSegments() const override;
    AcGeMatrix3d qvPlane() const override;

  private:
    AcGePoint3d m_center;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_radius = 0.0;
    double m_start = 0.0, m_end = 0.0;
    double m_thickness = 0.0;
};
