// Draw order. A block's entities are drawn in the order they were appended, unless the block has
// a sort-entities table (kept in the block's extension dictionary under "ACAD_SORTENTS"). The
// table gives entities sort handles: entities are drawn by ascending sort handle, an entity
// without one sorting by its own handle. Moving entities hands the sort handles of the block's
// entities out again in the new order, so the drawing file can keep the order as pairs of entity
// and sort handle (qvSortHandles). A move costs in proportion to the entities moved (times the
// logarithm of the block's size), not to the block: hatching thousands of entities one by one to
// the bottom stays linear.
#pragma once

#include <map>
#include <unordered_map>
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
    // Puts the given entities in the given order, in the places they held among themselves (an
    // entity named twice counts where it is first named).
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
    // A place in the draw order; places only compare, so moves hand out places between
    // neighbours and number the whole order again only when two neighbours leave no room.
    using Place = long long;
    static constexpr Place kSpacing = Place{1} << 24;

    // Brings the index of places up to date with the block: entities appended since go on top
    // when they sort after every indexed one; anything else (an erasure, an entity leaving the
    // block, a sort handle read, another block) sorts the block again.
    void sync() const;
    void rebuild() const;
    // Hands out the sort handles of the order reached by the moves since the last time.
    void settleSortHandles() const;
    // The given entities, each once, in draw order; false when one of them is not drawn by the
    // block.
    bool sortIntoOrder(const AcDbObjectIdArray& entities, std::vector<AcDbObjectId>& sorted) const;
    // eOk when the table may be changed and the entities (and the target, not one of them)
    // belong to the block; `moved` gets the entities, each once, in their draw order.
    Acad::ErrorStatus check(const AcDbObjectIdArray& entities, AcDbObjectId target,
                            std::vector<AcDbObjectId>& moved) const;
    // Takes `moved` (in draw order) out and puts it back, in that order, just before `at` (on
    // top when null; at the bottom with atBottom).
    void placeBefore(const std::vector<AcDbObjectId>& moved, AcDbObjectId at, bool atBottom);
    void place(AcDbObjectId entity, Place at) const;
    void unplace(AcDbObjectId entity) const;
    bool placeOf(AcDbObjectId entity, Place& at) const;
    void renumber(Place spacing) const;
    AcDbHandle sortHandleOf(AcDbObjectId entity) const;

    AcDbObjectId m_block;
    // Sort handles that differ from the entity's own (read from a file, or handed out by
    // settleSortHandles); stale while m_sortPending.
    mutable std::map<AcDbObjectId, AcDbHandle> m_sort;
    mutable bool m_sortPending = false;
    // The draw order as places: every entity of the block that was not erased when indexed.
    mutable std::map<Place, AcDbObjectId> m_drawn;
    mutable std::unordered_map<Adesk::IntPtr, Place> m_placeOf;
    // What the index was made from: the block, its membership count, how many of its entities
    // were looked at, and the largest key (sort handle or handle) among them.
    mutable bool m_indexed = false;
    mutable AcDbObjectId m_indexBlock;
    mutable unsigned long long m_indexMembership = 0;
    mutable size_t m_indexSource = 0;
    mutable AcDbHandle m_indexMaxKey;
};

namespace qv::host {
// The draw order of a block: its own table's when it has one, else the order of appending.
AcDbObjectIdArray drawOrder(AcDbObjectId block);
}  // namespace qv::host
