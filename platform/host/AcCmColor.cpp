#include "host/AcCmColor.h"

#include <array>

namespace {

constexpr Adesk::UInt32 pack(int r, int g, int b) {
    return static_cast<Adesk::UInt32>(r) << 16 | static_cast<Adesk::UInt32>(g) << 8 |
           static_cast<Adesk::UInt32>(b);
}

// Index 10 + 10 * hue + 2 * shade + pale: the hue's angle is 15 degrees per step, the shade
// gives the brightest component, a pale colour has half of it as its weakest component.
Adesk::UInt32 hueColour(int index) {
    static constexpr int kShades[] = {255, 204, 153, 127, 76};
    const int step = index - 10;
    const int angle = step / 10 * 15;
    const int high = kShades[step % 10 / 2];
    const int low = step % 2 == 1 ? high / 2 : 0;
    const int sector = angle / 60;
    const int within = angle % 60;
    const int rising = low + (high - low) * within / 60;
    const int falling = low + (high - low) * (60 - within) / 60;
    switch (sector) {
        case 0:
            return pack(high, rising, low);
        case 1:
            return pack(falling, high, low);
        case 2:
            return pack(low, high, rising);
        case 3:
            return pack(low, falling, high);
        case 4:
            return pack(rising, low, high);
        default:
            return pack(high, low, falling);
    }
}

const std::array<Adesk::UInt32, 256>& palette() {
    static const std::array<Adesk::UInt32, 256> table = [] {
        std::array<Adesk::UInt32, 256> t{};
        const Adesk::UInt32 standard[] = {
            pack(0, 0, 0),       pack(255, 0, 0),    pack(255, 255, 0), pack(0, 255, 0),
            pack(0, 255, 255),   pack(0, 0, 255),    pack(255, 0, 255), pack(255, 255, 255),
            pack(128, 128, 128), pack(192, 192, 192)};
        for (int i = 0; i < 10; ++i) {
            t[i] = standard[i];
        }
        for (int i = 10; i < 250; ++i) {
            t[i] = hueColour(i);
        }
        const int greys[] = {51, 91, 132, 173, 214, 255};
        for (int i = 0; i < 6; ++i) {
            t[250 + i] = pack(greys[i], greys[i], greys[i]);
        }
        return t;
    }();
    return table;
}

}  // namespace

Adesk::UInt32 AcCmEntityColor::lookUpRGB(Adesk::UInt8 index) {
    return palette()[index];
}

Adesk::UInt8 AcCmEntityColor::lookUpACI(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
    int best = 1;
    long bestDistance = -1;
    for (int i = 1; i < 256; ++i) {
        const Adesk::UInt32 c = palette()[i];
        const long dr = static_cast<long>(c >> 16 & 0xFF) - red;
        const long dg = static_cast<long>(c >> 8 & 0xFF) - green;
        const long db = static_cast<long>(c & 0xFF) - blue;
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<Adesk::UInt8>(best);
}

Acad::ErrorStatus AcCmColor::setColorMethod(ColorMethod method) {
    switch (method) {
        case AcCmEntityColor::kByColor:
            set(method, rgb());
            return Acad::eOk;
        case AcCmEntityColor::kByACI: {
            const Adesk::UInt16 index = colorIndex();
            set(method, index >= 1 && index <= 255 ? index : 7);
            return Acad::eOk;
        }
        case AcCmEntityColor::kByLayer:
        case AcCmEntityColor::kByBlock:
        case AcCmEntityColor::kByPen:
        case AcCmEntityColor::kForeground:
        case AcCmEntityColor::kLayerOff:
        case AcCmEntityColor::kLayerFrozen:
        case AcCmEntityColor::kNone:
            set(method, 0);
            return Acad::eOk;
    }
    return Acad::eInvalidInput;
}

Acad::ErrorStatus AcCmColor::setRGB(Adesk::UInt8 red, Adesk::UInt8 green, Adesk::UInt8 blue) {
    set(AcCmEntityColor::kByColor, pack(red, green, blue));
    return Acad::eOk;
}

Acad::ErrorStatus AcCmColor::setColorIndex(Adesk::UInt16 index) {
    if (index == 0) {
        setByBlock();
    } else if (index == 256) {
        setByLayer();
    } else if (index == 257) {
        setNone();
    } else if (index < 256) {
        set(AcCmEntityColor::kByACI, index);
    } else {
        return Acad::eInvalidInput;
    }
    return Acad::eOk;
}

Adesk::UInt16 AcCmColor::colorIndex() const {
    switch (m_method) {
        case AcCmEntityColor::kByBlock:
            return 0;
        case AcCmEntityColor::kByLayer:
        case AcCmEntityColor::kLayerOff:
        case AcCmEntityColor::kLayerFrozen:
            return 256;
        case AcCmEntityColor::kNone:
        case AcCmEntityColor::kByPen:
            return 257;
        case AcCmEntityColor::kForeground:
            return 7;
        case AcCmEntityColor::kByACI:
            return static_cast<Adesk::UInt16>(m_value);
        case AcCmEntityColor::kByColor:
            return AcCmEntityColor::lookUpACI(red(), green(), blue());
    }
    return 256;
}

Acad::ErrorStatus AcCmColor::setColor(Adesk::UInt32 packed) {
    const auto method = static_cast<Adesk::UInt8>(packed >> 24);
    if (method < AcCmEntityColor::kByLayer || method > AcCmEntityColor::kNone) {
        return Acad::eInvalidInput;
    }
    if (method == AcCmEntityColor::kByACI && (packed & 0xFF) == 0) {
        return Acad::eInvalidInput;
    }
    set(static_cast<ColorMethod>(method), method == AcCmEntityColor::kByColor ? packed & 0xFFFFFF
                                          : method == AcCmEntityColor::kByACI ? packed & 0xFF
                                                                              : 0);
    return Acad::eOk;
}

Adesk::UInt32 AcCmColor::rgb() const {
    switch (m_method) {
        case AcCmEntityColor::kByColor:
            return m_value;
        case AcCmEntityColor::kByACI:
            return AcCmEntityColor::lookUpRGB(static_cast<Adesk::UInt8>(m_value));
        case AcCmEntityColor::kForeground:
            return AcCmEntityColor::lookUpRGB(7);
        case AcCmEntityColor::kByLayer:
        case AcCmEntityColor::kByBlock:
        case AcCmEntityColor::kByPen:
        case AcCmEntityColor::kLayerOff:
        case AcCmEntityColor::kLayerFrozen:
        case AcCmEntityColor::kNone:
            return 0;
    }
    return 0;
}
