// OLE dates (DATE): days since 30 December 1899, the fraction the time of day. For a negative
// date the fraction still counts forward from midnight (-1.25 is 29 December 1899, 06:00).
// Valid dates run from 1 January 100 to 31 December 9999. This is the one place that converts
// between dates and calendar parts; COleDateTime and VariantChangeType build on it.
#pragma once

#include <string>
#include <string_view>

#include "ComTypes.h"

// Flags of the date conversions: the time of day alone, or the date alone.
#define VAR_TIMEVALUEONLY 0x00000001u
#define VAR_DATEVALUEONLY 0x00000002u

namespace qv::com {

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The date of calendar parts; false when a part is out of range (month 1..12, day within the
// month, hour 0..23, minute and second 0..59, year 100..9999).
bool dateFromParts(const DateParts& parts, DATE& date);
// The calendar parts of a date, rounded to the nearest second; false for NaN, infinities and
// dates whose rounded moment lies outside the valid range.
bool partsFromDate(DATE date, DateParts& parts);
// Whether partsFromDate would accept the date.
bool validDate(DATE date);

// The moment a date stands for, as days that grow with time (-1.25 gives -0.75), and the date
// of such a moment. Date arithmetic and comparison work on these.
double linearDays(DATE date);
DATE dateFromLinearDays(double days);

// The year of a two-digit year: 00-29 are 2000-2029, 30-99 are 1930-1999.
int fullYear(int twoDigitYear);
// The hour of the day (0..23) of an hour 1..12 before (AM) or after (PM) noon; -1 for an hour
// outside 1..12.
int hourOfDay(int hour12, bool pm);

// "M/D/YYYY h:mm:ss AM" as the English (United States) locale writes it: the date alone at
// midnight, the time alone on day zero; VAR_TIMEVALUEONLY always gives the time alone and
// VAR_DATEVALUEONLY the date alone. Empty for an invalid date.
std::wstring formatDate(DATE date, DWORD flags = 0);
// Reads "M/D/YYYY", "M/D/YY" (see fullYear), "YYYY-MM-DD" or "YYYY/MM/DD", optionally followed
// (after a blank or "T") by "h:mm[:ss[.fff]]" and " AM"/" PM"; a time alone is on day zero.
// Blanks around are allowed. False for anything else.
bool parseDate(std::wstring_view text, DATE& date);

}  // namespace qv::com
