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
//   0x18 point string count count 4 points count
//                                   text that fills its box: the counts (each one more than
//                                   its list) say that no characters are over- or underscored
//                                   and no reserved values follow; the box's corners are the
//                                   left-bottom, right-bottom, right-top and left-top of the
//                                   text's own axes (relative, 32-bit): a box turned clockwise
//                                   holds a mirrored text
//   (Viewport 'name' (Contour 1 4 x,y x,y x,y x,y))
//                                   what follows is clipped to the box (absolute points);
//                                   (Viewport) lifts the clip
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

struct LogicalBox {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool operator==(const LogicalBox&) const = default;
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
    // A text that must fill the box (left-bottom, right-bottom, right-top, left-top).
    void text(LogicalPoint origin, const std::string& utf8, const LogicalPoint (&box)[4]);
    // Clips what follows to the box; nullptr lifts the clip.
    void clip(const LogicalBox* box);
    // The box what follows is clipped to; nullptr when nothing clips it.
    const LogicalBox* clipped() const { return m_clipped ? &m_clip : nullptr; }
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
    bool m_clipped = false;
    LogicalBox m_clip;
};

}  // namespace qv::host::plot
