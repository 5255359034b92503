#include "host/plot/PlotSheet.h"

#include <cmath>
#include <numbers>

namespace qv::host::plot {

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kRasterPixelsPerInch = 96.0;
}  // namespace

double devicePerMm(OutputFormat format) {
    switch (format) {
        case OutputFormat::Pdf:
            return 72.0 / kMmPerInch;
        case OutputFormat::Png:
        case OutputFormat::Jpg:
            return kRasterPixelsPerInch / kMmPerInch;
    }
    return 1.0;
}

std::optional<SheetLayout> layoutSheet(const AcDbPlotSettings& settings, OutputFormat format,
                                       const PlotArea& area, std::string& error) {
    const AcDbPlotSettings::Data& data = settings.qvData();
    const bool rasterOutput = format != OutputFormat::Pdf;
    const bool rasterMedium = data.paperUnits == AcDbPlotSettings::kPixels;
    SheetLayout sheet;
    sheet.devicePerMm = devicePerMm(format);
    // Device units per unit of the medium's size (millimetres or pixels).
    double perSizeUnit = sheet.devicePerMm;
    if (rasterMedium) {
        perSizeUnit = rasterOutput ? 1.0 : kMmPerInch / kRasterPixelsPerInch * sheet.devicePerMm;
    }
    sheet.deviceWidth = data.paperWidth * perSizeUnit;
    sheet.deviceHeight = data.paperHeight * perSizeUnit;
    if (rasterOutput) {
        sheet.deviceWidth = std::round(sheet.deviceWidth);
        sheet.deviceHeight = std::round(sheet.deviceHeight);
    }
    if (!(sheet.deviceWidth >= 1.0 && sheet.deviceHeight >= 1.0)) {
        error = "the medium has no size";
        return std::nullopt;
    }

    // The printable area: the sheet within the medium's unprintable margins (in the medium's
    // units), or the whole sheet when the margins leave nothing.
    double left = std::max(0.0, data.marginLeft) * perSizeUnit;
    double bottom = std::max(0.0, data.marginBottom) * perSizeUnit;
    double printableWidth = sheet.deviceWidth - left - std::max(0.0, data.marginRight) * perSizeUnit;
    double printableHeight =
        sheet.deviceHeight - bottom - std::max(0.0, data.marginTop) * perSizeUnit;
    if (!(printableWidth >= 1.0 && printableHeight >= 1.0)) {
        left = bottom = 0.0;
        printableWidth = sheet.deviceWidth;
        printableHeight = sheet.deviceHeight;
    }

    const int quarterTurns = static_cast<int>(data.rotation) & 3;
    const bool turned = (quarterTurns & 1) != 0;
    const double areaWidth = std::max(area.width(), 1e-9);
    const double areaHeight = std::max(area.height(), 1e-9);
    // The printable area as the unturned plot sees it.
    const double availableWidth = turned ? printableHeight : printableWidth;
    const double availableHeight = turned ? printableWidth : printableHeight;

    double scale = 0.0;
    if (data.useStandardScale && data.stdScaleType == AcDbPlotSettings::kScaleToFit) {
        scale = std::min(availableWidth / areaWidth, availableHeight / areaHeight);
    } else {
        double ratio = 0.0;
        if (data.useStandardScale) {
            settings.getStdScale(ratio);
        } else if (data.customDenominator != 0.0) {
            ratio = data.customNumerator / data.customDenominator;
        }
        double perPaperUnit = sheet.devicePerMm;
        switch (data.paperUnits) {
            case AcDbPlotSettings::kInches:
                perPaperUnit = kMmPerInch * sheet.devicePerMm;
                break;
            case AcDbPlotSettings::kMillimeters:
                break;
            case AcDbPlotSettings::kPixels:
                perPaperUnit = perSizeUnit;
                break;
        }
        scale = ratio * perPaperUnit;
    }
    if (!(scale > 0.0) || !std::isfinite(scale)) {
        error = "the plot scale is not above 0";
        return std::nullopt;
    }
    sheet.scale = scale;

    // Drawing -> plot frame (millimetre-free device units, y up), centred on the area's middle.
    const double cx = (area.xmin + area.xmax) / 2.0;
    const double cy = (area.ymin + area.ymax) / 2.0;
    Affine map = Affine::scaling(scale, scale).after(Affine::translation(-cx, -cy));
    map = Affine::rotation(quarterTurns * std::numbers::pi / 2.0).after(map);
    // The turned area's size on the sheet.
    const double placedWidth = (turned ? areaHeight : areaWidth) * scale;
    const double placedHeight = (turned ? areaWidth : areaHeight) * scale;
    double centreX = left + printableWidth / 2.0;
    double centreY = bottom + printableHeight / 2.0;
    if (!data.plotCentered) {
        centreX = left + data.originX * sheet.devicePerMm + placedWidth / 2.0;
        centreY = bottom + data.originY * sheet.devicePerMm + placedHeight / 2.0;
    }
    map = Affine::translation(centreX, centreY).after(map);
    // The device's y runs downwards from the top edge.
    sheet.drawingToDevice = Affine{1.0, 0.0, 0.0, -1.0, 0.0, sheet.deviceHeight}.after(map);
    return sheet;
}

}  // namespace qv::host::plot
