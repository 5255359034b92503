// CAcadUtilities: extended-data values, handles and draw order.
#include "drawing/AcadUtilities.h"

#include <arxHeaders.h>

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("AcadUtilities.cpp");

namespace {

// How many characters the key and the unit text of each key id take.
struct XDataCut {
    int keyId;
    int front;
    int back;
};

constexpr XDataCut XDATA_CUTS[] = {
    {CAcadUtilities::XDATA_NAME, 5, 0},
    {CAcadUtilities::XDATA_AREA_METRIC, 5, 5},
    {CAcadUtilities::XDATA_AREA_IMPERIAL, 5, 6},
    {CAcadUtilities::XDATA_PERIMETER_METRIC, 10, 2},
    {CAcadUtilities::XDATA_PERIMETER_IMPERIAL, 10, 3},
    {CAcadUtilities::XDATA_TAGTYPE, 8, 0},
    {CAcadUtilities::XDATA_AREA_TYPE, 10, 0},
    {CAcadUtilities::XDATA_COST_CENTRE, 12, 0},
    {CAcadUtilities::XDATA_DATE, 5, 0},
    {CAcadUtilities::XDATA_DATE_L_MOVE, 12, 0},
    {CAcadUtilities::XDATA_DEPT_CHARGE, 12, 0},
    {CAcadUtilities::XDATA_ROOM_HEIGHT, 12, 0},
    {CAcadUtilities::XDATA_SPECIAL_REQ, 12, 0},
    {CAcadUtilities::XDATA_TOT_STAFF, 10, 0},
    {CAcadUtilities::XDATA_TOT_WKSTNS, 11, 0},
    {CAcadUtilities::XDATA_VOLUME, 7, 0},
    {CAcadUtilities::XDATA_HANDLESTOMINUS, 15, 0},
    {CAcadUtilities::XDATA_HANDLESTOADD, 13, 0},
};

}  // namespace

CString CAcadUtilities::extractData(int keyId, CString data) {
    try {
        for (const XDataCut& cut : XDATA_CUTS) {
            if (cut.keyId != keyId)
                continue;
            const int length = data.GetLength() - cut.front - cut.back;
            return length > 0 ? data.Mid(cut.front, length) : CString();
        }
        return CString();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::extractData"));
    }
}

void CAcadUtilities::convertHandlesStringToArray(CString handles, AcArray<AcDbHandle>& array) {
    try {
        int start = 0;
        for (int comma = handles.Find(L',', start); comma >= 0; comma = handles.Find(L',', start)) {
            array.append(AcDbHandle(handles.Mid(start, comma - start).GetString()));
            start = comma + 1;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertHandlesStringToArray"));
    }
}

AcDbObjectId CAcadUtilities::convertHandleToObjectId(AcDbHandle handle) {
    try {
        ads_name entity = {0, 0};
        AcDbObjectId id;
        if (acdbHandEnt(handle.text().c_str(), entity) == RTNORM &&
            acdbGetObjectId(id, entity) == Acad::eOk)
            return id;
        return AcDbObjectId::kNull;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertHandleToObjectId"));
    }
}

// ---- Draw order ----------------------------------------------------------------------------

namespace {

const ACHAR* const SORTENTS_KEY = L"ACAD_SORTENTS";
constexpr int ALL_SORTENTS_FLAGS = 127;

// The extension dictionary of an object open for read, made when it has none (the object is
// upgraded to write for that); the null id when it cannot be had.
AcDbObjectId extensionDictionaryOf(AcDbObject* owner) {
    AcDbObjectId dictionary = owner->extensionDictionary();
    if (!dictionary.isNull())
        return dictionary;
    if (owner->upgradeOpen() != Acad::eOk)
        return AcDbObjectId::kNull;
    owner->createExtensionDictionary();
    return owner->extensionDictionary();
}

// The dictionary's sort-entities table open for write in `entry`, a new one put there when it
// has none (set to order `block`); false when it cannot be had. A table that exists but cannot
// be opened is never replaced: that would lose the block's draw order.
bool sortentsEntry(AcDbDictionary* dictionary, AcDbObjectId block,
                   AcDbObjectPointer<AcDbObject>& entry) {
    AcDbObjectId entryId;
    if (dictionary->getAt(SORTENTS_KEY, entryId) == Acad::eOk)
        return entry.open(entryId, AcDb::kForWrite) == Acad::eOk;
    if (dictionary->upgradeOpen() != Acad::eOk)
        return false;
    // Deleted with the pointer unless the dictionary takes it.
    AcDbObjectPointer<AcDbSortentsTable> table;
    table.create();
    AcDbObjectId tableId;
    if (dictionary->setAt(SORTENTS_KEY, table.object(), tableId) != Acad::eOk)
        return false;
    table->setBlockId(block);
    AcDbSortentsTable* added = nullptr;
    table.release(added);
    AcDbObject* object = added;
    entry.acquire(object);
    return true;
}

}  // namespace

AcDbSortentsTable* CAcadUtilities::getSortentsTable(AcDbEntity* entity) {
    if (entity == nullptr)
        return nullptr;
    const AcDbObjectId ownerId = entity->ownerId();
    if (ownerId.isNull())
        return nullptr;
    AcDbObjectPointer<AcDbDictionary> dictionary;
    {
        AcDbObjectPointer<AcDbObject> owner(ownerId, AcDb::kForRead);
        if (owner.openStatus() != Acad::eOk)
            return nullptr;
        const AcDbObjectId dictionaryId = extensionDictionaryOf(owner.object());
        if (dictionaryId.isNull() || dictionary.open(dictionaryId, AcDb::kForRead) != Acad::eOk)
            return nullptr;
    }
    AcDbObjectPointer<AcDbObject> entry;
    if (!sortentsEntry(dictionary.object(), ownerId, entry))
        return nullptr;
    dictionary.close();
    if (AcDbSortentsTable::cast(entry.object()) == nullptr)
        return nullptr;
    AcDbObject* table = nullptr;
    entry.release(table);
    return AcDbSortentsTable::cast(table);
}

void CAcadUtilities::moveToBottom(AcDbEntity* entity) {
    ensureSortentsEnabled();
    AcDbObjectPointer<AcDbSortentsTable> table;
    AcDbSortentsTable* opened = getSortentsTable(entity);
    if (table.acquire(opened) != Acad::eOk)
        return;
    AcDbObjectIdArray ids;
    ids.append(entity->objectId());
    table->moveToBottom(ids);
}

void CAcadUtilities::ensureSortentsEnabled() {
    resbuf value{};
    if (acedGetVar(L"SORTENTS", &value) != RTNORM || value.restype != RTSHORT)
        return;
    if ((value.resval.rint & ALL_SORTENTS_FLAGS) != ALL_SORTENTS_FLAGS)
        setSortents(value.resval.rint | ALL_SORTENTS_FLAGS);
}

void CAcadUtilities::setSortents(int value) {
    resbuf setting{};
    setting.restype = RTSHORT;
    setting.resval.rint = static_cast<short>(value);
    acedSetVar(L"SORTENTS", &setting);
}
