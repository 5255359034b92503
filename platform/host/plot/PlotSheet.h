// Where a plot lands on the sheet: the sheet's size on the output device and the map from the
// plotted area (drawing units) to the device, as the plot settings ask for it.
//
// The sheet is the settings' medium: a paper in millimetres or inches, or a raster size in
// pixels. A PDF page (and a DWF page) is the paper in points; an image has the raster size's
// pixels. A paper
// plotted to an image, or a raster size to a PDF page, is taken at 96 pixels per inch.
//
// The plotted area is scaled to fit the sheet (standard scale "scale to fit"), or by the
// standard scale or the custom scale (paper units per drawing unit), turned by the plot rotation
// (counter-clockwise on the sheet), and centred on the sheet or placed with its lower left corner
// at the plot origin (millimetres from the printable area's lower left corner). The printable
// area is the sheet within the settings' unprintable margins (those of the medium the settings
// took, PlotDevices.h, or those a drawing file gives).
//
// Settings whose paper has no size (0 x 0, as several programs write for a layout that was never
// set up) plot on the output device's default medium (ISO A4 landscape for a PDF page, XGA for an
// image) within that medium's margins, scaled as the settings say or fitted when they give no
// scale above 0.
#pragma once

#include <optional>
#include <string>

#include "../db/AcDbPlotSettings.h"
#include "CairoCanvas.h"

namespace qv::host::plot {

struct PlotArea {
    double xmin = 0.0, ymin = 0.0, xmax = 0.0, ymax = 0.0;
    double width() const { return xmax - xmin; }
    double height() const { return ymax - ymin; }
};

struct SheetLayout {
    double deviceWidth = 0.0, deviceHeight = 0.0;  // points or pixels
    double devicePerMm = 0.0;                      // device units per millimetre of paper
    double scale = 0.0;                            // device units per drawing unit
    Affine drawingToDevice;
    // The locale name of the device's default medium when the settings' paper had no size and
    // that medium was taken instead; empty when the sheet is the settings' own medium.
    std::string fallbackMedium;
};

// Whether the settings' paper has a width and a height above 0.
bool hasPaperSize(const AcDbPlotSettings& settings);

// The device units per millimetre of an output: points for a PDF or DWF, 96 pixels per inch
// for an image.
double devicePerMm(OutputFormat format);

// The sheet and the map for that area. Nothing, with `error` set, for a medium without size or
// a scale that is not above 0.
std::optional<SheetLayout> layoutSheet(const AcDbPlotSettings& settings, OutputFormat format,
                                       const PlotArea& area, std::string& error);

}  // namespace qv::host::plot
