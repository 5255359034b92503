#include "mfc/TimeFormat.h"

#include <cwchar>

#include "win32/Clock.h"
#include "win32/CodePage.h"

namespace qv {
namespace {

const wchar_t* const kMonths[] = {L"January",   L"February", L"March",    L"April",
                                  L"May",       L"June",     L"July",     L"August",
                                  L"September", L"October",  L"November", L"December"};
const wchar_t* const kWeekdays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};

int isoWeeksInYear(int y) {
    const int jan1 = dayOfWeek(y, 1, 1);
    return (jan1 == 4 || (isLeapYear(y) && jan1 == 3)) ? 53 : 52;
}

void isoWeek(const TimeFields& t, int& week, int& year) {
    const int isoWday = t.dayOfWeek == 0 ? 7 : t.dayOfWeek;
    year = t.year;
    week = (t.dayOfYear + 1 - isoWday + 10) / 7;
    if (week < 1) {
        --year;
        week = isoWeeksInYear(year);
    } else if (week > isoWeeksInYear(year)) {
        ++year;
        week = 1;
    }
}

void number(std::wstring& out, long value, int digits, bool noZeros) {
    wchar_t buf[32];
    if (noZeros) {
        std::swprintf(buf, 32, L"%ld", value);
    } else {
        std::swprintf(buf, 32, L"%0*ld", digits, value);
    }
    out += buf;
}

}  // namespace

const wchar_t* monthName(int month) {
    return (month >= 1 && month <= 12) ? kMonths[month - 1] : L"";
}

const wchar_t* weekdayName(int dayOfWeek) {
    return (dayOfWeek >= 0 && dayOfWeek <= 6) ? kWeekdays[dayOfWeek] : L"";
}

TimeFields makeTimeFields(int year, int month, int day, int hour, int minute, int second) {
    TimeFields t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.dayOfWeek = dayOfWeek(year, month, day);
    t.dayOfYear = static_cast<int>(daysFromCivil(year, month, day) - daysFromCivil(year, 1, 1));
    return t;
}

void setZone(TimeFields& fields, const std::tm& tm) {
    fields.utcOffsetSeconds = tm.tm_gmtoff;
    fields.zoneName = tm.tm_zone ? ansiToWide(tm.tm_zone) : std::wstring();
}

std::wstring formatTime(const wchar_t* format, const TimeFields& t) {
    std::wstring out;
    if (!format) {
        return out;
    }
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%' || !p[1]) {
            out += *p;
            continue;
        }
        const wchar_t* start = p;
        ++p;
        bool alt = false;
        if (*p == L'#') {
            alt = true;
            ++p;
            if (!*p) {
                out.append(start, p);
                break;
            }
        }
        switch (*p) {
            case L'a':
                out.append(weekdayName(t.dayOfWeek), 3);
                break;
            case L'A':
                out += weekdayName(t.dayOfWeek);
                break;
            case L'b':
            case L'h':
                out.append(monthName(t.month), 3);
                break;
            case L'B':
                out += monthName(t.month);
                break;
            case L'c':
                out += alt ? formatTime(L"%A, %B %d, %Y, %H:%M:%S", t)
                           : formatTime(L"%m/%d/%y %H:%M:%S", t);
                break;
            case L'C':
                number(out, t.year / 100, 2, alt);
                break;
            case L'd':
                number(out, t.day, 2, alt);
                break;
            case L'D':
                out += formatTime(L"%m/%d/%y", t);
                break;
            case L'e': {
                wchar_t buf[8];
                std::swprintf(buf, 8, alt ? L"%d" : L"%2d", t.day);
                out += buf;
                break;
            }
            case L'F':
                out += formatTime(L"%Y-%m-%d", t);
                break;
            case L'g':
            case L'G':
            case L'V': {
                int week = 0, year = 0;
                isoWeek(t, week, year);
                if (*p == L'V') {
                    number(out, week, 2, alt);
                } else if (*p == L'G') {
                    number(out, year, 1, alt);
                } else {
                    number(out, ((year % 100) + 100) % 100, 2, alt);
                }
                break;
            }
            case L'H':
                number(out, t.hour, 2, alt);
                break;
            case L'I':
                number(out, hour12, 2, alt);
                break;
            case L'j':
                number(out, t.dayOfYear + 1, 3, alt);
                break;
            case L'm':
                number(out, t.month, 2, alt);
                break;
            case L'M':
                number(out, t.minute, 2, alt);
                break;
            case L'n':
                out += L'\n';
                break;
            case L'p':
                out += t.hour < 12 ? L"AM" : L"PM";
                break;
            case L'r':
                out += formatTime(L"%I:%M:%S %p", t);
                break;
            case L'R':
                out += formatTime(L"%H:%M", t);
                break;
            case L'S':
                number(out, t.second, 2, alt);
                break;
            case L't':
                out += L'\t';
                break;
            case L'T':
                out += formatTime(L"%H:%M:%S", t);
                break;
            case L'u':
                number(out, t.dayOfWeek == 0 ? 7 : t.dayOfWeek, 1, alt);
                break;
            case L'U':
                number(out, (t.dayOfYear + 7 - t.dayOfWeek) / 7, 2, alt);
                break;
            case L'w':
                number(out, t.dayOfWeek, 1, alt);
                break;
            case L'W':
                number(out, (t.dayOfYear + 7 - (t.dayOfWeek + 6) % 7) / 7, 2, alt);
                break;
            case L'x':
                out += alt ? formatTime(L"%A, %B %d, %Y", t) : formatTime(L"%m/%d/%y", t);
                break;
            case L'X':
                out += formatTime(L"%H:%M:%S", t);
                break;
            case L'y':
                number(out, ((t.year % 100) + 100) % 100, 2, alt);
                break;
            case L'Y':
                number(out, t.year, 1, alt);
                break;
            case L'z': {
                const long off = t.utcOffsetSeconds;
                const long a = off < 0 ? -off : off;
                out += off < 0 ? L'-' : L'+';
                number(out, a / 3600, 2, false);
                number(out, a / 60 % 60, 2, false);
                break;
            }
            case L'Z':
                out += t.zoneName;
                break;
            case L'%':
                out += L'%';
                break;
            default:
                out.append(start, p + 1);
                break;
        }
    }
    return out;
}

std::wstring formatSpan(const wchar_t* format, long long days, long hours, long minutes,
                        long seconds) {
    std::wstring out;
    if (!format) {
        return out;
    }
    for (const wchar_t* p = format; *p; ++p) {
        if (*p != L'%' || !p[1]) {
            out += *p;
            continue;
        }
        ++p;
        switch (*p) {
            case L'D':
                out += std::to_wstring(days);
                break;
            case L'H':
                number(out, hours, 2, false);
                break;
            case L'M':
                number(out, minutes, 2, false);
                break;
            case L'S':
                number(out, seconds, 2, false);
                break;
            case L'%':
                out += L'%';
                break;
            default:
                out += L'%';
                out += *p;
                break;
        }
    }
    return out;
}

}  // namespace qv
