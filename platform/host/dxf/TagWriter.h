// Writes tags as ASCII DXF text: the group code right-aligned in three columns, then the value,
// each on its own line ending in CR LF, as the host's Windows counterpart writes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv::dxf {

class TagWriter {
  public:
    // Appends to `out`, which must outlive the writer.
    explicit TagWriter(std::string& out) : m_out(out) {}

    // A text value from the host: control characters are written in caret form ("^J" for a line
    // feed) and a caret as "^ ", so that the value stays on one line (see decodeCaret).
    void text(int code, std::string_view value);
    // A value written exactly as given (a tag kept as read). It must not hold a line end.
    void raw(int code, std::string_view value);
    void real(int code, double value);  // std::invalid_argument for NaN and infinities
    void integer(int code, std::int64_t value);
    void handle(int code, std::uint64_t value);
    // A point: x with `code`, y with code + 10, z (when given) with code + 20.
    void point(int code, double x, double y);
    void point(int code, double x, double y, double z);

    std::string& out() { return m_out; }

  private:
    void code(int code);
    void end() { m_out += "\r\n"; }

    std::string& m_out;
};

// Caret form of control characters, as DXF writes text: "a\nb" -> "a^Jb", "^" -> "^ ".
std::string encodeCaret(std::string_view text);
// The reverse: "^J" -> line feed, "^ " -> "^"; a caret before anything else stays as it is.
std::string decodeCaret(std::string_view text);

}  // namespace qv::dxf
