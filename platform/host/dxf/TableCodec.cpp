// The codecs of tables (ACAD_TABLE) and table styles (TABLESTYLE).
//
// A table is written as a block reference to its anonymous block (2 the block's name, 10 the
// position), then its AcDbTable part:
//   280 0, 342 the table style, 343 the block, 11 the direction, 90, 91 rows, 92 columns,
//   93-96 0, 141 each row's height as shown, 142 each column's width, then per cell, row by row:
//     171 type (1 text, 2 block), 172 0, 173 1 inside a merged range but not its first cell,
//     174 auto-fit, 175 columns and 176 rows the cell spans (1 each unless merged), 91 0, 178 0,
//     145 0, then the text (1, after 2 chunks of 250 characters when longer) or the block (340
//     the block, 144 its scale, 179 0), then the cell's own text height (140) and alignment
//     (170) when it has them;
//   then 70 flow direction, 40 and 41 cell margins, 280 and 281 title and header suppressed, and
//   for the data, header and title rows in this order: 7 text style, 140 text height, 170
//   alignment.
// An empty text style name stands for the drawing's current text style.
// A style is written as 3 its description, 70 flow direction, 71 0, 40 and 41 margins, 280 and
// 281 suppression, then the same three groups of 7, 140 and 170.
// Tags the host does not model are kept in their place (header, cell, row group) and written back.
// A table whose cells do not add up to its rows times its columns is kept as read.
#include <string>
#include <vector>

#include "host/db/AcDbTable.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

constexpr size_t kChunk = 250;

AcDbObjectId textStyleNamed(ReadContext& c, std::string_view name) {
    AcDbObject* found = c.findName(NameTable::TextStyle, name);
    return found != nullptr ? found->objectId() : AcDbObjectId::kNull;
}

void writeRowGroups(const AcDbTableStyle::RowSettings (&rows)[3], WriteContext& c, int ordinal,
                    int firstItem) {
    for (int i = 0; i < 3; ++i) {
        c.out().raw(7, c.nameOf(rows[i].textStyle));  // empty: the drawing's current style
        c.out().real(140, rows[i].textHeight);
        c.out().integer(170, rows[i].alignment);
        c.writeLeftovers({ordinal, firstItem + i});
    }
}

// Reads one tag of the row groups (7 starts the next group); false when it is none of theirs.
bool readRowGroupTag(AcDbTableStyle::RowSettings (&rows)[3], int& group, const TagView& tag,
                     ReadContext& c, int ordinal, int firstItem) {
    double real = 0.0;
    std::int64_t integer = 0;
    if (tag.code == 7) {
        if (group < 2) {
            ++group;
            const std::string_view name = trimBlanks(tag.value);
            rows[group].textStyle = name.empty() ? AcDbObjectId::kNull : textStyleNamed(c, name);
            return true;
        }
        return false;
    }
    if (group < 0) {
        return false;
    }
    if (tag.code == 140 && parseDouble(tag.value, real) && real > 0.0) {
        rows[group].textHeight = real;
    } else if (tag.code == 170 && parseInteger(tag.value, integer) &&
               qv::host::isCellAlignment(static_cast<int>(integer))) {
        rows[group].alignment = static_cast<AcDb::CellAlignment>(integer);
    } else {
        c.leftover({ordinal, firstItem + group}, tag);
    }
    return true;
}

// ---- table styles ----

void readStyle(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    auto& style = static_cast<AcDbTableStyle&>(o);
    AcDbTableStyle::RowSettings rows[3] = {style.qvRow(0), style.qvRow(1), style.qvRow(2)};
    int group = -1;
    bool described = false;
    for (const TagView& tag : tags) {
        double real = 0.0;
        std::int64_t integer = 0;
        if (readRowGroupTag(rows, group, tag, c, ordinal, 0)) {
            continue;
        }
        if (group >= 0) {
            c.leftover({ordinal, -1}, tag);
        } else if (tag.code == 3) {
            style.setDescription(c.text(tag.value).c_str());
            described = true;
        } else if (tag.code == 70 && parseInteger(tag.value, integer)) {
            style.setFlowDirection(integer == 1 ? AcDb::kBtoT : AcDb::kTtoB);
        } else if (tag.code == 40 && parseDouble(tag.value, real)) {
            style.setHorzCellMargin(real);
        } else if (tag.code == 41 && parseDouble(tag.value, real)) {
            style.setVertCellMargin(real);
        } else if (tag.code == 280 && described && parseInteger(tag.value, integer)) {
            style.suppressTitleRow(integer != 0);
        } else if (tag.code == 281 && parseInteger(tag.value, integer)) {
            style.suppressHeaderRow(integer != 0);
        } else if (!(tag.code == 280 && !described) && tag.code != 71) {
            c.leftover({ordinal, -1}, tag);
        }
    }
    for (int i = 0; i < 3; ++i) {
        style.qvRow(i) = rows[i];
    }
}

void writeStyle(const AcDbObject& o, WriteContext& c, int ordinal) {
    const auto& style = static_cast<const AcDbTableStyle&>(o);
    c.out().integer(280, 0);
    c.text(3, style.description());
    c.out().integer(70, style.flowDirection());
    c.out().integer(71, 0);
    c.out().real(40, style.horzCellMargin());
    c.out().real(41, style.vertCellMargin());
    c.out().integer(280, style.isTitleSuppressed() ? 1 : 0);
    c.out().integer(281, style.isHeaderSuppressed() ? 1 : 0);
    c.writeLeftovers({ordinal, -1});
    const AcDbTableStyle::RowSettings rows[3] = {style.qvRow(0), style.qvRow(1), style.qvRow(2)};
    writeRowGroups(rows, c, ordinal, 0);
}

const SubclassDef kStyle[] = {
    {"", {}},
    {"AcDbTableStyle", {}, readStyle, writeStyle},
};
const CodecOf<AcDbTableStyle> kStyleCodec("TABLESTYLE", kStyle);

// ---- tables ----

AcDbTable& tableOf(AcDbObject& o) {
    return static_cast<AcDbTable&>(o);
}
const AcDbTable& tableOf(const AcDbObject& o) {
    return static_cast<const AcDbTable&>(o);
}

bool readBlockName(AcDbObject& o, const FieldValue& v, ReadContext& c) {
    if (!trimBlanks(v.text).empty()) {
        c.referByName(o, NameTable::Block, v.text,
                      [](AcDbObject& t, AcDbObjectId id, const RefArgs&) {
                          if (tableOf(t).qvTableBlock().isNull()) {
                              tableOf(t).qvSetTableBlock(id);
                          }
                      });
    }
    return true;
}
void writeBlockName(const AcDbObject& o, const Field&, WriteContext& c) {
    const std::string& name = c.nameOf(tableOf(o).qvTableBlock());
    if (!name.empty()) {
        c.out().raw(2, name);
    }
}

constexpr Field kReferenceFields[] = {
    custom(2, FieldKind::Text, readBlockName, writeBlockName),
    point<AcDbBlockReference, &AcDbBlockReference::position, &AcDbBlockReference::setPosition>(10),
    normal<AcDbBlockReference, &AcDbBlockReference::normal, &AcDbBlockReference::setNormal>(210),
};

// What one table record holds, gathered before the table takes it.
struct TableRead {
    std::vector<double> heights, widths;
    std::vector<AcDbTable::Cell> cells;
    std::vector<AcDbTable::Range> merged;
    std::vector<int> spans;  // per cell: columns, rows
    std::int64_t rows = 0, columns = 0;
    std::wstring chunks;  // code 2 text before the 1
    AcDbTableStyle::RowSettings rowSettings[3];
    double direction[3] = {1.0, 0.0, 0.0};
    bool haveDirection = false;
};

// The counts a table record declares and the cells it holds; `inTable` when the tags are the
// AcDbTable part alone.
bool countsOf(std::span<const TagView> body, std::int64_t& rows, std::int64_t& columns,
              size_t& cells, bool inTable = false) {
    rows = columns = 0;
    cells = 0;
    for (const TagView& tag : body) {
        if (tag.code == 100) {
            inTable = tag.value == "AcDbTable";
        } else if (inTable && tag.code == 91 && rows == 0 && cells == 0) {
            parseInteger(tag.value, rows);
        } else if (inTable && tag.code == 92 && columns == 0 && cells == 0) {
            parseInteger(tag.value, columns);
        } else if (inTable && tag.code == 171) {
            ++cells;
        }
    }
    return rows >= 1 && columns >= 1 && rows <= 100000 && columns <= 100000 &&
           static_cast<std::int64_t>(cells) == rows * columns;
}

class TableCodec : public CodecOf<AcDbTable> {
  public:
    using CodecOf::CodecOf;
    bool canModel(std::span<const TagView> body) const override {
        std::int64_t rows = 0, columns = 0;
        size_t cells = 0;
        return countsOf(body, rows, columns, cells);
    }
};

void readTable(AcDbObject& o, std::span<const TagView> tags, ReadContext& c, int ordinal) {
    AcDbTable& table = tableOf(o);
    TableRead r;
    for (int i = 0; i < 3; ++i) {
        r.rowSettings[i] = table.qvRowSettings(i);
    }
    size_t cellTotal = 0;
    countsOf(tags, r.rows, r.columns, cellTotal, true);
    const int rowsItem = static_cast<int>(cellTotal);  // the row groups' leftovers, then loose
    enum class Phase { Header, Cells, After } phase = Phase::Header;
    int group = -1;
    bool seenRows = false, seenColumns = false;
    for (const TagView& tag : tags) {
        double real = 0.0;
        std::int64_t integer = 0;
        std::uint64_t handle = 0;
        if (tag.code == 171 && r.cells.size() < cellTotal) {
            phase = Phase::Cells;
            r.cells.emplace_back();
            r.spans.push_back(1);
            r.spans.push_back(1);
            parseInteger(tag.value, integer);
            r.cells.back().type = integer == 2 ? AcDb::kBlockCell : AcDb::kTextCell;
            r.chunks.clear();
            continue;
        }
        if (phase == Phase::Cells && r.cells.size() == cellTotal &&
            (tag.code == 70 || tag.code == 7)) {
            phase = Phase::After;
        }
        switch (phase) {
            case Phase::Header:
                if (tag.code == 342) {
                    c.referByHandle(
                        o, tag.value,
                        [](AcDbObject& t, AcDbObjectId id, const RefArgs&) {
                            tableOf(t).qvSetStyleId(id);
                        },
                        "table style");
                } else if (tag.code == 343) {
                    c.referByHandle(
                        o, tag.value,
                        [](AcDbObject& t, AcDbObjectId id, const RefArgs&) {
                            tableOf(t).qvSetTableBlock(id);
                        },
                        "table block");
                } else if (tag.code >= 11 && tag.code <= 31 && tag.code % 10 == 1 &&
                           parseDouble(tag.value, real)) {
                    r.direction[(tag.code - 11) / 10] = real;
                    r.haveDirection = true;
                } else if (tag.code == 91 && !seenRows) {
                    seenRows = true;
                } else if (tag.code == 92 && !seenColumns) {
                    seenColumns = true;
                } else if (tag.code == 141 && parseDouble(tag.value, real)) {
                    r.heights.push_back(real);
                } else if (tag.code == 142 && parseDouble(tag.value, real)) {
                    r.widths.push_back(real);
                } else if (!(tag.code == 280 || tag.code == 90 ||
                             (tag.code >= 93 && tag.code <= 96))) {
                    c.leftover({ordinal, -1}, tag);
                }
                break;
            case Phase::Cells: {
                AcDbTable::Cell& cell = r.cells.back();
                const size_t index = r.cells.size() - 1;
                if (tag.code == 174 && parseInteger(tag.value, integer)) {
                    cell.autoFit = integer != 0;
                } else if ((tag.code == 175 || tag.code == 176) &&
                           parseInteger(tag.value, integer) && integer >= 1) {
                    r.spans[2 * index + (tag.code == 175 ? 0 : 1)] = static_cast<int>(integer);
                } else if (tag.code == 2) {
                    r.chunks += c.text(tag.value);
                } else if (tag.code == 1) {
                    cell.text = r.chunks + c.text(tag.value);
                    r.chunks.clear();
                } else if (tag.code == 340 && parseHandle(tag.value, handle) && handle != 0) {
                    RefArgs args;
                    args.index = static_cast<int>(index);
                    c.referByHandle(
                        o, tag.value,
                        [](AcDbObject& t, AcDbObjectId id, const RefArgs& a) {
                            const int columns = tableOf(t).numColumns();
                            if (AcDbTable::Cell* target =
                                    tableOf(t).qvCell(a.index / columns, a.index % columns)) {
                                target->block = id;
                            }
                        },
                        "block of a table cell", std::move(args));
                } else if (tag.code == 144 && parseDouble(tag.value, real) && real > 0.0) {
                    cell.blockScale = real;
                } else if (tag.code == 140 && parseDouble(tag.value, real) && real > 0.0) {
                    cell.textHeight = real;
                } else if (tag.code == 170 && parseInteger(tag.value, integer) &&
                           qv::host::isCellAlignment(static_cast<int>(integer))) {
                    cell.alignment = static_cast<int>(integer);
                } else if (!(tag.code == 172 || tag.code == 173 || tag.code == 91 ||
                             tag.code == 178 || tag.code == 145 || tag.code == 179)) {
                    c.leftover({ordinal, static_cast<int>(index)}, tag);
                }
                break;
            }
            case Phase::After:
                if (readRowGroupTag(r.rowSettings, group, tag, c, ordinal, rowsItem)) {
                    break;
                }
                if (group < 0 && tag.code == 70 && parseInteger(tag.value, integer)) {
                    table.setFlowDirection(integer == 1 ? AcDb::kBtoT : AcDb::kTtoB);
                } else if (group < 0 && tag.code == 40 && parseDouble(tag.value, real)) {
                    table.setHorzCellMargin(real);
                } else if (group < 0 && tag.code == 41 && parseDouble(tag.value, real)) {
                    table.setVertCellMargin(real);
                } else if (group < 0 && tag.code == 280 && parseInteger(tag.value, integer)) {
                    table.suppressTitleRow(integer != 0);
                } else if (group < 0 && tag.code == 281 && parseInteger(tag.value, integer)) {
                    table.suppressHeaderRow(integer != 0);
                } else {
                    c.leftover({ordinal, rowsItem + 3}, tag);
                }
                break;
        }
    }
    for (int i = 0; i < 3; ++i) {
        table.qvRowSettings(i) = r.rowSettings[i];
    }
    const size_t columns = static_cast<size_t>(r.columns);
    for (size_t i = 0; i < r.cells.size(); ++i) {
        const int across = r.spans[2 * i], down = r.spans[2 * i + 1];
        if (across > 1 || down > 1) {
            const int row = static_cast<int>(i / columns), column = static_cast<int>(i % columns);
            r.merged.push_back({row, row + down - 1, column, column + across - 1});
        }
    }
    r.heights.resize(static_cast<size_t>(r.rows), 0.0);
    r.widths.resize(columns, 0.0);
    if (!table.qvSetGrid(r.heights, r.widths, std::move(r.cells), r.merged)) {
        c.warn(Fix::RefusedValue, c.recordLine(), "a table whose cells do not fill it was left");
    }
    if (r.haveDirection) {
        table.setDirection(AcGeVector3d(r.direction[0], r.direction[1], r.direction[2]));
    }
}

void writeText(WriteContext& c, const std::wstring& text) {
    size_t at = 0;
    while (text.size() - at >= kChunk) {
        c.text(2, std::wstring_view(text).substr(at, kChunk));
        at += kChunk;
    }
    c.text(1, std::wstring_view(text).substr(at));
}

void writeTable(const AcDbObject& o, WriteContext& c, int ordinal) {
    const AcDbTable& t = tableOf(o);
    c.out().integer(280, 0);
    c.reference(342, t.tableStyle());
    c.reference(343, t.qvTableBlock());
    const AcGeVector3d d = t.direction();
    c.out().point(11, d.x, d.y, d.z);
    c.out().integer(90, 22);
    c.out().integer(91, t.numRows());
    c.out().integer(92, t.numColumns());
    for (int code = 93; code <= 96; ++code) {
        c.out().integer(code, 0);
    }
    c.writeLeftovers({ordinal, -1});
    for (const double h : t.qvShownRowHeights()) {
        c.out().real(141, h);
    }
    for (int column = 0; column < t.numColumns(); ++column) {
        c.out().real(142, t.columnWidth(column));
    }
    int index = 0;
    for (int row = 0; row < t.numRows(); ++row) {
        for (int column = 0; column < t.numColumns(); ++column, ++index) {
            const AcDbTable::Cell& cell = *t.qvCell(row, column);
            int minRow = row, maxRow = row, minColumn = column, maxColumn = column;
            const bool merged =
                t.isMergedCell(row, column, &minRow, &maxRow, &minColumn, &maxColumn);
            const bool first = minRow == row && minColumn == column;
            c.out().integer(171, cell.type == AcDb::kBlockCell ? 2 : 1);
            c.out().integer(172, 0);
            c.out().integer(173, merged && !first ? 1 : 0);
            c.out().integer(174, cell.autoFit ? 1 : 0);
            c.out().integer(175, merged && first ? maxColumn - minColumn + 1 : 1);
            c.out().integer(176, merged && first ? maxRow - minRow + 1 : 1);
            c.out().integer(91, 0);
            c.out().integer(178, 0);
            c.out().real(145, 0.0);
            if (cell.type == AcDb::kBlockCell) {
                c.reference(340, cell.block);
                c.out().real(144, cell.blockScale);
                c.out().integer(179, 0);
            } else {
                writeText(c, cell.text);
            }
            if (cell.textHeight > 0.0) {
                c.out().real(140, cell.textHeight);
            }
            if (qv::host::isCellAlignment(cell.alignment)) {
                c.out().integer(170, cell.alignment);
            }
            c.writeLeftovers({ordinal, index});
        }
    }
    c.out().integer(70, t.flowDirection());
    c.out().real(40, t.horzCellMargin());
    c.out().real(41, t.vertCellMargin());
    c.out().integer(280, t.isTitleSuppressed() ? 1 : 0);
    c.out().integer(281, t.isHeaderSuppressed() ? 1 : 0);
    const AcDbTableStyle::RowSettings rows[3] = {t.qvRowSettings(0), t.qvRowSettings(1),
                                                 t.qvRowSettings(2)};
    writeRowGroups(rows, c, ordinal, index);
    c.writeLeftovers({ordinal, index + 3});
}

const SubclassDef kTable[] = {
    kEntitySubclass,
    {"AcDbBlockReference", kReferenceFields},
    {"AcDbTable", {}, readTable, writeTable},
};
const TableCodec kTableCodec("ACAD_TABLE", kTable);

}  // namespace

std::span<const Codec* const> tableCodecs() {
    static const Codec* const codecs[] = {&kStyleCodec, &kTableCodec};
    return codecs;
}

}  // namespace qv::dxf
