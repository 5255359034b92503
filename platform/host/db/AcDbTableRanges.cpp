// Merged ranges of a table's cells, what a drawing file gives a table, and which blocks tables and
// references use (see AcDbTable.h).
#include <algorithm>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbTable.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

namespace {

bool positive(double value) {
    return value > 0.0 && std::isfinite(value);
}

}  // namespace

// ---- merged cells ----

Acad::ErrorStatus AcDbTable::mergeCells(int minRow, int maxRow, int minColumn, int maxColumn) {
    assertWriteEnabled();
    if (!validCell(minRow, minColumn) || !validCell(maxRow, maxColumn)) {
        return Acad::eInvalidIndex;
    }
    if (minRow > maxRow || minColumn > maxColumn || (minRow == maxRow && minColumn == maxColumn)) {
        return Acad::eInvalidInput;
    }
    for (const Range& r : m_merged) {
        if (r.minRow <= maxRow && minRow <= r.maxRow && r.minColumn <= maxColumn &&
            minColumn <= r.maxColumn) {
            return Acad::eInvalidInput;
        }
    }
    m_merged.push_back({minRow, maxRow, minColumn, maxColumn});
    changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::unmergeCells(int minRow, int maxRow, int minColumn, int maxColumn) {
    assertWriteEnabled();
    const auto found = std::find_if(m_merged.begin(), m_merged.end(), [&](const Range& r) {
        return r.minRow == minRow && r.maxRow == maxRow && r.minColumn == minColumn &&
               r.maxColumn == maxColumn;
    });
    if (found == m_merged.end()) {
        return Acad::eInvalidInput;
    }
    m_merged.erase(found);
    changed();
    return Acad::eOk;
}

bool AcDbTable::isMergedCell(int row, int column, int* minRow, int* maxRow, int* minColumn,
                             int* maxColumn) const {
    const int index = rangeIndexAt(row, column);
    if (index < 0) {
        return false;
    }
    const Range& r = m_merged[static_cast<size_t>(index)];
    if (minRow != nullptr) {
        *minRow = r.minRow;
    }
    if (maxRow != nullptr) {
        *maxRow = r.maxRow;
    }
    if (minColumn != nullptr) {
        *minColumn = r.minColumn;
    }
    if (maxColumn != nullptr) {
        *maxColumn = r.maxColumn;
    }
    return true;
}

// ---- the file's own use ----

bool AcDbTable::qvSetGrid(std::vector<double> rowHeights, std::vector<double> columnWidths,
                          std::vector<Cell> cells, const std::vector<Range>& merged) {
    if (rowHeights.empty() || columnWidths.empty() ||
        cells.size() != rowHeights.size() * columnWidths.size()) {
        return false;
    }
    for (double& h : rowHeights) {
        h = positive(h) ? h : 0.0;
    }
    for (double& w : columnWidths) {
        w = positive(w) ? w : 0.0;
    }
    m_rowHeights = std::move(rowHeights);
    m_columnWidths = std::move(columnWidths);
    m_cells = std::move(cells);
    m_merged.clear();
    for (const Range& r : merged) {
        const bool inside = validCell(r.minRow, r.minColumn) && validCell(r.maxRow, r.maxColumn) &&
                            r.minRow <= r.maxRow && r.minColumn <= r.maxColumn;
        bool overlaps = false;
        for (const Range& o : m_merged) {
            overlaps = overlaps || (o.minRow <= r.maxRow && r.minRow <= o.maxRow &&
                                    o.minColumn <= r.maxColumn && r.minColumn <= o.maxColumn);
        }
        if (inside && !overlaps) {
            m_merged.push_back(r);
        }
    }
    m_dirty = false;
    return true;
}

void AcDbTable::qvSetTableBlock(AcDbObjectId block) {
    m_tableBlock = block;
    if (ObjectAccess::peekAs<AcDbBlockTableRecord>(block) != nullptr) {
        setBlockTableRecord(block);
    }
    m_dirty = false;
}

namespace qv::host {

bool isBlockInUse(const AcDbDatabase& database, AcDbObjectId block) {
    bool used = false;
    database.qvForEachObject([&](AcDbObject& o) {
        if (used || o.isErased()) {
            return;
        }
        if (const auto* table = AcDbTable::cast(&o)) {
            for (int r = 0; r < table->numRows() && !used; ++r) {
                for (int c = 0; c < table->numColumns() && !used; ++c) {
                    used = table->blockTableRecordId(r, c) == block;
                }
            }
        }
        if (const auto* reference = AcDbBlockReference::cast(&o)) {
            used = used || reference->blockTableRecord() == block;
        }
    });
    return used;
}

}  // namespace qv::host
