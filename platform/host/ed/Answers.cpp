#include "host/ed/Answers.h"

#include <charconv>
#include <cmath>
#include <cwctype>
#include <numbers>
#include <vector>

namespace qv::host::ed {
namespace {

std::wstring trim(const std::wstring& s) {
    const size_t a = s.find_first_not_of(L" \t");
    if (a == std::wstring::npos) {
        return L"";
    }
    return s.substr(a, s.find_last_not_of(L" \t") - a + 1);
}

// ASCII only; anything else makes the number invalid.
std::optional<std::string> narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) {
        if (c > 0x7f) {
            return std::nullopt;
        }
        out += static_cast<char>(c);
    }
    return out;
}

std::vector<std::wstring> split(const std::wstring& s, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t cut = s.find(separator, start);
        parts.push_back(
            s.substr(start, cut == std::wstring::npos ? std::wstring::npos : cut - start));
        if (cut == std::wstring::npos) {
            return parts;
        }
        start = cut + 1;
    }
}

}  // namespace

std::optional<long long> parseInteger(const std::wstring& text) {
    std::optional<std::string> s = narrow(trim(text));
    if (!s || s->empty()) {
        return std::nullopt;
    }
    const char* first = s->data();
    if (*first == '+') {
        ++first;
    }
    long long value = 0;
    const auto [end, ec] = std::from_chars(first, s->data() + s->size(), value);
    if (ec != std::errc() || end != s->data() + s->size() || first == end) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseReal(const std::wstring& text) {
    std::optional<std::string> s = narrow(trim(text));
    if (!s || s->empty()) {
        return std::nullopt;
    }
    const char* first = s->data();
    if (*first == '+') {
        ++first;
    }
    if (first == s->data() + s->size() ||
        !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.' || *first == '-')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(first, s->data() + s->size(), value, std::chars_format::general);
    if (ec != std::errc() || end != s->data() + s->size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<AcGePoint3d> parsePoint(const std::wstring& text, const AcGePoint3d& base) {
    std::wstring s = trim(text);
    const bool relative = !s.empty() && s[0] == L'@';
    if (relative) {
        s = trim(s.substr(1));
        if (s.empty()) {
            return base;
        }
    }
    const AcGePoint3d origin = relative ? base : AcGePoint3d::kOrigin;
    const size_t angle = s.find(L'<');
    if (angle != std::wstring::npos) {
        const std::optional<double> d = parseReal(s.substr(0, angle));
        const std::optional<double> a = parseReal(s.substr(angle + 1));
        if (!d || !a) {
            return std::nullopt;
        }
        const double radians = *a * std::numbers::pi / 180.0;
        return AcGePoint3d(origin.x + *d * std::cos(radians), origin.y + *d * std::sin(radians),
                           origin.z);
    }
    const std::vector<std::wstring> parts = split(s, L',');
    if (parts.size() < 2 || parts.size() > 3) {
        return std::nullopt;
    }
    double xyz[3] = {0.0, 0.0, 0.0};
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::optional<double> v = parseReal(parts[i]);
        if (!v) {
            return std::nullopt;
        }
        xyz[i] = *v;
    }
    if (relative) {
        return AcGePoint3d(base.x + xyz[0], base.y + xyz[1], base.z + xyz[2]);
    }
    return AcGePoint3d(xyz[0], xyz[1], parts.size() == 3 ? xyz[2] : 0.0);
}

std::optional<AcDbHandle> parseHandle(const std::wstring& text) {
    const std::wstring s = trim(text);
    if (s.size() < 2 || s[0] != L'#' || s.size() > 17) {
        return std::nullopt;
    }
    for (size_t i = 1; i < s.size(); ++i) {
        if (!std::iswxdigit(static_cast<wint_t>(s[i]))) {
            return std::nullopt;
        }
    }
    const AcDbHandle handle(s.c_str() + 1);
    if (handle.isNull()) {
        return std::nullopt;
    }
    return handle;
}

}  // namespace qv::host::ed
