// Splines: a NURBS curve of a degree, its control points with their weights (all 1 when the
// spline is not rational) and its knots, or, where a drawing gives only the points the curve
// passes through, those fit points.
//
// Drawn from the control points where there are at least two, else through the fit points. Knots
// that do not suit the control points (not one more than the points and the degree together, or
// falling somewhere) are replaced by a clamped uniform vector; a degree above the points allow is
// lowered; weights that are missing or not above 0 count as 1. A curve through fit points alone
// is a Catmull-Rom curve through them (closed when the spline is).
//
// The entity is read from drawings and drawn; what it holds is set as a whole (qvSetData).
#pragma once

#include <vector>

#include "AcDbEntity.h"
#include "../ge/RationalBezier.h"

class AcDbSpline : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbSpline)
  public:
    struct Data {
        int degree = 3;
        bool closed = false;
        bool rational = false;
        std::vector<double> knots;
        std::vector<AcGePoint3d> controlPoints;
        std::vector<double> weights;  // one per control point, or none
        std::vector<AcGePoint3d> fitPoints;
    };

    AcDbSpline() = default;
    QV_RX_CLONE(AcDbSpline)

    int degree() const { return m_data.degree; }
    bool isClosed() const { return m_data.closed; }
    int numControlPoints() const { return static_cast<int>(m_data.controlPoints.size()); }
    int numFitPoints() const { return static_cast<int>(m_data.fitPoints.size()); }

    const Data& qvData() const { return m_data; }
    void qvSetData(Data data) {
        assertWriteEnabled();
        m_data = std::move(data);
    }
    // Points along the curve, its pieces about `tolerance` from it (at most 64 per knot span
    // or fit point); none when there is no curve to draw.
    std::vector<AcGePoint3d> qvPoints(double tolerance) const;
    // The drawn curve itself: a Bezier piece for every knot span (a cubic one between two fit
    // points), in order (RationalBezier.h); none when there is no curve to draw.
    std::vector<qv::host::RationalBezier> qvPieces() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    enum class DrawnFrom { kControlPoints, kFitPoints, kNothing };
    DrawnFrom drawnFrom() const;
    Data m_data;
};
