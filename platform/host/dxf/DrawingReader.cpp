#include "host/dxf/DrawingReader.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/Codec.h"
#include "host/dxf/FileData.h"
#include "host/dxf/FileIo.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/HeaderVariables.h"
#include "host/dxf/KeptObjects.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/R12Records.h"
#include "host/dxf/RecordIo.h"
#include "host/dxf/RecordSplitter.h"
#include "host/dxf/StructureCompletion.h"
#include "host/dxf/SymbolTableCodecs.h"
#include "host/dxf/TextDecoding.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;

// Where an entity, attribute or table entry belongs; applied in file order once every object
// has its handle.
struct Member {
    enum Kind { Block, BlockHandle, ModelSpace, PaperSpace, Insert, Table, BlockTable, KeptTable };
    AcDbObject* object;
    Kind kind;
    AcDbObject* container = nullptr;  // Block, Insert, Table
    std::uint64_t handle = 0;         // BlockHandle; the index for KeptTable
    std::uint32_t line = 0;
};

// An object whose handle was missing or taken: it gets a new one when the file is read.
struct Pending {
    std::unique_ptr<AcDbObject> object;
    ObjectExtras extras;
};

// The records of an R12 polyline, kept until its SEQEND shows what it is.
struct R12Polyline {
    std::vector<Record> records;  // POLYLINE, then its VERTEX records
    Member member;
    bool inEntities = true;
};

// The entity that the records after it may belong to (ATTRIB after INSERT, VERTEX after
// POLYLINE, and their SEQEND).
struct Sequence {
    AcDbBlockReference* insert = nullptr;
    KeptEntity* kept = nullptr;
    bool active() const { return insert != nullptr || kept != nullptr; }
};

bool isEntity(const Codec* codec) {
    return codec != nullptr && codec->hostClass()->isDerivedFrom(AcDbEntity::desc());
}

std::string_view firstValue(std::span<const TagView> tags, int code) {
    for (const TagView& tag : tags) {
        if (tag.code == code) {
            return tag.value;
        }
    }
    return {};
}

int flagsOf(std::span<const TagView> tags) {
    std::int64_t flags = 0;
    parseInteger(firstValue(tags, 70), flags);
    return static_cast<int>(flags);
}

// The codes of the AcDbEntity part, for records without markers.
bool isCommonCode(int code) {
    for (const Field& field : kEntitySubclass.fields) {
        if (field.code == code) {
            return true;
        }
    }
    return false;
}

// Splits an entity body into its AcDbEntity part and the rest (from the next marker, or, in
// a record without markers, the tags of other codes).
void splitCommon(std::span<const TagView> body, std::vector<TagView>& common,
                 std::vector<TagView>& rest) {
    common.clear();
    rest.clear();
    size_t i = 0;
    const bool marked = !body.empty() && body[0].code == kSubclassCode;
    if (!marked) {
        for (const TagView& tag : body) {
            (isCommonCode(tag.code) && tag.code != kSubclassCode ? common : rest).push_back(tag);
        }
        return;
    }
    for (i = 1; i < body.size() && body[i].code != kSubclassCode; ++i) {
        common.push_back(body[i]);
    }
    rest.assign(body.begin() + static_cast<long>(i), body.end());
}

class DrawingReader : public RecordSink {
  public:
    DrawingReader(AcDbDatabase& database, AuditReport& report, std::unique_ptr<FileData> data)
        : m_db(database), m_report(report), m_data(std::move(data)),
          m_context(database, report, *m_data) {}

    // Gives back the text before a pointer once every record before it is read.
    void setRelease(std::function<void(const char*)> release) { m_release = std::move(release); }

    void beginSection(std::string_view name, std::uint32_t line) override;
    void sectionHead(const std::vector<TagView>& tags) override;
    void record(const RecordView& record) override;
    void endSection() override;
    // Everything after the last record: handles, structure, references, header.
    void finish();

  private:
    enum class Part { Header, Classes, Tables, Blocks, Entities, Objects, Other };

    bool r12() const { return m_data->version == DxfVersion::R12; }

    void headerVariable(const RecordView& record);
    void tableRecord(const RecordView& record);
    void blockRecord(const RecordView& record);
    void entityRecord(const RecordView& record);
    void objectRecord(const RecordView& record);

    void beginBlock(const RecordView& record);
    void endBlock(const RecordView& record);
    void follower(const RecordView& record);
    void closeSequence();
    void finishR12Polyline();
    bool convertR12Polyline(const R12Polyline& polyline);
    void keepR12Polyline(const R12Polyline& polyline);

    // Makes an entity of a record (modelled or kept); null when it is dropped.
    std::unique_ptr<AcDbObject> makeEntity(std::string_view type, std::span<const TagView> tags);
    std::unique_ptr<AcDbObject> makeKept(std::string_view type, bool entity);
    // Gives an entity the values DXF means when a record leaves out its layer, linetype or text
    // style.
    void readDefaults(AcDbObject& entity, std::span<const SubclassDef> subclasses,
                      std::span<const TagView> body);
    // Where an entity of the record just read belongs.
    Member placeEntity(AcDbObject* entity);
    // Gives the object its extended data, leftovers, handle and extension dictionary, and puts it
    // where `member` says (at once when it can, else once the file is read).
    void finishObject(std::unique_ptr<AcDbObject> object, std::uint32_t line,
                      const Member* member = nullptr);
    // Puts a member in its place; false when that has to wait (an object without its handle yet,
    // a container not read yet). When `last`, nothing waits any more.
    bool applyMember(const Member& member, bool last);
    // Adopts the object under its handle, or keeps it until the file is read when its handle is
    // missing or taken.
    void adoptObject(std::unique_ptr<AcDbObject> object, std::uint32_t line);
    std::uint64_t claimOther(std::string_view handle);
    KeptChild childOf(std::string_view type, std::span<const TagView> tags);

    void adoptPending();
    void applyMembers();
    void registerApplications();
    void settleOtherHandles();

    AcDbDatabase& m_db;
    AuditReport& m_report;
    std::unique_ptr<FileData> m_data;
    ReadContext m_context;
    RecordHead m_head;
    std::vector<TagView> m_scratch, m_common, m_rest;

    Part m_part = Part::Other;
    HeaderValues m_header;
    // TABLES
    AcDbObject* m_table = nullptr;  // the table being read (host table or kept head)
    std::string m_tableName;
    int m_keptTable = -1;  // its index in m_data->keptTables, or -1
    std::string m_entryType;
    // BLOCKS
    AcDbObject* m_block = nullptr;
    std::unordered_map<AcDbObject*, BlockEnds> m_blockEnds;
    Sequence m_sequence;
    std::unique_ptr<R12Polyline> m_r12Polyline;
    std::unordered_map<AcDbObject*, std::uint64_t> m_seqends;
    std::vector<AcDbObject*> m_keptHeads;  // of m_data->keptTables
    std::vector<KeptEntity*> m_withChildren;
    struct {
        std::uint64_t handle = 0;
        AcDbObject* block = nullptr;
    } m_lastOwner;

    StructureRoots m_roots;
    std::vector<Member> m_members;
    std::vector<Pending> m_pending;
    std::vector<AcDbObject*> m_objectOrder;
    std::set<std::wstring> m_applications;
    std::unordered_set<std::uint64_t> m_otherHandles;
    std::uint64_t m_maxHandle = 0;
    bool m_headerSeen = false;
    std::function<void(const char*)> m_release;
    const char* m_released = nullptr;
};

// ---- sections ----

void DrawingReader::beginSection(std::string_view name, std::uint32_t line) {
    closeSequence();
    m_part = name == "HEADER"     ? Part::Header
             : name == "CLASSES"  ? Part::Classes
             : name == "TABLES"   ? Part::Tables
             : name == "BLOCKS"   ? Part::Blocks
             : name == "ENTITIES" ? Part::Entities
             : name == "OBJECTS"  ? Part::Objects
                                  : Part::Other;
    if (m_part == Part::Other) {
        m_data->otherSections.push_back({std::string(name), line, {}, {}});
    }
}

void DrawingReader::sectionHead(const std::vector<TagView>& tags) {
    if (m_part == Part::Other) {
        for (const TagView& tag : tags) {
            m_data->otherSections.back().head.add(tag.code, tag.value);
        }
    } else if (!tags.empty()) {
        m_report.add(Fix::StrayTags, tags.front().line,
                     std::to_string(tags.size()) + " tags before the first record ignored");
    }
}

void DrawingReader::endSection() {
    closeSequence();
    if (m_table != nullptr) {
        m_report.add(Fix::MissingEndsec, 0, "table " + m_tableName + " ends without ENDTAB");
    }
    m_table = nullptr;
    m_keptTable = -1;
    if (m_block != nullptr) {
        m_report.add(Fix::MisplacedRecord, 0, "a block ends without ENDBLK");
    }
    m_block = nullptr;
    m_part = Part::Other;
}

void DrawingReader::record(const RecordView& record) {
    // Every record before this one is read: no view into the text before it is left.
    constexpr std::ptrdiff_t kReleaseStep = 1 << 20;
    if (m_release && (m_released == nullptr || record.type.data() - m_released > kReleaseStep)) {
        m_released = record.type.data();
        m_release(m_released);
    }
    m_context.beginRecord(record.type, record.line);
    switch (m_part) {
        case Part::Header:
            headerVariable(record);
            break;
        case Part::Classes:
            m_data->classes.push_back(record.toRecord());
            break;
        case Part::Tables:
            tableRecord(record);
            break;
        case Part::Blocks:
            blockRecord(record);
            break;
        case Part::Entities:
            entityRecord(record);
            break;
        case Part::Objects:
            objectRecord(record);
            break;
        case Part::Other:
            m_data->otherSections.back().records.push_back(record.toRecord());
            break;
    }
}

// ---- HEADER ----

void DrawingReader::headerVariable(const RecordView& record) {
    m_headerSeen = true;
    m_data->header.push_back(record.toRecord());
    if (const HeaderVariable* variable = findHeaderVariable(record.type)) {
        m_header.line = record.line;
        variable->read(m_header, record.tags);
    }
}

// ---- objects ----

std::unique_ptr<AcDbObject> DrawingReader::makeKept(std::string_view type, bool entity) {
    if (entity) {
        return std::make_unique<KeptEntity>(std::string(type));
    }
    return std::make_unique<KeptObject>(std::string(type));
}

void DrawingReader::readDefaults(AcDbObject& entity, std::span<const SubclassDef> subclasses,
                                 std::span<const TagView> body) {
    static constexpr TagView kDefaults[] = {{8, "0", 0}, {6, "ByLayer", 0}, {7, "Standard", 0}};
    bool present[3] = {false, false, false};
    for (const TagView& tag : body) {
        present[0] = present[0] || tag.code == 8;
        present[1] = present[1] || tag.code == 6;
        present[2] = present[2] || tag.code == 7;
    }
    for (size_t d = 0; d < 3; ++d) {
        if (present[d]) {
            continue;
        }
        for (size_t i = 0; i < subclasses.size(); ++i) {
            const auto& fields = subclasses[i].fields;
            if (std::any_of(fields.begin(), fields.end(),
                            [&](const Field& f) { return f.code == kDefaults[d].code; })) {
                FieldReader reader(fields, m_context, static_cast<int>(i));
                reader.read(kDefaults[d]);
                reader.apply(entity);
                break;
            }
        }
    }
}

std::uint64_t DrawingReader::claimOther(std::string_view handle) {
    std::uint64_t value = 0;
    if (!parseHandle(handle, value) || value == 0 || !m_otherHandles.insert(value).second) {
        return 0;  // a new one is given when the drawing is written
    }
    m_maxHandle = std::max(m_maxHandle, value);
    return value;
}

void DrawingReader::finishObject(std::unique_ptr<AcDbObject> object, std::uint32_t line,
                                 const Member* member) {
    adoptObject(std::move(object), line);
    if (member != nullptr && !applyMember(*member, false)) {
        m_members.push_back(*member);
    }
}

void DrawingReader::adoptObject(std::unique_ptr<AcDbObject> object, std::uint32_t line) {
    AcDbObject& o = *object;
    if (!m_head.xdata.empty()) {
        auto records = readXData(m_head.xdata, m_context);
        for (const auto& r : records) {
            m_applications.insert(r.application);
        }
        ObjectAccess::setXData(o, std::move(records));
    }
    ObjectExtras extras = std::move(m_context.extras());
    if (!m_head.groups.empty()) {
        KeptTags* kept = keptTagsOf(o);
        TagList& groups = kept != nullptr ? kept->groups : extras.groups;
        for (const TagView& tag : m_head.groups) {
            groups.add(tag.code, tag.value);
        }
    }
    if (!m_head.xdictionary.empty()) {
        m_context.referByHandle(
            o, m_head.xdictionary,
            [](AcDbObject& x, AcDbObjectId id, const RefArgs&) {
                ObjectAccess::setExtensionDictionary(x, id);
            },
            "extension dictionary");
    }

    const std::string_view type = m_context.recordType();
    std::uint64_t handle = 0;
    std::string problem;
    Fix fix = Fix::MissingHandle;
    if (m_head.handle.empty()) {
        if (!r12() || m_head.hasHandle) {
            problem = std::string(type) + (m_head.hasHandle ? " has an empty handle"
                                                            : " has no handle");
        }
    } else if (!parseHandle(m_head.handle, handle) || handle == 0) {
        problem = std::string(type) + " has an invalid handle '" + std::string(m_head.handle) + "'";
        handle = 0;
    }
    AcDbObjectId id;
    if (handle != 0 && m_db.qvAdopt(id, object, AcDbHandle(handle), AcDbObjectId::kNull) ==
                           Acad::eOk) {
        m_maxHandle = std::max(m_maxHandle, handle);
        if (!extras.empty()) {
            m_data->extrasFor(handle) = std::move(extras);
        }
        return;
    }
    if (handle != 0) {
        AcDbObjectId holder;
        m_db.getAcDbObjectId(holder, false, AcDbHandle(handle));
        const AcDbObject* first = ObjectAccess::peek(holder);
        const KeptTags* kept = first ? keptTagsOf(*first) : nullptr;
        problem = "handle " + std::string(trimBlanks(m_head.handle)) + " of " + std::string(type) +
                  " is already used by " +
                  (kept ? kept->type
                        : first ? std::string(codecForObject(*first)
                                                  ? codecForObject(*first)->type()
                                                  : std::string_view("another record"))
                                : std::string("another record"));
        fix = Fix::DuplicateHandle;
    }
    if (!problem.empty()) {
        m_report.add(fix, line, problem + "; it was given a new handle");
    }
    m_pending.push_back({std::move(object), std::move(extras)});
}

// ---- TABLES ----

void DrawingReader::tableRecord(const RecordView& record) {
    const std::string_view type = record.type;
    if (type == "TABLE") {
        if (m_table != nullptr) {
            m_report.add(Fix::MissingEndsec, record.line,
                         "table " + m_tableName + " ends without ENDTAB");
        }
        splitHead(record.tags, 5, m_head);
        m_tableName = std::string(trimBlanks(firstValue(m_head.body, kNameCode)));
        m_entryType = m_tableName;
        std::erase_if(m_head.body, [](const TagView& t) { return t.code == kNameCode; });
        std::unique_ptr<AcDbObject> table;
        m_keptTable = -1;
        if (const Codec* codec = tableCodec(m_tableName)) {
            table = codec->create();
            codec->read(*table, m_head.body, m_context);
            if (m_roots.table(m_tableName) != nullptr) {
                m_report.add(Fix::MisplacedRecord, record.line,
                             "a second " + m_tableName + " table; its entries join the first");
                m_table = m_roots.table(m_tableName);
                return;
            }
            m_roots.setTable(m_tableName, table.get());
        } else {
            auto kept = std::make_unique<KeptObject>("TABLE");
            if (r12()) {
                m_scratch.clear();
                markR12TableHead(m_head.body, m_scratch);
            } else {
                m_scratch = m_head.body;
            }
            for (const TagView& tag : m_scratch) {
                kept->kept().body.add(tag.code, tag.value);
            }
            m_keptTable = static_cast<int>(m_data->keptTables.size());
            m_data->keptTables.push_back({m_tableName, {}, {}});
            m_keptHeads.push_back(kept.get());
            table = std::move(kept);
        }
        m_table = table.get();
        finishObject(std::move(table), record.line);
        return;
    }
    if (type == "ENDTAB") {
        m_table = nullptr;
        m_keptTable = -1;
        return;
    }
    if (m_table == nullptr) {
        m_report.add(Fix::MisplacedRecord, record.line,
                     std::string(type) + " outside a table was left out");
        return;
    }
    splitHead(record.tags, handleCodeOf(type), m_head);
    std::unique_ptr<AcDbObject> entry;
    const Codec* codec = codecForType(type);
    if (m_keptTable < 0 && codec != nullptr && tableCodec(m_tableName) != nullptr &&
        type == m_entryType) {
        entry = codec->create();
        codec->read(*entry, m_head.body, m_context);
        const Member member{entry.get(), Member::Table, m_table, 0, record.line};
        finishObject(std::move(entry), record.line, &member);
        return;
    } else {
        auto kept = std::make_unique<KeptObject>(std::string(type));
        if (r12()) {
            m_scratch.clear();
            markR12TableEntry(type, m_head.body, m_scratch);
        } else {
            m_scratch = m_head.body;
        }
        for (const TagView& tag : m_scratch) {
            kept->kept().body.add(tag.code, tag.value);
        }
        entry = std::move(kept);
        if (m_keptTable < 0) {
            m_report.add(Fix::MisplacedRecord, record.line,
                         std::string(type) + " in the table " + m_tableName + " was left out");
            return;
        }
        const Member member{entry.get(), Member::KeptTable, nullptr,
                            static_cast<std::uint64_t>(m_keptTable), record.line};
        finishObject(std::move(entry), record.line, &member);
    }
}

// ---- BLOCKS ----

void DrawingReader::beginBlock(const RecordView& record) {
    if (m_block != nullptr) {
        m_report.add(Fix::MisplacedRecord, record.line, "BLOCK before the ENDBLK of the one before");
    }
    splitHead(record.tags, 5, m_head);
    std::string name(trimBlanks(firstValue(m_head.body, kNameCode)));
    if (r12()) {
        if (foldedName(qv::utf8ToWide(name)) == L"$MODEL_SPACE") {
            name = "*Model_Space";
        } else if (foldedName(qv::utf8ToWide(name)) == L"$PAPER_SPACE") {
            name = "*Paper_Space";
        }
    }
    AcDbObject* block = m_context.findName(NameTable::Block, name);
    if (block == nullptr) {
        // No BLOCK_RECORD table (R12) or no entry for this block: the block gets a record.
        auto made = std::make_unique<AcDbBlockTableRecord>();
        made->qvSetName(qv::utf8ToWide(name));
        if (!name.empty()) {
            m_context.nameObject(NameTable::Block, made->qvName(), made.get());
        }
        block = made.get();
        m_members.push_back({block, Member::BlockTable, nullptr, 0, record.line});
        m_pending.push_back({std::move(made), {}});
    }
    m_block = block;
    auto* record_ = static_cast<AcDbBlockTableRecord*>(block);
    BlockEnds& ends = m_blockEnds[block];
    ends.begin = claimOther(m_head.handle);
    // The BLOCK's own fields: origin and description; its other tags are kept with the record.
    std::vector<TagView> common, rest;
    splitCommon(m_head.body, common, rest);
    for (const TagView& tag : common) {
        // Paper space is known from the block's name; layer 0 is what the writer gives.
        if (tag.code != 67 && !(tag.code == 8 && trimBlanks(tag.value) == "0")) {
            m_context.leftover({kBlockBeginPlace, -1}, tag);
        }
    }
    double origin[3] = {0.0, 0.0, 0.0};
    for (const TagView& tag : rest) {
        switch (tag.code) {
            case 10:
            case 20:
            case 30:
                parseDouble(tag.value, origin[tag.code / 10 - 1]);
                break;
            case 2:
            case 3:
            case kSubclassCode:
                break;  // the name, written from the record
            case 1:
                if (!trimBlanks(tag.value).empty()) {
                    m_context.leftover({kBlockBeginPlace + 1, -1}, tag);  // an external reference
                }
                break;
            case 4:
                ObjectAccess::changeOwned(*record_, [&] {
                    record_->setComments(m_context.text(tag.value).c_str());
                });
                break;
            case 70: {
                std::int64_t flags = 0;
                parseInteger(tag.value, flags);
                if (flags & ~std::int64_t{3}) {
                    m_context.leftover({kBlockBeginPlace + 1, -1},
                                       {70, std::to_string(flags & ~std::int64_t{3}), tag.line});
                }
                break;
            }
            default:
                m_context.leftover({kBlockBeginPlace + 1, -1}, tag);
        }
    }
    ObjectAccess::changeOwned(*record_, [&] {
        record_->setOrigin(AcGePoint3d(origin[0], origin[1], origin[2]));
    });
    // The leftovers of the BLOCK join those of the record.
    const std::uint64_t handle = record_->objectId().handle().value();
    ObjectExtras& leftovers = m_context.extras();
    if (!leftovers.empty()) {
        if (handle != 0) {
            ObjectExtras& target = m_data->extrasFor(handle);
            for (const TagView tag : leftovers.tags) {
                target.tags.add(tag.code, tag.value);
            }
        } else {
            for (Pending& p : m_pending) {
                if (p.object.get() == block) {
                    for (const TagView tag : leftovers.tags) {
                        p.extras.tags.add(tag.code, tag.value);
                    }
                }
            }
        }
    }
}

void DrawingReader::endBlock(const RecordView& record) {
    if (m_block == nullptr) {
        m_report.add(Fix::MisplacedRecord, record.line, "ENDBLK without BLOCK ignored");
        return;
    }
    splitHead(record.tags, 5, m_head);
    m_blockEnds[m_block].end = claimOther(m_head.handle);
    m_block = nullptr;
}

void DrawingReader::blockRecord(const RecordView& record) {
    if (record.type == "BLOCK") {
        closeSequence();
        beginBlock(record);
    } else if (record.type == "ENDBLK") {
        closeSequence();
        endBlock(record);
    } else {
        entityRecord(record);
    }
}

// ---- ENTITIES ----

Member DrawingReader::placeEntity(AcDbObject* entity) {
    if (m_part == Part::Blocks) {
        if (m_block != nullptr) {
            return {entity, Member::Block, m_block, 0, m_context.recordLine()};
        }
        m_report.add(Fix::MisplacedRecord, m_context.recordLine(),
                     std::string(m_context.recordType()) +
                         " outside a block was put in model space");
        return {entity, Member::ModelSpace, nullptr, 0, m_context.recordLine()};
    }
    std::uint64_t owner = 0;
    if (m_head.hasOwner && parseHandle(m_head.owner, owner) && owner != 0) {
        return {entity, Member::BlockHandle, nullptr, owner, m_context.recordLine()};
    }
    return {entity, m_context.paperSpace ? Member::PaperSpace : Member::ModelSpace, nullptr, 0,
            m_context.recordLine()};
}

std::unique_ptr<AcDbObject> DrawingReader::makeEntity(std::string_view type,
                                                      std::span<const TagView> tags) {
    splitHead(tags, 5, m_head);
    const Codec* codec = codecForType(type);
    if (isEntity(codec) && codec->canModel(m_head.body)) {
        std::unique_ptr<AcDbObject> entity = codec->createFor(m_head.body);
        codec->read(*entity, m_head.body, m_context);
        readDefaults(*entity, codec->subclasses(), m_head.body);
        return entity;
    }
    splitCommon(m_head.body, m_common, m_rest);
    const std::span<const TagView> rest = m_rest;
    if (r12()) {
        m_scratch.clear();
        if (!markR12Entity(type, rest, m_scratch)) {
            m_report.add(Fix::DroppedRecord, m_context.recordLine(),
                         "an R12 " + std::string(type) +
                             " cannot be kept in a 2013 drawing; it was left out");
            return nullptr;
        }
    } else {
        m_scratch.assign(rest.begin(), rest.end());
    }
    auto kept = std::make_unique<KeptEntity>(std::string(type));
    FieldReader reader(kEntitySubclass.fields, m_context, 0);
    for (const TagView& tag : m_common) {
        reader.read(tag);
    }
    reader.apply(*kept);
    readDefaults(*kept, std::span<const SubclassDef>(&kEntitySubclass, 1), m_common);
    // The AcDbEntity tags the host does not model stay with the entity.
    for (const TagView tag : m_context.extras().tags) {
        if (tag.code != kPlaceCode) {
            kept->kept().common.add(tag.code, tag.value);
        }
    }
    m_context.extras() = ObjectExtras();
    for (const TagView& tag : m_scratch) {
        kept->kept().body.add(tag.code, tag.value);
    }
    return kept;
}

void DrawingReader::entityRecord(const RecordView& record) {
    const std::string_view type = record.type;
    if (type == "ATTRIB" || type == "VERTEX" || type == "SEQEND") {
        follower(record);
        return;
    }
    closeSequence();
    if (r12() && type == "POLYLINE") {
        m_r12Polyline = std::make_unique<R12Polyline>();
        m_r12Polyline->records.push_back(record.toRecord());
        m_r12Polyline->inEntities = m_part == Part::Entities;
        return;
    }
    std::unique_ptr<AcDbObject> entity = makeEntity(type, record.tags);
    if (entity == nullptr) {
        return;
    }
    const Member member = placeEntity(entity.get());
    std::int64_t follows = 0;
    parseInteger(firstValue(m_head.body, 66), follows);
    if (auto* insert = AcDbBlockReference::cast(entity.get())) {
        m_sequence.insert = insert;
    } else if (follows != 0 || type == "POLYLINE") {
        m_sequence.kept = KeptEntity::cast(entity.get());
        if (m_sequence.kept != nullptr) {
            m_withChildren.push_back(m_sequence.kept);
        }
    }
    finishObject(std::move(entity), record.line, &member);
}

KeptChild DrawingReader::childOf(std::string_view type, std::span<const TagView> tags) {
    splitHead(tags, 5, m_head);
    KeptChild child;
    child.type = std::string(type);
    child.handle = claimOther(m_head.handle);
    for (const TagView& tag : m_head.groups) {
        child.tags.add(tag.code, tag.value);
    }
    child.groupTags = child.tags.size();
    for (const TagView& tag : m_head.body) {
        child.tags.add(tag.code, tag.value);
    }
    for (const TagView& tag : m_head.xdata) {
        child.tags.add(tag.code, tag.value);
    }
    return child;
}

void DrawingReader::follower(const RecordView& record) {
    const std::string_view type = record.type;
    if (m_r12Polyline != nullptr) {
        if (type == "VERTEX") {
            m_r12Polyline->records.push_back(record.toRecord());
            return;
        }
        if (type == "SEQEND") {
            finishR12Polyline();
            return;
        }
    }
    if (m_sequence.insert != nullptr && type == "ATTRIB") {
        std::unique_ptr<AcDbObject> attribute = makeEntity(type, record.tags);
        if (attribute != nullptr) {
            const Member member{attribute.get(), Member::Insert, m_sequence.insert, 0,
                                record.line};
            finishObject(std::move(attribute), record.line, &member);
        }
        return;
    }
    if (m_sequence.insert != nullptr && type == "SEQEND") {
        splitHead(record.tags, 5, m_head);
        m_seqends[m_sequence.insert] = claimOther(m_head.handle);
        m_sequence = {};
        return;
    }
    if (m_sequence.kept != nullptr) {
        m_sequence.kept->kept().children.push_back(childOf(type, record.tags));
        if (type == "SEQEND") {
            m_sequence = {};
        }
        return;
    }
    if (type != "SEQEND") {
        m_report.add(Fix::MisplacedRecord, record.line,
                     std::string(type) + " without the entity it belongs to was left out");
    }
}

void DrawingReader::closeSequence() {
    if (m_r12Polyline != nullptr) {
        finishR12Polyline();
    }
    m_sequence = {};
}

void DrawingReader::finishR12Polyline() {
    std::unique_ptr<R12Polyline> polyline = std::move(m_r12Polyline);
    const Record& head = polyline->records.front();
    const std::string_view type = m_context.recordType();
    const std::uint32_t line = m_context.recordLine();
    m_context.beginRecord(head.type, head.line);
    if (!convertR12Polyline(*polyline)) {
        keepR12Polyline(*polyline);
    }
    m_context.beginRecord(type, line);
}

// A 2D polyline without fitted vertices becomes a lightweight polyline.
bool DrawingReader::convertR12Polyline(const R12Polyline& polyline) {
    std::vector<TagView> tags;
    const Record& head = polyline.records.front();
    for (const TagView tag : head.tags) {
        tags.push_back(tag);
    }
    const int flags = flagsOf(tags);
    if ((flags & ~(1 | 128)) != 0) {
        return false;
    }
    for (size_t i = 1; i < polyline.records.size(); ++i) {
        std::vector<TagView> vertex(polyline.records[i].tags.begin(),
                                    polyline.records[i].tags.end());
        if ((flagsOf(vertex) & ~2) != 0) {
            return false;
        }
    }
    // The body of the equivalent LWPOLYLINE.
    splitHead(tags, 5, m_head);
    std::vector<TagView> body;
    std::string_view startWidth = "0", endWidth = "0";
    for (const TagView& tag : m_head.body) {
        switch (tag.code) {
            case 30:
                body.push_back({38, tag.value, tag.line});
                break;
            case 40:
                startWidth = tag.value;
                break;
            case 41:
                endWidth = tag.value;
                break;
            case 70:
                body.push_back({70, (flags & 1) ? "1" : "0", tag.line});
                break;
            case 10:
            case 20:
            case 66:
            case 71:
            case 72:
            case 73:
            case 74:
            case 75:
                break;
            default:
                body.push_back(tag);
        }
    }
    for (size_t i = 1; i < polyline.records.size(); ++i) {
        const Record& vertex = polyline.records[i];
        std::string_view x = "0", y = "0", sw = startWidth, ew = endWidth, bulge = "0";
        for (const TagView tag : vertex.tags) {
            switch (tag.code) {
                case 10:
                    x = tag.value;
                    break;
                case 20:
                    y = tag.value;
                    break;
                case 40:
                    sw = tag.value;
                    break;
                case 41:
                    ew = tag.value;
                    break;
                case 42:
                    bulge = tag.value;
                    break;
                default:
                    break;
            }
        }
        body.insert(body.end(), {{10, x, 0}, {20, y, 0}, {40, sw, 0}, {41, ew, 0}, {42, bulge, 0}});
    }
    auto entity = std::make_unique<AcDbPolyline>();
    polylineCodec().read(*entity, body, m_context);
    Member member = placeEntity(entity.get());
    if (!polyline.inEntities) {
        member = {entity.get(), Member::Block, m_block, 0, head.line};
    }
    finishObject(std::move(entity), head.line, &member);
    return true;
}

// Any other R12 polyline is kept, with the markers of its 2013 form.
void DrawingReader::keepR12Polyline(const R12Polyline& polyline) {
    const Record& head = polyline.records.front();
    std::vector<TagView> tags(head.tags.begin(), head.tags.end());
    const int flags = flagsOf(tags);
    splitHead(tags, 5, m_head);
    splitCommon(m_head.body, m_common, m_rest);
    auto kept = std::make_unique<KeptEntity>("POLYLINE");
    FieldReader reader(kEntitySubclass.fields, m_context, 0);
    for (const TagView& tag : m_common) {
        reader.read(tag);
    }
    reader.apply(*kept);
    readDefaults(*kept, std::span<const SubclassDef>(&kEntitySubclass, 1), m_common);
    m_context.extras() = ObjectExtras();
    m_scratch.clear();
    markR12Polyline(flags, m_rest, m_scratch);
    for (const TagView& tag : m_scratch) {
        kept->kept().body.add(tag.code, tag.value);
    }
    std::vector<std::vector<TagView>> children;
    for (size_t i = 1; i <= polyline.records.size(); ++i) {
        const bool seqend = i == polyline.records.size();
        std::vector<TagView> child;
        if (!seqend) {
            child.assign(polyline.records[i].tags.begin(), polyline.records[i].tags.end());
        }
        std::vector<TagView> common, rest, marked{{kSubclassCode, "AcDbEntity", 0}};
        splitCommon(child, common, rest);
        marked.insert(marked.end(), common.begin(), common.end());
        if (firstValue(common, 8).empty()) {
            marked.push_back({8, firstValue(m_common, 8).empty() ? "0" : firstValue(m_common, 8), 0});
        }
        if (!seqend) {
            std::erase_if(rest, [](const TagView& t) { return t.code == kHandleCode; });
            markR12Vertex(flagsOf(rest), rest, marked);
        }
        KeptChild c;
        c.type = seqend ? "SEQEND" : "VERTEX";
        c.handle = seqend ? 0 : claimOther(firstValue(child, kHandleCode));
        for (const TagView& tag : marked) {
            c.tags.add(tag.code, tag.value);
        }
        kept->kept().children.push_back(std::move(c));
    }
    Member member = placeEntity(kept.get());
    if (!polyline.inEntities) {
        member = {kept.get(), Member::Block, m_block, 0, head.line};
    }
    m_withChildren.push_back(kept.get());
    finishObject(std::move(kept), head.line, &member);
}

// ---- OBJECTS ----

void DrawingReader::objectRecord(const RecordView& record) {
    splitHead(record.tags, 5, m_head);
    const Codec* codec = codecForType(record.type);
    std::unique_ptr<AcDbObject> object;
    if (codec != nullptr && !isEntity(codec) && codec->canModel(m_head.body)) {
        object = codec->create();
        codec->read(*object, m_head.body, m_context);
    } else {
        object = makeKept(record.type, false);
        for (const TagView& tag : m_head.body) {
            keptTagsOf(*object)->body.add(tag.code, tag.value);
        }
    }
    if (m_roots.namedObjects == nullptr && AcDbDictionary::cast(object.get()) != nullptr) {
        m_roots.namedObjects = object.get();
    }
    if (m_head.hasOwner) {
        m_context.referByHandle(
            *object, m_head.owner,
            [](AcDbObject& o, AcDbObjectId owner, const RefArgs&) {
                ObjectAccess::setOwner(o, owner);
            },
            "owner", {}, Fix::MissingOwner);
    }
    m_objectOrder.push_back(object.get());
    finishObject(std::move(object), record.line);
}

// ---- after the last record ----

void DrawingReader::adoptPending() {
    std::uint64_t next = std::max({m_maxHandle + 1, m_header.handseed, m_db.handseed().value()});
    for (Pending& p : m_pending) {
        AcDbObjectId id;
        const std::uint64_t handle = next++;
        if (!p.extras.empty()) {
            m_data->extrasFor(handle) = std::move(p.extras);
        }
        m_db.qvAdopt(id, p.object, AcDbHandle(handle), AcDbObjectId::kNull);
    }
    m_pending.clear();
}

bool DrawingReader::applyMember(const Member& m, bool last) {
    const AcDbObjectId id = m.object->objectId();
    if (id.isNull()) {
        return false;
    }
    AcDbObject* container = m.container;
    switch (m.kind) {
        case Member::BlockHandle: {
            if (m.handle != m_lastOwner.handle) {  // entities of one block come one after another
                AcDbObjectId owner;
                m_db.getAcDbObjectId(owner, false, AcDbHandle(m.handle));
                container = AcDbBlockTableRecord::cast(ObjectAccess::peek(owner));
                if (container != nullptr) {
                    m_lastOwner = {m.handle, container};
                }
            } else {
                container = m_lastOwner.block;
            }
            if (container == nullptr) {
                if (!last) {
                    return false;
                }
                m_report.add(Fix::MissingOwner, m.line,
                             "the owner " + handleText(m.handle) +
                                 " of an entity is no block; the entity was put in model space");
                container = m_roots.modelSpace;
            }
            break;
        }
        case Member::ModelSpace:
            container = m_roots.modelSpace;
            break;
        case Member::PaperSpace:
            container = m_roots.paperSpace;
            break;
        case Member::BlockTable:
            container = m_roots.table("BLOCK_RECORD");
            break;
        case Member::KeptTable: {
            const AcDbObjectId head = m_keptHeads[m.handle]->objectId();
            if (head.isNull()) {
                return false;
            }
            m_data->keptTables[m.handle].entries.push_back(id);
            ObjectAccess::setOwner(*m.object, head);
            return true;
        }
        case Member::Block:
        case Member::Insert:
        case Member::Table:
            break;
    }
    if (container == nullptr || container->objectId().isNull()) {
        return last;  // (nothing to put it in: it stays without owner)
    }
    ObjectAccess::setOwner(*m.object, container->objectId());
    if (auto* block = AcDbBlockTableRecord::cast(container)) {
        block->qvAppendEntityId(id);
    } else if (auto* insert = AcDbBlockReference::cast(container)) {
        insert->qvAppendAttributeId(id);
    } else if (auto* table = AcDbSymbolTable::cast(container)) {
        table->qvAppendRecord(id);
    }
    return true;
}

// Members that waited: entities and records that got their handles last, R12 blocks and
// entities whose spaces were made when the file was read.
void DrawingReader::applyMembers() {
    for (const Member& m : m_members) {
        applyMember(m, true);
    }
    m_members.clear();
}

void DrawingReader::registerApplications() {
    for (const std::wstring& app : m_applications) {
        const std::string name = qv::wideToUtf8(app);
        if (m_context.findName(NameTable::RegApp, name) == nullptr) {
            addRegisteredApplication(m_db, m_roots, m_context, app);
            m_report.add(Fix::MissingReference, 0,
                         "extended data of the application " + name +
                             ", which was not registered; it was registered");
        }
    }
}

void DrawingReader::settleOtherHandles() {
    // BLOCK, ENDBLK and SEQEND handles that an object took after all get new ones on writing.
    auto settle = [&](std::uint64_t& handle) {
        AcDbObjectId id;
        if (handle != 0 && m_db.getAcDbObjectId(id, false, AcDbHandle(handle)) == Acad::eOk) {
            handle = 0;
        }
    };
    for (auto& [block, ends] : m_blockEnds) {
        settle(ends.begin);
        settle(ends.end);
        m_data->blockEnds[block->objectId().handle().value()] = ends;
    }
    for (auto& [insert, seqend] : m_seqends) {
        settle(seqend);
        m_data->seqends[insert->objectId().handle().value()] = seqend;
    }
    for (KeptEntity* entity : m_withChildren) {
        for (KeptChild& child : entity->kept().children) {
            settle(child.handle);
        }
    }
}

void DrawingReader::finish() {
    closeSequence();
    if (!m_headerSeen && !r12()) {
        m_report.add(Fix::AddedStructure, 0, "the drawing has no HEADER section");
    }
    if (m_header.handseed != 0 && m_header.handseed <= m_maxHandle) {
        m_report.add(Fix::HandleSeed, 0,
                     "$HANDSEED " + handleText(m_header.handseed) +
                         " was not above every handle; it was raised");
    }
    adoptPending();
    m_db.qvSetHandseed(AcDbHandle(std::max(m_maxHandle + 1, m_header.handseed)));

    for (size_t i = 0; i < m_data->keptTables.size(); ++i) {
        m_data->keptTables[i].head = m_keptHeads[i]->objectId();
    }
    completeStructure(m_db, m_roots, m_context);
    applyMembers();
    nameRoots(m_db, m_roots);
    m_context.resolve(missingName);
    registerApplications();
    settleOtherHandles();
    for (AcDbObject* object : m_objectOrder) {
        m_data->objectOrder.push_back(object->objectId());
    }
    applyHeader(m_header, m_db, m_context);
    // Layouts for the blocks of model and paper space that have none (R12 drawings have none).
    const std::uint64_t before = m_db.handseed().value();
    m_db.qvAddMissingDefaults();
    for (std::uint64_t handle = before; handle < m_db.handseed().value(); ++handle) {
        AcDbObjectId id;
        if (m_db.getAcDbObjectId(id, false, AcDbHandle(handle)) == Acad::eOk &&
            AcDbEntity::cast(ObjectAccess::peek(id)) == nullptr &&
            AcDbSymbolTableRecord::cast(ObjectAccess::peek(id)) == nullptr) {
            m_data->objectOrder.push_back(id);
        }
    }
    m_db.qvSetFileData(std::move(m_data));
}

}  // namespace

namespace {

void read(std::string_view bytes, AcDbDatabase& database, AuditReport& report,
          MappedFile* mapped) {
    DecodedText decoded = decodeDxfText(bytes, report);
    auto data = std::make_unique<FileData>();
    data->version = decoded.version;
    data->sourceBytes = bytes.size();
    DrawingReader reader(database, report, std::move(data));
    if (mapped != nullptr && !decoded.isConverted) {
        mapped->releaseAll();  // what the decoding looked at
        reader.setRelease([mapped](const char* upTo) { mapped->release(upTo); });
    }
    splitRecords(decoded.text(), reader, report);
    reader.finish();
}

}  // namespace

void readDrawing(std::string_view bytes, AcDbDatabase& database, AuditReport& report) {
    read(bytes, database, report, nullptr);
}

void readDrawing(MappedFile& file, AcDbDatabase& database, AuditReport& report) {
    read(file.bytes(), database, report, &file);
}

}  // namespace qv::dxf
