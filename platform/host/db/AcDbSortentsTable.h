// Draw order. A block's entities are drawn in the order they were appended, unless the block has
// a sort-entities table (kept in the block's extension dictionary under "ACAD_SORTENTS"). The
// table gives entities sort handles: entities are drawn by ascending sort handle, an entity
// without one sorting by its own handle. Moving entities hands the sort handles of the block's
// entities out again in the new order, so the drawing file can keep the order as pairs of entity
// and sort handle (qvSortHandles).
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "AcDbObject.h"

class AcDbSortentsTable : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbSortentsTable)
  public:
    AcDbSortentsTable() = default;
    QV_RX_CLONE(AcDbSortentsTable)

    // The block whose entities the table orders; when not set, the block that owns the
    // extension dictionary holding the table.
    AcDbObjectId blockId() const;
    Acad::ErrorStatus setBlockId(AcDbObjectId block);

    // Each of these needs the table open for write (eNotOpenForWrite) and entities of the
    // block (eInvalidInput otherwise); the moved entities keep their order among themselves.
    Acad::ErrorStatus moveToBottom(const AcDbObjectIdArray& entities);
    Acad::ErrorStatus moveToTop(const AcDbObjectIdArray& entities);
    Acad::ErrorStatus moveBelow(const AcDbObjectIdArray& entities, AcDbObjectId target);
    Acad::ErrorStatus moveAbove(const AcDbObjectIdArray& entities, AcDbObjectId target);
    Acad::ErrorStatus swapOrder(AcDbObjectId first, AcDbObjectId second);
    // Puts the given entities in the given order, in the places they held among themselves.
    Acad::ErrorStatus setRelativeDrawOrder(const AcDbObjectIdArray& entities);

    Acad::ErrorStatus getSortHandle(AcDbObjectId entity, AcDbHandle& sortHandle) const;
    // Every entity of the block (erased ones left out), first drawn first.
    Acad::ErrorStatus getFullDrawOrder(AcDbObjectIdArray& entities,
                                       Adesk::UInt8 honorSortentsMask = 0) const;
    // Sorts the given entities into draw order.
    Acad::ErrorStatus getRelativeDrawOrder(AcDbObjectIdArray& entities,
                                           Adesk::UInt8 honorSortentsMask = 0) const;
    bool firstEntityIsDrawnBeforeSecond(AcDbObjectId first, AcDbObjectId second) const;

    // The entities whose sort handle differs from their own handle.
    std::vector<std::pair<AcDbObjectId, AcDbHandle>> qvSortHandles() const;
    // Takes a pair read from a file.
    void qvSetSortHandle(AcDbObjectId entity, AcDbHandle sortHandle);

  private:
    // The draw order, from the cache when the block's entities have only been added to since it
    // was made; a full sort otherwise.
    const std::vector<AcDbObjectId>& order() const;
    bool cacheStillHolds() const;
    // Hands out the sort handles of the last reorder, when still pending.
    void settleSortHandles() const;
    Acad::ErrorStatus reorder(const std::vector<AcDbObjectId>& newOrder);
    // eOk when the table may be changed and the entities (and the target, not one of them)
    // belong to the block.
    Acad::ErrorStatus check(const AcDbObjectIdArray& entities,
                            AcDbObjectId target = AcDbObjectId::kNull) const;
    AcDbHandle sortHandleOf(AcDbObjectId entity) const;

    AcDbObjectId m_block;
    mutable std::map<AcDbObjectId, AcDbHandle> m_sort;
    // A reorder only records its order here; the sort handles follow from it when asked for.
    mutable std::vector<AcDbObjectId> m_pendingOrder;
    mutable bool m_sortPending = false;
    // The last draw order worked out, the block's entity list it came from, and the largest sort
    // handle among its entities (entities added since sorting after it go to the end).
    mutable std::vector<AcDbObjectId> m_cache;
    mutable std::vector<AcDbObjectId> m_cacheSource;
    mutable AcDbObjectId m_cacheBlock;
    mutable AcDbHandle m_cacheMaxKey;
    mutable bool m_cacheValid = false;
};

namespace qv::host {
// The draw order of a block: its own table's when it has one, else the order of appending.
AcDbObjectIdArray drawOrder(AcDbObjectId block);
}  // namespace qv::host
