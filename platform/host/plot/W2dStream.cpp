#include "host/plot/W2dStream.h"

#include <limits>

#include "win32/CodePage.h"

namespace qv::host::plot {

namespace {

bool isAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) > 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

W2dStream::W2dStream() {
    ascii("(W2D V06.00)");
}

void W2dStream::put16(int32_t value) {
    const auto v = static_cast<uint16_t>(value);
    put(static_cast<uint8_t>(v & 0xFF));
    put(static_cast<uint8_t>(v >> 8));
}

void W2dStream::put32(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        put(static_cast<uint8_t>((v >> shift) & 0xFF));
    }
}

void W2dStream::count(size_t n) {
    if (n > 255) {
        put(0);
        put16(static_cast<int32_t>(n - 256));
    } else {
        put(static_cast<uint8_t>(n));
    }
}

void W2dStream::string(const std::string& utf8) {
    if (isAscii(utf8)) {
        put('\'');
        for (const char c : utf8) {
            if (c == '\'' || c == '\\') {
                put('\\');
            }
            m_bytes.push_back(c);
        }
        put('\'');
        return;
    }
    std::vector<uint16_t> units;
    for (const wchar_t c : utf8ToWide(utf8)) {
        const auto code = static_cast<uint32_t>(c);
        if (code > 0xFFFF) {
            units.push_back(static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(code));
        }
    }
    put('{');
    put32(static_cast<int32_t>(units.size()));
    for (const uint16_t unit : units) {
        put16(unit);
    }
    put('}');
}

void W2dStream::layer(int number, const std::string& utf8Name) {
    if (number == m_layer) {
        return;
    }
    m_layer = number;
    const auto index = static_cast<size_t>(number);
    if (m_namedLayers.size() <= index) {
        m_namedLayers.resize(index + 1, false);
    }
    ascii("(Layer " + std::to_string(number));
    if (!m_namedLayers[index]) {
        m_namedLayers[index] = true;
        put(' ');
        string(utf8Name);
    }
    put(')');
}

void W2dStream::colour(uint8_t r, uint8_t g, uint8_t b) {
    if (m_hasColour && m_colour[0] == r && m_colour[1] == g && m_colour[2] == b) {
        return;
    }
    m_hasColour = true;
    m_colour[0] = r;
    m_colour[1] = g;
    m_colour[2] = b;
    put(0x03);
    put(r);
    put(g);
    put(b);
    put(0xFF);
}

void W2dStream::lineWeight(int32_t weight) {
    if (m_hasWeight && m_weight == weight) {
        return;
    }
    m_hasWeight = true;
    m_weight = weight;
    put(0x17);
    put32(weight);
}

void W2dStream::font(const std::string& name, const W2dFont& font) {
    if (m_hasFont && m_font == font) {
        return;
    }
    ascii("(Font (Name ");
    string(name);
    ascii(") (Height " + std::to_string(font.height) + ") (Rotation " +
          std::to_string(font.rotation) + ") (Widthscale " + std::to_string(font.widthScale) +
          ") (Oblique " + std::to_string(font.oblique) + "))");
    m_hasFont = true;
    m_font = font;
}

bool W2dStream::fitsNarrow(const std::vector<LogicalPoint>& list) const {
    constexpr int64_t low = std::numeric_limits<int16_t>::min();
    constexpr int64_t high = std::numeric_limits<int16_t>::max();
    LogicalPoint last = m_current;
    for (const LogicalPoint& p : list) {
        const int64_t dx = static_cast<int64_t>(p.x) - last.x;
        const int64_t dy = static_cast<int64_t>(p.y) - last.y;
        if (dx < low || dx > high || dy < low || dy > high) {
            return false;
        }
        last = p;
    }
    return true;
}

void W2dStream::points(const std::vector<LogicalPoint>& list, bool narrow) {
    for (const LogicalPoint& p : list) {
        const int32_t dx = static_cast<int32_t>(static_cast<int64_t>(p.x) - m_current.x);
        const int32_t dy = static_cast<int32_t>(static_cast<int64_t>(p.y) - m_current.y);
        if (narrow) {
            put16(dx);
            put16(dy);
        } else {
            put32(dx);
            put32(dy);
        }
        m_current = p;
    }
}

void W2dStream::polyline(const std::vector<LogicalPoint>& list) {
    const bool narrow = fitsNarrow(list);
    put(narrow ? 0x10 : 'p');
    count(list.size());
    points(list, narrow);
}

void W2dStream::contours(const std::vector<std::vector<LogicalPoint>>& list) {
    bool narrow = true;
    LogicalPoint saved = m_current;
    for (const auto& contour : list) {
        narrow = narrow && fitsNarrow(contour);
        if (!contour.empty()) {
            m_current = contour.back();
        }
    }
    m_current = saved;
    put(narrow ? 0x0B : 'k');
    count(list.size());
    for (const auto& contour : list) {
        count(contour.size());
    }
    for (const auto& contour : list) {
        points(contour, narrow);
    }
}

void W2dStream::text(LogicalPoint origin, const std::string& utf8) {
    put('x');
    points({origin}, false);
    string(utf8);
}

void W2dStream::text(LogicalPoint origin, const std::string& utf8,
                     const LogicalPoint (&box)[4]) {
    put(0x18);
    points({origin}, false);
    string(utf8);
    count(1);  // no overscored characters
    count(1);  // no underscored ones
    points({box[0], box[1], box[2], box[3]}, false);
    count(1);  // no reserved values
}

void W2dStream::clip(const LogicalBox* box) {
    if (box == nullptr ? !m_clipped : m_clipped && m_clip == *box) {
        return;
    }
    if (box == nullptr) {
        m_clipped = false;
        ascii("(Viewport)");
        return;
    }
    m_clipped = true;
    m_clip = *box;
    const auto at = [](int32_t x, int32_t y) {
        return " " + std::to_string(x) + "," + std::to_string(y);
    };
    ascii("(Viewport ");
    string("clip");
    ascii(" (Contour 1 4" + at(box->x0, box->y0) + at(box->x1, box->y0) + at(box->x1, box->y1) +
          at(box->x0, box->y1) + "))");
}

std::string W2dStream::finish() {
    ascii("(EndOfDWF)");
    return std::move(m_bytes);
}

}  // namespace qv::host::plot
