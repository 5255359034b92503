// The characters of the Windows-1252 bytes 0x80 to 0x9F, written out once for the tests that check
// the code page through the layers that use it (files, drawings). The five bytes the code page
// leaves undefined stand for the control characters of the same value.
#pragma once

#include <string>

namespace qv::test {

inline constexpr wchar_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The bytes 0x80 to 0xA0 and their characters: the whole table and the first byte after it,
// which stands for the same number (U+00A0, the no-break space).
inline std::string windows1252EdgeBytes() {
    std::string bytes;
    for (int b = 0x80; b <= 0xA0; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

inline std::wstring windows1252EdgeCharacters() {
    return std::wstring(kWindows1252High, 32) + L'\u00A0';
}

}  // namespace qv::test
