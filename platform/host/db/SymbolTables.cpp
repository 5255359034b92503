#include "host/db/SymbolTables.h"

#include <algorithm>
#include <cwctype>
#include <memory>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbTable.h"
#include "host/db/HostServices.h"
#include "host/db/ObjectAccess.h"
#include "host/db/ResBuf.h"

using qv::host::ObjectAccess;

QV_RX_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject, L"")
QV_RX_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject, L"")
QV_RX_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, L"BLOCK_RECORD")
QV_RX_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable, L"TABLE")
QV_RX_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, L"LAYER")
QV_RX_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable, L"TABLE")
QV_RX_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, L"LTYPE")
QV_RX_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable, L"TABLE")
QV_RX_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, L"STYLE")
QV_RX_DEFINE_MEMBERS(AcDbTextStyleTable, AcDbSymbolTable, L"TABLE")
QV_RX_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord, L"APPID")
QV_RX_DEFINE_MEMBERS(AcDbRegAppTable, AcDbSymbolTable, L"TABLE")

namespace qv::host {

std::wstring foldName(const std::wstring& name) {
    std::wstring folded = name;
    for (wchar_t& c : folded) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return folded;
}

bool sameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && std::towupper(static_cast<wint_t>(a[i])) !=
                                std::towupper(static_cast<wint_t>(b[i]))) {
            return false;
        }
    }
    return true;
}

namespace {

bool isSpecialBlockName(const std::wstring& name) {
    const std::wstring folded = foldName(name);
    if (folded == L"*MODEL_SPACE" || folded.rfind(L"*PAPER_SPACE", 0) == 0) {
        return folded == L"*PAPER_SPACE" ||
               std::all_of(folded.begin() + 12, folded.end(), ::iswdigit);
    }
    return folded.size() >= 2 && std::wcschr(L"UDTXA", folded[1]) != nullptr &&
           std::all_of(folded.begin() + 2, folded.end(), ::iswdigit);
}

}  // namespace

bool isValidSymbolName(const ACHAR* name, bool blockName) {
    if (name == nullptr) {
        return false;
    }
    const std::wstring text = name;
    if (text.empty() || text.size() > 255) {
        return false;
    }
    if (blockName && text[0] == L'*') {
        return isSpecialBlockName(text);
    }
    for (wchar_t c : text) {
        if (c < 32 || std::wcschr(L"<>/\\\":;?*|,=`", c) != nullptr) {
            return false;
        }
    }
    return true;
}

}  // namespace qv::host

// ---- records ----

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const ACHAR*& name) const {
    name = m_name.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(ACHAR*& name) const {
    name = acutNewString(m_name.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const ACHAR* name) {
    assertWriteEnabled();
    if (!qv::host::isValidSymbolName(name, qvIsBlockRecord())) {
        return Acad::eInvalidInput;
    }
    if (const auto* table = ObjectAccess::peekAs<AcDbSymbolTable>(ownerId())) {
        const AcDbObjectId other = table->qvFind(name);
        if (!other.isNull() && other != objectId()) {
            return Acad::eDuplicateRecordName;
        }
    }
    m_name = name;
    nameChanged();
    return Acad::eOk;
}

void AcDbSymbolTableRecord::qvSetName(const std::wstring& name) {
    m_name = name;
    nameChanged();
}

void AcDbSymbolTableRecord::nameChanged() const {
    if (const auto* table = ObjectAccess::peekAs<AcDbSymbolTable>(ownerId())) {
        table->m_indexed = false;
    }
}

// ---- tables ----

// Finds names through an index of the table's records by folded name. A rename of one of its
// records makes the index stale (renames are rare, look-ups frequent); a stale index is rebuilt
// at the next look-up. Each candidate is checked against its record as it is now.
AcDbObjectId AcDbSymbolTable::qvFind(const std::wstring& name) const {
    if (!m_indexed) {
        m_byName.clear();
        m_indexed = true;
        for (const AcDbObjectId& id : m_records) {
            indexRecord(id);
        }
    }
    const std::wstring folded = qv::host::foldName(name);
    const auto found = m_byName.find(folded);
    if (found == m_byName.end()) {
        return AcDbObjectId::kNull;
    }
    for (const AcDbObjectId& id : found->second) {
        const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id);
        if (record != nullptr && !record->isErased() &&
            qv::host::sameName(record->qvName(), name)) {
            return id;
        }
    }
    return AcDbObjectId::kNull;
}

void AcDbSymbolTable::indexRecord(AcDbObjectId id) const {
    if (!m_indexed) {
        return;  // rebuilt at the next look-up
    }
    if (const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(id)) {
        m_byName[qv::host::foldName(record->qvName())].push_back(id);
    }
}

void AcDbSymbolTable::qvAppendRecord(AcDbObjectId id) {
    m_records.push_back(id);
    indexRecord(id);
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbObjectId& id,
                                         bool getErased) const {
    id = AcDbObjectId::kNull;
    if (name == nullptr) {
        return Acad::eInvalidInput;
    }
    id = qvFind(name);
    if (id.isNull() && getErased) {
        const std::wstring folded = qv::host::foldName(name);
        for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
            const auto* record = ObjectAccess::peekAs<AcDbSymbolTableRecord>(*it);
            if (record != nullptr && qv::host::foldName(record->qvName()) == folded) {
                id = *it;
                break;
            }
        }
    }
    return id.isNull() ? Acad::eKeyNotFound : Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const ACHAR* name, AcDbSymbolTableRecord*& record,
                                         AcDb::OpenMode mode, bool openErased) const {
    return getAt<AcDbSymbolTableRecord>(name, record, mode, openErased);
}

bool AcDbSymbolTable::has(const ACHAR* name) const {
    return name != nullptr && !qvFind(name).isNull();
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
    return !id.isErased() && std::find(m_records.begin(), m_records.end(), id) != m_records.end();
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbSymbolTableRecord* record) {
    AcDbObjectId id;
    return add(id, record);
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
    id = AcDbObjectId::kNull;
    if (record == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (database() == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (!record->isKindOf(qvRecordClass())) {
        return Acad::eNotThatKindOfClass;
    }
    if (!record->objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    if (record->qvName().empty()) {
        return Acad::eInvalidInput;
    }
    if (!qvFind(record->qvName()).isNull()) {
        return Acad::eDuplicateRecordName;
    }
    const Acad::ErrorStatus es = ObjectAccess::add(*database(), record, objectId(), id);
    if (es == Acad::eOk) {
        m_records.push_back(id);
        indexRecord(id);
    }
    return es;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                               bool skipDeleted) const {
    return newIterator<AcDbSymbolTableIterator>(iterator, atBeginning, skipDeleted);
}

// ---- table iterators ----

AcDbSymbolTableIterator::AcDbSymbolTableIterator(const AcDbSymbolTable* table, bool atBeginning,
                                                 bool skipDeleted)
    : m_table(table) {
    start(atBeginning, skipDeleted);
}

void AcDbSymbolTableIterator::skip(bool forward) {
    const auto& records = m_table->qvRecords();
    while (m_index >= 0 && m_index < static_cast<int>(records.size()) && m_skipDeleted &&
           records[static_cast<size_t>(m_index)].isErased()) {
        m_index += forward ? 1 : -1;
    }
}

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
    m_skipDeleted = skipDeleted;
    m_index = atBeginning ? 0 : static_cast<int>(m_table->qvRecords().size()) - 1;
    skip(atBeginning);
}

bool AcDbSymbolTableIterator::done() const {
    return m_index < 0 || m_index >= static_cast<int>(m_table->qvRecords().size());
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
    m_skipDeleted = skipDeleted;
    if (!done()) {
        m_index += forward ? 1 : -1;
        skip(forward);
    }
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
    if (done()) {
        id = AcDbObjectId::kNull;
        return Acad::eInvalidIndex;
    }
    id = m_table->qvRecords()[static_cast<size_t>(m_index)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& record,
                                                     AcDb::OpenMode mode, bool openErased) const {
    return getRecord<AcDbSymbolTableRecord>(record, mode, openErased);
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(AcDbObjectId id) {
    const auto& records = m_table->qvRecords();
    const auto found = std::find(records.begin(), records.end(), id);
    if (found == records.end()) {
        return Acad::eKeyNotFound;
    }
    m_index = static_cast<int>(found - records.begin());
    return Acad::eOk;
}

// ---- blocks ----

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* entity) {
    AcDbObjectId id;
    return appendAcDbEntity(id, entity);
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
    id = AcDbObjectId::kNull;
    if (entity == nullptr) {
        return Acad::eNullEntityPointer;
    }
    if (database() == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (!entity->objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    entity->qvFillDefaults(*database());
    const Acad::ErrorStatus es = ObjectAccess::add(*database(), entity, objectId(), id);
    if (es == Acad::eOk) {
        appendEntityId(id);
    }
    return es;
}

const std::vector<AcDbObjectId>& AcDbBlockTableRecord::qvEntities() const {
    compact();
    return m_entities;
}

void AcDbBlockTableRecord::qvAppendEntityId(AcDbObjectId id) {
    appendEntityId(id);
}

void AcDbBlockTableRecord::appendEntityId(AcDbObjectId id) const {
    m_entities.push_back(id);
    if (m_positionsKnown) {
        m_positions[id.asOldId()] = m_entities.size() - 1;
    }
}

void AcDbBlockTableRecord::removeEntityId(AcDbObjectId id) {
    if (!m_positionsKnown) {
        compact();
        m_positions.clear();
        for (size_t i = 0; i < m_entities.size(); ++i) {
            m_positions[m_entities[i].asOldId()] = i;
        }
        m_positionsKnown = true;
    }
    const auto found = m_positions.find(id.asOldId());
    if (found == m_positions.end()) {
        return;
    }
    m_entities[found->second] = AcDbObjectId::kNull;
    m_positions.erase(found);
    ++m_emptyPlaces;
    ++m_membershipCount;
}

void AcDbBlockTableRecord::compact() const {
    if (m_emptyPlaces == 0) {
        return;
    }
    std::erase(m_entities, AcDbObjectId::kNull);
    m_emptyPlaces = 0;
    m_positionsKnown = false;
    m_positions.clear();
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator,
                                                    bool atBeginning, bool skipDeleted) const {
    iterator = new AcDbBlockTableRecordIterator(this, atBeginning, skipDeleted);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::assumeOwnershipOf(const AcDbObjectIdArray& entities) {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    for (const AcDbObjectId& id : entities) {
        if (id.database() != database()) {
            return Acad::eWrongDatabase;
        }
        if (AcDbEntity::cast(ObjectAccess::peek(id)) == nullptr) {
            return Acad::eNotAnEntity;
        }
    }
    for (const AcDbObjectId& id : entities) {
        AcDbObject* entity = ObjectAccess::peek(id);
        if (auto* from = ObjectAccess::peekAs<AcDbBlockTableRecord>(entity->ownerId())) {
            from->removeEntityId(id);
        }
        ObjectAccess::setOwner(*entity, objectId());
        appendEntityId(id);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setOrigin(const AcGePoint3d& origin) {
    assertWriteEnabled();
    m_origin = origin;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setLayoutId(AcDbObjectId layout) {
    assertWriteEnabled();
    m_layout = layout;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setComments(const ACHAR* text) {
    assertWriteEnabled();
    m_comments = text != nullptr ? text : L"";
    return Acad::eOk;
}

bool AcDbBlockTableRecord::isAnonymous() const {
    return qvName().size() >= 2 && qvName()[0] == L'*' && !isLayout() &&
           qv::host::foldName(qvName()) != L"*MODEL_SPACE" &&
           qv::host::foldName(qvName()).rfind(L"*PAPER_SPACE", 0) != 0;
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const {
    const std::vector<AcDbObjectId>& entities = qvEntities();
    return std::any_of(entities.begin(), entities.end(), [](const AcDbObjectId& id) {
        const AcDbObject* o = ObjectAccess::peek(id);
        return o != nullptr && !o->isErased() &&
               o->isA()->isDerivedFrom(AcDbAttributeDefinition::desc());
    });
}

Acad::ErrorStatus AcDbBlockTableRecord::getBlockReferenceIds(AcDbObjectIdArray& ids, bool,
                                                             bool) const {
    if (database() == nullptr) {
        return Acad::eNoDatabase;
    }
    const AcDbObjectId self = objectId();
    database()->qvForEachObject([&](AcDbObject& o) {
        const auto* ref = AcDbBlockReference::cast(&o);
        if (ref != nullptr && !ref->isErased() && ref->blockTableRecord() == self) {
            ids.append(ref->objectId());
        }
    });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::qvErasing(bool erasing) {
    const std::wstring folded = qv::host::foldName(qvName());
    if (erasing && (folded == L"*MODEL_SPACE" || folded == L"*PAPER_SPACE")) {
        return Acad::eNotApplicable;
    }
    if (erasing && database() != nullptr && qv::host::isBlockInUse(*database(), objectId())) {
        return Acad::eEntityInUse;
    }
    for (const AcDbObjectId& id : qvEntities()) {
        if (AcDbObject* entity = ObjectAccess::peek(id)) {
            ObjectAccess::setErased(*entity, erasing);
        }
    }
    return Acad::eOk;
}

AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* block,
                                                           bool atBeginning, bool skipDeleted)
    : m_block(block) {
    start(atBeginning, skipDeleted);
}

void AcDbBlockTableRecordIterator::skip(bool forward) {
    const auto& entities = m_block->qvEntities();
    while (m_index >= 0 && m_index < static_cast<int>(entities.size()) && m_skipDeleted &&
           entities[static_cast<size_t>(m_index)].isErased()) {
        m_index += forward ? 1 : -1;
    }
}

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
    m_skipDeleted = skipDeleted;
    m_index = atBeginning ? 0 : static_cast<int>(m_block->qvEntities().size()) - 1;
    skip(atBeginning);
}

bool AcDbBlockTableRecordIterator::done() const {
    return m_index < 0 || m_index >= static_cast<int>(m_block->qvEntities().size());
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
    m_skipDeleted = skipDeleted;
    if (!done()) {
        m_index += forward ? 1 : -1;
        skip(forward);
    }
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const {
    if (done()) {
        id = AcDbObjectId::kNull;
        return Acad::eInvalidIndex;
    }
    id = m_block->qvEntities()[static_cast<size_t>(m_index)];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErased) const {
    entity = nullptr;
    AcDbObjectId id;
    const Acad::ErrorStatus es = getEntityId(id);
    return es != Acad::eOk ? es : acdbOpenObject(entity, id, mode, openErased);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(AcDbObjectId id) {
    const auto& entities = m_block->qvEntities();
    const auto found = std::find(entities.begin(), entities.end(), id);
    if (found == entities.end()) {
        return Acad::eKeyNotFound;
    }
    m_index = static_cast<int>(found - entities.begin());
    return Acad::eOk;
}

// ---- layers ----

AcDbLayerTableRecord::AcDbLayerTableRecord() {
    m_color.setColorIndex(7);
}

void AcDbLayerTableRecord::qvAdded() {
    if (m_linetype.isNull()) {
        m_linetype = database()->continuousLinetype();
    }
}

Acad::ErrorStatus AcDbLayerTableRecord::setColor(const AcCmColor& color) {
    assertWriteEnabled();
    const bool index = color.isByACI() && color.colorIndex() >= 1 && color.colorIndex() <= 255;
    if (!index && !color.isByColor()) {
        return Acad::eInvalidInput;
    }
    m_color = color;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen) {
    assertWriteEnabled();
    if (frozen && database() != nullptr && database()->clayer() == objectId()) {
        return Acad::eCannotFreezeCurrentLayer;
    }
    m_frozen = frozen;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsOff(bool off) {
    assertWriteEnabled();
    m_off = off;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsLocked(bool locked) {
    assertWriteEnabled();
    m_locked = locked;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsPlottable(bool plottable) {
    assertWriteEnabled();
    m_plottable = plottable;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight weight) {
    assertWriteEnabled();
    if (!qv::host::isLineWeight(weight) || weight == AcDb::kLnWtByLayer ||
        weight == AcDb::kLnWtByBlock) {
        return Acad::eInvalidInput;
    }
    m_lineWeight = weight;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId linetype) {
    assertWriteEnabled();
    m_linetype = linetype;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::setDescription(const ACHAR* text) {
    assertWriteEnabled();
    m_description = text != nullptr ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::qvErasing(bool erasing) {
    if (erasing &&
        (qvName() == L"0" || (database() != nullptr && database()->clayer() == objectId()))) {
        return Acad::eNotApplicable;
    }
    return Acad::eOk;
}

// ---- linetypes ----

Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const ACHAR* text) {
    assertWriteEnabled();
    m_comments = text != nullptr ? text : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setPatternLength(double length) {
    assertWriteEnabled();
    if (length < 0.0) {
        return Acad::eInvalidInput;
    }
    m_patternLength = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setNumDashes(int count) {
    assertWriteEnabled();
    if (count < 0 || count > 12) {
        return Acad::eInvalidInput;
    }
    m_dashes.resize(static_cast<size_t>(count), 0.0);
    return Acad::eOk;
}

double AcDbLinetypeTableRecord::dashLengthAt(int index) const {
    if (index < 0 || index >= numDashes()) {
        throw Acad::eInvalidIndex;
    }
    return m_dashes[static_cast<size_t>(index)];
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setDashLengthAt(int index, double length) {
    assertWriteEnabled();
    if (index < 0 || index >= numDashes()) {
        return Acad::eInvalidIndex;
    }
    m_dashes[static_cast<size_t>(index)] = length;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::qvErasing(bool erasing) {
    const std::wstring folded = qv::host::foldName(qvName());
    if (erasing && (folded == L"BYLAYER" || folded == L"BYBLOCK" || folded == L"CONTINUOUS")) {
        return Acad::eNotApplicable;
    }
    return Acad::eOk;
}

// ---- text styles ----

Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size) {
    assertWriteEnabled();
    if (size < 0.0) {
        return Acad::eInvalidInput;
    }
    m_textSize = size;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double scale) {
    assertWriteEnabled();
    if (!(scale > 0.0)) {
        return Acad::eInvalidInput;
    }
    m_xScale = scale;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double angle) {
    assertWriteEnabled();
    m_oblique = angle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setPriorSize(double size) {
    assertWriteEnabled();
    m_priorSize = size;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(const ACHAR*& name) const {
    name = m_fileName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const ACHAR* name) {
    assertWriteEnabled();
    m_fileName = name != nullptr ? name : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::bigFontFileName(const ACHAR*& name) const {
    name = m_bigFont.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const ACHAR* name) {
    assertWriteEnabled();
    m_bigFont = name != nullptr ? name : L"";
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::qvErasing(bool erasing) {
    if (erasing && qv::host::foldName(qvName()) == L"STANDARD") {
        return Acad::eNotApplicable;
    }
    return Acad::eOk;
}

// ---- registered applications ----

Acad::ErrorStatus AcDbRegAppTableRecord::qvErasing(bool erasing) {
    if (erasing && qv::host::foldName(qvName()) == L"ACAD") {
        return Acad::eNotApplicable;
    }
    return Acad::eOk;
}

namespace qv::host {

Acad::ErrorStatus registerApplication(AcDbDatabase& database, const ACHAR* application) {
    if (!isValidSymbolName(application, false)) {
        return Acad::eInvalidInput;
    }
    auto* table = ObjectAccess::peekAs<AcDbRegAppTable>(database.regAppTableId());
    if (table == nullptr) {
        return Acad::eNoDatabase;
    }
    if (table->has(application)) {
        return Acad::eDuplicateRecordName;
    }
    // The record is the database's only once added (a refusal or a throw leaves it ours).
    auto record = std::make_unique<AcDbRegAppTableRecord>();
    record->setName(application);
    AcDbObjectId id;
    const Acad::ErrorStatus es = ObjectAccess::add(database, record.get(), table->objectId(), id);
    if (es != Acad::eOk) {
        return es;
    }
    record.release()->close();
    table->qvAppendRecord(id);
    return Acad::eOk;
}

}  // namespace qv::host

int acdbRegApp(const ACHAR* application) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr || qv::host::databaseWriteStatus(db) != Acad::eOk) {
        return RTERROR;
    }
    return qv::host::registerApplication(*db, application) == Acad::eOk ? RTNORM : RTERROR;
}
