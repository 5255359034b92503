// Plot settings whose paper has no size (0 x 0, as several programs write a layout never set
// up) plot on the device's default medium instead of being refused, within that medium's
// margins (10 mm round the A4 paper, none round a raster size).
#include <gtest/gtest.h>

#include "host/plot/PlotSheet.h"

namespace {

using qv::host::plot::layoutSheet;
using qv::host::plot::OutputFormat;
using qv::host::plot::PlotArea;

TEST(PaperFallbackTest, APaperWithoutSizePlotsOnTheDevicesDefaultMedium) {
    const double pt = 72.0 / 25.4;
    struct Case {
        OutputFormat format;
        bool standard;         // a standard scale (1:1) rather than a custom one
        double numerator;      // of the custom scale, over 1
        double width, height;  // the sheet expected, points or pixels
        double scale;          // device units per drawing unit expected
        double left;           // where the area's left side lands
        const char* medium;
    };
    const PlotArea area{0, 0, 100, 50};
    const Case cases[] = {
        // no scale: fitted to A4 landscape, the PDF device's first paper, within its margins
        {OutputFormat::Pdf, false, 0.0, 297 * pt, 210 * pt, 277 * pt / 100, 10 * pt,
         "ISO A4 (297.00 x 210.00 MM)"},
        // a scale given: kept (and centred)
        {OutputFormat::Pdf, true, 0.0, 297 * pt, 210 * pt, pt, 98.5 * pt,
         "ISO A4 (297.00 x 210.00 MM)"},
        {OutputFormat::Pdf, false, 2.0, 297 * pt, 210 * pt, 2 * pt, 48.5 * pt,
         "ISO A4 (297.00 x 210.00 MM)"},
        {OutputFormat::Png, false, 0.0, 1024, 768, 10.24, 0, "XGA (1024.00 x 768.00 Pixels)"},
        {OutputFormat::Jpg, false, 0.0, 1024, 768, 10.24, 0, "XGA (1024.00 x 768.00 Pixels)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format) * 100 + c.standard * 10 + c.numerator);
        AcDbPlotSettings settings(true);
        AcDbPlotSettings::Data data = settings.qvData();
        data.paperWidth = data.paperHeight = 0.0;
        data.useStandardScale = c.standard;
        data.stdScaleType = AcDbPlotSettings::k1_1;
        data.customNumerator = c.numerator;
        data.customDenominator = 1.0;
        settings.qvSetData(data);
        std::string error;
        const auto sheet = layoutSheet(settings, c.format, area, error);
        ASSERT_TRUE(sheet.has_value()) << error;
        EXPECT_NEAR(sheet->deviceWidth, c.width, 1e-6);
        EXPECT_NEAR(sheet->deviceHeight, c.height, 1e-6);
        EXPECT_NEAR(sheet->scale, c.scale, 1e-6);
        EXPECT_NEAR(sheet->drawingToDevice.apply(0, 0).x, c.left, 1e-6);
        EXPECT_EQ(sheet->fallbackMedium, c.medium);
    }
}

}  // namespace
