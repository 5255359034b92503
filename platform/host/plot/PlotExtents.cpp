#include "host/plot/PlotExtents.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "host/db/AcDbSortentsTable.h"
#include "host/db/ObjectAccess.h"
#include "host/plot/Clipping.h"
#include "host/plot/Painter.h"
#include "host/plot/PlotRenderer.h"

namespace qv::host::plot {

namespace {

// A canvas that draws nothing and gathers the boxes of the texts drawn on it; it measures
// texts with the plot font (a cairo canvas on one pixel, never written).
class TextBoundsCanvas : public Canvas {
  public:
    TextBoundsCanvas() {
        std::string error;
        m_measurer = createCanvas(OutputFormat::Png, std::string(), 1.0, 1.0, error);
    }
    double width() const override { return 1.0; }
    double height() const override { return 1.0; }
    void moveTo(DevicePoint) override {}
    void lineTo(DevicePoint) override {}
    void closePath() override {}
    void stroke(const Rgb&, double, bool) override {}
    void fill(const Rgb&) override {}
    void pushClip() override {}
    void popClip() override {}
    TextMetrics measure(const std::string& utf8) override {
        return m_measurer != nullptr ? m_measurer->measure(utf8) : TextMetrics{};
    }
    void text(const std::string& utf8, const Affine& toDevice, const Rgb&) override {
        // The drawn text's advance, from 0.3 em below the baseline (descenders) to 1 em above.
        const double advance = measure(utf8).advance;
        for (const auto& [x, y] : {std::pair{0.0, -0.3}, {advance, -0.3}, {0.0, 1.0}, {advance, 1.0}}) {
            const DevicePoint p = toDevice.apply(x, y);
            if (std::isfinite(p.x) && std::isfinite(p.y)) {
                m_box.addPoint(AcGePoint3d(p.x, p.y, 0.0));
            }
        }
    }
    std::string finish() override { return {}; }
    const AcDbExtents& box() const { return m_box; }

  private:
    std::unique_ptr<Canvas> m_measurer;
    AcDbExtents m_box;
};

// A canvas that draws nothing and tells whether anything drawn on it lands on the sheet: a
// stroked or filled segment, or a text's box, that reaches into it.
class SheetHitCanvas : public TextBoundsCanvas {
  public:
    SheetHitCanvas(double width, double height) : m_width(width), m_height(height) {}
    double width() const override { return m_width; }
    double height() const override { return m_height; }
    void moveTo(DevicePoint p) override {
        m_last = p;
        m_open = true;
        m_pathHits = m_pathHits || inside(p);
        m_pathBox.addPoint(AcGePoint3d(p.x, p.y, 0.0));
    }
    void lineTo(DevicePoint p) override {
        m_pathHits = m_pathHits || (m_open && crosses(m_last, p));
        m_last = p;
        m_pathBox.addPoint(AcGePoint3d(p.x, p.y, 0.0));
    }
    void closePath() override {}
    void stroke(const Rgb&, double, bool) override { endPath(false); }
    // A fill covers its inside too: one whose box takes in the sheet counts (the sheet may lie
    // wholly inside it).
    void fill(const Rgb&) override { endPath(true); }
    // A clip path is not drawn.
    void pushClip() override {
        m_pathHits = m_open = false;
        m_pathBox = AcDbExtents();
    }
    void text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) override {
        if (m_hit) {
            return;
        }
        TextBoundsCanvas::text(utf8, toDevice, colour);
        m_hit = reaches(box());
    }
    bool hit() const { return m_hit; }

  private:
    void endPath(bool filled) {
        m_hit = m_hit || m_pathHits || (filled && reaches(m_pathBox));
        m_pathHits = m_open = false;
        m_pathBox = AcDbExtents();
    }
    // Whether the box reaches into the sheet.
    bool reaches(const AcDbExtents& b) const {
        return !b.qvIsEmpty() && b.minPoint().x <= m_width && b.maxPoint().x >= 0.0 &&
               b.minPoint().y <= m_height && b.maxPoint().y >= 0.0;
    }
    bool inside(DevicePoint p) const {
        return p.x >= 0.0 && p.x <= m_width && p.y >= 0.0 && p.y <= m_height;
    }
    // Whether the segment reaches into the sheet.
    bool crosses(DevicePoint a, DevicePoint b) const {
        return clipSegment(0.0, 0.0, m_width, m_height, a, b);
    }

    double m_width, m_height;
    DevicePoint m_last;
    AcDbExtents m_pathBox;
    bool m_open = false, m_pathHits = false, m_hit = false;
};

// Calls `visit` with the geometric extents of every entity the layout plots at its top.
template <class Visit>
void forPlottedBoxes(const AcDbLayout& layout, Painter& painter, Visit visit) {
    const AcDbObjectIdArray order = drawOrder(layout.getBlockTableRecordId());
    for (int i = 0; i < order.length(); ++i) {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(order[i]);
        if (entity == nullptr || !painter.plotsAtTop(*entity)) {
            continue;
        }
        AcDbExtents box;
        if (entity->getGeomExtents(box) == Acad::eOk && !box.qvIsEmpty()) {
            visit(box);
        }
    }
}

}  // namespace

std::optional<PlotArea> plottedExtents(const AcDbLayout& layout) {
    TextBoundsCanvas texts;
    PainterOptions options;
    options.textsOnly = true;
    Painter painter(texts, options);
    AcDbExtents all;
    forPlottedBoxes(layout, painter, [&](const AcDbExtents& box) { all.addExt(box); });
    // Drawn in drawing units: the texts' boxes come out in the layout's own units.
    painter.drawBlock(layout.getBlockTableRecordId(), Affine{});
    if (!texts.box().qvIsEmpty()) {
        all.addExt(texts.box());
    }
    if (all.qvIsEmpty()) {
        return std::nullopt;
    }
    return PlotArea{all.minPoint().x, all.minPoint().y, all.maxPoint().x, all.maxPoint().y};
}

bool plotShowsAnything(const AcDbLayout& layout, const AcDbPlotSettings& settings,
                       OutputFormat format) {
    const PlotArea area = plotAreaOf(layout, settings);
    std::string error;
    const std::optional<SheetLayout> sheet = layoutSheet(settings, format, area, error);
    if (!sheet) {
        return true;
    }
    SheetHitCanvas hits(sheet->deviceWidth, sheet->deviceHeight);
    Painter painter(hits, PainterOptions{});
    painter.drawBlock(layout.getBlockTableRecordId(), sheet->drawingToDevice);
    return hits.hit();
}

}  // namespace qv::host::plot
