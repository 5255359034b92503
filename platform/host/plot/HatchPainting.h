// Hatches on a canvas: a solid hatch fills its loops; a patterned one draws the line families of
// its pattern (the host's predefined patterns, or the user-defined parallel lines, crossed when
// doubled) clipped to its loops, with the dashes, dots and gaps of each family. Islands inside
// islands stay empty (even-odd).
//
// A pattern whose lines would lie closer than `denseSpacing` (device units), or which would need
// more than 200 000 line pieces, is too dense to show its lines: it is filled with the tint the
// eye sees, its colour mixed with the white of the sheet by the share its lines cover. The lines are
// cut at the loops' edges here (even-odd), not clipped by the canvas.
#pragma once

#include "Canvas.h"

class AcDbHatch;

namespace qv::host::plot {

void paintHatch(Canvas& canvas, const AcDbHatch& hatch, const Affine& toDevice, const Rgb& colour,
                double lineWidth, double denseSpacing);

}  // namespace qv::host::plot
