// VariantChangeType and the decimal helpers: the conversion rules of Variant.h.
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>

#include "com/OleDate.h"
#include "com/Variant.h"

namespace {

using Int128 = __int128;
using UInt128 = unsigned __int128;

constexpr UInt128 kMaxDecimalMantissa = (static_cast<UInt128>(1) << 96) - 1;
constexpr int kMaxDecimalScale = 28;

// An exact decimal number: digits × 10^exponent, digits without leading or trailing zeros
// (empty for zero).
struct Number {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.empty(); }
    void normalise() {
        std::size_t lead = 0;
        while (lead < digits.size() && digits[lead] == '0')
            ++lead;
        digits.erase(0, lead);
        while (!digits.empty() && digits.back() == '0') {
            digits.pop_back();
            ++exponent;
        }
        if (digits.empty()) {
            negative = false;
            exponent = 0;
        }
    }
};

Number numberFromUnsigned(UInt128 magnitude, bool negative, int exponent) {
    Number n;
    n.negative = negative;
    n.exponent = exponent;
    do {
        n.digits.insert(n.digits.begin(),
                        static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude);
    n.normalise();
    return n;
}

Number numberFromSigned(Int128 value, int exponent = 0) {
    const bool negative = value < 0;
    const UInt128 magnitude =
        negative ? static_cast<UInt128>(-(value + 1)) + 1 : static_cast<UInt128>(value);
    return numberFromUnsigned(magnitude, negative, exponent);
}

UInt128 decimalMantissa(const DECIMAL& d) {
    return (static_cast<UInt128>(d.Hi32) << 64) | d.Lo64;
}

Number numberFromDecimal(const DECIMAL& d) {
    return numberFromUnsigned(decimalMantissa(d), (d.sign & DECIMAL_NEG) != 0,
                              -static_cast<int>(d.scale));
}

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// Reads text as a number (see Variant.h); nullopt when it is not one.
std::optional<Number> parseNumber(std::wstring_view s) {
    std::size_t i = 0, end = s.size();
    while (i < end && isBlank(s[i]))
        ++i;
    while (end > i && isBlank(s[end - 1]))
        --end;
    Number n;
    if (i < end && (s[i] == L'+' || s[i] == L'-'))
        n.negative = s[i++] == L'-';
    bool anyDigit = false;
    for (; i < end; ++i) {
        if (s[i] >= L'0' && s[i] <= L'9') {
            n.digits += static_cast<char>(s[i]);
            anyDigit = true;
        } else if (s[i] == L',' && anyDigit && i + 1 < end && s[i + 1] >= L'0' &&
                   s[i + 1] <= L'9') {
            continue;  // a thousands separator
        } else {
            break;
        }
    }
    if (i < end && s[i] == L'.') {
        for (++i; i < end && s[i] >= L'0' && s[i] <= L'9'; ++i) {
            n.digits += static_cast<char>(s[i]);
            --n.exponent;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < end && (s[i] == L'e' || s[i] == L'E' || s[i] == L'd' || s[i] == L'D')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (s[i] == L'+' || s[i] == L'-'))
            negativeExponent = s[i++] == L'-';
        if (i >= end || s[i] < L'0' || s[i] > L'9')
            return std::nullopt;
        long long e = 0;
        for (; i < end && s[i] >= L'0' && s[i] <= L'9'; ++i) {
            if (e < 100000)
                e = e * 10 + (s[i] - L'0');
        }
        n.exponent += static_cast<int>(negativeExponent ? -e : e);
    }
    if (i != end)
        return std::nullopt;
    n.normalise();
    return n;
}

// The value × 10^shift rounded half to even to an integer; nullopt when it needs more than
// 38 digits.
std::optional<Int128> roundToInteger(const Number& n, int shift = 0) {
    if (n.isZero())
        return Int128(0);
    const long long exponent = static_cast<long long>(n.exponent) + shift;
    const long long intDigits = static_cast<long long>(n.digits.size()) + exponent;
    if (intDigits > 38)
        return std::nullopt;
    UInt128 value = 0;
    for (long long k = 0; k < intDigits; ++k) {
        const char c = k < static_cast<long long>(n.digits.size())
                           ? n.digits[static_cast<std::size_t>(k)]
                           : '0';
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (intDigits < static_cast<long long>(n.digits.size())) {
        const long long first = intDigits < 0 ? -1 : intDigits;  // index of the first dropped digit
        bool up = false;
        if (first >= 0) {
            const char d = n.digits[static_cast<std::size_t>(first)];
            const bool more = static_cast<std::size_t>(first) + 1 < n.digits.size();
            up = d > '5' || (d == '5' && (more || (value & 1)));
        }
        if (up)
            ++value;
    }
    if (value > static_cast<UInt128>(~static_cast<UInt128>(0) >> 1))
        return std::nullopt;
    const auto signedValue = static_cast<Int128>(value);
    return n.negative ? -signedValue : signedValue;
}

double toDouble(const Number& n) {
    if (n.isZero())
        return 0.0;
    std::string text = (n.negative ? "-" : "") + n.digits + "e" + std::to_string(n.exponent);
    return std::strtod(text.c_str(), nullptr);
}

// The C "%.NG" form with a point, whatever the process locale.
std::wstring formatReal(double value, int precision) {
    if (value == 0.0)
        return L"0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", precision, value);
    std::wstring text;
    for (const char* p = buffer; *p; ++p)
        text += static_cast<wchar_t>(*p == ',' ? '.' : *p);
    return text;
}

std::wstring formatNumber(const Number& n) {
    if (n.isZero())
        return L"0";
    std::wstring text = n.negative ? L"-" : L"";
    const long long intDigits = static_cast<long long>(n.digits.size()) + n.exponent;
    std::wstring digits(n.digits.begin(), n.digits.end());
    if (n.exponent >= 0) {
        text += digits + std::wstring(static_cast<std::size_t>(n.exponent), L'0');
    } else if (intDigits > 0) {
        text += digits.substr(0, static_cast<std::size_t>(intDigits)) + L"." +
                digits.substr(static_cast<std::size_t>(intDigits));
    } else {
        text += L"0." + std::wstring(static_cast<std::size_t>(-intDigits), L'0') + digits;
    }
    return text;
}

HRESULT decimalFromNumber(const Number& n, DECIMAL& out) {
    DECIMAL_SETZERO(out);
    if (n.isZero())
        return S_OK;
    int scale =
        n.exponent < 0 ? (-n.exponent > kMaxDecimalScale ? kMaxDecimalScale : -n.exponent) : 0;
    for (;; --scale) {
        const auto value = roundToInteger(n, scale);
        if (value) {
            const UInt128 magnitude =
                *value < 0 ? static_cast<UInt128>(-*value) : static_cast<UInt128>(*value);
            if (magnitude <= kMaxDecimalMantissa) {
                out.Hi32 = static_cast<ULONG>(magnitude >> 64);
                out.Lo64 = static_cast<ULONGLONG>(magnitude);
                out.scale = static_cast<BYTE>(scale);
                out.sign = magnitude != 0 && n.negative ? DECIMAL_NEG : 0;
                return S_OK;
            }
        }
        if (scale == 0)
            return DISP_E_OVERFLOW;
    }
}

Number numberFromDouble(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14E", value);  // 15 significant digits
    std::wstring wide(buffer, buffer + std::char_traits<char>::length(buffer));
    for (auto& c : wide)
        if (c == L',')
            c = L'.';
    return *parseNumber(wide);
}

bool isInteger(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
        case VT_I2:
        case VT_I4:
        case VT_I8:
        case VT_INT:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_UI8:
        case VT_UINT:
            return true;
        default:
            return false;
    }
}

bool isReal(VARTYPE vt) {
    return vt == VT_R4 || vt == VT_R8 || vt == VT_DATE;
}

bool isScalar(VARTYPE vt) {
    return isInteger(vt) || isReal(vt) || vt == VT_CY || vt == VT_DECIMAL || vt == VT_BOOL;
}

Int128 integerValue(const VARIANT& v) {
    switch (v.vt) {
        case VT_I1:
            return v.cVal;
        case VT_I2:
            return v.iVal;
        case VT_I4:
            return v.lVal;
        case VT_I8:
            return v.llVal;
        case VT_INT:
            return v.intVal;
        case VT_UI1:
            return v.bVal;
        case VT_UI2:
            return v.uiVal;
        case VT_UI4:
            return v.ulVal;
        case VT_UI8:
            return static_cast<Int128>(v.ullVal);
        case VT_UINT:
            return v.uintVal;
        case VT_BOOL:
            return v.boolVal ? -1 : 0;
        default:
            return 0;
    }
}

double realValue(const VARIANT& v) {
    switch (v.vt) {
        case VT_R4:
            return v.fltVal;
        case VT_R8:
            return v.dblVal;
        case VT_DATE:
            return v.date;
        default:
            return 0.0;
    }
}

// The exact value of an integer, boolean, currency, decimal or empty source.
Number exactValue(const VARIANT& v) {
    if (v.vt == VT_CY)
        return numberFromSigned(v.cyVal.int64, -4);
    if (v.vt == VT_DECIMAL)
        return numberFromDecimal(v.decVal);
    if (v.vt == VT_EMPTY)
        return Number();
    return numberFromSigned(integerValue(v));
}

// The source as a number: NaN-free double for reals, exact for the rest, parsed for text.
struct Numeric {
    bool real = false;
    double r = 0.0;
    Number exact;
};

HRESULT numericValue(const VARIANT& v, Numeric& out) {
    if (isReal(v.vt)) {
        out.real = true;
        out.r = realValue(v);
        return S_OK;
    }
    if (v.vt == VT_BSTR) {
        auto parsed =
            parseNumber(std::wstring_view(v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal)));
        if (!parsed)
            return DISP_E_TYPEMISMATCH;
        out.exact = *parsed;
        return S_OK;
    }
    if (isScalar(v.vt) || v.vt == VT_EMPTY) {
        out.exact = exactValue(v);
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

struct Range {
    Int128 min;
    Int128 max;
};

Range rangeOf(VARTYPE vt) {
    switch (vt) {
        case VT_I1:
            return {-128, 127};
        case VT_I2:
            return {-32768, 32767};
        case VT_I4:
        case VT_INT:
            return {INT32_MIN, INT32_MAX};
        case VT_I8:
            return {INT64_MIN, INT64_MAX};
        case VT_UI1:
            return {0, 255};
        case VT_UI2:
            return {0, 65535};
        case VT_UI4:
        case VT_UINT:
            return {0, UINT32_MAX};
        default:
            return {0, static_cast<Int128>(UINT64_MAX)};
    }
}

void storeInteger(VARIANT& out, VARTYPE vt, Int128 value) {
    out.vt = vt;
    switch (vt) {
        case VT_I1:
            out.cVal = static_cast<CHAR>(value);
            break;
        case VT_I2:
            out.iVal = static_cast<SHORT>(value);
            break;
        case VT_I4:
            out.lVal = static_cast<LONG>(value);
            break;
        case VT_I8:
            out.llVal = static_cast<LONGLONG>(value);
            break;
        case VT_INT:
            out.intVal = static_cast<INT>(value);
            break;
        case VT_UI1:
            out.bVal = static_cast<BYTE>(value);
            break;
        case VT_UI2:
            out.uiVal = static_cast<USHORT>(value);
            break;
        case VT_UI4:
            out.ulVal = static_cast<ULONG>(value);
            break;
        case VT_UI8:
            out.ullVal = static_cast<ULONGLONG>(value);
            break;
        case VT_UINT:
            out.uintVal = static_cast<UINT>(value);
            break;
        default:
            break;
    }
}

HRESULT toInteger(const VARIANT& src, VARTYPE vt, VARIANT& out) {
    Numeric n;
    if (HRESULT hr = numericValue(src, n); FAILED(hr))
        return hr;
    Int128 value = 0;
    if (n.real) {
        if (!std::isfinite(n.r) || std::fabs(n.r) >= 1e38)
            return DISP_E_OVERFLOW;
        value = static_cast<Int128>(std::nearbyint(n.r));
    } else {
        const auto rounded = roundToInteger(n.exact);
        if (!rounded)
            return DISP_E_OVERFLOW;
        value = *rounded;
    }
    const Range range = rangeOf(vt);
    if (value < range.min || value > range.max)
        return DISP_E_OVERFLOW;
    storeInteger(out, vt, value);
    return S_OK;
}

HRESULT toReal(const VARIANT& src, VARTYPE vt, VARIANT& out) {
    double value = 0.0;
    if (vt == VT_DATE && src.vt == VT_BSTR) {
        if (!qv::com::parseDate(
                std::wstring_view(src.bstrVal ? src.bstrVal : L"", SysStringLen(src.bstrVal)),
                value))
            return DISP_E_TYPEMISMATCH;
    } else {
        Numeric n;
        if (HRESULT hr = numericValue(src, n); FAILED(hr))
            return hr;
        value = n.real ? n.r : toDouble(n.exact);
        if (std::isinf(value) && !n.real)
            return DISP_E_OVERFLOW;
    }
    out.vt = vt;
    if (vt == VT_R4) {
        if (std::isfinite(value) && std::fabs(value) > FLT_MAX)
            return DISP_E_OVERFLOW;
        out.fltVal = static_cast<FLOAT>(value);
    } else if (vt == VT_DATE) {
        if (!qv::com::validDate(value))
            return DISP_E_OVERFLOW;
        out.date = value;
    } else {
        out.dblVal = value;
    }
    return S_OK;
}

HRESULT toCurrency(const VARIANT& src, VARIANT& out) {
    Numeric n;
    if (HRESULT hr = numericValue(src, n); FAILED(hr))
        return hr;
    Int128 value = 0;
    if (n.real) {
        const double scaled = n.r * 10000.0;
        if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e19)
            return DISP_E_OVERFLOW;
        value = static_cast<Int128>(std::nearbyint(scaled));
    } else {
        const auto rounded = roundToInteger(n.exact, 4);
        if (!rounded)
            return DISP_E_OVERFLOW;
        value = *rounded;
    }
    if (value < INT64_MIN || value > INT64_MAX)
        return DISP_E_OVERFLOW;
    out.vt = VT_CY;
    out.cyVal.int64 = static_cast<LONGLONG>(value);
    return S_OK;
}

HRESULT toDecimal(const VARIANT& src, VARIANT& out) {
    Numeric n;
    if (HRESULT hr = numericValue(src, n); FAILED(hr))
        return hr;
    if (n.real) {
        if (!std::isfinite(n.r))
            return DISP_E_OVERFLOW;
        n.exact = numberFromDouble(n.r);
    }
    DECIMAL value;
    if (HRESULT hr = decimalFromNumber(n.exact, value); FAILED(hr))
        return hr;
    out.decVal = value;
    out.vt = VT_DECIMAL;
    return S_OK;
}

bool equalsWord(std::wstring_view s, const wchar_t* word) {
    std::size_t i = 0, end = s.size();
    while (i < end && isBlank(s[i]))
        ++i;
    while (end > i && isBlank(s[end - 1]))
        --end;
    const std::size_t length = std::wcslen(word);
    if (end - i != length)
        return false;
    for (std::size_t k = 0; k < length; ++k) {
        wchar_t c = s[i + k];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c + 32);
        if (c != word[k])
            return false;
    }
    return true;
}

HRESULT toBool(const VARIANT& src, VARIANT& out) {
    bool value = false;
    if (src.vt == VT_BSTR) {
        const std::wstring_view text(src.bstrVal ? src.bstrVal : L"", SysStringLen(src.bstrVal));
        if (equalsWord(text, L"true")) {
            value = true;
        } else if (equalsWord(text, L"false")) {
            value = false;
        } else {
            const auto parsed = parseNumber(text);
            if (!parsed)
                return DISP_E_TYPEMISMATCH;
            value = !parsed->isZero();
        }
    } else {
        Numeric n;
        if (HRESULT hr = numericValue(src, n); FAILED(hr))
            return hr;
        value = n.real ? n.r != 0.0 : !n.exact.isZero();
    }
    out.vt = VT_BOOL;
    out.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT toString(const VARIANT& src, USHORT flags, VARIANT& out) {
    std::wstring text;
    switch (src.vt) {
        case VT_EMPTY:
            break;
        case VT_BSTR:
            out.vt = VT_BSTR;
            out.bstrVal = SysAllocStringLen(src.bstrVal, SysStringLen(src.bstrVal));
            return out.bstrVal ? S_OK : E_OUTOFMEMORY;
        case VT_BOOL:
            if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) {
                text = src.boolVal ? L"True" : L"False";
            } else {
                text = src.boolVal ? L"-1" : L"0";
            }
            break;
        case VT_R4:
            text = formatReal(src.fltVal, 7);
            break;
        case VT_R8:
            text = formatReal(src.dblVal, 15);
            break;
        case VT_DATE:
            text = qv::com::formatDate(src.date);
            if (text.empty())
                return DISP_E_OVERFLOW;
            break;
        default:
            if (!isScalar(src.vt))
                return DISP_E_TYPEMISMATCH;
            text = formatNumber(exactValue(src));
            break;
    }
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return out.bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT toInterface(const VARIANT& src, VARTYPE vt, VARIANT& out) {
    out.vt = vt;
    out.punkVal = nullptr;
    if (src.vt == VT_EMPTY)
        return S_OK;
    if (src.vt != VT_UNKNOWN && src.vt != VT_DISPATCH)
        return DISP_E_TYPEMISMATCH;
    if (!src.punkVal)
        return S_OK;
    void* object = nullptr;
    const IID& iid = vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
    if (FAILED(src.punkVal->QueryInterface(iid, &object)))
        return DISP_E_TYPEMISMATCH;
    out.punkVal = static_cast<IUnknown*>(object);
    return S_OK;
}

bool isValidType(VARTYPE vt) {
    const VARTYPE base = vt & VT_TYPEMASK;
    if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF))
        return false;
    if (base == VT_VARIANT)
        return (vt & (VT_ARRAY | VT_BYREF)) != 0;
    if ((vt & (VT_ARRAY | VT_BYREF)) && (base == VT_EMPTY || base == VT_NULL))
        return false;
    return base <= VT_DECIMAL || (base >= VT_I1 && base <= VT_UINT);
}

HRESULT convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT& out) {
    if (src.vt == vt)
        return VariantCopy(&out, &src);
    if (vt == VT_EMPTY)
        return S_OK;
    if (src.vt == VT_NULL || vt == VT_NULL || src.vt == VT_ERROR || vt == VT_ERROR ||
        (vt & VT_ARRAY) || (src.vt & VT_ARRAY))
        return DISP_E_TYPEMISMATCH;
    if (isInteger(vt))
        return toInteger(src, vt, out);
    switch (vt) {
        case VT_R4:
        case VT_R8:
        case VT_DATE:
            return toReal(src, vt, out);
        case VT_CY:
            return toCurrency(src, out);
        case VT_DECIMAL:
            return toDecimal(src, out);
        case VT_BOOL:
            return toBool(src, out);
        case VT_BSTR:
            return toString(src, flags, out);
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return toInterface(src, vt, out);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt) {
    if (!dest || !src)
        return E_INVALIDARG;
    if (!isValidType(vt) || (vt & VT_BYREF) || !isValidType(src->vt))
        return DISP_E_BADVARTYPE;
    VARIANT value;
    VariantInit(&value);
    if (HRESULT hr = VariantCopyInd(&value, src); FAILED(hr))
        return hr;
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = convert(value, flags, vt, result);
    VariantClear(&value);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* src, LCID, USHORT flags,
                            VARTYPE vt) {
    return VariantChangeType(dest, src, flags, vt);
}

HRESULT VarDecFromR8(double value, DECIMAL* out) {
    if (!out)
        return E_INVALIDARG;
    VARIANT src, result;
    src.vt = VT_R8;
    src.dblVal = value;
    VariantInit(&result);
    const HRESULT hr = toDecimal(src, result);
    if (SUCCEEDED(hr))
        *out = result.decVal;
    return hr;
}

HRESULT VarR8FromDec(const DECIMAL* value, double* out) {
    if (!value || !out)
        return E_INVALIDARG;
    *out = toDouble(numberFromDecimal(*value));
    return S_OK;
}

HRESULT VarDecFromStr(const OLECHAR* text, LCID, ULONG, DECIMAL* out) {
    if (!text || !out)
        return E_INVALIDARG;
    const auto parsed = parseNumber(text);
    if (!parsed)
        return DISP_E_TYPEMISMATCH;
    return decimalFromNumber(*parsed, *out);
}

HRESULT VarBstrFromDec(const DECIMAL* value, LCID, ULONG, BSTR* out) {
    if (!value || !out)
        return E_INVALIDARG;
    const std::wstring text = formatNumber(numberFromDecimal(*value));
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT VarDecCmp(const DECIMAL* left, const DECIMAL* right) {
    if (!left || !right)
        return E_INVALIDARG;
    const Number a = numberFromDecimal(*left), b = numberFromDecimal(*right);
    auto sign = [](const Number& n) { return n.isZero() ? 0 : (n.negative ? -1 : 1); };
    if (sign(a) != sign(b))
        return sign(a) < sign(b) ? VARCMP_LT : VARCMP_GT;
    if (sign(a) == 0)
        return VARCMP_EQ;
    int magnitude = 0;  // compares |a| with |b|
    const long long orderA = static_cast<long long>(a.digits.size()) + a.exponent;
    const long long orderB = static_cast<long long>(b.digits.size()) + b.exponent;
    if (orderA != orderB) {
        magnitude = orderA < orderB ? -1 : 1;
    } else {
        const int c = a.digits.compare(b.digits);
        magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.negative)
        magnitude = -magnitude;
    return magnitude < 0 ? VARCMP_LT : (magnitude > 0 ? VARCMP_GT : VARCMP_EQ);
}
