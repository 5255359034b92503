// Pieces of curves as rational Bézier curves: the exact form in which the editor follows
// ellipses, splines and arcs that the plan does not show as circles. A piece of degree n has
// n + 1 points P_i with weights w_i (all above 0); its point at t (0 to 1) is
// sum B_i(t) w_i P_i / sum B_i(t) w_i, B_i the Bernstein polynomials of degree n. It starts at
// its first point, ends at its last and lies in the hull of its points; an affine matrix carries
// it by carrying its points (the weights stay).
#pragma once

#include <vector>

#include "AcGePoint.h"

namespace qv::host {

struct RationalBezier {
    std::vector<AcGePoint3d> points;
    std::vector<double> weights;  // one per point

    // The point at t, de Casteljau's way.
    AcGePoint3d pointAt(double t) const;
};

// The arc of centre + cos t * major + sin t * minor for t from `from` to `to` (downwards when
// `to` is the smaller), as quadratic pieces of at most a quarter turn each, their ends at the
// same points for one piece and the next; none for an arc of no sweep or of a sweep that is
// not finite.
std::vector<RationalBezier> ellipticArc(const AcGePoint3d& centre, const AcGeVector3d& major,
                                        const AcGeVector3d& minor, double from, double to);

}  // namespace qv::host
