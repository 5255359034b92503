#include "host/dxf/Numbers.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace qv::dxf {

namespace {

std::string_view withoutPlus(std::string_view text) {
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text[0] == '-') {
            return {};  // "+-1"
        }
    }
    return text;
}

}  // namespace

namespace {

// A short decimal ("-12.375"): at most 15 digits, so that the digits as an integer and the power
// of ten are exact doubles and one division rounds the value correctly. False for anything else.
bool shortDecimal(std::string_view text, double& value) {
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    i += negative ? 1 : 0;
    std::uint64_t digits = 0;
    int count = 0, fraction = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            if (++count > 15) {
                return false;
            }
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            fraction += fraction >= 0 ? 1 : 0;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (count == 0) {
        return false;
    }
    value = static_cast<double>(digits) / kTens[fraction > 0 ? fraction : 0];
    value = negative ? -value : value;
    return true;
}

}  // namespace

bool parseDouble(std::string_view text, double& value) {
    text = withoutPlus(trimBlanks(text));
    if (text.empty()) {
        return false;
    }
    if (shortDecimal(text, value)) {
        return true;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool parseInteger(std::string_view text, std::int64_t& value) {
    text = withoutPlus(trimBlanks(text));
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc() && ptr == end) {
        return true;
    }
    double d = 0;
    const auto [dptr, dec] = std::from_chars(text.data(), end, d, std::chars_format::general);
    if (dec != std::errc() || dptr != end || !std::isfinite(d) || d != std::trunc(d) ||
        std::fabs(d) > 9.0e15) {
        return false;
    }
    value = static_cast<std::int64_t>(d);
    return true;
}

bool parseHandle(std::string_view text, std::uint64_t& value) {
    text = trimBlanks(text);
    if (text.empty() || text.size() > 16) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    return ec == std::errc() && ptr == end;
}

void appendDouble(std::string& out, double value) {
    if (!std::isfinite(value)) {
        throw std::invalid_argument("a DXF file cannot hold a number that is not finite");
    }
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t exponent = text.find('e');
    const std::string_view mantissa = text.substr(0, exponent);
    out += mantissa;
    if (mantissa.find('.') == std::string_view::npos) {
        out += ".0";
    }
    if (exponent != std::string_view::npos) {
        out += text.substr(exponent);
    }
}

void appendInteger(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendHandle(std::string& out, std::uint64_t value) {
    char buffer[20];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    for (char* p = buffer; p != result.ptr; ++p) {
        out += (*p >= 'a' && *p <= 'f') ? static_cast<char>(*p - 'a' + 'A') : *p;
    }
}

std::string handleText(std::uint64_t value) {
    std::string out;
    appendHandle(out, value);
    return out;
}

}  // namespace qv::dxf
