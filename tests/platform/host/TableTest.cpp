// Tables: their grid, row types and the heights rows grow to, table styles, the block that draws
// a table, and erasing block definitions that are still in use.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "drawing/BlockDefinitions.h"
#include "host/db/ObjectAccess.h"
#include "support/CpuBudget.h"
#include "support/HostFixture.h"
#include "support/HostDrawing.h"

namespace {

using qv::host::ObjectAccess;
using qv::test::DrawingTest;

// The cell texts row by row, "|" between cells and "/" between rows.
std::string grid(const AcDbTable& t) {
    std::string out;
    for (int r = 0; r < t.numRows(); ++r) {
        for (int c = 0; c < t.numColumns(); ++c) {
            const std::wstring text = t.textStringConst(r, c);
            out += std::string(text.begin(), text.end()) + (c + 1 < t.numColumns() ? "|" : "");
        }
        out += r + 1 < t.numRows() ? "/" : "";
    }
    return out;
}

std::string merges(const AcDbTable& t) {
    std::string out;
    for (const AcDbTable::Range& m : t.qvMerged()) {
        out += std::to_string(m.minRow) + std::to_string(m.maxRow) + std::to_string(m.minColumn) +
               std::to_string(m.maxColumn) + " ";
    }
    return out;
}

// A 3 x 3 table "a".."i" with the first row merged over its three cells.
void fill(AcDbTable& t) {
    t.setSize(3, 3);
    const char* texts = "abcdefghi";
    for (int i = 0; i < 9; ++i) {
        const wchar_t text[2] = {static_cast<wchar_t>(texts[i]), 0};
        t.setTextString(i / 3, i % 3, text);
    }
    t.mergeCells(0, 0, 0, 2);
}

TEST(AcDbTableGrid, EditsMoveCellsAndMergedRanges) {
    const struct {
        const char* name;
        Acad::ErrorStatus (*edit)(AcDbTable&);
        Acad::ErrorStatus status;
        std::string grid, merged;
    } cases[] = {
        {"as made", [](AcDbTable&) { return Acad::eOk; }, Acad::eOk, "a|b|c/d|e|f/g|h|i", "0002 "},
        {"a row inserted in the middle", [](AcDbTable& t) { return t.insertRows(1, 2.0); },
         Acad::eOk, "a|b|c/||/d|e|f/g|h|i", "0002 "},
        {"a row inserted at the merged range's row", [](AcDbTable& t) { return t.insertRows(0, 2.0); },
         Acad::eOk, "||/a|b|c/d|e|f/g|h|i", "1102 "},
        {"rows appended", [](AcDbTable& t) { return t.setNumRows(5); }, Acad::eOk,
         "a|b|c/d|e|f/g|h|i/||/||", "0002 "},
        {"a row deleted", [](AcDbTable& t) { return t.deleteRows(1); }, Acad::eOk, "a|b|c/g|h|i",
         "0002 "},
        {"a column inserted inside the merged range",
         [](AcDbTable& t) { return t.insertColumns(1, 1.0); }, Acad::eOk, "a||b|c/d||e|f/g||h|i",
         "0003 "},
        {"the merged range loses a column", [](AcDbTable& t) { return t.deleteColumns(0, 2); },
         Acad::eOk, "c/f/i", ""},
        {"the columns cut to two", [](AcDbTable& t) { return t.setNumColumns(2); }, Acad::eOk,
         "a|b/d|e/g|h", "0001 "},
        {"a second range", [](AcDbTable& t) { return t.mergeCells(1, 2, 1, 2); }, Acad::eOk,
         "a|b|c/d|e|f/g|h|i", "0002 1212 "},
        {"overlapping ranges", [](AcDbTable& t) { return t.mergeCells(0, 1, 0, 0); },
         Acad::eInvalidInput, "a|b|c/d|e|f/g|h|i", "0002 "},
        {"one cell is no range", [](AcDbTable& t) { return t.mergeCells(1, 1, 1, 1); },
         Acad::eInvalidInput, "a|b|c/d|e|f/g|h|i", "0002 "},
        {"a range outside", [](AcDbTable& t) { return t.mergeCells(1, 3, 0, 0); },
         Acad::eInvalidIndex, "a|b|c/d|e|f/g|h|i", "0002 "},
        {"unmerging a part", [](AcDbTable& t) { return t.unmergeCells(0, 0, 0, 1); },
         Acad::eInvalidInput, "a|b|c/d|e|f/g|h|i", "0002 "},
        {"unmerging the range", [](AcDbTable& t) { return t.unmergeCells(0, 0, 0, 2); }, Acad::eOk,
         "a|b|c/d|e|f/g|h|i", ""},
        {"every row deleted", [](AcDbTable& t) { return t.deleteRows(0, 3); }, Acad::eInvalidInput,
         "a|b|c/d|e|f/g|h|i", "0002 "},
        {"no rows", [](AcDbTable& t) { return t.setNumRows(0); }, Acad::eInvalidInput,
         "a|b|c/d|e|f/g|h|i", "0002 "},
        {"a row of no height", [](AcDbTable& t) { return t.insertRows(1, 0.0); },
         Acad::eInvalidInput, "a|b|c/d|e|f/g|h|i", "0002 "},
        {"a text outside", [](AcDbTable& t) { return t.setTextString(3, 0, L"x"); },
         Acad::eInvalidIndex, "a|b|c/d|e|f/g|h|i", "0002 "},
    };
    for (const auto& c : cases) {
        AcDbTable table;
        fill(table);
        EXPECT_EQ(c.edit(table), c.status) << c.name;
        EXPECT_EQ(grid(table), c.grid) << c.name;
        EXPECT_EQ(merges(table), c.merged) << c.name;
        EXPECT_EQ(table.numRows() * table.numColumns(),
                  static_cast<int>(std::count(c.grid.begin(), c.grid.end(), '|') +
                                   std::count(c.grid.begin(), c.grid.end(), '/') + 1))
            << c.name;
    }
}

// A table filled row by row (a legend of many categories): each appended row costs a row, not
// the whole table, and every row keeps its own cells.
TEST(AcDbTableGrid, RowsAppendedOneByOneCostARowEach) {
    constexpr int kRows = 60000;
    AcDbTable table;
    table.setSize(2, 3);
    table.setTextString(1, 2, L"header");
    const qv::test::CpuBudget budget(2.0);
    int row = 2;
    for (; row < kRows + 2 && !budget.spent(); ++row) {
        ASSERT_EQ(table.insertRows(row, 1.5), Acad::eOk);
        table.setTextString(row, 0, std::to_wstring(row).c_str());
        table.setTextString(row, 2, L"a");
    }
    EXPECT_EQ(row, kRows + 2) << "out of time after " << row << " rows (" << budget.used()
                              << " s)";
    EXPECT_EQ(table.numRows(), row);
    for (int r : {2, row / 2, row - 1}) {
        EXPECT_EQ(table.textStringConst(r, 0), std::to_wstring(r)) << r;
        EXPECT_EQ(std::wstring(table.textStringConst(r, 1)), L"") << r;
        EXPECT_EQ(std::wstring(table.textStringConst(r, 2)), L"a") << r;
    }
    EXPECT_EQ(std::wstring(table.textStringConst(1, 2)), L"header");
}

TEST(AcDbTableGrid, RowTypesFollowTheSuppressedRows) {
    const struct {
        bool title, header;
        std::vector<AcDb::RowType> types;
    } cases[] = {
        {false, false, {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow}},
        {true, false, {AcDb::kHeaderRow, AcDb::kDataRow, AcDb::kDataRow}},
        {false, true, {AcDb::kTitleRow, AcDb::kDataRow, AcDb::kDataRow}},
        {true, true, {AcDb::kDataRow, AcDb::kDataRow, AcDb::kDataRow}},
    };
    for (const auto& c : cases) {
        AcDbTable table;
        table.setSize(3, 1);
        table.suppressTitleRow(c.title);
        table.suppressHeaderRow(c.header);
        table.setTextHeight(1.0, AcDb::kDataRow);
        table.setTextHeight(2.0, AcDb::kHeaderRow);
        table.setTextHeight(3.0, AcDb::kTitleRow);
        for (int r = 0; r < 3; ++r) {
            EXPECT_EQ(table.rowType(r), c.types[static_cast<size_t>(r)]) << c.title << c.header;
            EXPECT_EQ(table.textHeight(r, 0), table.textHeight(c.types[static_cast<size_t>(r)]));
        }
    }
}

// Rows grow to their content: lines of text (a word a line where the width is short), blocks,
// and merged ranges over several rows (the missing height goes to their last row).
TEST(AcDbTableGrid, RowsGrowToFitTheirContent) {
    const struct {
        const char* name;
        const wchar_t* text;
        double width;
        double expected;  // height of row 1, text height 1, margins 0.06, set height 1.5
    } cases[] = {
        {"a short text keeps the height set", L"Offices", 10.0, 1.5},
        {"an empty cell", L"", 10.0, 1.5},
        {"two paragraphs", L"Offices\\PFloor 2", 10.0, 2 + 2.0 / 3 + 0.12},
        {"a line feed too", L"a\nb\nc", 10.0, 3 + 4.0 / 3 + 0.12},
        // 2.4 wide: four characters of 0.6 a line.
        {"words wrap to the width", L"ab cd ef", 2.4 + 0.12, 3 + 4.0 / 3 + 0.12},
        {"a long word stays whole", L"abcdefghij", 2.4 + 0.12, 1.5},
        {"words that exactly fill the width stay on one line", L"ab cd", 3.0 + 0.12, 1.5},
    };
    for (const auto& c : cases) {
        AcDbTable table;
        table.setSize(3, 2);
        table.setRowHeight(1.5);
        table.setColumnWidth(c.width);
        table.setTextHeight(1.0);
        table.setTextString(1, 0, c.text);
        EXPECT_NEAR(table.rowHeight(1), c.expected, 1e-9) << c.name;
        EXPECT_NEAR(table.rowHeight(0), 1.5, 1e-9) << c.name;
        EXPECT_NEAR(table.height(), 3.0 + c.expected, 1e-9) << c.name;
    }
    // A text over two merged rows of 1.5 needs 3 + 4/3 + 0.12: the second row takes the rest.
    AcDbTable merged;
    merged.setSize(3, 1);
    merged.setRowHeight(1.5);
    merged.setTextHeight(1.0);
    merged.setTextString(0, 0, L"a\\Pb\\Pc");
    ASSERT_EQ(merged.mergeCells(0, 1, 0, 0), Acad::eOk);
    EXPECT_NEAR(merged.rowHeight(0), 1.5, 1e-9);
    EXPECT_NEAR(merged.rowHeight(1), 3 + 4.0 / 3 + 0.12 - 1.5, 1e-9);
    EXPECT_NEAR(merged.minimumRowHeight(2), 1.12, 1e-9);
    // A cell's own text height rules over its row type's.
    merged.setTextHeight(2, 0, 2.0);
    merged.setTextString(2, 0, L"x");
    EXPECT_NEAR(merged.rowHeight(2), 2.12, 1e-9);
}

class TableTest : public DrawingTest {
  protected:
    // A block of a 3 x 2 rectangle; its id.
    AcDbObjectId swatch(const ACHAR* name) {
        return qv::test::defineBlockOf(document(), name, {qv::test::rectangle(0, 0, 3, 2)});
    }

    // The entities of the table's block: "L" per line, the text of each text, "[name]" per
    // block reference, in order.
    std::vector<std::wstring> drawn(AcDbObjectId tableId) {
        std::vector<std::wstring> out;
        const auto* table = ObjectAccess::peekAs<AcDbTable>(tableId);
        const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(table->qvTableBlock());
        for (const AcDbObjectId& id : block->qvEntities()) {
            const AcDbObject* o = ObjectAccess::peek(id);
            if (o->isErased()) {
                continue;
            }
            if (const auto* text = AcDbText::cast(o)) {
                out.push_back(text->textStringConst());
            } else if (const auto* ref = AcDbBlockReference::cast(o)) {
                const auto* shown =
                    ObjectAccess::peekAs<AcDbBlockTableRecord>(ref->blockTableRecord());
                out.push_back(L"[" + shown->qvName() + L"]");
            } else if (AcDbLine::cast(o) != nullptr) {
                if (out.empty() || out.back() != L"L") {
                    out.push_back(L"L");
                }
            }
        }
        return out;
    }
};

TEST_F(TableTest, EveryDrawingHasTheStandardStyle) {
    AcDbDictionary* styles = nullptr;
    ASSERT_EQ(db()->getTableStyleDictionary(styles, AcDb::kForRead), Acad::eOk);
    AcDbObjectId standard;
    EXPECT_EQ(styles->getAt(L"Standard", standard), Acad::eOk);
    styles->close();
    EXPECT_EQ(standard, db()->tablestyle());
    AcDbTable table;
    EXPECT_EQ(table.setTableStyle(standard), Acad::eOk);
    EXPECT_DOUBLE_EQ(table.textHeight(AcDb::kTitleRow), 0.25);
    EXPECT_EQ(table.setTableStyle(db()->modelSpaceId()), Acad::eNotThatKindOfClass);
    EXPECT_EQ(table.setTableStyle(AcDbObjectId::kNull), Acad::eNullObjectId);
    EXPECT_EQ(table.setAlignment(static_cast<AcDb::CellAlignment>(10)), Acad::eInvalidInput);
    EXPECT_EQ(table.setTextHeight(0.0), Acad::eInvalidInput);
    EXPECT_DOUBLE_EQ(table.textHeight(AcDb::kDataRow), 0.18);
}

TEST_F(TableTest, TheBlockDrawsTheCellsAndFollowsChanges) {
    const AcDbObjectId hatch = swatch(L"SWATCH");
    auto* table = new AcDbTable;
    table->setTableStyle(db()->tablestyle());
    table->setSize(2, 2);
    table->mergeCells(0, 0, 0, 1);
    table->setTextString(0, 0, L"Legend");
    table->setTextString(1, 0, L"Offices");
    ASSERT_EQ(table->setBlockTableRecordId(1, 1, hatch, true), Acad::eOk);
    table->setColumnWidth(10.0);
    table->setRowHeight(4.0);
    table->setTextHeight(1.0);
    table->setAlignment(AcDb::kMiddleCenter);
    table->setPosition({100, 50, 0});
    const AcDbObjectId id = addToModelSpace(table);
    EXPECT_EQ(drawn(id), (std::vector<std::wstring>{L"L", L"Legend", L"Offices", L"[SWATCH]"}));

    AcDbTable* opened = nullptr;
    {
        WriteLock lock(document());
        ASSERT_EQ(acdbOpenObject(opened, id, AcDb::kForWrite), Acad::eOk);
        // Two columns of 10, two rows of 4, down from the position.
        AcDbExtents box;
        ASSERT_EQ(opened->getGeomExtents(box), Acad::eOk);
        EXPECT_TRUE(box.minPoint().isEqualTo({100, 42, 0}));
        EXPECT_TRUE(box.maxPoint().isEqualTo({120, 50, 0}));
        opened->setTextString(1, 0, L"Stores");
        opened->setTextHeight(1, 0, 2.0);
        opened->close();
    }
    EXPECT_EQ(drawn(id), (std::vector<std::wstring>{L"L", L"Legend", L"Stores", L"[SWATCH]"}));
    const auto* shown = ObjectAccess::peekAs<AcDbTable>(id);
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(shown->qvTableBlock());
    for (const AcDbObjectId& e : block->qvEntities()) {
        if (const auto* text = ObjectAccess::peekAs<AcDbText>(e);
            text != nullptr && !e.isErased()) {
            // Middle centre of the cell (0, -4)-(10, -8): the cell's own height 2 stands on
            // -7, centred on x = 5; the title merged over (0, 0)-(20, -4), of height 1, on
            // -2.5 at x = 10.
            const bool stores = std::wstring(text->textStringConst()) == L"Stores";
            EXPECT_EQ(text->horizontalMode(), AcDb::kTextCenter);
            EXPECT_EQ(text->height(), stores ? 2.0 : 1.0);
            EXPECT_TRUE(text->alignmentPoint().isEqualTo(stores ? AcGePoint3d(5, -7, 0)
                                                                : AcGePoint3d(10, -2.5, 0)))
                << text->alignmentPoint().x << "," << text->alignmentPoint().y;
        } else if (const auto* ref = ObjectAccess::peekAs<AcDbBlockReference>(e);
                   ref != nullptr && !e.isErased()) {
            // Fitted: 3 x 2 into 9.88 x 3.88 gives 1.94.
            EXPECT_NEAR(ref->scaleFactors().sx, 1.94, 1e-12);
        }
    }
    // Two paragraphs stand one line and its gap apart.
    {
        WriteLock lock(document());
        ASSERT_EQ(acdbOpenObject(opened, id, AcDb::kForWrite), Acad::eOk);
        opened->setTextString(1, 0, L"a\\Pb");
        opened->close();
    }
    std::map<std::wstring, double> baselines;
    for (const AcDbObjectId& e : block->qvEntities()) {
        if (const auto* text = ObjectAccess::peekAs<AcDbText>(e); text != nullptr && !e.isErased())
            baselines[text->textStringConst()] = text->alignmentPoint().y;
    }
    ASSERT_EQ(baselines.count(L"a") + baselines.count(L"b"), 2u);
    EXPECT_NEAR(baselines[L"a"] - baselines[L"b"], 2.0 * (1.0 + 2.0 / 3.0), 1e-9);
}

// A block definition that references still show is not erased (eEntityInUse), nor is one that a
// table draws in a cell; once nothing uses it, it goes. Erasing a table erases its block.
TEST_F(TableTest, BlocksInUseAreNotErased) {
    const AcDbObjectId shown = swatch(L"SHOWN");
    const AcDbObjectId inCell = swatch(L"IN-CELL");
    const AcDbObjectId nested = swatch(L"NESTED");
    const AcDbObjectId unused = swatch(L"UNUSED");
    const AcDbObjectId reference = addToModelSpace(new AcDbBlockReference({0, 0, 0}, shown));
    {
        WriteLock lock(document());
        AcDbBlockTableRecord* holder = nullptr;
        acdbOpenObject(holder, shown, AcDb::kForWrite);
        auto* inner = new AcDbBlockReference({5, 5, 0}, nested);
        holder->appendAcDbEntity(inner);
        inner->close();
        holder->close();
    }
    auto* table = new AcDbTable;
    table->setBlockTableRecordId(0, 0, inCell);
    const AcDbObjectId tableId = addToModelSpace(table);
    const AcDbObjectId tableBlock = ObjectAccess::peekAs<AcDbTable>(tableId)->qvTableBlock();

    const struct {
        const char* name;
        AcDbObjectId id;
        Acad::ErrorStatus status;
    } steps[] = {
        {"shown by a reference", shown, Acad::eEntityInUse},
        {"in a table's cell", inCell, Acad::eEntityInUse},
        {"inside another block", nested, Acad::eEntityInUse},
        {"a table's own block", tableBlock, Acad::eEntityInUse},
        {"unused", unused, Acad::eOk},
        {"the reference", reference, Acad::eOk},
        {"no longer shown", shown, Acad::eOk},
        {"its inner reference went with it", nested, Acad::eOk},
        {"the table", tableId, Acad::eOk},
        {"the cell's block once the table is gone", inCell, Acad::eOk},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(qv::test::eraseObject(s.id), s.status) << s.name;
        EXPECT_EQ(s.id.isErased(), s.status == Acad::eOk) << s.name;
    }
    EXPECT_TRUE(tableBlock.isErased());
}

TEST_F(TableTest, TransformsScaleTheTableEvenly) {
    AcDbTable table;
    table.setSize(2, 2);
    table.setColumnWidth(10.0);
    table.setRowHeight(2.0);
    table.setTextHeight(1.0);
    ASSERT_EQ(table.transformBy(AcGeMatrix3d::scaling(2.0)), Acad::eOk);
    EXPECT_DOUBLE_EQ(table.columnWidth(1), 20.0);
    EXPECT_DOUBLE_EQ(table.rowHeight(0), 4.0);
    EXPECT_DOUBLE_EQ(table.textHeight(AcDb::kDataRow), 2.0);
    EXPECT_EQ(table.scaleFactors().sx, 1.0);
    ASSERT_EQ(table.transformBy(AcGeMatrix3d::rotation(1.0, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(table.direction().isEqualTo({std::cos(1.0), std::sin(1.0), 0}));
    EXPECT_EQ(table.transformBy(AcGeMatrix3d::scaling(AcGeScale3d(1, 3, 1))),
              Acad::eCannotScaleNonUniformly);
    EXPECT_DOUBLE_EQ(table.columnWidth(1), 20.0);
    EXPECT_NEAR(table.rotation(), 1.0, 1e-12);
}

}  // namespace
