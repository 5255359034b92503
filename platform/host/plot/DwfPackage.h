// A DWF 6 ePlot package: the 12 bytes "(DWF V06.00)" and a ZIP archive (written by libzip)
// holding
//   manifest.xml                     the package's manifest ("DWF-Manifest:6.0"): the ePlot
//                                    interface and one section per page
//   com.autodesk.dwf.ePlot_<id>/descriptor.xml
//                                    the page ("DWF-ePlot:1.2"): its paper (units, size, the
//                                    plotted area as clip) and its graphics resource with the
//                                    map from logical units to the paper
//   com.autodesk.dwf.ePlot_<id>/<id>.w2d
//                                    the page's graphics (W2dStream.h)
// The archive's offsets count from the start of the archive, after the 12 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::host::plot {

struct DwfPage {
    std::string name;  // the page's title (the layout's name), UTF-8
    std::string paperUnits = "mm";  // "mm" or "in"
    double paperWidth = 0.0, paperHeight = 0.0;  // in paperUnits
    double logicalPerUnit = 1.0;  // logical units of the graphics per paper unit
    // Where the plotted area lies on the paper (paper units, from its lower left corner).
    double plotted[4] = {0.0, 0.0, 0.0, 0.0};
    // The box of what the graphics draw (logical units); all 0 for an empty page.
    int32_t extents[4] = {0, 0, 0, 0};
    std::string graphics;  // the W2D stream
};

// Writes the package of the pages (one at least) to `path` (a POSIX path), naming `source` as
// the drawing they were plotted from. Empty on success, else why not; the file is then removed.
std::string writeDwfPackage(const std::string& path, const std::vector<DwfPage>& pages,
                            const std::string& source);

}  // namespace qv::host::plot
