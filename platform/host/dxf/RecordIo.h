// What every record of TABLES, BLOCKS, ENTITIES and OBJECTS has besides its body: its handle,
// its application groups (the extension dictionary among them), its owner, and its extended
// data. Reading splits a record into these parts; writing puts them together again.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "../db/AcDbObject.h"
#include "ReadContext.h"
#include "Tag.h"
#include "WriteContext.h"

namespace qv::dxf {

struct RecordHead {
    std::string_view handle;       // the record's own handle as written; empty when none
    bool hasHandle = false;        // a handle tag was there (it may be empty)
    std::string_view xdictionary;  // the extension dictionary's handle; empty when none
    std::string_view owner;        // empty when the record names none
    bool hasOwner = false;
    std::vector<TagView> groups;  // application groups other than the extension dictionary
    // After the owner (from the first subclass), before the extended data: a view of the
    // record's tags, or of bodyStore when head and body tags were mixed.
    std::span<const TagView> body;
    std::vector<TagView> bodyStore;
    std::span<const TagView> xdata;
    // Handle tags after the one taken (takeLateHandles): left out.
    std::vector<TagView> extraHandles;

    void clear();
};

// Splits the tags of a record. The head is what comes before the first subclass marker: the
// handle (group code `handleCode`: 105 for DIMSTYLE, else 5), the "{NAME ... }" groups and the
// first owner; any other tag there is the body's. Extended data starts at the first 1001 tag.
void splitHead(std::span<const TagView> tags, int handleCode, RecordHead& head);
// For a record that has one handle and no other tag of its handle code (an entity, a table or
// table entry; not a SORTENTSTABLE, whose 5 are the sort handles), after splitHead: when the head
// has no handle, the first handle tag of the body is the record's (some writers put it after a
// subclass marker); every other handle tag of the body goes to `extraHandles`.
void takeLateHandles(int handleCode, RecordHead& head);

// The extended data of a record as the host keeps it; items that are no extended data are
// reported and left out. Adds the names of the applications to `applications`.
std::vector<qv::host::XDataRecord> readXData(std::span<const TagView> xdata, ReadContext& context);

// Writes "0 TYPE" (and "2 NAME" for a table's own record), the handle, the application groups,
// the extension dictionary and the owner (left out when the owner is gone, except for table heads
// and the named-object dictionary, owned by nothing, and when `ownerCodeFollows`: the tags
// written after the head hold an owner code before their first subclass marker, which a reader
// would take for the owner). `groups` are written as they are.
void writeHead(std::string_view type, const AcDbObject& object, const TagList* groups,
               WriteContext& context, int handleCode = 5, std::string_view tableName = {},
               bool ownerCodeFollows = false);
// Whether `body` holds an owner code (330) before its first subclass marker.
bool ownerCodeLeads(const TagList& body);
void writeXData(const AcDbObject& object, WriteContext& context);

// The handle code of a record type (105 for DIMSTYLE).
inline int handleCodeOf(std::string_view type) {
    return type == "DIMSTYLE" ? 105 : 5;
}

}  // namespace qv::dxf
