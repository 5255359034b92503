// Points, segments and polygons of the plan, as the editor's shapes (EntityShape.h) and curve
// pieces (PlanCurve.h) judge them against picks and windows.
#pragma once

#include <vector>

#include "../ge/AcGePoint.h"

namespace qv::host::ed {

// The point lies inside the polygon (closed implicitly; even-odd rule, its edges undecided).
bool pointInPolygon(const AcGePoint2d& p, const std::vector<AcGePoint2d>& polygon);

// The segments a-b and c-d cross each other at a point inside both.
bool segmentsCross(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                   const AcGePoint2d& d);

// The segments a-b and c-d have a point in common.
bool segmentsMeet(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                  const AcGePoint2d& d);

double distanceToSegment(const AcGePoint2d& p, const AcGePoint2d& a, const AcGePoint2d& b);

// The nearest distance between the segments a-b and c-d (0 where they meet).
double distanceBetweenSegments(const AcGePoint2d& a, const AcGePoint2d& b, const AcGePoint2d& c,
                               const AcGePoint2d& d);

}  // namespace qv::host::ed
