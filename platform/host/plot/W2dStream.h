// The 2-D graphics stream of a DWF page (W2D, "(W2D V06.00)"): the opcodes that the DWF writer
// uses, encoded into bytes.
//
// Coordinates are logical points (32-bit integers, x to the right, y upwards). The binary
// drawing opcodes carry each point relative to the point before it, whatever opcode drew that
// one; the stream keeps that current point (it starts at 0,0). Integers are little-endian.
//
// Opcodes written (and nothing else):
//   "(W2D V06.00)"                  header, first
//   (Layer n 'name') / (Layer n)    layer n named once, then chosen by number
//   0x03 r g b a                    colour (true colour, opaque)
//   0x17 int32                      line weight in logical units
//   (Font (Name ..) (Height h) (Rotation r) (Widthscale w) (Oblique q))
//                                   the font: height in logical units, angles in 65536ths of a
//                                   full turn, width scale in 1024ths
//   'p' / 0x10 count points         polyline, 32- or 16-bit relative points
//   'k' / 0x0B count counts points  filled contour set (even-odd), 32- or 16-bit relative
//   'x' point string                text at its baseline's left end in the current font
//   "(EndOfDWF)"                    last
// A count is one byte, or a 0 byte and a 16-bit count less 256 for counts from 256 to 65791. A
// string is '...' (\ before ' and \) when it is ASCII, else { int32 length, UTF-16 units }.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::host::plot {

struct LogicalPoint {
    int32_t x = 0, y = 0;
    bool operator==(const LogicalPoint&) const = default;
};

struct W2dFont {
    int32_t height = 0;     // logical units, the em of the font
    uint16_t rotation = 0;  // 65536ths of a turn, counter-clockwise
    uint16_t widthScale = 1024;
    uint16_t oblique = 0;
    bool operator==(const W2dFont&) const = default;
};

class W2dStream {
  public:
    // The most points of one polyline or contour opcode.
    static constexpr size_t kMaxCount = 256 + 65535;

    W2dStream();

    // Makes `number` (1 and up) the layer of what follows, naming it the first time.
    void layer(int number, const std::string& utf8Name);
    void colour(uint8_t r, uint8_t g, uint8_t b);
    void lineWeight(int32_t weight);
    void font(const std::string& name, const W2dFont& font);
    // A polyline of 2 to kMaxCount points.
    void polyline(const std::vector<LogicalPoint>& points);
    // A filled set of closed contours (3 to kMaxCount points each, at most kMaxCount contours).
    void contours(const std::vector<std::vector<LogicalPoint>>& contours);
    void text(LogicalPoint origin, const std::string& utf8);
    // Ends the stream and hands over its bytes.
    std::string finish();

  private:
    void put(uint8_t byte) { m_bytes.push_back(static_cast<char>(byte)); }
    void put16(int32_t value);
    void put32(int32_t value);
    void count(size_t n);
    void ascii(const std::string& text) { m_bytes += text; }
    void string(const std::string& utf8);
    // Writes the points relative to the current point (16-bit when `narrow`).
    void points(const std::vector<LogicalPoint>& points, bool narrow);
    bool fitsNarrow(const std::vector<LogicalPoint>& points) const;

    std::string m_bytes;
    LogicalPoint m_current;
    std::vector<bool> m_namedLayers;
    int m_layer = 0;
    bool m_hasColour = false;
    uint8_t m_colour[3] = {0, 0, 0};
    bool m_hasWeight = false;
    int32_t m_weight = 0;
    bool m_hasFont = false;
    W2dFont m_font;
};

}  // namespace qv::host::plot
