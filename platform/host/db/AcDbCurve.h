// Curves: lines, circles and lightweight polylines, with the host's parameter rules:
//   - a line runs from parameter 0 at its start to its length at its end;
//   - a circle runs from 0 to 2 pi, the angle from its x axis;
//   - a polyline runs from 0 at its first vertex to n - 1 at its last, or to n when closed
//     (the closing segment included); within a segment the parameter grows with the length
//     along it, arcs included.
// A parameter or distance outside the curve gives eInvalidInput; a point off the curve too.
#pragma once

#include <vector>

#include "AcDbEntity.h"
#include "../ge/BulgeSegment.h"

class AcDbCurve : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbCurve)
  public:
    virtual bool isClosed() const { return false; }
    virtual bool isPeriodic() const { return false; }
    virtual Acad::ErrorStatus getStartParam(double& param) const;
    virtual Acad::ErrorStatus getEndParam(double& param) const;
    virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const;
    virtual Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const;
    virtual Acad::ErrorStatus getDistAtParam(double param, double& dist) const;
    virtual Acad::ErrorStatus getParamAtDist(double dist, double& param) const;
    virtual Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const;
    virtual Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const;
    // The area enclosed (an open curve is closed by a straight line); always positive.
    virtual Acad::ErrorStatus getArea(double& area) const;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

    // The curve as segments of its plane (see qvPlane()); for polylines parameter i is the start
    // of segment i. Lines give none (they need no plane), circles two half circles.
    virtual std::vector<qv::host::BulgeSegment> qvSegments() const = 0;
    // From the curve's plane (x, y, elevation as z) to the world.
    virtual AcGeMatrix3d qvPlane() const = 0;
};

class AcDbLine : public AcDbCurve {
    QV_RX_DECLARE_MEMBERS(AcDbLine)
  public:
    AcDbLine() = default;
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
    QV_RX_CLONE(AcDbLine)

    AcGePoint3d startPoint() const { return m_start; }
    AcGePoint3d endPoint() const { return m_end; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& point);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& point);
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double thickness);

    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;
    std::vector<qv::host::BulgeSegment> qvSegments() const override { return {}; }
    AcGeMatrix3d qvPlane() const override { return AcGeMatrix3d::kIdentity; }

  private:
    AcGePoint3d m_start, m_end;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_thickness = 0.0;
};

class AcDbCircle : public AcDbCurve {
    QV_RX_DECLARE_MEMBERS(AcDbCircle)
  public:
    AcDbCircle() = default;
    AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
        : m_center(center), m_normal(normal.normal()), m_radius(radius) {}
    QV_RX_CLONE(AcDbCircle)

    AcGePoint3d center() const { return m_center; }
    Acad::ErrorStatus setCenter(const AcGePoint3d& center);
    double radius() const { return m_radius; }
    // eInvalidInput unless the radius is above 0.
    Acad::ErrorStatus setRadius(double radius);
    AcGeVector3d normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double thickness);
    double circumference() const;

    bool isClosed() const override { return true; }
    bool isPeriodic() const override { return true; }
    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
    Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
    Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
    Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
    Acad::ErrorStatus getArea(double& area) const override;
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;
    // Two half circles from the point at angle 0 (used by hatch loops).
    std::vector<qv::host::BulgeSegment> qvSegments() const override;
    AcGeMatrix3d qvPlane() const override;

  private:
    AcGePoint3d m_center;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    double m_radius = 0.0;
    double m_thickness = 0.0;
};

// A lightweight polyline: vertices in the plane of its normal at its elevation (coordinates of
// that plane's own system, as the drawing format keeps them), each with the bulge and widths of
// the segment that starts there.
class AcDbPolyline : public AcDbCurve {
    QV_RX_DECLARE_MEMBERS(AcDbPolyline)
  public:
    enum SegType { kLine = 0, kArc = 1, kCoincident = 2, kPoint = 3, kEmpty = 4 };

    AcDbPolyline() = default;
    explicit AcDbPolyline(unsigned int reserve) { m_vertices.reserve(reserve); }
    QV_RX_CLONE(AcDbPolyline)

    // Inserts before `index` (index == numVerts() appends); eInvalidIndex beyond. Widths below 0
    // take the constant width.
    Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& point, double bulge = 0.0,
                                  double startWidth = -1.0, double endWidth = -1.0);
    Acad::ErrorStatus removeVertexAt(unsigned int index);
    unsigned int numVerts() const { return static_cast<unsigned int>(m_vertices.size()); }
    // The vertex in the polyline's plane, or in the world.
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& point) const;
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint3d& point) const;
    Acad::ErrorStatus setPointAt(unsigned int index, const AcGePoint2d& point);
    Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
    Acad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
    Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
    Acad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
    Acad::ErrorStatus getConstantWidth(double& width) const;
    Acad::ErrorStatus setConstantWidth(double width);
    SegType segType(unsigned int index) const;
    bool isOnlyLines() const;
    void reset(bool reuse, unsigned int newSize);

    bool isClosed() const override { return m_closed; }
    void setClosed(bool closed);
    double elevation() const { return m_elevation; }
    void setElevation(double elevation);
    AcGeVector3d normal() const { return m_normal; }
    void setNormal(const AcGeVector3d& normal);
    double thickness() const { return m_thickness; }
    Acad::ErrorStatus setThickness(double thickness);

    Acad::ErrorStatus getEndParam(double& param) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;
    std::vector<qv::host::BulgeSegment> qvSegments() const override;
    AcGeMatrix3d qvPlane() const override;

  private:
    struct Vertex {
        AcGePoint2d point;
        double bulge = 0.0, startWidth = 0.0, endWidth = 0.0;
    };
    bool validIndex(unsigned int index) const { return index < m_vertices.size(); }

    std::vector<Vertex> m_vertices;
    bool m_closed = false;
    double m_elevation = 0.0;
    double m_thickness = 0.0;
    double m_constantWidth = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
};
