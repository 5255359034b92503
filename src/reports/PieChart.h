// CPieChart: the pie chart of a graphic report: a block definition "[ORVAN_PIECHART]_" + the
// report's title (characters a block name may not hold replaced by "_") with one wedge per
// category (CPieSegment), a title above the pie and the total below it; where a centre is given
// on a full host, a reference to it in model space at that centre as well. The building
// constructor does all the work; the object keeps nothing of what it made.
//
// The wedges share the total area of the report (its totalChildAreas), not the sum of the
// categories; a category of the same title as an earlier one gets no wedge. The definition is
// made again in place on every run (see LegendPieBlocks.h), so references made earlier show the
// new chart.
//
// The title and total are constant attribute definitions with the tags "CHARTTITLE" and
// "CHARTTOTAL" (a report's title may hold blanks, which a tag may not); their texts are the title
// and "Total: " + the total + units.
//
// The caller holds the drawing's lock; the chart takes one level of its own around the block.
// Failures are wrapped in a CEXUnhandled naming the operation ("PieChart") and raised; what was
// added to the drawing before stays.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CGraphicReport;
class CPieSegments;

class CPieChart {
  public:
    // Builds the chart (see above): nothing without a drawing or a report, or when the report
    // has no categories or a total area not above 0; a text size or radius not above 0 raises
    // CEXCustom (wrapped). The centre is a point of the current UCS, or null for the definition
    // alone.
    CPieChart(CAcadDrawing* pDrawing, CGraphicReport* pReport, double dblRadius, double dblOffset,
              double dblTextSize, int iPrecision, CString sUnits, int bIgnoreEmptySegments,
              int bShowLabels, int bShowLabelSegmentLines, double dblRotation,
              AcGePoint3d* pCentre);
    // Sets the fields up (initialise) and builds nothing.
    CPieChart(CString sTitle, double dblTotalArea, double dblRadius, double dblOffset,
              double dblTextSize, int iPrecision, CString sUnits, int bIgnoreEmptySegments,
              int bShowLabels, int bShowLabelSegmentLines, double dblRotation);
    ~CPieChart();
    CPieChart(const CPieChart&) = delete;
    CPieChart& operator=(const CPieChart&) = delete;

    // A new empty wedge list, the block name and every field.
    void initialise(CString sTitle, double dblTotalArea, double dblRadius, double dblOffset,
                    double dblTextSize, int iPrecision, CString sUnits, int bIgnoreEmptySegments,
                    int bShowLabels, int bShowLabelSegmentLines, double dblRotation);
    // One wedge per category in order: the sum of its blocks' areas (0.0 without blocks); a
    // category of area 0.0 is left out with the ignore-empty flag.
    void pieChartFromGraphicReport(CGraphicReport* pReport);
    // The definition (see above); the null id when there is no wedge. Raises
    // CEXSegmentAreaOverTotal (wrapped) when the whole part of the wedges' sum is above that of
    // the total.
    AcDbObjectId& createPieChartBlockDefinition(AcDbObjectId& blockId, CAcadDrawing* pDrawing);
    // The definition, then a reference at the centre (UCS), turned by the rotation.
    AcDbObjectId& createPieChartBlockReference(AcDbObjectId& referenceId, CAcadDrawing* pDrawing,
                                               AcGePoint3d* pCentre);
    // The title at (0, 1.5 x radius + text size), top-centre aligned.
    void addTitleToPieChart(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                            AcGeVector3d normal, double dblTextSize, double dblRadius);
    // The total at (0, text size - 1.5 x radius), top-centre aligned.
    void addFooterToPieChart(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                             AcGeVector3d normal, double dblTextSize, double dblRadius);

    CPieSegments* getSegments() const { return m_pSegments; }
    CString getBlockName() const { return m_sBlockName; }

    static const wchar_t BLOCK_PREFIX[];  // "[ORVAN_PIECHART]_"
    static const wchar_t TITLE_TAG[];     // "CHARTTITLE"
    static const wchar_t TOTAL_TAG[];     // "CHARTTOTAL"

  private:
    // A constant attribute definition, top-centre aligned at the point, appended and closed.
    void addCentredText(AcDbBlockTableRecord* pRecord, AcGeVector3d normal, double dblTextSize,
                        const AcGePoint3d& ptAt, const CString& sTag, const CString& sText);

    CPieSegments* m_pSegments = nullptr;
    CString m_sBlockName;
    CString m_sTitle;
    double m_dblTotalArea = 0.0;
    double m_dblTextSize = 0.0;
    double m_dblRadius = 0.0;
    double m_dblXYOffset = 0.0;
    double m_dblRotation = 0.0;
    int m_iPrecision = 0;
    CString m_sUnits;
    int m_bIgnoreEmptySegments = 0;
    int m_bShowLabels = 0;
    int m_bShowLabelSegmentLines = 0;
};
