// The graphic report file: every field written and read back, a hand-written file in another
// order with comments and unknown elements, booleans, doubles, categories and their equality,
// and files the reader must refuse.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <string>

#include "StdAfx.h"
#include "ReportFixture.h"
#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "drawing/Hatch.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "reports/GraphicReport.h"
#include "support/Raised.h"
#include "support/TempDrive.h"

using qv::test::DriveTest;

namespace {

using qv::test::rgb;

CHatch* hatchOf(const wchar_t* pattern, AcCmColor colour, int scale, int angle,
                const wchar_t* layer) {
    auto* hatch = new CHatch;
    hatch->setPatternName(pattern);
    hatch->setColour(colour);
    hatch->setPatternScale(scale);
    hatch->setPatternAngle(angle);
    hatch->setLayerName(layer);
    return hatch;
}

CCategory* categoryOf(const wchar_t* title, CHatch* hatch) {
    auto* category = new CCategory;
    category->setTitle(title);
    category->setHatch(hatch);
    return category;
}

// A report with every field that the file keeps set away from its initial value.
void fillEveryField(CGraphicReport& report) {
    report.setID(42);
    report.setTitle(L"Departments & <uses>");
    report.setDrawingPath(L"C:\\plans\\");
    report.setDrawingFilename(L"floor 2.dwg");
    report.setPlotType(3);
    report.setPlotAreaType(5);
    report.setPlotMediaSize(88);
    report.setPlotScaleType(33);
    report.setPlotCentred(0);
    report.setPlotLayout(L"Layout1");
    report.setTotalChildAreas(1234564.9000001);
    report.setPieXYOffset(0.1);
    report.setPieIgnoreEmptySegments(0);
    report.setPieShowLabels(0);
    report.setPieShowLabelSegmentLines(0);

    auto* categories = new CCategories;
    CCategory* offices =
        categoryOf(L"Offices", hatchOf(L"ANSI31", rgb(10, 11, 12), 50, 2, L"HATCH-OFF"));
    offices->setID(7);
    auto* blocks = new CBlocks;
    auto* block = new CBlockDWG;
    block->setHandle(L"2F1");
    block->setCode(L"B.01");
    block->setArea(12.345678901234);
    blocks->addBlock(block);
    offices->setBlocks(blocks);
    auto* assets = new CAssets;
    auto* asset = new CAsset;
    asset->setHandleFromString(L"3A0");
    asset->setBlockDescription(L"Desk");
    assets->add(asset);
    offices->setAssets(assets);
    categories->add(offices);
    categories->add(categoryOf(L"Unhatched", nullptr));
    report.setCategories(categories);

    auto* layers = new CLayers;
    auto* layer = new CLayer;
    layer->setName(L"WALLS");
    layers->add(layer);
    report.setLayersOn(layers);
}

class ReportFileTest : public DriveTest {
  protected:
    CString path(const char* name) { return CString(L"C:\\") + CString(CStringA(name)); }
    // The file the report writes.
    std::string written(CGraphicReport& report, const char* name) {
        report.serialize(path(name));
        return drive.readFile(name);
    }
};

// Read back, a report writes the same file again: what is written is read, each field into its
// own (a swapped or lost field would change the second file). The output folder is never
// written, the copies' folder written but not read.
TEST_F(ReportFileTest, EveryFieldWrittenIsReadBack) {
    CGraphicReport report;
    fillEveryField(report);
    report.setSaveCopyTo(L"C:\\copies\\");
    report.setOutputPath(L"C:\\out\\");
    const std::string text = written(report, "report.xml");
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text;
    EXPECT_NE(text.find("<grSaveCopyTo>C:\\copies\\</grSaveCopyTo>"), std::string::npos);
    EXPECT_EQ(text.find("C:\\out"), std::string::npos) << "output path never written";
    EXPECT_NE(text.find("<cHatchColour>#0A0B0C</cHatchColour>"), std::string::npos) << text;

    CGraphicReport read;
    read.deSerialize(path("report.xml"));
    EXPECT_EQ(read.getSaveCopyTo(), L"") << "written but not read back";
    EXPECT_EQ(read.getLinkLines(), nullptr);
    EXPECT_EQ(read.getTotalChildAreas(), 1234564.9000001);  // exactly
    const CCategory* offices = read.getCategories()->getAt(0);
    EXPECT_NE(static_cast<CBlockDWG*>(offices->getBlocks()->getAt(0))->getHatch(),
              offices->getHatch())
        << "each block its own copy of the category's hatch";
    EXPECT_EQ(written(read, "again.xml"),
              text.substr(0, text.find("<grSaveCopyTo>")) +
                  text.substr(text.find("</grSaveCopyTo>") + 15));
}

// A report written to a link: a link to a file writes that file and stays a link; a link to no
// file is refused and makes none; a read-only file is refused and kept.
TEST_F(ReportFileTest, ALinkIsWrittenThroughAndWhatMayNotBeWrittenIsRefused) {
    drive.writeFile("reports/old.xml", "old");
    drive.writeFile("ro.xml", "old");
    ::chmod(drive.posix("ro.xml").c_str(), 0444);
    ::symlink("reports/old.xml", drive.posix("live.xml").c_str());
    ::symlink("reports/none.xml", drive.posix("gone.xml").c_str());
    const struct {
        const char* name;
        bool written;
        const char* holder;  // the file that holds the report, or keeps "old"
    } cases[] = {
        {"live.xml", true, "reports/old.xml"},
        {"gone.xml", false, "reports/none.xml"},
        {"ro.xml", false, "ro.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphicReport report;
        report.setID(77);
        const auto error = qv::test::raised<CEXOrvan>([&] { report.serialize(path(c.name)); });
        EXPECT_EQ(error == nullptr, c.written);
        if (c.written) {
            CGraphicReport read;
            read.deSerialize(path(c.name));
            EXPECT_EQ(read.getID(), 77);
        } else if (drive.exists(c.holder)) {
            EXPECT_EQ(drive.readFile(c.holder), "old");
        }
    }
    struct stat st {};
    EXPECT_TRUE(::lstat(drive.posix("live.xml").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_FALSE(drive.exists("reports/none.xml")) << "a link to nothing made its file";
    EXPECT_EQ(drive.names("reports"), std::set<std::string>{"old.xml"}) << "no part file left";
    EXPECT_EQ(drive.names("").size(), 4u) << "no part file left";
}

// A file written by hand in another order, with comments, unknown elements and a repeated
// element (the last counts), reads as the report it describes.
TEST_F(ReportFileTest, AnotherOrderWithCommentsAndUnknownElementsReadsTheSame) {
    drive.writeFile("shuffled.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- written by hand -->
<graphicReport xmlns="urn:orvan:graphicReport">
  <layersOn><layerOn><loName>WALLS</loName></layerOn></layersOn>
  <grPieShowLabelSegmentLines>0</grPieShowLabelSegmentLines>
  <unknown><grID>99</grID></unknown>
  <categories>
    <category><cTitle>Offices</cTitle><cID>7</cID><cHatchScale>50</cHatchScale>
      <cHatchPattern>ANSI31</cHatchPattern><cHatchAngle>2</cHatchAngle>
      <cHatchColour>x0a0b0c</cHatchColour><cHatchLayer>HATCH-OFF</cHatchLayer>
      <!-- the blocks -->
      <orvanBlocks><orvanBlock><mbHandle>2F1</mbHandle><mbCode>B.01</mbCode>
        <mbArea>12.345678901234</mbArea></orvanBlock></orvanBlocks>
      <assets><asset><handle>3A0</handle><blockDescription>Desk</blockDescription></asset></assets>
    </category>
    <note>ignored</note>
    <category><cTitle>Unhatched</cTitle></category>
  </categories>
  <grPieShowLabels>0</grPieShowLabels><grPieIgnoreEmptySegments>0</grPieIgnoreEmptySegments>
  <grPieXYOffset>0.1</grPieXYOffset><grTotalChildAreas>1234564.9000001</grTotalChildAreas>
  <grPlotLayout>Layout1</grPlotLayout><grPlotCentred>false</grPlotCentred>
  <grPlotScaleTypeID>33</grPlotScaleTypeID><grPlotMediaSizeID>88</grPlotMediaSizeID>
  <grPlotAreaTypeID>5</grPlotAreaTypeID><grPlotTypeID>3</grPlotTypeID>
  <grDrawingFilename>floor 2.dwg</grDrawingFilename><grDrawingPath>C:\plans\</grDrawingPath>
  <grTitle>Departments &amp; &lt;uses&gt;</grTitle><grID>41</grID><grID>42</grID>
</graphicReport>
)");
    CGraphicReport read;
    read.deSerialize(path("shuffled.xml"));
    CGraphicReport expected;
    fillEveryField(expected);
    EXPECT_EQ(written(read, "read.xml"), written(expected, "expected.xml"));
}

TEST_F(ReportFileTest, BooleansReadOnlyOneAndTrueAsSet) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {{"1", 1}, {"true", 1}, {"0", 0}, {"TRUE", 0}, {"yes", 0}, {"2", 0}, {"", 0}};
    for (const auto& c : cases) {
        drive.writeFile("b.xml", std::string("<graphicReport><grPlotCentred>") + c.text +
                                     "</grPlotCentred><grPieShowLabels>" + c.text +
                                     "</grPieShowLabels></graphicReport>");
        CGraphicReport report;
        report.deSerialize(path("b.xml"));
        EXPECT_EQ(report.getPlotCentred(), c.expected) << c.text;
        EXPECT_EQ(report.getPieShowLabels(), c.expected) << c.text;
    }
}

TEST_F(ReportFileTest, FilesThatAreNoReportLeaveItUnchanged) {
    const struct {
        const char* name;
        std::string bytes;  // empty: no file
    } cases[] = {
        {"missing", ""},
        {"malformed", "<graphicReport><grID>5</grID>"},
        {"other root", "<report><grID>5</grID></report>"},
        {"empty root", "<graphicReport/>"},
        {"with a DTD",
         "<?xml version=\"1.0\"?><!DOCTYPE graphicReport [<!ENTITY t \"Evil\">]>"
         "<graphicReport><grTitle>&t;</grTitle><grID>5</grID></graphicReport>"},
        {"external entity",
         "<?xml version=\"1.0\"?><!DOCTYPE graphicReport [<!ENTITY t SYSTEM "
         "\"file:///etc/passwd\">]>"
         "<graphicReport><grTitle>&t;</grTitle><grID>5</grID></graphicReport>"},
    };
    for (const auto& c : cases) {
        if (!c.bytes.empty())
            drive.writeFile("x.xml", c.bytes);
        CGraphicReport report;
        report.setID(3);
        report.setTitle(L"kept");
        report.deSerialize(path(c.bytes.empty() ? "none.xml" : "x.xml"));
        EXPECT_EQ(report.getID(), 3) << c.name;
        EXPECT_EQ(report.getTitle(), L"kept") << c.name;
        EXPECT_EQ(report.getCategories(), nullptr) << c.name;
    }
}

TEST_F(ReportFileTest, HatchElementsInAnyOrderMakeTheOneHatch) {
    drive.writeFile("h.xml",
                    "<graphicReport><categories>"
                    "<category><cTitle>A</cTitle><cHatchColour>#FF0080</cHatchColour>"
                    "<cHatchLayer>L</cHatchLayer><cHatchPattern>SOLID</cHatchPattern></category>"
                    "<category><cTitle>B</cTitle><cHatchScale>4</cHatchScale></category>"
                    "</categories></graphicReport>");
    CGraphicReport report;
    report.deSerialize(path("h.xml"));
    ASSERT_NE(report.getCategories(), nullptr);
    ASSERT_EQ(report.getCategories()->getCount(), 2);
    const CHatch* a = report.getCategories()->getAt(0)->getHatch();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getColour(), rgb(255, 0, 128));
    EXPECT_EQ(a->getLayerName(), L"L");
    EXPECT_EQ(a->getPatternName(), L"SOLID");
    const CHatch* b = report.getCategories()->getAt(1)->getHatch();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getPatternScale(), 4);
    EXPECT_EQ(b->getPatternName(), L"");
}

TEST(CategoryEquality, TitleAndHatchSettingsDecide) {
    const struct {
        const char* what;
        CCategory* second;
        int added;
    } cases[] = {
        {"same everything", categoryOf(L"A", hatchOf(L"ANSI31", rgb(1, 2, 3), 5, 1, L"X")), 0},
        {"only the layer differs", categoryOf(L"A", hatchOf(L"ANSI31", rgb(1, 2, 3), 5, 1, L"Y")),
         0},
        {"title differs", categoryOf(L"B", hatchOf(L"ANSI31", rgb(1, 2, 3), 5, 1, L"X")), 1},
        {"title case differs", categoryOf(L"a", hatchOf(L"ANSI31", rgb(1, 2, 3), 5, 1, L"X")), 1},
        {"colour differs", categoryOf(L"A", hatchOf(L"ANSI31", rgb(1, 2, 4), 5, 1, L"X")), 1},
        {"pattern differs", categoryOf(L"A", hatchOf(L"ANSI32", rgb(1, 2, 3), 5, 1, L"X")), 1},
        {"angle differs", categoryOf(L"A", hatchOf(L"ANSI31", rgb(1, 2, 3), 5, 2, L"X")), 1},
        {"scale differs", categoryOf(L"A", hatchOf(L"ANSI31", rgb(1, 2, 3), 6, 1, L"X")), 1},
        {"no hatch against a hatch", categoryOf(L"A", nullptr), 1},
    };
    for (const auto& c : cases) {
        CCategories list;
        EXPECT_EQ(list.add(categoryOf(L"A", hatchOf(L"ANSI31", rgb(1, 2, 3), 5, 1, L"X"))), 1);
        EXPECT_EQ(list.add(c.second), c.added) << c.what;
        EXPECT_EQ(list.getCount(), 1 + c.added) << c.what;
    }
    CCategories unhatched;
    EXPECT_EQ(unhatched.add(categoryOf(L"A", nullptr)), 1);
    EXPECT_EQ(unhatched.add(categoryOf(L"A", nullptr)), 0) << "two without a hatch are equal";
    EXPECT_EQ(unhatched.add(nullptr), 0);
    EXPECT_EQ(unhatched.getCount(), 1);
    for (int index : {1, -1}) {
        bool raised = false;
        try {
            unhatched.getAt(index);
        } catch (CInvalidArgException* e) {
            raised = true;
            e->Delete();
        }
        EXPECT_TRUE(raised) << index;
    }
}

TEST(RoundTripDoubles, ReadBackExactly) {
    for (double value : {0.0, -0.0, 0.1, 1.0 / 3.0, 1234564.9000001, 1e-300, 2.5e300, -42.0,
                         20000.0 * 25.123456789}) {
        const CString text = CUtilities::DoubleToRoundTripCString(value);
        EXPECT_EQ(CUtilities::CStringToDouble(text), value) << CStringA(text).GetString();
    }
    EXPECT_EQ(CUtilities::DoubleToRoundTripCString(0.1), L"0.1");
    EXPECT_EQ(CUtilities::DoubleToRoundTripCString(-0.0), L"0");
}

// A report of many categories: each is checked for an equal one held without a walk over the
// list (20,000 categories against one another took minutes), and the rule still holds.
TEST(CategoryEquality, ManyCategoriesAreAddedWithoutComparingEveryPair) {
    const int kCount = 20000;
    const auto start = std::chrono::steady_clock::now();
    CCategories list;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kCount; ++i) {
            const CString title(std::to_wstring(i).c_str());
            EXPECT_EQ(list.add(categoryOf(title.GetString(), hatchOf(L"SOLID", rgb(1, 2, 3), 1, 0, L"X"))),
                      round == 0 ? 1 : 0);
        }
        EXPECT_EQ(list.add(categoryOf(L"7", hatchOf(L"SOLID", rgb(1, 2, 4), 1, 0, L"X"))),
                  round == 0 ? 1 : 0)
            << "another colour";
    }
    EXPECT_EQ(list.getCount(), kCount + 1);
    list.deleteObjects();
    EXPECT_EQ(list.add(categoryOf(L"7", nullptr)), 1) << "nothing is left of the emptied list";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
