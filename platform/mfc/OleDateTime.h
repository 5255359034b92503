// COleDateTime: an OLE Automation date (DATE: days since 30 December 1899, the fraction being
// the time of day) with a status, and COleDateTimeSpan (days as a double) with a status.
//
// A negative DATE counts whole days back from 30 December 1899 and its fraction still counts
// forward into that day (-1.25 is 29 December 1899, 06:00), as OLE Automation has it; all
// arithmetic and comparison follow the moments, not the raw doubles. Valid dates run from
// 1 January 100 to 31 December 9999; the zero date (30 December 1899, 00:00) is valid. Parts
// of a date are read rounded to the nearest second, and a date that rounds past the range is
// not valid. The conversions themselves are those of com/OleDate.h.
//
// A date that is not valid reports -1 (AFX_OLE_DATETIME_ERROR) from every part getter;
// Format gives "Invalid DateTime" for an invalid date and an empty text for a null one.
// Format() without a format writes the date as an English (United States) user would see it:
// "3/5/2009 7:04:09 AM", leaving out the date when it is the zero date and the time when it is
// midnight. Format(format) takes the strftime codes of mfc/TimeFormat.h.
//
// ParseDateTime reads, case-insensitively, with blanks, commas and periods between items:
//   - a time: H:MM or H:MM:SS, each optionally followed by AM or PM; or H AM / H PM;
//   - a date: a month name or its first three letters with a day and/or a year in either order
//     ("Nov 24 2014", "November 24, 2014", "24 Nov 2014", "Nov 2014"); or numbers separated by
//     "/", "-" or ".": a four-digit year first gives year-month-day ("2009-03-05"), otherwise
//     month/day/year ("3/5/2009"), and when that is no date but day/month/year is, the latter
//     ("13/5/2009" is 13 May); two numbers are month/day of the current year, or month/year
//     when one has four digits;
//   - a date and a time in either order ("2009-03-05 07:04:09"), or either alone. A weekday
//     name is accepted and ignored. A two-digit year below 30 is in 2000-2029, otherwise in
//     1930-1999. A time alone gives the zero date with that time; a date alone gives midnight.
// VAR_TIMEVALUEONLY keeps only the time, VAR_DATEVALUEONLY only the date. Anything else, or a
// date that does not exist, makes the object invalid (its value 0) and returns false.
#pragma once

#include <ctime>

#include "../com/OleDate.h"
#include "CString.h"
#include "../win32/TimeApi.h"
#include "../win32/WinTypes.h"

#ifndef LANG_USER_DEFAULT
#define LANG_USER_DEFAULT 0x0400
#endif
#ifndef LOCALE_NOUSEROVERRIDE
#define LOCALE_NOUSEROVERRIDE 0x80000000u
#endif
#define AFX_OLE_DATETIME_ERROR (-1)

class COleDateTimeSpan {
  public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() = default;
    COleDateTimeSpan(double days) : m_span(days) {}
    COleDateTimeSpan(LONG days, int hours, int minutes, int seconds) {
        SetDateTimeSpan(days, hours, minutes, seconds);
    }

    void SetDateTimeSpan(LONG days, int hours, int minutes, int seconds);
    DateTimeSpanStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeSpanStatus status) { m_status = status; }

    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const { return m_span * 24; }
    double GetTotalMinutes() const { return m_span * 24 * 60; }
    double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
    // Whole days, and the hour, minute and second within the day (rounded to the second; all
    // negative for a negative span).
    LONG GetDays() const;
    LONG GetHours() const;
    LONG GetMinutes() const;
    LONG GetSeconds() const;

    // %D days, %H hours, %M minutes, %S seconds, %%.
    CString Format(LPCTSTR format) const;

    operator double() const { return m_span; }
    COleDateTimeSpan operator+(const COleDateTimeSpan& other) const;
    COleDateTimeSpan operator-(const COleDateTimeSpan& other) const;
    COleDateTimeSpan operator-() const;
    bool operator==(const COleDateTimeSpan& other) const;
    bool operator<(const COleDateTimeSpan& other) const { return m_span < other.m_span; }
    bool operator>(const COleDateTimeSpan& other) const { return m_span > other.m_span; }

    double m_span = 0.0;
    DateTimeSpanStatus m_status = valid;

  private:
    long long totalSeconds() const;
};

class COleDateTime {
  public:
    enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

    // The clock's current local time, to the second.
    static COleDateTime GetCurrentTime();

    COleDateTime() = default;
    COleDateTime(DATE date);
    COleDateTime(std::time_t time);
    COleDateTime(const SYSTEMTIME& time);
    COleDateTime(int year, int month, int day, int hour, int minute, int second) {
        SetDateTime(year, month, day, hour, minute, second);
    }

    COleDateTime& operator=(DATE date);
    COleDateTime& operator=(std::time_t time);
    COleDateTime& operator=(const SYSTEMTIME& time);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator DATE() const { return m_dt; }

    // 0 and valid when the parts make a date of 100..9999 with an existing day, hour 0..23,
    // minute and second 0..59; otherwise 1 (invalid) and the value unchanged.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }
    int SetTime(int hour, int minute, int second) {
        return SetDateTime(1899, 12, 30, hour, minute, second);
    }

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 Sunday .. 7 Saturday
    int GetDayOfYear() const;  // 1 for 1 January
    bool GetAsSystemTime(SYSTEMTIME& out) const;

    bool ParseDateTime(LPCTSTR text, DWORD flags = 0, LCID locale = LANG_USER_DEFAULT);
    CString Format(DWORD flags = 0, LCID locale = LANG_USER_DEFAULT) const;
    CString Format(LPCTSTR format) const;

    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
    COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }
    COleDateTimeSpan operator-(const COleDateTime& other) const;

    bool operator==(const COleDateTime& other) const;
    bool operator!=(const COleDateTime& other) const { return !(*this == other); }
    bool operator<(const COleDateTime& other) const;
    bool operator>(const COleDateTime& other) const { return other < *this; }
    bool operator<=(const COleDateTime& other) const { return !(other < *this); }
    bool operator>=(const COleDateTime& other) const { return !(*this < other); }

    DATE m_dt = 0.0;
    DateTimeStatus m_status = valid;

  private:
    // The parts of a valid date (com/OleDate.h); false when the object is not valid.
    bool parts(qv::com::DateParts& out) const;
};
