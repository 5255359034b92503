// CPieSegment: one wedge of a pie chart: a category's title, hatch settings and area, drawn into
// the pie's block definition as a closed outline (an arc and two radii, or a full circle),
// hatched like the category and, when asked, labelled outside the pie with a line towards the
// label.
//
// Geometry, in block coordinates: the pie's centre is the origin; angles run clockwise from the
// +Y axis, so the direction at angle a is (sin a, cos a). A wedge's sweep is its share of the
// chart's total area times 360 degrees, starting where the wedges before it ended (the first at
// twelve o'clock). The start is kept within a full circle and the sweep within what is left of
// it, so wedges never lap over the circle; a sweep within 1e-9 of a full circle is drawn as the
// full circle.
//
// Without hatch settings a wedge has no hatch, and its outline, line and label take no layer
// or colour of their own (the host's defaults for new entities).
//
// Ownership: the hatch settings are shared with the category, never owned.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CHatch;
class COrvanExceptions;

class CPieSegment {
  public:
    CPieSegment(CString sLabel, CHatch* pHatch, double dblArea, int iPrecision, CString sUnits);

    CString getLabel() const { return m_sLabel; }
    void setLabel(CString s) { m_sLabel = s; }
    CHatch* getHatch() const { return m_pHatch; }
    void setHatch(CHatch* p) { m_pHatch = p; }
    double getArea() const { return m_dblArea; }
    void setArea(double dbl) { m_dblArea = dbl; }
    int getPrecision() const { return m_iPrecision; }
    void setPrecision(int i) { m_iPrecision = i; }
    CString getUnits() const { return m_sUnits; }
    void setUnits(CString s) { m_sUnits = s; }

    // Draws the wedge into the block record (open for write): the outline turned to the start
    // angle (start area / total) and pushed out by the offset along its middle direction, its
    // hatch (failures printed on the command line, the chart goes on) and, with the labels flag,
    // its label at 1.25 x radius (plus the offset) and, with the label-lines flag, a line
    // towards it. Any other failure is wrapped ("CPieSegment::addSegmentToBlock") and raised.
    void addSegmentToBlock(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord, int bIgnoreEmpty,
                           int bShowLabels, int bShowLabelLines, AcGeVector3d normal,
                           double dblRadius, double dblOffset, double dblTotalArea,
                           double dblStartArea, double dblTextSize, int iPrecision);
    // A new closed outline (outside the drawing) of the sweep (radians), starting at twelve
    // o'clock and running clockwise, coloured with the hatch's colour.
    AcDbPolyline* createSegment(AcGeVector3d normal, double dblRadius, double dblSweep);
    // Hatches the outline of that id inside the record; failures go into the list.
    void hatchSegment(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord, AcDbObjectId outlineId,
                      COrvanExceptions& errors);
    // The line from the moved apex along the middle angle to 0.95 x the label radius.
    void addSegmentLine(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord, AcGeVector3d normal,
                        double dblMiddleAngle, double dblLabelRadius, double dblOffset);
    // The label "<title> (<area> <units>)" as a constant attribute definition at the label
    // radius; it becomes the wedge's label. Left, centred or right aligned by the side of the
    // pie it stands on, bottom, middle or top aligned against half the radius.
    void addSegmentLabel(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord, AcGeVector3d normal,
                         double dblMiddleAngle, double dblRadius, double dblLabelRadius,
                         double dblOffset, double dblTextSize, int iPrecision);

    // The tag every wedge label carries (a label's text may hold blanks, which a tag may not).
    static const wchar_t LABEL_TAG[];  // "SEGMENTLABEL"

  private:
    // Puts the entity (outside the drawing) on the hatch's layer with the hatch's colour, when
    // there are hatch settings.
    void formatLikeHatch(CAcadDrawing* pDrawing, AcDbEntity* pEntity, bool bColour) const;

    CString m_sLabel;
    CHatch* m_pHatch;
    double m_dblArea;
    int m_iPrecision;
    CString m_sUnits;
};
