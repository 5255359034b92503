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

// The box of a text drawn at text space's origin through `toDevice`, its advance measured
// (textCorners).
AcDbExtents textBox(double advance, const Affine& toDevice) {
    AcDbExtents box;
    for (const DevicePoint& p : textCorners(advance, toDevice)) {
        if (std::isfinite(p.x) && std::isfinite(p.y)) {
            box.addPoint(AcGePoint3d(p.x, p.y, 0.0));
        }
    }
    return box;
}

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
        const AcDbExtents box = textBox(measure(utf8).advance, toDevice);
        if (!box.qvIsEmpty()) {
            m_box.addExt(box);
        }
    }
    std::string finish() override { return {}; }
    const AcDbExtents& box() const { return m_box; }

  private:
    std::unique_ptr<Canvas> m_measurer;
    AcDbExtents m_box;
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

void SheetHitCanvas::moveTo(DevicePoint p) {
    if (!m_hit) {
        m_last = p;
        m_open = true;
        m_pathHits = m_pathHits ||
                     (p.x >= 0.0 && p.x <= width() && p.y >= 0.0 && p.y <= height());
        m_pathBox.addPoint(AcGePoint3d(p.x, p.y, 0.0));
    }
    m_target.moveTo(p);
}

void SheetHitCanvas::lineTo(DevicePoint p) {
    if (!m_hit) {
        DevicePoint a = m_last, b = p;  // (clipped in place)
        m_pathHits = m_pathHits || (m_open && clipSegment(0.0, 0.0, width(), height(), a, b));
        m_last = p;
        m_pathBox.addPoint(AcGePoint3d(p.x, p.y, 0.0));
    }
    m_target.lineTo(p);
}

void SheetHitCanvas::stroke(const Rgb& colour, double width, bool round) {
    endPath(false);
    m_target.stroke(colour, width, round);
}

// A fill covers its inside too: one whose box takes in the sheet counts (the sheet may lie
// wholly inside it).
void SheetHitCanvas::fill(const Rgb& colour) {
    endPath(true);
    m_target.fill(colour);
}

void SheetHitCanvas::pushClip() {
    m_pathHits = m_open = false;
    m_pathBox = AcDbExtents();
    m_target.pushClip();
}

void SheetHitCanvas::text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) {
    if (!m_hit) {
        m_hit = reaches(textBox(measure(utf8).advance, toDevice));
    }
    m_target.text(utf8, toDevice, colour);
}

void SheetHitCanvas::endPath(bool filled) {
    if (!m_hit) {
        m_hit = m_pathHits || (filled && reaches(m_pathBox));
        m_pathHits = m_open = false;
        m_pathBox = AcDbExtents();
    }
}

bool SheetHitCanvas::reaches(const AcDbExtents& b) const {
    return !b.qvIsEmpty() && b.minPoint().x <= width() && b.maxPoint().x >= 0.0 &&
           b.minPoint().y <= height() && b.maxPoint().y >= 0.0;
}

}  // namespace qv::host::plot
