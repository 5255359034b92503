// What a drawing file held beyond what the host's database models, kept with the database so
// that a save writes it back: header variables and classes as read, sections the host does not
// read, the tags of modelled objects that no field takes, the handles of the records that are
// no database objects (BLOCK, ENDBLK, SEQEND), the tables the host does not model and the order
// of the OBJECTS section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "../db/AcDbDatabase.h"
#include "Tag.h"
#include "Version.h"

namespace qv::dxf {

// A section the host does not read (THUMBNAILIMAGE, ACDSDATA, ...), kept as read.
struct Section {
    std::string name;
    std::uint32_t line = 0;  // of its SECTION tag
    TagList head;            // tags before its first record (see RecordSink::sectionHead)
    std::vector<Record> records;
};

// The group code of the markers in ObjectExtras::tags; no DXF tag has it.
inline constexpr int kPlaceCode = 9999;

// Where leftover tags of a record go when it is written again: after the fields of the
// subclass with that ordinal in the record's field table (0 is the common part: AcDbEntity
// for entities, the symbol-table record part, ...), or after item `item` of that subclass's
// repeated group (a vertex, a dash, a loop).
struct Place {
    int subclass = 0;
    int item = -1;
    bool operator==(const Place&) const = default;
};
// Unknown subclasses (their 100 markers included) go after every known one.
inline constexpr int kUnknownSubclasses = 99;
// Places of a block record's leftovers from its BLOCK record: its AcDbEntity part, and its
// AcDbBlockBegin part (kBlockBeginPlace + 1).
inline constexpr int kBlockBeginPlace = 90;

// The tags of a modelled object that the host keeps without modelling them.
struct ObjectExtras {
    TagList groups;  // application groups other than the extension dictionary, each whole
    TagList tags;    // runs of leftovers, each after a kPlaceCode marker naming its place

    bool empty() const { return groups.empty() && tags.empty(); }
    // Appends a leftover tag at `place` (a marker first when the place changes).
    void add(Place place, int code, std::string_view value);
    // Calls `visit(tag)` for every leftover at `place`, in order.
    template <class F>
    void forEach(Place place, F visit) const;
    // The first leftover at `place` with `code` (its index), or npos.
    size_t find(Place place, int code) const;

  private:
    Place m_last{-1, -1};
};

// The records around a block's entities, which are no database objects.
struct BlockEnds {
    std::uint64_t begin = 0;  // handle of the BLOCK record (0: none yet)
    std::uint64_t end = 0;    // of the ENDBLK record
};

// A table the host does not model (VPORT, VIEW, UCS, DIMSTYLE, ...): its TABLE record and its
// entries are kept objects of the database.
struct KeptTable {
    std::string name;
    AcDbObjectId head;
    std::vector<AcDbObjectId> entries;
};

class FileData : public qv::host::DrawingFileData {
  public:
    DxfVersion version = DxfVersion::R2013;  // of the file read
    size_t sourceBytes = 0;                  // its size
    std::vector<Record> header;              // every variable as read, in order
    std::vector<Record> classes;
    std::vector<Section> otherSections;     // sections the host does not read, in order
    std::vector<KeptTable> keptTables;      // in file order
    std::vector<AcDbObjectId> objectOrder;  // the OBJECTS section as read

    // Leftovers of modelled objects, by handle (objects without any have no entry).
    const ObjectExtras* extras(std::uint64_t handle) const;
    ObjectExtras& extrasFor(std::uint64_t handle) { return m_extras[handle]; }
    void dropEmptyExtras(std::uint64_t handle);

    // BLOCK and ENDBLK handles, by the handle of the block's record.
    std::unordered_map<std::uint64_t, BlockEnds> blockEnds;
    // SEQEND handles of block references with attributes, by the reference's handle.
    std::unordered_map<std::uint64_t, std::uint64_t> seqends;

  private:
    std::unordered_map<std::uint64_t, ObjectExtras> m_extras;
};

// The file data of a database, or null.
const FileData* fileDataOf(const AcDbDatabase& database);

// The text of a place in its marker: "3", or "3.7" for item 7.
std::string placeKey(Place place);

template <class F>
void ObjectExtras::forEach(Place place, F visit) const {
    const std::string key = placeKey(place);
    bool here = false;
    for (size_t i = 0; i < tags.size(); ++i) {
        const TagView tag = tags[i];
        if (tag.code == kPlaceCode) {
            here = tag.value == key;
        } else if (here) {
            visit(tag);
        }
    }
}

}  // namespace qv::dxf
