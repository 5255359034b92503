// CMarkerBlockLegend: the legend marker "MARKER-LEGEND", made from a closed polyline whose
// top-left corner becomes the marker's insertion point; a report draws its legend table there.
// Its attributes: "LEGENDTITLE" ("LEGEND BLOCK"), "LEGENDTEXTSIZE", "LEGENDPRECISION",
// "LEGENDROTATION" and "LEGENDUNITS"; a reading takes the text size, precision and units back
// from them (tags compared after upper-casing; a text that is no number reads as 0).
#pragma once

#include "StdAfx.h"

#include "reports/MarkerBlock.h"

class CMarkerBlockLegend : public CMarkerBlock {
  public:
    CMarkerBlockLegend() = default;
    // Reads a marker reference (open for read) of the document's drawing; the point is the
    // reference's position in the current UCS when its definition holds a polyline, else
    // (0, 0, 0). Failures are wrapped ("CMarkerBlockLegend::CMarkerBlockLegend") and raised.
    CMarkerBlockLegend(AcDbBlockReference* pReference, AcApDocument* pDocument);

    AcGePoint3d getPoint() const { return m_point; }
    void setPoint(AcGePoint3d point) { m_point = point; }
    // The outline's top-left corner (no matrix) carried by the matrix.
    void setPointFromOutline(AcGeMatrix3d matrix, AcDbPolyline* pOutline);

    // Makes the marker from the outline (a polyline of the drawing, closed by the caller, its
    // coordinates those of the current UCS) with the settings, the reference turned by the
    // rotation (radians) about the outline's top-left corner. 0, or the host status that stopped
    // it (see CMarkerBlock; eNotThatKindOfClass for an entity that is no polyline).
    int createMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId outlineId, int iUnits,
                          int iPrecision, double dblTextSize, double dblRotation);
    // The definition alone, its attribute texts made from the settings.
    int defineMarkerBlock(AcDbObjectId& blockId, const AcDbObjectIdArray& entities,
                          AcGePoint3d* pBasePoint, CAcadDrawing* pDrawing, int iUnits,
                          int iPrecision, double dblTextSize, double dblAttributeRotation);

  private:
    static Layout layoutFor(int iUnits, int iPrecision, double dblTextSize,
                            double dblAttributeRotation);

    AcGePoint3d m_point = AcGePoint3d::kOrigin;
};
