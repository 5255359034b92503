// A drawing with both markers, the legend and the pie applied at them, saved, and read back by
// ezdxf (ezdxf_report_blocks.py): the table of the legend, the swatch, pie and marker blocks and
// the references of model space as the host holds them, and no audit error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ReportFixture.h"
#include "StdAfx.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"
#include "host/db/ObjectAccess.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/LegendTable.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"
#include "reports/PieChart.h"
#include "support/TempDrive.h"

namespace {

using qv::host::ObjectAccess;

std::string json(const std::wstring& text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\')
            out += '\\';
        out += static_cast<char>(c);  // the texts here are ASCII
    }
    return out + "\"";
}

std::string json(double value) {
    std::ostringstream out;
    out.precision(17);
    out << value;
    return out.str();
}

std::wstring nameOf(AcDbObjectId block) {
    const auto* record = ObjectAccess::peekAs<AcDbBlockTableRecord>(block);
    return record != nullptr ? record->qvName() : L"?";
}

class ReportDxfTest : public qv::test::ReportTest {
  protected:
    std::string describeTable(const AcDbTable& table, const std::wstring& block) const {
        std::ostringstream out;
        out << "{\"block\": " << json(block) << ", \"rows\": " << table.numRows()
            << ", \"columns\": " << table.numColumns() << ", \"widths\": [";
        for (int c = 0; c < table.numColumns(); ++c)
            out << (c ? ", " : "") << json(table.columnWidth(c));
        out << "], \"heights\": [";
        for (int r = 0; r < table.numRows(); ++r)
            out << (r ? ", " : "") << json(table.rowHeight(r));
        out << "], \"cells\": [";
        for (int r = 0; r < table.numRows(); ++r)
            for (int c = 0; c < table.numColumns(); ++c) {
                out << (r || c ? ", " : "");
                if (table.cellType(r, c) == AcDb::kBlockCell)
                    out << "{\"block\": " << json(nameOf(table.blockTableRecordId(r, c))) << "}";
                else
                    out << "{\"text\": " << json(table.textStringConst(r, c)) << "}";
            }
        out << "]}";
        return out.str();
    }

    std::string describeBlock(AcDbObjectId block) const {
        int polylines = 0;
        std::vector<std::wstring> hatches, constants, tags;
        for (const AcDbObjectId& id : entitiesOf(block)) {
            if (ObjectAccess::peekAs<AcDbPolyline>(id) != nullptr)
                ++polylines;
            if (const auto* hatch = ObjectAccess::peekAs<AcDbHatch>(id))
                hatches.push_back(hatch->patternName());
            if (const auto* attdef = ObjectAccess::peekAs<AcDbAttributeDefinition>(id)) {
                if (attdef->isConstant()) {
                    constants.push_back(attdef->textStringConst());
                } else {
                    ACHAR* tag = attdef->tag();
                    tags.push_back(tag);
                    acutDelString(tag);
                }
            }
        }
        std::sort(constants.begin(), constants.end());
        auto list = [](const std::vector<std::wstring>& items) {
            std::string out = "[";
            for (size_t i = 0; i < items.size(); ++i)
                out += (i ? ", " : "") + json(items[i]);
            return out + "]";
        };
        std::ostringstream out;
        out << "{\"lwpolylines\": " << polylines << ", \"hatches\": " << list(hatches)
            << ", \"constant_texts\": " << list(constants) << ", \"attdefs\": " << list(tags)
            << "}";
        return out.str();
    }

    qv::test::TempDrive drive;
};

TEST_F(ReportDxfTest, EzdxfReadsTheLegendPieAndMarkersBack) {
    CGraphicReport report;
    report.setTitle(L"Floor 2 (east)");
    report.setTotalChildAreas(90.0);
    auto* categories = new CCategories;
    const struct {
        const wchar_t* title;
        double area;
        const wchar_t* pattern;
    } specs[] = {{L"Offices", 50.0, L"ANSI31"},
                 {L"Store\\North", 30.0, L"ANSI37"},
                 {L"Plain", 10.0, nullptr}};
    for (const auto& s : specs) {
        auto* category = new CCategory;
        category->setTitle(s.title);
        auto* blocks = new CBlocks;
        auto* block = new CBlockDWG;
        block->setArea(s.area);
        blocks->addBlock(block);
        category->setBlocks(blocks);
        if (s.pattern != nullptr) {
            auto* hatch = new CHatch;
            hatch->setPatternName(s.pattern);
            hatch->setPatternScale(10);
            AcCmColor colour;
            colour.setColorIndex(3);
            hatch->setColour(colour);
            hatch->setLayerName(L"REPORT-HATCH");
            category->setHatch(hatch);
        }
        categories->add(category);
    }
    report.setCategories(categories);

    {
        CDrawingLock lock(&drawing);
        CMarkerBlockLegend legendMarker;
        ASSERT_EQ(0, legendMarker.createMarkerBlock(&drawing, addRectangle(0, 0, 4000, 2000), 0, 2,
                                                    100.0, 0.0));
        CMarkerBlockPie pieMarker;
        ASSERT_EQ(0, pieMarker.createMarkerBlock(
                         &drawing, addCircle(AcGePoint3d(8000, 1000, 0), 1000), 0, 2, 100.0, 0.0));
        CBlocks legends, pies;
        legends.getLegendBlock_SS(&drawing);
        pies.getPieBlock_SS(&drawing);
        ASSERT_EQ(1, legends.getCount());
        ASSERT_EQ(1, pies.getCount());
        auto* legend = static_cast<CMarkerBlockLegend*>(legends.getAt(0));
        auto* pie = static_cast<CMarkerBlockPie*>(pies.getAt(0));
        AcGePoint3d point = legend->getPoint(), centre = pie->getCentre();
        CLegendTable(&drawing, legend->getTextSize(), legend->getPrecision(), L"sq.m.", 0, &report,
                     legend->getRotation(), &point);
        CPieChart(&drawing, &report, pie->getRadius(), 0.0, pie->getTextSize(), pie->getPrecision(),
                  L"sq.m.", 0, 1, 1, pie->getRotation(), &centre);
    }

    const std::wstring legendName = L"[ORVAN_LEGEND]_Floor 2 _east_";
    const auto tables = entitiesOf(definition(legendName.c_str()));
    ASSERT_EQ(1u, tables.size());
    const auto* table = ObjectAccess::peekAs<AcDbTable>(tables[0]);
    ASSERT_NE(nullptr, table);
    std::ostringstream description;
    description << "{\"legend\": " << describeTable(*table, legendName) << ", \"blocks\": {";
    const wchar_t* blocks[] = {L"[ORVAN_LEGEND_HATCH]_Floor 2 _east__Offices",
                               L"[ORVAN_LEGEND_HATCH]_Floor 2 _east__Store_North",
                               L"[ORVAN_PIECHART]_Floor 2 _east_", L"MARKER-LEGEND",
                               L"MARKER-PIECHART"};
    for (size_t i = 0; i < std::size(blocks); ++i) {
        ASSERT_FALSE(definition(blocks[i]).isNull()) << CStringA(blocks[i]).GetString();
        description << (i ? ", " : "") << json(blocks[i]) << ": "
                    << describeBlock(definition(blocks[i]));
    }
    description << "}, \"inserts\": [" << json(L"MARKER-LEGEND") << ", " << json(L"MARKER-PIECHART")
                << ", " << json(L"[ORVAN_LEGEND]_Floor 2 _east_") << ", "
                << json(L"[ORVAN_PIECHART]_Floor 2 _east_") << "]}";

    drive.makeFolder("plans");
    ASSERT_EQ(Acad::eOk, db()->saveAs(L"C:\\plans\\report.dxf"));
    std::ofstream(drive.posix("plans/report.json")) << description.str();
    const char* source = std::getenv("QV_SOURCE_DIR");
    ASSERT_NE(nullptr, source);
    const std::string command =
        std::string("/usr/bin/python3 ") + source + "/tests/reports/ezdxf_report_blocks.py " +
        drive.posix("plans/report.dxf") + " " + drive.posix("plans/report.json") + " > " +
        drive.posix("plans/out.txt") + " 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream out(drive.posix("plans/out.txt"));
    const std::string output((std::istreambuf_iterator<char>(out)),
                             std::istreambuf_iterator<char>());
    EXPECT_EQ(0, status) << output << "\n" << description.str();
}

}  // namespace
