// Clipping of segments to an axis-parallel box, as the plot's canvases need it.
#pragma once

#include "Canvas.h"

namespace qv::host::plot {

// Cuts the segment a-b to its part inside the box [x0, x1] x [y0, y1] (Liang-Barsky); false, with
// a and b unchanged, when no part of it is inside.
bool clipSegment(double x0, double y0, double x1, double y1, DevicePoint& a, DevicePoint& b);

}  // namespace qv::host::plot
