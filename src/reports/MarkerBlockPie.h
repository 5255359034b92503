// CMarkerBlockPie: the pie-chart marker "MARKER-PIECHART", made from a circle whose centre
// becomes the marker's insertion point and whose radius the pie's; a report draws its pie chart
// there. Its attributes: "PIETITLE" ("PIE BLOCK"), "PIETEXTSIZE", "PIEPRECISION", "PIERADIUS" and
// "PIEXYOFFSETVALUE"; a reading takes the text size, precision and radius back from them (tags
// compared after upper-casing; a text that is no number reads as 0). The pie marker has no units
// attribute: its units stay 0 (the report may give it the legend marker's).
#pragma once

#include "StdAfx.h"

#include "reports/MarkerBlock.h"

class CMarkerBlockPie : public CMarkerBlock {
  public:
    CMarkerBlockPie() = default;
    // Reads a marker reference (open for read) of the document's drawing; the centre is the
    // reference's position in the current UCS when its definition holds a circle, else
    // (0, 0, 0). Failures are wrapped ("CMarkerBlockPie::CMarkerBlockPie") and raised.
    CMarkerBlockPie(AcDbBlockReference* pReference, AcApDocument* pDocument);

    AcGePoint3d getCentre() const { return m_centre; }
    void setCentre(AcGePoint3d centre) { m_centre = centre; }
    double getRadius() const { return m_dblRadius; }
    void setRadius(double dbl) { m_dblRadius = dbl; }
    // The circle's centre carried by the matrix, then from the UCS to the world.
    void setCentreFromCircle(AcGeMatrix3d matrix, AcDbCircle* pCircle);

    // Makes the marker from the circle (an entity of the drawing, its coordinates those of the
    // current UCS), the reference turned by the rotation (radians) about its centre. The units
    // are not used. 0, or the host status that stopped it (see CMarkerBlock;
    // eNotThatKindOfClass for an entity that is no circle).
    int createMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId circleId, int iUnits, int iPrecision,
                          double dblTextSize, double dblRotation);
    // The definition alone, its attribute texts made from the settings.
    int defineMarkerBlock(AcDbObjectId& blockId, const AcDbObjectIdArray& entities,
                          AcGePoint3d* pCentre, CAcadDrawing* pDrawing, double dblRadius,
                          int iPrecision, double dblTextSize, double dblAttributeRotation);

    // The default of the offset attribute.
    static constexpr double DEFAULT_XY_OFFSET = 500.0;

  private:
    static Layout layoutFor(double dblRadius, int iPrecision, double dblTextSize,
                            double dblAttributeRotation);

    AcGePoint3d m_centre = AcGePoint3d::kOrigin;
    double m_dblRadius = 0.0;
};
