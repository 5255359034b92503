#include "host/db/AcDbSortentsTable.h"

#include <algorithm>

#include "host/db/AcDbDictionary.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbSortentsTable, AcDbObject, L"SORTENTSTABLE")

AcDbObjectId AcDbSortentsTable::blockId() const {
    if (!m_block.isNull()) {
        return m_block;
    }
    const AcDbObject* dictionary = ObjectAccess::peek(ownerId());
    if (dictionary == nullptr) {
        return AcDbObjectId::kNull;
    }
    const AcDbObjectId owner = dictionary->ownerId();
    return ObjectAccess::peekAs<AcDbBlockTableRecord>(owner) != nullptr ? owner
                                                                        : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbSortentsTable::setBlockId(AcDbObjectId block) {
    assertWriteEnabled();
    if (ObjectAccess::peekAs<AcDbBlockTableRecord>(block) == nullptr) {
        return Acad::eInvalidInput;
    }
    m_block = block;
    return Acad::eOk;
}

void AcDbSortentsTable::settleSortHandles() const {
    if (!m_sortPending) {
        return;
    }
    // The indexed entities take their own handles again, in ascending order along the draw order.
    std::vector<AcDbHandle> handles;
    handles.reserve(m_drawn.size());
    for (const auto& entry : m_drawn) {
        handles.push_back(entry.second.handle());
    }
    std::sort(handles.begin(), handles.end());
    m_sort.clear();
    size_t next = 0;
    for (const auto& entry : m_drawn) {
        if (handles[next] != entry.second.handle()) {
            m_sort[entry.second] = handles[next];
        }
        ++next;
    }
    m_sortPending = false;
}

void AcDbSortentsTable::qvSetSortHandle(AcDbObjectId entity, AcDbHandle sortHandle) {
    settleSortHandles();
    m_sort[entity] = sortHandle;
    m_indexed = false;
}

AcDbHandle AcDbSortentsTable::sortHandleOf(AcDbObjectId entity) const {
    settleSortHandles();
    const auto found = m_sort.find(entity);
    return found != m_sort.end() ? found->second : entity.handle();
}

void AcDbSortentsTable::place(AcDbObjectId entity, Place at) const {
    m_drawn.emplace(at, entity);
    m_placeOf[entity.asOldId()] = at;
}

void AcDbSortentsTable::unplace(AcDbObjectId entity) const {
    const auto found = m_placeOf.find(entity.asOldId());
    if (found != m_placeOf.end()) {
        m_drawn.erase(found->second);
        m_placeOf.erase(found);
    }
}

bool AcDbSortentsTable::placeOf(AcDbObjectId entity, Place& at) const {
    const auto found = m_placeOf.find(entity.asOldId());
    if (found == m_placeOf.end()) {
        return false;
    }
    at = found->second;
    return true;
}

void AcDbSortentsTable::renumber(Place spacing) const {
    std::map<Place, AcDbObjectId> drawn;
    Place next = 0;
    for (const auto& entry : m_drawn) {
        drawn.emplace_hint(drawn.end(), next, entry.second);
        m_placeOf[entry.second.asOldId()] = next;
        next += spacing;
    }
    m_drawn.swap(drawn);
}

void AcDbSortentsTable::rebuild() const {
    // The order the moves reached becomes sort handles first: the block is sorted by them.
    settleSortHandles();
    m_drawn.clear();
    m_placeOf.clear();
    m_indexBlock = blockId();
    m_indexMaxKey = AcDbHandle();
    m_indexSource = 0;
    m_indexMembership = 0;
    std::vector<std::pair<AcDbHandle, AcDbObjectId>> keyed;
    if (const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_indexBlock)) {
        const std::vector<AcDbObjectId>& entities = block->qvEntities();
        m_indexSource = entities.size();
        m_indexMembership = block->qvMembershipCount();
        for (const AcDbObjectId& id : entities) {
            if (!id.isErased()) {
                keyed.emplace_back(sortHandleOf(id), id);
            }
        }
    }
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.handle() < b.second.handle();
    });
    m_placeOf.reserve(keyed.size());
    Place next = 0;
    for (const auto& [key, id] : keyed) {
        m_drawn.emplace_hint(m_drawn.end(), next, id);
        m_placeOf[id.asOldId()] = next;
        next += kSpacing;
        m_indexMaxKey = std::max(m_indexMaxKey, std::max(key, id.handle()));
    }
    m_indexed = true;
}

void AcDbSortentsTable::sync() const {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId());
    if (!m_indexed || block == nullptr || blockId() != m_indexBlock ||
        block->qvMembershipCount() != m_indexMembership ||
        block->qvEntities().size() < m_indexSource) {
        rebuild();
        return;
    }
    // Entities appended since go on top when they sort after every indexed one, in the order
    // of their handles; one that would not sorts the block again.
    const std::vector<AcDbObjectId>& entities = block->qvEntities();
    AcDbHandle last = m_indexMaxKey;
    for (size_t i = m_indexSource; i < entities.size(); ++i) {
        const AcDbObjectId id = entities[i];
        if (id.isErased()) {
            continue;
        }
        if ((!m_sortPending && m_sort.count(id) != 0) || !(last < id.handle())) {
            rebuild();
            return;
        }
        last = id.handle();
    }
    for (size_t i = m_indexSource; i < entities.size(); ++i) {
        if (!entities[i].isErased()) {
            place(entities[i], m_drawn.empty() ? 0 : m_drawn.rbegin()->first + kSpacing);
        }
    }
    m_indexSource = entities.size();
    m_indexMaxKey = last;
}

bool AcDbSortentsTable::sortIntoOrder(const AcDbObjectIdArray& entities,
                                      std::vector<AcDbObjectId>& sorted) const {
    std::vector<std::pair<Place, AcDbObjectId>> placed;
    for (const AcDbObjectId& id : entities) {
        Place at = 0;
        if (!placeOf(id, at)) {
            return false;
        }
        placed.emplace_back(at, id);
    }
    std::sort(placed.begin(), placed.end());
    placed.erase(std::unique(placed.begin(), placed.end()), placed.end());
    sorted.clear();
    for (const auto& entry : placed) {
        sorted.push_back(entry.second);
    }
    return true;
}

Acad::ErrorStatus AcDbSortentsTable::check(const AcDbObjectIdArray& entities, AcDbObjectId target,
                                           std::vector<AcDbObjectId>& moved) const {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    sync();
    if (!sortIntoOrder(entities, moved)) {
        return Acad::eInvalidInput;
    }
    Place targetAt = 0;
    if (!target.isNull() && (!placeOf(target, targetAt) || entities.contains(target))) {
        return Acad::eInvalidInput;
    }
    return Acad::eOk;
}

void AcDbSortentsTable::placeBefore(const std::vector<AcDbObjectId>& moved, AcDbObjectId at,
                                    bool atBottom) {
    for (const AcDbObjectId& id : moved) {
        unplace(id);
    }
    const Place count = static_cast<Place>(moved.size());
    // The free places lie strictly between `low` and `high`.
    auto bounds = [&](Place& low, Place& high) {
        if (m_drawn.empty()) {
            low = -kSpacing;
            high = kSpacing * (count + 1);
            return;
        }
        auto next = atBottom ? m_drawn.begin() : m_drawn.end();
        if (!atBottom && !at.isNull()) {
            placeOf(at, high);
            next = m_drawn.find(high);
        }
        high =
            next != m_drawn.end() ? next->first : m_drawn.rbegin()->first + kSpacing * (count + 1);
        low = next != m_drawn.begin() ? std::prev(next)->first : high - kSpacing * (count + 1);
    };
    Place low = 0, high = 0;
    bounds(low, high);
    if (high - low <= count) {
        renumber(std::max(kSpacing, count + 1));
        bounds(low, high);
    }
    const Place step = (high - low) / (count + 1);
    Place next = low;
    for (const AcDbObjectId& id : moved) {
        next += step;
        place(id, next);
    }
    m_sortPending = true;
}

Acad::ErrorStatus AcDbSortentsTable::moveToBottom(const AcDbObjectIdArray& entities) {
    std::vector<AcDbObjectId> moved;
    const Acad::ErrorStatus es = check(entities, {}, moved);
    if (es == Acad::eOk) {
        placeBefore(moved, {}, true);
    }
    return es;
}

Acad::ErrorStatus AcDbSortentsTable::moveToTop(const AcDbObjectIdArray& entities) {
    std::vector<AcDbObjectId> moved;
    const Acad::ErrorStatus es = check(entities, {}, moved);
    if (es == Acad::eOk) {
        placeBefore(moved, {}, false);
    }
    return es;
}

Acad::ErrorStatus AcDbSortentsTable::moveBelow(const AcDbObjectIdArray& entities,
                                               AcDbObjectId target) {
    std::vector<AcDbObjectId> moved;
    const Acad::ErrorStatus es = check(entities, target, moved);
    if (es == Acad::eOk) {
        placeBefore(moved, target, false);
    }
    return es;
}

Acad::ErrorStatus AcDbSortentsTable::moveAbove(const AcDbObjectIdArray& entities,
                                               AcDbObjectId target) {
    std::vector<AcDbObjectId> moved;
    const Acad::ErrorStatus es = check(entities, target, moved);
    if (es != Acad::eOk) {
        return es;
    }
    // Above the target is before the first entity drawn after it that stays in place.
    for (const AcDbObjectId& id : moved) {
        unplace(id);
    }
    Place targetAt = 0;
    placeOf(target, targetAt);
    const auto after = m_drawn.upper_bound(targetAt);
    placeBefore(moved, after != m_drawn.end() ? after->second : AcDbObjectId::kNull, false);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::swapOrder(AcDbObjectId first, AcDbObjectId second) {
    AcDbObjectIdArray both;
    both.append(first);
    std::vector<AcDbObjectId> moved;
    const Acad::ErrorStatus es = check(both, second, moved);
    if (es != Acad::eOk) {
        return es;
    }
    Place a = 0, b = 0;
    placeOf(first, a);
    placeOf(second, b);
    unplace(first);
    unplace(second);
    place(first, b);
    place(second, a);
    m_sortPending = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::setRelativeDrawOrder(const AcDbObjectIdArray& entities) {
    std::vector<AcDbObjectId> moved;
    const Acad::ErrorStatus es = check(entities, {}, moved);
    if (es != Acad::eOk) {
        return es;
    }
    // The places the entities hold, ascending, handed out in the order given.
    std::vector<Place> places;
    for (const AcDbObjectId& id : moved) {
        Place at = 0;
        placeOf(id, at);
        places.push_back(at);
        unplace(id);
    }
    std::vector<AcDbObjectId> wanted;
    for (const AcDbObjectId& id : entities) {
        if (std::find(wanted.begin(), wanted.end(), id) == wanted.end()) {
            wanted.push_back(id);
        }
    }
    for (size_t i = 0; i < wanted.size(); ++i) {
        place(wanted[i], places[i]);
    }
    m_sortPending = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::getSortHandle(AcDbObjectId entity,
                                                   AcDbHandle& sortHandle) const {
    sync();
    Place at = 0;
    if (!placeOf(entity, at)) {
        return Acad::eInvalidInput;
    }
    sortHandle = sortHandleOf(entity);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::getFullDrawOrder(AcDbObjectIdArray& entities,
                                                      Adesk::UInt8) const {
    sync();
    entities.removeAll();
    for (const auto& entry : m_drawn) {
        entities.append(entry.second);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::getRelativeDrawOrder(AcDbObjectIdArray& entities,
                                                          Adesk::UInt8) const {
    sync();
    std::vector<AcDbObjectId> sorted;
    if (!sortIntoOrder(entities, sorted) ||
        sorted.size() != static_cast<size_t>(entities.length())) {
        return Acad::eInvalidInput;
    }
    entities.removeAll();
    for (const AcDbObjectId& id : sorted) {
        entities.append(id);
    }
    return Acad::eOk;
}

bool AcDbSortentsTable::firstEntityIsDrawnBeforeSecond(AcDbObjectId first,
                                                       AcDbObjectId second) const {
    sync();
    Place a = 0, b = 0;
    const bool hasFirst = placeOf(first, a), hasSecond = placeOf(second, b);
    // An entity of another block counts as drawn after every entity of this one.
    return hasFirst && (!hasSecond || a < b);
}

std::vector<std::pair<AcDbObjectId, AcDbHandle>> AcDbSortentsTable::qvSortHandles() const {
    settleSortHandles();
    std::vector<std::pair<AcDbObjectId, AcDbHandle>> pairs;
    for (const auto& entry : m_sort) {
        if (!entry.first.isErased()) {
            pairs.emplace_back(entry.first, entry.second);
        }
    }
    return pairs;
}

namespace qv::host {

AcDbObjectIdArray drawOrder(AcDbObjectId blockId) {
    AcDbObjectIdArray ids;
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId);
    if (block == nullptr) {
        return ids;
    }
    const auto* dictionary = ObjectAccess::peekAs<AcDbDictionary>(block->extensionDictionary());
    AcDbObjectId tableId;
    if (dictionary != nullptr && dictionary->getAt(L"ACAD_SORTENTS", tableId) == Acad::eOk) {
        if (const auto* table = ObjectAccess::peekAs<AcDbSortentsTable>(tableId)) {
            table->getFullDrawOrder(ids);
            return ids;
        }
    }
    for (const AcDbObjectId& id : block->qvEntities()) {
        if (!id.isErased()) {
            ids.append(id);
        }
    }
    return ids;
}

}  // namespace qv::host
