#include "host/dxf/TagWriter.h"

#include <algorithm>
#include <cstdio>

#include "host/dxf/Numbers.h"

namespace qv::dxf {

namespace {

// The line of every group code, right-aligned in three columns with its line end.
struct CodeLines {
    static constexpr int kCount = 1072;
    char text[kCount][8];
    unsigned char length[kCount];
    CodeLines() {
        for (int code = 0; code < kCount; ++code) {
            const int n = std::snprintf(text[code], sizeof text[code], "%3d\r\n", code);
            length[code] = static_cast<unsigned char>(n);
        }
    }
};

const CodeLines& codeLines() {
    static const CodeLines lines;
    return lines;
}

}  // namespace

void TagWriter::code(int code) {
    if (code >= 0 && code < CodeLines::kCount) {
        const CodeLines& lines = codeLines();
        m_out.append(lines.text[code], lines.length[code]);
        return;
    }
    appendInteger(m_out, code);
    end();
}

void TagWriter::text(int code, std::string_view value) {
    this->code(code);
    const bool plain = std::none_of(value.begin(), value.end(), [](char c) {
        return c == '^' || (static_cast<unsigned char>(c) < 0x20 && c != '\t');
    });
    if (plain) {
        m_out += value;
    } else {
        m_out += encodeCaret(value);
    }
    end();
}

void TagWriter::raw(int code, std::string_view value) {
    this->code(code);
    m_out += value;
    end();
}

void TagWriter::real(int code, double value) {
    this->code(code);
    appendDouble(m_out, value);
    end();
}

void TagWriter::integer(int code, std::int64_t value) {
    this->code(code);
    appendInteger(m_out, value);
    end();
}

void TagWriter::handle(int code, std::uint64_t value) {
    this->code(code);
    appendHandle(m_out, value);
    end();
}

void TagWriter::point(int code, double x, double y) {
    real(code, x);
    real(code + 10, y);
}

void TagWriter::point(int code, double x, double y, double z) {
    point(code, x, y);
    real(code + 20, z);
}

std::string encodeCaret(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 4);
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '^') {
            out += "^ ";
        } else if (u < 0x20 && c != '\t') {
            out += '^';
            out += static_cast<char>(u + 0x40);
        } else {
            out += c;
        }
    }
    return out;
}

std::string decodeCaret(std::string_view text) {
    if (text.find('^') == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '^' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == ' ') {
                out += '^';
                ++i;
                continue;
            }
            if (next >= '@' && next <= '_') {
                out += static_cast<char>(next - 0x40);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace qv::dxf
