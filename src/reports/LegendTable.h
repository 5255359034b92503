// CLegendTable: the legend of a graphic report: a block definition "[ORVAN_LEGEND]_" + the
// report's title holding one table: a title row with the report's title (merged over the three
// columns), a header row ("Description", "Hatch", "Area " + units) and one row per category with
// its title, a swatch block filled with its hatch and the summed area of its space blocks. Where
// an insertion point is given on a full host, a reference to the legend is put in model space
// there as well. The building constructor does all the work; the object keeps nothing of what
// it made.
//
// Sizes, in units of the text size ts: every row 1.5 ts high (a row grows to what its content
// needs, e.g. a swatch 2 ts high plus the cell margins), column widths of as many ts as the
// longest text of the column has characters plus one (at least 12, 6 and the area header's
// length + 1), the swatch column always 6 ts. Text height ts, cells aligned middle-centre.
//
// Swatch blocks: "[ORVAN_LEGEND_HATCH]_" + report title + "_" + category title (characters a
// block name may not hold replaced by "_"); a second category whose name comes out the same gets
// "_2", "_3", ... appended, so each row shows its own. A swatch is a 3 ts x 2 ts rectangle on the
// hatch's layer in the hatch's colour, filled with the hatch, or, when the pattern is too dense
// (too sparse) to show, a constant text "<!" (">!") in its place. A category without hatch
// settings has no swatch: its hatch cell stays empty.
//
// Re-applying: the legend and swatch definitions are made again in place (LegendPieBlocks.h):
// references and table cells made earlier stay valid and show the new content.
//
// The caller holds the drawing's lock. Failures are wrapped in a CEXUnhandled naming the
// operation ("LegendTable") and raised; what was added to the drawing before stays.
#pragma once

#include <set>

#include "StdAfx.h"

class CAcadDrawing;
class CCategory;
class CGraphicReport;

class CLegendTable {
  public:
    // Text size 500.0, rotation 0.0, precision 2, units "units"; builds nothing.
    CLegendTable() = default;
    // Builds the legend (see above; nothing without a drawing or a report; a text size not above
    // 0 raises CEXCustom). The insertion point is a point of the current UCS, or null
    // for the definition alone. iIgnoreEmpty non-zero leaves out categories of area 0.0.
    CLegendTable(CAcadDrawing* pDrawing, double dblTextSize, int iPrecision, CString sUnits,
                 int iIgnoreEmpty, CGraphicReport* pReport, double dblRotation,
                 AcGePoint3d* pInsertionPoint);

    // The definition, then a reference at the point (UCS), turned by the rotation.
    AcDbObjectId& createLegendBlockReference(AcDbObjectId& referenceId, CAcadDrawing* pDrawing,
                                             CString sBlockName, int iIgnoreEmpty,
                                             CGraphicReport* pReport, AcGePoint3d* pInsertionPoint);
    // The legend's block definition holding the table.
    AcDbObjectId& createLegendBlockDefinition(AcDbObjectId& blockId, CAcadDrawing* pDrawing,
                                              CString sBlockName, int iIgnoreEmpty,
                                              CGraphicReport* pReport);
    // A new table (outside the drawing) of the report's categories.
    AcDbTable* createLegendTableEntity(CGraphicReport* pReport, CAcadDrawing* pDrawing,
                                       AcGeVector3d normal, int iIgnoreEmpty);
    // The category's swatch block, or the null id without hatch settings. A name the host
    // refuses raises CEXCustom "Invalid Block Name - '<name>' - from Graphic Report and Category
    // Names" (wrapped).
    AcDbObjectId& createHatchPattern(AcDbObjectId& blockId, CAcadDrawing* pDrawing,
                                     AcGeVector3d normal, CString sReportTitle,
                                     CCategory* pCategory);
    // The sum of the areas of the category's space blocks.
    void calculateCategoryArea(CCategory* pCategory, double& dblArea);

    double getTextSize() const { return m_dblTextSize; }
    double getRotation() const { return m_dblRotation; }
    int getPrecision() const { return m_iPrecision; }
    CString getUnits() const { return m_sUnits; }

    static const wchar_t BLOCK_PREFIX[];   // "[ORVAN_LEGEND]_"
    static const wchar_t SWATCH_PREFIX[];  // "[ORVAN_LEGEND_HATCH]_"

  private:
    double m_dblTextSize = 500.0;
    double m_dblRotation = 0.0;
    int m_iPrecision = 2;
    CString m_sUnits = L"units";
    // The swatch names given during this build (upper-cased), for telling equal titles apart.
    std::set<std::wstring> m_swatchNames;
};
