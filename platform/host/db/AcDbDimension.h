// Dimensions and leaders, as far as a plot shows them.
//
// A dimension shows the contents of its block (an anonymous block "*D..." that the program which
// made the dimension drew), placed as they are: the block's entities stand in the world's
// coordinates. A dimension whose block the drawing lacks shows nothing, and so does a dimension
// within the block of a dimension (such blocks could name each other without end).
//
// A leader is a line through its vertices (a leader whose path the file says is a spline too)
// with, when it has one, an arrowhead at its first vertex: a filled triangle pointing along the
// first segment, as long as the leader's text height (or a sixth of the first segment where it
// has none, at most that segment's length) and a third as wide.
//
// These entities are read from drawings and drawn; what they hold is set as a whole.
#pragma once

#include <string>
#include <vector>

#include "AcDbEntity.h"

class AcDbDimension : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbDimension)
  public:
    AcDbDimension() = default;
    QV_RX_CLONE(AcDbDimension)

    // The name of the block that shows the dimension ("" when the record names none).
    const std::wstring& qvBlockName() const { return m_blockName; }
    void qvSetBlockName(std::wstring name) {
        assertWriteEnabled();
        m_blockName = std::move(name);
    }
    // The block of that name in the dimension's database, or null.
    AcDbObjectId dimBlockId() const;

    // The box of the block's entities (the dimensions among them, and in the blocks they refer
    // to, left out).
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    std::wstring m_blockName;
};

class AcDbLeader : public AcDbEntity {
    QV_RX_DECLARE_MEMBERS(AcDbLeader)
  public:
    AcDbLeader() = default;
    QV_RX_CLONE(AcDbLeader)

    int numVertices() const { return static_cast<int>(m_vertices.size()); }
    AcGePoint3d vertexAt(int index) const { return m_vertices.at(static_cast<size_t>(index)); }
    bool hasArrowHead() const { return m_arrow; }
    void qvSet(std::vector<AcGePoint3d> vertices, bool arrow, double textHeight);
    // The arrowhead's three corners (the tip first), or none.
    std::vector<AcGePoint3d> qvArrowHead() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;

  private:
    std::vector<AcGePoint3d> m_vertices;
    bool m_arrow = true;
    double m_textHeight = 0.0;
};
