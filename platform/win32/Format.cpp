#include "win32/Format.h"

#include <cstdio>
#include <cwchar>
#include <string_view>

#include "win32/CodePage.h"

namespace qv {
namespace {

constexpr int kMaxField = 100000;  // width and precision beyond this are clamped

template <class Ch>
std::size_t textLength(const Ch* s, int precision) {
    std::size_t n = 0;
    while ((precision < 0 || n < static_cast<std::size_t>(precision)) && s[n] != 0) {
        ++n;
    }
    return n;
}

template <class Ch>
struct Out;

template <>
struct Out<wchar_t> {
    std::wstring s;
    void ascii(std::string_view a) {
        for (char c : a)
            s += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    void wide(std::wstring_view w) { s += w; }
    void narrow(std::string_view n) { s += ansiToWide(n); }
    void ch(wchar_t c) { s += c; }
    std::size_t size() const { return s.size(); }
};

template <>
struct Out<char> {
    std::string s;
    void ascii(std::string_view a) { s += a; }
    void wide(std::wstring_view w) { s += wideToAnsi(w); }
    void narrow(std::string_view n) { s += n; }
    void ch(wchar_t c) {
        const int b = wideCharToAnsiByte(c);
        s += b < 0 ? '?' : static_cast<char>(b);
    }
    std::size_t size() const { return s.size(); }
};

std::int64_t asSigned(const FormatArg& a) {
    switch (a.kind) {
        case FormatArg::Kind::Signed:
            return a.i;
        case FormatArg::Kind::Unsigned:
            return static_cast<std::int64_t>(a.u);
        case FormatArg::Kind::Double:
            if (a.d != a.d || a.d >= 9.2e18 || a.d <= -9.2e18)
                return 0;
            return static_cast<std::int64_t>(a.d);
        case FormatArg::Kind::Wide:
        case FormatArg::Kind::Narrow:
        case FormatArg::Kind::Pointer:
            return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(a.p));
    }
    return 0;
}

double asDouble(const FormatArg& a) {
    switch (a.kind) {
        case FormatArg::Kind::Signed:
            return static_cast<double>(a.i);
        case FormatArg::Kind::Unsigned:
            return static_cast<double>(a.u);
        case FormatArg::Kind::Double:
            return a.d;
        case FormatArg::Kind::Wide:
        case FormatArg::Kind::Narrow:
        case FormatArg::Kind::Pointer:
            return 0.0;
    }
    return 0.0;
}

template <class Ch>
std::basic_string<Ch> formatImpl(const Ch* fmt, const FormatArg* args, std::size_t count) {
    Out<Ch> out;
    if (!fmt) {
        return {};
    }
    std::size_t next = 0;
    auto take = [&]() -> const FormatArg* { return next < count ? &args[next++] : nullptr; };

    const Ch* p = fmt;
    while (*p) {
        if (*p != '%') {
            out.ch(static_cast<wchar_t>(*p++));
            continue;
        }
        const Ch* start = p++;
        if (*p == '%') {
            out.ch(L'%');
            ++p;
            continue;
        }
        std::string flags;
        while (*p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0') {
            flags += static_cast<char>(*p++);
        }
        int width = -1;
        if (*p == '*') {
            ++p;
            const FormatArg* a = take();
            long long w = a ? asSigned(*a) : 0;
            if (w < 0) {
                flags += '-';
                w = -w;
            }
            width = static_cast<int>(w > kMaxField ? kMaxField : w);
        } else {
            while (*p >= '0' && *p <= '9') {
                width = (width < 0 ? 0 : width) * 10 + (*p++ - '0');
                if (width > kMaxField)
                    width = kMaxField;
            }
        }
        int precision = -1;
        if (*p == '.') {
            ++p;
            precision = 0;
            if (*p == '*') {
                ++p;
                const FormatArg* a = take();
                long long v = a ? asSigned(*a) : 0;
                precision = v < 0 ? -1 : static_cast<int>(v > kMaxField ? kMaxField : v);
            } else {
                while (*p >= '0' && *p <= '9') {
                    precision = precision * 10 + (*p++ - '0');
                    if (precision > kMaxField)
                        precision = kMaxField;
                }
            }
        }
        // Size prefixes.
        enum class Size { None, Short, Long, LongLong, Ptr } size = Size::None;
        bool narrowStr = false, wideStr = false;
        for (;;) {
            if (*p == 'h') {
                size = Size::Short;
                narrowStr = true;
                ++p;
                if (*p == 'h')
                    ++p;
            } else if (*p == 'l') {
                wideStr = true;
                ++p;
                if (*p == 'l') {
                    size = Size::LongLong;
                    ++p;
                } else {
                    size = Size::Long;
                }
            } else if (*p == 'w') {
                wideStr = true;
                ++p;
            } else if (*p == 'I') {
                if (p[1] == '6' && p[2] == '4') {
                    size = Size::LongLong;
                    p += 3;
                } else if (p[1] == '3' && p[2] == '2') {
                    size = Size::Long;
                    p += 3;
                } else {
                    size = Size::Ptr;
                    ++p;
                }
            } else if (*p == 'L' || *p == 'z' || *p == 'j' || *p == 't') {
                size = *p == 'L' ? Size::None : Size::Ptr;
                ++p;
            } else {
                break;
            }
        }
        const Ch conv = *p;
        if (conv == 0) {
            // An unfinished conversion at the end is printed as it stands.
            for (const Ch* q = start; q < p; ++q)
                out.ch(static_cast<wchar_t>(*q));
            break;
        }
        ++p;

        const bool consumesArgument =
            conv != 'n' && std::string_view("diuoxXeEfFgGaAcCsSp").find(static_cast<char>(conv)) !=
                               std::string_view::npos;
        if (consumesArgument && next >= count) {
            continue;  // a missing argument prints nothing
        }

        auto pad = [&](std::size_t len, auto&& body) {
            const bool left = flags.find('-') != std::string::npos;
            const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
            if (!left)
                for (std::size_t k = len; k < w; ++k)
                    out.ch(L' ');
            body();
            if (left)
                for (std::size_t k = len; k < w; ++k)
                    out.ch(L' ');
        };

        switch (conv) {
            case 'd':
            case 'i':
            case 'u':
            case 'o':
            case 'x':
            case 'X': {
                const FormatArg* a = take();
                std::int64_t v = a ? asSigned(*a) : 0;
                const bool isSigned = conv == 'd' || conv == 'i';
                std::string spec = "%" + flags;
                if (width >= 0)
                    spec += std::to_string(width);
                if (precision >= 0)
                    spec += "." + std::to_string(precision);
                spec += "ll";
                spec += static_cast<char>(conv);
                long long sv;
                unsigned long long uv;
                switch (size) {
                    case Size::Short:
                        sv = static_cast<short>(v);
                        uv = static_cast<unsigned short>(v);
                        break;
                    case Size::LongLong:
                    case Size::Ptr:
                        sv = v;
                        uv = static_cast<unsigned long long>(v);
                        break;
                    case Size::None:
                    case Size::Long:
                    default:
                        sv = static_cast<std::int32_t>(v);
                        uv = static_cast<std::uint32_t>(v);
                        break;
                }
                char small[64];
                const int n = isSigned ? std::snprintf(small, sizeof small, spec.c_str(), sv)
                                       : std::snprintf(small, sizeof small, spec.c_str(), uv);
                if (n < static_cast<int>(sizeof small)) {
                    out.ascii(std::string_view(small, n > 0 ? n : 0));
                } else {
                    std::string big(static_cast<std::size_t>(n) + 1, '\0');
                    if (isSigned)
                        std::snprintf(big.data(), big.size(), spec.c_str(), sv);
                    else
                        std::snprintf(big.data(), big.size(), spec.c_str(), uv);
                    big.resize(static_cast<std::size_t>(n));
                    out.ascii(big);
                }
                break;
            }
            case 'e':
            case 'E':
            case 'f':
            case 'F':
            case 'g':
            case 'G':
            case 'a':
            case 'A': {
                const FormatArg* a = take();
                const double v = a ? asDouble(*a) : 0.0;
                std::string spec = "%" + flags;
                if (width >= 0)
                    spec += std::to_string(width);
                if (precision >= 0)
                    spec += "." + std::to_string(precision);
                spec += static_cast<char>(conv);
                const int n = std::snprintf(nullptr, 0, spec.c_str(), v);
                std::string buf(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
                std::snprintf(buf.data(), buf.size(), spec.c_str(), v);
                buf.resize(static_cast<std::size_t>(n > 0 ? n : 0));
                out.ascii(buf);
                break;
            }
            case 'c':
            case 'C': {
                const FormatArg* a = take();
                wchar_t c = a ? static_cast<wchar_t>(asSigned(*a)) : 0;
                const bool narrowChar =
                    (conv == 'C') == (sizeof(Ch) == sizeof(wchar_t)) ? !wideStr : narrowStr;
                if (narrowChar) {
                    const std::wstring w = ansiToWide(std::string(1, static_cast<char>(c)));
                    c = w.empty() ? 0 : w[0];
                }
                pad(1, [&] { out.ch(c); });
                break;
            }
            case 's':
            case 'S': {
                const FormatArg* a = take();
                // Which kind of text the conversion expects decides nothing here: the captured
                // argument knows its own kind.
                if (a && a->kind == FormatArg::Kind::Wide && a->ws) {
                    const std::size_t len = textLength(a->ws, precision);
                    pad(len, [&] { out.wide(std::wstring_view(a->ws, len)); });
                } else if (a && a->kind == FormatArg::Kind::Narrow && a->ns) {
                    const std::size_t len = textLength(a->ns, precision);
                    pad(len, [&] { out.narrow(std::string_view(a->ns, len)); });
                } else {
                    const std::size_t len = textLength("(null)", precision);
                    pad(len, [&] { out.ascii(std::string_view("(null)", len)); });
                }
                break;
            }
            case 'p': {
                const FormatArg* a = take();
                char buf[32];
                std::snprintf(buf, sizeof buf, "%016llX",
                              static_cast<unsigned long long>(a ? asSigned(*a) : 0));
                pad(16, [&] { out.ascii(buf); });
                break;
            }
            case 'n':
                take();  // never written through: the Windows runtime refuses %n as well
                break;
            default:
                // An unknown conversion is printed as it stands.
                for (const Ch* q = start; q < p; ++q)
                    out.ch(static_cast<wchar_t>(*q));
                break;
        }
    }
    return out.s;
}

}  // namespace

std::wstring formatWide(const wchar_t* fmt, const FormatArg* args, std::size_t count) {
    return formatImpl<wchar_t>(fmt, args, count);
}

std::string formatNarrow(const char* fmt, const FormatArg* args, std::size_t count) {
    return formatImpl<char>(fmt, args, count);
}

}  // namespace qv
