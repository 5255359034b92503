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

// The extension dictionary of an open object in `dictionary`, made when it has none (the object
// is upgraded to write for that); the status of the step that failed otherwise.
Acad::ErrorStatus extensionDictionaryOf(AcDbObject* owner, AcDbObjectId& dictionary) {
    dictionary = owner->extensionDictionary();
    if (!dictionary.isNull())
        return Acad::eOk;
    Acad::ErrorStatus es = owner->upgradeOpen();
    if (es == Acad::eOk)
        es = owner->createExtensionDictionary();
    dictionary = owner->extensionDictionary();
    if (es == Acad::eOk && dictionary.isNull())
        es = Acad::eNullObjectId;
    return es;
}

// The dictionary's sort-entities table open for write in `entry`, a new one put there when it
// has none (set to order `block`); the status of the step that failed otherwise. A table that
// exists but cannot be opened is never replaced: that would lose the block's draw order.
Acad::ErrorStatus sortentsEntry(AcDbDictionary* dictionary, AcDbObjectId block,
                                AcDbObjectPointer<AcDbObject>& entry) {
    AcDbObjectId entryId;
    if (dictionary->getAt(SORTENTS_KEY, entryId) == Acad::eOk)
        return entry.open(entryId, AcDb::kForWrite);
    Acad::ErrorStatus es = dictionary->upgradeOpen();
    if (es != Acad::eOk)
        return es;
    // Deleted with the pointer unless the dictionary takes it.
    AcDbObjectPointer<AcDbSortentsTable> table;
    table.create();
    AcDbObjectId tableId;
    if ((es = dictionary->setAt(SORTENTS_KEY, table.object(), tableId)) != Acad::eOk)
        return es;
    table->setBlockId(block);
    AcDbSortentsTable* added = nullptr;
    table.release(added);
    AcDbObject* object = added;
    return entry.acquire(object);
}

// The sort-entities table of the open block `owner`, open for write in `entry`.
Acad::ErrorStatus sortentsTableOf(AcDbObject* owner, AcDbObjectPointer<AcDbObject>& entry) {
    AcDbObjectId dictionaryId;
    Acad::ErrorStatus es = extensionDictionaryOf(owner, dictionaryId);
    if (es != Acad::eOk)
        return es;
    AcDbObjectPointer<AcDbDictionary> dictionary(dictionaryId, AcDb::kForRead);
    if ((es = dictionary.openStatus()) != Acad::eOk)
        return es;
    if ((es = sortentsEntry(dictionary.object(), owner->objectId(), entry)) != Acad::eOk)
        return es;
    return AcDbSortentsTable::cast(entry.object()) != nullptr ? Acad::eOk
                                                               : Acad::eNotThatKindOfClass;
}

}  // namespace

AcDbSortentsTable* CAcadUtilities::getSortentsTable(AcDbEntity* entity) {
    if (entity == nullptr || entity->ownerId().isNull())
        return nullptr;
    AcDbObjectPointer<AcDbObject> entry;
    {
        AcDbObjectPointer<AcDbObject> owner(entity->ownerId(), AcDb::kForRead);
        if (owner.openStatus() != Acad::eOk || sortentsTableOf(owner.object(), entry) != Acad::eOk)
            return nullptr;
    }
    AcDbObject* table = nullptr;
    entry.release(table);
    return AcDbSortentsTable::cast(table);
}

Acad::ErrorStatus CAcadUtilities::moveToBottom(AcDbEntity* entity) {
    if (entity == nullptr)
        return Acad::eNullEntityPointer;
    if (entity->ownerId().isNull())
        return Acad::eNotInDatabase;
    AcDbObjectPointer<AcDbObject> owner(entity->ownerId(), AcDb::kForRead);
    if (owner.openStatus() != Acad::eOk)
        return owner.openStatus();
    return moveToBottom(entity, owner.object());
}

Acad::ErrorStatus CAcadUtilities::moveToBottom(AcDbEntity* entity, AcDbObject* owner) {
    if (entity == nullptr || owner == nullptr)
        return Acad::eNullEntityPointer;
    if (entity->ownerId() != owner->objectId())
        return Acad::eInvalidInput;
    ensureSortentsEnabled();
    AcDbObjectPointer<AcDbObject> entry;
    const Acad::ErrorStatus es = sortentsTableOf(owner, entry);
    if (es != Acad::eOk)
        return es;
    AcDbObjectIdArray ids;
    ids.append(entity->objectId());
    return AcDbSortentsTable::cast(entry.object())->moveToBottom(ids);
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
