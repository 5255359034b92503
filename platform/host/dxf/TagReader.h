// Reads the tags of ASCII DXF text: a group code line, then a value line, over and over.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "AuditReport.h"
#include "GroupCode.h"
#include "Tag.h"

namespace qv::dxf {

// The largest group code a file may hold.
inline constexpr int kMaxGroupCode = 1071;

class TagReader {
  public:
    // `text` is UTF-8 (see TextDecoding.h) with LF or CRLF line ends; it and `report` must
    // outlive the reader, and the views the reader gives out point into `text`. `firstLine` is
    // the number of the first line of `text` in the file.
    TagReader(std::string_view text, AuditReport& report, std::uint32_t firstLine = 1);

    // Reads the next tag. False at the end of the text. A group code line that is not a number
    // from 0 to kMaxGroupCode throws DxfError naming its line. A value that does not parse as
    // its group code's type is dropped with a warning, and reading goes on. A group code on
    // the last line without a value, and lines of blanks where the file ends, are dropped with a
    // warning (the file was cut there).
    bool next(TagView& tag);

    // Number of the next line to read.
    std::uint32_t nextLine() const { return m_line; }
    // The text not read yet.
    std::string_view rest() const { return m_text.substr(m_pos); }

  private:
    inline bool readLine(std::string_view& line);

    std::string_view m_text;
    size_t m_pos = 0;
    std::uint32_t m_line;
    AuditReport& m_report;
    const std::array<ValueKind, kMaxGroupCode + 1>* m_kinds;
};

}  // namespace qv::dxf
