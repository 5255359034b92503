// Table styles: the look a table starts from. Every drawing holds a dictionary of table styles
// (the named-object dictionary's entry "ACAD_TABLESTYLE") with at least the style "Standard": a
// drawing without them gets them when they are first asked for (AcDbDatabase::tablestyle,
// getTableStyleDictionaryId, getTableStyleDictionary).
//
// A style keeps, for each of the three row types (data, header, title), a text style, a text
// height and a cell alignment, and for the whole table the flow direction, the cell margins and
// whether the title and header rows are suppressed. "Standard": text style "Standard", text
// heights 0.18 (data and header rows) and 0.25 (title row), every row aligned top centre,
// margins 0.06, rows flowing downward, title and header rows shown.
#pragma once

#include <string>
#include <vector>

#include "AcDbObject.h"

namespace AcDb {

// Row types, as bits that may be or-ed together where several are meant.
enum RowType { kUnknownRow = 0, kDataRow = 1, kTitleRow = 2, kHeaderRow = 4 };
inline constexpr int kAllRowTypes = kDataRow | kTitleRow | kHeaderRow;

enum CellAlignment {
    kTopLeft = 1,
    kTopCenter = 2,
    kTopRight = 3,
    kMiddleLeft = 4,
    kMiddleCenter = 5,
    kMiddleRight = 6,
    kBottomLeft = 7,
    kBottomCenter = 8,
    kBottomRight = 9,
};

// Top to bottom: row 0 at the top, rows following downward; bottom to top: row 0 at the bottom.
enum FlowDirection { kTtoB = 0, kBtoT = 1 };

}  // namespace AcDb

namespace qv::host {
// True for the alignments 1 to 9.
bool isCellAlignment(int value);
// The index (0 data, 1 header, 2 title) of a single row type; -1 for anything else.
int rowTypeIndex(int rowType);
// The indexes of the row types whose bits `rowTypes` holds, data first.
std::vector<int> rowTypeIndexes(int rowTypes);
}  // namespace qv::host

class AcDbTableStyle : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbTableStyle)
  public:
    // The settings of "Standard" (see above); text style null (the database's "Standard" text
    // style is meant).
    AcDbTableStyle() = default;
    QV_RX_CLONE(AcDbTableStyle)

    const ACHAR* description() const { return m_description.c_str(); }
    Acad::ErrorStatus setDescription(const ACHAR* text);
    AcDb::FlowDirection flowDirection() const { return m_flow; }
    // eInvalidInput for a value that is no direction.
    Acad::ErrorStatus setFlowDirection(AcDb::FlowDirection direction);
    double horzCellMargin() const { return m_horzMargin; }
    double vertCellMargin() const { return m_vertMargin; }
    // eInvalidInput for a margin below 0.
    Acad::ErrorStatus setHorzCellMargin(double margin);
    Acad::ErrorStatus setVertCellMargin(double margin);
    bool isTitleSuppressed() const { return m_titleSuppressed; }
    bool isHeaderSuppressed() const { return m_headerSuppressed; }
    Acad::ErrorStatus suppressTitleRow(bool suppress);
    Acad::ErrorStatus suppressHeaderRow(bool suppress);

    // Of one row type (kDataRow, kHeaderRow or kTitleRow; any other value reads the data row).
    AcDbObjectId textStyle(AcDb::RowType rowType = AcDb::kDataRow) const;
    double textHeight(AcDb::RowType rowType = AcDb::kDataRow) const;
    AcDb::CellAlignment alignment(AcDb::RowType rowType = AcDb::kDataRow) const;
    // For every row type whose bit `rowTypes` holds; eInvalidInput (nothing changed) for a height
    // not above 0, an alignment outside 1 to 9, or no row-type bit.
    Acad::ErrorStatus setTextStyle(AcDbObjectId style, int rowTypes = AcDb::kAllRowTypes);
    Acad::ErrorStatus setTextHeight(double height, int rowTypes = AcDb::kAllRowTypes);
    Acad::ErrorStatus setAlignment(AcDb::CellAlignment alignment,
                                   int rowTypes = AcDb::kAllRowTypes);

    // The settings of one row type by index (0 data, 1 header, 2 title), as the drawing file and
    // the tables keep them.
    struct RowSettings {
        AcDbObjectId textStyle;
        double textHeight = 0.18;
        AcDb::CellAlignment alignment = AcDb::kTopCenter;
    };
    const RowSettings& qvRow(int index) const { return m_rows[index]; }
    RowSettings& qvRow(int index) { return m_rows[index]; }

  private:
    std::wstring m_description;
    AcDb::FlowDirection m_flow = AcDb::kTtoB;
    double m_horzMargin = 0.06, m_vertMargin = 0.06;
    bool m_titleSuppressed = false, m_headerSuppressed = false;
    RowSettings m_rows[3] = {{}, {}, {AcDbObjectId(), 0.25, AcDb::kTopCenter}};
};

namespace qv::host {
// The name under which the drawing's table styles stand in its named-object dictionary.
inline constexpr const wchar_t* kTableStyleDictionary = L"ACAD_TABLESTYLE";
// Adds the table-style dictionary and its "Standard" style when the drawing lacks them.
void addMissingTableStyles(AcDbDatabase& database);
}  // namespace qv::host
