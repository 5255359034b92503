#include "host/db/AcDbDatabase.h"

#include <algorithm>

#include "host/DrawingFiles.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbEntity.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/db/HostFaults.h"
#include "host/db/IdMapping.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"

QV_RX_DEFINE_MEMBERS(AcDbDatabase, AcRxObject, L"")

namespace qv::host {

namespace {

struct InjectedFailure {
    int count = 0;
    Acad::ErrorStatus status = Acad::eOk;
};

InjectedFailure& injected() {
    static InjectedFailure failure;
    return failure;
}

DrawingFileFormat& format() {
    static DrawingFileFormat installed;
    return installed;
}

}  // namespace

void failNextAdditions(int count, Acad::ErrorStatus status) {
    injected() = {count, status};
}

void setDrawingFileFormat(DrawingFileFormat f) {
    format() = std::move(f);
}
const DrawingFileFormat& drawingFileFormat() {
    return format();
}

namespace {
std::wstring& lastDrawingFileError() {
    static std::wstring reason;
    return reason;
}
}  // namespace

void setDrawingFileError(std::wstring reason) {
    lastDrawingFileError() = std::move(reason);
}

const std::wstring& drawingFileError() {
    return lastDrawingFileError();
}

Acad::ErrorStatus ObjectAccess::add(AcDbDatabase& database, AcDbObject* object, AcDbObjectId owner,
                                    AcDbObjectId& id) {
    AcDbObject::qvNoteChange();
    id = AcDbObjectId::kNull;
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (object->m_stub != nullptr) {
        return Acad::eAlreadyInDb;
    }
    if (const Acad::ErrorStatus fault = hostFaultFor(HostCall::kAppend); fault != Acad::eOk) {
        return fault;
    }
    if (injected().count > 0) {
        --injected().count;
        return injected().status;
    }
    id = database.addObject(std::unique_ptr<AcDbObject>(object), owner);
    return Acad::eOk;
}

}  // namespace qv::host

using qv::host::ObjectAccess;

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool /*noDocument*/) {
    if (buildDefaultDrawing) {
        qvAddMissingDefaults();
    }
    qvMarkSaved();
}

AcDbDatabase::~AcDbDatabase() {
    AcDbObject::qvNoteChange();
    // Objects may refer to each other while they go: drop them all at once.
    for (auto& entry : m_stubs) {
        entry.second->object.reset();
    }
}

AcDbObjectId AcDbDatabase::addObject(std::unique_ptr<AcDbObject> object, AcDbObjectId owner) {
    AcDbObject::qvNoteChange();
    qvNoteChanged();
    auto stub = std::make_unique<AcDbStub>();
    stub->database = this;
    stub->handle = m_handseed;
    ++m_handseed;
    AcDbObject* o = object.get();
    stub->object = std::move(object);
    o->m_stub = stub.get();
    o->m_owner = owner;
    o->m_writer = true;
    o->m_new = true;
    AcDbObjectId id(stub.get());
    m_stubs[stub->handle.value()] = std::move(stub);
    o->qvNoteOpenState();
    o->qvAdded();
    return id;
}

AcDbObjectId AcDbDatabase::addClosed(AcDbObject* object, AcDbObjectId owner) {
    AcDbObjectId id = addObject(std::unique_ptr<AcDbObject>(object), owner);
    object->close();
    return id;
}

Acad::ErrorStatus AcDbDatabase::qvAdopt(AcDbObjectId& id, std::unique_ptr<AcDbObject>& object,
                                        AcDbHandle handle, AcDbObjectId owner) {
    AcDbObject::qvNoteChange();
    id = AcDbObjectId::kNull;
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (object->m_stub != nullptr) {
        return Acad::eAlreadyInDb;
    }
    if (handle.isNull()) {
        return Acad::eDuplicateKey;
    }
    if (handle.value() == ~Adesk::UInt64{0}) {
        return Acad::eInvalidInput;  // the seed after it would wrap to the null handle
    }
    // Files mostly hold handles in rising order: then the new handle goes last, without a search.
    const Adesk::UInt64 key = handle.value();
    auto hint = m_stubs.empty() || m_stubs.rbegin()->first < key ? m_stubs.end()
                                                                 : m_stubs.lower_bound(key);
    if (hint != m_stubs.end() && hint->first == key) {
        return Acad::eDuplicateKey;
    }
    const auto slot = m_stubs.emplace_hint(hint, key, std::make_unique<AcDbStub>());
    AcDbStub* stub = slot->second.get();
    stub->database = this;
    stub->handle = handle;
    AcDbObject* o = object.get();
    stub->object = std::move(object);
    o->m_stub = stub;
    o->m_owner = owner;
    o->m_new = false;
    id = AcDbObjectId(stub);
    if (!(handle < m_handseed)) {
        m_handseed = handle.value() + 1;
    }
    return Acad::eOk;
}

void AcDbDatabase::qvSetRoots(const Roots& roots) {
    m_blockTable = roots.blockTable;
    m_layerTable = roots.layerTable;
    m_linetypeTable = roots.linetypeTable;
    m_textStyleTable = roots.textStyleTable;
    m_regAppTable = roots.regAppTable;
    m_namedObjects = roots.namedObjects;
    if (const auto* layers = ObjectAccess::peekAs<AcDbLayerTable>(m_layerTable)) {
        if (m_clayer.isNull()) {
            m_clayer = layers->qvFind(L"0");
        }
    }
    if (const auto* styles = ObjectAccess::peekAs<AcDbTextStyleTable>(m_textStyleTable)) {
        if (m_textstyle.isNull()) {
            m_textstyle = styles->qvFind(L"Standard");
        }
    }
}

void AcDbDatabase::qvSetHandseed(AcDbHandle seed) {
    if (m_stubs.empty() || m_stubs.rbegin()->first < seed.value()) {
        m_handseed = seed;
    }
}

void AcDbDatabase::qvForEachObject(const std::function<void(AcDbObject&)>& visit) const {
    for (const auto& entry : m_stubs) {
        if (entry.second->object != nullptr) {
            ++s_visited;
            visit(*entry.second->object);
        }
    }
}

std::vector<const AcDbObject*> AcDbDatabase::qvOpenObjects() const {
    std::vector<const AcDbObject*> open(m_open.begin(), m_open.end());
    s_visited += open.size();
    std::sort(open.begin(), open.end(), [](const AcDbObject* a, const AcDbObject* b) {
        return a->m_stub->handle < b->m_stub->handle;
    });
    return open;
}

namespace {

// Adds the record of that name to the table unless the table has one; gives its id.
template <class Record>
AcDbObjectId ensureRecord(AcDbDatabase& db, AcDbObjectId tableId, const ACHAR* name,
                          void (*prepare)(Record&) = nullptr) {
    auto* table = ObjectAccess::peekAs<AcDbSymbolTable>(tableId);
    const AcDbObjectId existing = table->qvFind(name);
    if (!existing.isNull()) {
        return existing;
    }
    auto* record = new Record;
    record->setName(name);
    if (prepare != nullptr) {
        prepare(*record);
    }
    AcDbObjectId id;
    if (ObjectAccess::add(db, record, tableId, id) != Acad::eOk) {
        // Refused (only ever by a test's injected failure): the table stays as it was.
        delete record;
        return AcDbObjectId::kNull;
    }
    record->close();
    table->qvAppendRecord(id);
    return id;
}

}  // namespace

void AcDbDatabase::qvAddMissingDefaults() {
    auto root = [&](AcDbObjectId& id, AcDbObject* (*make)()) {
        if (ObjectAccess::peek(id) == nullptr) {
            id = addClosed(make(), AcDbObjectId::kNull);
        }
    };
    root(m_blockTable, [] { return static_cast<AcDbObject*>(new AcDbBlockTable); });
    root(m_layerTable, [] { return static_cast<AcDbObject*>(new AcDbLayerTable); });
    root(m_linetypeTable, [] { return static_cast<AcDbObject*>(new AcDbLinetypeTable); });
    root(m_textStyleTable, [] { return static_cast<AcDbObject*>(new AcDbTextStyleTable); });
    root(m_regAppTable, [] { return static_cast<AcDbObject*>(new AcDbRegAppTable); });
    root(m_namedObjects, [] { return static_cast<AcDbObject*>(new AcDbDictionary); });

    ensureRecord<AcDbLinetypeTableRecord>(*this, m_linetypeTable, L"ByBlock");
    ensureRecord<AcDbLinetypeTableRecord>(*this, m_linetypeTable, L"ByLayer");
    ensureRecord<AcDbLinetypeTableRecord>(
        *this, m_linetypeTable, L"Continuous",
        [](AcDbLinetypeTableRecord& r) { r.setComments(L"Solid line"); });
    const AcDbObjectId layer0 = ensureRecord<AcDbLayerTableRecord>(*this, m_layerTable, L"0");
    if (ObjectAccess::peek(m_clayer) == nullptr) {
        m_clayer = layer0;
    }
    const AcDbObjectId standard =
        ensureRecord<AcDbTextStyleTableRecord>(*this, m_textStyleTable, L"Standard");
    if (ObjectAccess::peek(m_textstyle) == nullptr) {
        m_textstyle = standard;
    }
    ensureRecord<AcDbRegAppTableRecord>(*this, m_regAppTable, L"ACAD");
    ensureRecord<AcDbBlockTableRecord>(*this, m_blockTable, L"*Model_Space");
    ensureRecord<AcDbBlockTableRecord>(*this, m_blockTable, L"*Paper_Space");

    auto* nod = ObjectAccess::peekAs<AcDbDictionary>(m_namedObjects);
    if (!nod->has(L"ACAD_GROUP")) {
        nod->qvAppendEntry(L"ACAD_GROUP", addClosed(new AcDbDictionary, m_namedObjects));
    }
    qv::host::addMissingLayouts(*this);
}

// ---- tables ----

namespace {

template <class T>
Acad::ErrorStatus openRoot(AcDbObjectId id, T*& object, AcDb::OpenMode mode) {
    object = nullptr;
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    return acdbOpenObject(object, id, mode);
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return openRoot(m_blockTable, table, mode);
}
Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
    return openRoot(m_layerTable, table, mode);
}
Acad::ErrorStatus AcDbDatabase::getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode) {
    return openRoot(m_linetypeTable, table, mode);
}
Acad::ErrorStatus AcDbDatabase::getTextStyleTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode) {
    return openRoot(m_textStyleTable, table, mode);
}
Acad::ErrorStatus AcDbDatabase::getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode) {
    return openRoot(m_regAppTable, table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return getBlockTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
    return getLayerTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode) {
    return getLinetypeTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode) {
    return getTextStyleTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode) {
    return getRegAppTable(table, mode);
}
Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& dictionary,
                                                          AcDb::OpenMode mode) {
    return openRoot(m_namedObjects, dictionary, mode);
}

AcDbObjectId AcDbDatabase::blockNamed(const ACHAR* name) const {
    const auto* blocks = ObjectAccess::peekAs<AcDbBlockTable>(m_blockTable);
    return blocks != nullptr ? blocks->qvFind(name) : AcDbObjectId::kNull;
}

AcDbObjectId AcDbDatabase::modelSpaceId() const {
    return blockNamed(L"*Model_Space");
}
AcDbObjectId AcDbDatabase::paperSpaceId() const {
    return blockNamed(L"*Paper_Space");
}
AcDbObjectId AcDbDatabase::currentSpaceId() const {
    return m_tilemode ? modelSpaceId() : paperSpaceId();
}

namespace {
AcDbObjectId linetypeNamed(AcDbObjectId tableId, const ACHAR* name) {
    const auto* table = ObjectAccess::peekAs<AcDbLinetypeTable>(tableId);
    return table != nullptr ? table->qvFind(name) : AcDbObjectId::kNull;
}
}  // namespace

AcDbObjectId AcDbDatabase::byLayerLinetype() const {
    return linetypeNamed(m_linetypeTable, L"ByLayer");
}
AcDbObjectId AcDbDatabase::byBlockLinetype() const {
    return linetypeNamed(m_linetypeTable, L"ByBlock");
}
AcDbObjectId AcDbDatabase::continuousLinetype() const {
    return linetypeNamed(m_linetypeTable, L"Continuous");
}

// ---- objects ----

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* object) {
    return ObjectAccess::add(*this, object, AcDbObjectId::kNull, id);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* object) {
    AcDbObjectId id;
    return addAcDbObject(id, object);
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool /*createIfNotFound*/,
                                                const AcDbHandle& handle,
                                                Adesk::UInt32 /*xRefId*/) {
    const auto found = m_stubs.find(handle.value());
    if (handle.isNull() || found == m_stubs.end()) {
        id = AcDbObjectId::kNull;
        return Acad::eUnknownHandle;
    }
    id = AcDbObjectId(found->second.get());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::deepCloneObjects(const AcDbObjectIdArray& objects,
                                                 AcDbObjectId owner, AcDbIdMapping& mapping,
                                                 bool /*deferXlation*/) {
    auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(owner);
    if (block == nullptr || owner.database() != this) {
        return Acad::eInvalidInput;
    }
    for (const AcDbObjectId& id : objects) {
        const AcDbObject* source = ObjectAccess::peek(id);
        if (source == nullptr || id.database() != this) {
            return Acad::eWrongDatabase;
        }
        auto* copy = AcDbEntity::cast(source->clone());
        if (copy == nullptr) {
            return Acad::eNotAnEntity;
        }
        AcDbObjectId copyId;
        const Acad::ErrorStatus es = ObjectAccess::add(*this, copy, owner, copyId);
        if (es != Acad::eOk) {
            delete copy;
            return es;
        }
        copy->close();
        block->qvAppendEntityId(copyId);
        mapping.assign(AcDbIdPair(id, copyId, true, true));
    }
    return Acad::eOk;
}

// ---- header variables ----

Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId layer) {
    const auto* record = ObjectAccess::peekAs<AcDbLayerTableRecord>(layer);
    if (record == nullptr || layer.database() != this || record->isErased() || record->isFrozen()) {
        return Acad::eInvalidInput;
    }
    m_clayer = layer;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setLunits(Adesk::Int16 value) {
    if (value < 1 || value > 5) {
        return Acad::eInvalidInput;
    }
    m_lunits = value;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setLuprec(Adesk::Int16 value) {
    if (value < 0 || value > 8) {
        return Acad::eInvalidInput;
    }
    m_luprec = value;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setInsunits(AcDb::UnitsValue value) {
    if (value < 0 || value > 24) {
        return Acad::eInvalidInput;
    }
    m_insunits = value;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setSortEnts(Adesk::UInt8 flags) {
    if (flags > 127) {
        return Acad::eInvalidInput;
    }
    m_sortents = flags;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setTextsize(double value) {
    if (!(value > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_textsize = value;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setTextstyle(AcDbObjectId style) {
    if (ObjectAccess::peekAs<AcDbTextStyleTableRecord>(style) == nullptr) {
        return Acad::eInvalidInput;
    }
    m_textstyle = style;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setTilemode(bool value) {
    m_tilemode = value;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setHpmaxlines(Adesk::Int32 value) {
    if (value < 100 || value > 10000000) {
        return Acad::eInvalidInput;
    }
    m_hpmaxlines = value;
    qvNoteChanged();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                       const AcGeVector3d& yAxis) {
    if (xAxis.isZeroLength() || yAxis.isZeroLength() || !xAxis.isPerpendicularTo(yAxis)) {
        return Acad::eInvalidInput;
    }
    m_ucsOrigin = origin;
    qvNoteChanged();
    m_ucsX = xAxis.normal();
    m_ucsY = yAxis.normal();
    return Acad::eOk;
}

// ---- files ----

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName, const SecurityParams*) {
    if (fileName == nullptr || fileName[0] == 0) {
        return Acad::eInvalidInput;
    }
    const auto& f = qv::host::drawingFileFormat();
    if (!f.write) {
        return Acad::eNotImplementedYet;
    }
    qv::host::setDrawingFileError(std::wstring());
    const Acad::ErrorStatus es = f.write(*this, fileName);
    if (es == Acad::eOk) {
        m_fileName = fileName;
        qvMarkSaved();
    }
    return es;
}

Acad::ErrorStatus AcDbDatabase::readDwgFile(const ACHAR* fileName) {
    if (fileName == nullptr || fileName[0] == 0 || !m_stubs.empty()) {
        return Acad::eInvalidInput;
    }
    const auto& f = qv::host::drawingFileFormat();
    if (!f.read) {
        return Acad::eNotImplementedYet;
    }
    const Acad::ErrorStatus es = f.read(*this, fileName);
    if (es == Acad::eOk) {
        m_fileName = fileName;
        qvMarkSaved();
    }
    return es;
}

Acad::ErrorStatus AcDbDatabase::getFilename(const ACHAR*& fileName) const {
    fileName = m_fileName.c_str();
    return Acad::eOk;
}

// ---- id mappings ----

Acad::ErrorStatus AcDbIdMapping::assign(const AcDbIdPair& pair) {
    for (AcDbIdPair& p : m_pairs) {
        if (p.key() == pair.key()) {
            p = pair;
            return Acad::eOk;
        }
    }
    m_pairs.push_back(pair);
    return Acad::eOk;
}

bool AcDbIdMapping::compute(AcDbIdPair& pair) const {
    for (const AcDbIdPair& p : m_pairs) {
        if (p.key() == pair.key()) {
            pair = p;
            return true;
        }
    }
    return false;
}
