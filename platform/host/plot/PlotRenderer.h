// Renders a layout of a drawing to a PDF, PNG, JPEG or DWF file with the plot settings given.
//
// The plotted area is the settings' plot type: the extents of what the layout plots (kExtents,
// and kDisplay and kView, since the host keeps no screen view or named views here), the layout's
// limits (kLimits), the window (kWindow), or the whole sheet of a paper layout (kLayout, in paper
// units from the layout's origin). A paper layout shows model space through its viewports.
#pragma once

#include <string>

#include "../db/AcDbLayout.h"
#include "PlotSheet.h"

namespace qv::host::plot {

struct PlotJob {
    AcDbObjectId layout;                         // the layout plotted (its block and kind)
    const AcDbPlotSettings* settings = nullptr;  // how; the layout's own when null
    OutputFormat format = OutputFormat::Pdf;
    std::string path;  // POSIX path of the output file
};

// The area the settings plot of the layout, in its block's units.
PlotArea plotAreaOf(const AcDbLayout& layout, const AcDbPlotSettings& settings);

// Writes the file. Empty on success, else why nothing (or no complete file) was written; a
// file left incomplete is removed. `warning`, when given, is set to what the user should know of
// a plot that did not go as the settings say (a paper without size plotted on the device's
// default medium), and left alone otherwise.
std::string renderPlot(const PlotJob& job, std::string* warning = nullptr);

// The output format for a file's extension (".pdf", ".png", ".jpg" or ".jpeg", ".dwf", any
// case); false for any other.
bool formatForExtension(const std::wstring& path, OutputFormat& format);

}  // namespace qv::host::plot
