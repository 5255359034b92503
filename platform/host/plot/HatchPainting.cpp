#include "host/plot/HatchPainting.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/db/AcDbHatch.h"
#include "host/db/HatchPatterns.h"
#include "host/plot/Flatten.h"

namespace qv::host::plot {

namespace {

constexpr double kMaxPieces = 200000.0;

struct Family {
    double angle;  // radians
    double baseX, baseY;
    double shift, spacing;
    std::vector<double> dashes;
};

// The families of the hatch's pattern in the plane of its loops.
std::vector<Family> familiesOf(const AcDbHatch& hatch) {
    std::vector<Family> families;
    const double turn = hatch.patternAngle();
    if (hatch.patternType() == AcDbHatch::kUserDefined) {
        const double space = hatch.patternSpace();
        families.push_back({turn, 0.0, 0.0, 0.0, space, {}});
        if (hatch.patternDouble()) {
            families.push_back({turn + std::numbers::pi / 2.0, 0.0, 0.0, 0.0, space, {}});
        }
        return families;
    }
    const HatchPattern* pattern = findHatchPattern(hatch.patternName());
    if (pattern == nullptr) {
        return families;
    }
    const double scale = hatch.patternScale();
    const double cs = std::cos(turn), sn = std::sin(turn);
    for (const HatchLineFamily& line : pattern->families) {
        Family family;
        family.angle = line.angle * std::numbers::pi / 180.0 + turn;
        family.baseX = (line.baseX * cs - line.baseY * sn) * scale;
        family.baseY = (line.baseX * sn + line.baseY * cs) * scale;
        family.shift = line.shift * scale;
        family.spacing = line.spacing * scale;
        for (double dash : line.dashes) {
            family.dashes.push_back(dash * scale);
        }
        families.push_back(family);
    }
    return families;
}

struct Box {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void add(const Point2& p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
};

using Outline = std::vector<Point2>;

// Draws the pieces of one family's lines that lie inside the loops (even-odd: each crossing of
// a loop's edge goes in or out), cut into the family's dashes. Coordinates are the loops' plane.
void traceFamily(Canvas& canvas, const Family& family, const std::vector<Outline>& loops,
                 const Box& box, const Affine& map, double deviceScale) {
    const double ux = std::cos(family.angle), uy = std::sin(family.angle);
    const double nx = -uy, ny = ux;
    // Across and along the family's lines, from its base point.
    auto across = [&](const Point2& p) { return (p.x - family.baseX) * nx + (p.y - family.baseY) * ny; };
    auto along = [&](const Point2& p) { return (p.x - family.baseX) * ux + (p.y - family.baseY) * uy; };
    double lowN = 1e300, highN = -1e300;
    for (const Point2& corner : {Point2{box.minX, box.minY}, Point2{box.maxX, box.minY},
                                 Point2{box.minX, box.maxY}, Point2{box.maxX, box.maxY}}) {
        lowN = std::min(lowN, across(corner));
        highN = std::max(highN, across(corner));
    }
    const double step = family.spacing;  // the across-distance from one line to the next
    const long first = static_cast<long>(std::floor(std::min(lowN / step, highN / step)));
    const long last = static_cast<long>(std::ceil(std::max(lowN / step, highN / step)));
    double period = 0.0;
    for (double dash : family.dashes) {
        period += std::abs(dash);
    }
    const bool dashed = !family.dashes.empty() && period * deviceScale >= 1.0;
    const double dotLength = 0.5 / std::max(deviceScale, 1e-12);

    // Every edge once, as across and along values of its ends.
    struct Edge {
        double n0, t0, n1, t1;
    };
    std::vector<Edge> edges;
    for (const Outline& loop : loops) {
        for (size_t i = 0; i < loop.size(); ++i) {
            const Point2& a = loop[i];
            const Point2& b = loop[(i + 1) % loop.size()];
            edges.push_back({across(a), along(a), across(b), along(b)});
        }
    }
    std::vector<double> crossings;
    for (long k = first; k <= last; ++k) {
        const double level = k * step;
        // The line's own origin, where its dashes start.
        const double originAlong = k * family.shift;
        const double originX = family.baseX + k * (family.shift * ux + family.spacing * nx);
        const double originY = family.baseY + k * (family.shift * uy + family.spacing * ny);
        crossings.clear();
        for (const Edge& e : edges) {
            if ((e.n0 > level) != (e.n1 > level)) {
                const double f = (level - e.n0) / (e.n1 - e.n0);
                crossings.push_back(e.t0 + f * (e.t1 - e.t0) - originAlong);
            }
        }
        std::sort(crossings.begin(), crossings.end());
        auto piece = [&](double t0, double t1) {
            canvas.moveTo(map.apply(originX + ux * t0, originY + uy * t0));
            canvas.lineTo(map.apply(originX + ux * t1, originY + uy * t1));
        };
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const double from = crossings[i], to = crossings[i + 1];
            if (!dashed) {
                piece(from, to);
                continue;
            }
            double t = std::floor(from / period) * period;
            while (t < to) {
                for (double dash : family.dashes) {
                    const double length = std::abs(dash);
                    const double end = dash == 0.0 ? t + dotLength : t + length;
                    if (dash >= 0.0 && end > from && t < to) {
                        piece(std::max(t, from), std::min(end, to));
                    }
                    t += length;
                }
            }
        }
    }
}

}  // namespace

void paintHatch(Canvas& canvas, const AcDbHatch& hatch, const Affine& toDevice, const Rgb& colour,
                double lineWidth, double denseSpacing) {
    AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(hatch.normal());
    plane = AcGeMatrix3d::translation(hatch.normal() * hatch.elevation()) * plane;
    const Affine map = toDevice.after(planAffine(plane));
    const double deviceScale = averageScale(map);
    if (!(deviceScale > 0.0) || hatch.numLoops() == 0) {
        return;
    }
    std::vector<Outline> loops;
    Box box;
    for (const AcDbHatch::Loop& loop : hatch.qvLoops()) {
        Outline points = flattenChain(loop.segments(), deviceScale);
        if (points.size() >= 2 && points.front().x == points.back().x &&
            points.front().y == points.back().y) {
            points.pop_back();
        }
        if (points.size() < 3) {
            continue;
        }
        for (const Point2& p : points) {
            box.add(p);
        }
        loops.push_back(std::move(points));
    }
    if (loops.empty()) {
        return;
    }
    const std::vector<Family> families =
        hatch.isSolidFill() ? std::vector<Family>{} : familiesOf(hatch);
    // The share of the area the lines of all families cover, as the eye sees a dense pattern.
    double uncovered = 1.0;
    bool dense = false;
    double pieces = 0.0;
    const double diagonal = std::hypot(box.maxX - box.minX, box.maxY - box.minY);
    for (const Family& family : families) {
        const double spacing = std::abs(family.spacing);
        double period = 0.0, inked = 0.0;
        for (double dash : family.dashes) {
            period += std::abs(dash);
            inked += dash > 0.0 ? dash : 0.0;
        }
        const double along = family.dashes.empty() || period <= 0.0 ? 1.0 : inked / period;
        const double deviceSpacing = spacing * deviceScale;
        uncovered *= 1.0 - std::min(1.0, lineWidth / std::max(deviceSpacing, 1e-12) * along);
        dense = dense || deviceSpacing < denseSpacing;
        const double lines = diagonal / std::max(spacing, 1e-12) + 2.0;
        const double perLine = period * deviceScale >= 1.0
                                   ? (diagonal / period + 2.0) *
                                         static_cast<double>(family.dashes.size())
                                   : 1.0;
        pieces += lines * perLine;
    }
    if (hatch.isSolidFill() || families.empty() || dense || pieces > kMaxPieces) {
        Rgb tint = colour;
        if (!hatch.isSolidFill() && !families.empty()) {
            const double covered = 1.0 - uncovered;
            tint = {1.0 - covered * (1.0 - colour.r), 1.0 - covered * (1.0 - colour.g),
                    1.0 - covered * (1.0 - colour.b)};
        }
        for (const Outline& loop : loops) {
            canvas.moveTo(map.apply(loop.front().x, loop.front().y));
            for (size_t i = 1; i < loop.size(); ++i) {
                canvas.lineTo(map.apply(loop[i].x, loop[i].y));
            }
            canvas.closePath();
        }
        canvas.fill(tint);
        return;
    }
    for (const Family& family : families) {
        traceFamily(canvas, family, loops, box, map, deviceScale);
    }
    canvas.stroke(colour, lineWidth, false);
}

}  // namespace qv::host::plot
