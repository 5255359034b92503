// A table's place in the drawing and the anonymous block that draws it (see AcDbTable.h).
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbTable.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

namespace {

using qv::host::kTableCharacterWidth;
using qv::host::kTableLineGap;

// The corners of the cells in the table's own coordinates: x to the right, y up, the position
// at the origin.
struct Grid {
    std::vector<double> x;  // numColumns() + 1 edges, left to right
    std::vector<double> y;  // numRows() + 1 edges, from row 0's outer edge on
};

Grid gridOf(const AcDbTable& table) {
    Grid grid;
    grid.x.push_back(0.0);
    for (int c = 0; c < table.numColumns(); ++c) {
        grid.x.push_back(grid.x.back() + table.columnWidth(c));
    }
    const double sign = table.flowDirection() == AcDb::kBtoT ? 1.0 : -1.0;
    grid.y.push_back(0.0);
    for (const double h : table.qvShownRowHeights()) {
        grid.y.push_back(grid.y.back() + sign * h);
    }
    return grid;
}

// Adds entities to the table's block, on layer 0, coloured by block.
class BlockFiller {
  public:
    BlockFiller(AcDbDatabase& database, AcDbBlockTableRecord& block)
        : m_db(database), m_block(block) {
        if (const auto* layers = ObjectAccess::peekAs<AcDbLayerTable>(database.layerTableId())) {
            m_layer0 = layers->qvFind(L"0");
        }
    }

    // Takes the entity: added, or deleted when the database refuses it (or raises).
    void add(AcDbEntity* made) {
        std::unique_ptr<AcDbEntity> entity(made);
        entity->setDatabaseDefaults(&m_db);
        if (!m_layer0.isNull()) {
            entity->setLayer(m_layer0);
        }
        entity->setColorIndex(0);
        AcDbObjectId id;
        if (ObjectAccess::add(m_db, entity.get(), m_block.objectId(), id) != Acad::eOk) {
            return;
        }
        m_block.qvAppendEntityId(id);
        entity.release()->close();
    }

  private:
    AcDbDatabase& m_db;
    AcDbBlockTableRecord& m_block;
    AcDbObjectId m_layer0;
};

}  // namespace

// ---- placement ----

AcGeVector3d AcDbTable::direction() const {
    return AcGeMatrix3d::planeToWorld(normal()) *
           AcGeVector3d(std::cos(rotation()), std::sin(rotation()), 0.0);
}

Acad::ErrorStatus AcDbTable::setDirection(const AcGeVector3d& direction) {
    assertWriteEnabled();
    const AcGeVector3d inPlane = AcGeMatrix3d::worldToPlane(normal()) * direction;
    if (std::hypot(inPlane.x, inPlane.y) <= 1e-12 * std::max(1.0, direction.length())) {
        return Acad::eInvalidInput;
    }
    double angle = std::atan2(inPlane.y, inPlane.x);
    if (angle < 0.0) {
        angle += 2.0 * 3.141592653589793;
    }
    return setRotation(angle);
}

Acad::ErrorStatus AcDbTable::getGeomExtents(AcDbExtents& extents) const {
    const Grid grid = gridOf(*this);
    const AcGeMatrix3d placed = blockTransform();
    AcDbExtents box;
    for (const double x : {grid.x.front(), grid.x.back()}) {
        for (const double y : {grid.y.front(), grid.y.back()}) {
            box.addPoint(placed * AcGePoint3d(x, y, 0.0));
        }
    }
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::transformBy(const AcGeMatrix3d& matrix) {
    assertWriteEnabled();
    const AcGePoint3d position0 = position();
    const AcGeVector3d normal0 = normal();
    const double rotation0 = rotation();
    const AcGeScale3d scale0 = scaleFactors();
    const Acad::ErrorStatus es = AcDbBlockReference::transformBy(matrix);
    if (es != Acad::eOk) {
        return es;
    }
    const AcGeScale3d s = scaleFactors();
    const double factor = s.sx;
    if (!(factor > 0.0) || std::fabs(s.sy - factor) > 1e-9 * factor ||
        std::fabs(s.sz - factor) > 1e-9 * factor) {
        setPosition(position0);
        setNormal(normal0);
        setRotation(rotation0);
        setScaleFactors(scale0);
        return Acad::eCannotScaleNonUniformly;
    }
    setScaleFactors(AcGeScale3d(1.0, 1.0, 1.0));
    if (std::fabs(factor - 1.0) > 1e-15) {
        for (double& h : m_rowHeights) {
            h *= factor;
        }
        for (double& w : m_columnWidths) {
            w *= factor;
        }
        for (auto& settings : m_rows) {
            settings.textHeight *= factor;
        }
        for (Cell& cell : m_cells) {
            cell.textHeight *= factor;
            cell.blockScale *= factor;
        }
        m_horzMargin *= factor;
        m_vertMargin *= factor;
    }
    changed();
    return Acad::eOk;
}

// ---- the table's block ----

Acad::ErrorStatus AcDbTable::generateLayout() {
    assertWriteEnabled();
    return recomputeTableBlock(true);
}

Acad::ErrorStatus AcDbTable::recomputeTableBlock(bool forceUpdate) {
    assertWriteEnabled();
    if (database() == nullptr) {
        changed();
        return Acad::eOk;  // made when the table is added
    }
    if (forceUpdate || m_dirty) {
        buildBlock();
    }
    return Acad::eOk;
}

void AcDbTable::qvAdded() {
    AcDbBlockReference::qvAdded();
    m_tableBlock = AcDbObjectId::kNull;  // a copy's block belongs to the original
    buildBlock();
}

void AcDbTable::qvClosingWrite() {
    if (m_dirty && database() != nullptr && !isErased()) {
        buildBlock();
    }
}

Acad::ErrorStatus AcDbTable::qvErasing(bool erasing) {
    AcDbBlockReference::qvErasing(erasing);
    if (auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_tableBlock)) {
        ObjectAccess::setErased(*block, erasing);
        for (const AcDbObjectId& id : block->qvEntities()) {
            if (AcDbObject* entity = ObjectAccess::peek(id)) {
                ObjectAccess::setErased(*entity, erasing);
            }
        }
    }
    return Acad::eOk;
}

void AcDbTable::buildBlock() {
    AcDbDatabase* db = database();
    auto* blocks =
        db != nullptr ? ObjectAccess::peekAs<AcDbBlockTable>(db->blockTableId()) : nullptr;
    if (blocks == nullptr) {
        return;
    }
    auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_tableBlock);
    if (block == nullptr || block->isErased()) {
        int n = 1;
        while (!blocks->qvFind(L"*T" + std::to_wstring(n)).isNull()) {
            ++n;
        }
        auto owned = std::make_unique<AcDbBlockTableRecord>();
        owned->qvSetName(L"*T" + std::to_wstring(n));
        AcDbObjectId id;
        if (ObjectAccess::add(*db, owned.get(), blocks->objectId(), id) != Acad::eOk) {
            return;
        }
        AcDbBlockTableRecord* made = owned.release();
        made->close();
        blocks->qvAppendRecord(id);
        block = made;
        m_tableBlock = id;
        setBlockTableRecord(id);
    } else {
        for (const AcDbObjectId& id : block->qvEntities()) {
            if (AcDbObject* entity = ObjectAccess::peek(id)) {
                ObjectAccess::setErased(*entity, true);
            }
        }
    }
    m_dirty = false;

    BlockFiller filler(*db, *block);
    const Grid grid = gridOf(*this);
    const int rows = numRows(), columns = numColumns();
    auto sameRange = [&](int r1, int c1, int r2, int c2) {
        const int a = rangeIndexAt(r1, c1);
        return a >= 0 && a == rangeIndexAt(r2, c2);
    };
    // Borders: each edge line runs on while the cells on both sides differ.
    for (int edge = 0; edge <= rows; ++edge) {
        int from = -1;
        for (int c = 0; c <= columns; ++c) {
            const bool drawn =
                c < columns && (edge == 0 || edge == rows || !sameRange(edge - 1, c, edge, c));
            if (drawn && from < 0) {
                from = c;
            } else if (!drawn && from >= 0) {
                const double y = grid.y[static_cast<size_t>(edge)];
                filler.add(new AcDbLine(AcGePoint3d(grid.x[static_cast<size_t>(from)], y, 0),
                                        AcGePoint3d(grid.x[static_cast<size_t>(c)], y, 0)));
                from = -1;
            }
        }
    }
    for (int edge = 0; edge <= columns; ++edge) {
        int from = -1;
        for (int r = 0; r <= rows; ++r) {
            const bool drawn =
                r < rows && (edge == 0 || edge == columns || !sameRange(r, edge - 1, r, edge));
            if (drawn && from < 0) {
                from = r;
            } else if (!drawn && from >= 0) {
                const double x = grid.x[static_cast<size_t>(edge)];
                filler.add(new AcDbLine(AcGePoint3d(x, grid.y[static_cast<size_t>(from)], 0),
                                        AcGePoint3d(x, grid.y[static_cast<size_t>(r)], 0)));
                from = -1;
            }
        }
    }
    // Contents: each cell that starts a range or stands alone.
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            int lastRow = r, lastColumn = c;
            const int range = rangeIndexAt(r, c);
            if (range >= 0) {
                const Range& m = m_merged[static_cast<size_t>(range)];
                if (m.minRow != r || m.minColumn != c) {
                    continue;
                }
                lastRow = m.maxRow;
                lastColumn = m.maxColumn;
            }
            const Cell& cell = *qvCell(r, c);
            const double x0 = grid.x[static_cast<size_t>(c)] + m_horzMargin;
            const double x1 = grid.x[static_cast<size_t>(lastColumn) + 1] - m_horzMargin;
            const double ya = grid.y[static_cast<size_t>(r)];
            const double yb = grid.y[static_cast<size_t>(lastRow) + 1];
            const double top = std::max(ya, yb) - m_vertMargin;
            const double bottom = std::min(ya, yb) + m_vertMargin;
            const int a = alignment(r, c) - 1;
            const int across = a % 3, down = a / 3;  // left/centre/right, top/middle/bottom
            if (cell.type == AcDb::kBlockCell) {
                const AcDbExtents box = qv::host::blockContentBox(cell.block);
                if (box.qvIsEmpty()) {
                    continue;
                }
                const double bw = box.maxPoint().x - box.minPoint().x;
                const double bh = box.maxPoint().y - box.minPoint().y;
                double s = cell.blockScale;
                if (cell.autoFit) {
                    const double sx = bw > 0.0 ? (x1 - x0) / bw : 1e300;
                    const double sy = bh > 0.0 ? (top - bottom) / bh : 1e300;
                    s = std::min(sx, sy);
                    if (!(s > 0.0) || s >= 1e300) {
                        s = 1.0;
                    }
                }
                const double left = across == 0   ? x0
                                    : across == 1 ? (x0 + x1 - bw * s) / 2.0
                                                  : x1 - bw * s;
                const double low = down == 0   ? top - bh * s
                                   : down == 1 ? (top + bottom - bh * s) / 2.0
                                               : bottom;
                auto* reference = new AcDbBlockReference(
                    AcGePoint3d(left - box.minPoint().x * s, low - box.minPoint().y * s, 0.0),
                    cell.block);
                reference->setScaleFactors(AcGeScale3d(s, s, s));
                filler.add(reference);
                continue;
            }
            const double h = textHeight(r, c);
            const std::vector<std::wstring> texts = lines(r, c);
            if (cell.text.empty() || !(h > 0.0)) {
                continue;
            }
            const double n = static_cast<double>(texts.size());
            const double block = n * h + (n - 1.0) * kTableLineGap * h;
            const double firstTop = down == 0   ? top
                                    : down == 1 ? (top + bottom + block) / 2.0
                                                : bottom + block;
            const AcDbObjectId style =
                !m_rows[qv::host::rowTypeIndex(rowType(r))].textStyle.isNull()
                    ? m_rows[qv::host::rowTypeIndex(rowType(r))].textStyle
                    : db->textstyle();
            for (size_t i = 0; i < texts.size(); ++i) {
                if (texts[i].empty()) {
                    continue;
                }
                const double baseline =
                    firstTop - h - static_cast<double>(i) * (1.0 + kTableLineGap) * h;
                const double wide = kTableCharacterWidth * h * static_cast<double>(texts[i].size());
                const double anchor = across == 0 ? x0 : across == 1 ? (x0 + x1) / 2.0 : x1;
                const double start = across == 0   ? x0
                                     : across == 1 ? anchor - wide / 2.0
                                                   : anchor - wide;
                auto* text =
                    new AcDbText(AcGePoint3d(start, baseline, 0.0), texts[i].c_str(), style, h);
                if (across != 0) {
                    text->setHorizontalMode(across == 1 ? AcDb::kTextCenter : AcDb::kTextRight);
                    text->setAlignmentPoint(AcGePoint3d(anchor, baseline, 0.0));
                }
                filler.add(text);
            }
        }
    }
}
