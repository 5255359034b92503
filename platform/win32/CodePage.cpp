#include "win32/CodePage.h"

namespace qv {
namespace {

// Characters of bytes 0x80 to 0x9F in Windows-1252.
constexpr char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::wstring ansiToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        if (b >= 0x80 && b < 0xA0) {
            out += static_cast<wchar_t>(kHigh1252[b - 0x80]);
        } else {
            out += static_cast<wchar_t>(b);
        }
    }
    return out;
}

int wideCharToAnsiByte(wchar_t ch) {
    const auto c = static_cast<std::uint32_t>(ch);
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh1252[i] == c) {
            return 0x80 + i;
        }
    }
    return -1;
}

std::string wideToAnsi(std::wstring_view text, char defaultChar, bool* usedDefault) {
    std::string out;
    out.reserve(text.size());
    bool used = false;
    for (wchar_t ch : text) {
        const int b = wideCharToAnsiByte(ch);
        if (b < 0) {
            out += defaultChar;
            used = true;
        } else {
            out += static_cast<char>(b);
        }
    }
    if (usedDefault) {
        *usedDefault = used;
    }
    return out;
}

std::wstring utf8ToWide(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b0 < 0x80) {
            cp = b0;
        } else if (b0 >= 0xC2 && b0 < 0xF5) {
            const std::size_t need = b0 < 0xE0 ? 2 : (b0 < 0xF0 ? 3 : 4);
            char32_t v = b0 & (need == 2 ? 0x1F : (need == 3 ? 0x0F : 0x07));
            std::size_t k = 1;
            for (; k < need && i + k < n; ++k) {
                const auto b = static_cast<unsigned char>(bytes[i + k]);
                if ((b & 0xC0) != 0x80) {
                    break;
                }
                v = (v << 6) | (b & 0x3F);
            }
            if (k == need) {
                const char32_t minimum = need == 2 ? 0x80 : (need == 3 ? 0x800 : 0x10000);
                if (v >= minimum && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
                    cp = v;
                }
                len = need;
            } else {
                len = k;
            }
        }
        out += static_cast<wchar_t>(cp);
        i += len;
    }
    return out;
}

std::string wideToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        auto cp = static_cast<char32_t>(static_cast<std::uint32_t>(ch));
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

wchar_t toUpperChar(wchar_t ch) {
    if (ch >= L'a' && ch <= L'z') {
        return static_cast<wchar_t>(ch - 32);
    }
    if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) {
        return static_cast<wchar_t>(ch - 32);
    }
    return ch;
}

wchar_t toLowerChar(wchar_t ch) {
    if (ch >= L'A' && ch <= L'Z') {
        return static_cast<wchar_t>(ch + 32);
    }
    if (ch >= 0xC0 && ch <= 0xDE && ch != 0xD7) {
        return static_cast<wchar_t>(ch + 32);
    }
    return ch;
}

std::wstring toLower(std::wstring_view text) {
    std::wstring out(text);
    for (auto& ch : out) {
        ch = toLowerChar(ch);
    }
    return out;
}

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (toLowerChar(a[i]) != toLowerChar(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace qv
