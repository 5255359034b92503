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

bool parseDouble(std::string_view text, double& value) {
    text = withoutPlus(trimBlanks(text));
    if (text.empty()) {
        return false;
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
