// DWF plots compared with the PDF of the same plot: the tests' DWF reader (tests/support/
// dwfread.py) reads the DWF, poppler the PDF, and check_dwf_plot.py, which knows each case's
// drawing, compares them.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "PlotFixture.h"
#include "drawing/BlockDefinitions.h"
#include "support/HostDrawing.h"
#include "support/PlotFiles.h"

namespace {

using qv::test::PlotFixture;

const wchar_t kPdf[] = L"DWG To PDF.pc3";
const wchar_t kDwf[] = L"DWF6 ePlot.pc3";
// (full bleed: the sheet's millimetres are the paper's, with no margin between)
const wchar_t kA4[] = L"ISO_full_bleed_A4_(297.00_x_210.00_MM)";

class DwfPlotTest : public PlotFixture {
  protected:
    // Sets the layout's plot settings for a device.
    using Settings = std::function<void(AcDbObjectId layout, const wchar_t* device)>;

    // Plots the layout to C:\<name>.dwf and C:\<name>.pdf with the same settings and runs the
    // check `name` of check_dwf_plot.py on both; its report when it fails.
    void plotBoth(AcDbObjectId layout, const std::string& name, const Settings& settings) {
        for (const auto& [device, extension] : {std::pair{kDwf, ".dwf"}, {kPdf, ".pdf"}}) {
            settings(layout, device);
            const std::string file = name + extension;
            ASSERT_EQ(publish(layout, L"C:\\" + std::wstring(file.begin(), file.end())),
                      Acad::eOk)
                << file;
        }
        const char* source = std::getenv("QV_SOURCE_DIR");
        const auto [report, status] = qv::test::runCommand(
            "/usr/bin/python3 '" + std::string(source ? source : ".") +
            "/tests/platform/host_plot/check_dwf_plot.py' " + name + " '" +
            drive.posix(name + ".dwf") + "' '" + drive.posix(name + ".pdf") + "' 2>&1");
        EXPECT_EQ(status, 0) << report;
    }

    // Model space through the window (0, 0)-(width, height) at 1:1 on the medium, placed at
    // the plot origin (millimetres from the sheet's lower left corner).
    void window(AcDbObjectId layout, const wchar_t* device, const wchar_t* medium, double width,
                double height, double originX = 0.0, double originY = 0.0) {
        setSettings(layout, device, medium, AcDbPlotSettings::kExtents, false, false);
        WriteLock lock(document());
        AcDbObjectPointer<AcDbLayout> open(layout, AcDb::kForWrite);
        AcDbPlotSettingsValidator* validator =
            acdbHostApplicationServices()->plotSettingsValidator();
        validator->setPlotWindowArea(open.object(), 0, 0, width, height);
        validator->setPlotType(open.object(), AcDbPlotSettings::kWindow);
        validator->setPlotOrigin(open.object(), originX, originY);
    }
    // The window (0, 0)-(297, 210) on A4 landscape: a drawing unit is a millimetre of the sheet.
    void a4Window(AcDbObjectId layout, const wchar_t* device) {
        window(layout, device, kA4, 297, 210);
    }

    // A new paper layout of that name holding the entity.
    AcDbObjectId sheetWith(const wchar_t* name, AcDbEntity* entity) {
        AcDbObjectId layout, block;
        WriteLock lock(document());
        EXPECT_EQ(acdbHostApplicationServices()->layoutManager()->createLayout(name, layout,
                                                                              block, db()),
                  Acad::eOk);
        AcDbObjectPointer<AcDbBlockTableRecord> open(block, AcDb::kForWrite);
        EXPECT_EQ(open->appendAcDbEntity(entity), Acad::eOk);
        entity->close();
        return layout;
    }

    AcDbText* text(double x, double y, const wchar_t* string, double height = 5.0) {
        auto* made = new AcDbText(AcGePoint3d(x, y, 0), string);
        made->setHeight(height);
        return made;
    }
};

// A text is written when any of it reaches into what is plotted, cut where the PDF cuts it: at a
// viewport's frame on a sheet, at the paper's edge of a window plot. One wholly outside is not.
TEST_F(DwfPlotTest, TextsReachingIntoTheirClipAreWrittenAndCut) {
    // A row along y = 20 (capitals 5 high, "ENTER" some 23 wide), and one text above it.
    addToModelSpace(text(-12, 20, L"ENTER"));
    addToModelSpace(text(20, 20, L"0 LEFT"));
    addToModelSpace(text(85, 20, L"RIGHT 2"));
    addToModelSpace(text(40, 45, L"ABOVE"));
    addToModelSpace(text(-60, 20, L"GONE"));
    // The sheet's viewport shows the model 1:1 from (0, -10) to (100, 50), framed on the
    // paper at (100, 70)-(200, 130); the frame is drawn on the viewport's own layer, not on that
    // of the last text it shows.
    auto* viewport = new AcDbViewport;
    viewport->setDatabaseDefaults(db());
    viewport->setLayer(addLayer(L"FRAMES"));
    viewport->setCenterPoint(AcGePoint3d(150, 100, 0));
    viewport->setWidth(100);
    viewport->setHeight(60);
    viewport->setViewCenter(AcGePoint2d(50, 20));
    viewport->setViewHeight(60);
    const AcDbObjectId sheet = sheetWith(L"Sheet", viewport);
    plotBoth(sheet, "viewport", [this](AcDbObjectId layout, const wchar_t* device) {
        setSettings(layout, device, kA4, AcDbPlotSettings::kLayout, false, false);
    });
    // Model space through a window that the row runs out of on the left.
    plotBoth(modelLayoutId(), "window",
             [this](AcDbObjectId layout, const wchar_t* device) { a4Window(layout, device); });
}

// Texts of references mirrored in x or y (and turned) read as on the PDF: the glyphs stand on
// the side of their baseline the PDF shows them on, running the way it shows them.
TEST_F(DwfPlotTest, MirroredTextsStandWhereThePdfHasThem) {
    auto* slanted = text(5, 20, L"EXIT", 3.0);
    slanted->setOblique(15.0 * std::numbers::pi / 180.0);
    slanted->setWidthFactor(0.8);
    const AcDbObjectId panel = qv::test::defineBlockOf(
        document(), L"PANEL", {text(5, 10, L"DOOR 12", 4.0), slanted,
                               qv::test::rectangle(0, 0, 40, 30)});
    const struct {
        double x, y, sx, sy, degrees;
    } references[] = {
        {20, 20, 1, 1, 0},  {150, 20, -1, 1, 0},  // plain; mirrored in x
        {20, 195, 1, -1, 0},                      // mirrored in y: upside down, reading on
        {250, 110, -1, 1, 30},                    // mirrored in x and turned
    };
    for (const auto& r : references) {
        auto* reference = new AcDbBlockReference(AcGePoint3d(r.x, r.y, 0), panel);
        reference->setScaleFactors(AcGeScale3d(r.sx, r.sy, 1));
        reference->setRotation(r.degrees * std::numbers::pi / 180.0);
        addToModelSpace(reference);
    }
    plotBoth(modelLayoutId(), "mirrored",
             [this](AcDbObjectId layout, const wchar_t* device) { a4Window(layout, device); });
}

// An inch paper's page is described in inches, its plotted area (here the window in the sheet's
// lower left corner, away from its middle) from the paper's lower left corner, as on the PDF.
TEST_F(DwfPlotTest, InchPaperAndPlottedAreaAreDescribedAsPlotted) {
    addToModelSpace(qv::test::rectangle(0, 0, 4, 2));
    addToModelSpace(text(0.25, 0.25, L"LOW", 0.25));
    addToModelSpace(text(2.5, 1.5, L"HIGH", 0.25));
    plotBoth(modelLayoutId(), "inches", [this](AcDbObjectId layout, const wchar_t* device) {
        // Half an inch from the left, an inch from the bottom.
        window(layout, device, L"ANSI_A_(11.00_x_8.50_Inches)", 4, 2, 12.7, 25.4);
    });
}

// Names that XML cannot hold (U+FFFE, U+FFFF) reach the package's members as the replacement
// character (the drawing's file name in the manifest, the layout's name there and in the page's
// descriptor), and every member stays well-formed.
TEST_F(DwfPlotTest, NamesXmlCannotHoldAreReplaced) {
    db()->qvSetFileName(L"C:\\plan\uFFFE\uFFFF.dwg");
    const AcDbObjectId sheet = sheetWith(L"Sheet \uFFFF", text(20, 20, L"NAMED"));
    plotBoth(sheet, "names", [this](AcDbObjectId layout, const wchar_t* device) {
        setSettings(layout, device, kA4, AcDbPlotSettings::kLayout, false, false);
    });
}

}  // namespace
