// Tables: a grid of cells holding texts or blocks, drawn at a position like a block reference.
//
// Rows are numbered from 0, row 0 at the top (rows flowing downward, kTtoB) or at the bottom
// (kBtoT); columns from 0, left to right along the table's direction. The position is the
// corner where row 0 and column 0 meet: the top-left corner flowing downward, the bottom-left
// corner flowing upward.
//
// Row types: row 0 is the title row unless the title is suppressed; the next row is the header
// row unless the header is suppressed; every other row is a data row. Each row type has a text
// style, a text height and a cell alignment; a cell may override the height and the alignment.
// A table takes the row-type settings, margins, flow direction and suppression of its table
// style when the style is set (a new table has those of "Standard", see AcDbTableStyle.h);
// changing the table afterwards changes only the table.
//
// Sizes: a column is as wide as set. A row is as high as set, or higher when its content needs
// more: the height a row needs is the largest of its cells' needs, each
//   - a text cell: its lines times the text height, plus 2/3 of the text height between lines,
//     plus the vertical margin above and below. Lines break at "\P" and at line feeds, and a
//     line wider than the cell (between its horizontal margins) breaks between words, each
//     character taken as 0.6 text heights wide (the rule of the host's texts, AcDbText.h); an
//     empty cell needs one line;
//   - a block cell: the block's height (the box of its entities) times the block scale plus the
//     margins, or only the margins when the block is fitted to the cell (auto-fit);
// a merged range needs its content's height over all its rows (what is missing goes to its last
// row) and its content's width over all its columns.
//
// Merged cells: a merged range shows the content of its top-left cell across the range; the other
// cells of the range keep their content, not drawn, until the range is unmerged. Ranges never
// overlap.
//
// Drawing: the table is drawn through an anonymous block ("*T1", "*T2", ...) of lines (the cell
// borders), texts (one per line of a cell's text) and block references (the block cells), which
// the drawing file keeps for programs that do not read tables. The block is made when the table
// is added to a database and made again when the table is closed after a change, or at once by
// recomputeTableBlock. Erasing the table erases its block.
//
// Refusals: eInvalidIndex for a row or column outside the table; eInvalidInput for sizes not above
// 0, counts below 1, alignments outside 1 to 9, and ranges that are empty, reversed or that
// overlap a merged range. Nothing changes on a refusal.
#pragma once

#include <string>
#include <vector>

#include "AcDbBlockReference.h"
#include "AcDbTableStyle.h"

namespace AcDb {
enum CellType { kUnknownCell = 0, kTextCell = 1, kBlockCell = 2 };
}

class AcDbTable : public AcDbBlockReference {
    QV_RX_DECLARE_MEMBERS(AcDbTable)
  public:
    // One row and one column (width 2.5, height 0.5), with the settings of "Standard".
    AcDbTable();
    AcDbTable(const AcDbTable& other);
    QV_RX_CLONE(AcDbTable)

    // ---- style ----
    AcDbObjectId tableStyle() const { return m_style; }
    // Takes the style's settings (see above); eNullObjectId, or eNotThatKindOfClass for an object
    // that is no table style.
    Acad::ErrorStatus setTableStyle(AcDbObjectId style);
    AcDb::FlowDirection flowDirection() const { return m_flow; }
    Acad::ErrorStatus setFlowDirection(AcDb::FlowDirection direction);
    bool isTitleSuppressed() const { return m_titleSuppressed; }
    bool isHeaderSuppressed() const { return m_headerSuppressed; }
    Acad::ErrorStatus suppressTitleRow(bool suppress);
    Acad::ErrorStatus suppressHeaderRow(bool suppress);
    double horzCellMargin() const { return m_horzMargin; }
    double vertCellMargin() const { return m_vertMargin; }
    // eInvalidInput below 0.
    Acad::ErrorStatus setHorzCellMargin(double margin);
    Acad::ErrorStatus setVertCellMargin(double margin);

    // ---- size ----
    int numRows() const { return static_cast<int>(m_rowHeights.size()); }
    int numColumns() const { return static_cast<int>(m_columnWidths.size()); }
    // Rows added at the end take the last row's set height, columns the last column's width.
    Acad::ErrorStatus setNumRows(int rows);
    Acad::ErrorStatus setNumColumns(int columns);
    Acad::ErrorStatus setSize(int rows, int columns);
    // Inserts `count` empty rows before `row` (numRows() appends), each `height` high. A merged
    // range that the new rows fall inside grows with them.
    Acad::ErrorStatus insertRows(int row, double height, int count = 1);
    // Deletes rows; at least one row stays (eInvalidInput). Merged ranges shrink with them, and
    // go when they are left with one cell.
    Acad::ErrorStatus deleteRows(int row, int count = 1);
    Acad::ErrorStatus insertColumns(int column, double width, int count = 1);
    Acad::ErrorStatus deleteColumns(int column, int count = 1);

    // The width as set; 0 outside the table.
    double columnWidth(int column) const;
    Acad::ErrorStatus setColumnWidth(int column, double width);
    Acad::ErrorStatus setColumnWidth(double width);  // every column
    // The height as shown: the height set, or what the content needs when that is more.
    double rowHeight(int row) const;
    // The height the row's content needs (see above); 0 outside the table.
    double minimumRowHeight(int row) const;
    Acad::ErrorStatus setRowHeight(int row, double height);
    Acad::ErrorStatus setRowHeight(double height);  // every row
    // The sums of the column widths and the row heights as shown.
    double width() const;
    double height() const;

    // ---- cells ----
    AcDb::RowType rowType(int row) const;
    AcDb::CellType cellType(int row, int column) const;
    Acad::ErrorStatus setCellType(int row, int column, AcDb::CellType type);
    // The cell's text (empty outside the table); textString gives a copy for the caller to free
    // with acutDelString.
    const ACHAR* textStringConst(int row, int column) const;
    ACHAR* textString(int row, int column) const;
    // Makes the cell a text cell holding `text` (null: empty).
    Acad::ErrorStatus setTextString(int row, int column, const ACHAR* text);
    // The block of a block cell, or the null id.
    AcDbObjectId blockTableRecordId(int row, int column) const;
    // Makes the cell a block cell showing the block (a block definition, not a layout's block:
    // eInvalidInput; eNotThatKindOfClass for an object that is no block), fitted to the cell
    // when autoFit. The null id makes it an empty text cell.
    Acad::ErrorStatus setBlockTableRecordId(int row, int column, AcDbObjectId block,
                                            bool autoFit = false);
    bool isAutoScale(int row, int column) const;
    Acad::ErrorStatus setAutoScale(int row, int column, bool autoFit);
    double blockScale(int row, int column) const;
    // eInvalidInput unless above 0.
    Acad::ErrorStatus setBlockScale(int row, int column, double scale);

    // ---- row types and cell overrides ----
    AcDbObjectId textStyle(AcDb::RowType rowType = AcDb::kDataRow) const;
    double textHeight(AcDb::RowType rowType = AcDb::kDataRow) const;
    AcDb::CellAlignment alignment(AcDb::RowType rowType = AcDb::kDataRow) const;
    // For every row type whose bit `rowTypes` holds (AcDb::kAllRowTypes: all three); a cell's own
    // height or alignment stays.
    Acad::ErrorStatus setTextStyle(AcDbObjectId style, int rowTypes = AcDb::kAllRowTypes);
    Acad::ErrorStatus setTextHeight(double height, int rowTypes = AcDb::kAllRowTypes);
    Acad::ErrorStatus setAlignment(AcDb::CellAlignment alignment,
                                   int rowTypes = AcDb::kAllRowTypes);
    // Of one cell: its own value, else its row type's (0 outside the table).
    double textHeight(int row, int column) const;
    AcDb::CellAlignment alignment(int row, int column) const;
    Acad::ErrorStatus setTextHeight(int row, int column, double height);
    Acad::ErrorStatus setAlignment(int row, int column, AcDb::CellAlignment alignment);

    // ---- merged cells ----
    Acad::ErrorStatus mergeCells(int minRow, int maxRow, int minColumn, int maxColumn);
    // Only a range merged as a whole (eInvalidInput otherwise).
    Acad::ErrorStatus unmergeCells(int minRow, int maxRow, int minColumn, int maxColumn);
    // True when the cell lies in a merged range, which is given through the pointers (each may
    // be null).
    bool isMergedCell(int row, int column, int* minRow = nullptr, int* maxRow = nullptr,
                      int* minColumn = nullptr, int* maxColumn = nullptr) const;

    // ---- placement and drawing ----
    // The table's x axis in the world.
    AcGeVector3d direction() const;
    // Turns the table in its plane so that its x axis follows `direction` (projected onto the
    // plane); eInvalidInput for a direction along the normal.
    Acad::ErrorStatus setDirection(const AcGeVector3d& direction);
    // Settles the sizes and makes the table's block again (in a database).
    Acad::ErrorStatus generateLayout();
    Acad::ErrorStatus recomputeTableBlock(bool forceUpdate = true);
    // The box of the table's cells in the world.
    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    // Moves, turns and mirrors the table and scales it uniformly (sizes, heights and margins
    // with it); eCannotScaleNonUniformly otherwise, nothing changed.
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& matrix) override;

    // ---- the host's own use (the drawing file) ----
    struct Cell {
        AcDb::CellType type = AcDb::kTextCell;
        std::wstring text;
        AcDbObjectId block;
        bool autoFit = false;
        double blockScale = 1.0;
        double textHeight = 0.0;  // 0: the row type's
        int alignment = 0;        // 0: the row type's
    };
    struct Range {
        int minRow, maxRow, minColumn, maxColumn;
    };
    const Cell* qvCell(int row, int column) const;
    Cell* qvCell(int row, int column);
    const std::vector<Range>& qvMerged() const { return m_merged; }
    // The heights as set (not grown to the content).
    const std::vector<double>& qvSetRowHeights() const { return m_rowHeights; }
    const AcDbTableStyle::RowSettings& qvRowSettings(int index) const { return m_rows[index]; }
    AcDbTableStyle::RowSettings& qvRowSettings(int index) { return m_rows[index]; }
    // Sets what a file held, without checks of the content: sizes, cells in row order, merged
    // ranges (overlapping or out-of-range ones are left out). False when the counts disagree.
    bool qvSetGrid(std::vector<double> rowHeights, std::vector<double> columnWidths,
                   std::vector<Cell> cells, const std::vector<Range>& merged);
    void qvSetStyleId(AcDbObjectId style) { m_style = style; }
    // The anonymous block that draws the table (null until it is made).
    AcDbObjectId qvTableBlock() const { return m_tableBlock; }
    // Takes the block read from a file as the table's own (shown by it, made again on change).
    void qvSetTableBlock(AcDbObjectId block);
    // The height each row is shown with (the same as rowHeight, for all rows at once).
    std::vector<double> qvShownRowHeights() const;

  protected:
    void qvAdded() override;
    Acad::ErrorStatus qvErasing(bool erasing) override;
    void qvClosingWrite() override;

  private:
    bool validCell(int row, int column) const;
    int rangeIndexAt(int row, int column) const;
    // Width between the margins that a cell's content may take (its merged range's columns).
    double contentWidth(int row, int column) const;
    double contentHeight(int row, int column) const;
    std::vector<std::wstring> lines(int row, int column) const;
    // Edits the rows or columns: `rows` chooses the axis.
    Acad::ErrorStatus insertLines(bool rows, int at, double size, int count);
    Acad::ErrorStatus deleteLines(bool rows, int at, int count);
    void changed() { m_dirty = true; }
    void buildBlock();

    AcDbObjectId m_style;
    AcDb::FlowDirection m_flow = AcDb::kTtoB;
    bool m_titleSuppressed = false, m_headerSuppressed = false;
    double m_horzMargin = 0.06, m_vertMargin = 0.06;
    AcDbTableStyle::RowSettings m_rows[3];
    std::vector<double> m_rowHeights, m_columnWidths;
    std::vector<Cell> m_cells;  // row by row
    std::vector<Range> m_merged;
    AcDbObjectId m_tableBlock;
    bool m_dirty = true;
};

namespace qv::host {
// The text rule of table cells, in text heights: the width of a character (as AcDbText's box)
// and the gap between two lines.
inline constexpr double kTableCharacterWidth = 0.6;
inline constexpr double kTableLineGap = 2.0 / 3.0;
// True when a block is in use: shown by a block reference or a table (not erased) or drawn in a
// cell of such a table.
bool isBlockInUse(const AcDbDatabase& database, AcDbObjectId block);
// The box of a block definition's entities (attribute definitions left out) in its own
// coordinates, its origin at 0; empty when it has none.
AcDbExtents blockContentBox(AcDbObjectId block);
}  // namespace qv::host
