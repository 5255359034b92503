#include "host/db/AcDbTable.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDatabase.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcDbTable, AcDbBlockReference, L"ACAD_TABLE")

using qv::host::ObjectAccess;

namespace {

using qv::host::kTableCharacterWidth;
using qv::host::kTableLineGap;

bool positive(double value) {
    return value > 0.0 && std::isfinite(value);
}

}  // namespace

namespace qv::host {

AcDbExtents blockContentBox(AcDbObjectId block) {
    AcDbExtents box;
    if (ObjectAccess::peekAs<AcDbBlockTableRecord>(block) == nullptr) {
        return box;
    }
    const AcDbBlockReference probe(AcGePoint3d::kOrigin, block);
    if (probe.getGeomExtents(box) != Acad::eOk) {
        return AcDbExtents();
    }
    return box;
}

}  // namespace qv::host

namespace {

// Splits a cell's text into lines at "\P" and line feeds, then between words where a line is
// wider than `width` (no limit when width is not above 0).
std::vector<std::wstring> wrap(const std::wstring& text, double height, double width) {
    std::vector<std::wstring> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' || (text[i] == L'\\' && i + 1 < text.size() && text[i + 1] == L'P')) {
            i += text[i] == L'\\' ? 1 : 0;
            paragraphs.emplace_back();
        } else if (text[i] != L'\r') {
            paragraphs.back() += text[i];
        }
    }
    const double perCharacter = kTableCharacterWidth * height;
    const size_t fits = positive(width) && positive(perCharacter)
                            ? static_cast<size_t>(std::max(1.0, std::floor(width / perCharacter)))
                            : SIZE_MAX;
    std::vector<std::wstring> out;
    for (const std::wstring& paragraph : paragraphs) {
        std::wstring line;
        size_t start = 0;
        while (start <= paragraph.size()) {
            size_t end = paragraph.find(L' ', start);
            if (end == std::wstring::npos) {
                end = paragraph.size();
            }
            const std::wstring word = paragraph.substr(start, end - start);
            if (line.empty()) {
                line = word;
            } else if (line.size() + 1 + word.size() <= fits) {
                line += L' ' + word;
            } else {
                out.push_back(line);
                line = word;
            }
            start = end + 1;
        }
        out.push_back(line);
    }
    return out;
}

double textBlockHeight(size_t lines, double height) {
    const double n = static_cast<double>(std::max<size_t>(1, lines));
    return n * height + (n - 1.0) * kTableLineGap * height;
}

}  // namespace

// ---- construction ----

AcDbTable::AcDbTable() : m_rowHeights{0.5}, m_columnWidths{2.5}, m_cells(1) {}

AcDbTable::AcDbTable(const AcDbTable& other)
    : AcDbBlockReference(other),
      m_style(other.m_style),
      m_flow(other.m_flow),
      m_titleSuppressed(other.m_titleSuppressed),
      m_headerSuppressed(other.m_headerSuppressed),
      m_horzMargin(other.m_horzMargin),
      m_vertMargin(other.m_vertMargin),
      m_rows{other.m_rows[0], other.m_rows[1], other.m_rows[2]},
      m_rowHeights(other.m_rowHeights),
      m_columnWidths(other.m_columnWidths),
      m_cells(other.m_cells),
      m_merged(other.m_merged) {}

bool AcDbTable::validCell(int row, int column) const {
    return row >= 0 && row < numRows() && column >= 0 && column < numColumns();
}

const AcDbTable::Cell* AcDbTable::qvCell(int row, int column) const {
    return validCell(row, column)
               ? &m_cells[static_cast<size_t>(row) * static_cast<size_t>(numColumns()) +
                          static_cast<size_t>(column)]
               : nullptr;
}

AcDbTable::Cell* AcDbTable::qvCell(int row, int column) {
    return const_cast<Cell*>(static_cast<const AcDbTable*>(this)->qvCell(row, column));
}

// ---- style ----

Acad::ErrorStatus AcDbTable::setTableStyle(AcDbObjectId style) {
    assertWriteEnabled();
    if (style.isNull()) {
        return Acad::eNullObjectId;
    }
    const auto* found = ObjectAccess::peekAs<AcDbTableStyle>(style);
    if (found == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    m_style = style;
    m_flow = found->flowDirection();
    m_titleSuppressed = found->isTitleSuppressed();
    m_headerSuppressed = found->isHeaderSuppressed();
    m_horzMargin = found->horzCellMargin();
    m_vertMargin = found->vertCellMargin();
    for (int i = 0; i < 3; ++i) {
        m_rows[i] = found->qvRow(i);
    }
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setFlowDirection(AcDb::FlowDirection direction) {
    assertWriteEnabled();
    switch (direction) {
        case AcDb::kTtoB:
        case AcDb::kBtoT:
            m_flow = direction;
            changed();
            return Acad::eOk;
    }
    return Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbTable::suppressTitleRow(bool suppress) {
    assertWriteEnabled();
    m_titleSuppressed = suppress;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::suppressHeaderRow(bool suppress) {
    assertWriteEnabled();
    m_headerSuppressed = suppress;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setHorzCellMargin(double margin) {
    assertWriteEnabled();
    if (!(margin >= 0.0) || !std::isfinite(margin)) {
        return Acad::eInvalidInput;
    }
    m_horzMargin = margin;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setVertCellMargin(double margin) {
    assertWriteEnabled();
    if (!(margin >= 0.0) || !std::isfinite(margin)) {
        return Acad::eInvalidInput;
    }
    m_vertMargin = margin;
    changed();
    return Acad::eOk;
}

// ---- size ----

Acad::ErrorStatus AcDbTable::setNumRows(int rows) {
    assertWriteEnabled();
    if (rows < 1) {
        return Acad::eInvalidInput;
    }
    if (rows > numRows()) {
        return insertLines(true, numRows(), m_rowHeights.back(), rows - numRows());
    }
    return rows < numRows() ? deleteLines(true, rows, numRows() - rows) : Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setNumColumns(int columns) {
    assertWriteEnabled();
    if (columns < 1) {
        return Acad::eInvalidInput;
    }
    if (columns > numColumns()) {
        return insertLines(false, numColumns(), m_columnWidths.back(), columns - numColumns());
    }
    return columns < numColumns() ? deleteLines(false, columns, numColumns() - columns) : Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setSize(int rows, int columns) {
    assertWriteEnabled();
    if (rows < 1 || columns < 1) {
        return Acad::eInvalidInput;
    }
    setNumRows(rows);
    return setNumColumns(columns);
}

Acad::ErrorStatus AcDbTable::insertRows(int row, double height, int count) {
    assertWriteEnabled();
    return insertLines(true, row, height, count);
}

Acad::ErrorStatus AcDbTable::deleteRows(int row, int count) {
    assertWriteEnabled();
    return deleteLines(true, row, count);
}

Acad::ErrorStatus AcDbTable::insertColumns(int column, double width, int count) {
    assertWriteEnabled();
    return insertLines(false, column, width, count);
}

Acad::ErrorStatus AcDbTable::deleteColumns(int column, int count) {
    assertWriteEnabled();
    return deleteLines(false, column, count);
}

Acad::ErrorStatus AcDbTable::insertLines(bool rows, int at, double size, int count) {
    std::vector<double>& sizes = rows ? m_rowHeights : m_columnWidths;
    if (at < 0 || at > static_cast<int>(sizes.size())) {
        return Acad::eInvalidIndex;
    }
    if (!positive(size) || count < 1) {
        return Acad::eInvalidInput;
    }
    const size_t oldRows = static_cast<size_t>(numRows());
    const size_t oldColumns = static_cast<size_t>(numColumns());
    const size_t where = static_cast<size_t>(at), added = static_cast<size_t>(count);
    if (rows) {
        // Cells are kept row by row: new rows are one run of cells, so appending a row (as a
        // table filled row by row does) costs a row, not the whole table.
        m_cells.insert(m_cells.begin() + static_cast<std::ptrdiff_t>(where * oldColumns),
                       added * oldColumns, Cell());
    } else {
        const size_t newColumns = oldColumns + added;
        std::vector<Cell> cells(oldRows * newColumns);
        for (size_t r = 0; r < oldRows; ++r) {
            for (size_t c = 0; c < oldColumns; ++c)
                cells[r * newColumns + (c >= where ? c + added : c)] =
                    std::move(m_cells[r * oldColumns + c]);
        }
        m_cells = std::move(cells);
    }
    sizes.insert(sizes.begin() + at, added, size);
    for (Range& range : m_merged) {
        int& low = rows ? range.minRow : range.minColumn;
        int& high = rows ? range.maxRow : range.maxColumn;
        if (low >= at) {
            low += count;
            high += count;
        } else if (high >= at) {
            high += count;  // inserted inside the range: it grows
        }
    }
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::deleteLines(bool rows, int at, int count) {
    std::vector<double>& sizes = rows ? m_rowHeights : m_columnWidths;
    const int total = static_cast<int>(sizes.size());
    if (at < 0 || at >= total) {
        return Acad::eInvalidIndex;
    }
    if (count < 1 || at + count > total || count == total) {
        return Acad::eInvalidInput;
    }
    const int oldColumns = numColumns();
    const int newColumns = rows ? oldColumns : oldColumns - count;
    std::vector<Cell> cells;
    cells.reserve(m_cells.size());
    for (int r = 0; r < numRows(); ++r) {
        for (int c = 0; c < oldColumns; ++c) {
            const int along = rows ? r : c;
            if (along < at || along >= at + count) {
                cells.push_back(std::move(*qvCell(r, c)));
            }
        }
    }
    (void)newColumns;
    m_cells = std::move(cells);
    sizes.erase(sizes.begin() + at, sizes.begin() + at + count);
    std::vector<Range> kept;
    for (Range range : m_merged) {
        int& low = rows ? range.minRow : range.minColumn;
        int& high = rows ? range.maxRow : range.maxColumn;
        const int removedBelowLow = std::clamp(low - at, 0, count);
        const int removedUpToHigh = std::clamp(high + 1 - at, 0, count);
        low -= removedBelowLow;
        high -= removedUpToHigh;
        if (high >= low && (range.maxRow > range.minRow || range.maxColumn > range.minColumn)) {
            kept.push_back(range);
        }
    }
    m_merged = std::move(kept);
    changed();
    return Acad::eOk;
}

double AcDbTable::columnWidth(int column) const {
    return column >= 0 && column < numColumns() ? m_columnWidths[static_cast<size_t>(column)] : 0.0;
}

Acad::ErrorStatus AcDbTable::setColumnWidth(int column, double width) {
    assertWriteEnabled();
    if (column < 0 || column >= numColumns()) {
        return Acad::eInvalidIndex;
    }
    if (!positive(width)) {
        return Acad::eInvalidInput;
    }
    m_columnWidths[static_cast<size_t>(column)] = width;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setColumnWidth(double width) {
    assertWriteEnabled();
    if (!positive(width)) {
        return Acad::eInvalidInput;
    }
    std::fill(m_columnWidths.begin(), m_columnWidths.end(), width);
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setRowHeight(int row, double height) {
    assertWriteEnabled();
    if (row < 0 || row >= numRows()) {
        return Acad::eInvalidIndex;
    }
    if (!positive(height)) {
        return Acad::eInvalidInput;
    }
    m_rowHeights[static_cast<size_t>(row)] = height;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setRowHeight(double height) {
    assertWriteEnabled();
    if (!positive(height)) {
        return Acad::eInvalidInput;
    }
    std::fill(m_rowHeights.begin(), m_rowHeights.end(), height);
    changed();
    return Acad::eOk;
}

int AcDbTable::rangeIndexAt(int row, int column) const {
    for (size_t i = 0; i < m_merged.size(); ++i) {
        const Range& r = m_merged[i];
        if (row >= r.minRow && row <= r.maxRow && column >= r.minColumn && column <= r.maxColumn) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

double AcDbTable::contentWidth(int row, int column) const {
    int lastColumn = column;
    const int range = rangeIndexAt(row, column);
    if (range >= 0) {
        lastColumn = m_merged[static_cast<size_t>(range)].maxColumn;
    }
    double width = 0.0;
    for (int c = column; c <= lastColumn; ++c) {
        width += columnWidth(c);
    }
    return width - 2.0 * m_horzMargin;
}

std::vector<std::wstring> AcDbTable::lines(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    if (cell == nullptr || cell->type == AcDb::kBlockCell) {
        return {};
    }
    return wrap(cell->text, textHeight(row, column), contentWidth(row, column));
}

double AcDbTable::contentHeight(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return 0.0;
    }
    if (cell->type == AcDb::kBlockCell) {
        const AcDbExtents box = qv::host::blockContentBox(cell->block);
        const double high = cell->autoFit || box.qvIsEmpty()
                                ? 0.0
                                : (box.maxPoint().y - box.minPoint().y) * cell->blockScale;
        return high + 2.0 * m_vertMargin;
    }
    return textBlockHeight(lines(row, column).size(), textHeight(row, column)) + 2.0 * m_vertMargin;
}

std::vector<double> AcDbTable::qvShownRowHeights() const {
    std::vector<double> shown(m_rowHeights.size());
    for (int r = 0; r < numRows(); ++r) {
        double need = 0.0;
        for (int c = 0; c < numColumns(); ++c) {
            const int index = rangeIndexAt(r, c);
            if (index < 0) {
                need = std::max(need, contentHeight(r, c));
                continue;
            }
            const Range& range = m_merged[static_cast<size_t>(index)];
            if (range.maxRow != r || range.minColumn != c) {
                continue;  // a range counts once, in its last row
            }
            double above = 0.0;
            for (int k = range.minRow; k < r; ++k) {
                above += shown[static_cast<size_t>(k)];
            }
            need = std::max(need, contentHeight(range.minRow, range.minColumn) - above);
        }
        shown[static_cast<size_t>(r)] = std::max(m_rowHeights[static_cast<size_t>(r)], need);
    }
    return shown;
}

double AcDbTable::rowHeight(int row) const {
    if (row < 0 || row >= numRows()) {
        return 0.0;
    }
    return qvShownRowHeights()[static_cast<size_t>(row)];
}

double AcDbTable::minimumRowHeight(int row) const {
    if (row < 0 || row >= numRows()) {
        return 0.0;
    }
    // The height shown with the set height taken away: what the content alone needs.
    AcDbTable probe(*this);
    probe.m_rowHeights[static_cast<size_t>(row)] = 0.0;
    return probe.qvShownRowHeights()[static_cast<size_t>(row)];
}

double AcDbTable::width() const {
    double sum = 0.0;
    for (const double w : m_columnWidths) {
        sum += w;
    }
    return sum;
}

double AcDbTable::height() const {
    double sum = 0.0;
    for (const double h : qvShownRowHeights()) {
        sum += h;
    }
    return sum;
}

// ---- cells ----

AcDb::RowType AcDbTable::rowType(int row) const {
    if (row < 0 || row >= numRows()) {
        return AcDb::kUnknownRow;
    }
    int next = 0;
    if (!m_titleSuppressed) {
        if (row == next) {
            return AcDb::kTitleRow;
        }
        ++next;
    }
    if (!m_headerSuppressed && row == next) {
        return AcDb::kHeaderRow;
    }
    return AcDb::kDataRow;
}

AcDb::CellType AcDbTable::cellType(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    return cell != nullptr ? cell->type : AcDb::kUnknownCell;
}

Acad::ErrorStatus AcDbTable::setCellType(int row, int column, AcDb::CellType type) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    switch (type) {
        case AcDb::kTextCell:
        case AcDb::kBlockCell:
            cell->type = type;
            changed();
            return Acad::eOk;
        case AcDb::kUnknownCell:
            break;
    }
    return Acad::eInvalidInput;
}

const ACHAR* AcDbTable::textStringConst(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    return cell != nullptr ? cell->text.c_str() : L"";
}

ACHAR* AcDbTable::textString(int row, int column) const {
    const std::wstring text = textStringConst(row, column);
    auto* copy = new ACHAR[text.size() + 1];
    std::wmemcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

Acad::ErrorStatus AcDbTable::setTextString(int row, int column, const ACHAR* text) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    cell->type = AcDb::kTextCell;
    cell->text = text != nullptr ? text : L"";
    changed();
    return Acad::eOk;
}

AcDbObjectId AcDbTable::blockTableRecordId(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    return cell != nullptr && cell->type == AcDb::kBlockCell ? cell->block : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbTable::setBlockTableRecordId(int row, int column, AcDbObjectId block,
                                                   bool autoFit) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    if (block.isNull()) {
        cell->type = AcDb::kTextCell;
        cell->block = AcDbObjectId::kNull;
        cell->text.clear();
        changed();
        return Acad::eOk;
    }
    const auto* record = ObjectAccess::peekAs<AcDbBlockTableRecord>(block);
    if (record == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    if (record->isLayout() || record->isErased() ||
        (database() != nullptr && record->database() != database())) {
        return Acad::eInvalidInput;
    }
    cell->type = AcDb::kBlockCell;
    cell->block = block;
    cell->autoFit = autoFit;
    changed();
    return Acad::eOk;
}

bool AcDbTable::isAutoScale(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    return cell != nullptr && cell->autoFit;
}

Acad::ErrorStatus AcDbTable::setAutoScale(int row, int column, bool autoFit) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    cell->autoFit = autoFit;
    changed();
    return Acad::eOk;
}

double AcDbTable::blockScale(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    return cell != nullptr ? cell->blockScale : 0.0;
}

Acad::ErrorStatus AcDbTable::setBlockScale(int row, int column, double scale) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    if (!positive(scale)) {
        return Acad::eInvalidInput;
    }
    cell->blockScale = scale;
    changed();
    return Acad::eOk;
}

// ---- row types and cell overrides ----

AcDbObjectId AcDbTable::textStyle(AcDb::RowType rowType) const {
    return m_rows[std::max(0, qv::host::rowTypeIndex(rowType))].textStyle;
}

double AcDbTable::textHeight(AcDb::RowType rowType) const {
    return m_rows[std::max(0, qv::host::rowTypeIndex(rowType))].textHeight;
}

AcDb::CellAlignment AcDbTable::alignment(AcDb::RowType rowType) const {
    return m_rows[std::max(0, qv::host::rowTypeIndex(rowType))].alignment;
}

Acad::ErrorStatus AcDbTable::setTextStyle(AcDbObjectId style, int rowTypes) {
    assertWriteEnabled();
    if ((rowTypes & AcDb::kAllRowTypes) == 0 ||
        (!style.isNull() && ObjectAccess::peekAs<AcDbTextStyleTableRecord>(style) == nullptr)) {
        return Acad::eInvalidInput;
    }
    for (const int i : qv::host::rowTypeIndexes(rowTypes)) {
        m_rows[i].textStyle = style;
    }
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setTextHeight(double height, int rowTypes) {
    assertWriteEnabled();
    if (!positive(height) || (rowTypes & AcDb::kAllRowTypes) == 0) {
        return Acad::eInvalidInput;
    }
    for (const int i : qv::host::rowTypeIndexes(rowTypes)) {
        m_rows[i].textHeight = height;
    }
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setAlignment(AcDb::CellAlignment alignment, int rowTypes) {
    assertWriteEnabled();
    if (!qv::host::isCellAlignment(alignment) || (rowTypes & AcDb::kAllRowTypes) == 0) {
        return Acad::eInvalidInput;
    }
    for (const int i : qv::host::rowTypeIndexes(rowTypes)) {
        m_rows[i].alignment = alignment;
    }
    changed();
    return Acad::eOk;
}

double AcDbTable::textHeight(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return 0.0;
    }
    return cell->textHeight > 0.0 ? cell->textHeight : textHeight(rowType(row));
}

AcDb::CellAlignment AcDbTable::alignment(int row, int column) const {
    const Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return AcDb::kTopLeft;
    }
    return qv::host::isCellAlignment(cell->alignment)
               ? static_cast<AcDb::CellAlignment>(cell->alignment)
               : alignment(rowType(row));
}

Acad::ErrorStatus AcDbTable::setTextHeight(int row, int column, double height) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    if (!positive(height)) {
        return Acad::eInvalidInput;
    }
    cell->textHeight = height;
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setAlignment(int row, int column, AcDb::CellAlignment alignment) {
    assertWriteEnabled();
    Cell* cell = qvCell(row, column);
    if (cell == nullptr) {
        return Acad::eInvalidIndex;
    }
    if (!qv::host::isCellAlignment(alignment)) {
        return Acad::eInvalidInput;
    }
    cell->alignment = alignment;
    changed();
    return Acad::eOk;
}
