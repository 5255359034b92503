// Smart pointers that open an object for their lifetime and close it when they go.
#pragma once

#include "AcDbObject.h"

template <class T>
class AcDbObjectPointer {
  public:
    AcDbObjectPointer() = default;
    AcDbObjectPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        open(id, mode, openErased);
    }
    AcDbObjectPointer(const AcDbObjectPointer&) = delete;
    AcDbObjectPointer& operator=(const AcDbObjectPointer&) = delete;
    ~AcDbObjectPointer() { close(); }

    // The status of the last open (eNullObjectPointer before any).
    Acad::ErrorStatus openStatus() const { return m_status; }
    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        close();
        m_status = acdbOpenObject(m_object, id, mode, openErased);
        return m_status;
    }
    // Closes a database object; deletes a new object that never went into a database.
    Acad::ErrorStatus close() {
        if (m_object == nullptr) {
            return Acad::eNullObjectPointer;
        }
        Acad::ErrorStatus es = Acad::eOk;
        if (m_object->objectId().isNull()) {
            delete m_object;
        } else {
            es = m_object->close();
        }
        m_object = nullptr;
        m_status = Acad::eNullObjectPointer;
        return es;
    }
    // Makes a new object outside any database, owned by the pointer until released.
    Acad::ErrorStatus create() {
        close();
        m_object = new T;
        m_status = Acad::eOk;
        return Acad::eOk;
    }
    // Gives the object up without closing it.
    Acad::ErrorStatus release(T*& object) {
        object = m_object;
        m_object = nullptr;
        m_status = Acad::eNullObjectPointer;
        return object != nullptr ? Acad::eOk : Acad::eNullObjectPointer;
    }
    // Takes an object (open, or outside any database).
    Acad::ErrorStatus acquire(T*& object) {
        close();
        m_object = object;
        object = nullptr;
        m_status = m_object != nullptr ? Acad::eOk : Acad::eNullObjectPointer;
        return m_status;
    }

    T* object() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

  private:
    T* m_object = nullptr;
    Acad::ErrorStatus m_status = Acad::eNullObjectPointer;
};

class AcDbEntity;
typedef AcDbObjectPointer<AcDbObject> AcDbObjectPointerBase;
