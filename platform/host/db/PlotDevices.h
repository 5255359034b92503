// The plot devices of this host, their media (papers and raster sizes) and the plot style
// tables. The validator checks plot settings against them and the plot engine reads a medium's
// size from them.
//
// Devices: "None" (no output, papers only), "DWF6 ePlot.pc3" and "DWG To PDF.pc3" (papers), and
// "PublishToWeb JPG.pc3" and "PublishToWeb PNG.pc3" (raster sizes). Device names compare without
// regard to case, as the files they name on Windows.
//
// The papers: the ISO sheets 4A0 to A5 and B0 to B5 (millimetres), ANSI A to F and ARCH A to E1
// (inches), each plain, "expand" and "full_bleed", each in both orientations, named as
// "ISO_A4_(297.00_x_210.00_MM)", "ANSI_expand_B_(17.00_x_11.00_Inches)",
// "ARCH_full_bleed_E1_(30.00_x_42.00_Inches)" (width first). The raster sizes:
// "VGA_(640.00_x_480.00_Pixels)", SVGA 800 x 600, XGA 1024 x 768, SXGA 1280 x 1024,
// UXGA 1600 x 1200 and QXGA 2048 x 1536. Canonical media names compare exactly.
//
// The papers have unprintable margins, the same on every side: 10 mm for the plain papers, 5 mm
// for the "expand" ones, none for the "full_bleed" ones. The raster sizes have none (an image
// has no edge a device cannot reach).
#pragma once

#include <string>
#include <vector>

#include "AcDbPlotSettings.h"

namespace qv::host {

struct PlotMedium {
    std::wstring canonicalName;
    // In millimetres for a paper, in pixels for a raster size.
    double width = 0.0;
    double height = 0.0;
    AcDbPlotSettings::PlotPaperUnits units = AcDbPlotSettings::kMillimeters;
    // The unprintable margins, in millimetres (in pixels for a raster size).
    double marginLeft = 0.0, marginBottom = 0.0, marginRight = 0.0, marginTop = 0.0;
    bool raster() const { return units == AcDbPlotSettings::kPixels; }
    // As the host shows it: the canonical name with blanks for underscores.
    std::wstring localeName() const;
};

// The device names in the host's order, "None" first.
const std::vector<std::wstring>& plotDeviceNames();
// The device's name as the host spells it, or empty for no device of this host.
std::wstring findPlotDevice(const std::wstring& name);
// The media of a device, its default first; empty for an unknown device.
const std::vector<PlotMedium>& plotMediaOf(const std::wstring& device);
// The medium of that canonical name on the device, or null.
const PlotMedium* findPlotMedium(const std::wstring& device, const std::wstring& canonicalName);
// Gives the settings the medium's margins.
void takeMargins(AcDbPlotSettings::Data& data, const PlotMedium& medium);
// The plot style tables: colour-dependent (".ctb") and named (".stb").
const std::vector<std::wstring>& plotStyleSheetNames();

}  // namespace qv::host
