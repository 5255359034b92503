// The DWF canvas at its limits, read back by the tests' DWF reader (tests/support/dwfread.py)
// through check_dwf_canvas.py, which knows what is drawn here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "host/plot/CairoCanvas.h"
#include "host/plot/DwfCanvas.h"
#include "support/TempDrive.h"

namespace {

using qv::host::plot::Affine;
using qv::host::plot::Canvas;
using qv::host::plot::DevicePoint;
using qv::host::plot::Rgb;

constexpr double kA4Width = 841.89, kA4Height = 595.28;  // points

// The command line that runs the check of check_dwf_canvas.py on the files.
std::string checkCommand(const std::string& check, std::initializer_list<std::string> files) {
    const char* source = std::getenv("QV_SOURCE_DIR");
    std::string command = "/usr/bin/python3 '" + std::string(source ? source : ".") +
                          "/tests/platform/host_plot/check_dwf_canvas.py' " + check;
    for (const std::string& file : files) {
        command += " '" + file + "'";
    }
    return command;
}

std::unique_ptr<Canvas> a4(const std::string& path, std::string& error) {
    qv::host::plot::DwfSheet sheet;
    sheet.pageName = "Plan \"A\" & <1>";
    sheet.source = "plan.dwg";
    sheet.plottedFrom = {10.0, kA4Height - 20.0};
    sheet.plottedTo = {kA4Width - 30.0, 40.0};
    return qv::host::plot::createDwfCanvas(path, kA4Width, kA4Height, sheet, error);
}

// A polyline past one opcode's count, a layer named with a quote and umlauts, a fill with a
// hole, a clip that cuts a line and drops a text wholly outside it, a turned, slanted text in
// Unicode, and the plotted area (off the sheet's middle) on the page's paper.
TEST(DwfCanvasTest, WhatIsDrawnReadsBack) {
    qv::test::TempDrive drive;
    std::string error;
    auto canvas = a4(drive.posix("edge.dwf"), error);
    ASSERT_TRUE(canvas) << error;

    canvas->setLayer("W\xC3\xA4nde 'A'");
    canvas->moveTo({20.0, 300.0});
    for (int i = 1; i < 70000; ++i) {
        canvas->lineTo({20.0 + i * 0.01, i % 2 == 0 ? 300.0 : 310.0});
    }
    canvas->stroke({0.0, 0.0, 1.0}, 1.0);

    canvas->setLayer("0");
    const DevicePoint outer[] = {{400, 100}, {600, 100}, {600, 300}, {400, 300}};
    const DevicePoint inner[] = {{450, 150}, {550, 150}, {550, 250}, {450, 250}};
    for (const auto* ring : {outer, inner}) {
        canvas->moveTo(ring[0]);
        for (int i = 1; i < 4; ++i) {
            canvas->lineTo(ring[i]);
        }
        canvas->closePath();
    }
    canvas->fill({1.0, 0.0, 0.0});

    canvas->moveTo({100, 400});
    canvas->lineTo({200, 400});
    canvas->lineTo({200, 500});
    canvas->lineTo({100, 500});
    canvas->closePath();
    canvas->pushClip();
    canvas->moveTo({0, 450});
    canvas->lineTo({300, 450});
    canvas->stroke({0.0, 0.5, 0.0}, 2.0);
    canvas->text("outside", Affine::translation(50, 450).after(Affine::scaling(10, -10)), {});
    canvas->popClip();

    // 30 degrees counter-clockwise on the paper, slanted by 15 degrees, 20 points to the em.
    const double turn = 30.0 * M_PI / 180.0, slant = std::tan(15.0 * M_PI / 180.0);
    const Affine glyphs{20.0, 0.0, 20.0 * slant, 20.0, 0.0, 0.0};
    const Affine flip{1.0, 0.0, 0.0, -1.0, 300.0, 100.0};  // y up -> the device's y down
    canvas->text("\xC3\x98 25\xC2\xB0 'q'", flip.after(Affine::rotation(turn)).after(glyphs),
                 {0.0, 0.0, 0.0});
    ASSERT_EQ(canvas->finish(), "");
    canvas.reset();

    EXPECT_EQ(std::system(checkCommand("drawn", {drive.posix("edge.dwf")}).c_str()), 0);
}

// A fill of more loops than one contour set holds is filled as one: 70,000 holes in a square
// stay empty wherever they are in the fill's order, as on the PDF of the same fill.
TEST(DwfCanvasTest, ManyHolesStayHolesAsOnThePdf) {
    qv::test::TempDrive drive;
    std::string error;
    auto dwf = a4(drive.posix("holes.dwf"), error);
    ASSERT_TRUE(dwf) << error;
    auto pdf = qv::host::plot::createCanvas(qv::host::plot::OutputFormat::Pdf,
                                            drive.posix("holes.pdf"), kA4Width, kA4Height, error);
    ASSERT_TRUE(pdf) << error;
    for (Canvas* canvas : {dwf.get(), pdf.get()}) {
        const auto ring = [canvas](double x0, double y0, double x1, double y1) {
            canvas->moveTo({x0, y0});
            canvas->lineTo({x1, y0});
            canvas->lineTo({x1, y1});
            canvas->lineTo({x0, y1});
            canvas->closePath();
        };
        ring(20.0, 20.0, 820.0, 560.0);
        // 350 columns by 200 rows from (30, 30), 2.2 by 2.6 points apart, 1.2 points wide.
        for (int row = 0; row < 200; ++row) {
            for (int column = 0; column < 350; ++column) {
                const double x = 30.0 + column * 2.2, y = 30.0 + row * 2.6;
                ring(x, y, x + 1.2, y + 1.2);
            }
        }
        canvas->fill({0.0, 0.0, 0.0});
        ASSERT_EQ(canvas->finish(), "");
    }
    dwf.reset();
    pdf.reset();
    const std::string command =
        checkCommand("holes", {drive.posix("holes.dwf"), drive.posix("holes.pdf")});
    EXPECT_EQ(std::system(command.c_str()), 0);
}

// A folder that cannot be written: a clear reason and no file; a sheet of no size: no canvas.
TEST(DwfCanvasTest, FailuresAreReported) {
    qv::test::TempDrive drive;
    std::string error;
    auto canvas = a4(drive.posix("missing/edge.dwf"), error);
    ASSERT_TRUE(canvas) << error;
    EXPECT_EQ(canvas->finish(), "the file cannot be created");
    EXPECT_FALSE(drive.exists("missing/edge.dwf"));

    qv::host::plot::DwfSheet sheet;
    EXPECT_FALSE(qv::host::plot::createDwfCanvas(drive.posix("x.dwf"), 0.0, 10.0, sheet, error));
    EXPECT_EQ(error, "the sheet has no size");
    EXPECT_FALSE(qv::host::plot::createDwfCanvas(drive.posix("x.dwf"), 1e8, 10.0, sheet, error));
    EXPECT_EQ(error, "the sheet is too large");
}

}  // namespace
