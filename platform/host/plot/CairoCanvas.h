// The canvas drawn by cairo: a PDF page, or a raster image written as PNG or JPEG.
//
// The plot font is DejaVu Sans (Debian's fonts-dejavu-core), found through fontconfig.
#pragma once

#include <memory>
#include <string>

#include "Canvas.h"

namespace qv::host::plot {

// The file formats of a plot: the cairo canvas writes the first three, DwfCanvas.h the last.
enum class OutputFormat { Pdf, Png, Jpg, Dwf };

// A canvas that writes `path` (a POSIX path) when it finishes: a PDF page of that size in
// points, or an image of that many pixels on white. Null, with `error` set, when the surface
// cannot be made (a PDF file that cannot be created, a size of no pixels or too many) or the
// format is not cairo's.
std::unique_ptr<Canvas> createCanvas(OutputFormat format, const std::string& path, double width,
                                     double height, std::string& error);

}  // namespace qv::host::plot
