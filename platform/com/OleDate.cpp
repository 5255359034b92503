#include "com/OleDate.h"

#include <cmath>
#include <cwchar>

namespace qv::com {
namespace {

constexpr double kMinDate = -657434.0;          // 1 January 100
constexpr double kMaxDate = 2958465.999994213;  // 31 December 9999, 23:59:59.5

// Days from 1 January 1970 of a proleptic Gregorian date (H. Hinnant's civil algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

const long long kEpoch = daysFromCivil(1899, 12, 30);

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return days[month - 1];
}

// A small cursor over the text being parsed.
struct Reader {
    std::wstring_view s;
    std::size_t pos = 0;

    bool done() const { return pos >= s.size(); }
    wchar_t peek() const { return done() ? 0 : s[pos]; }
    void blanks() {
        while (!done() && (s[pos] == L' ' || s[pos] == L'\t'))
            ++pos;
    }
    bool take(wchar_t c) {
        if (peek() != c)
            return false;
        ++pos;
        return true;
    }
    // Reads 1..maxDigits digits; `count` receives how many.
    bool number(int& value, int maxDigits, int* count = nullptr) {
        int n = 0;
        value = 0;
        while (!done() && s[pos] >= L'0' && s[pos] <= L'9' && n < maxDigits) {
            value = value * 10 + (s[pos] - L'0');
            ++pos;
            ++n;
        }
        if (count)
            *count = n;
        return n > 0;
    }
};

bool readTime(Reader& r, DateParts& p) {
    if (!r.number(p.hour, 2) || !r.take(L':') || !r.number(p.minute, 2))
        return false;
    p.second = 0;
    if (r.take(L':')) {
        if (!r.number(p.second, 2))
            return false;
        if (r.take(L'.')) {
            int fraction = 0, digits = 0;
            if (!r.number(fraction, 9, &digits))
                return false;
        }
    }
    r.blanks();
    const std::size_t mark = r.pos;
    auto word = [&](const wchar_t* w) {
        r.pos = mark;
        for (; *w; ++w) {
            const wchar_t c = r.peek();
            if (c != *w && c != *w + (L'a' - L'A'))
                return false;
            ++r.pos;
        }
        return true;
    };
    if (word(L"AM")) {
        if (p.hour < 1 || p.hour > 12)
            return false;
        if (p.hour == 12)
            p.hour = 0;
    } else if (word(L"PM")) {
        if (p.hour < 1 || p.hour > 12)
            return false;
        if (p.hour != 12)
            p.hour += 12;
    } else {
        r.pos = mark;
    }
    return true;
}

bool readDate(Reader& r, DateParts& p) {
    const std::size_t start = r.pos;
    int first = 0, digits = 0;
    if (!r.number(first, 4, &digits))
        return false;
    if (digits == 4 && (r.peek() == L'-' || r.peek() == L'/')) {
        const wchar_t sep = r.peek();
        r.take(sep);
        p.year = first;
        return r.number(p.month, 2) && r.take(sep) && r.number(p.day, 2);
    }
    if (digits > 2 || !r.take(L'/')) {
        r.pos = start;
        return false;
    }
    p.month = first;
    if (!r.number(p.day, 2) || !r.take(L'/') || !r.number(p.year, 4, &digits))
        return false;
    if (digits == 2) {
        p.year += p.year < 30 ? 2000 : 1900;
    } else if (digits != 4) {
        return false;
    }
    return true;
}

}  // namespace

bool dateFromParts(const DateParts& p, DATE& date) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > daysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59)
        return false;
    const double days = static_cast<double>(
        daysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
        kEpoch);
    const double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
    date = days >= 0 ? days + time : days - time;
    return true;
}

bool partsFromDate(DATE date, DateParts& p) {
    if (std::isnan(date) || date < kMinDate || date > kMaxDate)
        return false;
    double whole = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    civilFromDays(static_cast<long long>(whole) + kEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p.year >= 100 && p.year <= 9999;
}

std::wstring formatDate(DATE date) {
    DateParts p;
    if (!partsFromDate(date, p))
        return std::wstring();
    wchar_t buffer[64];
    const bool dayZero = p.year == 1899 && p.month == 12 && p.day == 30;
    const bool midnight = p.hour == 0 && p.minute == 0 && p.second == 0;
    std::wstring text;
    if (!dayZero) {
        std::swprintf(buffer, 64, L"%d/%d/%d", p.month, p.day, p.year);
        text = buffer;
    }
    if (dayZero || !midnight) {
        const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::swprintf(buffer, 64, L"%d:%02d:%02d %ls", hour12, p.minute, p.second,
                      p.hour < 12 ? L"AM" : L"PM");
        if (!text.empty())
            text += L' ';
        text += buffer;
    }
    return text;
}

bool parseDate(std::wstring_view text, DATE& date) {
    Reader r{text};
    r.blanks();
    DateParts p;
    const bool hasDate = readDate(r, p);
    bool hasTime = false;
    if (hasDate) {
        if (r.peek() == L'T') {
            r.take(L'T');
            hasTime = readTime(r, p);
            if (!hasTime)
                return false;
        } else {
            r.blanks();
            if (!r.done()) {
                hasTime = readTime(r, p);
                if (!hasTime)
                    return false;
            }
        }
    } else {
        r.pos = 0;
        r.blanks();
        hasTime = readTime(r, p);
        if (!hasTime)
            return false;
    }
    r.blanks();
    if (!r.done())
        return false;
    return dateFromParts(p, date);
}

}  // namespace qv::com
