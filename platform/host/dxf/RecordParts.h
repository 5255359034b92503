// The parts of an entity's or object's tags (R13 and later): application groups ("{ACAD_REACTORS"
// ... "}"), subclasses (each from its 100 marker), and extended data (from the first 1001 tag,
// one part per registered application). The host reads its objects subclass by subclass and
// keeps the rest; ranges index into the record's tags, so nothing is copied.
#pragma once

#include <string_view>
#include <vector>

#include "host/dxf/Tag.h"

namespace qv::dxf {

struct TagRange {
    size_t begin = 0;
    size_t end = 0;  // one past the last tag
    size_t size() const { return end - begin; }
    bool empty() const { return begin == end; }
};

struct AppGroup {
    std::string_view name;  // "ACAD_REACTORS", without the brace
    TagRange tags;          // between the opening and the closing 102 tag
};

struct Subclass {
    std::string_view name;  // the 100 marker's value; empty for the tags before the first one
    TagRange tags;          // after the marker, up to the next marker or the extended data
};

struct XDataPart {
    std::string_view app;  // the 1001 tag's value
    TagRange tags;         // after the 1001 tag, up to the next one
};

struct RecordParts {
    std::vector<AppGroup> groups;
    std::vector<Subclass> subclasses;  // the first one is unnamed: handle, groups, owner
    std::vector<XDataPart> xdata;

    const Subclass* subclass(std::string_view name) const;
    const XDataPart* xdataOf(std::string_view app) const;
};

// Splits `tags`. Application groups are recognised anywhere before the extended data; a group
// without its closing tag runs to the end of its subclass. A subclass's range includes the
// 102 tags of the groups inside it (they are all in the unnamed first part in files AutoCAD
// writes).
RecordParts splitRecordParts(const std::vector<TagView>& tags);

}  // namespace qv::dxf
