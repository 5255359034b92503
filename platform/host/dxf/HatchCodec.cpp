// The codec of hatches (HATCH). The host keeps every boundary loop as vertices and bulges, so
// loops made of line and arc edges become polyline loops; a hatch the host cannot model (elliptic
// or spline edges, edges that do not close, a custom pattern or one the host does not know, a
// gradient fill) is kept as read instead. The pattern's line families are written from the
// host's pattern, as other programs need them to draw it.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "host/db/AcDbEllipse.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbSpline.h"
#include "host/db/HatchPatterns.h"
#include "host/dxf/Codec.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

struct LoopData {
    Adesk::Int32 type = 0;
    std::vector<AcGePoint2d> vertices;
    std::vector<double> bulges;
    std::vector<std::string_view> sources;
};

struct HatchData {
    double elevation = 0.0;
    bool hasNormal = false;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    std::string_view name;
    std::int64_t associative = 0, style = 0, patternType = 1;
    double angle = 0.0, scale = 1.0;
    std::int64_t isDouble = 0;
    std::vector<LoopData> loops;
    std::vector<size_t> leftovers;  // indices of the tags kept as they are
};

// One edge of an edge loop, as a segment from start to end with a bulge, or, for an elliptic
// or spline edge flattened to be drawn, straight pieces through the points between.
struct Edge {
    AcGePoint2d start, end;
    double bulge = 0.0;
    std::vector<AcGePoint2d> between;
};

class Cursor {
  public:
    explicit Cursor(std::span<const TagView> tags) : m_tags(tags) {}
    bool done() const { return m_index >= m_tags.size(); }
    int code() const { return done() ? -1 : m_tags[m_index].code; }
    size_t index() const { return m_index; }
    void skip() { ++m_index; }
    // The value of the next tag if it has `code` (and moves on); false otherwise.
    bool real(int code, double& value) {
        if (this->code() != code || !parseDouble(m_tags[m_index].value, value)) {
            return false;
        }
        ++m_index;
        return true;
    }
    bool integer(int code, std::int64_t& value) {
        if (this->code() != code || !parseInteger(m_tags[m_index].value, value)) {
            return false;
        }
        ++m_index;
        return true;
    }
    bool text(int code, std::string_view& value) {
        if (this->code() != code) {
            return false;
        }
        value = m_tags[m_index++].value;
        return true;
    }
    bool point(int code, AcGePoint2d& p) { return real(code, p.x) && real(code + 10, p.y); }

  private:
    std::span<const TagView> m_tags;
    size_t m_index = 0;
};

AcGePoint2d onCircle(const AcGePoint2d& center, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    return {center.x + radius * std::cos(a), center.y + radius * std::sin(a)};
}

// Arc edges: counter-clockwise from the start angle to the end angle, or, with the flag 0,
// clockwise from the negated start angle to the negated end angle.
bool readArcEdge(Cursor& c, Edge& edge) {
    AcGePoint2d center;
    double radius = 0.0, start = 0.0, end = 0.0;
    std::int64_t ccw = 1;
    if (!c.point(10, center) || !c.real(40, radius) || !c.real(50, start) || !c.real(51, end)) {
        return false;
    }
    c.integer(73, ccw);
    if (!(radius > 0.0)) {
        return false;
    }
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0.0) {
        sweep += 360.0;
    }
    if (ccw != 0) {
        edge = {onCircle(center, radius, start), onCircle(center, radius, end),
                std::tan(sweep * std::numbers::pi / 720.0), {}};
    } else {
        edge = {onCircle(center, radius, -start), onCircle(center, radius, -end),
                -std::tan(sweep * std::numbers::pi / 720.0), {}};
    }
    return true;
}

bool meets(const AcGePoint2d& a, const AcGePoint2d& b, double size) {
    return std::hypot(a.x - b.x, a.y - b.y) <= 1e-6 * std::max(1.0, size);
}

// Chains edges into vertices and bulges; false when they do not join into one closed loop.
bool chainEdges(std::vector<Edge>& edges, LoopData& loop) {
    double size = 0.0;
    for (const Edge& e : edges) {
        size = std::max({size, std::fabs(e.start.x), std::fabs(e.start.y), std::fabs(e.end.x),
                         std::fabs(e.end.y)});
    }
    auto reverse = [](Edge& e) {
        std::swap(e.start, e.end);
        e.bulge = -e.bulge;
        std::reverse(e.between.begin(), e.between.end());
    };
    for (size_t i = 1; i < edges.size(); ++i) {
        Edge& e = edges[i];
        if (i == 1 && !meets(edges[0].end, e.start, size) && !meets(edges[0].end, e.end, size)) {
            reverse(edges[0]);  // the first edge runs the other way
        }
        if (!meets(edges[i - 1].end, e.start, size)) {
            if (!meets(edges[i - 1].end, e.end, size)) {
                return false;
            }
            reverse(e);
        }
    }
    if (edges.empty() || !meets(edges.back().end, edges.front().start, size)) {
        return false;
    }
    for (const Edge& e : edges) {
        loop.vertices.push_back(e.start);
        loop.bulges.push_back(e.bulge);
        for (const AcGePoint2d& p : e.between) {
            loop.vertices.push_back(p);
            loop.bulges.push_back(0.0);
        }
    }
    return true;
}

// Pieces of a flattened edge: within this share of its size of the curve.
constexpr double kFlatness = 1e-4;

// An edge from points along a curve (at least two).
bool edgeThrough(const std::vector<AcGePoint3d>& points, Edge& edge) {
    if (points.size() < 2) {
        return false;
    }
    edge.start = {points.front().x, points.front().y};
    edge.end = {points.back().x, points.back().y};
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        edge.between.emplace_back(points[i].x, points[i].y);
    }
    return true;
}

// Elliptic edges: the angles are true angles from the major axis (counter-clockwise; with the
// flag 0 negated, as for arcs), made the ellipse's parameters.
bool readEllipseEdge(Cursor& c, Edge& edge) {
    AcGePoint2d center, major;
    double ratio = 0.0, start = 0.0, end = 0.0;
    std::int64_t ccw = 1;
    if (!c.point(10, center) || !c.point(11, major) || !c.real(40, ratio) || !c.real(50, start) ||
        !c.real(51, end) || !(ratio > 0.0 && ratio <= 1.0)) {
        return false;
    }
    c.integer(73, ccw);
    if (ccw == 0) {
        std::swap(start, end);
        start = -start;
        end = -end;
    }
    auto param = [ratio](double degrees) {
        const double a = degrees * std::numbers::pi / 180.0;
        return std::atan2(std::sin(a) / ratio, std::cos(a));
    };
    AcDbEllipse ellipse;
    AcDbEllipse::Data data;
    data.center = {center.x, center.y, 0.0};
    data.majorAxis = {major.x, major.y, 0.0};
    data.radiusRatio = ratio;
    data.startParam = param(start);
    data.endParam = param(end);
    if (std::fabs(std::fmod(end - start, 360.0)) < 1e-9 && end != start) {
        data.endParam = data.startParam + 2.0 * std::numbers::pi;
    }
    ellipse.qvSetData(data);
    return edgeThrough(ellipse.qvPoints(kFlatness * std::hypot(major.x, major.y)), edge);
}

bool readSplineEdge(Cursor& c, Edge& edge) {
    AcDbSpline::Data data;
    std::int64_t degree = 0, rational = 0, periodic = 0, knots = 0, controls = 0, fits = 0;
    if (!c.integer(94, degree) || !c.integer(73, rational) || !c.integer(74, periodic) ||
        !c.integer(95, knots) || !c.integer(96, controls) || knots < 0 || controls < 0) {
        return false;
    }
    data.degree = static_cast<int>(std::clamp<std::int64_t>(degree, 1, 15));
    data.rational = rational != 0;
    for (std::int64_t i = 0; i < knots; ++i) {
        double k = 0.0;
        if (!c.real(40, k)) {
            return false;
        }
        data.knots.push_back(k);
    }
    for (std::int64_t i = 0; i < controls; ++i) {
        AcGePoint2d p;
        double weight = 1.0;
        if (!c.point(10, p)) {
            return false;
        }
        c.real(42, weight);
        data.controlPoints.emplace_back(p.x, p.y, 0.0);
        data.weights.push_back(weight);
    }
    if (c.integer(97, fits)) {
        for (std::int64_t i = 0; i < fits; ++i) {
            AcGePoint2d p;
            if (!c.point(11, p)) {
                return false;
            }
            data.fitPoints.emplace_back(p.x, p.y, 0.0);
        }
    }
    AcGePoint2d tangent;
    c.point(12, tangent);
    c.point(13, tangent);
    AcDbSpline spline;
    spline.qvSetData(data);
    AcDbExtents box;
    if (spline.getGeomExtents(box) != Acad::eOk) {
        return false;
    }
    const AcGeVector3d size = box.maxPoint() - box.minPoint();
    return edgeThrough(spline.qvPoints(kFlatness * size.length()), edge);
}

// Reads a boundary loop; elliptic and spline edges only when `flatten` (drawing it): the host
// cannot model them.
bool readLoop(Cursor& c, LoopData& loop, bool flatten) {
    std::int64_t type = 0;
    if (!c.integer(92, type)) {
        return false;
    }
    loop.type = static_cast<Adesk::Int32>(type);
    std::int64_t count = 0;
    if (type & AcDbHatch::kPolyline) {
        std::int64_t hasBulge = 0, closed = 0;
        c.integer(72, hasBulge);
        c.integer(73, closed);
        if (!c.integer(93, count) || count < 0) {
            return false;
        }
        for (std::int64_t i = 0; i < count; ++i) {
            AcGePoint2d p;
            double bulge = 0.0;
            if (!c.point(10, p)) {
                return false;
            }
            c.real(42, bulge);
            loop.vertices.push_back(p);
            loop.bulges.push_back(bulge);
        }
    } else {
        if (!c.integer(93, count) || count < 0) {
            return false;
        }
        std::vector<Edge> edges;
        for (std::int64_t i = 0; i < count; ++i) {
            std::int64_t kind = 0;
            if (!c.integer(72, kind)) {
                return false;
            }
            Edge edge;
            if (kind == 1) {
                if (!c.point(10, edge.start) || !c.point(11, edge.end)) {
                    return false;
                }
            } else if (kind == 2) {
                if (!readArcEdge(c, edge)) {
                    return false;
                }
            } else if (!flatten || !(kind == 3 ? readEllipseEdge(c, edge)
                                               : kind == 4 && readSplineEdge(c, edge))) {
                return false;
            }
            edges.push_back(edge);
        }
        if (!chainEdges(edges, loop)) {
            return false;
        }
    }
    if (c.integer(97, count)) {
        for (std::int64_t i = 0; i < count; ++i) {
            std::string_view source;
            if (!c.text(330, source)) {
                return false;
            }
            loop.sources.push_back(source);
        }
    }
    return loop.vertices.size() >= 2;
}

// Reads the AcDbHatch part; false when the host cannot model it (or draw it, when `flatten`).
bool parseHatch(std::span<const TagView> tags, HatchData& out, bool flatten = false) {
    Cursor c(tags);
    bool seeds = false;
    while (!c.done()) {
        const int code = c.code();
        double ignored = 0.0;
        std::int64_t flag = 0;
        bool ok = true;
        if (seeds && (code == 10 || code == 20)) {
            out.leftovers.push_back(c.index());
            c.skip();
            continue;
        }
        switch (code) {
            case 10:
            case 20:
                ok = c.real(code, ignored);
                break;
            case 30:
                ok = c.real(30, out.elevation);
                break;
            case 210:
            case 220:
            case 230:
                ok = c.real(code, code == 210   ? out.normal.x
                                  : code == 220 ? out.normal.y
                                                : out.normal.z);
                out.hasNormal = true;
                break;
            case 2:
                c.text(2, out.name);
                break;
            case 70:
                ok = c.integer(70, flag);
                break;
            case 71:
                ok = c.integer(71, out.associative);
                break;
            case 91: {
                std::int64_t count = 0;
                if (!c.integer(91, count) || count < 0) {
                    return false;
                }
                for (std::int64_t i = 0; i < count; ++i) {
                    out.loops.emplace_back();
                    if (!readLoop(c, out.loops.back(), flatten)) {
                        return false;
                    }
                }
                break;
            }
            case 75:
                ok = c.integer(75, out.style);
                break;
            case 76:
                ok = c.integer(76, out.patternType);
                break;
            case 52:
                ok = c.real(52, out.angle);
                break;
            case 41:
                ok = c.real(41, out.scale);
                break;
            case 77:
                ok = c.integer(77, out.isDouble);
                break;
            case 78:  // the pattern's lines: written again from the host's pattern...
            case 53:
            case 43:
            case 44:
            case 45:
            case 46:
            case 79:
            case 49: {
                // ...except for a solid fill, whose lines the host has no pattern for: they are
                // kept as read
                const qv::host::HatchPattern* pattern =
                    qv::host::findHatchPattern(qv::utf8ToWide(trimBlanks(out.name)));
                if (pattern != nullptr && pattern->solid) {
                    out.leftovers.push_back(c.index());
                }
                c.skip();
                break;
            }
            case 450:
                if (!c.integer(450, flag) || flag != 0) {
                    return false;  // a gradient fill
                }
                out.leftovers.push_back(c.index() - 1);
                break;
            case 98:
                seeds = true;
                out.leftovers.push_back(c.index());
                c.skip();
                break;
            default:
                out.leftovers.push_back(c.index());
                c.skip();
                break;
        }
        if (!ok) {
            return false;
        }
    }
    if (out.patternType == AcDbHatch::kCustomDefined ||
        (out.patternType == AcDbHatch::kPreDefined &&
         qv::host::findHatchPattern(qv::utf8ToWide(trimBlanks(out.name))) == nullptr) ||
        out.style < 0 || out.style > 2 ||
        (out.patternType != AcDbHatch::kUserDefined && out.patternType != AcDbHatch::kPreDefined)) {
        return false;
    }
    return true;
}

AcDbHatch& hatchOf(AcDbObject& o) {
    return static_cast<AcDbHatch&>(o);
}

// Gives the hatch what was read: false when it refused the pattern's scale; `normalRefused`
// when it refused the normal.
bool setHatch(AcDbHatch& hatch, const HatchData& data, bool& normalRefused) {
    normalRefused = data.hasNormal && hatch.setNormal(settledNormal(data.normal)) != Acad::eOk;
    hatch.setElevation(data.elevation);
    hatch.setAssociative(data.associative != 0);
    const auto type = static_cast<AcDbHatch::HatchPatternType>(data.patternType);
    hatch.setPattern(type, qv::utf8ToWide(trimBlanks(data.name)).c_str());
    hatch.setHatchStyle(static_cast<AcDbHatch::HatchStyle>(data.style));
    hatch.setPatternAngle(degreesToRadians(data.angle));
    const Acad::ErrorStatus es = type == AcDbHatch::kUserDefined
                                     ? hatch.setPatternSpace(data.scale)
                                     : hatch.setPatternScale(data.scale);
    hatch.setPatternDouble(data.isDouble != 0);
    for (const LoopData& loop : data.loops) {
        AcGePoint2dArray vertices;
        AcGeDoubleArray bulges;
        for (size_t v = 0; v < loop.vertices.size(); ++v) {
            vertices.append(loop.vertices[v]);
            bulges.append(loop.bulges[v]);
        }
        hatch.appendLoop(loop.type, vertices, bulges);
    }
    return es == Acad::eOk;
}

void readHatch(AcDbObject& o, std::span<const TagView> tags, ReadContext& context, int ordinal) {
    HatchData data;
    parseHatch(tags, data);  // it parsed once already (canModel)
    bool normalRefused = false;
    const bool scaleTaken = setHatch(hatchOf(o), data, normalRefused);
    if (normalRefused) {
        context.warn(Fix::RefusedValue, context.recordLine(),
                     "the normal of HATCH is not valid; the default was kept");
    }
    if (!scaleTaken) {
        context.warn(Fix::RefusedValue, context.recordLine(),
                     "the pattern scale of HATCH is not valid; the default was kept");
    }
    for (size_t i = 0; i < data.loops.size(); ++i) {
        for (std::string_view source : data.loops[i].sources) {
            context.referByHandle(
                o, source,
                [](AcDbObject& h, AcDbObjectId id, const RefArgs& args) {
                    hatchOf(h).qvAppendLoopObject(args.index, id);
                },
                "boundary object", RefArgs{static_cast<int>(i), {}});
        }
    }
    for (size_t index : data.leftovers) {
        context.leftover({ordinal, -1}, tags[index]);
    }
}

// ---- writing ----

struct PatternLine {
    double angle;  // degrees
    double baseX, baseY, offsetX, offsetY;
    std::vector<double> dashes;
};

std::vector<PatternLine> patternLines(const AcDbHatch& hatch) {
    std::vector<PatternLine> lines;
    const double turn = hatch.patternAngle();
    auto rotate = [](double x, double y, double radians, double& outX, double& outY) {
        outX = x * std::cos(radians) - y * std::sin(radians);
        outY = x * std::sin(radians) + y * std::cos(radians);
    };
    if (hatch.patternType() == AcDbHatch::kUserDefined) {
        for (int i = 0; i < (hatch.patternDouble() ? 2 : 1); ++i) {
            const double a = turn + i * std::numbers::pi / 2.0;
            PatternLine line{radiansToDegrees(a), 0.0, 0.0, 0.0, 0.0, {}};
            rotate(0.0, hatch.patternSpace(), a, line.offsetX, line.offsetY);
            lines.push_back(line);
        }
        return lines;
    }
    const qv::host::HatchPattern* pattern = qv::host::findHatchPattern(hatch.patternName());
    if (pattern == nullptr) {
        return lines;
    }
    const double scale = hatch.patternScale();
    for (const qv::host::HatchLineFamily& family : pattern->families) {
        const double a = family.angle * std::numbers::pi / 180.0 + turn;
        PatternLine line{radiansToDegrees(a), 0.0, 0.0, 0.0, 0.0, {}};
        rotate(family.baseX * scale, family.baseY * scale, turn, line.baseX, line.baseY);
        rotate(family.shift * scale, family.spacing * scale, a, line.offsetX, line.offsetY);
        for (double dash : family.dashes) {
            line.dashes.push_back(dash * scale);
        }
        lines.push_back(line);
    }
    return lines;
}

void writeHatch(const AcDbObject& o, WriteContext& c, int ordinal) {
    const auto& hatch = static_cast<const AcDbHatch&>(o);
    TagWriter& out = c.out();
    out.point(10, 0.0, 0.0, hatch.elevation());
    const AcGeVector3d normal = hatch.normal();
    out.point(210, normal.x, normal.y, normal.z);
    c.text(2, hatch.patternName());
    const bool solid = hatch.isSolidFill();
    out.integer(70, solid ? 1 : 0);
    out.integer(71, hatch.associative() ? 1 : 0);
    out.integer(91, hatch.numLoops());
    for (const AcDbHatch::Loop& loop : hatch.qvLoops()) {
        out.integer(92, loop.type | AcDbHatch::kPolyline);
        const bool bulges =
            std::any_of(loop.bulges.begin(), loop.bulges.end(), [](double b) { return b != 0.0; });
        out.integer(72, bulges ? 1 : 0);
        out.integer(73, 1);
        out.integer(93, static_cast<std::int64_t>(loop.vertices.size()));
        for (size_t i = 0; i < loop.vertices.size(); ++i) {
            out.point(10, loop.vertices[i].x, loop.vertices[i].y);
            if (bulges) {
                out.real(42, i < loop.bulges.size() ? loop.bulges[i] : 0.0);
            }
        }
        std::vector<std::uint64_t> sources;
        for (const AcDbObjectId& id : loop.objects) {
            if (const std::uint64_t handle = c.handleOf(id)) {
                sources.push_back(handle);
            }
        }
        out.integer(97, static_cast<std::int64_t>(sources.size()));
        for (std::uint64_t handle : sources) {
            out.handle(330, handle);
        }
    }
    out.integer(75, hatch.hatchStyle());
    out.integer(76, hatch.patternType());
    // A solid fill keeps the angle and scale it was given (its pattern lines, when the file had
    // any, are among the leftovers).
    out.real(52, radiansToDegrees(hatch.patternAngle()));
    out.real(41, hatch.patternType() == AcDbHatch::kUserDefined ? hatch.patternSpace()
                                                                : hatch.patternScale());
    out.integer(77, hatch.patternDouble() ? 1 : 0);
    if (!solid) {
        const std::vector<PatternLine> lines = patternLines(hatch);
        out.integer(78, static_cast<std::int64_t>(lines.size()));
        for (const PatternLine& line : lines) {
            out.real(53, line.angle);
            out.real(43, line.baseX);
            out.real(44, line.baseY);
            out.real(45, line.offsetX);
            out.real(46, line.offsetY);
            out.integer(79, static_cast<std::int64_t>(line.dashes.size()));
            for (double dash : line.dashes) {
                out.real(49, dash);
            }
        }
    }
    const ObjectExtras* extras = c.extras();
    if (extras == nullptr || extras->find({ordinal, -1}, 98) == std::string_view::npos) {
        out.integer(98, 0);
    }
    c.writeLeftovers({ordinal, -1});
}

class HatchCodec : public CodecOf<AcDbHatch> {
  public:
    using CodecOf::CodecOf;
    bool canModel(std::span<const TagView> body) const override {
        for (size_t i = 0; i < body.size(); ++i) {
            if (body[i].code == 100 && trimBlanks(body[i].value) == "AcDbHatch") {
                HatchData data;
                return parseHatch(body.subspan(i + 1), data);
            }
        }
        return false;
    }
};

const SubclassDef kHatch[] = {
    kEntitySubclass,
    {"AcDbHatch", {}, readHatch, writeHatch},
};

const HatchCodec kHatchCodec("HATCH", kHatch);

}  // namespace

const Codec& hatchCodec() {
    return kHatchCodec;
}

bool readHatchDrawing(std::span<const TagView> tags, AcDbHatch& hatch) {
    HatchData data;
    bool normalRefused = false;
    if (!parseHatch(tags, data, true)) {
        return false;
    }
    setHatch(hatch, data, normalRefused);  // what it refuses keeps its default
    return true;
}

}  // namespace qv::dxf
