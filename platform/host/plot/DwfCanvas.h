// The canvas that writes a DWF 6 ePlot package (DwfPackage.h) of one page when it finishes.
//
// Device units are points (1/72 inch) from the sheet's top left corner, as on a PDF page; the
// page's graphics (W2dStream.h) use logical units of 1/100 mm (or 1/2540 inch) from its lower
// left corner. Strokes become polylines with the pen's width as line weight, fills become
// filled contour sets, texts are drawn in the plot font (DejaVu Sans, measured as the cairo
// canvas measures it) with their height, rotation, width and slant (a mirrored text with the
// box it fills, turned the other way round), and what is drawn is put on the layer last named by
// setLayer. Drawing is limited to the sheet, and a clip limits it to the box around its path
// (exact for the rectangular frames of viewports): lines and fills are cut at the edge; a text
// that reaches into the box is written whole with the box as the stream's clip, one wholly
// outside is left out. A fill of more contours than one opcode holds is cut into parts that
// each hold fewer, so that every part is filled as the whole would be.
#pragma once

#include <memory>
#include <string>

#include "Canvas.h"

namespace qv::host::plot {

struct DwfSheet {
    std::string pageName;  // the layout's name, UTF-8
    std::string source;    // the drawing's file name, UTF-8
    bool inches = false;   // the paper's units: inches, else millimetres
    // Where the plotted area lies on the sheet, in device units (any two opposite corners).
    DevicePoint plottedFrom, plottedTo;
};

// A canvas of that many points that writes `path` (a POSIX path) when it finishes. Null, with
// `error` set, for a sheet of no size or one too large for the page's logical units.
std::unique_ptr<Canvas> createDwfCanvas(const std::string& path, double width, double height,
                                        const DwfSheet& sheet, std::string& error);

}  // namespace qv::host::plot
