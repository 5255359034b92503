#include "host/dxf/TextDecoding.h"

#include <algorithm>
#include <cstring>

#include "host/dxf/DxfError.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/Numbers.h"
#include "host/dxf/TagReader.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void appendUtf8(std::string& out, char32_t cp) {
    const auto wide = static_cast<wchar_t>(cp);
    out += qv::wideToUtf8(std::wstring_view(&wide, 1));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The character of "\U+XXXX" at `p` (p[0] == '\\'), or -1 when there is no escape there.
template <typename Text>
long escapeAt(const Text& text, size_t p) {
    if (p + 7 > text.size() || text[p + 1] != 'U' || text[p + 2] != '+') {
        return -1;
    }
    long cp = 0;
    for (size_t i = p + 3; i < p + 7; ++i) {
        const auto c = text[i];
        const int d = static_cast<std::uint32_t>(c) < 0x80 ? hexDigit(static_cast<char>(c)) : -1;
        if (d < 0) {
            return -1;
        }
        cp = cp * 16 + d;
    }
    if (cp < 0x20 || (cp >= 0xD800 && cp < 0xE000)) {
        return -1;
    }
    return cp;
}

// The characters of bytes 0x80 to 0xFF in ANSI_1252.
const std::wstring& highCharacters() {
    static const std::wstring table = [] {
        std::string bytes;
        for (int b = 0x80; b <= 0xFF; ++b) {
            bytes += static_cast<char>(b);
        }
        return qv::ansiToWide(bytes);
    }();
    return table;
}

bool hasHighByte(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Version and code page as the HEADER names them; stops at the end of the HEADER.
struct HeaderFacts {
    std::string_view acadver;
    std::string_view codepage;
};

// Reads the first HEADER section the way the record splitter does: it starts with a SECTION tag
// followed by a name tag HEADER and ends at ENDSEC, SECTION or EOF; other 0 tags in it end the
// current variable.
HeaderFacts scanHeader(std::string_view text) {
    HeaderFacts facts;
    AuditReport ignored;
    TagReader reader(text, ignored);
    TagView tag;
    std::string_view variable;
    bool afterSection = false;
    bool inHeader = false;
    try {
        while (reader.next(tag)) {
            const std::string_view value = trimBlanks(tag.value);
            if (tag.code == kStructureCode) {
                if (value == "EOF" || (inHeader && (value == "ENDSEC" || value == "SECTION"))) {
                    break;
                }
                variable = {};  // any other 0 tag ends the variable
                afterSection = !inHeader && value == "SECTION";
                continue;
            }
            if (afterSection) {
                inHeader = tag.code == kNameCode && value == "HEADER";
                afterSection = false;
            } else if (!inHeader) {
                continue;
            } else if (tag.code == kVariableCode) {
                variable = value;
            } else if (variable == "$ACADVER" && tag.code == 1) {
                facts.acadver = tag.value;
            } else if (variable == "$DWGCODEPAGE" && tag.code == 3) {
                facts.codepage = tag.value;
            }
        }
    } catch (const DxfError&) {
        // The real read reports it.
    }
    return facts;
}

std::uint32_t lineOfOffset(std::string_view text, size_t offset, std::uint32_t firstLine) {
    return firstLine +
           static_cast<std::uint32_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

}  // namespace

size_t firstInvalidUtf8(std::string_view text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ULL) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        char32_t min;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2, min = 0x80, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3, min = 0x800, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4, min = 0x10000, cp = c & 0x07;
        } else {
            return i;
        }
        if (i + length > n) {
            return i;
        }
        for (size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                return i;
            }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            return i;
        }
        i += length;
    }
    return std::string_view::npos;
}

std::string ansiDxfToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\\') {
            const long cp = escapeAt(std::string_view(bytes), i);
            if (cp >= 0) {
                appendUtf8(out, static_cast<char32_t>(cp));
                i += 6;
                continue;
            }
        }
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            appendUtf8(out, static_cast<char32_t>(highCharacters()[b - 0x80]));
        }
    }
    return out;
}

std::wstring decodeDxfEscapes(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const long cp = text[i] == L'\\' ? escapeAt(text, i) : -1;
        if (cp >= 0) {
            out += static_cast<wchar_t>(cp);
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

DecodedText decodeDxfText(std::string_view bytes, AuditReport& report) {
    if (bytes.substr(0, kBinarySentinel.size()) == kBinarySentinel) {
        throw DxfError(0,
                       "this is a binary DXF file, which cannot be read; save the drawing as "
                       "ASCII DXF");
    }
    DecodedText result;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    const HeaderFacts facts = scanHeader(bytes);
    bool known = true;
    result.version = facts.acadver.empty() ? DxfVersion::R12 : parseVersion(facts.acadver, known);
    if (!known) {
        report.add(Fix::UnknownVersion, 0,
                   "unknown DXF version '" + std::string(facts.acadver) + "' read as " +
                       std::string(versionName(result.version)));
    }
    result.bytes = bytes;
    auto take = [&](std::string converted) {
        result.converted = std::move(converted);
        result.isConverted = true;
        return std::move(result);
    };
    if (usesUtf8(result.version)) {
        const size_t bad = firstInvalidUtf8(bytes);
        if (bad == std::string_view::npos) {
            return result;
        }
        report.add(Fix::InvalidUtf8, lineOfOffset(bytes, bad, 1),
                   "text is not UTF-8 as the DXF version requires; the file was read as "
                   "ANSI_1252");
        return take(ansiDxfToUtf8(bytes));
    }
    const bool high = hasHighByte(bytes);
    const std::string_view codepage = trimBlanks(facts.codepage);
    if (high && !codepage.empty() && codepage != "ANSI_1252" && codepage != "ansi_1252") {
        report.add(Fix::UnsupportedCodePage, 0,
                   "code page " + std::string(codepage) + " was read as ANSI_1252");
    }
    if (!high && bytes.find("\\U+") == std::string_view::npos) {
        return result;
    }
    return take(ansiDxfToUtf8(bytes));
}

}  // namespace qv::dxf
