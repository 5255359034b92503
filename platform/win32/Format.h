// printf-style formatting as the Windows runtime does it, shared by CString::Format, the
// host's acutPrintf and the other formatting calls of the platform.
//
// Arguments are captured with their types (FormatArg), so a conversion that does not fit its
// argument gives a defined result instead of reading the wrong bytes: an integer conversion of a
// double takes its value truncated, a string conversion of a number prints "(null)", a missing
// argument prints nothing.
//
// In a wide format, %s and %c are wide (as on Windows) and %S, %C, %hs narrow; in a narrow
// format, %s is narrow and %S, %ls, %ws wide. Flags "-+ #0", width and precision (also "*"),
// size prefixes h, l, ll, I32, I64, I; conversions d i u o x X e E f F g G a A c C s S p n %.
// Narrow strings are taken as Windows-1252. Floating exponents have at least two digits.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

namespace qv {

struct FormatArg {
    enum class Kind { Signed, Unsigned, Double, Wide, Narrow, Pointer };
    Kind kind;
    union {
        std::int64_t i;
        std::uint64_t u;
        double d;
        const wchar_t* ws;
        const char* ns;
        const void* p;
    };

    FormatArg(bool v) : kind(Kind::Signed), i(v ? 1 : 0) {}
    FormatArg(char v) : kind(Kind::Signed), i(v) {}
    FormatArg(wchar_t v) : kind(Kind::Unsigned), u(static_cast<std::uint32_t>(v)) {}
    FormatArg(signed char v) : kind(Kind::Signed), i(v) {}
    FormatArg(unsigned char v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(short v) : kind(Kind::Signed), i(v) {}
    FormatArg(unsigned short v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(int v) : kind(Kind::Signed), i(v) {}
    FormatArg(unsigned v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(long v) : kind(Kind::Signed), i(v) {}
    FormatArg(unsigned long v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(long long v) : kind(Kind::Signed), i(v) {}
    FormatArg(unsigned long long v) : kind(Kind::Unsigned), u(v) {}
    FormatArg(float v) : kind(Kind::Double), d(v) {}
    FormatArg(double v) : kind(Kind::Double), d(v) {}
    FormatArg(long double v) : kind(Kind::Double), d(static_cast<double>(v)) {}
    FormatArg(const wchar_t* v) : kind(Kind::Wide), ws(v) {}
    FormatArg(wchar_t* v) : kind(Kind::Wide), ws(v) {}
    FormatArg(const char* v) : kind(Kind::Narrow), ns(v) {}
    FormatArg(char* v) : kind(Kind::Narrow), ns(v) {}
    FormatArg(std::nullptr_t) : kind(Kind::Pointer), p(nullptr) {}
    template <class T>
    FormatArg(T* v) : kind(Kind::Pointer), p(v) {}
    template <class T, std::enable_if_t<std::is_enum_v<T>, int> = 0>
    FormatArg(T v) : kind(Kind::Signed), i(static_cast<std::int64_t>(v)) {}
};

// Formats `fmt` with `count` arguments.
std::wstring formatWide(const wchar_t* fmt, const FormatArg* args, std::size_t count);
std::string formatNarrow(const char* fmt, const FormatArg* args, std::size_t count);

// Turns a formatting argument into what FormatArg takes: string classes give their text.
template <class T>
decltype(auto) formatValue(const T& v) {
    if constexpr (requires { v.qvFormatText(); }) {
        return v.qvFormatText();
    } else {
        return v;
    }
}

template <class... A>
std::wstring formatWideArgs(const wchar_t* fmt, const A&... args) {
    if constexpr (sizeof...(A) == 0) {
        return formatWide(fmt, nullptr, 0);
    } else {
        const FormatArg list[] = {FormatArg(formatValue(args))...};
        return formatWide(fmt, list, sizeof...(A));
    }
}

template <class... A>
std::string formatNarrowArgs(const char* fmt, const A&... args) {
    if constexpr (sizeof...(A) == 0) {
        return formatNarrow(fmt, nullptr, 0);
    } else {
        const FormatArg list[] = {FormatArg(formatValue(args))...};
        return formatNarrow(fmt, list, sizeof...(A));
    }
}

}  // namespace qv
