// The group codes of the host's tagged data and the type of value each one carries: the one
// table that the drawing-file reader and writer and the result buffers (extended data, entity
// lists) share.
//
// The ranges follow the drawing interchange format's reference. Codes of no range are Unused:
// the file reader keeps their values as text, a result buffer refuses them.
#pragma once

#include <span>

namespace qv::host {

enum class GroupType {
    Text,        // a string: names, texts, subclass markers, control strings, comments
    PointX,      // the X of a point; in a file its Y and Z follow at code + 10 and + 20
    Coordinate,  // the Y or Z of a point (only in files; a result buffer holds the whole point)
    Real,        // a floating-point number
    Int16,       // a 16-bit integer
    Int32,       // a 32-bit integer
    Int64,       // a 64-bit integer
    Bool,        // a flag, 0 or 1, held as a 16-bit integer
    Handle,      // hexadecimal text of a handle that is kept as it is, not followed as a reference
                 // (an arbitrary handle, a record's own handle, a handle in extended data)
    Pointer,     // hexadecimal text of a reference to another object (soft or hard pointer or
                 // owner); a result buffer holds it as the object's name
    Binary,      // hexadecimal digits of a chunk of bytes
    Unused,      // no value type: the code belongs to no range
};

// One range of codes, both ends included.
struct GroupRange {
    int first;
    int last;
    GroupType type;
};

// Every range with a value type, in ascending order without overlaps.
std::span<const GroupRange> groupRanges();

// The type of value of a group code; Unused for codes of no range (negative codes included).
GroupType groupType(int code);

// The largest group code of the format.
inline constexpr int kLastGroupCode = 1071;

// Whether a code may stand in extended data: 1000 string, 1001 application, 1002 "{" or "}",
// 1003 layer name, 1004 binary chunk, 1005 handle, 1010-1013 points, 1040-1042 reals,
// 1070 16-bit and 1071 32-bit integer.
bool isExtendedDataCode(int code);

}  // namespace qv::host
