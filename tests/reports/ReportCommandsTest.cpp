// oagr, ogr, olbd and opbd through their handlers: a report file chosen in the file dialog and
// applied on a full host with markers, on a light host with the legacy prompts, cancelled, and
// applied to the drawing the report names, which keeps the work.
#include <gtest/gtest.h>

#include <string>

#include "StdAfx.h"
#include "SpaceDrawingFixture.h"
#include "drawing/AcadDrawing.h"
#include "drawing/DrawingLock.h"
#include "module/ReportCommands.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "reports/Categories.h"
#include "reports/GraphicReport.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"
#include "support/CommandLineAnswers.h"
#include "support/TempDrive.h"

namespace {

using qv::test::hatchOf;
using qv::test::rgb;

class ReportCommandsTest : public qv::test::SpaceDrawingTest {
  protected:
    // Two rooms and a report of one category over both, written to C:\report.xml.
    void writeReport() {
        const CString first = room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
        const CString second = room(L"ROOM-2", 5000, 0, 2000, 3000, L"1.02");
        CGraphicReport report;
        report.setTitle(L"Use");
        report.setTotalChildAreas(18.0);
        auto* categories = new CCategories;
        CCategory* offices =
            category(L"Offices", hatchOf(L"SOLID", rgb(200, 0, 0), L"HATCH-OFF"), {first, second});
        for (int i = 0; i < 2; i++)
            offices->getBlocks()->getAt(i)->setArea(i == 0 ? 12.0 : 6.0);
        categories->add(offices);
        report.setCategories(categories);
        report.serialize(L"C:\\report.xml");
    }
    void addMarkers() {
        const AcDbObjectId outline = addRectangle(10000, 5000, 3000, 1500);
        const AcDbObjectId circle = addCircle(AcGePoint3d(10000, 0, 0), 1000);
        CDrawingLock lock(&drawing);
        CMarkerBlockLegend legend;
        ASSERT_EQ(legend.createMarkerBlock(&drawing, outline, 0, 2, 100.0, 0.0), 0);
        CMarkerBlockPie pie;
        ASSERT_EQ(pie.createMarkerBlock(&drawing, circle, 0, 2, 100.0, 0.0), 0);
    }
    std::wstring printedNow() const { return qv::host::transcript().text(); }

    qv::test::TempDrive drive;
    qv::test::CommandLineAnswers answers;
};

TEST_F(ReportCommandsTest, FullHostWithMarkersDrawsLegendAndPieThereAndAsksNothing) {
    writeReport();
    addMarkers();
    ui.queueFile(L"C:\\report.xml");
    answers.give({});
    applyGraphicReport();

    const std::wstring printed = printedNow();
    const size_t applying = printed.find(L"applying graphic report Use.\n");
    const size_t success = printed.find(L"graphic report successfully applied.\n");
    ASSERT_NE(applying, std::wstring::npos) << printed;
    ASSERT_NE(success, std::wstring::npos) << printed;
    EXPECT_LT(applying, success);
    EXPECT_EQ(printed.find(L"specify text size"), std::wstring::npos) << printed;
    EXPECT_EQ(ui.lastFileRequest().filter, L"XML Graphic Reports (*.xml)|*.xml||");

    ASSERT_EQ(referencesTo(L"[ORVAN_LEGEND]_Use").size(), 1u);
    ASSERT_EQ(referencesTo(L"[ORVAN_PIECHART]_Use").size(), 1u);
    {
        AcDbObjectPointer<AcDbBlockReference> legend(referencesTo(L"[ORVAN_LEGEND]_Use")[0],
                                                     AcDb::kForRead);
        qv::test::expectNear(AcGePoint3d(10000, 6500, 0), legend->position(), "legend");
        AcDbObjectPointer<AcDbBlockReference> pie(referencesTo(L"[ORVAN_PIECHART]_Use")[0],
                                                  AcDb::kForRead);
        qv::test::expectNear(AcGePoint3d(10000, 0, 0), pie->position(), "pie");
    }
    EXPECT_EQ(hatches().size(), 2u) << "the two rooms'";
    EXPECT_EQ(drawing.isLocked(), 0);
    EXPECT_FALSE(layerIsOff(L"HATCH-OFF"));

    // Applied again: the definitions are made anew in place and the old references still show
    // them.
    ui.queueFile(L"C:\\report.xml");
    applyGraphicReport();
    EXPECT_EQ(referencesTo(L"[ORVAN_LEGEND]_Use").size(), 2u);
    EXPECT_EQ(referencesTo(L"[ORVAN_PIECHART]_Use").size(), 2u);
}

TEST_F(ReportCommandsTest, LightHostAsksForTheLegacyDefinitions) {
    setHost(L"AutoCAD LT 2015");
    writeReport();
    addMarkers();  // ignored by a light host
    ui.queueFile(L"C:\\report.xml");
    answers.give({"200", "", "90", "", "", ""});
    applyGraphicReport();
    const std::wstring printed = printedNow();
    for (const wchar_t* line :
         {L"graphic report successfully applied.\n", L"specify text size",
          L"specify pie chart radius", L"<2000.00>", L"specify rotation (in degrees)",
          L"ignore empty categories and pie chart segments?", L"specify units",
          L"specify precision", L"legend definition successfully created.\n",
          L"pie chart definition successfully created.\n"})
        EXPECT_NE(printed.find(line), std::wstring::npos) << line << "\n" << printed;
    EXPECT_EQ(answers.left(), 0u);
    EXPECT_FALSE(definition(L"[ORVAN_LEGEND]_Use").isNull());
    EXPECT_FALSE(definition(L"[ORVAN_PIECHART]_Use").isNull());
    EXPECT_TRUE(referencesTo(L"[ORVAN_LEGEND]_Use").empty()) << "no legend at the marker";
    EXPECT_EQ(hatches().size(), 2u);
}

TEST_F(ReportCommandsTest, LegendAndPieDefinitionsAlone) {
    writeReport();
    ui.queueFile(L"C:\\report.xml");
    answers.give({"", "", "", "", ""});
    legendBlockDefine();
    EXPECT_EQ(printedNow().find(L"specify pie chart radius"), std::wstring::npos);
    EXPECT_NE(printedNow().find(L"Orvan Legend Block Define "), std::wstring::npos);
    EXPECT_FALSE(definition(L"[ORVAN_LEGEND]_Use").isNull());
    EXPECT_TRUE(definition(L"[ORVAN_PIECHART]_Use").isNull());

    ui.queueFile(L"C:\\report.xml");
    answers.give({"", "", "", "", "", ""});
    pieBlockDefine();
    EXPECT_NE(printedNow().find(L"specify pie chart radius"), std::wstring::npos);
    EXPECT_FALSE(definition(L"[ORVAN_PIECHART]_Use").isNull());
    EXPECT_TRUE(hatches().empty()) << "nothing applied";
}

TEST_F(ReportCommandsTest, CancelledDialogPrintsOnlyALineFeed) {
    ui.queueFile(L"");
    qv::host::transcript().clear();
    applyGraphicReport();
    EXPECT_EQ(printedNow(), L"\n");
    ui.queueFile(L"");
    qv::host::transcript().clear();
    graphicReport();
    EXPECT_EQ(printedNow(), L"\n");
}

TEST_F(ReportCommandsTest, AReportFileThatIsNoReportAppliesNothing) {
    room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
    drive.writeFile("report.xml", "<graphicReport><grTitle>x</grTitle><categories>");
    ui.queueFile(L"C:\\report.xml");
    applyGraphicReport();
    EXPECT_TRUE(hatches().empty());
    EXPECT_EQ(drawing.isLocked(), 0);
}

class OgrCommandTest : public ReportCommandsTest {};

TEST_F(OgrCommandTest, OgrKeepsTheWorkInTheReportsDrawing) {
    writeReport();  // rooms in the current drawing, the report naming C:\plans\floor.dwg
    drive.makeFolder("plans");
    ASSERT_EQ(db()->saveAs(L"C:\\plans\\floor.dwg"), Acad::eOk);
    {
        CGraphicReport report;
        report.deSerialize(L"C:\\report.xml");
        report.setDrawingPath(L"C:\\plans\\");
        report.setDrawingFilename(L"floor.dwg");
        report.serialize(L"C:\\report.xml");
    }
    const std::string before = drive.readFile("plans/floor.dwg");
    ui.queueFile(L"C:\\report.xml");
    qv::host::transcript().clear();
    graphicReport();
    const std::wstring printed = printedNow();
    EXPECT_NE(printed.find(L"graphic report successfully applied.\n"), std::wstring::npos)
        << printed;
    EXPECT_TRUE(hatches().empty()) << "the current drawing is not touched";

    const std::string after = drive.readFile("plans/floor.dwg");
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("HATCH-OFF"), std::string::npos) << "the hatches were saved";
}

TEST_F(ReportCommandsTest, APieThatFailsIsPrintedAndTheLayerStateStillApplied) {
    writeReport();
    addMarkers();
    CGraphicReport report;
    report.deSerialize(L"C:\\report.xml");
    report.setTotalChildAreas(10.0);  // below the rooms' 18: the pie refuses
    auto* layers = new CLayers;
    layers->add(new CLayer);
    report.setLayersOn(layers);
    qv::host::transcript().clear();
    report.applyToDrawing(&drawing);
    EXPECT_NE(printedNow().find(L"CGraphicReport::applyToDrawing (pie chart)"), std::wstring::npos)
        << printedNow();
    EXPECT_EQ(referencesTo(L"[ORVAN_LEGEND]_Use").size(), 1u) << "the legend is drawn";
    EXPECT_TRUE(referencesTo(L"[ORVAN_PIECHART]_Use").empty());
    EXPECT_TRUE(layerIsOff(L"ROOMS")) << "the layer state was applied";
    EXPECT_FALSE(layerIsOff(L"HATCH-OFF"));
    EXPECT_EQ(drawing.isLocked(), 0);
}

}  // namespace
