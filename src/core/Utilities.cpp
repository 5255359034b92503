#include "core/Utilities.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <limits>

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("Utilities.cpp");

namespace {

bool isDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

// The leading integer of a text that isNumeric accepted: an optional "-", then the digits up to
// the first other character, clamped to [lowest, highest].
template <class T>
T leadingInteger(const CString& text) {
    const wchar_t* p = text.GetString();
    const bool negative = *p == L'-';
    if (negative)
        ++p;
    // Accumulate towards the sign's side so that the lowest value fits.
    T value = 0;
    for (; isDigit(*p); ++p) {
        const T digit = static_cast<T>(*p - L'0');
        if (negative) {
            if (value < (std::numeric_limits<T>::min() + digit) / 10) {
                return std::numeric_limits<T>::min();
            }
            value = static_cast<T>(value * 10 - digit);
        } else {
            if (value > (std::numeric_limits<T>::max() - digit) / 10) {
                return std::numeric_limits<T>::max();
            }
            value = static_cast<T>(value * 10 + digit);
        }
    }
    return value;
}

template <class T>
T numericTextToInteger(const CString& text) {
    return CUtilities::isNumeric(text) ? leadingInteger<T>(text) : 0;
}

// More decimals than any double can show a nonzero digit in (the smallest one has its first
// significant digit at the 324th place, and only 21 digits are kept).
constexpr int MAX_PRECISION = 340;
constexpr int KEPT_DIGITS = 21;

// Fixed-point text of a finite, non-negative value with `precision` decimals, rounded half away
// from zero on its decimal expansion taken to KEPT_DIGITS significant digits.
std::wstring fixedPoint(double magnitude, int precision) {
    // d.dddd...e±x with KEPT_DIGITS significant digits, correctly rounded and locale-free.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, KEPT_DIGITS - 1);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::stoi(text.substr(e + 1));

    // `point` digits stand before the decimal point (0 or below: the value is under 1).
    int point = exponent + 1;
    const int keep = point + precision;  // digits up to the last decimal kept
    if (keep < 0) {
        digits.clear();
    } else if (keep < KEPT_DIGITS) {
        const bool roundUp = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (roundUp) {
            int i = keep - 1;
            for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i) {
                digits[static_cast<std::size_t>(i)] = '0';
            }
            if (i >= 0) {
                ++digits[static_cast<std::size_t>(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    } else {
        digits.append(static_cast<std::size_t>(keep - KEPT_DIGITS), '0');
    }

    std::string out;
    if (point > 0) {
        // Rounding up may have added a digit at the front: `digits` then holds keep + 1 digits.
        out = digits.substr(0, static_cast<std::size_t>(point)) + "." +
              digits.substr(static_cast<std::size_t>(point));
    } else {
        out = "0.";
        const int zeros = std::min(-point, precision);
        out.append(static_cast<std::size_t>(zeros), '0');
        out += digits;
        out.resize(2 + static_cast<std::size_t>(precision), '0');
    }
    if (out.back() == '.')
        out.pop_back();
    return std::wstring(out.begin(), out.end());
}

}  // namespace

BOOL CUtilities::isNumeric(CString text) {
    try {
        if (text.IsEmpty() || text == L"-" || text == L"." || text == L"-.")
            return FALSE;
        BOOL numeric = TRUE;
        int points = 0;
        for (int i = 0; i < text.GetLength(); ++i) {
            const wchar_t ch = text.GetAt(i);
            if (ch == L'-') {
                if (i != 0)
                    numeric = FALSE;
            } else if (ch == L'.') {
                if (++points > 1)
                    numeric = FALSE;
            } else if (!isDigit(ch) && ch != L',') {
                numeric = FALSE;
            }
        }
        return numeric;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::isNumeric"));
    }
}

void CUtilities::makeNumeric(CString& text) {
    try {
        if (text.IsEmpty()) {
            text = L"0";
            return;
        }
        CString kept;
        bool pointKept = false;
        for (int i = 0; i < text.GetLength(); ++i) {
            const wchar_t ch = text.GetAt(i);
            if (isDigit(ch) || ch == L',' || (ch == L'-' && i == 0)) {
                kept += ch;
            } else if (ch == L'.' && !pointKept) {
                kept += ch;
                pointKept = true;
            }
        }
        text = kept;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::makeNumeric"));
    }
}

int CUtilities::CStringToInt(CString text) {
    try {
        return numericTextToInteger<int>(text);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToInt"));
    }
}

LONG CUtilities::CStringToLong(CString text) {
    try {
        return numericTextToInteger<LONG>(text);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToLong"));
    }
}

__int64 CUtilities::CStringToInt64(CString text) {
    try {
        return numericTextToInteger<__int64>(text);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToInt64"));
    }
}

double CUtilities::CStringToDouble(CString text) {
    try {
        return std::wcstod(text.GetString(), nullptr);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToDouble"));
    }
}

BOOL CUtilities::CStringToFiniteDouble(CString text, LPCTSTR what, double& value) {
    const double read = CStringToDouble(text);
    if (!std::isfinite(read)) {
        text.Trim();
        acutPrintf(L"Ignored the %s \"%s\": it is not a finite number.\n", what, text.GetString());
        return FALSE;
    }
    value = read;
    return TRUE;
}

BOOL CUtilities::CStringToBOOL(CString text) {
    try {
        static const LPCTSTR TRUE_TEXTS[] = {L"1",    L"t", L"tr", L"tru",
                                             L"true", L"y", L"ye", L"yes"};
        for (LPCTSTR candidate : TRUE_TEXTS) {
            if (text == candidate)
                return TRUE;
        }
        return FALSE;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToBOOL"));
    }
}

CString CUtilities::IntToCString(int value) {
    try {
        CString text;
        text.Format(L"%d", value);
        return text;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::IntToCString"));
    }
}

CString CUtilities::LongToCString(LONG value) {
    try {
        CString text;
        text.Format(L"%ld", value);
        return text;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::LongToCString"));
    }
}

CString CUtilities::BoolToCString(BOOL flag) {
    try {
        return flag ? CString(L"1") : CString(L"0");
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::BoolToCString"));
    }
}

CString CUtilities::DoubleToCString(double value, int precision) {
    try {
        if (std::isnan(value))
            return L"nan";
        if (std::isinf(value))
            return value < 0 ? L"-inf" : L"inf";
        if (value == 0)
            value = 0.0;  // no "-" for negative zero
        if (precision < 0) {
            CString text;
            text.Format(L"%-g", value);
            return text;
        }
        const std::wstring digits =
            fixedPoint(std::fabs(value), std::min(precision, MAX_PRECISION));
        return (value < 0 ? CString(L"-") : CString()) + CString(digits);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::DoubleToCString"));
    }
}

CString CUtilities::DoubleToRoundTripCString(double value) {
    try {
        if (std::isnan(value) || std::isinf(value) || value == 0)
            return DoubleToCString(value, -1);
        char buffer[64];
        const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
        return CString(std::wstring(buffer, result.ptr).c_str());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::DoubleToRoundTripCString"));
    }
}

double CUtilities::roundDouble(double value, int precision) {
    try {
        return CStringToDouble(DoubleToCString(value, precision));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::roundDouble"));
    }
}

int CUtilities::DoubleToInt(double value) {
    try {
        return CStringToInt(DoubleToCString(value, 0));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::DoubleToInt"));
    }
}

CString CUtilities::padding(int count, CString text) {
    try {
        if (count <= 0 || text.IsEmpty())
            return CString();
        // Too long a result raises (and is wrapped) before anything is copied.
        std::wstring padded;
        padded.reserve(static_cast<std::size_t>(count) *
                       static_cast<std::size_t>(text.GetLength()));
        for (int i = 0; i < count; ++i)
            padded += text.str();
        return CString(padded);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::padding"));
    }
}

std::string CUtilities::CStringToSTDString(CString text) {
    try {
        return std::string(CStringA(text).GetString());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::CStringToSTDString"));
    }
}

int CUtilities::occurrenceCount(CString substring, CString text) {
    try {
        if (substring.IsEmpty())
            return 0;
        int count = 0;
        for (int at = text.Find(substring); at >= 0; at = text.Find(substring, at + 1))
            ++count;
        return count;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::occurrenceCount"));
    }
}

void CUtilities::replaceIllegalCharacters(CString& text, CString replacement) {
    static const wchar_t ILLEGAL[] = L"\\/:*?\"<>|=';(),";
    CString cleaned;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text.GetAt(i);
        if (ch != 0 && std::wcschr(ILLEGAL, ch)) {
            cleaned += replacement;
        } else {
            cleaned += ch;
        }
    }
    text = cleaned;
}

int CUtilities::_httoi(CString text) {
    try {
        CString upper = text;
        upper.MakeUpper();
        const wchar_t* p = upper.GetString();
        if (p[0] == L'0' && p[1] == L'X')
            p += 2;
        std::uint32_t value = 0;
        for (;; ++p) {
            std::uint32_t digit;
            if (isDigit(*p)) {
                digit = static_cast<std::uint32_t>(*p - L'0');
            } else if (*p >= L'A' && *p <= L'F') {
                digit = static_cast<std::uint32_t>(*p - L'A' + 10);
            } else {
                break;
            }
            value = (value << 4) | digit;
        }
        return static_cast<int>(value);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::_httoi"));
    }
}

void CUtilities::parseHashString(CString colour, CString& red, CString& green, CString& blue) {
    if (colour.IsEmpty()) {
        throw new CEXInvalidHexColour(L"CUtilities", L"Utilities", L"CUtilities::parseHashString",
                                      colour);
    }
    CString digits = colour;
    digits.MakeUpper();
    if (digits.GetAt(0) == L'#')
        digits.Delete(0);
    validteHexString(digits);
    if (digits.GetLength() != 6) {
        throw new CEXInvalidHexColour(L"CUtilities", L"Utilities", L"CUtilities::parseHashString",
                                      colour);
    }
    red = digits.Mid(0, 2);
    green = digits.Mid(2, 2);
    blue = digits.Mid(4, 2);
}

void CUtilities::validteHexString(CString text) {
    try {
        for (int i = 0; i < text.GetLength(); ++i) {
            const wchar_t ch = text.GetAt(i);
            if (!isDigit(ch) && !(ch >= L'A' && ch <= L'F')) {
                throw new CEXInvalidHexColour(L"CUtilities", L"Utilities",
                                              L"CUtilities::validteHexString", text);
            }
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::validteHexString"));
    }
}

void CUtilities::hashColourToAcad(CString text, AcCmColor& colour) {
    try {
        CString red, green, blue;
        parseHashString(text, red, green, blue);
        colour.setRGB(static_cast<Adesk::UInt8>(_httoi(red)),
                      static_cast<Adesk::UInt8>(_httoi(green)),
                      static_cast<Adesk::UInt8>(_httoi(blue)));
    } catch (CEXInvalidHexColour*) {
        throw;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::hashColourToAcad"));
    }
}

CString CUtilities::acadColourToHash(const AcCmColor& colour) {
    try {
        CString text;
        text.Format(L"#%02X%02X%02X", colour.red(), colour.green(), colour.blue());
        return text;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CUtilities::acadColourToHash"));
    }
}
