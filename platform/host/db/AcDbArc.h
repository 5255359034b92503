// Arcs: part of a circle, running counter-clockwise (seen from the tip of the normal) from the
// start angle to the end angle. Angles are measured in the plane of the normal from its x axis
// (the arbitrary-axis rule of the drawing format), in radians, and kept between 0 and 2 pi.
// An arc's parameter is its angle: it runs from the start angle to the end angle, the end angle
// taken 2 pi further on when it is not above the start angle (an arc over the x axis).
#pragma once

#include "AcDbCurve.h"

class AcDbArc : public AcDbCurve {
    QV_RX_DECLARE_MEMBERS(AcDbArc)
  public:
    AcDbArc() = default;
    AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
    AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
            double endAngle);
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
    // eInvalidInput for a vector of zero length.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double thickness);
    // The angle swept from start to end, above 0 and at most 2 pi.
    double totalAngle() const;
    double length() const { return m_radius * totalAngle(); }

    Acad::ErrorStatus getStartParam(double& param) const override;
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    // Moves, turns, mirrors and scales uniformly; eCannotScaleNonUniformly otherwise (nothing
    // changes then).
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;
    // The arc as one segment, or two when it sweeps more than half a circle, from the start point.
    std::vector<qv::host::BulgeSegment> qvSegments() const override;
    AcGeMatrix3d qvPlane() const override;

  private:
    AcGePoint3d m_center;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_radius = 0.0, m_start = 0.0, m_end = 0.0, m_thickness = 0.0;
};
