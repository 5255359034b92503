// What kind of value a DXF group code carries, as the file reader checks it: a view of the
// host's table of group codes (host/GroupCodes.h), and the codes that structure a file.
#pragma once

namespace qv::dxf {

enum class ValueKind {
    String,   // text of any kind, including names and comments
    Double,   // a floating-point number (coordinates, lengths, angles, scales)
    Integer,  // a 16-, 32- or 64-bit integer, or a boolean flag
    Handle,   // a hexadecimal handle or a reference to one
    Binary,   // hexadecimal digits of a binary chunk
};

// The kind of value of `code` after its type in the host's table: points, coordinates and reals
// are Double; 16-, 32- and 64-bit integers and flags Integer; handles and pointers Handle.
// Codes outside every range carry strings.
ValueKind valueKind(int code);

// The group codes that start and structure the records of a file.
inline constexpr int kStructureCode = 0;         // record type, SECTION, ENDSEC, EOF
inline constexpr int kNameCode = 2;              // section and table names
inline constexpr int kHandleCode = 5;            // a record's own handle
inline constexpr int kDimStyleHandleCode = 105;  // a DIMSTYLE table entry's own handle
inline constexpr int kVariableCode = 9;          // a HEADER variable's name
inline constexpr int kSubclassCode = 100;        // subclass marker
inline constexpr int kGroupCode = 102;           // "{APP" ... "}" groups inside a record
inline constexpr int kOwnerCode = 330;  // soft-pointer to the owner (first one outside a group)
inline constexpr int kCommentCode = 999;
inline constexpr int kXDataAppCode = 1001;  // start of an application's extended data

}  // namespace qv::dxf
