// CLockedLayerTable: a drawing's layer table open for write under one level of the drawing's
// counted lock, both given back when it goes (the table first), on every path.
//
// table() is null when the lock was refused (nothing was opened) or the table did not open (the
// lock level is still given back). Ownership: borrows the wrapper, which must outlive it.
#pragma once

#include "drawing/DrawingLock.h"

class CLockedLayerTable {
  public:
    explicit CLockedLayerTable(CAcadDrawing* pDrawing) : m_lock(pDrawing) {
        if (m_lock.held())
            m_table.open(pDrawing->getDocument()->database(), AcDb::kForWrite);
    }
    CLockedLayerTable(const CLockedLayerTable&) = delete;
    CLockedLayerTable& operator=(const CLockedLayerTable&) = delete;

    AcDbLayerTable* table() const { return m_table.object(); }

  private:
    // Declared first: the lock level outlives the open table.
    CDrawingLock m_lock;
    AcDbSymbolTablePointer<AcDbLayerTable> m_table;
};
