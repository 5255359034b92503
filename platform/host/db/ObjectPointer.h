// Smart pointers that hold an object open for their lifetime and close it when they go.
//
// AcDbObjectPointerBase<T> holds one object: open (closed by the pointer) or made outside any
// database (deleted by the pointer, unless a database took it meanwhile, when it is closed like
// any other open object). Its relatives differ only in how they open:
//   AcDbObjectPointer<T>              an object by its id;
//   AcDbSymbolTablePointer<T>         a database's symbol table (AcDbLayerTable, ...);
//   AcDbSymbolTableRecordPointer<T>   a record by its id, or by its name in an open table.
// A pointer that fails to open holds nothing and keeps the status of the refusal. Pointers are
// not copied; whoever needs the object for longer takes it with release().
#pragma once

#include "AcDbObject.h"

template <class T>
class AcDbObjectPointerBase {
  public:
    AcDbObjectPointerBase() = default;
    AcDbObjectPointerBase(const AcDbObjectPointerBase&) = delete;
    AcDbObjectPointerBase& operator=(const AcDbObjectPointerBase&) = delete;
    ~AcDbObjectPointerBase() { close(); }

    // The status of the last open (eNullObjectPointer before any, and after close or release).
    Acad::ErrorStatus openStatus() const { return m_status; }
    // Closes a database object; deletes a new object that never went into a database.
    // eNullObjectPointer when the pointer holds nothing.
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
    // Makes a new object outside any database, owned by the pointer until a database takes it
    // (then the pointer closes it) or it is released.
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
    // Takes an object (open, or outside any database); `object` is set to null.
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

  protected:
    // Runs an open that fills a T*, after closing what the pointer held.
    template <class Open>
    Acad::ErrorStatus openWith(Open open) {
        close();
        T* opened = nullptr;
        m_status = open(opened);
        if (m_status == Acad::eOk) {
            m_object = opened;
        } else if (opened != nullptr) {
            // A refusal never leaves an object open; this only guards against one that did.
            opened->close();
        }
        return m_status;
    }

  private:
    T* m_object = nullptr;
    Acad::ErrorStatus m_status = Acad::eNullObjectPointer;
};

template <class T>
class AcDbObjectPointer : public AcDbObjectPointerBase<T> {
  public:
    AcDbObjectPointer() = default;
    AcDbObjectPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        open(id, mode, openErased);
    }
    // The statuses of acdbOpenObject (eNotThatKindOfClass for an object that is no T).
    Acad::ErrorStatus open(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        return this->openWith(
            [&](T*& opened) { return acdbOpenObject(opened, id, mode, openErased); });
    }
};

class AcDbEntity;
