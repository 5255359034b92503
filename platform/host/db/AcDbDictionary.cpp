#include "host/db/AcDbDictionary.h"

#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, L"DICTIONARY")

int AcDbDictionary::indexOf(const ACHAR* key) const {
    if (key == nullptr) {
        return -1;
    }
    const std::wstring folded = qv::host::foldName(key);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].id.isErased() && qv::host::foldName(m_entries[i].key) == folded) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* key, AcDbObjectId& id) const {
    const int i = indexOf(key);
    id = i < 0 ? AcDbObjectId::kNull : m_entries[static_cast<size_t>(i)].id;
    return i < 0 ? Acad::eKeyNotFound : Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const ACHAR* key, AcDbObject*& object,
                                        AcDb::OpenMode mode) const {
    return getAt<AcDbObject>(key, object, mode);
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, ACHAR*& key) const {
    key = nullptr;
    for (const Entry& e : m_entries) {
        if (e.id == id) {
            key = acutNewString(e.key.c_str());
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}

bool AcDbDictionary::has(const ACHAR* key) const {
    return indexOf(key) >= 0;
}

bool AcDbDictionary::has(AcDbObjectId id) const {
    for (const Entry& e : m_entries) {
        if (e.id == id && !id.isErased()) {
            return true;
        }
    }
    return false;
}

Adesk::UInt32 AcDbDictionary::numEntries() const {
    Adesk::UInt32 n = 0;
    for (const Entry& e : m_entries) {
        if (!e.id.isErased()) {
            ++n;
        }
    }
    return n;
}

Acad::ErrorStatus AcDbDictionary::setAt(const ACHAR* key, AcDbObject* object, AcDbObjectId& id) {
    id = AcDbObjectId::kNull;
    if (key == nullptr || key[0] == 0) {
        return Acad::eInvalidInput;
    }
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (database() == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (!object->objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    const Acad::ErrorStatus es = ObjectAccess::add(*database(), object, objectId(), id);
    if (es != Acad::eOk) {
        return es;
    }
    const int existing = indexOf(key);
    if (existing >= 0) {
        Entry& entry = m_entries[static_cast<size_t>(existing)];
        if (AcDbObject* old = ObjectAccess::peek(entry.id)) {
            ObjectAccess::setErased(*old, true);
        }
        entry.id = id;
    } else {
        m_entries.push_back({key, id});
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* key) {
    AcDbObjectId id;
    return remove(key, id);
}

Acad::ErrorStatus AcDbDictionary::remove(const ACHAR* key, AcDbObjectId& id) {
    id = AcDbObjectId::kNull;
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    const int i = indexOf(key);
    if (i < 0) {
        return Acad::eKeyNotFound;
    }
    id = m_entries[static_cast<size_t>(i)].id;
    if (AcDbObject* object = ObjectAccess::peek(id)) {
        ObjectAccess::setOwner(*object, AcDbObjectId::kNull);
    }
    m_entries.erase(m_entries.begin() + i);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId id) {
    for (const Entry& e : m_entries) {
        if (e.id == id) {
            const std::wstring key = e.key;
            return remove(key.c_str());
        }
    }
    return Acad::eKeyNotFound;
}

void AcDbDictionary::qvSetKey(AcDbObjectId id, const std::wstring& key) {
    for (Entry& e : m_entries) {
        if (e.id == id) {
            e.key = key;
        }
    }
}

void AcDbDictionary::qvRemoveEntry(AcDbObjectId id) {
    std::erase_if(m_entries, [&](const Entry& e) { return e.id == id; });
}

Acad::ErrorStatus AcDbDictionary::setName(const ACHAR* oldKey, const ACHAR* newKey) {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (newKey == nullptr || newKey[0] == 0) {
        return Acad::eInvalidInput;
    }
    const int i = indexOf(oldKey);
    if (i < 0) {
        return Acad::eKeyNotFound;
    }
    const int other = indexOf(newKey);
    if (other >= 0 && other != i) {
        return Acad::eDuplicateKey;
    }
    m_entries[static_cast<size_t>(i)].key = newKey;
    return Acad::eOk;
}

AcDbDictionaryIterator* AcDbDictionary::newIterator(DeepCloneType) const {
    std::vector<Entry> live;
    for (const Entry& e : m_entries) {
        if (!e.id.isErased()) {
            live.push_back(e);
        }
    }
    return new AcDbDictionaryIterator(std::move(live));
}

Acad::ErrorStatus AcDbDictionary::qvErasing(bool erasing) {
    for (const Entry& e : m_entries) {
        if (AcDbObject* object = ObjectAccess::peek(e.id)) {
            ObjectAccess::setErased(*object, erasing);
        }
    }
    return Acad::eOk;
}

AcDbDictionaryIterator::AcDbDictionaryIterator(std::vector<AcDbDictionary::Entry> entries)
    : m_entries(std::move(entries)) {}

const ACHAR* AcDbDictionaryIterator::name() const {
    return done() ? nullptr : m_entries[m_index].key.c_str();
}

AcDbObjectId AcDbDictionaryIterator::objectId() const {
    return done() ? AcDbObjectId::kNull : m_entries[m_index].id;
}

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& object,
                                                    AcDb::OpenMode mode) const {
    object = nullptr;
    if (done()) {
        return Acad::eInvalidIndex;
    }
    return acdbOpenObject(object, m_entries[m_index].id, mode);
}

bool AcDbDictionaryIterator::next() {
    if (!done()) {
        ++m_index;
    }
    return !done();
}

bool AcDbDictionaryIterator::done() const {
    return m_index >= m_entries.size();
}
