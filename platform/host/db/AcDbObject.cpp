#include "host/db/AcDbObject.h"

#include <algorithm>

#include "host/db/AcDbDictionary.h"
#include "host/db/HostFaults.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"
#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcDbObject, AcRxObject, L"")

namespace qv::host {

namespace {
WriteGuard& writeGuard() {
    static WriteGuard guard;
    return guard;
}
}  // namespace

void setWriteGuard(WriteGuard guard) {
    writeGuard() = std::move(guard);
}

// The status of writing to `database` at all (its document's lock).
Acad::ErrorStatus databaseWriteStatus(const AcDbDatabase* database) {
    if (database == nullptr) {
        return Acad::eOk;
    }
    const Acad::ErrorStatus es = writeGuard() ? writeGuard()(*database) : Acad::eOk;
    if (es == Acad::eOk) {
        database->qvNoteChanged();  // a write is about to happen
    }
    return es;
}

void ObjectAccess::setErased(AcDbObject& object, bool erased) {
    AcDbObject::qvNoteChange();
    if (object.m_erased == erased) {
        return;
    }
    object.m_erased = erased;
    if (auto* block = peekAs<AcDbBlockTableRecord>(object.m_owner)) {
        block->qvNoteMembershipChange();
    }
}

}  // namespace qv::host

// ---- ids ----

const AcDbObjectId AcDbObjectId::kNull;

bool AcDbObjectId::isValid() const {
    return m_stub != nullptr && m_stub->object != nullptr;
}

bool AcDbObjectId::isErased() const {
    return isValid() && m_stub->object->isErased();
}

AcDbHandle AcDbObjectId::handle() const {
    return m_stub != nullptr ? m_stub->handle : AcDbHandle();
}

AcDbDatabase* AcDbObjectId::database() const {
    return m_stub != nullptr ? m_stub->database : nullptr;
}

AcRxClass* AcDbObjectId::objectClass() const {
    return isValid() ? m_stub->object->isA() : nullptr;
}

bool AcDbObjectId::operator<(const AcDbObjectId& other) const {
    if (m_stub == nullptr || other.m_stub == nullptr) {
        return m_stub == nullptr && other.m_stub != nullptr;
    }
    if (m_stub->database != other.m_stub->database) {
        return std::less<const AcDbDatabase*>()(m_stub->database, other.m_stub->database);
    }
    return m_stub->handle < other.m_stub->handle;
}

// ---- objects ----

namespace {
long& liveObjects() {
    static long count = 0;
    return count;
}
}  // namespace

AcDbObject::AcDbObject() {
    ++liveObjects();
}

AcDbObject::AcDbObject(const AcDbObject& other) : AcRxObject(other), m_xdata(other.m_xdata) {
    ++liveObjects();
}

AcDbObject::~AcDbObject() {
    --liveObjects();
}

long AcDbObject::qvLiveObjects() {
    return liveObjects();
}

AcDbObjectId AcDbObject::objectId() const {
    return AcDbObjectId(m_stub);
}

AcDbDatabase* AcDbObject::database() const {
    return m_stub != nullptr ? m_stub->database : nullptr;
}

void AcDbObject::getAcDbHandle(AcDbHandle& handle) const {
    handle = m_stub != nullptr ? m_stub->handle : AcDbHandle();
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner) {
    assertWriteEnabled();
    m_owner = owner;
    return Acad::eOk;
}

bool AcDbObject::isReadEnabled() const {
    return m_stub == nullptr || m_readers > 0 || m_writer;
}

bool AcDbObject::isWriteEnabled() const {
    return m_stub == nullptr || m_writer;
}

void AcDbObject::assertWriteEnabled() const {
    if (!isWriteEnabled()) {
        throw Acad::eNotOpenForWrite;
    }
    // An object outside every database (a copy being measured, say) changes no drawing; it
    // counts once it is added.
    if (m_stub != nullptr) {
        qvNoteChange();
    }
}

Acad::ErrorStatus AcDbObject::close() {
    if (m_stub == nullptr) {
        return Acad::eNoDatabase;
    }
    if (m_writer) {
        qvNoteChange();
        qvClosingWrite();
        m_writer = false;
    } else if (m_readers > 0) {
        --m_readers;
    } else if (m_notifiers > 0) {
        --m_notifiers;
    } else {
        return Acad::eInvalidOpenState;
    }
    m_new = false;
    qvNoteOpenState();
    return Acad::eOk;
}

void AcDbObject::qvNoteOpenState() {
    AcDbDatabase* db = m_stub != nullptr ? m_stub->database : nullptr;
    if (db == nullptr) {
        return;
    }
    if (m_writer || m_readers > 0 || m_notifiers > 0) {
        db->m_open.insert(this);
    } else {
        db->m_open.erase(this);
    }
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
    if (m_stub == nullptr || m_writer) {
        return Acad::eOk;
    }
    if (m_readers == 0) {
        return Acad::eNotOpenForRead;
    }
    if (m_readers > 1) {
        return Acad::eHadMultipleReaders;
    }
    Acad::ErrorStatus es = qv::host::databaseWriteStatus(database());
    if (es == Acad::eOk) {
        es = qvWriteOpenStatus();
    }
    if (es != Acad::eOk) {
        return es;
    }
    m_readers = 0;
    m_writer = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
    if (m_stub == nullptr) {
        return Acad::eOk;
    }
    if (!m_writer) {
        return Acad::eNotOpenForWrite;
    }
    m_writer = false;
    m_readers = 1;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
    if (m_stub == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!m_writer) {
        return Acad::eNotOpenForWrite;
    }
    if (m_erased == erasing) {
        return erasing ? Acad::eWasErased : Acad::eOk;
    }
    const Acad::ErrorStatus es = qvErasing(erasing);
    if (es != Acad::eOk) {
        return es;
    }
    qv::host::ObjectAccess::setErased(*this, erasing);
    if (AcDbObject* dictionary = qv::host::ObjectAccess::peek(m_extensionDictionary)) {
        qv::host::ObjectAccess::setErased(*dictionary, erasing);
    }
    return Acad::eOk;
}

// ---- extended data ----

namespace {

bool sameApplication(const std::wstring& a, const std::wstring& b) {
    return qv::host::sameName(a, b);
}

std::vector<qv::host::XDataRecord>::iterator findApplication(
    std::vector<qv::host::XDataRecord>& records, const std::wstring& application) {
    return std::find_if(records.begin(), records.end(),
                        [&](const auto& r) { return sameApplication(r.application, application); });
}

// A record without items removes its application's record; any other replaces it, or is added.
void mergeRecord(std::vector<qv::host::XDataRecord>& records, qv::host::XDataRecord&& record) {
    const auto found = findApplication(records, record.application);
    if (record.items.empty()) {
        if (found != records.end()) {
            records.erase(found);
        }
    } else if (found != records.end()) {
        *found = std::move(record);
    } else {
        records.push_back(std::move(record));
    }
}

}  // namespace

resbuf* AcDbObject::xData(const ACHAR* application) const {
    if (application == nullptr) {
        return qv::host::buildXData(m_xdata);
    }
    for (const qv::host::XDataRecord& record : m_xdata) {
        if (sameApplication(record.application, application)) {
            return qv::host::buildXData(&record, 1);
        }
    }
    return nullptr;
}

Acad::ErrorStatus AcDbObject::setXData(const resbuf* list) {
    if (const Acad::ErrorStatus fault = qv::host::hostFaultFor(qv::host::HostCall::kSetXData);
        fault != Acad::eOk) {
        return fault;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    std::vector<qv::host::XDataRecord> given;
    Acad::ErrorStatus es = qv::host::parseXData(list, given);
    if (es != Acad::eOk) {
        return es;
    }
    if (AcDbDatabase* db = database()) {
        const auto* apps = qv::host::ObjectAccess::peekAs<AcDbRegAppTable>(db->regAppTableId());
        for (qv::host::XDataRecord& record : given) {
            const AcDbObjectId app =
                apps != nullptr ? apps->qvFind(record.application) : AcDbObjectId::kNull;
            if (app.isNull()) {
                return Acad::eRegappIdNotFound;
            }
            // The record carries the name as registered.
            record.application =
                qv::host::ObjectAccess::peekAs<AcDbSymbolTableRecord>(app)->qvName();
        }
    }
    if (given.size() == 1) {
        // One application's record (as nearly every write gives): replaced, added or removed
        // in place once the limit allows it, without a copy of the other records.
        qv::host::XDataRecord& record = given.front();
        const auto found = findApplication(m_xdata, record.application);
        const int size = qv::host::xdataSize(m_xdata) -
                         (found != m_xdata.end() ? qv::host::xdataSize(*found) : 0) +
                         (record.items.empty() ? 0 : qv::host::xdataSize(record));
        if (size > qv::host::kXDataLimit) {
            return Acad::eXdataSizeExceeded;
        }
        mergeRecord(m_xdata, std::move(record));
        return Acad::eOk;
    }
    std::vector<qv::host::XDataRecord> merged = m_xdata;
    for (qv::host::XDataRecord& record : given) {
        mergeRecord(merged, std::move(record));
    }
    if (qv::host::xdataSize(merged) > qv::host::kXDataLimit) {
        return Acad::eXdataSizeExceeded;
    }
    m_xdata = std::move(merged);
    return Acad::eOk;
}

// ---- extension dictionaries ----

Acad::ErrorStatus AcDbObject::createExtensionDictionary() {
    if (m_stub == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!m_writer) {
        return Acad::eNotOpenForWrite;
    }
    const AcDbObject* existing = qv::host::ObjectAccess::peek(m_extensionDictionary);
    if (existing != nullptr && !existing->isErased()) {
        return Acad::eAlreadyInDb;
    }
    auto* dictionary = new AcDbDictionary;
    AcDbObjectId id;
    const Acad::ErrorStatus es =
        qv::host::ObjectAccess::add(*database(), dictionary, objectId(), id);
    if (es != Acad::eOk) {
        delete dictionary;
        return es;
    }
    dictionary->close();
    m_extensionDictionary = id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::releaseExtensionDictionary() {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    auto* dictionary = qv::host::ObjectAccess::peekAs<AcDbDictionary>(m_extensionDictionary);
    if (dictionary == nullptr) {
        m_extensionDictionary = AcDbObjectId::kNull;
        return Acad::eOk;
    }
    if (dictionary->numEntries() > 0) {
        return Acad::eInvalidInput;
    }
    qv::host::ObjectAccess::setErased(*dictionary, true);
    m_extensionDictionary = AcDbObjectId::kNull;
    return Acad::eOk;
}

// ---- opening ----

Acad::ErrorStatus qv::host::ObjectAccess::open(AcDbObject& o, AcDb::OpenMode mode) {
    switch (mode) {
        case AcDb::kForRead:
            if (o.m_writer) {
                return Acad::eWasOpenForWrite;
            }
            if (o.m_readers >= 256) {
                return Acad::eAtMaxReaders;
            }
            ++o.m_readers;
            o.qvNoteOpenState();
            return Acad::eOk;
        case AcDb::kForWrite: {
            if (o.m_writer) {
                return Acad::eWasOpenForWrite;
            }
            if (o.m_readers > 0) {
                return Acad::eWasOpenForRead;
            }
            Acad::ErrorStatus es = databaseWriteStatus(o.database());
            if (es == Acad::eOk) {
                es = o.qvWriteOpenStatus();
            }
            if (es != Acad::eOk) {
                return es;
            }
            o.m_writer = true;
            AcDbObject::qvNoteChange();
            o.qvNoteOpenState();
            return Acad::eOk;
        }
        case AcDb::kForNotify:
            ++o.m_notifiers;
            o.qvNoteOpenState();
            return Acad::eOk;
        case AcDb::kNotOpen:
            break;
    }
    return Acad::eInvalidOpenState;
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    object = nullptr;
    if (const Acad::ErrorStatus fault = qv::host::hostFaultFor(qv::host::HostCall::kOpen);
        fault != Acad::eOk) {
        return fault;
    }
    AcDbObject* o = qv::host::ObjectAccess::peek(id);
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    if (o == nullptr) {
        return Acad::ePermanentlyErased;
    }
    if (o->isErased() && !openErased) {
        return Acad::eWasErased;
    }
    Acad::ErrorStatus es = qv::host::ObjectAccess::open(*o, mode);
    if (es == Acad::eOk) {
        object = o;
    }
    return es;
}

Acad::ErrorStatus acdbOpenObject(AcDbObject*& object, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased) {
    return acdbOpenAcDbObject(object, id, mode, openErased);
}
