#include "host/plot/PlotSheet.h"

#include <cmath>
#include <numbers>

#include "host/db/PlotDevices.h"

namespace qv::host::plot {

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kRasterPixelsPerInch = 96.0;
// The medium a device plots on when the settings name none with a size: its default.
const PlotMedium& defaultMedium(OutputFormat format) {
    switch (format) {
        case OutputFormat::Png:
            return plotMediaOf(L"PublishToWeb PNG.pc3").front();
        case OutputFormat::Jpg:
            return plotMediaOf(L"PublishToWeb JPG.pc3").front();
        case OutputFormat::Dwf:
            return plotMediaOf(L"DWF6 ePlot.pc3").front();
        case OutputFormat::Pdf:
            break;
    }
    return plotMediaOf(L"DWG To PDF.pc3").front();
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());  // (medium names are ASCII)
}

}  // namespace

bool hasPaperSize(const AcDbPlotSettings& settings) {
    const AcDbPlotSettings::Data& data = settings.qvData();
    return data.paperWidth > 0.0 && data.paperHeight > 0.0 && std::isfinite(data.paperWidth) &&
           std::isfinite(data.paperHeight);
}

double devicePerMm(OutputFormat format) {
    switch (format) {
        case OutputFormat::Pdf:
        case OutputFormat::Dwf:
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
    const bool rasterOutput = format == OutputFormat::Png || format == OutputFormat::Jpg;
    bool rasterMedium = data.paperUnits == AcDbPlotSettings::kPixels;
    double paperWidth = data.paperWidth;
    double paperHeight = data.paperHeight;
    // A paper without size (what some programs write for a layout never set up) plots on the
    // device's default medium, fitted unless the settings give a scale.
    const bool fallback = !hasPaperSize(settings);
    SheetLayout sheet;
    // The unprintable margins: the settings' own, or those of the medium taken instead.
    double margins[4] = {data.marginLeft, data.marginBottom, data.marginRight, data.marginTop};
    if (fallback) {
        const PlotMedium& medium = defaultMedium(format);
        rasterMedium = medium.raster();
        paperWidth = medium.width;
        paperHeight = medium.height;
        sheet.fallbackMedium = narrow(medium.localeName());
        margins[0] = medium.marginLeft;
        margins[1] = medium.marginBottom;
        margins[2] = medium.marginRight;
        margins[3] = medium.marginTop;
    }
    sheet.devicePerMm = devicePerMm(format);
    // Device units per unit of the medium's size (millimetres or pixels).
    double perSizeUnit = sheet.devicePerMm;
    if (rasterMedium) {
        perSizeUnit = rasterOutput ? 1.0 : kMmPerInch / kRasterPixelsPerInch * sheet.devicePerMm;
    }
    sheet.deviceWidth = paperWidth * perSizeUnit;
    sheet.deviceHeight = paperHeight * perSizeUnit;
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
    const auto margin = [&](int side) {
        return std::isfinite(margins[side]) ? std::max(0.0, margins[side]) * perSizeUnit : 0.0;
    };
    double left = margin(0);
    double bottom = margin(1);
    double printableWidth = sheet.deviceWidth - left - margin(2);
    double printableHeight = sheet.deviceHeight - bottom - margin(3);
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
    const double fitted = std::min(availableWidth / areaWidth, availableHeight / areaHeight);
    if (data.useStandardScale && data.stdScaleType == AcDbPlotSettings::kScaleToFit) {
        scale = fitted;
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
        if (fallback && !(scale > 0.0 && std::isfinite(scale))) {
            scale = fitted;
        }
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
