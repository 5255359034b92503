#include "cadhost/ControlEscaping.h"

#include <cstdio>

namespace cadhost {

ControlEscapingBuffer::~ControlEscapingBuffer() {
    if (m_leadC2) {
        m_target->sputc(static_cast<char>(0xC2));
    }
    sync();
}

void ControlEscapingBuffer::emit(char c) {
    m_target->sputc(c);
    if (c == '\n') {
        m_line.clear();
    } else if (m_line.size() < kLineKept) {
        m_line += c;
    }
}

void ControlEscapingBuffer::put(const char* text) {
    for (; *text != 0; ++text) {
        emit(*text);
    }
}

ControlEscapingBuffer::int_type ControlEscapingBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const auto byte = static_cast<unsigned char>(traits_type::to_char_type(c));
    char escaped[16];
    if (m_leadC2) {
        m_leadC2 = false;
        if (byte >= 0x80 && byte <= 0x9F) {  // U+0080 to U+009F
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            put(escaped);
            return c;
        }
        emit(static_cast<char>(0xC2));
    }
    if (byte == 0xC2) {
        m_leadC2 = true;
    } else if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        put(escaped);
    } else {
        emit(static_cast<char>(byte));
    }
    return c;
}

int ControlEscapingBuffer::sync() {
    // A lead byte stays back until the next one shows what it starts; the end of the output
    // shows it starts nothing.
    return m_target->pubsync();
}

}  // namespace cadhost
