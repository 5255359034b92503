// Curves as the points of short straight pieces, fine enough for the device they land on.
#pragma once

#include <vector>

#include "../ge/AcGeMatrix3d.h"
#include "../ge/BulgeSegment.h"
#include "Canvas.h"

namespace qv::host::plot {

struct Point2 {
    double x = 0.0, y = 0.0;
};

// The plan view of a matrix: x and y of the image of (x, y, 0).
Affine planAffine(const AcGeMatrix3d& matrix);

// The points of a segment after its start, up to its end: a line gives its end alone; an arc
// as many points as keep the chords within a quarter of a device unit of it at `deviceScale`
// device units per segment unit (at most 512).
void appendSegment(const BulgeSegment& segment, double deviceScale, std::vector<Point2>& points);

// The outline of a chain of segments, starting point first.
std::vector<Point2> flattenChain(const std::vector<BulgeSegment>& segments, double deviceScale);

// The square root of the area scale of a map: the device units per unit, on average.
double averageScale(const Affine& map);

}  // namespace qv::host::plot
