// Numbers and handles as DXF text. Parsing accepts what real files hold (blanks around a number,
// a leading '+', an integer written as "1.0"); formatting writes what every DXF reader accepts,
// and a double written and read again is the same double.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::dxf {

// Blanks (spaces, tabs) removed from both ends.
inline std::string_view trimBlanks(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) {
        ++begin;
    }
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// A finite double; false for anything else (empty, trailing characters, "nan", "inf").
bool parseDouble(std::string_view text, double& value);
// An integer; a number written with a fraction of zero ("64.0") is accepted as well.
bool parseInteger(std::string_view text, std::int64_t& value);
// A handle: 1 to 16 hexadecimal digits. "0" is the null handle.
bool parseHandle(std::string_view text, std::uint64_t& value);
// The largest handle a drawing read from a file may keep: above it there would be no room for
// the handles of the objects that reading and editing add (the handle seed never wraps to 0).
inline constexpr std::uint64_t kLargestFileHandle = 0xFFFFFFFEFFFFFFFFull;

// Appends the shortest text that reads back as exactly `value`, always with a decimal point
// ("1.0", "0.1", "1.0e-20"). Throws std::invalid_argument for NaN and infinities, which DXF
// cannot hold.
void appendDouble(std::string& out, double value);
void appendInteger(std::string& out, std::int64_t value);
// Upper-case hexadecimal without leading zeros ("0" for the null handle).
void appendHandle(std::string& out, std::uint64_t value);
std::string handleText(std::uint64_t value);

}  // namespace qv::dxf
