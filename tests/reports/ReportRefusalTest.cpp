// What oagr and olbd do with report files that hold no report, numbers that are no numbers, and
// reports made on another drawing: refuse or ignore the first two and leave the drawing as it
// was; say how much of the third the drawing lacks and apply it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "SpaceDrawingFixture.h"
#include "drawing/BlockDefinitions.h"
#include "StdAfx.h"
#include "blocks/Blocks.h"
#include "drawing/Layer.h"
#include "module/ReportCommands.h"
#include "reports/Categories.h"
#include "reports/GraphicReport.h"
#include "support/CommandLineAnswers.h"
#include "support/TempDrive.h"

namespace {

using qv::test::hatchOf;
using qv::test::rgb;

class ReportRefusalTest : public qv::test::SpaceDrawingTest {
  protected:
    void SetUp() override {
        CLayer::ensureLayerExists(L"KEEP", &drawing);
        setKeepWeight(AcDb::kLnWt050);
    }
    void setKeepWeight(AcDb::LineWeight weight) {
        editLayer(L"KEEP", [weight](AcDbLayerTableRecord& layer) { layer.setLineWeight(weight); });
    }
    AcDb::LineWeight keepWeight() const {
        AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForRead);
        AcDbObjectId id;
        table->getAt(L"KEEP", id);
        AcDbObjectPointer<AcDbLayerTableRecord> layer(id, AcDb::kForRead);
        return layer->lineWeight();
    }
    // A report of one category over the handles (each given `area`), written to C:\<name>.
    void writeReport(const char* name, std::initializer_list<CString> handles, double area = 0.0) {
        CGraphicReport report;
        report.setTitle(L"Use");
        auto* categories = new CCategories;
        CCategory* offices =
            category(L"Offices", hatchOf(L"SOLID", rgb(200, 0, 0), L"HATCH-OFF"), handles);
        for (int i = 0; i < offices->getBlocks()->getCount(); i++)
            offices->getBlocks()->getAt(i)->setArea(area);
        categories->add(offices);
        report.setCategories(categories);
        report.serialize(CString(L"C:\\") + CString(name));
    }
    std::string fileText(const char* name) { return drive.readFile(name); }
    double storedArea() {
        CBlocks all;
        collect(all);
        return all.getCount() > 0 ? all.getAt(0)->getArea() : -1.0;
    }
    void apply(const char* name) {
        qv::host::transcript().clear();
        ui.queueFile((CString(L"C:\\") + CString(name)).GetString());
        answers.give({});
        applyGraphicReport();
    }

    qv::test::TempDrive drive;
    qv::test::CommandLineAnswers answers;
};

// A file that holds no report is refused with its reason; no layer is touched, nothing hatched,
// nothing defined.
TEST_F(ReportRefusalTest, FilesWithoutAReportAreRefused) {
    const CString handle = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    writeReport("good.xml", {handle});
    const std::string good = fileText("good.xml");
    drive.writeFile("cut.xml", good.substr(0, good.size() / 2));
    drive.writeFile("binary.xml", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    drive.writeFile("other.xml", "<?xml version=\"1.0\"?><other><grTitle>x</grTitle></other>");
    drive.writeFile("empty.xml", "<?xml version=\"1.0\"?><graphicReport/>");
    drive.makeFolder("folder.xml");
    const struct {
        const char* file;
        const wchar_t* reason;
    } cases[] = {
        {"missing.xml", L"the file does not exist"},  {"folder.xml", L"it is not a file"},
        {"cut.xml", L""},                             {"binary.xml", L""},
        {"other.xml", L"it holds no graphic report"}, {"empty.xml", L"it holds no graphic report"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        apply(c.file);
        const std::wstring expected = L"Unable to read the graphic report C:\\" +
                                      std::wstring(CString(c.file).GetString()) + L": " + c.reason;
        EXPECT_NE(printed().find(expected), std::wstring::npos) << printed();
        EXPECT_EQ(printed().find(L"successfully"), std::wstring::npos) << printed();
        EXPECT_EQ(keepWeight(), AcDb::kLnWt050);
        EXPECT_TRUE(hatches().empty());

        qv::host::transcript().clear();
        ui.queueFile((CString(L"C:\\") + CString(c.file)).GetString());
        legendBlockDefine();
        EXPECT_EQ(printed().find(L"specify text size"), std::wstring::npos) << printed();
        EXPECT_TRUE(definition(L"[ORVAN_LEGEND]_Use").isNull());
    }
}

// An area of NaN or infinity in a report file never replaces the room's stored area.
TEST_F(ReportRefusalTest, NonFiniteAreasAreIgnored) {
    const CString handle = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    writeReport("area.xml", {handle}, 7.0);
    const std::string text = fileText("area.xml");
    for (const char* value : {"nan", "inf", "-INF", "1e999"}) {
        SCOPED_TRACE(value);
        std::string changed = text;
        const size_t at = changed.find("mbArea>7<");
        ASSERT_NE(at, std::string::npos) << text;
        drive.writeFile("area.xml", changed.replace(at + 7, 1, value));
        apply("area.xml");
        EXPECT_NE(printed().find(L"graphic report successfully applied."), std::wstring::npos);
        EXPECT_NE(printed().find(L"it is not a finite number"), std::wstring::npos) << printed();
        EXPECT_DOUBLE_EQ(storedArea(), 12.0);
    }
}

// A report made on another drawing names blocks this one does not hold, or finds its handles on
// other objects here: the user is told how many of its blocks are not in the drawing, and the
// report is applied all the same, its line weights (and layout and layers) included.
TEST_F(ReportRefusalTest, BlocksOfAnotherDrawingAreCountedAndTheReportApplied) {
    const CString handle = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    const auto handleOf = [](AcDbObjectId id) { return CString(id.handle().text().c_str()); };
    const CString line = handleOf(addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0})));
    const CString text = handleOf(addToModelSpace(new AcDbText({0, 0, 0}, L"Office")));
    const AcDbObjectId chair = qv::test::defineBlockOf(
        document(), L"CHAIR", {qv::test::rectangleOutline(0, 0, 500, 500)});
    const CString chairs = handleOf(addToModelSpace(new AcDbBlockReference({9000, 0, 0}, chair)));
    const struct {
        const char* name;
        std::initializer_list<CString> handles;
        const wchar_t* told;  // null: nothing said
        size_t hatched;       // hatches added
    } cases[] = {
        {"no handle resolves", {L"FFFF0", L"FFFF1"}, L"2 of 2 report blocks", 0},
        // The chair is a block reference, and formatted as one; it is no space block.
        {"handles of a line, a text and a chair", {line, text, chairs}, L"3 of 3 report blocks",
         1},
        {"one of two is a space block", {handle, L"FFFF1"}, L"1 of 2 report blocks", 1},
        {"one of two is a line", {line, handle}, L"1 of 2 report blocks", 1},
        {"every block is here", {handle}, nullptr, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setKeepWeight(AcDb::kLnWt050);
        const size_t before = hatches().size();
        writeReport("other.xml", c.handles);
        apply("other.xml");
        const std::wstring told =
            c.told == nullptr ? L"" : std::wstring(c.told) + L" are not in this drawing\n";
        EXPECT_NE(printed().find(told + L"graphic report successfully applied."),
                  std::wstring::npos)
            << printed();
        EXPECT_EQ(printed().find(L"are not in this drawing") == std::wstring::npos,
                  c.told == nullptr)
            << printed();
        EXPECT_EQ(keepWeight(), AcDb::kLnWt000) << "the report's line weights are applied";
        EXPECT_EQ(hatches().size() - before, c.hatched);
    }
}

}  // namespace
