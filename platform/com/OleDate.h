// OLE dates (DATE): days since 30 December 1899, the fraction the time of day. For a negative
// date the fraction still counts forward from midnight (-1.25 is 29 December 1899, 06:00).
// Valid dates run from 1 January 100 to 31 December 9999.
#pragma once

#include <string>
#include <string_view>

#include "com/ComTypes.h"

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
// The calendar parts of a date, rounded to the nearest second; false outside the valid range
// or for NaN.
bool partsFromDate(DATE date, DateParts& parts);
// "M/D/YYYY h:mm:ss AM" as the English (United States) locale writes it: the date alone at
// midnight, the time alone on day zero. Empty for an invalid date.
std::wstring formatDate(DATE date);
// Reads "M/D/YYYY", "M/D/YY" (00-29 are 2000-2029), "YYYY-MM-DD" or "YYYY/MM/DD", optionally
// followed (after a blank or "T") by "h:mm[:ss[.fff]]" and " AM"/" PM"; a time alone is on day
// zero. Blanks around are allowed. False for anything else.
bool parseDate(std::wstring_view text, DATE& date);

}  // namespace qv::com
