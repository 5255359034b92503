#include "host/dxf/DxfFile.h"

#include "host/dxf/GroupCode.h"
#include "host/dxf/HandleTable.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/RecordSplitter.h"
#include "host/dxf/TagWriter.h"
#include "host/dxf/TextDecoding.h"

namespace qv::dxf {
namespace {

class KeepingSink : public RecordSink {
  public:
    explicit KeepingSink(DxfFile& file) : m_file(file) {}

    void beginSection(std::string_view name, std::uint32_t line) override {
        m_file.sections.push_back({std::string(name), line, {}, {}});
    }
    void sectionHead(const std::vector<TagView>& tags) override {
        for (const TagView& tag : tags) {
            m_file.sections.back().head.add(tag.code, tag.value);
        }
    }
    void record(const RecordView& record) override {
        m_file.sections.back().records.push_back(record.toRecord());
    }
    void endSection() override {}

  private:
    DxfFile& m_file;
};

bool sectionHasHandles(std::string_view name) {
    return name == "TABLES" || name == "BLOCKS" || name == "ENTITIES" || name == "OBJECTS";
}

// Index of the record's own handle tag, or size() when it has none.
size_t handleTagIndex(const Record& record) {
    if (record.type == "DIMSTYLE") {
        const size_t i = record.tags.find(kDimStyleHandleCode);
        if (i < record.tags.size()) {
            return i;
        }
    }
    // The handle, when there is one, comes first; look no further than the first subclass.
    for (size_t i = 0; i < record.tags.size(); ++i) {
        const int code = record.tags[i].code;
        if (code == kHandleCode) {
            return i;
        }
        if (code == kSubclassCode || code == kXDataAppCode) {
            break;
        }
    }
    return record.tags.size();
}

std::string describe(const Record& record) {
    return record.type.empty() ? std::string("a record without a type") : record.type;
}

}  // namespace

Section* DxfFile::find(std::string_view name) {
    for (Section& section : sections) {
        if (section.name == name) {
            return &section;
        }
    }
    return nullptr;
}

const Section* DxfFile::find(std::string_view name) const {
    return const_cast<DxfFile*>(this)->find(name);
}

DxfFile readDxf(std::string bytes, AuditReport& report) {
    DecodedText decoded = decodeDxfText(std::move(bytes), report);
    DxfFile file;
    file.version = decoded.version;
    KeepingSink sink(file);
    splitRecords(decoded.text, sink, report);
    repairHandles(file, report);
    return file;
}

void repairHandles(DxfFile& file, AuditReport& report) {
    HandleTable handles;
    struct Pending {
        Record* record;
        size_t tagIndex;      // the handle tag, or size() when there is none
        std::string problem;  // what was wrong; empty when a new handle is no repair (R12)
        Fix fix;
    };
    std::vector<Pending> pending;
    const bool optional = file.version == DxfVersion::R12;

    for (Section& section : file.sections) {
        if (!sectionHasHandles(section.name)) {
            continue;
        }
        for (Record& record : section.records) {
            if (record.type == "ENDTAB") {
                continue;
            }
            const size_t index = handleTagIndex(record);
            if (index == record.tags.size()) {
                pending.push_back({&record, index,
                                   optional ? std::string() : describe(record) + " has no handle",
                                   Fix::MissingHandle});
                continue;
            }
            std::uint64_t handle = 0;
            std::uint32_t firstLine = 0;
            const std::string_view text = record.tags[index].value;
            switch (handles.claim(text, record.line, handle, firstLine)) {
                case HandleTable::Claim::Kept:
                    break;
                case HandleTable::Claim::Duplicate:
                    pending.push_back(
                        {&record, index,
                         "handle " + std::string(trimBlanks(text)) + " of " + describe(record) +
                             " is already used by the record at line " + std::to_string(firstLine),
                         Fix::DuplicateHandle});
                    break;
                case HandleTable::Claim::Missing:
                    pending.push_back(
                        {&record, index,
                         describe(record) + " has an invalid handle '" + std::string(text) + "'",
                         Fix::MissingHandle});
                    break;
            }
        }
    }

    Record* seedVariable = nullptr;
    if (Section* header = file.find("HEADER")) {
        for (Record& variable : header->records) {
            if (variable.type == "$HANDSEED") {
                seedVariable = &variable;
            }
        }
    }
    std::uint64_t fileSeed = 0;
    if (seedVariable && parseHandle(seedVariable->tags.value(kHandleCode), fileSeed)) {
        handles.raiseSeed(fileSeed);
    }

    for (const Pending& p : pending) {
        const std::string text = handleText(handles.issue());
        if (p.tagIndex < p.record->tags.size()) {
            p.record->tags.setValue(p.tagIndex, text);
        } else {
            const int code =
                p.record->type == "DIMSTYLE" && !optional ? kDimStyleHandleCode : kHandleCode;
            p.record->tags.insert(0, code, text);
        }
        if (!p.problem.empty()) {
            report.add(p.fix, p.record->line, p.problem + "; it was given handle " + text);
        }
    }

    // Owners, now that every handle is known.
    for (const Section& section : file.sections) {
        if (!sectionHasHandles(section.name)) {
            continue;
        }
        for (const Record& record : section.records) {
            const long index = ownerTagIndex(record.tags);
            if (index < 0) {
                continue;
            }
            const std::string_view text = record.tags[static_cast<size_t>(index)].value;
            std::uint64_t owner = 0;
            if (!parseHandle(text, owner) || (owner != 0 && !handles.contains(owner))) {
                report.add(Fix::MissingOwner, record.line,
                           "owner " + std::string(text) + " of " + describe(record) + " " +
                               std::string(record.tags.value(kHandleCode)) + " does not exist");
            }
        }
    }

    file.handleSeed = handles.seed();
    if (seedVariable && fileSeed < file.handleSeed) {
        report.add(
            Fix::HandleSeed, seedVariable->line,
            "$HANDSEED raised from " + handleText(fileSeed) + " to " + handleText(file.handleSeed));
        const size_t i = seedVariable->tags.find(kHandleCode);
        if (i < seedVariable->tags.size()) {
            seedVariable->tags.setValue(i, handleText(file.handleSeed));
        } else {
            seedVariable->tags.insert(0, kHandleCode, handleText(file.handleSeed));
        }
    }
}

std::string writeDxf(const DxfFile& file) {
    std::string out;
    size_t estimate = 64;
    for (const Section& section : file.sections) {
        for (const Record& record : section.records) {
            estimate += record.type.size() + 16 + record.tags.size() * 16;
        }
    }
    out.reserve(estimate);
    TagWriter writer(out);
    for (const Section& section : file.sections) {
        writer.raw(kStructureCode, "SECTION");
        writer.raw(kNameCode, section.name);
        for (const TagView tag : section.head) {
            writer.raw(tag.code, tag.value);
        }
        const int typeCode = section.name == "HEADER" ? kVariableCode : kStructureCode;
        for (const Record& record : section.records) {
            writer.raw(typeCode, record.type);
            for (const TagView tag : record.tags) {
                writer.raw(tag.code, tag.value);
            }
        }
        writer.raw(kStructureCode, "ENDSEC");
    }
    writer.raw(kStructureCode, "EOF");
    if (!usesUtf8(file.version)) {
        return utf8ToAnsiDxf(out);
    }
    return out;
}

}  // namespace qv::dxf
