// Dictionaries: objects that own other objects under text keys (the named-object dictionary,
// extension dictionaries). Keys compare without regard to case and keep the case they were given;
// entries keep the order in which they were set.
#pragma once

#include <string>
#include <vector>

#include "AcDbObject.h"

class AcDbDictionaryIterator;

class AcDbDictionary : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbDictionary)
  public:
    enum DeepCloneType { kDictSorted = 0, kDictCollated = 1 };

    AcDbDictionary() = default;
    // A copy without entries: the entries belong to the original.
    AcDbDictionary(const AcDbDictionary& other) : AcDbObject(other) {}
    QV_RX_CLONE(AcDbDictionary)

    Acad::ErrorStatus getAt(const ACHAR* key, AcDbObjectId& id) const;
    Acad::ErrorStatus getAt(const ACHAR* key, AcDbObject*& object, AcDb::OpenMode mode) const;
    template <class T>
    Acad::ErrorStatus getAt(const ACHAR* key, T*& object, AcDb::OpenMode mode) const {
        object = nullptr;
        AcDbObjectId id;
        const Acad::ErrorStatus es = getAt(key, id);
        return es != Acad::eOk ? es : acdbOpenObject(object, id, mode);
    }
    // The key of an entry.
    Acad::ErrorStatus nameAt(AcDbObjectId id, ACHAR*& key) const;
    bool has(const ACHAR* key) const;
    bool has(AcDbObjectId id) const;
    Adesk::UInt32 numEntries() const;

    // Puts an object outside any database under `key` (this dictionary in a database, open for
    // write); the object is added to the database, owned by this dictionary and left open for
    // write. An entry of the same key is replaced and its object erased. eInvalidInput for an
    // empty key, eAlreadyInDb for an object of a database.
    Acad::ErrorStatus setAt(const ACHAR* key, AcDbObject* object, AcDbObjectId& id);
    // Takes the entry out; its object stays, without owner (it is not erased).
    Acad::ErrorStatus remove(const ACHAR* key);
    Acad::ErrorStatus remove(const ACHAR* key, AcDbObjectId& id);
    Acad::ErrorStatus remove(AcDbObjectId id);
    Acad::ErrorStatus setName(const ACHAR* oldKey, const ACHAR* newKey);

    // The caller deletes the iterator. Erased entries are skipped.
    AcDbDictionaryIterator* newIterator(DeepCloneType type = kDictSorted) const;

    struct Entry {
        std::wstring key;
        AcDbObjectId id;
    };
    const std::vector<Entry>& qvEntries() const { return m_entries; }
    // Takes an entry read from a file.
    void qvAppendEntry(const std::wstring& key, AcDbObjectId id) { m_entries.push_back({key, id}); }
    // Gives the entry of an object another key, or takes the entry out (the object keeps its
    // owner); found by the object, as a damaged file may hold keys that differ only in case.
    void qvSetKey(AcDbObjectId id, const std::wstring& key);
    void qvRemoveEntry(AcDbObjectId id);

  protected:
    Acad::ErrorStatus qvErasing(bool erasing) override;

  private:
    int indexOf(const ACHAR* key) const;
    std::vector<Entry> m_entries;
};

class AcDbDictionaryIterator {
  public:
    const ACHAR* name() const;
    AcDbObjectId objectId() const;
    Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode) const;
    bool next();
    bool done() const;

  private:
    friend class AcDbDictionary;
    explicit AcDbDictionaryIterator(std::vector<AcDbDictionary::Entry> entries);
    std::vector<AcDbDictionary::Entry> m_entries;
    size_t m_index = 0;
};
