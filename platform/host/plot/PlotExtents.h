// What a layout plots, measured: the extents of its plotted entities (those on layers that show
// and plot) with every text the plot draws as the plot font sets it, the texts of block
// references (their attributes, the constant texts of their blocks, tables' cells) included.
// A text's box runs from below its descenders to above its capitals over its advance.
#pragma once

#include <optional>

#include "../db/AcDbLayout.h"
#include "PlotSheet.h"

namespace qv::host::plot {

// The box of what the layout plots, in its block's units; nothing when it plots nothing.
std::optional<PlotArea> plottedExtents(const AcDbLayout& layout);

// Whether a plot of the layout with these settings on that output shows anything on the sheet:
// some line, fill or text drawn reaches into it. True when the sheet cannot be laid out (the
// plot itself then says why).
bool plotShowsAnything(const AcDbLayout& layout, const AcDbPlotSettings& settings,
                       OutputFormat format);

}  // namespace qv::host::plot
