// strftime-style formatting of a broken-down date and time, as the Windows runtime formats in
// its default ("C") locale, shared by CTime, COleDateTime and their spans.
//
// Codes: %a %A %b %B (English names), %c ("%m/%d/%y %H:%M:%S"), %C %d %D %e %F %g %G %h %H %I
// %j %m %M %n %p (AM/PM) %r %R %S %t %T %u %U %V %w %W %x ("%m/%d/%y") %X ("%H:%M:%S") %y %Y
// %z (+hhmm) %Z (zone name) %%. The "#" flag removes leading zeros from numbers, and gives the
// long forms of %c ("Thursday, March 05, 2009, 07:04:09") and %x ("Thursday, March 05, 2009").
// An unknown code is copied as it stands.
#pragma once

#include <ctime>
#include <string>

namespace qv {

struct TimeFields {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfWeek = 4;  // 0 Sunday
    int dayOfYear = 0;  // 0..365
    long utcOffsetSeconds = 0;
    std::wstring zoneName;
};

// The fields of a civil date and time (day of week and of year computed; no zone).
TimeFields makeTimeFields(int year, int month, int day, int hour, int minute, int second);
// Copies the zone of a broken-down time of the C library (UTC offset and name) into `fields`.
void setZone(TimeFields& fields, const std::tm& tm);

std::wstring formatTime(const wchar_t* format, const TimeFields& t);

// The codes of a time span: %D days, %H hours, %M minutes, %S seconds (two digits each),
// %% a percent sign; any other code is copied as it stands.
std::wstring formatSpan(const wchar_t* format, long long days, long hours, long minutes,
                        long seconds);

// English month and weekday names (month 1..12, weekday 0 Sunday).
const wchar_t* monthName(int month);
const wchar_t* weekdayName(int dayOfWeek);

}  // namespace qv
