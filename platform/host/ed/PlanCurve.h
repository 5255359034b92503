// A piece of a curve as the plan shows it, kept exact: a rational Bezier piece
// (RationalBezier.h) carried into the plan, for ellipses, splines and the arcs that the plan
// does not show as circles (a tilted plane, a block scaled unevenly). Its questions are answered
// from the hull of its points, which holds the curve: where the hull leaves an answer open the
// piece is halved, and so on near the point or the edges in question only, so that an answer
// costs little however closely the plan is looked at. The halving stops at a precision far
// below any pick's reach (a millionth of the distance measured; a billionth of the piece's
// size for windows) and after a bounded number of steps, beyond which pieces are judged by their
// chords.
#pragma once

#include <array>
#include <vector>

#include "../ge/AcGeMatrix3d.h"
#include "../ge/BulgeSegment.h"
#include "../ge/RationalBezier.h"

namespace qv::host::ed {

class PlanCurve {
  public:
    PlanCurve() = default;  // none
    // The plan (x and y) of the piece carried by `m`; none when the piece has more than 16
    // points, a weight not above 0 or a point that is not finite.
    PlanCurve(const RationalBezier& piece, const AcGeMatrix3d& m);

    bool isEmpty() const { return m_points.empty(); }
    AcGePoint2d start() const;
    AcGePoint2d end() const;

    // The nearest distance from `point` to the curve where it is below `best`; `best` otherwise.
    double distanceTo(const AcGePoint2d& point, double best) const;
    // The point lies between the curve and its chord (from start to end): crossing the curve
    // there once turns an even-odd count of the chords round.
    bool holdsBetweenChord(const AcGePoint2d& point) const;
    // With both ends inside the polygon: some part of the curve crosses to its outside.
    bool leaves(const std::vector<AcGePoint2d>& polygon) const;
    // Some part of the curve lies inside the polygon or on its edges.
    bool meets(const std::vector<AcGePoint2d>& polygon) const;
    // Widens the box by the curve's hull.
    void addTo(Box2d& box) const;

  private:
    std::vector<std::array<double, 3>> m_points;  // x w, y w and w of each point
};

}  // namespace qv::host::ed
