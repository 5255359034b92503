// Gathers what is drawn on a sheet into few batches without changing the picture: strokes of
// one pen, fills of one colour and texts of one colour each join the latest batch of their kind
// when nothing drawn after that batch lies under them; else they open a new batch. Batches are
// then drawn in their order. A PDF page then holds a few long paths instead of one operation per
// entity (cairo spends tens of microseconds on each operation of a page).
//
// Overlap is judged on a grid of cells over the sheet that remember the last batch drawn into
// each: coarse, so it may refuse a join that would have been harmless, never the other way. A
// fill joins only where no cell of it holds its batch already, so that no two fills of one
// batch overlap (the even-odd rule would cut holes where they do).
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"

namespace qv::host::plot {

enum class PathStep { Move, Line, Close };
struct PathOp {
    PathStep step;
    DevicePoint p;
};

struct Pen {
    Rgb colour;
    double width = 0.0;
    bool round = true;
    bool operator==(const Pen&) const = default;
};

struct PlacedText {
    std::string utf8;
    Affine toDevice;
};

struct Batch {
    enum class Kind { Stroke, Fill, Text };
    Kind kind = Kind::Stroke;
    Pen pen;  // the colour alone for fills and texts
    std::vector<PathOp> path;
    std::vector<PlacedText> texts;
};

class DrawBatches {
  public:
    DrawBatches(double width, double height);

    // `box` is the device box the item covers (xmin, ymin, xmax, ymax).
    void addStroke(const Pen& pen, const std::vector<PathOp>& path, const double box[4]);
    void addFill(const Rgb& colour, const std::vector<PathOp>& path, const double box[4]);
    void addText(const Rgb& colour, PlacedText text, const double box[4]);

    // The batches in drawing order; taking them empties the gatherer.
    std::vector<Batch> take();
    bool empty() const { return m_batches.empty(); }

  private:
    Batch& place(Batch::Kind kind, const Pen& key, const double box[4], bool strict);
    void cellRange(const double box[4], int& x0, int& y0, int& x1, int& y1) const;

    double m_width, m_height;
    int m_columns, m_rows;
    std::vector<int> m_cells;  // the last batch drawn into each cell, -1 for none
    std::vector<Batch> m_batches;
};

}  // namespace qv::host::plot
