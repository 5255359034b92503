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

// Writes the file through a temporary file beside it (PlotOutput.h), put in place only when
// complete. Empty on success, else why nothing was written: the path was refused (no regular
// file, read-only, the drawing's own file) or the device failed; an old file of that name is
// then left as it was. `warning`, when given, is set to what the user should know of a plot that
// did not go as the settings say (a paper without size plotted on the device's default medium),
// and left alone otherwise.
//
// The plot is laid out and drawn once. Without `blank` a sheet on which nothing lands is written
// as it is (an empty page); with `blank` such a sheet is refused while it is drawn: nothing is
// put in place, `*blank` is set and the result is empty (`*blank` is false for every other
// outcome).
std::string renderPlot(const PlotJob& job, std::string* warning = nullptr, bool* blank = nullptr);

// The output format for a file's extension (".pdf", ".png", ".jpg" or ".jpeg", ".dwf", any
// case); false for any other.
bool formatForExtension(const std::wstring& path, OutputFormat& format);

}  // namespace qv::host::plot
