#include "host/dxf/DrawingReader.h"

#include "host/dxf/DrawingReaderState.h"

#include <array>

#include "host/GroupCodes.h"

namespace qv::dxf {
namespace reading {

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
    const bool marked = std::any_of(body.begin(), body.end(),
                                    [](const TagView& t) { return t.code == kSubclassCode; });
    if (marked && body[0].code != kSubclassCode) {
        // The tags before the first marker are the entity's own (where the writer puts them).
        for (; i < body.size() && body[i].code != kSubclassCode; ++i) {
            common.push_back(body[i]);
        }
        rest.assign(body.begin() + static_cast<long>(i), body.end());
        return;
    }
    if (marked && trimBlanks(body[0].value) != "AcDbEntity") {
        rest.assign(body.begin(), body.end());  // no AcDbEntity part: everything is kept
        return;
    }
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

bool isTableEntryType(std::string_view type) {
    return StructureRoots::tableIndex(type) >= 0 || isKeptTableName(type);
}

namespace {

bool isEntityCode(int code) {
    // (the AcDbEntity codes the host keeps without modelling them, too)
    return code != kSubclassCode && (isCommonCode(code) || code == 410 || code == 284 ||
                                     code == 347 || code == 390 || code == 430 || code == 440);
}

// Whether a subclass of the codec takes that code as a field of its own (unknown subclasses
// and those with their own reader are taken to, to be safe).
bool subclassTakes(std::span<const SubclassDef> own, std::string_view marker, int code) {
    for (const SubclassDef& def : own) {
        if (def.marker == marker) {
            return def.readAll != nullptr ||
                   std::any_of(def.fields.begin(), def.fields.end(),
                               [&](const Field& f) { return f.code == code; });
        }
    }
    return true;
}

}  // namespace

void gatherEntityTags(RecordHead& head, std::span<const SubclassDef> own) {
    const std::span<const TagView> body = head.body;
    auto isMarker = [](const TagView& t, std::string_view name) {
        return t.code == kSubclassCode && trimBlanks(t.value) == name;
    };
    const auto entityMarker = std::find_if(
        body.begin(), body.end(), [&](const TagView& t) { return isMarker(t, "AcDbEntity"); });
    if (entityMarker == body.end()) {
        return;
    }
    // (scratch kept from record to record: most records have nothing to gather)
    static thread_local std::vector<TagView> entityPart, later;
    static thread_local std::vector<int> present;  // the codes the AcDbEntity part has
    entityPart.clear();
    later.clear();
    present.clear();
    bool moved = false;
    // Up to the end of the AcDbEntity part, as it is.
    const size_t partEnd =
        static_cast<size_t>(std::find_if(entityMarker + 1, body.end(),
                                         [](const TagView& t) { return t.code == kSubclassCode; }) -
                            body.begin());
    size_t i = 0;
    for (; i < partEnd; ++i) {
        entityPart.push_back(body[i]);
        present.push_back(body[i].code);
    }
    std::string_view marker;
    bool leading = false;  // in the tags right after a subclass marker
    for (; i < body.size(); ++i) {
        const TagView& tag = body[i];
        if (tag.code == kSubclassCode) {
            marker = trimBlanks(tag.value);
            leading = true;
            later.push_back(tag);
            continue;
        }
        const bool common = !marker.empty() && isEntityCode(tag.code);
        if (common && std::find(present.begin(), present.end(), tag.code) == present.end() &&
            (leading || !subclassTakes(own, marker, tag.code))) {
            entityPart.push_back(tag);
            present.push_back(tag.code);
            moved = true;
            continue;
        }
        leading = leading && common;
        later.push_back(tag);
    }
    if (!moved) {
        return;
    }
    entityPart.insert(entityPart.end(), later.begin(), later.end());
    head.bodyStore.assign(entityPart.begin(), entityPart.end());
    head.body = head.bodyStore;
}

void DrawingReader::splitRecord(std::span<const TagView> tags, int handleCode) {
    splitHead(tags, handleCode, m_head);
    takeLateHandles(handleCode, m_head);
    for (const TagView& tag : m_head.extraHandles) {
        m_report.add(Fix::InvalidValue, tag.line != 0 ? tag.line : m_context.recordLine(),
                     std::string(m_context.recordType()) + " has a second handle '" +
                         std::string(trimBlanks(tag.value)) + "'; it was left out");
    }
}

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
    m_unknownTable = false;
    if (m_block != nullptr) {
        m_report.add(Fix::MisplacedRecord, 0, "a block ends without ENDBLK");
    }
    m_block = nullptr;
    m_part = Part::Other;
}

namespace {

// What a group code is to a point: 1 its X, 2 its Y (whose X is the code less 10), 0 neither.
// (Extended data is read item by item and left aside.)
int pointRole(int code) {
    static const auto roles = [] {
        std::array<std::uint8_t, kXDataAppCode> r{};
        for (int c = 0; c < kXDataAppCode; ++c) {
            if (qv::host::groupType(c) == qv::host::GroupType::PointX) {
                r[static_cast<size_t>(c)] = 1;
                if (c + 10 < kXDataAppCode) {
                    r[static_cast<size_t>(c + 10)] = 2;
                }
            }
        }
        return r;
    }();
    return code >= 0 && code < kXDataAppCode ? roles[static_cast<size_t>(code)] : 0;
}

// Whether each point before the extended data has its X and right after it its Y.
bool pointsWhole(std::span<const TagView> tags) {
    for (size_t i = 0; i < tags.size() && tags[i].code != kXDataAppCode; ++i) {
        const int code = tags[i].code;
        switch (pointRole(code)) {
            case 1:
                if (i + 1 == tags.size() || tags[i + 1].code != code + 10) {
                    return false;
                }
                ++i;
                break;
            case 2:
                return false;  // (a Y that follows its X was passed over with it)
            default:
                break;
        }
    }
    return true;
}

}  // namespace

void DrawingReader::completePoints(const RecordView& record) {
    m_completed.type = record.type;
    m_completed.line = record.line;
    std::vector<TagView>& out = m_completed.tags;
    out.clear();
    const std::vector<TagView>& tags = record.tags;
    auto report = [&](int code, char axis, std::uint32_t line) {
        m_report.add(Fix::InvalidValue, line,
                     "the point of group code " + std::to_string(code) + " of " +
                         std::string(record.type) + " has no " + axis + "; 0 was put in its place");
    };
    size_t i = 0;
    for (; i < tags.size() && tags[i].code != kXDataAppCode; ++i) {
        const TagView& tag = tags[i];
        const int role = pointRole(tag.code);
        if (role == 2 && (i == 0 || tags[i - 1].code != tag.code - 10)) {
            out.push_back({tag.code - 10, "0", tag.line});
            report(tag.code - 10, 'x', tag.line);
        }
        out.push_back(tag);
        if (role == 1 && (i + 1 == tags.size() || tags[i + 1].code != tag.code + 10)) {
            out.push_back({tag.code + 10, "0", tag.line});
            report(tag.code, 'y', tag.line);
        }
    }
    out.insert(out.end(), tags.begin() + static_cast<long>(i), tags.end());
}

void DrawingReader::record(const RecordView& record) {
    // Every record before this one is read: no view into the text before it is left.
    constexpr std::ptrdiff_t kReleaseStep = 1 << 20;
    if (m_release && (m_released == nullptr || record.type.data() - m_released > kReleaseStep)) {
        m_released = record.type.data();
        m_release(m_released);
    }
    m_context.beginRecord(record.type, record.line);
    if (m_part != Part::Header && m_part != Part::Classes && !pointsWhole(record.tags)) {
        completePoints(record);
        dispatch(m_completed);
        return;
    }
    dispatch(record);
}

void DrawingReader::dispatch(const RecordView& record) {
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

namespace {

// Whether a header variable's tags hold a value: some tag, and no point with its x or y missing
// (what is left when the reader dropped values that did not parse).
bool hasReadableValue(std::span<const TagView> tags) {
    auto has = [&](int code) {
        return std::any_of(tags.begin(), tags.end(),
                           [&](const TagView& t) { return t.code == code; });
    };
    return !tags.empty() && std::none_of(tags.begin(), tags.end(), [&](const TagView& t) {
        return (t.code >= 10 && t.code <= 18 && !has(t.code + 10)) ||
               (t.code >= 20 && t.code <= 28 && !has(t.code - 10)) ||
               (t.code >= 30 && t.code <= 38 && (!has(t.code - 20) || !has(t.code - 10)));
    });
}

}  // namespace

void DrawingReader::headerVariable(const RecordView& record) {
    m_headerSeen = true;
    const HeaderVariable* modelled = findHeaderVariable(record.type);
    if (!hasReadableValue(record.tags)) {
        // Never written back empty: a modelled variable takes the drawing's default, any other
        // is left out.
        m_report.add(Fix::UnreadableHeader, record.line,
                     "the value of " + std::string(record.type) + " cannot be read; " +
                         (modelled != nullptr ? "the default was kept" : "it was left out"));
        if (modelled == nullptr) {
            return;
        }
        m_data->header.push_back({std::string(record.type), record.line, {}});
        return;
    }
    m_data->header.push_back(record.toRecord());
    if (const HeaderVariable* variable = modelled) {
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
                                 std::span<const TagView> body, bool layer) {
    bool present[3] = {false, false, false};  // 8, 6, 7
    for (const TagView& tag : body) {
        present[0] = present[0] || tag.code == 8;
        present[1] = present[1] || tag.code == 6;
        present[2] = present[2] || tag.code == 7;
    }
    static constexpr int kCodes[] = {8, 6, 7};
    const std::string_view values[] = {"0", layer ? "Continuous" : "ByLayer", "Standard"};
    for (size_t d = 0; d < 3; ++d) {
        if (present[d]) {
            continue;
        }
        for (const SubclassDef& subclass : subclasses) {
            const auto field = std::find_if(subclass.fields.begin(), subclass.fields.end(),
                                            [&](const Field& f) { return f.code == kCodes[d]; });
            if (field != subclass.fields.end()) {
                FieldValue value;
                value.clear();
                value.text = values[d];
                value.seen = 1;
                field->read(entity, value, m_context);  // (names are never refused)
                break;
            }
        }
    }
}

std::uint64_t DrawingReader::claimOther(std::string_view handle) {
    std::uint64_t value = 0;
    if (!parseHandle(handle, value) || value == 0 || value > kLargestFileHandle ||
        !m_otherHandles.insert(value).second) {
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
            problem =
                std::string(type) + (m_head.hasHandle ? " has an empty handle" : " has no handle");
        }
    } else if (!parseHandle(m_head.handle, handle) || handle == 0) {
        problem = std::string(type) + " has an invalid handle '" + std::string(m_head.handle) + "'";
        handle = 0;
    } else if (handle > kLargestFileHandle) {
        problem = std::string(type) + " has the handle " + std::string(trimBlanks(m_head.handle)) +
                  ", too large to continue from";
        handle = 0;
    }
    AcDbObjectId id;
    if (handle != 0 &&
        m_db.qvAdopt(id, object, AcDbHandle(handle), AcDbObjectId::kNull) == Acad::eOk) {
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
        problem =
            "handle " + std::string(trimBlanks(m_head.handle)) + " of " + std::string(type) +
            " is already used by " +
            (kept    ? kept->type
             : first ? std::string(codecForObject(*first) ? codecForObject(*first)->type()
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
        splitRecord(record.tags);
        m_tableName = std::string(trimBlanks(firstValue(m_head.body, kNameCode)));
        m_entryType = m_tableName;
        // (the name is written apart, before the handle)
        m_tableBody.assign(m_head.body.begin(), m_head.body.end());
        std::erase_if(m_tableBody, [](const TagView& t) { return t.code == kNameCode; });
        m_head.body = m_tableBody;
        std::unique_ptr<AcDbObject> table;
        m_keptTable = -1;
        m_unknownTable = false;
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
        } else if (!isKeptTableName(m_tableName)) {
            // No program reads a table of another name (a file that holds one is refused
            // whole): it is left out, and its entries join the tables of their types.
            m_report.add(Fix::MisplacedRecord, record.line,
                         (m_tableName.empty() ? std::string("a table without a name")
                                              : "table " + m_tableName) +
                             " is no table of a drawing; it was left out");
            m_table = nullptr;
            m_unknownTable = true;
            return;
        } else {
            for (size_t i = 0; i < m_data->keptTables.size(); ++i) {
                if (m_data->keptTables[i].name == m_tableName) {
                    m_report.add(Fix::MisplacedRecord, record.line,
                                 "a second " + m_tableName + " table; its entries join the first");
                    m_keptTable = static_cast<int>(i);
                    m_table = m_keptHeads[i];
                    return;
                }
            }
            auto kept = std::make_unique<KeptObject>("TABLE");
            if (r12()) {
                m_scratch.clear();
                markR12TableHead(m_head.body, m_scratch);
            } else {
                m_scratch.assign(m_head.body.begin(), m_head.body.end());
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
        m_unknownTable = false;
        return;
    }
    if (m_table == nullptr || type != m_entryType) {
        strayEntry(record);
        return;
    }
    tableEntry(record, m_keptTable < 0
                           ? Member{nullptr, Member::Table, m_table, 0, record.line}
                           : Member{nullptr, Member::KeptTable, nullptr,
                                    static_cast<std::uint64_t>(m_keptTable), record.line});
}

std::string DrawingReader::strayPlace() const {
    switch (m_part) {
        case Part::Blocks:
            return " in the BLOCKS section";
        case Part::Entities:
            return " among the entities";
        default:
            break;
    }
    if (m_table == nullptr && !m_unknownTable) {
        return " outside a table";
    }
    return m_tableName.empty() ? " in a table without a name" : " in the table " + m_tableName;
}

void DrawingReader::strayEntry(const RecordView& record) {
    const std::string type(record.type);
    const std::string where = strayPlace();
    Member member{nullptr, Member::Table, m_roots.table(type), 0, record.line};
    const auto keptTable = std::find_if(m_data->keptTables.begin(), m_data->keptTables.end(),
                                        [&](const KeptTable& t) { return t.name == type; });
    const auto standard = std::find(std::begin(kKeptTableNames), std::end(kKeptTableNames), type);
    if (const int root = StructureRoots::tableIndex(type); root >= 0) {
        if (member.container == nullptr) {  // (its table comes later, or is added)
            member.kind = Member::RootTable;
            member.handle = static_cast<std::uint64_t>(root);
        }
    } else if (keptTable != m_data->keptTables.end()) {
        member.kind = Member::KeptTable;
        member.handle = static_cast<std::uint64_t>(keptTable - m_data->keptTables.begin());
    } else if (standard != std::end(kKeptTableNames)) {
        member.kind = Member::StandardKeptTable;
        member.handle = static_cast<std::uint64_t>(standard - std::begin(kKeptTableNames));
    } else {
        m_report.add(Fix::MisplacedRecord, record.line, type + where + " was left out");
        return;
    }
    m_report.add(Fix::MisplacedRecord, record.line, type + where + " was put in the table " + type);
    tableEntry(record, member);
}

void DrawingReader::tableEntry(const RecordView& record, Member member) {
    const std::string_view type = record.type;
    splitRecord(record.tags, handleCodeOf(type));
    std::unique_ptr<AcDbObject> entry;
    const Codec* codec = codecForType(type);
    if ((member.kind == Member::Table || member.kind == Member::RootTable) && codec != nullptr) {
        if (joinMadeBlockRecord(*codec, record.line)) {
            return;
        }
        entry = codec->create();
        codec->read(*entry, m_head.body, m_context);
        if (AcDbLayerTableRecord::cast(entry.get()) != nullptr) {
            readDefaults(*entry, codec->subclasses(), m_head.body, true);  // linetype
        }
        if (auto* block = AcDbBlockTableRecord::cast(entry.get());
            block && block->qvName().empty()) {
            // A block needs a name: references find it by its name.
            const std::string name = anonymousBlockName();
            block->qvSetName(qv::utf8ToWide(name));
            m_context.nameObject(NameTable::Block, block->qvName(), block);
            m_report.add(Fix::RefusedValue, record.line,
                         "a block without a name was named " + name);
        }
    } else {
        auto kept = std::make_unique<KeptObject>(std::string(type));
        if (r12()) {
            m_scratch.clear();
            markR12TableEntry(type, m_head.body, m_scratch);
        } else {
            m_scratch.assign(m_head.body.begin(), m_head.body.end());
        }
        for (const TagView& tag : m_scratch) {
            kept->kept().body.add(tag.code, tag.value);
        }
        entry = std::move(kept);
    }
    member.object = entry.get();
    finishObject(std::move(entry), record.line, &member);
}

bool DrawingReader::joinMadeBlockRecord(const Codec& codec, std::uint32_t line) {
    if (codec.type() != "BLOCK_RECORD" || m_madeRecords.empty()) {
        return false;
    }
    const std::string_view name = trimBlanks(firstValue(m_head.body, kNameCode));
    AcDbObject* made = name.empty() ? nullptr : m_context.findName(NameTable::Block, name);
    const auto pending = std::find_if(m_pending.begin(), m_pending.end(),
                                      [&](const Pending& p) { return p.object.get() == made; });
    if (made == nullptr || !m_madeRecords.contains(made) || pending == m_pending.end()) {
        return false;
    }
    m_madeRecords.erase(made);
    std::unique_ptr<AcDbObject> record = std::move(pending->object);
    const ObjectExtras fromBlock = std::move(pending->extras);
    m_pending.erase(pending);
    codec.read(*record, m_head.body, m_context);
    // (the BLOCK's leftovers, each run after its place, follow those of the record)
    for (const TagView tag : fromBlock.tags) {
        m_context.extras().tags.add(tag.code, tag.value);
    }
    // (it was put in the block table when it was made)
    finishObject(std::move(record), line);
    return true;
}

// ---- OBJECTS ----

void DrawingReader::objectRecord(const RecordView& record) {
    splitHead(record.tags, 5, m_head);  // (a SORTENTSTABLE's sort handles are 5, too)
    const Codec* codec = codecForType(record.type);
    std::unique_ptr<AcDbObject> object;
    // (table entries out of their tables are kept as read)
    if (codec != nullptr && !isEntity(codec) &&
        !codec->hostClass()->isDerivedFrom(AcDbSymbolTableRecord::desc()) &&
        codec->canModel(m_head.body)) {
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
                // (an entity of paper space stays on paper, in the current layout's block)
                const bool paper = m.paper && m_roots.paperSpace != nullptr;
                m_report.add(Fix::MissingOwner, m.line,
                             "the owner " + handleText(m.handle) +
                                 " of an entity is no block; the entity was put in " +
                                 (paper ? "paper space" : "model space"));
                container = paper ? m_roots.paperSpace : m_roots.modelSpace;
            }
            break;
        }
        case Member::ModelSpace:
            container = m_roots.modelSpace;
            break;
        case Member::PaperSpace:
            container = m_roots.paperSpace;
            break;
        case Member::RootTable:
            container = m_roots.tables[m.handle];
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
        case Member::StandardKeptTable: {
            // (once the file is read: its table may come later, or be added)
            const std::string_view name = kKeptTableNames[m.handle];
            auto& tables = m_data->keptTables;
            const auto table = std::find_if(tables.begin(), tables.end(),
                                            [&](const KeptTable& t) { return t.name == name; });
            if (!last || table == tables.end() || table->head.isNull()) {
                return false;
            }
            table->entries.push_back(id);
            ObjectAccess::setOwner(*m.object, table->head);
            return true;
        }
        case Member::Block:
        case Member::Insert:
        case Member::Table:
            break;
    }
    if (container == nullptr || container->objectId().isNull()) {
        if (!last) {
            return false;
        }
        if (AcDbEntity::cast(m.object) == nullptr || m_roots.modelSpace == nullptr) {
            return true;  // (nothing to put it in: it stays without owner)
        }
        m_report.add(Fix::MisplacedRecord, m.line,
                     "an entity without a block was put in model space");
        container = m_roots.modelSpace;
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

void DrawingReader::followRenamedLayers() {
    auto follow = [&](TagList& tags, size_t at) {
        const std::string named(tags[at].value);
        const auto* layer = AcDbLayerTableRecord::cast(m_context.findName(NameTable::Layer, named));
        if (layer != nullptr && foldedName(layer->qvName()) != foldedName(qv::utf8ToWide(named))) {
            tags.setValue(at, qv::wideToUtf8(layer->qvName()));
        }
    };
    for (KeptTags* kept : m_withChildren) {
        for (KeptChild& child : kept->children) {
            const size_t at = child.tags.find(8, child.groupTags);
            if (at != child.tags.size()) {
                follow(child.tags, at);
            }
        }
    }
    for (const auto& [block, line] : m_blockLayers) {
        if (const auto [tags, at] = blockLayerOf(block); tags != nullptr) {
            follow(*tags, at);
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
    for (KeptTags* kept : m_withChildren) {
        for (KeptChild& child : kept->children) {
            settle(child.handle);
        }
    }
}

void DrawingReader::finish() {
    closeSequence();
    if (!m_headerSeen && !r12()) {
        m_report.add(Fix::AddedStructure, 0, "the drawing has no HEADER section");
    }
    if (m_header.handseed > kLargestFileHandle) {
        m_report.add(Fix::HandleSeed, 0,
                     "$HANDSEED " + handleText(m_header.handseed) +
                         " is too large to continue from; the seed follows the largest handle");
        m_header.handseed = 0;
    } else if (m_header.handseed != 0 && m_header.handseed <= m_maxHandle) {
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
    addBlockLayers();
    if (m_context.repairLayerNames()) {
        followRenamedLayers();
    }
    registerApplications();
    breakBlockCycles();
    settleOtherHandles();
    for (AcDbObject* object : m_objectOrder) {
        m_data->objectOrder.push_back(object->objectId());
    }
    applyHeader(m_header, m_db, m_context);
    // Layouts for the blocks of model and paper space that have none (R12 drawings have none).
    // An entry "ACAD_LAYOUT" that is no dictionary makes way for the layouts' dictionary.
    if (auto* named = AcDbDictionary::cast(m_roots.namedObjects)) {
        AcDbObjectId entry;
        if (named->getAt(L"ACAD_LAYOUT", entry) == Acad::eOk &&
            AcDbDictionary::cast(ObjectAccess::peek(entry)) == nullptr) {
            std::wstring key;
            for (int n = 1; key.empty() || named->has(key.c_str()); ++n) {
                key = L"ACAD_LAYOUT$" + std::to_wstring(n);
            }
            ObjectAccess::changeOwned(*named, [&] { named->setName(L"ACAD_LAYOUT", key.c_str()); });
            m_report.add(Fix::DuplicateName, 0,
                         "the entry ACAD_LAYOUT of the named-object dictionary is no dictionary; "
                         "it was renamed " +
                             qv::wideToUtf8(key));
        }
    }
    settleLayouts();
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

}  // namespace reading

namespace {

using reading::DrawingReader;

void read(std::string_view bytes, AcDbDatabase& database, AuditReport& report, MappedFile* mapped) {
    DecodedText decoded = decodeDxfText(bytes, report);
    auto data = std::make_unique<FileData>();
    data->version = decoded.version;
    data->sourceBytes = bytes.size();
    DrawingReader reader(database, report, std::move(data));
    if (mapped != nullptr && !decoded.isConverted) {
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
