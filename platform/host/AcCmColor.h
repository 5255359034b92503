// Colours of the host: by layer, by block, an index into the host's 256-colour palette (ACI), or
// a true colour given by red, green and blue.
#pragma once

#include "AdeskTypes.h"
#include "ErrorStatus.h"

class AcCmEntityColor {
  public:
    enum ColorMethod : Adesk::UInt8 {
        kByLayer = 0xC0,
        kByBlock = 0xC1,
        kByColor = 0xC2,  // a true colour
        kByACI = 0xC3,
        kByPen = 0xC4,
        kForeground = 0xC5,
        kLayerOff = 0xC6,
        kLayerFrozen = 0xC7,
        kNone = 0xC8,
    };

    // The palette's colour of an index, packed as red << 16 | green << 8 | blue: 1-9 the
    // standard colours (red, yellow, green, cyan, blue, magenta, white, dark and light grey),
    // 10-249 24 hues 15 degrees apart, each in 5 shades, full and pale, 250-255 greys; index 0
    // gives black.
    static Adesk::UInt32 lookUpRGB(Adesk::UInt8 index);
    // The palette index (1 to 255) nearest to a colour, by squared distance in red, green and
    // blue; the lowest index wins a tie.
    static Adesk::UInt8 lookUpACI(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);
};

class AcCmColor {
  public:
    using ColorMethod = AcCmEntityColor::ColorMethod;

    // By layer.
    AcCmColor() = default;

    ColorMethod colorMethod() const { return m_method; }
    // Changes the method and keeps what the colour shows where it can: an index becomes its
    // palette colour (kByColor), a true colour its nearest index (kByACI); a colour taken from
    // elsewhere (layer, block) becomes black or index 7 when given a colour of its own.
    Acad::ErrorStatus setColorMethod(ColorMethod method);

    bool isByLayer() const { return m_method == AcCmEntityColor::kByLayer; }
    bool isByBlock() const { return m_method == AcCmEntityColor::kByBlock; }
    bool isByColor() const { return m_method == AcCmEntityColor::kByColor; }
    bool isByACI() const { return m_method == AcCmEntityColor::kByACI; }
    bool isNone() const { return m_method == AcCmEntityColor::kNone; }
    bool isForeground() const { return m_method == AcCmEntityColor::kForeground; }

    void setByLayer() { set(AcCmEntityColor::kByLayer, 0); }
    void setByBlock() { set(AcCmEntityColor::kByBlock, 0); }
    void setNone() { set(AcCmEntityColor::kNone, 0); }
    void setForeground() { set(AcCmEntityColor::kForeground, 0); }

    // A true colour (kByColor).
    Acad::ErrorStatus setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue);
    // The colour's red, green and blue: its own for a true colour, the palette's for an index
    // (and index 7 for the foreground); 0, 0, 0 for by layer, by block and none.
    Adesk::UInt8 red() const { return static_cast<Adesk::UInt8>(rgb() >> 16); }
    Adesk::UInt8 green() const { return static_cast<Adesk::UInt8>(rgb() >> 8); }
    Adesk::UInt8 blue() const { return static_cast<Adesk::UInt8>(rgb()); }

    // 0 by block, 256 by layer, 1-255 an index (kByACI); 257 none. Anything else gives
    // eInvalidInput and changes nothing.
    Acad::ErrorStatus setColorIndex(Adesk::UInt16 index);
    // 0 by block, 256 by layer, 257 none, 7 the foreground, the index itself, or for a true
    // colour the nearest index of the palette.
    Adesk::UInt16 colorIndex() const;

    // The packed value: the method in the top byte, then red, green, blue (a true colour) or the
    // index in the low byte.
    Adesk::UInt32 color() const { return static_cast<Adesk::UInt32>(m_method) << 24 | m_value; }
    Acad::ErrorStatus setColor(Adesk::UInt32 packed);

    bool operator==(const AcCmColor& other) const = default;

  private:
    void set(ColorMethod method, Adesk::UInt32 value) {
        m_method = method;
        m_value = value;
    }
    Adesk::UInt32 rgb() const;

    ColorMethod m_method = AcCmEntityColor::kByLayer;
    Adesk::UInt32 m_value = 0;  // 0xRRGGBB for kByColor, the index for kByACI
};
