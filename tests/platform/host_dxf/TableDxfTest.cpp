// Tables, dashed linetypes, arcs and aligned texts written as DXF: the host reads back what it
// wrote, and ezdxf (ezdxf_tables.py) sees the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>

#include "DrawingDump.h"
#include "host/db/AcDbArc.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbTable.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/AuditReport.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/DrawingWriter.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;
using test::addBlock;
using test::append;

std::string number(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string quoted(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : wideToUtf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
}

std::string list(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        out += (i ? "," : "") + items[i];
    }
    return out + "]";
}

std::string point(const AcGePoint3d& p) {
    return list({number(p.x), number(p.y), number(p.z)});
}

const ACHAR* blockName(AcDbObjectId id) {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(id);
    return block != nullptr ? block->qvName().c_str() : L"";
}

// What the host holds, in the form ezdxf_tables.py compares.
std::string describe(const AcDbDatabase& db, const std::vector<std::wstring>& linetypes) {
    std::vector<std::string> tables, texts;
    const auto* ms = ObjectAccess::peekAs<AcDbBlockTableRecord>(db.modelSpaceId());
    for (const AcDbObjectId& id : ms->qvEntities()) {
        if (const auto* t = ObjectAccess::peekAs<AcDbTable>(id)) {
            std::vector<std::string> heights, widths, cells, merged, blockTexts, inserts;
            for (const double h : t->qvShownRowHeights()) {
                heights.push_back(number(h));
            }
            for (int c = 0; c < t->numColumns(); ++c) {
                widths.push_back(number(t->columnWidth(c)));
            }
            for (int r = 0; r < t->numRows(); ++r) {
                for (int c = 0; c < t->numColumns(); ++c) {
                    cells.push_back(
                        t->cellType(r, c) == AcDb::kBlockCell
                            ? "{\"block\":" + quoted(blockName(t->blockTableRecordId(r, c))) + "}"
                            : "{\"text\":" + quoted(t->textStringConst(r, c)) + "}");
                    int r0 = 0, r1 = 0, c0 = 0, c1 = 0;
                    if (t->isMergedCell(r, c, &r0, &r1, &c0, &c1) && r0 == r && c0 == c) {
                        merged.push_back(list({std::to_string(r0), std::to_string(r1),
                                               std::to_string(c0), std::to_string(c1)}));
                    }
                }
            }
            std::vector<std::wstring> textValues, insertNames;
            const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(t->qvTableBlock());
            for (const AcDbObjectId& inner : block->qvEntities()) {
                if (inner.isErased()) {
                    continue;
                }
                if (const auto* text = ObjectAccess::peekAs<AcDbText>(inner)) {
                    textValues.push_back(text->textStringConst());
                } else if (const auto* ref = ObjectAccess::peekAs<AcDbBlockReference>(inner)) {
                    insertNames.push_back(blockName(ref->blockTableRecord()));
                }
            }
            std::sort(textValues.begin(), textValues.end(),
                      [](auto& a, auto& b) { return wideToUtf8(a) < wideToUtf8(b); });
            std::sort(insertNames.begin(), insertNames.end());
            for (const auto& v : textValues) {
                blockTexts.push_back(quoted(v));
            }
            for (const auto& v : insertNames) {
                inserts.push_back(quoted(v));
            }
            tables.push_back("{\"insert\":" + point(t->position()) +
                             ",\"rows\":" + std::to_string(t->numRows()) +
                             ",\"columns\":" + std::to_string(t->numColumns()) +
                             ",\"heights\":" + list(heights) + ",\"widths\":" + list(widths) +
                             ",\"cells\":" + list(cells) + ",\"merged\":" + list(merged) +
                             ",\"block_texts\":" + list(blockTexts) +
                             ",\"block_inserts\":" + list(inserts) + "}");
        } else if (const auto* text = ObjectAccess::peekAs<AcDbText>(id)) {
            std::string d = "{\"text\":" + quoted(text->textStringConst()) +
                            ",\"halign\":" + std::to_string(text->horizontalMode()) +
                            ",\"valign\":" + std::to_string(text->verticalMode()) +
                            ",\"insert\":" + point(text->position());
            if (!text->isDefaultAlignment()) {
                d += ",\"align_point\":" + point(text->alignmentPoint());
            }
            texts.push_back(d + "}");
        }
    }
    std::vector<std::string> types;
    const auto* ltypes = ObjectAccess::peekAs<AcDbLinetypeTable>(db.linetypeTableId());
    for (const std::wstring& name : linetypes) {
        const auto* lt = ObjectAccess::peekAs<AcDbLinetypeTableRecord>(ltypes->qvFind(name));
        std::vector<std::string> dashes;
        for (int i = 0; lt != nullptr && i < lt->numDashes(); ++i) {
            dashes.push_back(number(lt->dashLengthAt(i)));
        }
        types.push_back(quoted(name) +
                        ":{\"length\":" + number(lt != nullptr ? lt->patternLength() : -1.0) +
                        ",\"dashes\":" + list(dashes) + "}");
    }
    std::string joined = "{";
    for (size_t i = 0; i < types.size(); ++i) {
        joined += (i ? "," : "") + types[i];
    }
    return "{\"tables\":" + list(tables) + ",\"texts\":" + list(texts) +
           ",\"linetypes\":" + joined + "}}";
}

class TableDxfTest : public ::testing::Test {
  protected:
    // 30 words of 10 letters: longer than a text tag takes, and wider than its column.
    static std::wstring longText() {
        std::wstring text = L"w000000000";
        for (int i = 1; i < 30; ++i) {
            text += L" w" + std::to_wstring(1000000000 + i).substr(1);
        }
        return text;
    }

    // A legend: a merged title, a header row, two data rows (a swatch block in the middle
    // column) and a row of long text that wraps and makes its row grow.
    static AcDbObjectId addLegend(AcDbDatabase& db, AcDbObjectId swatch) {
        auto* table = new AcDbTable;
        EXPECT_EQ(table->setTableStyle(db.tablestyle()), Acad::eOk);
        table->setNumRows(2);
        table->setNumColumns(3);
        EXPECT_EQ(table->mergeCells(0, 0, 0, 2), Acad::eOk);
        table->setPosition(AcGePoint3d(100, 200, 0));
        table->setTextString(0, 0, L"Plan: 1/2");
        table->setTextString(1, 0, L"Description");
        table->setTextString(1, 1, L"Hatch");
        table->setTextString(1, 2, L"Area sq.m.");
        table->insertRows(2, 7.5);
        table->setTextString(2, 0, L"Offices A\\\\B");
        table->setBlockTableRecordId(2, 1, swatch, false);
        table->setTextString(2, 2, L"120.50");
        table->insertRows(3, 7.5);
        table->setTextString(3, 0, longText().c_str());
        table->setTextString(3, 2, L"caf\u00e9 \u00fcber");
        const double widths[] = {12, 6, 11};
        for (int c = 0; c < 3; ++c) {
            table->setColumnWidth(c, widths[c] * 5.0);
        }
        table->setRowHeight(7.5);
        table->setTextHeight(5.0, AcDb::kDataRow | AcDb::kTitleRow | AcDb::kHeaderRow);
        table->setAlignment(AcDb::kMiddleCenter,
                            AcDb::kDataRow | AcDb::kTitleRow | AcDb::kHeaderRow);
        table->setAlignment(2, 2, AcDb::kMiddleRight);
        return append(db.modelSpaceId(), table);
    }
};

// A legend table with a dashed linetype, an arc and texts of every alignment: the host reads back
// what it wrote, and ezdxf (ezdxf_tables.py and the general check) sees the same.
TEST_F(TableDxfTest, TablesReadBackAsWritten) {
    AcDbDatabase db(true, true);
    const AcDbObjectId swatch = addBlock(db, L"[ORVAN_LEGEND_HATCH]_Plan_Offices");
    auto* outline = new AcDbPolyline;
    for (const AcGePoint2d& p :
         {AcGePoint2d(0, 0), AcGePoint2d(0, 10), AcGePoint2d(15, 10), AcGePoint2d(15, 0)}) {
        outline->addVertexAt(outline->numVerts(), p);
    }
    outline->setClosed(true);
    append(swatch, outline);
    addLegend(db, swatch);

    AcDbLinetypeTable* linetypes = nullptr;
    ASSERT_EQ(db.getLinetypeTable(linetypes, AcDb::kForWrite), Acad::eOk);
    auto* dashed = new AcDbLinetypeTableRecord;
    dashed->setName(L"T_E_S_T");
    dashed->setPatternLength(100.0);
    dashed->setNumDashes(2);
    dashed->setDashLengthAt(0, 50.0);
    dashed->setDashLengthAt(1, -50.0);
    ASSERT_EQ(linetypes->add(dashed), Acad::eOk);
    dashed->close();
    linetypes->close();

    const struct {
        AcDb::TextHorzMode horizontal;
        AcDb::TextVertMode vertical;
    } alignments[] = {
        {AcDb::kTextLeft, AcDb::kTextBase},      {AcDb::kTextCenter, AcDb::kTextBase},
        {AcDb::kTextRight, AcDb::kTextTop},      {AcDb::kTextMid, AcDb::kTextBase},
        {AcDb::kTextCenter, AcDb::kTextVertMid}, {AcDb::kTextLeft, AcDb::kTextBottom}};
    double y = 0.0;
    for (const auto& a : alignments) {
        auto* text =
            new AcDbText(AcGePoint3d(0, y, 0), L"Total 1,234.56 sq.m.", AcDbObjectId(), 2.5);
        text->setHorizontalMode(a.horizontal);
        text->setVerticalMode(a.vertical);
        text->setAlignmentPoint(AcGePoint3d(40, y + 1, 0));
        append(db.modelSpaceId(), text);
        y += 10.0;
    }
    append(db.modelSpaceId(), new AcDbArc(AcGePoint3d(1, 2, 0), 3.0, 0.25, 4.0));

    AcDbDatabase back(false, true);
    AuditReport report;
    readDrawing(writeDrawing(db), back, report);
    EXPECT_TRUE(report.empty()) << (report.empty() ? "" : report.entries().front().text());

    const auto* ms = ObjectAccess::peekAs<AcDbBlockTableRecord>(back.modelSpaceId());
    const AcDbTable* table = nullptr;
    for (const AcDbObjectId& id : ms->qvEntities()) {
        table = table != nullptr ? table : ObjectAccess::peekAs<AcDbTable>(id);
    }
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->tableStyle(), back.tablestyle());
    EXPECT_EQ(table->numRows(), 4);
    EXPECT_EQ(table->numColumns(), 3);
    const struct {
        int row, column;
        std::wstring text;
    } texts[] = {{0, 0, L"Plan: 1/2"}, {1, 2, L"Area sq.m."},          {2, 0, L"Offices A\\\\B"},
                 {3, 0, longText()},   {3, 2, L"caf\u00e9 \u00fcber"}, {0, 1, L""}};
    for (const auto& t : texts) {
        EXPECT_EQ(std::wstring(table->textStringConst(t.row, t.column)), t.text)
            << t.row << "," << t.column;
    }
    EXPECT_EQ(std::wstring(blockName(table->blockTableRecordId(2, 1))),
              L"[ORVAN_LEGEND_HATCH]_Plan_Offices");
    int r0 = -1, r1 = -1, c0 = -1, c1 = -1;
    EXPECT_TRUE(table->isMergedCell(0, 2, &r0, &r1, &c0, &c1));
    EXPECT_EQ((std::vector<int>{r0, r1, c0, c1}), (std::vector<int>{0, 0, 0, 2}));
    EXPECT_FALSE(table->isMergedCell(1, 0));
    EXPECT_DOUBLE_EQ(table->columnWidth(0), 60.0);
    EXPECT_DOUBLE_EQ(table->columnWidth(1), 30.0);
    EXPECT_DOUBLE_EQ(table->rowHeight(1), 7.5);
    // The long text wraps, a word a line (19 characters of 3 fit into 60 less the margins), and
    // its row grows to hold the 30 lines.
    EXPECT_NEAR(table->rowHeight(3), 30 * 5.0 + 29 * 5.0 * 2 / 3 + 2 * 0.06, 1e-9);
    EXPECT_NEAR(table->rowHeight(2), 10.0 + 2 * 0.06, 1e-9);  // the swatch is 10 high
    EXPECT_DOUBLE_EQ(table->textHeight(AcDb::kTitleRow), 5.0);
    EXPECT_EQ(table->alignment(AcDb::kHeaderRow), AcDb::kMiddleCenter);
    EXPECT_EQ(table->alignment(2, 2), AcDb::kMiddleRight);
    EXPECT_EQ(table->position(), AcGePoint3d(100, 200, 0));

    // Written again, the drawing is the same.
    AcDbDatabase again(false, true);
    AuditReport second;
    readDrawing(writeDrawing(back), again, second);
    EXPECT_EQ(test::dumpDatabase(again), test::dumpDatabase(back));

    const test::TempFolder folder;
    const std::filesystem::path dxf = folder.path() / "legend.dxf";
    const std::filesystem::path json = folder.path() / "legend.json";
    std::ofstream(dxf, std::ios::binary) << writeDrawing(db);
    // What the host reads back is what ezdxf must see.
    std::ofstream(json, std::ios::binary) << describe(back, {L"T_E_S_T"});
    std::string output;
    EXPECT_EQ(test::runCheckScript("ezdxf_tables.py", {dxf.string(), json.string()}, output), 0)
        << output;
    // The general check sees the arc and everything else as well.
    const std::filesystem::path general = folder.path() / "legend.general.json";
    std::ofstream(general, std::ios::binary) << test::describeForEzdxf(back);
    output.clear();
    EXPECT_EQ(test::runEzdxfCheck({"compare", dxf.string(), general.string()}, output), 0)
        << output;
}

// A table record the host cannot read whole (cells missing) is kept as it was read.
TEST_F(TableDxfTest, ATableWithMissingCellsIsKeptAsRead) {
    AcDbDatabase db(true, true);
    addLegend(db, addBlock(db, L"SWATCH"));
    std::string text = writeDrawing(db);
    // Take the last cell away: 171 starts each cell.
    const size_t last = text.rfind("171\r\n");
    ASSERT_NE(last, std::string::npos);
    const size_t next = text.find("\r\n", text.find("\r\n", last) + 2);
    text.replace(last, next + 2 - last, "");
    AcDbDatabase back(false, true);
    AuditReport report;
    readDrawing(text, back, report);
    const auto* ms = ObjectAccess::peekAs<AcDbBlockTableRecord>(back.modelSpaceId());
    int tables = 0, kept = 0;
    for (const AcDbObjectId& id : ms->qvEntities()) {
        tables += ObjectAccess::peekAs<AcDbTable>(id) != nullptr ? 1 : 0;
        kept += id.objectClass() != nullptr && !id.objectClass()->isDerivedFrom(AcDbTable::desc())
                    ? 1
                    : 0;
    }
    EXPECT_EQ(tables, 0);
    EXPECT_EQ(kept, 1);
    EXPECT_NE(writeDrawing(back).find("ACAD_TABLE"), std::string::npos);
}

}  // namespace
}  // namespace qv::dxf
