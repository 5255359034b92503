#include "com/OleDate.h"

#include <cmath>
#include <cwchar>

#include "win32/Clock.h"

namespace qv::com {
namespace {

constexpr long long kFirstDay = -657434;  // 1 January 100
constexpr long long kLastDay = 2958465;   // 31 December 9999

const std::int64_t kEpoch = qv::daysFromCivil(1899, 12, 30);

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
        p.hour = hourOfDay(p.hour, false);
    } else if (word(L"PM")) {
        p.hour = hourOfDay(p.hour, true);
    } else {
        r.pos = mark;
    }
    return p.hour >= 0;
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
        p.year = fullYear(p.year);
    } else if (digits != 4) {
        return false;
    }
    return true;
}

}  // namespace

bool dateFromParts(const DateParts& p, DATE& date) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > qv::daysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59)
        return false;
    const auto days = static_cast<double>(qv::daysFromCivil(p.year, p.month, p.day) - kEpoch);
    date = dateFromLinearDays(days + (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0);
    return true;
}

bool partsFromDate(DATE date, DateParts& p) {
    // Far outside the range before anything is converted to an integer.
    if (!std::isfinite(date) || std::fabs(date) > 1e7)
        return false;
    const double whole = std::trunc(date);
    auto days = static_cast<long long>(whole);
    long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    if (days < kFirstDay || days > kLastDay)
        return false;
    qv::civilFromDays(days + kEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return true;
}

bool validDate(DATE date) {
    DateParts parts;
    return partsFromDate(date, parts);
}

double linearDays(DATE date) {
    const double days = std::trunc(date);
    return days + std::fabs(date - days);
}

DATE dateFromLinearDays(double days) {
    if (days >= 0)
        return days;
    const double whole = std::floor(days);
    const double fraction = days - whole;
    return fraction == 0 ? whole : whole - fraction;
}

int fullYear(int twoDigitYear) {
    return twoDigitYear + (twoDigitYear < 30 ? 2000 : 1900);
}

int hourOfDay(int hour12, bool pm) {
    if (hour12 < 1 || hour12 > 12)
        return -1;
    return hour12 % 12 + (pm ? 12 : 0);
}

std::wstring formatDate(DATE date, DWORD flags) {
    DateParts p;
    if (!partsFromDate(date, p))
        return std::wstring();
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%d/%d/%d", p.month, p.day, p.year);
    const std::wstring day = buffer;
    const int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    std::swprintf(buffer, 64, L"%d:%02d:%02d %ls", hour12, p.minute, p.second,
                  p.hour < 12 ? L"AM" : L"PM");
    const std::wstring time = buffer;
    const bool dayZero = p.year == 1899 && p.month == 12 && p.day == 30;
    const bool midnight = p.hour == 0 && p.minute == 0 && p.second == 0;
    if (flags & VAR_TIMEVALUEONLY)
        return time;
    if (flags & VAR_DATEVALUEONLY)
        return day;
    if (dayZero)
        return time;
    if (midnight)
        return day;
    return day + L' ' + time;
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
