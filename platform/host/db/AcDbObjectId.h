// Object ids: the session names of database objects. An id stays valid, and keeps naming the
// same object (erased or not), as long as its database lives. The null id names nothing.
#pragma once

#include "../AcArray.h"
#include "AcDbHandle.h"

class AcDbDatabase;
class AcDbObject;
class AcRxClass;
struct AcDbStub;

class AcDbObjectId {
  public:
    AcDbObjectId() = default;
    AcDbObjectId(AcDbStub* stub) : m_stub(stub) {}  // NOLINT: as the host converts

    static const AcDbObjectId kNull;

    bool isNull() const { return m_stub == nullptr; }
    // Not null and naming an object that exists (erased or not).
    bool isValid() const;
    bool isErased() const;
    bool isEffectivelyErased() const { return isErased(); }
    AcDbHandle handle() const;
    AcDbDatabase* database() const;
    AcDbDatabase* originalDatabase() const { return database(); }
    // The class of the object named, or null.
    AcRxClass* objectClass() const;

    Adesk::IntPtr asOldId() const { return reinterpret_cast<Adesk::IntPtr>(m_stub); }
    AcDbObjectId& setFromOldId(Adesk::IntPtr oldId) {
        m_stub = reinterpret_cast<AcDbStub*>(oldId);
        return *this;
    }
    operator AcDbStub*() const { return m_stub; }  // NOLINT

    bool operator==(const AcDbObjectId& other) const { return m_stub == other.m_stub; }
    bool operator!=(const AcDbObjectId& other) const { return m_stub != other.m_stub; }
    // Ordered by handle within a database.
    bool operator<(const AcDbObjectId& other) const;
    bool operator>(const AcDbObjectId& other) const { return other < *this; }

  private:
    AcDbStub* m_stub = nullptr;
};

typedef AcArray<AcDbObjectId> AcDbObjectIdArray;
