#include "host/dxf/StructureCompletion.h"

#include <algorithm>
#include <memory>

#include "host/db/AcDbDictionary.h"
#include "host/db/ObjectAccess.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/KeptObjects.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;

constexpr std::string_view kTableNames[] = {"LTYPE", "LAYER", "STYLE", "APPID", "BLOCK_RECORD"};

// Adds a new object to the database under `owner`, closed.
AcDbObjectId add(AcDbDatabase& db, AcDbObject* object, AcDbObjectId owner) {
    AcDbObjectId id;
    if (ObjectAccess::add(db, object, owner, id) != Acad::eOk) {
        delete object;
        throw std::runtime_error("the drawing could not take an object the host needs");
    }
    object->close();
    return id;
}

// Adds a record to a table and names it.
AcDbObject* addRecord(ReadContext& context, AcDbObjectId tableId, NameTable table,
                      AcDbSymbolTableRecord* record, const std::wstring& name) {
    record->qvSetName(name);
    AcDbDatabase& db = context.database();
    const AcDbObjectId id = add(db, record, tableId);
    ObjectAccess::peekAs<AcDbSymbolTable>(tableId)->qvAppendRecord(id);
    context.nameObject(table, name, record);
    return record;
}

template <class Record>
AcDbObject* ensureRecord(ReadContext& context, AcDbObjectId tableId, NameTable table,
                         const std::wstring& name, bool expected) {
    if (AcDbObject* found = context.findName(table, qv::wideToUtf8(name))) {
        return found;
    }
    if (!expected) {
        context.warn(Fix::AddedStructure, 0,
                     "the drawing had no " + qv::wideToUtf8(name) + "; it was added");
    }
    return addRecord(context, tableId, table, new Record, name);
}

}  // namespace

int StructureRoots::tableIndex(std::string_view name) {
    for (size_t i = 0; i < std::size(kTableNames); ++i) {
        if (kTableNames[i] == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

AcDbObject* StructureRoots::table(std::string_view name) const {
    const int index = tableIndex(name);
    return index < 0 ? nullptr : tables[index];
}

void StructureRoots::setTable(std::string_view name, AcDbObject* table) {
    if (const int index = tableIndex(name); index >= 0) {
        tables[index] = table;
    }
}

void completeStructure(AcDbDatabase& db, StructureRoots& roots, ReadContext& context) {
    const bool r12 = context.version() == DxfVersion::R12;
    for (size_t i = 0; i < std::size(kTableNames); ++i) {
        if (roots.tables[i] != nullptr) {
            continue;
        }
        AcDbObject* table = nullptr;
        switch (i) {
            case 0:
                table = new AcDbLinetypeTable;
                break;
            case 1:
                table = new AcDbLayerTable;
                break;
            case 2:
                table = new AcDbTextStyleTable;
                break;
            case 3:
                table = new AcDbRegAppTable;
                break;
            default:
                table = new AcDbBlockTable;
                break;
        }
        add(db, table, AcDbObjectId::kNull);
        roots.tables[i] = table;
        if (!(r12 && kTableNames[i] == "BLOCK_RECORD")) {
            context.warn(
                Fix::AddedStructure, 0,
                "the drawing had no " + std::string(kTableNames[i]) + " table; it was added");
        }
    }
    const bool hadDictionary = roots.namedObjects != nullptr;
    if (!hadDictionary) {
        auto* nod = new AcDbDictionary;
        const AcDbObjectId nodId = add(db, nod, AcDbObjectId::kNull);
        const AcDbObjectId groups = add(db, new AcDbDictionary, nodId);
        nod->qvAppendEntry(L"ACAD_GROUP", groups);
        roots.namedObjects = nod;
        context.data().objectOrder.push_back(nodId);
        context.data().objectOrder.push_back(groups);
        if (!r12) {
            context.warn(Fix::AddedStructure, 0,
                         "the drawing had no named-object dictionary; it was added");
        }
    }
    for (std::string_view name : kKeptTableNames) {
        const auto& kept = context.data().keptTables;
        if (std::any_of(kept.begin(), kept.end(),
                        [&](const KeptTable& t) { return t.name == name; })) {
            continue;
        }
        auto* table = new KeptObject("TABLE");
        for (const TagView& tag : emptyTableBody(name)) {
            table->kept().body.add(tag.code, tag.value);
        }
        const AcDbObjectId id = add(db, table, AcDbObjectId::kNull);
        context.data().keptTables.push_back({std::string(name), id, {}});
        if (!r12) {
            context.warn(Fix::AddedStructure, 0,
                         "the drawing had no " + std::string(name) + " table; it was added");
        }
    }
    nameRoots(db, roots);
    AcDbDatabase::Roots ids;
    ids.linetypeTable = roots.tables[0]->objectId();
    ids.layerTable = roots.tables[1]->objectId();
    ids.textStyleTable = roots.tables[2]->objectId();
    ids.regAppTable = roots.tables[3]->objectId();
    ids.blockTable = roots.tables[4]->objectId();

    for (const wchar_t* name : {L"ByBlock", L"ByLayer", L"Continuous"}) {
        // R12 has no linetypes ByBlock and ByLayer.
        ensureRecord<AcDbLinetypeTableRecord>(context, ids.linetypeTable, NameTable::Linetype, name,
                                              r12 && name[0] == L'B');
    }
    AcDbObject* continuous = context.findName(NameTable::Linetype, "Continuous");
    if (context.findName(NameTable::Layer, "0") == nullptr) {
        auto* layer = new AcDbLayerTableRecord;
        layer->setLinetypeObjectId(continuous->objectId());
        context.warn(Fix::AddedStructure, 0, "the drawing had no layer 0; it was added");
        addRecord(context, ids.layerTable, NameTable::Layer, layer, L"0");
    }
    ensureRecord<AcDbTextStyleTableRecord>(context, ids.textStyleTable, NameTable::TextStyle,
                                           L"Standard", false);
    ensureRecord<AcDbRegAppTableRecord>(context, ids.regAppTable, NameTable::RegApp, L"ACAD", r12);
    roots.modelSpace = static_cast<AcDbBlockTableRecord*>(ensureRecord<AcDbBlockTableRecord>(
        context, ids.blockTable, NameTable::Block, L"*Model_Space", r12));
    roots.paperSpace = static_cast<AcDbBlockTableRecord*>(ensureRecord<AcDbBlockTableRecord>(
        context, ids.blockTable, NameTable::Block, L"*Paper_Space", r12));
}

void nameRoots(AcDbDatabase& db, const StructureRoots& roots) {
    AcDbDatabase::Roots ids;
    ids.linetypeTable = roots.tables[0]->objectId();
    ids.layerTable = roots.tables[1]->objectId();
    ids.textStyleTable = roots.tables[2]->objectId();
    ids.regAppTable = roots.tables[3]->objectId();
    ids.blockTable = roots.tables[4]->objectId();
    ids.namedObjects = roots.namedObjects->objectId();
    db.qvSetRoots(ids);
}

std::vector<TagView> emptyTableBody(std::string_view name) {
    std::vector<TagView> body = {{kSubclassCode, "AcDbSymbolTable", 0}, {70, "0", 0}};
    if (name == "DIMSTYLE") {
        body.push_back({kSubclassCode, "AcDbDimStyleTable", 0});
        body.push_back({71, "0", 0});
    }
    return body;
}

AcDbObject* missingName(ReadContext& context, NameTable table, const std::wstring& name,
                        std::uint32_t line) {
    AcDbDatabase& db = context.database();
    const std::string shown = qv::wideToUtf8(name);
    switch (table) {
        case NameTable::Layer: {
            context.warn(Fix::MissingReference, line,
                         "layer '" + shown + "' did not exist; it was added");
            auto* layer = new AcDbLayerTableRecord;
            layer->setLinetypeObjectId(db.continuousLinetype());
            context.checkLayerName(layer, name, line);
            return addRecord(context, db.layerTableId(), NameTable::Layer, layer, name);
        }
        case NameTable::Block:
            context.warn(Fix::MissingReference, line,
                         "block '" + shown + "' did not exist; an empty block was added");
            return addRecord(context, db.blockTableId(), NameTable::Block, new AcDbBlockTableRecord,
                             name);
        case NameTable::Linetype:
            context.warn(Fix::MissingReference, line,
                         "linetype '" + shown + "' does not exist; Continuous was used");
            return context.findName(NameTable::Linetype, "Continuous");
        case NameTable::TextStyle:
            context.warn(Fix::MissingReference, line,
                         "text style '" + shown + "' does not exist; Standard was used");
            return context.findName(NameTable::TextStyle, "Standard");
        case NameTable::RegApp:
            return addRecord(context, db.regAppTableId(), NameTable::RegApp,
                             new AcDbRegAppTableRecord, name);
    }
    return nullptr;
}

void addRegisteredApplication(AcDbDatabase& database, StructureRoots&, ReadContext& context,
                              const std::wstring& name) {
    addRecord(context, database.regAppTableId(), NameTable::RegApp, new AcDbRegAppTableRecord,
              name);
}

}  // namespace qv::dxf
