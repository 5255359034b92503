// Database objects and the host's open/close protocol.
//
// An object made with new is outside any database: its creator owns it, may change it freely and
// deletes it, unless it hands it to a database (appending it to a block, adding it to a table or
// a dictionary), which then owns it. A database object is used only while open:
//   - acdbOpenObject and friends open it for read (many readers at once) or for write (one
//     writer, no readers); close() ends each open. An object just added is open for write.
//   - Changing a database object that is not open for write throws Acad::eNotOpenForWrite (a
//     host status thrown as a value), where the real host would stop.
//   - erase() (open for write) marks the object erased; it stays in the database, is skipped by
//     iterators, does not open without asking for erased objects, and is not saved.
// Every object has a handle, unique in its database and never reused, and an owner.
#pragma once

#include <vector>

#include "../ErrorStatus.h"
#include "AcDbDefs.h"
#include "AcDbObjectId.h"
#include "XData.h"
#include "../rx/AcRxObject.h"

struct resbuf;

namespace qv::host {
struct ObjectAccess;
}

class AcDbObject : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcDbObject)
  public:
    AcDbObject();
    // Copies the object's data (extended data included), not its place in a database.
    AcDbObject(const AcDbObject& other);
    AcDbObject& operator=(const AcDbObject&) = delete;
    ~AcDbObject() override;
    QV_RX_CLONE(AcDbObject)

    AcDbObjectId objectId() const;
    AcDbObjectId ownerId() const { return m_owner; }
    // Sets the owner's id; the object must be writable.
    virtual Acad::ErrorStatus setOwnerId(AcDbObjectId owner);
    void getAcDbHandle(AcDbHandle& handle) const;
    // The database holding the object, or null for an object outside any database.
    AcDbDatabase* database() const;

    // Ends one open. eNoDatabase for an object outside any database (its creator deletes it),
    // eInvalidOpenState for an object that is not open.
    Acad::ErrorStatus close();
    // Turns the one read-open of the caller into a write-open: eHadMultipleReaders when others
    // read it too, the write-open's refusals otherwise.
    Acad::ErrorStatus upgradeOpen();
    Acad::ErrorStatus downgradeOpen();

    // Marks the object erased (or, with false, not erased). Needs the object open for write.
    Acad::ErrorStatus erase(bool erasing = true);
    bool isErased() const { return m_erased; }
    // An object outside any database is always readable and writable.
    bool isReadEnabled() const;
    bool isWriteEnabled() const;
    bool isNotifyEnabled() const { return m_notifiers > 0; }
    // True until the first close after the object was added.
    bool isNewObject() const { return m_new; }

    // Extended data as a new list (free it with acutRelRb): the record of `application`
    // (case-insensitive) or, without a name, every record; null when there is none.
    resbuf* xData(const ACHAR* application = nullptr) const;
    // Sets the records of the applications that `list` names, replacing only those: a record
    // with nothing after its 1001 item removes that application's record. For an object in a
    // database each application must be registered (else eRegappIdNotFound) and the whole data
    // must stay within 16383 bytes (else eXdataSizeExceeded). Nothing changes on a refusal.
    virtual Acad::ErrorStatus setXData(const resbuf* list);
    const std::vector<qv::host::XDataRecord>& qvXData() const { return m_xdata; }

    // The extension dictionary, or the null id.
    AcDbObjectId extensionDictionary() const { return m_extensionDictionary; }
    // Makes one (object in a database, open for write); eAlreadyInDb when there is one.
    Acad::ErrorStatus createExtensionDictionary();
    // Erases an empty extension dictionary (object open for write); eInvalidInput when it still
    // holds entries.
    Acad::ErrorStatus releaseExtensionDictionary();

    // How many objects exist now, in databases or not (a test's check for leaked objects).
    static long qvLiveObjects();
    // A number that grows whenever an object of any database may have changed (a write-open,
    // a setter, an add, an erase): what the host caches about objects is good while it stays.
    static unsigned long long qvChangeCount() { return s_changes; }
    static void qvNoteChange() { ++s_changes; }

    void assertReadEnabled() const {}
    // Throws Acad::eNotOpenForWrite unless the object may be changed.
    void assertWriteEnabled() const;

  protected:
    // Checks the write-open of this object beyond the open state (an entity on a locked layer).
    virtual Acad::ErrorStatus qvWriteOpenStatus() const { return Acad::eOk; }
    // Called after the object was added to a database, with its id, handle and owner set.
    virtual void qvAdded() {}
    // Called by close() when it ends a write-open, before the object is closed.
    virtual void qvClosingWrite() {}
    // Called by erase() before anything changes; a status other than eOk refuses the erase.
    virtual Acad::ErrorStatus qvErasing(bool erasing) {
        (void)erasing;
        return Acad::eOk;
    }

  private:
    friend class AcDbDatabase;
    friend struct qv::host::ObjectAccess;

    // Tells the database whether the object is open now (after every open and close).
    void qvNoteOpenState();

    static inline unsigned long long s_changes = 0;

    AcDbStub* m_stub = nullptr;
    AcDbObjectId m_owner;
    AcDbObjectId m_extensionDictionary;
    std::vector<qv::host::XDataRecord> m_xdata;
    int m_readers = 0;
    int m_notifiers = 0;
    bool m_writer = false;
    bool m_erased = false;
    bool m_new = true;
};

// Opens the object of `id`. eNullObjectId, eWasErased (unless openErased), eWasOpenForWrite (a
// read or write open of an object open for write), eWasOpenForRead (a write open of an object
// open for read), eAtMaxReaders (256 readers), eOnLockedLayer (a write open of an entity on a
// locked layer), eLockViolation (a write open in a document that is not locked for write).
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false);

// Opens as class T: also eNotThatKindOfClass (and nothing opened) when the object is not a T.
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false) {
    object = nullptr;
    if (!id.isNull() && id.objectClass() != nullptr &&
        !id.objectClass()->isDerivedFrom(T::desc())) {
        return Acad::eNotThatKindOfClass;
    }
    AcDbObject* opened = nullptr;
    const Acad::ErrorStatus es = acdbOpenAcDbObject(opened, id, mode, openErased);
    if (es == Acad::eOk) {
        object = static_cast<T*>(opened);
    }
    return es;
}
