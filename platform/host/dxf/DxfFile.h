// A DXF file as sections of records, every record kept exactly as it was read. This is the form
// in which the host keeps what it does not model (unknown entities, objects, tables, classes,
// sections) and writes it back unchanged; it is also a complete reader and writer of any file
// on its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/dxf/AuditReport.h"
#include "host/dxf/Tag.h"
#include "host/dxf/Version.h"

namespace qv::dxf {

struct Section {
    std::string name;        // "HEADER", "ENTITIES", ...
    std::uint32_t line = 0;  // line of its SECTION tag
    TagList head;            // tags before the first record (see RecordSink::sectionHead)
    std::vector<Record> records;
};

struct DxfFile {
    DxfVersion version = DxfVersion::R2013;
    std::vector<Section> sections;
    // The first handle that no record holds (and not below the file's $HANDSEED).
    std::uint64_t handleSeed = 1;

    Section* find(std::string_view name);
    const Section* find(std::string_view name) const;
};

// Reads the bytes of a DXF file (see TextDecoding.h and RecordSplitter.h for what is refused and
// what is repaired) and gives every record of the TABLES, BLOCKS, ENTITIES and OBJECTS sections
// a unique handle (see repairHandles). Throws DxfError.
DxfFile readDxf(std::string bytes, AuditReport& report);

// Makes handles unique and present: a record whose handle another record holds already, or
// that has an empty or invalid one, gets a new handle, with a warning; in R12 files, where
// handles are optional, a record without one gets one silently. Records naming an owner that
// no record holds are reported. Raises $HANDSEED (when the file has it) above every handle.
void repairHandles(DxfFile& file, AuditReport& report);

// The text of `file`: its sections and records in order, in its version's encoding.
std::string writeDxf(const DxfFile& file);

}  // namespace qv::dxf
