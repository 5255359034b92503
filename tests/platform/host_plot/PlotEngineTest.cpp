#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

#include "PlotFixture.h"
#include "drawing/BlockDefinitions.h"
#include "host/plot/PlotRenderer.h"
#include "host/plot/PlotSheet.h"
#include "support/PlotFiles.h"

using qv::test::PlotFixture;

namespace {

const wchar_t kPdf[] = L"DWG To PDF.pc3";
const wchar_t kPng[] = L"PublishToWeb PNG.pc3";
const wchar_t kJpg[] = L"PublishToWeb JPG.pc3";
const wchar_t kDwf[] = L"DWF6 ePlot.pc3";

std::wstring windowsPath(const std::string& relative) {
    std::wstring path = L"C:\\";
    for (char c : relative) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

// A point of the drawing and the colour its pixel must have (`down` pixels below it).
struct Spot {
    double x, y;
    std::array<int, 3> rgb;
    const char* what;
    int down = 0;
};

using PixelOf = std::function<std::pair<int, int>(double, double)>;

class PlotEngineTest : public PlotFixture {
  protected:
    // Checks each spot's pixel of the image, each channel within `tolerance`.
    void expectSpots(const char* file, const PixelOf& at, const std::vector<Spot>& spots,
                     int tolerance = 0) {
        std::vector<std::pair<int, int>> points;
        for (const Spot& s : spots) {
            const auto [px, py] = at(s.x, s.y);
            points.emplace_back(px, py + s.down);
        }
        const auto probe = qv::test::probeImage(drive.posix(file), points);
        ASSERT_TRUE(probe);
        for (size_t i = 0; i < spots.size(); ++i) {
            for (size_t k = 0; k < 3; ++k) {
                EXPECT_NEAR(probe->rgb[i][k], spots[i].rgb[k], tolerance) << spots[i].what;
            }
        }
    }
    void SetUp() override { qv::host::plot::clearRecordedPlotProgress(); }
    void addLine() {
        addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 50, 0)));
    }
    // Plots model space to an XGA PNG, its extents (0, 0)-(width, height) scaled to fit
    // 1024 x 768 and centred; gives the pixel of a point in the drawing, nullopt when the plot
    // fails.
    std::optional<PixelOf> plotXga(const char* file, double width, double height) {
        setSettings(modelLayoutId(), kPng, L"XGA_(1024.00_x_768.00_Pixels)",
                    AcDbPlotSettings::kExtents);
        if (publish(modelLayoutId(), windowsPath(file)) != Acad::eOk) {
            return std::nullopt;
        }
        const double scale = std::min(1024.0 / width, 768.0 / height);
        return [=](double x, double y) {
            return std::make_pair(static_cast<int>(512 + (x - width / 2) * scale),
                                  static_cast<int>(384 - (y - height / 2) * scale));
        };
    }
    // Plots model space to a PDF of A4 landscape through the window (0, 0)-(297, 210) at 1:1
    // from the sheet's lower left corner: a drawing unit is a millimetre of the sheet.
    // The window (0, 0)-(297, 210) at 1:1 on a full-bleed A4: drawing millimetres are the
    // sheet's.
    Acad::ErrorStatus plotA4Window(const char* file) {
        setSettings(modelLayoutId(), kPdf, L"ISO_full_bleed_A4_(297.00_x_210.00_MM)",
                    AcDbPlotSettings::kExtents, false, false);
        {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForWrite);
            AcDbPlotSettingsValidator* validator =
                acdbHostApplicationServices()->plotSettingsValidator();
            validator->setPlotWindowArea(layout.object(), 0, 0, 297, 210);
            validator->setPlotType(layout.object(), AcDbPlotSettings::kWindow);
        }
        return publish(modelLayoutId(), windowsPath(file));
    }
};

// The file has the medium's size as the decoders of its format read it.
TEST_F(PlotEngineTest, EachDeviceWritesItsMediumSize) {
    struct Case {
        const wchar_t* device;
        const wchar_t* medium;
        const char* file;
        const char* format;  // "PDF" or the image format
        double width, height;
    };
    const Case cases[] = {
        {kPdf, L"ISO_A4_(297.00_x_210.00_MM)", "a4.pdf", "PDF", 841.89, 595.28},
        {kPdf, L"ANSI_B_(11.00_x_17.00_Inches)", "b.pdf", "PDF", 792.0, 1224.0},
        {kPng, L"VGA_(640.00_x_480.00_Pixels)", "vga.png", "PNG", 640, 480},
        {kJpg, L"SVGA_(800.00_x_600.00_Pixels)", "svga.jpg", "JPEG", 800, 600},
    };
    addLine();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        setSettings(modelLayoutId(), c.device, c.medium, AcDbPlotSettings::kExtents);
        ASSERT_EQ(publish(modelLayoutId(), windowsPath(c.file)), Acad::eOk);
        if (std::string(c.format) == "PDF") {
            const auto size = qv::test::pdfPageSize(drive.posix(c.file));
            ASSERT_TRUE(size);
            EXPECT_NEAR(size->first, c.width, 0.5);
            EXPECT_NEAR(size->second, c.height, 0.5);
        } else {
            const auto probe = qv::test::probeImage(drive.posix(c.file));
            ASSERT_TRUE(probe);
            EXPECT_EQ(probe->format, c.format);
            EXPECT_EQ(probe->width, c.width);
            EXPECT_EQ(probe->height, c.height);
        }
    }
}

// What plots and in which colour: hidden layers leave the red room red; by-block colours come
// through nested references; a wide polyline is as wide as it says.
TEST_F(PlotEngineTest, LayersColoursAndReferencesDecideWhatShows) {
    const AcDbObjectId rooms = layer(L"Rooms");
    const AcDbObjectId off = layer(L"Off", true);
    const AcDbObjectId frozen = layer(L"Frozen", false, true);
    const AcDbObjectId noPlot = layer(L"NoPlot", false, false, false);
    AcCmColor byBlock;
    byBlock.setByBlock();
    addToModelSpace(solidSquare(0, 0, 100, 100, rooms, rgb(255, 0, 0)));
    addToModelSpace(solidSquare(10, 10, 20, 20, off, rgb(0, 0, 255)));
    addToModelSpace(solidSquare(40, 40, 50, 50, frozen, rgb(0, 0, 255)));
    addToModelSpace(solidSquare(70, 70, 80, 80, noPlot, rgb(0, 0, 255)));
    // INNER holds a by-block square on layer 0; OUTER a by-block reference to INNER.
    const AcDbObjectId inner = qv::test::defineBlockOf(
        document(), L"INNER", {solidSquare(0, 0, 50, 50, AcDbObjectId(), byBlock)});
    auto* innerRef = new AcDbBlockReference(AcGePoint3d(0, 0, 0), inner);
    innerRef->setColor(byBlock);
    const AcDbObjectId outer = qv::test::defineBlockOf(document(), L"OUTER", {innerRef});
    auto* outerRef = new AcDbBlockReference(AcGePoint3d(200, 0, 0), outer);
    outerRef->setColor(rgb(0, 160, 0));
    addToModelSpace(outerRef);
    // A polyline 10 units wide along y = 100 from x 150 to 250, colour index 5 (blue).
    auto* wall = new AcDbPolyline;
    wall->addVertexAt(0, AcGePoint2d(150, 100), 0.0, 10.0, 10.0);
    wall->addVertexAt(1, AcGePoint2d(250, 100));
    wall->setColorIndex(5);
    addToModelSpace(wall);

    // A half circle of 1 mm line weight over (125, 20), in colour index 1 (red).
    auto* arc = new AcDbArc(AcGePoint3d(125, 20, 0), 20.0, 0.0, 3.14159265358979);
    arc->setColorIndex(1);
    arc->setLineWeight(AcDb::kLnWt100);
    addToModelSpace(arc);

    // Extents (0, 0)-(250, 100): a polyline's box leaves its width out.
    const auto at = plotXga("rooms.png", 250.0, 100.0);
    ASSERT_TRUE(at);
    expectSpots("rooms.png", *at, {
        {50, 50, {255, 0, 0}, "the room's centroid"},
        {15, 15, {255, 0, 0}, "under a hatch on a layer that is off"},
        {45, 45, {255, 0, 0}, "under a hatch on a frozen layer"},
        {75, 75, {255, 0, 0}, "under a hatch on a layer that does not plot"},
        {225, 25, {0, 160, 0}, "a by-block hatch two references deep"},
        {200, 103, {0, 0, 255}, "inside the wide polyline"},
        {200, 108, {255, 255, 255}, "beyond the wide polyline's half width"},
        {125, 70, {255, 255, 255}, "between room and reference"},
        {125, 40, {255, 0, 0}, "the top of the arc"},
        {125, 20, {255, 255, 255}, "the arc's centre"},
    });
}

// A legend table plots through the block of its cell borders and texts: every grid line is inked
// (in the table's colour, which the block's lines take by block), the cells between them stay white.
TEST_F(PlotEngineTest, TablesPlotTheirGrid) {
    auto* table = new AcDbTable;
    table->setTableStyle(db()->tablestyle());
    table->setSize(3, 2);
    table->setColumnWidth(20.0);
    table->setRowHeight(10.0);
    table->setTextHeight(2.0);
    table->setAlignment(AcDb::kMiddleCenter);
    table->setTextString(0, 0, L"Legend");
    table->setTextString(1, 0, L"Offices");
    table->setTextString(2, 0, L"Stores");
    table->setPosition(AcGePoint3d(0, 30, 0));  // flowing down: (0, 0)-(40, 30)
    table->setColorIndex(1);
    addToModelSpace(table);

    const auto at = plotXga("legend.png", 40.0, 30.0);
    ASSERT_TRUE(at);
    // Each line is looked for in the pixels across it, since its width may fall between two.
    struct Line {
        double x, y;
        bool vertical;
        const char* what;
    };
    const Line lines[] = {
        {20, 5, true, "the border between the columns"},
        {30, 10, false, "the border below the header row"},
        {10, 20, false, "the border below the title row"},
        {30, 20, false, "the title row's lower border under the right column"},
        {1, 30, false, "the top border"},
    };
    struct Blank {
        double x, y;
        const char* what;
    };
    const Blank blanks[] = {
        {3, 3, "a data cell's corner"},
        {37, 13, "the right header cell's corner"},
        {37, 17, "the top right cell's corner"},
    };
    std::vector<std::pair<int, int>> points;
    for (const Line& line : lines) {
        for (int d = -1; d <= 1; ++d) {
            const auto [px, py] = (*at)(line.x, line.y);
            points.push_back(line.vertical ? std::make_pair(px + d, py) : std::make_pair(px, py + d));
        }
    }
    for (const Blank& blank : blanks) {
        points.push_back((*at)(blank.x, blank.y));
    }
    const auto probe = qv::test::probeImage(drive.posix("legend.png"), points);
    ASSERT_TRUE(probe);
    size_t next = 0;
    for (const Line& line : lines) {
        int reddest = 0;
        for (int d = -1; d <= 1; ++d, ++next) {
            const std::array<int, 3>& rgb = probe->rgb[next];
            reddest = std::max(reddest, rgb[0] - std::max(rgb[1], rgb[2]));
        }
        EXPECT_GT(reddest, 100) << line.what;
    }
    for (const Blank& blank : blanks) {
        EXPECT_EQ(probe->rgb[next++], (std::array<int, 3>{255, 255, 255})) << blank.what;
    }
}

// A paper layout shows model space through its viewports, each with its own frozen layers. A
// viewport's layer decides its frame only: on a layer that is off, frozen or not plotted (where
// drawings put their viewports to keep the frames off the sheet), the view still shows and
// counts in the extents, without its frame.
TEST_F(PlotEngineTest, ViewportsShowModelSpaceAndTheirLayersOnlyTheirFrames) {
    const AcDbObjectId rooms = layer(L"Rooms");
    addToModelSpace(solidSquare(0, 0, 100, 100, rooms, rgb(255, 0, 0)));
    const struct {
        const char* what;
        AcDbObjectId layer;  // null: "0"
        bool roomsFrozen;    // in the viewport
        bool view, frame;    // expected
    } cases[] = {
        {"a viewport", AcDbObjectId(), false, true, true},
        {"its own frozen layer", AcDbObjectId(), true, false, true},
        {"on a layer that is off", layer(L"Off", true), false, true, false},
        {"on a layer that is not plotted", layer(L"NoPlot", false, false, false), false, true,
         false},
        {"on a frozen layer", layer(L"Frozen", false, true), false, true, false},
    };
    AcDbObjectId layoutId, blockId;
    {
        WriteLock lock(document());
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->createLayout(
                      L"Sheet", layoutId, blockId, db()),
                  Acad::eOk);
        AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
        ASSERT_EQ(block.openStatus(), Acad::eOk);
        for (size_t i = 0; i < std::size(cases); ++i) {
            auto* viewport = new AcDbViewport;
            viewport->setDatabaseDefaults(db());
            viewport->setCenterPoint(AcGePoint3d(60 + 130.0 * i, 60, 0));
            viewport->setWidth(120);
            viewport->setHeight(120);
            viewport->setViewCenter(AcGePoint2d(50, 50));
            viewport->setViewHeight(120);
            if (cases[i].roomsFrozen) {
                AcDbObjectIdArray frozen;
                frozen.append(rooms);
                ASSERT_EQ(viewport->freezeLayersInViewport(frozen), Acad::eOk);
            }
            if (!cases[i].layer.isNull()) {
                viewport->setLayer(cases[i].layer);
            }
            ASSERT_EQ(block->appendAcDbEntity(viewport), Acad::eOk);
            viewport->close();
        }
    }
    setSettings(layoutId, kPng, L"VGA_(640.00_x_480.00_Pixels)", AcDbPlotSettings::kExtents);
    ASSERT_EQ(publish(layoutId, windowsPath("sheet.png")), Acad::eOk);
    // Extents (0, 0)-(640, 120) on 640 x 480: a pixel a unit, the frames' tops on row 180.
    std::vector<std::pair<int, int>> points;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const int x = 60 + 130 * static_cast<int>(i);
        points.emplace_back(x, 240);
        for (int row = 178; row <= 181; ++row) {
            points.emplace_back(x, row);
        }
    }
    const auto probe = qv::test::probeImage(drive.posix("sheet.png"), points);
    ASSERT_TRUE(probe);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].what);
        const auto& centre = probe->rgb[i * 5];
        EXPECT_EQ(centre, (cases[i].view ? std::array<int, 3>{255, 0, 0}
                                         : std::array<int, 3>{255, 255, 255}));
        int darkest = 255;
        for (size_t k = 1; k <= 4; ++k) {
            darkest = std::min(darkest, probe->rgb[i * 5 + k][1]);
        }
        EXPECT_EQ(darkest < 200, cases[i].frame) << darkest;
    }
}

// The plot fails with a status and leaves no file; the reason reaches the command line.
TEST_F(PlotEngineTest, FailedPlotsLeaveNoFile) {
    struct Case {
        const wchar_t* device;
        const wchar_t* medium;
        const char* file;
        Acad::ErrorStatus status;
    };
    const Case cases[] = {
        {kDwf, L"ISO_A4_(297.00_x_210.00_MM)", "missing/plan.dwf", Acad::eFileAccessErr},
        {kPdf, L"ISO_A4_(297.00_x_210.00_MM)", "missing/plan.pdf", Acad::eFileAccessErr},
        {kPng, L"VGA_(640.00_x_480.00_Pixels)", "missing/plan.png", Acad::eFileAccessErr},
    };
    addLine();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        setSettings(modelLayoutId(), c.device, c.medium, AcDbPlotSettings::kExtents);
        EXPECT_EQ(publish(modelLayoutId(), windowsPath(c.file)), c.status);
        EXPECT_FALSE(drive.exists(c.file));
    }
}

TEST_F(PlotEngineTest, StagesRunInOrderAndOneEngineAtATime) {
    addLine();
    setSettings(modelLayoutId(), kPdf, L"ISO_A4_(297.00_x_210.00_MM)", AcDbPlotSettings::kExtents);
    AcPlPlotEngine* engine = nullptr;
    ASSERT_EQ(AcPlPlotFactory::createPublishEngine(engine), Acad::eOk);
    AcPlPlotEngine* second = nullptr;
    EXPECT_EQ(AcPlPlotFactory::createPublishEngine(second), Acad::eInvalidInput);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(AcPlPlotFactory::processPlotState(), AcPlPlotFactory::kForegroundPlotting);
    AcPlPlotInfo info;
    info.setLayout(modelLayoutId());
    EXPECT_EQ(engine->beginDocument(info, L"d", nullptr, 1, true, L"C:\\x.pdf"),
              Acad::eInvalidInput)
        << "before beginPlot";
    EXPECT_EQ(engine->beginPlot(nullptr), Acad::eOk);
    EXPECT_EQ(engine->beginDocument(info, L"d", nullptr, 1, true, L"C:\\x.pdf"),
              Acad::eInvalidInput)
        << "not validated";
    AcPlPlotInfoValidator validator;
    ASSERT_EQ(validator.validate(info), Acad::eOk);
    EXPECT_EQ(engine->beginDocument(info, L"d", nullptr, 1, true, L""), Acad::eInvalidInput);
    EXPECT_EQ(engine->endPlot(), Acad::eOk);
    engine->destroy();
    EXPECT_EQ(AcPlPlotFactory::processPlotState(), AcPlPlotFactory::kNotPlotting);
    EXPECT_FALSE(drive.exists("x.pdf"));
}

// A medium the device lacks is matched to its nearest one only when matching is enabled.
TEST_F(PlotEngineTest, ValidatorMatchesMediaToTheDevice) {
    setSettings(modelLayoutId(), kPdf, L"ISO_A3_(420.00_x_297.00_MM)", AcDbPlotSettings::kExtents);
    AcPlPlotInfo info;
    info.setLayout(modelLayoutId());
    AcDbPlotSettings overrides(true);
    AcDbPlotSettings::Data data;
    {
        AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForRead);
        data = layout->qvData();
    }
    data.plotCfgName = kPng;
    overrides.qvSetData(data);
    info.setOverrideSettings(&overrides);
    AcPlPlotInfoValidator validator;
    EXPECT_EQ(validator.validate(info), Acad::eInvalidInput);
    EXPECT_FALSE(info.isValidated());
    validator.setMediaMatchingPolicy(AcPlPlotInfoValidator::kMatchEnabled);
    ASSERT_EQ(validator.validate(info), Acad::eOk);
    const AcDbPlotSettings::Data& matched = info.validatedSettings()->qvData();
    // A3 at 96 pixels per inch is 1587 x 1123 pixels: UXGA (1600 x 1200) is nearest.
    EXPECT_EQ(matched.canonicalMediaName, L"UXGA_(1600.00_x_1200.00_Pixels)");
    data.plotCfgName = L"None";
    overrides.qvSetData(data);
    info.setOverrideSettings(&overrides);
    EXPECT_EQ(validator.validate(info), Acad::eInvalidInput);
}

// Where the area lands: scaled to fit or 1:1, centred or at the origin, turned or not, within
// the paper's margins (10 mm round the plain A4, 5 mm round the expand one, none round the full
// bleed one).
TEST_F(PlotEngineTest, SheetPlacesTheAreaAsTheSettingsSay) {
    using qv::host::plot::layoutSheet;
    using qv::host::plot::OutputFormat;
    const qv::host::plot::PlotArea area{0.0, 0.0, 200.0, 100.0};
    const double perMm = 72.0 / 25.4;
    struct Case {
        const wchar_t* medium;
        bool fit, centred;
        AcDbPlotSettings::PlotRotation rotation;
        // Expected box of the area on the A4 landscape page, in points (y from the top).
        double left, top, right, bottom;
    };
    const double a4w = 297 * perMm, a4h = 210 * perMm;
    const wchar_t* plain = L"ISO_A4_(297.00_x_210.00_MM)";
    const double m = 10 * perMm;
    const double fit0 = std::min((a4w - 2 * m) / 200, (a4h - 2 * m) / 100);
    const double fit90 = std::min((a4h - 2 * m) / 200, (a4w - 2 * m) / 100);
    const Case cases[] = {
        {plain, true, true, AcDbPlotSettings::k0degrees, m, (a4h - 100 * fit0) / 2, a4w - m,
         (a4h + 100 * fit0) / 2},
        {plain, true, true, AcDbPlotSettings::k90degrees, (a4w - 100 * fit90) / 2, m,
         (a4w + 100 * fit90) / 2, a4h - m},
        {plain, false, false, AcDbPlotSettings::k0degrees, m + 10 * perMm,
         a4h - m - 120 * perMm, m + 210 * perMm, a4h - m - 20 * perMm},
        {L"ISO_expand_A4_(297.00_x_210.00_MM)", false, false, AcDbPlotSettings::k0degrees,
         15 * perMm, a4h - 125 * perMm, 215 * perMm, a4h - 25 * perMm},
        {L"ISO_full_bleed_A4_(297.00_x_210.00_MM)", true, true, AcDbPlotSettings::k0degrees, 0,
         (a4h - 100 * a4w / 200) / 2, a4w, (a4h + 100 * a4w / 200) / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << CStringA(c.medium).GetString() << " "
                                        << c.rotation * 10 + c.fit);
        setSettings(modelLayoutId(), kPdf, c.medium, AcDbPlotSettings::kExtents, c.fit, c.centred,
                    c.rotation);
        {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForWrite);
            acdbHostApplicationServices()->plotSettingsValidator()->setPlotOrigin(
                layout.object(), 10, 20);
        }
        AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForRead);
        std::string error;
        const auto sheet = layoutSheet(*layout.object(), OutputFormat::Pdf, area, error);
        ASSERT_TRUE(sheet) << error;
        double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
        for (const auto& [x, y] : {std::pair{0.0, 0.0}, {200.0, 0.0}, {0.0, 100.0}, {200.0, 100.0}}) {
            const auto p = sheet->drawingToDevice.apply(x, y);
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        EXPECT_NEAR(left, c.left, 0.01);
        EXPECT_NEAR(top, c.top, 0.01);
        EXPECT_NEAR(right, c.right, 0.01);
        EXPECT_NEAR(bottom, c.bottom, 0.01);
    }
    // The turn is counter-clockwise: the area's lower left corner ends at the lower right.
    const auto p = [&] {
        setSettings(modelLayoutId(), kPdf, L"ISO_A4_(297.00_x_210.00_MM)",
                    AcDbPlotSettings::kExtents, true, true, AcDbPlotSettings::k90degrees);
        AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForRead);
        std::string error;
        return layoutSheet(*layout.object(), OutputFormat::Pdf, area, error)
            ->drawingToDevice.apply(0, 0);
    }();
    EXPECT_GT(p.x, a4w / 2);
    EXPECT_NEAR(p.y, a4h - m, 0.01);
}

// A medium gives each output its sheet (a raster size on a PDF at 96 pixels an inch), and a paper
// layout plots its sheet in the medium's units, turned with the plot.
TEST_F(PlotEngineTest, EachMediumsUnitsGiveTheSheetAndTheLayoutsArea) {
    using qv::host::plot::OutputFormat;
    AcDbObjectId layoutId, blockId;
    {
        WriteLock lock(document());
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->createLayout(L"Sheet", layoutId,
                                                                              blockId, db()),
                  Acad::eOk);
    }
    const struct {
        const wchar_t* device;
        const wchar_t* medium;
        OutputFormat format;
        AcDbPlotSettings::PlotRotation rotation;
        double width, height;          // the sheet, in points or pixels
        double areaWidth, areaHeight;  // the layout's sheet, in its paper units
    } cases[] = {
        {kPdf, L"ANSI_A_(11.00_x_8.50_Inches)", OutputFormat::Pdf, AcDbPlotSettings::k0degrees,
         792, 612, 11, 8.5},
        {kPdf, L"ANSI_A_(11.00_x_8.50_Inches)", OutputFormat::Png, AcDbPlotSettings::k90degrees,
         1056, 816, 8.5, 11},
        {kPng, L"XGA_(1024.00_x_768.00_Pixels)", OutputFormat::Pdf, AcDbPlotSettings::k0degrees,
         768, 576, 1024, 768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << CStringA(c.medium).GetString() << c.rotation);
        setSettings(layoutId, c.device, c.medium, AcDbPlotSettings::kLayout, false, true,
                    c.rotation);
        AcDbObjectPointer<AcDbLayout> layout(layoutId, AcDb::kForRead);
        std::string error;
        const auto sheet =
            qv::host::plot::layoutSheet(*layout.object(), c.format, {0, 0, 1, 1}, error);
        ASSERT_TRUE(sheet) << error;
        EXPECT_NEAR(sheet->deviceWidth, c.width, 0.5);
        EXPECT_NEAR(sheet->deviceHeight, c.height, 0.5);
        const qv::host::plot::PlotArea area = qv::host::plot::plotAreaOf(*layout.object(), *layout.object());
        EXPECT_NEAR(area.width(), c.areaWidth, 1e-9);
        EXPECT_NEAR(area.height(), c.areaHeight, 1e-9);
    }
}

// On paper: line weights give line widths (their own or their layer's), colour 7 is black, and
// pattern lines run in their direction, leave a hatch's holes empty and keep their dashes' gaps.
TEST_F(PlotEngineTest, WeightsColourSevenAndPatternsAsOnPaper) {
    const AcDbObjectId thick = layer(L"Thick");
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbLayerTableRecord> record(thick, AcDb::kForWrite);
        record->setLineWeight(AcDb::kLnWt211);
    }
    auto* own = new AcDbLine(AcGePoint3d(10, 90, 0), AcGePoint3d(90, 90, 0));
    own->setColor(rgb(255, 0, 0));
    own->setLineWeight(AcDb::kLnWt211);
    addToModelSpace(own);
    auto* byLayer = new AcDbLine(AcGePoint3d(10, 70, 0), AcGePoint3d(90, 70, 0));
    byLayer->setColor(rgb(0, 160, 0));
    byLayer->setLayer(thick);
    byLayer->setLineWeight(AcDb::kLnWtByLayer);
    addToModelSpace(byLayer);
    AcCmColor seven;
    seven.setColorIndex(7);
    addToModelSpace(solidSquare(110, 60, 200, 100, AcDbObjectId(), seven));
    // Lines at 0 degrees 10 apart over (0, 0)-(90, 50), round a hole (30, 15)-(60, 45).
    auto* pattern = new AcDbHatch;
    pattern->setDatabaseDefaults(db());
    ASSERT_EQ(pattern->setPatternSpace(10.0), Acad::eOk);
    ASSERT_EQ(pattern->setPattern(AcDbHatch::kUserDefined, L"_USER"), Acad::eOk);
    for (const auto& [loopType, x0, y0, x1, y1] :
         {std::tuple{AcDbHatch::kExternal, 0.0, 0.0, 90.0, 50.0},
          std::tuple{AcDbHatch::kDefault, 30.0, 15.0, 60.0, 45.0}}) {
        AcGePoint2dArray corners;
        for (const AcGePoint2d& p : {AcGePoint2d(x0, y0), AcGePoint2d(x1, y0),
                                     AcGePoint2d(x1, y1), AcGePoint2d(x0, y1)}) {
            corners.append(p);
        }
        ASSERT_EQ(pattern->appendLoop(loopType, corners, AcGeDoubleArray()), Acad::eOk);
    }
    pattern->setColor(rgb(0, 0, 255));
    addToModelSpace(pattern);
    // Dashes 10 long with gaps of 10 on lines 10 apart, each line's dashes 10 further on.
    auto* dashed = solidSquare(110, 0, 200, 50, AcDbObjectId(), rgb(0, 0, 255));
    ASSERT_EQ(dashed->setPatternScale(10.0 / 3.175), Acad::eOk);
    ASSERT_EQ(dashed->setPattern(AcDbHatch::kPreDefined, L"DASH"), Acad::eOk);
    addToModelSpace(dashed);

    // Extents (0, 0)-(200, 100) at 5.12 pixels a unit; 2.11 mm is 8 pixels wide.
    const auto at = plotXga("paper.png", 200.0, 100.0);
    ASSERT_TRUE(at);
    expectSpots("paper.png", *at,
                {
                    {50, 90, {255, 0, 0}, "within the heavy line's half width", 3},
                    {50, 90, {255, 255, 255}, "beyond the heavy line's half width", 15},
                    {50, 70, {0, 160, 0}, "within the half width of its layer's weight", 3},
                    {155, 80, {0, 0, 0}, "colour 7"},
                    {10, 20, {0, 0, 255}, "a pattern line left of the hole"},
                    {80, 20, {0, 0, 255}, "a pattern line right of the hole"},
                    {45, 20, {255, 255, 255}, "the hole"},
                    {10, 25, {255, 255, 255}, "between two pattern lines"},
                    {125, 20, {0, 0, 255}, "a dash"},
                    {135, 20, {255, 255, 255}, "a gap between two dashes"},
                },
                40);
}

TEST_F(PlotEngineTest, ProgressDialogIsShownAndRecorded) {
    AcPlPlotProgressDialog* dialog = acplCreatePlotProgressDialog(nullptr, false, 1, nullptr, true);
    dialog->setPlotMsgString(AcPlPlotProgressDialog::kDialogTitle, L"Plotting plan");
    dialog->setPlotProgressRange(0, 100);
    dialog->setPlotProgressPos(150);
    EXPECT_EQ(dialog->plotProgressPos(), 100) << "held within the range";
    dialog->setIsVisible(true);
    ASSERT_EQ(ui.dialogsShown().size(), 1u);
    EXPECT_EQ(ui.dialogsShown()[0].caption, L"Plotting plan");
    dialog->destroy();
    ASSERT_EQ(ui.dialogsClosed().size(), 1u);
    EXPECT_EQ(ui.dialogsClosed()[0], L"Plotting plan");
    const std::vector<std::wstring> expected = {
        L"created: 1 sheet(s), cancel sheet button", L"text 0: Plotting plan", L"plot range 0-100",
        L"plot pos 100", L"visible", L"hidden", L"destroyed"};
    EXPECT_EQ(qv::host::plot::recordedPlotProgress(), expected);
}

// EXPORT writes the current layout in the format of the file's extension, its name from the
// command line with FILEDIA 0 and from the file dialog with FILEDIA 1.
TEST_F(PlotEngineTest, ExportChoosesTheFormatByTheExtension) {
    addLine();
    setSettings(modelLayoutId(), kPdf, L"ISO_A4_(297.00_x_210.00_MM)", AcDbPlotSettings::kExtents);
    struct Case {
        short filedia;
        const char* file;
        const char* format;  // "" when nothing may be written
        const wchar_t* message;
    };
    const Case cases[] = {
        {0, "e.pdf", "PDF", L"Exported Model to C:\\e.pdf."},
        {0, "e.png", "PNG", L"Exported Model"},
        {0, "e.JPG", "JPEG", L"Exported Model"},
        {0, "e.jpeg", "JPEG", L"Exported Model"},
        {1, "dialog.pdf", "PDF", L"Exported Model"},
        {0, "e.dwf", "DWF", L"Exported Model to C:\\e.dwf."},
        {0, "e.txt", "", L"Cannot export to \".txt\" files: use .pdf, .png, .jpg or .dwf."},
        {0, "missing/e.pdf", "", L"Unable to export to C:\\missing\\e.pdf:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        resbuf value{};
        value.restype = RTSHORT;
        value.resval.rint = c.filedia;
        ASSERT_EQ(acedSetVar(L"FILEDIA", &value), RTNORM);
        qv::host::transcript().clear();
        const std::wstring path = windowsPath(c.file);
        if (c.filedia) {
            ui.queueFile(path.c_str());
            EXPECT_EQ(acedCommand(RTSTR, L"_EXPORT", RTNONE), RTNORM);
        } else {
            EXPECT_EQ(acedCommand(RTSTR, L"_EXPORT", RTSTR, path.c_str(), RTNONE), RTNORM);
        }
        EXPECT_NE(qv::host::transcript().text().find(c.message), std::wstring::npos)
            << qv::host::transcript().text();
        if (std::string(c.format).empty()) {
            EXPECT_FALSE(drive.exists(c.file));
        } else if (std::string(c.format) == "PDF") {
            const auto size = qv::test::pdfPageSize(drive.posix(c.file));
            ASSERT_TRUE(size);
            EXPECT_NEAR(size->first, 841.89, 0.5);
        } else if (std::string(c.format) == "DWF") {
            EXPECT_EQ(drive.readFile(c.file).rfind("(DWF V06.00)PK", 0), 0u);
        } else {
            // The A4 paper at 96 pixels per inch.
            const auto probe = qv::test::probeImage(drive.posix(c.file));
            ASSERT_TRUE(probe);
            EXPECT_EQ(probe->format, c.format);
            EXPECT_EQ(probe->width, 1123);
            EXPECT_EQ(probe->height, 794);
        }
    }
}

// Texts stand where their alignment puts them: pdftotext reads each word back with its box.
TEST_F(PlotEngineTest, TextsAreWrittenAtTheirAlignment) {
    struct Case {
        const wchar_t* text;
        AcDb::TextHorzMode horizontal;
        double x, y;    // millimetres on the sheet: position, or alignment point
        double anchor;  // the word's left, centre or right x expected there, in points
        char measured;  // 'l', 'c' or 'r'
    };
    const double pt = 72.0 / 25.4;
    const Case cases[] = {
        {L"Left", AcDb::kTextLeft, 20, 150, 20 * pt, 'l'},
        {L"Centred", AcDb::kTextCenter, 150, 120, 150 * pt, 'c'},
        {L"Right", AcDb::kTextRight, 280, 90, 280 * pt, 'r'},
        {L"Middle", AcDb::kTextMid, 150, 60, 150 * pt, 'c'},
    };
    for (const Case& c : cases) {
        auto* text = new AcDbText(AcGePoint3d(c.x, c.y, 0), c.text);
        text->setHeight(8.0);
        if (c.horizontal != AcDb::kTextLeft) {
            text->setHorizontalMode(c.horizontal);
            text->setAlignmentPoint(AcGePoint3d(c.x, c.y, 0));
        }
        addToModelSpace(text);
    }
    ASSERT_EQ(plotA4Window("texts.pdf"), Acad::eOk);
    const auto [html, status] =
        qv::test::runCommand("pdftotext -bbox '" + drive.posix("texts.pdf") + "' - 2>/dev/null");
    ASSERT_EQ(status, 0);
    for (const Case& c : cases) {
        const std::string word = CStringA(c.text).GetString();
        SCOPED_TRACE(word);
        const size_t at = html.find(">" + word + "<");
        ASSERT_NE(at, std::string::npos) << html;
        const size_t start = html.rfind("<word", at);
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
        ASSERT_EQ(std::sscanf(html.c_str() + start,
                              "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"",
                              &xMin, &yMin, &xMax, &yMax),
                  4);
        const double measured =
            c.measured == 'l' ? xMin : c.measured == 'r' ? xMax : (xMin + xMax) / 2.0;
        EXPECT_NEAR(measured, c.anchor, 3.0);
        // Capitals 8 mm high: the font's em is about 11 mm (31 points).
        EXPECT_NEAR(yMax - yMin, 31.0, 6.0);
    }
}

// A constant attribute definition is drawn by every reference of its block; one that is not
// constant shows only through the references' attributes (here there are none).
TEST_F(PlotEngineTest, ConstantAttributeDefinitionsArePlottedByEveryReference) {
    std::vector<AcDbEntity*> definitions;
    for (const bool constant : {true, false}) {
        auto* definition = new AcDbAttributeDefinition(AcGePoint3d(0, constant ? 0 : 20, 0),
                                                       constant ? L"Constant" : L"Variable",
                                                       constant ? L"TITLE" : L"NOTE", L"");
        definition->setHeight(8.0);
        definition->setConstant(constant);
        definitions.push_back(definition);
    }
    const AcDbObjectId block = qv::test::defineBlockOf(document(), L"TITLED", definitions);
    addToModelSpace(new AcDbBlockReference(AcGePoint3d(20, 150, 0), block));
    addToModelSpace(new AcDbBlockReference(AcGePoint3d(20, 60, 0), block));
    ASSERT_EQ(plotA4Window("titled.pdf"), Acad::eOk);
    const auto [text, status] =
        qv::test::runCommand("pdftotext '" + drive.posix("titled.pdf") + "' - 2>/dev/null");
    ASSERT_EQ(status, 0);
    size_t constants = 0;
    for (size_t at = text.find("Constant"); at != std::string::npos;
         at = text.find("Constant", at + 1))
        ++constants;
    EXPECT_EQ(2u, constants) << text;
    EXPECT_EQ(std::string::npos, text.find("Variable")) << text;
}

// A pattern too dense for its lines to show is drawn as the tint they give; a sparse one as
// lines with the sheet between them.
TEST_F(PlotEngineTest, DensePatternsShowAsTheirTint) {
    // 1024 pixels over 100 units: 10.24 pixels a unit; lines one pixel wide. User-defined
    // lines at 0 degrees from y = 0: on the left 0.25 units apart (2.56 pixels, under 3: 1 in
    // 2.56 of the area is blue), on the right 10 apart.
    const struct {
        double x0, spacing;
        std::array<int, 3> between;  // at y = 35, half-way between two lines on the right
    } cases[] = {
        {0, 0.25, {156, 156, 255}},
        {50, 10.0, {255, 255, 255}},
    };
    std::vector<Spot> spots;
    for (const auto& c : cases) {
        auto* hatch = solidSquare(c.x0, 0, c.x0 + 50, 75, AcDbObjectId(), rgb(0, 0, 255));
        ASSERT_EQ(hatch->setPatternSpace(c.spacing), Acad::eOk);
        ASSERT_EQ(hatch->setPattern(AcDbHatch::kUserDefined, L"_USER"), Acad::eOk);
        addToModelSpace(hatch);
        spots.push_back({c.x0 + 25, 35, c.between, c.x0 == 0 ? "dense" : "sparse"});
    }
    const auto at = plotXga("dense.png", 100.0, 75.0);
    ASSERT_TRUE(at);
    expectSpots("dense.png", *at, spots, 3);
}

}  // namespace
