#include "host/ed/SpaceIndex.h"

#include <algorithm>
#include <cmath>

#include "host/db/ObjectAccess.h"
#include "host/ed/EntityShape.h"
#include "host/ed/Picking.h"
#include "host/ed/SelectionFilter.h"

namespace qv::host::ed {
namespace {

struct Box {
    double x0, y0, x1, y1;
    bool meets(const Box& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

// A box with finite corners round every point of the shape; false when there is none.
bool boxOf(const EntityShape& shape, Box& box) {
    Box2d around;
    shape.addTo(around);
    box = {around.minX, around.minY, around.maxX, around.maxY};
    return !around.isEmpty() && std::isfinite(box.x0) && std::isfinite(box.y0) &&
           std::isfinite(box.x1) && std::isfinite(box.y1);
}

constexpr long kMaxCellsPerEntity = 256;  // larger entities are kept apart from the grid

unsigned long long g_examined = 0;

class Index {
  public:
    bool isFor(const AcDbDatabase& db) const {
        return m_database == &db && m_space == db.currentSpaceId() &&
               m_changes == AcDbObject::qvChangeCount();
    }

    void build(const AcDbDatabase& db) {
        *this = Index();
        m_database = &db;
        m_space = db.currentSpaceId();
        m_ids = layoutEntities(db, false, EntityOrder::Created);
        m_boxes.resize(m_ids.size());
        m_shapes.resize(m_ids.size());
        m_boxed.assign(m_ids.size(), false);
        Box all{0, 0, 0, 0};
        bool anyBox = false;
        for (size_t i = 0; i < m_ids.size(); ++i) {
            m_shapes[i] = shapeOf(*ObjectAccess::peekAs<AcDbEntity>(m_ids[i]));
            if (boxOf(m_shapes[i], m_boxes[i])) {
                m_boxed[i] = true;
                const Box& b = m_boxes[i];
                all = anyBox ? Box{std::min(all.x0, b.x0), std::min(all.y0, b.y0),
                                   std::max(all.x1, b.x1), std::max(all.y1, b.y1)}
                             : b;
                anyBox = true;
            } else {
                m_always.push_back(i);
            }
        }
        m_origin = all;
        const double width = all.x1 - all.x0, height = all.y1 - all.y0;
        const double area = std::max(width * height, 1e-300);
        // About one cell per entity, and never more than 1024 cells along a side.
        m_cell = std::max(std::sqrt(area / static_cast<double>(std::max<size_t>(m_ids.size(), 1))),
                          std::max(width, height) / 1024.0);
        if (!(m_cell > 0) || !std::isfinite(m_cell)) {
            m_cell = 1.0;
        }
        m_columns = cellIndex(all.x1, all.x0) + 1;
        m_rows = cellIndex(all.y1, all.y0) + 1;
        m_cells.assign(static_cast<size_t>(m_columns) * static_cast<size_t>(m_rows), {});
        for (size_t i = 0; i < m_ids.size(); ++i) {
            if (!m_boxed[i]) {
                continue;
            }
            const Box& b = m_boxes[i];
            const long c0 = cellIndex(b.x0, all.x0), c1 = cellIndex(b.x1, all.x0);
            const long r0 = cellIndex(b.y0, all.y0), r1 = cellIndex(b.y1, all.y0);
            if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerEntity) {
                m_always.push_back(i);
                continue;
            }
            for (long r = r0; r <= r1; ++r) {
                for (long c = c0; c <= c1; ++c) {
                    m_cells[static_cast<size_t>(r * m_columns + c)].push_back(i);
                }
            }
        }
        std::sort(m_always.begin(), m_always.end());
        m_seen.assign(m_ids.size(), 0);
        m_changes = AcDbObject::qvChangeCount();
    }

    // The entities whose box meets `area` and that may pass `filter`, in creation order: of
    // those kept apart (no box, or too large for the grid), only the ones that pass the filter,
    // so that a search pays for what it can find, not for every large entity of the plan.
    std::vector<size_t> candidates(const Box& area, const SelectionFilter& filter) {
        std::vector<size_t> out;
        for (size_t i : apartPassing(filter)) {
            if (!m_boxed[i] || m_boxes[i].meets(area)) {
                out.push_back(i);
            }
        }
        if (!m_cells.empty() && area.meets(m_origin)) {
            ++m_search;
            const long c0 = cellIndex(area.x0, m_origin.x0), c1 = cellIndex(area.x1, m_origin.x0);
            const long r0 = cellIndex(area.y0, m_origin.y0), r1 = cellIndex(area.y1, m_origin.y0);
            for (long r = std::max(r0, 0L); r <= std::min(r1, m_rows - 1); ++r) {
                for (long c = std::max(c0, 0L); c <= std::min(c1, m_columns - 1); ++c) {
                    for (size_t i : m_cells[static_cast<size_t>(r * m_columns + c)]) {
                        if (m_seen[i] != m_search && m_boxes[i].meets(area)) {
                            m_seen[i] = m_search;
                            out.push_back(i);
                        }
                    }
                }
            }
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    AcDbObjectId id(size_t i) const { return m_ids[i]; }
    const AcDbEntity* entity(size_t i) const {
        const auto* entity = ObjectAccess::peekAs<AcDbEntity>(m_ids[i]);
        return entity != nullptr && !entity->isErased() ? entity : nullptr;
    }
    // The shape measured when the index was made: it holds as long as the index does.
    const EntityShape& shape(size_t i) const { return m_shapes[i]; }

  private:
    // The entities kept apart from the grid that pass the filter, worked out at the first
    // search with a filter written so and kept with the index (the entities cannot change
    // while it holds).
    const std::vector<size_t>& apartPassing(const SelectionFilter& filter) {
        const std::wstring key = filter.key();
        for (const Passing& known : m_passing) {
            if (known.key == key) {
                return known.apart;
            }
        }
        if (m_passing.size() >= kFiltersKept) {
            m_passing.erase(m_passing.begin());
        }
        Passing passing{key, {}};
        for (size_t i : m_always) {
            ++g_examined;
            const AcDbEntity* e = entity(i);
            if (e != nullptr && filter.passes(*e)) {
                passing.apart.push_back(i);
            }
        }
        m_passing.push_back(std::move(passing));
        return m_passing.back().apart;
    }

    // The grid column (or row) of a coordinate, from `origin`, clamped to a sane range.
    long cellIndex(double v, double origin) const {
        const double k = std::floor((v - origin) / m_cell);
        return static_cast<long>(std::clamp(k, -1.0, 1e7));
    }

    const AcDbDatabase* m_database = nullptr;
    AcDbObjectId m_space;
    unsigned long long m_changes = 0;
    std::vector<AcDbObjectId> m_ids;  // creation order
    std::vector<Box> m_boxes;
    std::vector<EntityShape> m_shapes;
    std::vector<bool> m_boxed;
    std::vector<size_t> m_always;  // no box, or too large for the grid; in creation order
    struct Passing {
        std::wstring key;
        std::vector<size_t> apart;
    };
    static constexpr size_t kFiltersKept = 8;
    std::vector<Passing> m_passing;
    Box m_origin{0, 0, 0, 0};
    double m_cell = 1.0;
    long m_columns = 0, m_rows = 0;
    std::vector<std::vector<size_t>> m_cells;
    std::vector<size_t> m_seen;
    size_t m_search = 0;
};

Index& index() {
    static Index the;
    return the;
}

}  // namespace

std::vector<AcDbObjectId> entitiesInPolygon(const AcDbDatabase& database,
                                            const std::vector<AcGePoint2d>& polygon, bool crossing,
                                            const SelectionFilter& filter) {
    std::vector<AcDbObjectId> out;
    if (polygon.size() < 3) {
        return out;
    }
    Index& idx = index();
    if (!idx.isFor(database)) {
        idx.build(database);
    }
    Box area{polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y};
    for (const AcGePoint2d& p : polygon) {
        area = {std::min(area.x0, p.x), std::min(area.y0, p.y), std::max(area.x1, p.x),
                std::max(area.y1, p.y)};
    }
    for (size_t i : idx.candidates(area, filter)) {
        ++g_examined;
        const AcDbEntity* entity = idx.entity(i);
        if (entity == nullptr || !filter.passes(*entity)) {
            continue;
        }
        const EntityShape& shape = idx.shape(i);
        if (crossing ? shape.touches(polygon) : shape.isInside(polygon)) {
            out.push_back(idx.id(i));
        }
    }
    return out;
}

unsigned long long entitiesExamined() {
    return g_examined;
}

}  // namespace qv::host::ed
