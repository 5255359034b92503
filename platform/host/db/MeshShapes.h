// Shapes drawn by their edges, as seen from above: 3D faces, and the polylines of the older kind
// that a drawing holds as a POLYLINE record with VERTEX records after it (3D polylines, polygon
// meshes, polyface meshes, and the 2D polylines of drawings after R12).
//
// A 3D face has four corners in the world (the fourth equal to the third for a triangle) and
// draws its edges, first to second, second to third, third to fourth and fourth to first, but
// those whose bit of the invisible-edge flags is set (1 for the first edge, 2, 4, 8).
//
// A polyline draws, by its flags (1 closed, 8 3D polyline, 16 polygon mesh, 32 mesh closed in N,
// 64 polyface mesh; none of 8, 16 and 64 for a 2D polyline):
//   - a 3D polyline: through its vertices in turn (closed when flagged), a spline-fitted one
//     through the vertices of its curve, not those of its frame (vertex flag 16);
//   - a polygon mesh of M x N vertices (71, 72; row by row): each row and each column of them,
//     a row closed when the mesh is closed in N and a column when it is closed in M (flag 1); a
//     smoothed mesh that holds the vertices of its surface (vertex flag 8) as many as its
//     densities (73 x 74) ask draws those;
//   - a polyface mesh: its vertices (flags 64 and 128) and its faces (flag 128 alone), each
//     naming up to four vertices by number from 1 (71 to 74), negative before an edge that is
//     not shown: the edges of every face that are shown (to vertices that exist);
//   - a 2D polyline: as a lightweight polyline (bulges and widths, its plane and elevation) of
//     its vertices, but those of a spline's frame.
// Both are plotted and measured as projected on the plan (x and y of the world).
//
// These entities are read from drawings and drawn; what they hold is set as a whole.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "AcDbCurve.h"
#include "AcDbEntity.h"

class AcDbFace : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbFace)
  public:
    AcDbFace() = default;
    QV_RX_CLONE(AcDbFace)

    // Corner 0 to 3.
    AcGePoint3d corner(int index) const { return m_corners[static_cast<size_t>(index & 3)]; }
    bool isEdgeVisibleAt(int index) const { return (m_invisibleEdges & (1 << (index & 3))) == 0; }
    void qvSet(const std::array<AcGePoint3d, 4>& corners, int invisibleEdges);
    // The edges shown, each as its two corners.
    std::vector<std::vector<AcGePoint3d>> qvChains() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    std::array<AcGePoint3d, 4> m_corners{};
    int m_invisibleEdges = 0;
};

namespace qv::host {

class HeavyPolyline : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(HeavyPolyline)
  public:
    struct Vertex {
        AcGePoint3d point;  // in the plane of the normal for a 2D polyline, else in the world
        double bulge = 0.0;
        double startWidth = -1.0, endWidth = -1.0;  // below 0: the polyline's own
        int flags = 0;
        std::array<int, 4> corners{};  // a polyface mesh's face: its vertices' numbers
    };
    struct Data {
        int flags = 0;
        int meshM = 0, meshN = 0;      // 71, 72
        int smoothM = 0, smoothN = 0;  // 73, 74
        double elevation = 0.0;
        double startWidth = 0.0, endWidth = 0.0;
        AcGeVector3d normal = AcGeVector3d::kZAxis;
        std::vector<Vertex> vertices;
    };
    enum Flags { kClosed = 1, k3dPolyline = 8, kPolygonMesh = 16, kClosedInN = 32, kPolyface = 64 };
    enum VertexFlags { kSplineVertex = 8, kFrameVertex = 16, kMeshVertex = 64, kFaceVertex = 128 };

    HeavyPolyline() = default;
    QV_RX_CLONE(HeavyPolyline)

    const Data& qvData() const { return m_data; }
    void qvSetData(Data data);
    // A 2D polyline as the lightweight polyline it draws as; null for the other kinds.
    const AcDbPolyline* qvFlat() const { return m_flat.get(); }
    // What the other kinds draw: chains of points in the world (none for a 2D polyline).
    const std::vector<std::vector<AcGePoint3d>>& qvChains() const { return m_chains; }

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    Data m_data;
    std::shared_ptr<const AcDbPolyline> m_flat;  // (copies share it: it never changes)
    std::vector<std::vector<AcGePoint3d>> m_chains;
};

}  // namespace qv::host
