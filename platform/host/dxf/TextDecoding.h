// The text of a DXF file on its way in. Files before 2007 are in the drawing's code page (read as
// ANSI_1252) with characters outside it written as "\U+XXXX"; from 2007 on they are UTF-8.
// Inside the host, DXF text is always UTF-8, and the host writes UTF-8 files (2013).
#pragma once

#include <string>
#include <string_view>

#include "AuditReport.h"
#include "Version.h"

namespace qv::dxf {

struct DecodedText {
    std::string_view bytes;  // the file's bytes without a byte order mark
    std::string converted;   // the text, when the bytes needed converting
    bool isConverted = false;
    DxfVersion version = DxfVersion::R12;

    // The UTF-8 text.
    std::string_view text() const { return isConverted ? std::string_view(converted) : bytes; }
};

// Prepares the bytes of a file for TagReader: refuses binary DXF (DxfError), finds the version
// in the HEADER ($ACADVER; R12 when the file has none) and converts the text to UTF-8 when it is
// not UTF-8 already. A code page other than ANSI_1252 in a file with non-ASCII text, and UTF-8
// that is not well formed (then the whole text is read as ANSI_1252), are reported. The result
// may view `bytes`, which must outlive it.
DecodedText decodeDxfText(std::string_view bytes, AuditReport& report);

// ANSI_1252 to UTF-8, decoding "\U+XXXX" escapes (except those of control characters, which
// stay as they are so that no line end appears in a value).
std::string ansiDxfToUtf8(std::string_view bytes);
// The same "\U+XXXX" escapes decoded in wide text (a name written with them literally).
std::wstring decodeDxfEscapes(std::wstring_view text);
// Offset of the first byte that is not part of well-formed UTF-8, or npos.
size_t firstInvalidUtf8(std::string_view text);

}  // namespace qv::dxf
