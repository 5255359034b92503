// What oagr and olbd do with report files that hold no report, numbers that are no numbers, and
// reports made on another drawing: refuse or ignore them, and leave the drawing as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "SpaceDrawingFixture.h"
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

// A report made on another drawing names blocks this one does not hold: the user is told how
// many, and when it holds none of them the layers are left as they were.
TEST_F(ReportRefusalTest, BlocksOfAnotherDrawingAreCounted) {
    const CString handle = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    writeReport("none.xml", {L"FFFF0", L"FFFF1"});
    apply("none.xml");
    EXPECT_NE(printed().find(L"None of the 2 report blocks is in this drawing: the layers are left "
                             L"as they were.\ngraphic report successfully applied."),
              std::wstring::npos)
        << printed();
    EXPECT_EQ(keepWeight(), AcDb::kLnWt050);

    writeReport("some.xml", {handle, L"FFFF1"});
    apply("some.xml");
    EXPECT_NE(printed().find(
                  L"1 of 2 report blocks are not in this drawing\ngraphic report successfully"),
              std::wstring::npos)
        << printed();
    EXPECT_EQ(hatches().size(), 1u);
    EXPECT_EQ(keepWeight(), AcDb::kLnWt000);
}

}  // namespace
