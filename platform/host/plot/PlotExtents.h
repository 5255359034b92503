// What a layout plots, measured: the extents of its plotted entities (those on layers that show
// and plot) with every text the plot draws as the plot font sets it, the texts of block
// references (their attributes, the constant texts of their blocks, tables' cells) included;
// and whether a plot's sheet shows anything. A text's box runs from below its descenders to
// above its capitals over its advance.
#pragma once

#include <optional>

#include "../db/AcDbEntity.h"
#include "../db/AcDbLayout.h"
#include "Canvas.h"
#include "PlotSheet.h"

namespace qv::host::plot {

// The box of what the layout plots, in its block's units; nothing when it plots nothing.
std::optional<PlotArea> plottedExtents(const AcDbLayout& layout);

// A canvas that passes everything drawn on it on to another and notes whether any of it lands
// on that canvas's sheet: a stroked or filled segment, or a text's box, that reaches into it (a
// fill whose box takes in the sheet counts too; a clip path is not drawn). Once something has
// landed it only passes on: a plot learns whether its sheet stays blank while it is drawn.
class SheetHitCanvas : public Canvas {
  public:
    explicit SheetHitCanvas(Canvas& target) : m_target(target) {}

    // Whether something drawn so far lands on the sheet.
    bool hit() const { return m_hit; }

    double width() const override { return m_target.width(); }
    double height() const override { return m_target.height(); }
    void moveTo(DevicePoint p) override;
    void lineTo(DevicePoint p) override;
    void closePath() override { m_target.closePath(); }
    void stroke(const Rgb& colour, double width, bool round) override;
    void fill(const Rgb& colour) override;
    void pushClip() override;
    void popClip() override { m_target.popClip(); }
    TextMetrics measure(const std::string& utf8) override { return m_target.measure(utf8); }
    void text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) override;
    void setLayer(const std::string& utf8Name) override { m_target.setLayer(utf8Name); }
    std::string finish() override { return m_target.finish(); }

  private:
    void endPath(bool filled);
    bool reaches(const AcDbExtents& box) const;

    Canvas& m_target;
    DevicePoint m_last;
    AcDbExtents m_pathBox;
    bool m_open = false, m_pathHits = false, m_hit = false;
};

}  // namespace qv::host::plot
