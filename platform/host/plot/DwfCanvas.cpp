#include "host/plot/DwfCanvas.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "host/plot/CairoCanvas.h"
#include "host/plot/Clipping.h"
#include "host/plot/DwfPackage.h"
#include "host/plot/W2dStream.h"

namespace qv::host::plot {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;
constexpr double kLogicalPerMm = 100.0;
// The largest logical coordinate a sheet may reach, leaving room for lines drawn past its edge.
constexpr double kMaxLogical = 1.0e9;
constexpr char kFontName[] = "DejaVu Sans";

struct Box {
    double x0 = -1e300, y0 = -1e300, x1 = 1e300, y1 = 1e300;
    bool contains(DevicePoint p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
};

// The part of the segment a-b inside the box; false when none is.
bool clipSegment(const Box& box, DevicePoint& a, DevicePoint& b) {
    return ::qv::host::plot::clipSegment(box.x0, box.y0, box.x1, box.y1, a, b);
}

// A closed polygon cut to the box (Sutherland-Hodgman, one edge of the box at a time).
std::vector<DevicePoint> clipPolygon(const Box& box, std::vector<DevicePoint> polygon) {
    const auto cut = [&polygon](auto inside, auto cross) {
        std::vector<DevicePoint> out;
        for (size_t i = 0; i < polygon.size(); ++i) {
            const DevicePoint a = polygon[i];
            const DevicePoint b = polygon[(i + 1) % polygon.size()];
            if (inside(a)) {
                out.push_back(a);
                if (!inside(b)) {
                    out.push_back(cross(a, b));
                }
            } else if (inside(b)) {
                out.push_back(cross(a, b));
            }
        }
        polygon = std::move(out);
    };
    const auto atX = [](double x) {
        return [x](DevicePoint a, DevicePoint b) {
            return DevicePoint{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
        };
    };
    const auto atY = [](double y) {
        return [y](DevicePoint a, DevicePoint b) {
            return DevicePoint{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
        };
    };
    cut([&](DevicePoint p) { return p.x >= box.x0; }, atX(box.x0));
    cut([&](DevicePoint p) { return p.x <= box.x1; }, atX(box.x1));
    cut([&](DevicePoint p) { return p.y >= box.y0; }, atY(box.y0));
    cut([&](DevicePoint p) { return p.y <= box.y1; }, atY(box.y1));
    return polygon;
}

uint8_t channel(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

// An angle (radians, counter-clockwise) in 65536ths of a turn.
uint16_t turns(double angle) {
    const double fraction = angle / (2.0 * std::numbers::pi);
    const double wrapped = fraction - std::floor(fraction);
    return static_cast<uint16_t>(static_cast<long>(std::lround(wrapped * 65536.0)) & 0xFFFF);
}

class DwfCanvas : public Canvas {
  public:
    DwfCanvas(std::string path, double width, double height, const DwfSheet& sheet,
              std::unique_ptr<Canvas> measurer)
        : m_path(std::move(path)),
          m_width(width),
          m_height(height),
          m_sheet(sheet),
          m_measurer(std::move(measurer)),
          m_paper{0.0, 0.0, width, height} {
        m_logicalPerPoint = kLogicalPerMm * kMmPerInch / kPointsPerInch;
    }

    double width() const override { return m_width; }
    double height() const override { return m_height; }

    void moveTo(DevicePoint p) override {
        m_subpaths.push_back({{p}, false});
    }
    void lineTo(DevicePoint p) override {
        if (m_subpaths.empty()) {
            m_subpaths.push_back({{p}, false});
        } else {
            m_subpaths.back().points.push_back(p);
        }
    }
    void closePath() override {
        if (!m_subpaths.empty()) {
            m_subpaths.back().closed = true;
        }
    }

    void stroke(const Rgb& colour, double width, bool) override {
        std::vector<std::vector<DevicePoint>> runs;
        for (Subpath& subpath : m_subpaths) {
            if (subpath.closed && subpath.points.size() > 1) {
                subpath.points.push_back(subpath.points.front());
            }
            cutRuns(subpath.points, runs);
        }
        m_subpaths.clear();
        if (runs.empty()) {
            return;
        }
        begin(colour, nullptr);
        m_stream.lineWeight(static_cast<int32_t>(std::lround(width * m_logicalPerPoint)));
        for (const auto& run : runs) {
            std::vector<LogicalPoint> points = logical(run);
            // One opcode holds so many points; the next goes on from the last one.
            for (size_t start = 0; start + 1 < points.size(); start += W2dStream::kMaxCount - 1) {
                const size_t end = std::min(points.size(), start + W2dStream::kMaxCount);
                m_stream.polyline({points.begin() + static_cast<std::ptrdiff_t>(start),
                                   points.begin() + static_cast<std::ptrdiff_t>(end)});
            }
        }
    }

    void fill(const Rgb& colour) override {
        std::vector<std::vector<LogicalPoint>> contours;
        for (Subpath& subpath : m_subpaths) {
            std::vector<DevicePoint> polygon = clipPolygon(clip(), std::move(subpath.points));
            std::vector<LogicalPoint> contour = logical(polygon);
            if (tidy(contour)) {
                contours.push_back(std::move(contour));
            }
        }
        m_subpaths.clear();
        if (contours.empty()) {
            return;
        }
        begin(colour, nullptr);
        writeContours(std::move(contours), 0);
    }

    void pushClip() override {
        Box box{1e300, 1e300, -1e300, -1e300};
        for (const Subpath& subpath : m_subpaths) {
            for (const DevicePoint& p : subpath.points) {
                box.x0 = std::min(box.x0, p.x);
                box.y0 = std::min(box.y0, p.y);
                box.x1 = std::max(box.x1, p.x);
                box.y1 = std::max(box.y1, p.y);
            }
        }
        m_subpaths.clear();
        const Box& outer = clip();
        m_clips.push_back({std::max(box.x0, outer.x0), std::max(box.y0, outer.y0),
                           std::min(box.x1, outer.x1), std::min(box.y1, outer.y1)});
    }
    void popClip() override {
        if (!m_clips.empty()) {
            m_clips.pop_back();
        }
    }

    TextMetrics measure(const std::string& utf8) override { return m_measurer->measure(utf8); }

    void text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) override {
        if (utf8.empty()) {
            return;
        }
        // The text's box on the sheet: its advance, from below its descent to above its capitals.
        const double width = measure(utf8).advance;
        const std::array<DevicePoint, 4> corners = textCorners(width, toDevice);
        const Box& box = clip();
        Box reach{1e300, 1e300, -1e300, -1e300};
        bool within = true;
        for (const DevicePoint& p : corners) {
            within = within && box.contains(p);
            reach = {std::min(reach.x0, p.x), std::min(reach.y0, p.y), std::max(reach.x1, p.x),
                     std::max(reach.y1, p.y)};
        }
        // A text that reaches into the clip is written whole, and the clip cuts it.
        if (!(reach.x1 >= box.x0 && reach.x0 <= box.x1 && reach.y1 >= box.y0 &&
              reach.y0 <= box.y1)) {
            return;
        }
        // The text's axes on the paper, y upwards, in logical units.
        const double k = m_logicalPerPoint;
        const double ax = toDevice.a * k, ay = -toDevice.b * k;
        const double bx = toDevice.c * k, by = -toDevice.d * k;
        const double advance = std::hypot(ax, ay);
        if (!std::isfinite(advance) || advance <= 0.0) {
            return;
        }
        // The em: the height of the y axis across the baseline; the slant: its lean along it.
        // A text whose y axis lies clockwise of its baseline is mirrored.
        const double turn = ax * by - ay * bx;
        const double em = std::abs(turn) / advance;
        const double along = (ax * bx + ay * by) / advance;
        if (!(em > 0.0) || em > kMaxLogical) {
            return;
        }
        W2dFont font;
        font.height = static_cast<int32_t>(std::lround(em));
        font.rotation = turns(std::atan2(ay, ax));
        font.widthScale = static_cast<uint16_t>(std::clamp(std::lround(advance / em * 1024.0),
                                                           1L, 65535L));
        font.oblique = turns(std::atan2(along, em));
        if (font.height <= 0) {
            return;
        }
        begin(colour, within ? nullptr : &box);
        m_stream.font(kFontName, font);
        const LogicalPoint at = logical(toDevice.apply(0.0, 0.0));
        if (turn < 0.0) {
            // The font cannot say that the glyphs are mirrored; the box the text fills can.
            const LogicalPoint bounds[4] = {at, logical(toDevice.apply(width, 0.0)),
                                            logical(toDevice.apply(width, 1.0)),
                                            logical(toDevice.apply(0.0, 1.0))};
            m_stream.text(at, utf8, bounds);
        } else {
            m_stream.text(at, utf8);
        }
        // What shows of the text counts for the page's extents.
        for (const DevicePoint& p : corners) {
            grow(logical(DevicePoint{std::clamp(p.x, box.x0, box.x1),
                                     std::clamp(p.y, box.y0, box.y1)}));
        }
    }

    void setLayer(const std::string& utf8Name) override { m_pendingLayer = utf8Name; }

    std::string finish() override {
        DwfPage page;
        page.name = m_sheet.pageName;
        const double perPoint = m_sheet.inches ? 1.0 / kPointsPerInch : kMmPerInch / kPointsPerInch;
        page.paperUnits = m_sheet.inches ? "in" : "mm";
        page.paperWidth = m_width * perPoint;
        page.paperHeight = m_height * perPoint;
        page.logicalPerUnit = m_logicalPerPoint / perPoint;
        const DevicePoint a = m_sheet.plottedFrom, b = m_sheet.plottedTo;
        page.plotted[0] = std::min(a.x, b.x) * perPoint;
        page.plotted[1] = (m_height - std::max(a.y, b.y)) * perPoint;
        page.plotted[2] = std::max(a.x, b.x) * perPoint;
        page.plotted[3] = (m_height - std::min(a.y, b.y)) * perPoint;
        if (m_drawn) {
            page.extents[0] = m_extents[0];
            page.extents[1] = m_extents[1];
            page.extents[2] = m_extents[2];
            page.extents[3] = m_extents[3];
        }
        page.graphics = m_stream.finish();
        return writeDwfPackage(m_path, {page}, m_sheet.source);
    }

  private:
    struct Subpath {
        std::vector<DevicePoint> points;
        bool closed = false;
    };

    // Splits a polyline into the runs of it inside the clip.
    void cutRuns(const std::vector<DevicePoint>& points,
                 std::vector<std::vector<DevicePoint>>& runs) const {
        if (points.size() < 2) {
            return;
        }
        const Box& box = clip();
        bool open = false;
        for (size_t i = 1; i < points.size(); ++i) {
            DevicePoint a = points[i - 1], b = points[i];
            if (!clipSegment(box, a, b)) {
                open = false;
                continue;
            }
            if (!open) {
                runs.push_back({a});
                open = true;
            }
            runs.back().push_back(b);
            // Leaving the box ends the run.
            if (b.x != points[i].x || b.y != points[i].y) {
                open = false;
            }
        }
    }

    // What may be drawn on: the sheet, or the part of it the innermost clip leaves.
    const Box& clip() const { return m_clips.empty() ? m_paper : m_clips.back(); }

    LogicalPoint logical(DevicePoint p) const {
        const double x = std::clamp(p.x * m_logicalPerPoint, -kMaxLogical, kMaxLogical);
        const double y =
            std::clamp((m_height - p.y) * m_logicalPerPoint, -kMaxLogical, kMaxLogical);
        return {static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
    }
    std::vector<LogicalPoint> logical(const std::vector<DevicePoint>& points) {
        std::vector<LogicalPoint> out;
        out.reserve(points.size());
        for (const DevicePoint& p : points) {
            out.push_back(logical(p));
            grow(out.back());
        }
        return out;
    }
    void grow(LogicalPoint p) {
        if (!m_drawn) {
            m_extents[0] = m_extents[2] = p.x;
            m_extents[1] = m_extents[3] = p.y;
            m_drawn = true;
            return;
        }
        m_extents[0] = std::min(m_extents[0], p.x);
        m_extents[1] = std::min(m_extents[1], p.y);
        m_extents[2] = std::max(m_extents[2], p.x);
        m_extents[3] = std::max(m_extents[3], p.y);
    }
    // The layer and colour of what is drawn next, and the clip the reader is to apply to it:
    // `cut` for a text that reaches out of it; what is cut already may keep the stream's clip
    // when that is the canvas's own.
    void begin(const Rgb& colour, const Box* cut) {
        if (!m_pendingLayer.empty()) {
            auto found = m_layerNumbers.find(m_pendingLayer);
            if (found == m_layerNumbers.end()) {
                found = m_layerNumbers
                            .emplace(m_pendingLayer, static_cast<int>(m_layerNumbers.size()) + 1)
                            .first;
            }
            m_stream.layer(found->second, m_pendingLayer);
            m_pendingLayer.clear();
        }
        m_stream.colour(channel(colour.r), channel(colour.g), channel(colour.b));
        const Box& own = cut != nullptr ? *cut : clip();
        const LogicalPoint low = logical(DevicePoint{own.x0, own.y1});
        const LogicalPoint high = logical(DevicePoint{own.x1, own.y0});
        const LogicalBox box{low.x, low.y, high.x, high.y};
        if (cut != nullptr) {
            m_stream.clip(&box);
        } else if (m_stream.clipped() != nullptr && !(*m_stream.clipped() == box)) {
            m_stream.clip(nullptr);
        }
    }

    // Drops repeated corners and the closing one, and keeps every n-th corner of a contour too
    // fine for one opcode (finer than the paper shows); false when fewer than 3 corners are left.
    static bool tidy(std::vector<LogicalPoint>& contour) {
        contour.erase(std::unique(contour.begin(), contour.end()), contour.end());
        while (contour.size() > 1 && contour.front() == contour.back()) {
            contour.pop_back();
        }
        if (contour.size() > W2dStream::kMaxCount) {
            const size_t step = contour.size() / W2dStream::kMaxCount + 1;
            std::vector<LogicalPoint> fewer;
            for (size_t i = 0; i < contour.size(); i += step) {
                fewer.push_back(contour[i]);
            }
            contour = std::move(fewer);
        }
        return contour.size() >= 3;
    }

    // Writes a fill's contours as sets of at most as many as one opcode holds, each set filled
    // (even-odd) as the whole fill would be: more are cut apart at a line (splitContours) and
    // each side written alone, since sets filled one after another add up instead of cancelling.
    void writeContours(std::vector<std::vector<LogicalPoint>> contours, int depth) {
        constexpr int kMaxCuts = 32;
        if (contours.size() > W2dStream::kMaxCount && depth < kMaxCuts) {
            std::vector<std::vector<LogicalPoint>> low, high;
            if (splitContours(contours, low, high)) {
                contours.clear();
                contours.shrink_to_fit();
                writeContours(std::move(low), depth + 1);
                writeContours(std::move(high), depth + 1);
                return;
            }
        }
        // (Only contours that no line parts, all through one spot, come here too many.)
        for (size_t start = 0; start < contours.size(); start += W2dStream::kMaxCount) {
            const size_t end = std::min(contours.size(), start + W2dStream::kMaxCount);
            m_stream.contours({contours.begin() + static_cast<std::ptrdiff_t>(start),
                               contours.begin() + static_cast<std::ptrdiff_t>(end)});
        }
    }

    // Parts the contours at the line across x or y that leaves the fewer on its busier side,
    // through the middle of their centres: each side gets every contour that reaches into it,
    // cut at the line, so that a point on either side lies inside as many contours as before.
    // False, with the contours left as they were, when no line leaves both sides fewer
    // contours than there are.
    static bool splitContours(std::vector<std::vector<LogicalPoint>>& contours,
                              std::vector<std::vector<LogicalPoint>>& low,
                              std::vector<std::vector<LogicalPoint>>& high) {
        struct Span {
            int64_t lo[2], hi[2];
        };
        std::vector<Span> spans;
        spans.reserve(contours.size());
        for (const auto& contour : contours) {
            Span span{{INT64_MAX, INT64_MAX}, {INT64_MIN, INT64_MIN}};
            for (const LogicalPoint& p : contour) {
                const int64_t xy[2] = {p.x, p.y};
                for (int axis = 0; axis < 2; ++axis) {
                    span.lo[axis] = std::min(span.lo[axis], xy[axis]);
                    span.hi[axis] = std::max(span.hi[axis], xy[axis]);
                }
            }
            spans.push_back(span);
        }
        int bestAxis = -1;
        int64_t bestAt = 0;
        size_t bestWorst = contours.size();
        for (int axis = 0; axis < 2; ++axis) {
            std::vector<int64_t> centres;
            centres.reserve(spans.size());
            for (const Span& span : spans) {
                centres.push_back((span.lo[axis] + span.hi[axis]) / 2);
            }
            const auto middle = centres.begin() + static_cast<std::ptrdiff_t>(centres.size() / 2);
            std::nth_element(centres.begin(), middle, centres.end());
            const int64_t at = *middle;
            size_t below = 0, above = 0;
            for (const Span& span : spans) {
                below += span.lo[axis] < at ? 1 : 0;
                above += span.hi[axis] > at ? 1 : 0;
            }
            if (std::max(below, above) < bestWorst) {
                bestWorst = std::max(below, above);
                bestAxis = axis;
                bestAt = at;
            }
        }
        if (bestAxis < 0) {
            return false;
        }
        const auto line = static_cast<double>(bestAt);
        const Box lowSide = bestAxis == 0 ? Box{-1e300, -1e300, line, 1e300}
                                          : Box{-1e300, -1e300, 1e300, line};
        const Box highSide = bestAxis == 0 ? Box{line, -1e300, 1e300, 1e300}
                                           : Box{-1e300, line, 1e300, 1e300};
        const auto cut = [](const Box& side, const std::vector<LogicalPoint>& contour) {
            std::vector<DevicePoint> polygon;
            polygon.reserve(contour.size());
            for (const LogicalPoint& p : contour) {
                polygon.push_back({static_cast<double>(p.x), static_cast<double>(p.y)});
            }
            std::vector<LogicalPoint> out;
            for (const DevicePoint& p : clipPolygon(side, std::move(polygon))) {
                out.push_back({static_cast<int32_t>(std::lround(p.x)),
                               static_cast<int32_t>(std::lround(p.y))});
            }
            return out;
        };
        for (size_t i = 0; i < contours.size(); ++i) {
            const Span& span = spans[i];
            if (span.hi[bestAxis] <= bestAt) {
                low.push_back(std::move(contours[i]));
            } else if (span.lo[bestAxis] >= bestAt) {
                high.push_back(std::move(contours[i]));
            } else {
                for (auto [side, into] : {std::pair{&lowSide, &low}, {&highSide, &high}}) {
                    std::vector<LogicalPoint> part = cut(*side, contours[i]);
                    if (tidy(part)) {
                        into->push_back(std::move(part));
                    }
                }
            }
        }
        return true;
    }

    std::string m_path;
    double m_width, m_height;
    DwfSheet m_sheet;
    std::unique_ptr<Canvas> m_measurer;
    double m_logicalPerPoint = 1.0;
    W2dStream m_stream;
    std::vector<Subpath> m_subpaths;
    Box m_paper;
    std::vector<Box> m_clips;
    std::map<std::string, int> m_layerNumbers;
    std::string m_pendingLayer;
    bool m_drawn = false;
    int32_t m_extents[4] = {0, 0, 0, 0};
};

}  // namespace

std::unique_ptr<Canvas> createDwfCanvas(const std::string& path, double width, double height,
                                        const DwfSheet& sheet, std::string& error) {
    if (!(width > 0.0 && height > 0.0)) {
        error = "the sheet has no size";
        return nullptr;
    }
    const double logicalPerPoint = kLogicalPerMm * kMmPerInch / kPointsPerInch;
    if (width * logicalPerPoint > kMaxLogical || height * logicalPerPoint > kMaxLogical) {
        error = "the sheet is too large";
        return nullptr;
    }
    // Texts are measured as the cairo canvases measure them, so that they stand where a PDF
    // of the same layout puts them.
    std::unique_ptr<Canvas> measurer = createCanvas(OutputFormat::Png, "", 1.0, 1.0, error);
    if (!measurer) {
        return nullptr;
    }
    return std::make_unique<DwfCanvas>(path, width, height, sheet, std::move(measurer));
}

}  // namespace qv::host::plot
