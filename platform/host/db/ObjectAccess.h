// The host's own access to database objects, past the open/close protocol. Only the host's code
// (tables, entities, drawing files, checks) uses it; the module never does.
#pragma once

#include "AcDbDatabase.h"

namespace qv::host {

struct ObjectAccess {
    // The object of an id without opening it, or null.
    static AcDbObject* peek(AcDbObjectId id) {
        const AcDbStub* stub = id;
        return stub != nullptr ? stub->object.get() : nullptr;
    }
    template <class T>
    static T* peekAs(AcDbObjectId id) {
        return T::cast(peek(id));
    }
    static void setOwner(AcDbObject& object, AcDbObjectId owner) {
        AcDbObject::qvNoteChange();
        object.m_owner = owner;
    }
    // Marks the object erased or not; the block that owns an entity notes the change.
    static void setErased(AcDbObject& object, bool erased);
    static void setExtensionDictionary(AcDbObject& object, AcDbObjectId id) {
        object.m_extensionDictionary = id;
    }
    // Adds an object outside any database under `owner`, left open for write, or the status of
    // the refusal (eAlreadyInDb, or a failure injected by a test).
    static Acad::ErrorStatus add(AcDbDatabase& database, AcDbObject* object, AcDbObjectId owner,
                                 AcDbObjectId& id);
    // One open of the object in that mode, with every refusal of acdbOpenObject but the ones
    // about erased objects.
    static Acad::ErrorStatus open(AcDbObject& object, AcDb::OpenMode mode);
    // Runs `change` on an object the host changes on behalf of another open object (the
    // attributes of a block reference that is transformed), as if it were open for write.
    template <class F>
    static void changeOwned(AcDbObject& object, F change) {
        const bool wasWriter = object.m_writer;
        AcDbObject::qvNoteChange();
        object.m_writer = true;
        try {
            change();
        } catch (...) {
            object.m_writer = wasWriter;
            throw;
        }
        object.m_writer = wasWriter;
    }
    // Sets the data of a record read from a file without the checks of setXData.
    static void setXData(AcDbObject& object, std::vector<XDataRecord> records) {
        AcDbObject::qvNoteChange();
        object.m_xdata = std::move(records);
    }
};

// The status of writing to `database` at all (the lock of its document).
Acad::ErrorStatus databaseWriteStatus(const AcDbDatabase* database);

}  // namespace qv::host
