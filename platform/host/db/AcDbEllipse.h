// Ellipses and elliptical arcs: a centre, the major axis (a vector from the centre to the end of
// the major axis), the ratio of the minor to the major radius and the normal of their plane. The
// minor axis is the normal crossed with the major axis, times the ratio. A point of parameter t
// is centre + cos t * major + sin t * minor; the curve runs from the start parameter to the end
// parameter (the end taken 2 pi further on when it is not above the start).
//
// The entity is read from drawings and drawn; what it holds is set as a whole (qvSetData).
#pragma once

#include <vector>

#include "AcDbEntity.h"
#include "../ge/RationalBezier.h"

class AcDbEllipse : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbEllipse)
  public:
    struct Data {
        AcGePoint3d center;
        AcGeVector3d majorAxis = AcGeVector3d::kXAxis;
        AcGeVector3d normal = AcGeVector3d::kZAxis;
        double radiusRatio = 1.0;  // above 0, at most 1
        double startParam = 0.0;
        double endParam = 6.283185307179586;
    };

    AcDbEllipse() = default;
    QV_RX_CLONE(AcDbEllipse)

    AcGePoint3d center() const { return m_data.center; }
    AcGeVector3d majorAxis() const { return m_data.majorAxis; }
    AcGeVector3d minorAxis() const;
    double radiusRatio() const { return m_data.radiusRatio; }

    const Data& qvData() const { return m_data; }
    // A ratio above 1 makes the minor axis the major one (the ratio becomes its inverse and the
    // parameters turn by a quarter: the curve is the same). A ratio not above 0 or a major axis
    // of zero length leaves the ellipse empty (nothing drawn, no extents); a normal of zero
    // length becomes the z axis.
    void qvSetData(Data data);
    // Points along the curve, the chords within `tolerance` of it (at most 1024 pieces); none
    // for an empty ellipse.
    std::vector<AcGePoint3d> qvPoints(double tolerance) const;
    // The curve itself, as pieces of at most a quarter turn (RationalBezier.h); none for an empty
    // ellipse.
    std::vector<qv::host::RationalBezier> qvPieces() const;
    bool qvIsFull() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    bool empty() const;
    // The parameters that the curve runs over, from the start parameter: 2 pi when full.
    double sweep() const;
    Data m_data;
};
