// Reading blocks and entities, with the records that follow an entity.
#include "host/dxf/DrawingReaderState.h"

namespace qv::dxf::reading {

// ---- BLOCKS ----

void DrawingReader::beginBlock(const RecordView& record) {
    if (m_block != nullptr) {
        m_report.add(Fix::MisplacedRecord, record.line,
                     "BLOCK before the ENDBLK of the one before");
    }
    splitRecord(record.tags);
    std::string name(trimBlanks(firstValue(m_head.body, kNameCode)));
    if (r12()) {
        if (foldedName(qv::utf8ToWide(name)) == L"$MODEL_SPACE") {
            name = "*Model_Space";
        } else if (foldedName(qv::utf8ToWide(name)) == L"$PAPER_SPACE") {
            name = "*Paper_Space";
        }
    }
    // The block's record: its owner (from 2000 on), or the record of its name.
    AcDbObject* block = nullptr;
    std::uint64_t owner = 0;
    if (m_head.hasOwner && parseHandle(m_head.owner, owner) && owner != 0) {
        AcDbObjectId id;
        m_db.getAcDbObjectId(id, false, AcDbHandle(owner));
        block = AcDbBlockTableRecord::cast(ObjectAccess::peek(id));
    }
    if (block == nullptr && !name.empty()) {
        block = m_context.findName(NameTable::Block, name);
    }
    if (block == nullptr) {
        // No BLOCK_RECORD table (R12) or no entry for this block: the block gets a record.
        auto made = std::make_unique<AcDbBlockTableRecord>();
        if (name.empty()) {
            name = anonymousBlockName();
            m_report.add(Fix::RefusedValue, record.line,
                         "a block without a name was named " + name);
        }
        made->qvSetName(qv::utf8ToWide(name));
        m_context.nameObject(NameTable::Block, made->qvName(), made.get());
        block = made.get();
        m_madeRecords.insert(block);
        m_members.push_back({block, Member::RootTable, nullptr,
                             static_cast<std::uint64_t>(StructureRoots::tableIndex("BLOCK_RECORD")),
                             record.line});
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
        // Paper space is known from the block's name; layer 0 (what an empty name means too) is
        // what the writer gives.
        if (tag.code == 67 ||
            (tag.code == 8 && (trimBlanks(tag.value) == "0" || trimBlanks(tag.value).empty()))) {
            continue;
        }
        if (tag.code == 8) {
            m_blockLayers.push_back({block, tag.line != 0 ? tag.line : record.line});
        }
        m_context.leftover({kBlockBeginPlace, -1}, tag);
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
                ObjectAccess::changeOwned(
                    *record_, [&] { record_->setComments(m_context.text(tag.value).c_str()); });
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
    ObjectAccess::changeOwned(
        *record_, [&] { record_->setOrigin(AcGePoint3d(origin[0], origin[1], origin[2])); });
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

std::pair<TagList*, size_t> DrawingReader::blockLayerOf(const AcDbObject* block) {
    const std::uint64_t handle = block->objectId().handle().value();
    if (handle == 0 || m_data->extras(handle) == nullptr) {
        return {nullptr, 0};
    }
    ObjectExtras& extras = m_data->extrasFor(handle);
    const size_t at = extras.find({kBlockBeginPlace, -1}, 8);
    return {at == std::string_view::npos ? nullptr : &extras.tags, at};
}

void DrawingReader::addBlockLayers() {
    for (const auto& [block, line] : m_blockLayers) {
        const auto [tags, at] = blockLayerOf(block);
        if (tags == nullptr) {
            continue;
        }
        const std::string named((*tags)[at].value);
        if (m_context.findName(NameTable::Layer, named) == nullptr) {
            missingName(m_context, NameTable::Layer, m_context.text(named), line);
        }
    }
}

std::string DrawingReader::anonymousBlockName() {
    for (int n = 1;; ++n) {
        std::string name = "*U" + std::to_string(n);
        if (m_context.findName(NameTable::Block, name) == nullptr) {
            return name;
        }
    }
}

void DrawingReader::endBlock(const RecordView& record) {
    if (m_block == nullptr) {
        m_report.add(Fix::MisplacedRecord, record.line, "ENDBLK without BLOCK ignored");
        return;
    }
    splitRecord(record.tags);
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
        m_report.add(
            Fix::MisplacedRecord, m_context.recordLine(),
            std::string(m_context.recordType()) + " outside a block was put in model space");
        return {entity, Member::ModelSpace, nullptr, 0, m_context.recordLine()};
    }
    std::uint64_t owner = 0;
    if (m_head.hasOwner && parseHandle(m_head.owner, owner) && owner != 0) {
        Member member{entity, Member::BlockHandle, nullptr, owner, m_context.recordLine()};
        member.paper = m_context.paperSpace;
        return member;
    }
    return {entity, m_context.paperSpace ? Member::PaperSpace : Member::ModelSpace, nullptr, 0,
            m_context.recordLine()};
}

std::unique_ptr<AcDbObject> DrawingReader::makeEntity(std::string_view type,
                                                      std::span<const TagView> tags) {
    splitRecord(tags);
    const Codec* codec = codecForType(type);
    gatherEntityTags(m_head,
                     isEntity(codec) ? codec->subclasses() : std::span<const SubclassDef>());
    if (isEntity(codec) && codec->canModel(m_head.body)) {
        std::unique_ptr<AcDbObject> entity = codec->createFor(m_head.body);
        codec->read(*entity, m_head.body, m_context);
        readDefaults(*entity, codec->subclasses(), m_head.body, false);
        return entity;
    }
    splitCommon(m_head.body, m_common, m_rest);
    const std::span<const TagView> rest = m_rest;
    // A record of a later version in an R12 file (a file without a header is read as R12): its
    // subclass markers show it, and it is kept as read.
    const bool later = std::any_of(m_head.body.begin(), m_head.body.end(),
                                   [](const TagView& t) { return t.code == kSubclassCode; });
    if (r12() && !later) {
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
    std::unique_ptr<AcDbEntity> kept = newKeptEntity(std::string(type));
    KeptTags& keptTags = *keptTagsOf(*kept);
    FieldReader reader(kEntitySubclass.fields, m_context, 0);
    for (const TagView& tag : m_common) {
        reader.read(tag);
    }
    reader.apply(*kept);
    readDefaults(*kept, std::span<const SubclassDef>(&kEntitySubclass, 1), m_common, false);
    // The AcDbEntity tags the host does not model stay with the entity.
    for (const TagView tag : m_context.extras().tags) {
        if (tag.code != kPlaceCode) {
            keptTags.common.add(tag.code, tag.value);
        }
    }
    m_context.extras() = ObjectExtras();
    for (const TagView& tag : m_scratch) {
        keptTags.body.add(tag.code, tag.value);
    }
    readKeptShape(*kept, m_head.xdata);
    return kept;
}

void DrawingReader::entityRecord(const RecordView& record) {
    const std::string_view type = record.type;
    if (type == "ATTRIB" || type == "VERTEX" || type == "SEQEND") {
        follower(record);
        return;
    }
    if (type == "BLOCK" || type == "ENDBLK") {
        // (written among entities, it would begin or end a block)
        m_report.add(Fix::MisplacedRecord, record.line,
                     std::string(type) + " outside the BLOCKS section was left out");
        return;
    }
    closeSequence();
    if (isTableEntryType(type)) {
        // (written among entities, other programs would take it for one)
        strayEntry(record);
        return;
    }
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
        m_sequence.kept = keptTagsOf(*entity);
        if (m_sequence.kept != nullptr) {
            m_sequence.keptEntity = AcDbEntity::cast(entity.get());
            m_withChildren.push_back(m_sequence.kept);
        }
    }
    finishObject(std::move(entity), record.line, &member);
}

KeptChild DrawingReader::childOf(std::string_view type, std::span<const TagView> tags) {
    splitRecord(tags);
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
            const Member member{attribute.get(), Member::Insert, m_sequence.insert, 0, record.line};
            finishObject(std::move(attribute), record.line, &member);
        }
        return;
    }
    if (m_sequence.insert != nullptr && type == "SEQEND") {
        splitRecord(record.tags);
        m_seqends[m_sequence.insert] = claimOther(m_head.handle);
        m_sequence = {};
        return;
    }
    if (m_sequence.kept != nullptr) {
        m_sequence.kept->children.push_back(childOf(type, record.tags));
        if (type == "SEQEND") {
            endKeptSequence();
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
    if (m_sequence.kept != nullptr) {
        // The entities that follow a kept entity end with a SEQEND, which other programs need.
        std::vector<KeptChild>& children = m_sequence.kept->children;
        if (children.empty() || children.back().type != "SEQEND") {
            KeptChild end;
            end.type = "SEQEND";
            end.tags.add(kSubclassCode, "AcDbEntity");
            end.tags.add(8, "0");
            children.push_back(std::move(end));
            m_report.add(Fix::MissingEndsec, 0,
                         "a " + m_sequence.kept->type + " ends without SEQEND; one was added");
        }
        endKeptSequence();
    }
    m_sequence = {};
}

void DrawingReader::endKeptSequence() {
    if (AcDbEntity* entity = m_sequence.keptEntity) {
        // (already in the drawing, closed)
        ObjectAccess::changeOwned(*entity, [entity] { readKeptShape(*entity); });
    }
    m_sequence = {};
}

}  // namespace qv::dxf::reading
