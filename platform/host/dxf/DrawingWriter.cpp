#include "host/dxf/DrawingWriter.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_set>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbPlotSettings.h"
#include "host/db/AcDbSortentsTable.h"
#include "host/db/AcDbTable.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/Codec.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/HeaderVariables.h"
#include "host/dxf/KeptObjects.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/ReadContext.h"
#include "host/dxf/RecordIo.h"
#include "host/dxf/StructureCompletion.h"
#include "host/dxf/SymbolTableCodecs.h"
#include "host/dxf/WriteContext.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;

// The tables of a drawing in the order every DXF file has them.
constexpr std::string_view kTableOrder[] = {"VPORT", "LTYPE", "LAYER",    "STYLE",       "VIEW",
                                            "UCS",   "APPID", "DIMSTYLE", "BLOCK_RECORD"};

// The classes of the objects the host writes whose types DXF does not fix; a drawing that holds
// such objects declares their classes.
struct ClassInfo {
    std::string_view dxfName, className;
    const AcRxClass* (*hostClass)();
};
const ClassInfo kClasses[] = {
    {"SORTENTSTABLE", "AcDbSortentsTable",
     []() -> const AcRxClass* { return AcDbSortentsTable::desc(); }},
    {"PLOTSETTINGS", "AcDbPlotSettings",
     []() -> const AcRxClass* { return AcDbPlotSettings::desc(); }},
    {"ACAD_TABLE", "AcDbTable", []() -> const AcRxClass* { return AcDbTable::desc(); }},
};

bool isSpaceBlock(const AcDbBlockTableRecord& block) {
    const std::wstring name = foldedName(block.qvName());
    return name == L"*MODEL_SPACE" || name == L"*PAPER_SPACE";
}

class DrawingWriter {
  public:
    DrawingWriter(const AcDbDatabase& database, DrawingSink& sink,
                  std::vector<std::string>* leftOut)
        : m_db(database),
          m_data(fileDataOf(database)),
          m_sink(sink),
          m_context(database, m_data, m_out),
          m_leftOut(leftOut) {
        m_out.reserve(kFlushSize + (kFlushSize >> 2));
    }

    void run();

  private:
    TagWriter& out() { return m_context.out(); }
    void section(std::string_view name) {
        out().raw(kStructureCode, "SECTION");
        out().raw(kNameCode, name);
    }
    void endSection() { out().raw(kStructureCode, "ENDSEC"); }

    void writeHeader();
    void writeClasses();
    void writeTables();
    void writeBlocks();
    void writeEntities();
    void writeObjects();

    void writeModelledTable(const AcDbSymbolTable& table, std::string_view name);
    void writeKeptTable(const KeptTable& table);
    void writeEmptyTable(std::string_view name);
    void writeBlock(const AcDbBlockTableRecord& block);
    void writeBlockEnds(const AcDbBlockTableRecord& block, bool begin, std::uint64_t handle);
    void writeEntities(const AcDbBlockTableRecord& block);
    // Writes any object; false for an object of a class the writer does not know. An entry of
    // a table the host does not model has its handle under 105 when it is a DIMSTYLE.
    bool writeObject(const AcDbObject& object, bool tableEntry = false);
    void writeKept(const AcDbObject& object, const KeptTags& kept, bool tableEntry);
    void writeFollowers(const AcDbObject& entity);

    // Gives the text written so far to the sink once there is enough of it (between records).
    void flush(bool last = false) {
        if (last || m_out.size() >= kFlushSize) {
            m_sink.write(m_out);
            m_flushed += m_out.size();
            m_out.clear();
        }
    }
    static constexpr size_t kFlushSize = size_t{1} << 20;

    const AcDbDatabase& m_db;
    const FileData* m_data;
    DrawingSink& m_sink;
    std::string m_out;
    size_t m_flushed = 0;
    WriteContext m_context;
    std::vector<std::string>* m_leftOut;
    std::unordered_set<const AcDbStub*> m_keptTableObjects;
    // From one look at every object: the objects of the OBJECTS section (in handle order) and
    // how many objects each class of kClasses has.
    std::vector<AcDbObjectId> m_objects;
    std::vector<std::int64_t> m_classCounts;
};

void DrawingWriter::run() {
    if (m_data != nullptr) {
        for (const KeptTable& table : m_data->keptTables) {
            m_keptTableObjects.insert(table.head);
            for (const AcDbObjectId& id : table.entries) {
                m_keptTableObjects.insert(id);
            }
        }
    }
    m_classCounts.assign(std::size(kClasses), 0);
    m_db.qvForEachObject([&](AcDbObject& o) {
        if (o.isErased()) {
            return;
        }
        for (size_t i = 0; i < std::size(kClasses); ++i) {
            m_classCounts[i] += o.isA() == kClasses[i].hostClass() ? 1 : 0;
        }
        if (AcDbEntity::cast(&o) != nullptr) {
            return;
        }
        if (AcDbSymbolTable::cast(&o) == nullptr && AcDbSymbolTableRecord::cast(&o) == nullptr &&
            m_keptTableObjects.count(o.objectId()) == 0) {
            m_objects.push_back(o.objectId());
        }
    });
    // The header holds the handle seed, known only at the end: it is written in place then.
    writeHeader();
    const size_t seedOffset = m_context.seedOffset();
    writeClasses();
    writeTables();
    writeBlocks();
    writeEntities();
    writeObjects();
    if (m_data != nullptr) {
        for (const Section& other : m_data->otherSections) {
            section(other.name);
            for (const TagView tag : other.head) {
                out().raw(tag.code, tag.value);
            }
            for (const Record& record : other.records) {
                out().raw(kStructureCode, record.type);
                for (const TagView tag : record.tags) {
                    out().raw(tag.code, tag.value);
                }
            }
            endSection();
        }
    }
    out().raw(kStructureCode, "EOF");
    flush(true);
    m_sink.overwrite(seedOffset, seedText(m_context.seed()));
}

// ---- HEADER and CLASSES ----

void DrawingWriter::writeHeader() {
    section("HEADER");
    auto write = [&](const HeaderVariable& variable) {
        out().raw(kVariableCode, variable.name);
        variable.write(m_db, m_context);
    };
    write(headerVariables().front());  // $ACADVER
    std::unordered_set<std::string_view> written = {headerVariables().front().name};
    if (m_data != nullptr) {
        for (const Record& variable : m_data->header) {
            if (const HeaderVariable* modelled = findHeaderVariable(variable.type)) {
                if (written.insert(modelled->name).second) {
                    write(*modelled);
                }
                continue;
            }
            out().raw(kVariableCode, variable.type);
            for (const TagView tag : variable.tags) {
                out().raw(tag.code, tag.value);
            }
        }
    }
    for (const HeaderVariable& variable : headerVariables()) {
        if (written.insert(variable.name).second) {
            write(variable);
        }
    }
    endSection();
}

void DrawingWriter::writeClasses() {
    section("CLASSES");
    std::unordered_set<std::string_view> declared;
    if (m_data != nullptr) {
        for (const Record& record : m_data->classes) {
            declared.insert(trimBlanks(record.tags.value(1)));
            out().raw(kStructureCode, record.type);
            for (const TagView tag : record.tags) {
                out().raw(tag.code, tag.value);
            }
        }
    }
    for (size_t i = 0; i < std::size(kClasses); ++i) {
        const ClassInfo& info = kClasses[i];
        const std::int64_t count = m_classCounts[i];
        if (declared.count(info.dxfName) != 0 || count == 0) {
            continue;
        }
        out().raw(kStructureCode, "CLASS");
        out().raw(1, info.dxfName);
        out().raw(2, info.className);
        out().raw(3, "ObjectDBX Classes");
        out().integer(90, 0);
        out().integer(91, count);
        out().integer(280, 0);
        out().integer(281, info.hostClass()->isDerivedFrom(AcDbEntity::desc()) ? 1 : 0);
    }
    endSection();
}

// ---- TABLES ----

void DrawingWriter::writeModelledTable(const AcDbSymbolTable& table, std::string_view name) {
    m_context.setObject(table);
    const ObjectExtras* extras = m_context.extras();
    writeHead("TABLE", table, extras ? &extras->groups : nullptr, m_context, 5, name);
    tableCodecOf(table)->write(table, m_context);
    writeXData(table, m_context);
    for (const AcDbObjectId& id : table.qvRecords()) {
        if (m_context.handleOf(id) != 0) {
            writeObject(*ObjectAccess::peek(id));
        }
    }
    out().raw(kStructureCode, "ENDTAB");
}

void DrawingWriter::writeKeptTable(const KeptTable& table) {
    const AcDbObject* head = ObjectAccess::peek(table.head);
    if (head == nullptr || head->isErased()) {
        return;
    }
    m_context.setObject(*head);
    const KeptTags& kept = *keptTagsOf(*head);
    writeHead("TABLE", *head, &kept.groups, m_context, 5, table.name);
    for (const TagView tag : kept.body) {
        out().raw(tag.code, tag.value);
    }
    writeXData(*head, m_context);
    for (const AcDbObjectId& id : table.entries) {
        if (m_context.handleOf(id) != 0) {
            writeObject(*ObjectAccess::peek(id), true);
        }
    }
    out().raw(kStructureCode, "ENDTAB");
}

void DrawingWriter::writeEmptyTable(std::string_view name) {
    out().raw(kStructureCode, "TABLE");
    out().raw(kNameCode, name);
    out().handle(kHandleCode, m_context.issueHandle());
    out().handle(kOwnerCode, 0);
    for (const TagView& tag : emptyTableBody(name)) {
        out().raw(tag.code, tag.value);
    }
    out().raw(kStructureCode, "ENDTAB");
}

void DrawingWriter::writeTables() {
    section("TABLES");
    const AcDbObjectId modelled[] = {m_db.linetypeTableId(), m_db.layerTableId(),
                                     m_db.textStyleTableId(), m_db.regAppTableId(),
                                     m_db.blockTableId()};
    auto keptNamed = [&](std::string_view name) -> const KeptTable* {
        if (m_data != nullptr) {
            for (const KeptTable& table : m_data->keptTables) {
                if (table.name == name && m_context.handleOf(table.head) != 0) {
                    return &table;
                }
            }
        }
        return nullptr;
    };
    for (std::string_view name : kTableOrder) {
        const AcDbSymbolTable* table = nullptr;
        for (const AcDbObjectId& id : modelled) {
            const auto* t = ObjectAccess::peekAs<AcDbSymbolTable>(id);
            if (t != nullptr && tableName(*t) == name) {
                table = t;
            }
        }
        if (table != nullptr) {
            writeModelledTable(*table, name);
        } else if (const KeptTable* kept = keptNamed(name)) {
            writeKeptTable(*kept);
        } else {
            writeEmptyTable(name);
        }
    }
    if (m_data != nullptr) {
        for (const KeptTable& table : m_data->keptTables) {
            if (std::find(std::begin(kTableOrder), std::end(kTableOrder), table.name) ==
                std::end(kTableOrder)) {
                writeKeptTable(table);
            }
        }
    }
    endSection();
}

// ---- objects ----

bool DrawingWriter::writeObject(const AcDbObject& object, bool tableEntry) {
    flush();
    m_context.setObject(object);
    if (const KeptTags* kept = keptTagsOf(object)) {
        writeKept(object, *kept, tableEntry);
        writeFollowers(object);
        return true;
    }
    const Codec* codec = codecForObject(object);
    if (codec == nullptr) {
        const std::string name = qv::wideToUtf8(object.isA()->name());
        if (m_leftOut != nullptr &&
            std::find(m_leftOut->begin(), m_leftOut->end(), name) == m_leftOut->end()) {
            m_leftOut->push_back(name);
        }
        return false;
    }
    const ObjectExtras* extras = m_context.extras();
    writeHead(codec->type(), object, extras ? &extras->groups : nullptr, m_context);
    codec->write(object, m_context);
    writeXData(object, m_context);
    writeFollowers(object);
    return true;
}

void DrawingWriter::writeKept(const AcDbObject& object, const KeptTags& kept, bool tableEntry) {
    const bool entity = AcDbEntity::cast(&object) != nullptr;
    // (an entity's body follows its AcDbEntity marker)
    writeHead(kept.type, object, &kept.groups, m_context,
              tableEntry ? handleCodeOf(kept.type) : kHandleCode, {},
              !entity && ownerCodeLeads(kept.body));
    if (entity) {
        out().raw(kSubclassCode, "AcDbEntity");
        writeFields(object, kEntitySubclass.fields, m_context, 0);
        for (const TagView tag : kept.common) {
            out().raw(tag.code, tag.value);
        }
    }
    for (const TagView tag : kept.body) {
        out().raw(tag.code, tag.value);
    }
    writeXData(object, m_context);
}

// The records that follow an entity: the attributes of a block reference and its SEQEND, the
// records kept with a kept entity.
void DrawingWriter::writeFollowers(const AcDbObject& entity) {
    const std::uint64_t handle = m_context.objectHandle();
    if (const auto* insert = AcDbBlockReference::cast(&entity)) {
        bool any = false;
        for (const AcDbObjectId& id : insert->qvAttributes()) {
            if (m_context.handleOf(id) != 0) {
                writeObject(*ObjectAccess::peek(id));
                any = true;
            }
        }
        if (any) {
            std::uint64_t seqend = 0;
            if (m_data != nullptr) {
                const auto found = m_data->seqends.find(handle);
                seqend = found != m_data->seqends.end() ? found->second : 0;
            }
            out().raw(kStructureCode, "SEQEND");
            out().handle(kHandleCode, seqend != 0 ? seqend : m_context.issueHandle());
            out().handle(kOwnerCode, handle);
            out().raw(kSubclassCode, "AcDbEntity");
            const std::string& layer = m_context.nameOf(insert->layerId());
            out().raw(8, layer.empty() ? std::string_view("0") : std::string_view(layer));
        }
        return;
    }
    const KeptTags* kept = keptTagsOf(entity);
    if (kept == nullptr) {
        return;
    }
    for (const KeptChild& child : kept->children) {
        out().raw(kStructureCode, child.type);
        out().handle(kHandleCode, child.handle != 0 ? child.handle : m_context.issueHandle());
        for (size_t i = 0; i < child.tags.size(); ++i) {
            if (i == child.groupTags) {
                out().handle(kOwnerCode, handle);
            }
            const TagView tag = child.tags[i];
            out().raw(tag.code, tag.value);
        }
        if (child.groupTags >= child.tags.size()) {
            out().handle(kOwnerCode, handle);
        }
    }
}

// ---- BLOCKS and ENTITIES ----

void DrawingWriter::writeBlockEnds(const AcDbBlockTableRecord& block, bool begin,
                                   std::uint64_t handle) {
    const std::uint64_t record = m_context.handleOf(block.objectId());
    m_context.setObject(block);
    const ObjectExtras* extras = m_context.extras();
    out().raw(kStructureCode, begin ? "BLOCK" : "ENDBLK");
    out().handle(kHandleCode, handle != 0 ? handle : m_context.issueHandle());
    out().handle(kOwnerCode, record);
    out().raw(kSubclassCode, "AcDbEntity");
    if (m_context.isPaperSpaceBlock(block.objectId())) {
        out().integer(67, 1);
    }
    const size_t layer = extras ? extras->find({kBlockBeginPlace, -1}, 8) : std::string_view::npos;
    out().raw(8, layer != std::string_view::npos ? extras->tags[layer].value : "0");
    if (!begin) {
        out().raw(kSubclassCode, "AcDbBlockEnd");
        return;
    }
    static constexpr int kSkip[] = {8, 67};
    m_context.writeLeftovers({kBlockBeginPlace, -1}, kSkip);
    out().raw(kSubclassCode, "AcDbBlockBegin");
    const std::string& name = m_context.nameOf(block.objectId());
    out().raw(kNameCode, name);
    std::int64_t flags = m_context.leftoverBits({kBlockBeginPlace + 1, -1}, 70);
    if (!isSpaceBlock(block)) {  // (the spaces have neither; looking would take long)
        flags |= block.isAnonymous() ? 1 : 0;
        flags |= block.hasAttributeDefinitions() ? 2 : 0;
    }
    out().integer(70, flags);
    const AcGePoint3d origin = block.origin();
    out().point(10, origin.x, origin.y, origin.z);
    out().raw(3, name);
    const size_t path =
        extras ? extras->find({kBlockBeginPlace + 1, -1}, 1) : std::string_view::npos;
    out().raw(1, path != std::string_view::npos ? extras->tags[path].value : "");
    if (block.comments()[0] != 0) {
        m_context.text(4, block.comments());
    }
    static constexpr int kWritten[] = {1, 70};
    m_context.writeLeftovers({kBlockBeginPlace + 1, -1}, kWritten);
}

void DrawingWriter::writeEntities(const AcDbBlockTableRecord& block) {
    for (const AcDbObjectId& id : block.qvEntities()) {
        if (m_context.handleOf(id) != 0) {
            writeObject(*ObjectAccess::peek(id));
        }
    }
}

void DrawingWriter::writeBlock(const AcDbBlockTableRecord& block) {
    BlockEnds ends;
    if (m_data != nullptr) {
        const auto found = m_data->blockEnds.find(m_context.handleOf(block.objectId()));
        if (found != m_data->blockEnds.end()) {
            ends = found->second;
        }
    }
    writeBlockEnds(block, true, ends.begin);
    if (!isSpaceBlock(block)) {
        writeEntities(block);
    }
    writeBlockEnds(block, false, ends.end);
}

void DrawingWriter::writeBlocks() {
    section("BLOCKS");
    if (const auto* blocks = ObjectAccess::peekAs<AcDbBlockTable>(m_db.blockTableId())) {
        for (const AcDbObjectId& id : blocks->qvRecords()) {
            if (m_context.handleOf(id) != 0) {
                writeBlock(*ObjectAccess::peekAs<AcDbBlockTableRecord>(id));
            }
        }
    }
    endSection();
}

void DrawingWriter::writeEntities() {
    section("ENTITIES");
    for (const AcDbObjectId& id : {m_db.modelSpaceId(), m_db.paperSpaceId()}) {
        if (const auto* block = ObjectAccess::peekAs<AcDbBlockTableRecord>(id)) {
            writeEntities(*block);
        }
    }
    endSection();
}

// ---- OBJECTS ----

void DrawingWriter::writeObjects() {
    section("OBJECTS");
    std::unordered_set<const AcDbStub*> written;
    auto write = [&](AcDbObjectId id) {
        if (m_context.handleOf(id) != 0 && written.insert(id).second) {
            writeObject(*ObjectAccess::peek(id));
        }
    };
    write(m_db.namedObjectsDictionaryId());
    if (m_data != nullptr) {
        for (const AcDbObjectId& id : m_data->objectOrder) {
            write(id);
        }
    }
    for (const AcDbObjectId& id : m_objects) {
        write(id);
    }
    endSection();
}

}  // namespace

void writeDrawing(const AcDbDatabase& database, DrawingSink& sink,
                  std::vector<std::string>* leftOut) {
    DrawingWriter(database, sink, leftOut).run();
}

std::string writeDrawing(const AcDbDatabase& database, std::vector<std::string>* leftOut) {
    struct TextSink : DrawingSink {
        std::string text;
        void write(std::string_view piece) override { text += piece; }
        void overwrite(size_t offset, std::string_view piece) override {
            text.replace(offset, piece.size(), piece);
        }
    } sink;
    const FileData* data = fileDataOf(database);
    sink.text.reserve(data != nullptr && data->sourceBytes > 0
                          ? data->sourceBytes + data->sourceBytes / 4
                          : size_t{1} << 16);
    writeDrawing(database, sink, leftOut);
    return std::move(sink.text);
}

}  // namespace qv::dxf
