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
    // The moved entities take the block's sort handles in ascending order.
    std::vector<AcDbHandle> handles;
    handles.reserve(m_pendingOrder.size());
    for (const AcDbObjectId& id : m_pendingOrder) {
        handles.push_back(id.handle());
    }
    std::sort(handles.begin(), handles.end());
    m_sort.clear();
    for (size_t i = 0; i < m_pendingOrder.size(); ++i) {
        if (handles[i] != m_pendingOrder[i].handle()) {
            m_sort[m_pendingOrder[i]] = handles[i];
        }
    }
    m_pendingOrder.clear();
    m_pendingOrder.shrink_to_fit();
    m_sortPending = false;
}

void AcDbSortentsTable::qvSetSortHandle(AcDbObjectId entity, AcDbHandle sortHandle) {
    settleSortHandles();
    m_sort[entity] = sortHandle;
    m_cacheValid = false;
}

AcDbHandle AcDbSortentsTable::sortHandleOf(AcDbObjectId entity) const {
    settleSortHandles();
    const auto found = m_sort.find(entity);
    return found != m_sort.end() ? found->second : entity.handle();
}

bool AcDbSortentsTable::cacheStillHolds() const {
    const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(blockId());
    if (!m_cacheValid || block == nullptr || blockId() != m_cacheBlock) {
        return false;
    }
    const std::vector<AcDbObjectId>& entities = block->qvEntities();
    if (entities.size() < m_cacheSource.size() ||
        !std::equal(m_cacheSource.begin(), m_cacheSource.end(), entities.begin())) {
        return false;
    }
    // Same entities as before, none erased or unerased since.
    size_t live = 0;
    for (const AcDbObjectId& id : m_cacheSource) {
        live += id.isErased() ? 0 : 1;
    }
    if (live != m_cache.size() ||
        std::any_of(m_cache.begin(), m_cache.end(), [](AcDbObjectId id) { return id.isErased(); })) {
        return false;
    }
    // Entities added since go to the end when they sort after every cached one, in the order
    // of their handles.
    AcDbHandle last = m_cacheMaxKey;
    for (size_t i = m_cacheSource.size(); i < entities.size(); ++i) {
        const AcDbObjectId id = entities[i];
        if (id.isErased()) {
            continue;
        }
        if (!m_sortPending && m_sort.count(id) != 0) {
            return false;
        }
        if (!(last < id.handle())) {
            return false;
        }
        last = id.handle();
    }
    for (size_t i = m_cacheSource.size(); i < entities.size(); ++i) {
        if (!entities[i].isErased()) {
            m_cache.push_back(entities[i]);
        }
        m_cacheSource.push_back(entities[i]);
    }
    m_cacheMaxKey = last;
    return true;
}

const std::vector<AcDbObjectId>& AcDbSortentsTable::order() const {
    if (cacheStillHolds()) {
        return m_cache;
    }
    m_cache.clear();
    m_cacheSource.clear();
    m_cacheBlock = blockId();
    m_cacheMaxKey = AcDbHandle();
    if (const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(m_cacheBlock)) {
        m_cacheSource = block->qvEntities();
        for (const AcDbObjectId& id : m_cacheSource) {
            if (!id.isErased()) {
                m_cache.push_back(id);
            }
        }
    }
    std::stable_sort(m_cache.begin(), m_cache.end(), [&](AcDbObjectId a, AcDbObjectId b) {
        const AcDbHandle ha = sortHandleOf(a), hb = sortHandleOf(b);
        return ha != hb ? ha < hb : a.handle() < b.handle();
    });
    for (const AcDbObjectId& id : m_cache) {
        m_cacheMaxKey = std::max(m_cacheMaxKey, std::max(sortHandleOf(id), id.handle()));
    }
    m_cacheValid = true;
    return m_cache;
}

Acad::ErrorStatus AcDbSortentsTable::reorder(const std::vector<AcDbObjectId>& newOrder) {
    // The sort handles are a permutation of the entities' own handles, ascending along the new
    // order: the new order is the draw order until the block changes.
    AcDbHandle largest;
    for (const AcDbObjectId& id : newOrder) {
        largest = std::max(largest, id.handle());
    }
    m_pendingOrder = newOrder;
    m_sortPending = true;
    // Every caller has just taken the current order, so the cached entity list is the block's.
    m_cache = newOrder;
    m_cacheMaxKey = largest;
    return Acad::eOk;
}
Acad::ErrorStatus AcDbSortentsTable::check(const AcDbObjectIdArray& entities,
                                           AcDbObjectId target) const {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    const std::vector<AcDbObjectId>& current = order();
    auto inBlock = [&](AcDbObjectId id) {
        return std::find(current.begin(), current.end(), id) != current.end();
    };
    if (!std::all_of(entities.begin(), entities.end(), inBlock)) {
        return Acad::eInvalidInput;
    }
    if (!target.isNull() && (!inBlock(target) || entities.contains(target))) {
        return Acad::eInvalidInput;
    }
    return Acad::eOk;
}

namespace {

// `current` with the entities of `moved` taken out and put back before `at` (the end when
// null), in their old order.
std::vector<AcDbObjectId> moveBefore(const std::vector<AcDbObjectId>& current,
                                     const AcDbObjectIdArray& moved, AcDbObjectId at,
                                     bool atStart) {
    std::vector<AcDbObjectId> taken, rest;
    for (const AcDbObjectId& id : current) {
        (moved.contains(id) ? taken : rest).push_back(id);
    }
    auto where = atStart ? rest.begin() : std::find(rest.begin(), rest.end(), at);
    rest.insert(where, taken.begin(), taken.end());
    return rest;
}

}  // namespace

Acad::ErrorStatus AcDbSortentsTable::moveToBottom(const AcDbObjectIdArray& entities) {
    const Acad::ErrorStatus es = check(entities);
    return es != Acad::eOk ? es : reorder(moveBefore(order(), entities, {}, true));
}

Acad::ErrorStatus AcDbSortentsTable::moveToTop(const AcDbObjectIdArray& entities) {
    const Acad::ErrorStatus es = check(entities);
    return es != Acad::eOk ? es : reorder(moveBefore(order(), entities, {}, false));
}

Acad::ErrorStatus AcDbSortentsTable::moveBelow(const AcDbObjectIdArray& entities,
                                               AcDbObjectId target) {
    const Acad::ErrorStatus es = check(entities, target);
    return es != Acad::eOk ? es : reorder(moveBefore(order(), entities, target, false));
}

Acad::ErrorStatus AcDbSortentsTable::moveAbove(const AcDbObjectIdArray& entities,
                                               AcDbObjectId target) {
    const Acad::ErrorStatus es = check(entities, target);
    if (es != Acad::eOk) {
        return es;
    }
    // Above the target is before the first entity drawn after it that stays in place.
    const std::vector<AcDbObjectId> current = order();
    AcDbObjectId before = AcDbObjectId::kNull;
    for (auto it = std::find(current.begin(), current.end(), target) + 1; it != current.end();
         ++it) {
        if (!entities.contains(*it)) {
            before = *it;
            break;
        }
    }
    return reorder(moveBefore(current, entities, before, false));
}

Acad::ErrorStatus AcDbSortentsTable::swapOrder(AcDbObjectId first, AcDbObjectId second) {
    AcDbObjectIdArray both;
    both.append(first);
    const Acad::ErrorStatus es = check(both, second);
    if (es != Acad::eOk) {
        return es;
    }
    std::vector<AcDbObjectId> current = order();
    std::iter_swap(std::find(current.begin(), current.end(), first),
                   std::find(current.begin(), current.end(), second));
    return reorder(current);
}

Acad::ErrorStatus AcDbSortentsTable::setRelativeDrawOrder(const AcDbObjectIdArray& entities) {
    const Acad::ErrorStatus es = check(entities);
    if (es != Acad::eOk) {
        return es;
    }
    std::vector<AcDbObjectId> current = order();
    int next = 0;
    for (AcDbObjectId& id : current) {
        if (entities.contains(id)) {
            id = entities[next++];
        }
    }
    return reorder(current);
}

Acad::ErrorStatus AcDbSortentsTable::getSortHandle(AcDbObjectId entity,
                                                   AcDbHandle& sortHandle) const {
    const std::vector<AcDbObjectId> current = order();
    if (std::find(current.begin(), current.end(), entity) == current.end()) {
        return Acad::eInvalidInput;
    }
    sortHandle = sortHandleOf(entity);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::getFullDrawOrder(AcDbObjectIdArray& entities,
                                                      Adesk::UInt8) const {
    entities.removeAll();
    for (const AcDbObjectId& id : order()) {
        entities.append(id);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSortentsTable::getRelativeDrawOrder(AcDbObjectIdArray& entities,
                                                          Adesk::UInt8) const {
    const std::vector<AcDbObjectId> current = order();
    AcDbObjectIdArray sorted;
    for (const AcDbObjectId& id : current) {
        if (entities.contains(id)) {
            sorted.append(id);
        }
    }
    if (sorted.length() != entities.length()) {
        return Acad::eInvalidInput;
    }
    entities = sorted;
    return Acad::eOk;
}

bool AcDbSortentsTable::firstEntityIsDrawnBeforeSecond(AcDbObjectId first,
                                                       AcDbObjectId second) const {
    const std::vector<AcDbObjectId> current = order();
    return std::find(current.begin(), current.end(), first) <
           std::find(current.begin(), current.end(), second);
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
