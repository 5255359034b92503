#include "host/plot/DrawBatches.h"

#include <algorithm>
#include <cmath>

namespace qv::host::plot {

namespace {
constexpr int kCellsPerSide = 128;
}  // namespace

DrawBatches::DrawBatches(double width, double height)
    : m_width(std::max(width, 1.0)),
      m_height(std::max(height, 1.0)),
      m_columns(kCellsPerSide),
      m_rows(kCellsPerSide),
      m_cells(static_cast<size_t>(kCellsPerSide * kCellsPerSide), -1) {}

void DrawBatches::cellRange(const double box[4], int& x0, int& y0, int& x1, int& y1) const {
    auto column = [&](double x) {
        const double c = std::floor(x / m_width * m_columns);
        return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(m_columns - 1)));
    };
    auto row = [&](double y) {
        const double r = std::floor(y / m_height * m_rows);
        return static_cast<int>(std::clamp(r, 0.0, static_cast<double>(m_rows - 1)));
    };
    x0 = column(box[0]);
    x1 = column(box[2]);
    y0 = row(box[1]);
    y1 = row(box[3]);
}

Batch& DrawBatches::place(Batch::Kind kind, const Pen& key, const double box[4], bool strict) {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    cellRange(box, x0, y0, x1, y1);
    int latest = -1;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            latest = std::max(latest, m_cells[static_cast<size_t>(y * m_columns + x)]);
        }
    }
    // The latest batch of this kind and key; it may take the item when nothing drawn after it
    // lies under the item.
    int chosen = -1;
    for (int i = static_cast<int>(m_batches.size()) - 1; i >= 0 && i >= latest; --i) {
        const Batch& b = m_batches[static_cast<size_t>(i)];
        if (b.kind == kind && b.pen == key) {
            if (!strict || latest < i) {
                chosen = i;
            }
            break;
        }
    }
    if (chosen < 0) {
        m_batches.push_back(Batch{kind, key, {}, {}});
        chosen = static_cast<int>(m_batches.size()) - 1;
    }
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            int& cell = m_cells[static_cast<size_t>(y * m_columns + x)];
            cell = std::max(cell, chosen);
        }
    }
    return m_batches[static_cast<size_t>(chosen)];
}

void DrawBatches::addStroke(const Pen& pen, const std::vector<PathOp>& path, const double box[4]) {
    Batch& batch = place(Batch::Kind::Stroke, pen, box, false);
    batch.path.insert(batch.path.end(), path.begin(), path.end());
}

void DrawBatches::addFill(const Rgb& colour, const std::vector<PathOp>& path,
                          const double box[4]) {
    Batch& batch = place(Batch::Kind::Fill, Pen{colour, 0.0, true}, box, true);
    batch.path.insert(batch.path.end(), path.begin(), path.end());
}

void DrawBatches::addText(const Rgb& colour, PlacedText text, const double box[4]) {
    Batch& batch = place(Batch::Kind::Text, Pen{colour, 0.0, true}, box, false);
    batch.texts.push_back(std::move(text));
}

std::vector<Batch> DrawBatches::take() {
    std::vector<Batch> batches;
    batches.swap(m_batches);
    std::fill(m_cells.begin(), m_cells.end(), -1);
    return batches;
}

}  // namespace qv::host::plot
