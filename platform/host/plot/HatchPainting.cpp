#include "host/plot/HatchPainting.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/db/AcDbHatch.h"
#include "host/db/HatchPatterns.h"
#include "host/plot/Flatten.h"

namespace qv::host::plot {

namespace {

constexpr double kClosestLines = 0.5;  // device units
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

// The pieces of one family's lines that cross the box, in loop-plane coordinates.
void traceFamily(Canvas& canvas, const Family& family, const Box& box, const Affine& map,
                 double deviceScale) {
    const double ux = std::cos(family.angle), uy = std::sin(family.angle);
    const double nx = -uy, ny = ux;
    const double spacing = std::abs(family.spacing);
    // The offset from one line to the next: `shift` along, `spacing` across.
    const double offsetX = family.shift * ux + family.spacing * nx;
    const double offsetY = family.shift * uy + family.spacing * ny;
    const double corners[4][2] = {
        {box.minX, box.minY}, {box.maxX, box.minY}, {box.minX, box.maxY}, {box.maxX, box.maxY}};
    double lowN = 1e300, highN = -1e300, lowT = 1e300, highT = -1e300;
    for (const auto& corner : corners) {
        const double across = (corner[0] - family.baseX) * nx + (corner[1] - family.baseY) * ny;
        const double along = (corner[0] - family.baseX) * ux + (corner[1] - family.baseY) * uy;
        lowN = std::min(lowN, across);
        highN = std::max(highN, across);
        lowT = std::min(lowT, along);
        highT = std::max(highT, along);
    }
    const double step = family.spacing;  // the across-distance between neighbouring lines
    const long first = static_cast<long>(std::floor(std::min(lowN / step, highN / step)));
    const long last = static_cast<long>(std::ceil(std::max(lowN / step, highN / step)));
    double period = 0.0;
    for (double dash : family.dashes) {
        period += std::abs(dash);
    }
    const bool dashed = !family.dashes.empty() && period * deviceScale >= 1.0;
    const double dotLength = 0.5 / std::max(deviceScale, 1e-12);
    for (long k = first; k <= last; ++k) {
        const double originX = family.baseX + k * offsetX;
        const double originY = family.baseY + k * offsetY;
        // The line's parameter range over the box, from its own origin.
        const double along0 = originX * ux + originY * uy - (family.baseX * ux + family.baseY * uy);
        const double from = lowT - along0 - spacing;
        const double to = highT - along0 + spacing;
        auto piece = [&](double t0, double t1) {
            canvas.moveTo(map.apply(originX + ux * t0, originY + uy * t0));
            canvas.lineTo(map.apply(originX + ux * t1, originY + uy * t1));
        };
        if (!dashed) {
            piece(from, to);
            continue;
        }
        double t = std::floor(from / period) * period;
        while (t < to) {
            for (double dash : family.dashes) {
                const double length = std::abs(dash);
                if (dash > 0.0) {
                    piece(t, t + length);
                } else if (dash == 0.0) {
                    piece(t, t + dotLength);
                }
                t += length;
            }
        }
    }
}

}  // namespace

void paintHatch(Canvas& canvas, const AcDbHatch& hatch, const Affine& toDevice, const Rgb& colour,
                double lineWidth) {
    AcGeMatrix3d plane = AcGeMatrix3d::planeToWorld(hatch.normal());
    plane = AcGeMatrix3d::translation(hatch.normal() * hatch.elevation()) * plane;
    const Affine map = toDevice.after(planAffine(plane));
    const double deviceScale = averageScale(map);
    if (!(deviceScale > 0.0) || hatch.numLoops() == 0) {
        return;
    }
    Box box;
    auto traceLoops = [&] {
        for (const AcDbHatch::Loop& loop : hatch.qvLoops()) {
            const std::vector<Point2> points = flattenChain(loop.segments(), deviceScale);
            if (points.size() < 3) {
                continue;
            }
            canvas.moveTo(map.apply(points.front().x, points.front().y));
            box.add(points.front());
            for (size_t i = 1; i < points.size(); ++i) {
                canvas.lineTo(map.apply(points[i].x, points[i].y));
                box.add(points[i]);
            }
            canvas.closePath();
        }
    };
    traceLoops();
    if (box.minX > box.maxX) {
        canvas.fill(colour);
        return;
    }
    const std::vector<Family> families = hatch.isSolidFill() ? std::vector<Family>{}
                                                             : familiesOf(hatch);
    bool solid = hatch.isSolidFill() || families.empty();
    double pieces = 0.0;
    const double diagonal = std::hypot(box.maxX - box.minX, box.maxY - box.minY);
    for (const Family& family : families) {
        const double spacing = std::abs(family.spacing);
        if (spacing * deviceScale < kClosestLines) {
            solid = true;
            break;
        }
        double period = 0.0;
        for (double dash : family.dashes) {
            period += std::abs(dash);
        }
        const double lines = diagonal / spacing + 2.0;
        const double perLine = period * deviceScale >= 1.0
                                   ? (diagonal / period + 2.0) * static_cast<double>(family.dashes.size())
                                   : 1.0;
        pieces += lines * perLine;
    }
    if (solid || pieces > kMaxPieces) {
        canvas.fill(colour);
        return;
    }
    canvas.pushClip();
    for (const Family& family : families) {
        traceFamily(canvas, family, box, map, deviceScale);
    }
    canvas.stroke(colour, lineWidth, false);
    canvas.popClip();
}

}  // namespace qv::host::plot
