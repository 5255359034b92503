// Small vocabulary for DXF tests: files written as alternating group code and value lines.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbEntity.h"
#include "host/db/ObjectAccess.h"
#include "host/db/SymbolTables.h"
#include "host/dxf/AuditReport.h"
#include "host/dxf/DrawingReader.h"
#include "host/dxf/RecordSplitter.h"

namespace qv::dxf {

// Repairs in test messages as "fix <number>", the way the audit report shows them.
inline void PrintTo(Fix fix, std::ostream* os) {
    *os << "fix " << static_cast<int>(fix);
}

}  // namespace qv::dxf

namespace qv::dxf::test {

// Lines joined with LF, and a final LF: lines({"0", "EOF"}) is "0\nEOF\n".
inline std::string lines(std::initializer_list<std::string_view> items) {
    std::string out;
    for (std::string_view item : items) {
        out += item;
        out += '\n';
    }
    return out;
}

// A minimal file of one section with the given content lines.
inline std::string section(std::string_view name, std::string_view content) {
    return "0\nSECTION\n2\n" + std::string(name) + "\n" + std::string(content) + "0\nENDSEC\n";
}

// The fixes of a report, in order.
inline std::vector<Fix> fixes(const AuditReport& report) {
    std::vector<Fix> out;
    for (const AuditEntry& entry : report.entries()) {
        out.push_back(entry.fix);
    }
    return out;
}

// A drawing read from `text` into a new database.
inline std::unique_ptr<AcDbDatabase> load(const std::string& text, AuditReport& report) {
    auto db = std::make_unique<AcDbDatabase>(false, true);
    readDrawing(text, *db, report);
    return db;
}

// The entities of a block (model space unless told), erased ones left out.
inline std::vector<AcDbEntity*> entitiesOf(const AcDbDatabase& db, AcDbObjectId block = {}) {
    std::vector<AcDbEntity*> out;
    const auto* record = qv::host::ObjectAccess::peekAs<AcDbBlockTableRecord>(
        block.isNull() ? db.modelSpaceId() : block);
    if (record != nullptr) {
        for (const AcDbObjectId& id : record->qvEntities()) {
            auto* e = qv::host::ObjectAccess::peekAs<AcDbEntity>(id);
            if (e != nullptr && !e->isErased()) {
                out.push_back(e);
            }
        }
    }
    return out;
}

// A record of written text: its section, type and tags.
struct Written {
    std::string section;
    std::string type;
    std::vector<std::pair<int, std::string>> tags;

    // The first value of a code, or nothing.
    std::string first(int code) const {
        const std::vector<std::string> values = all(code);
        return values.empty() ? std::string() : values.front();
    }
    // The values of a code, in order.
    std::vector<std::string> all(int code) const {
        std::vector<std::string> out;
        for (const auto& [c, value] : tags) {
            if (c == code) {
                out.push_back(value);
            }
        }
        return out;
    }
};

// The records of written text, in order.
inline std::vector<Written> writtenRecords(std::string_view text) {
    struct Collector : RecordSink {
        std::string section;
        std::vector<Written> records;
        void beginSection(std::string_view name, std::uint32_t) override { section = name; }
        void sectionHead(const std::vector<TagView>&) override {}
        void record(const RecordView& r) override {
            Written w{section, std::string(r.type), {}};
            for (const TagView& tag : r.tags) {
                w.tags.emplace_back(tag.code, std::string(tag.value));
            }
            records.push_back(std::move(w));
        }
        void endSection() override {}
    } collector;
    AuditReport ignored;
    splitRecords(text, collector, ignored);
    return collector.records;
}

// The records of a section of written text, each as its type and tags ("code=value", in order).
inline std::vector<std::string> recordsOf(std::string_view text, std::string_view sectionName) {
    std::vector<std::string> out;
    for (const Written& r : writtenRecords(text)) {
        if (r.section == sectionName) {
            std::string line = r.type;
            for (const auto& [code, value] : r.tags) {
                line += " " + std::to_string(code) + "=" + value;
            }
            out.push_back(line);
        }
    }
    return out;
}

// The folder of real sample drawings: $QV_DXF_SAMPLES, or tests/fixtures/dxf-samples of the
// source tree. Empty when there is none.
inline std::filesystem::path sampleFolder() {
    if (const char* folder = std::getenv("QV_DXF_SAMPLES")) {
        return folder;
    }
    const char* source = std::getenv("QV_SOURCE_DIR");
    const std::filesystem::path root = source ? source : ".";
    const std::filesystem::path samples = root / "tests" / "fixtures" / "dxf-samples";
    if (std::filesystem::is_directory(samples)) {
        return std::filesystem::weakly_canonical(samples);
    }
    return {};
}

// The ".dxf" files of a folder, sorted; none when the folder is empty.
inline std::vector<std::filesystem::path> dxfFilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    if (!folder.empty()) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".dxf") {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace qv::dxf::test
