#include "host/dxf/TagReader.h"

#include <array>
#include <charconv>
#include <cstring>

#include "host/dxf/DxfError.h"
#include "host/dxf/GroupCode.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

// valueKind for every group code, looked up once per tag.
const std::array<ValueKind, kMaxGroupCode + 1>& kindTable() {
    static const auto table = [] {
        std::array<ValueKind, kMaxGroupCode + 1> t{};
        for (int code = 0; code <= kMaxGroupCode; ++code) {
            t[static_cast<size_t>(code)] = valueKind(code);
        }
        return t;
    }();
    return table;
}

// Whether `text` is plainly a number that parses: an optional sign, digits with at most one
// point (`fraction`), short enough that it cannot overflow. Anything else is left to the parser.
inline bool plainNumber(std::string_view text, bool fraction) {
    text = trimBlanks(text);
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    if (text.size() - i > 18) {
        return false;
    }
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && fraction && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

inline bool valueParses(ValueKind kind, std::string_view value) {
    switch (kind) {
        case ValueKind::Double: {
            double d;
            return plainNumber(value, true) || parseDouble(value, d);
        }
        case ValueKind::Integer: {
            std::int64_t i;
            return plainNumber(value, false) || parseInteger(value, i);
        }
        case ValueKind::String:
        case ValueKind::Handle:  // handles are checked where they are used
        case ValueKind::Binary:
            return true;
    }
    return true;
}

// The group code a line holds (blanks around it allowed), or -1.
inline int groupCode(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    int code = 0;
    size_t digits = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && digits < 5; ++i, ++digits) {
        code = code * 10 + (line[i] - '0');
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    return digits == 0 || i != line.size() || code > kMaxGroupCode ? -1 : code;
}

std::string quoted(std::string_view text) {
    constexpr size_t kMax = 40;
    std::string out = "'";
    out += text.substr(0, kMax);
    if (text.size() > kMax) {
        out += "...";
    }
    out += "'";
    return out;
}

}  // namespace

TagReader::TagReader(std::string_view text, AuditReport& report, std::uint32_t firstLine)
    : m_text(text), m_line(firstLine), m_report(report), m_kinds(&kindTable()) {}

bool TagReader::readLine(std::string_view& line) {
    if (m_pos >= m_text.size()) {
        return false;
    }
    const char* begin = m_text.data() + m_pos;
    const size_t left = m_text.size() - m_pos;
    // Most lines are short: a plain loop finds their end faster than a library call.
    size_t length = 0;
    while (length < left && length < 32 && begin[length] != '\n') {
        ++length;
    }
    if (length == 32 && length < left && begin[length] != '\n') {
        const auto* newline = static_cast<const char*>(std::memchr(begin + 32, '\n', left - 32));
        length = newline ? static_cast<size_t>(newline - begin) : left;
    }
    m_pos += length < left ? length + 1 : length;
    if (length > 0 && begin[length - 1] == '\r') {
        --length;
    }
    line = std::string_view(begin, length);
    ++m_line;
    return true;
}

bool TagReader::next(TagView& tag) {
    const auto& kinds = *m_kinds;
    for (;;) {
        const std::uint32_t codeLine = m_line;
        std::string_view codeText;
        if (!readLine(codeText)) {
            return false;
        }
        const int code = groupCode(codeText);
        if (code < 0 && codeText.find_first_not_of(" \t") == std::string_view::npos &&
            rest().find_first_not_of(" \t\r\n") == std::string_view::npos) {
            // Only blanks to the end: the file was cut where a group code began.
            m_report.add(Fix::TruncatedTag, codeLine,
                         "the file ends in a line of blanks where a group code belongs");
            m_pos = m_text.size();
            return false;
        }
        if (code < 0) {
            throw DxfError(codeLine, quoted(codeText) + " is not a group code");
        }
        std::string_view value;
        if (!readLine(value)) {
            m_report.add(Fix::TruncatedTag, codeLine,
                         "group code " + std::to_string(code) +
                             " has no value (the file ends there); it was dropped");
            return false;
        }
        const ValueKind kind = kinds[static_cast<size_t>(code)];
        if (kind != ValueKind::String && !valueParses(kind, value)) {
            m_report.add(Fix::InvalidValue, codeLine + 1,
                         "value " + quoted(value) + " of group code " + std::to_string(code) +
                             " is not a number; the value was dropped");
            continue;
        }
        tag.code = code;
        tag.value = value;
        tag.line = codeLine;
        return true;
    }
}

}  // namespace qv::dxf
