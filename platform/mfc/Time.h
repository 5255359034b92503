// CTime (seconds since 1970-01-01 UTC, shown in local time) and CTimeSpan (seconds).
//
// CTime::GetCurrentTime reads the injectable clock (win32/Clock.h). Building a CTime from
// date and time parts checks them as the framework does: a year before 1900, a month outside
// 1..12, a day outside 1..31, an hour, minute or second out of range raise COleException with
// E_FAIL; parts that the calendar cannot take (before 1970 in local time or after 3000) raise
// COleException with E_INVALIDARG. A day past the month's end rolls over into the next month.
// Format takes the codes of mfc/TimeFormat.h and shows local time; FormatGmt universal time.
#pragma once

#include <ctime>

#include "CString.h"
#include "../win32/TimeApi.h"
#include "../win32/WinTypes.h"

class CTimeSpan {
  public:
    CTimeSpan() = default;
    CTimeSpan(std::time_t seconds) : m_span(seconds) {}
    CTimeSpan(LONG days, int hours, int minutes, int seconds);

    LONGLONG GetDays() const { return m_span / 86400; }
    LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONG GetSeconds() const {
        return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60);
    }
    LONGLONG GetTotalHours() const { return m_span / 3600; }
    LONGLONG GetTotalMinutes() const { return m_span / 60; }
    LONGLONG GetTotalSeconds() const { return m_span; }
    std::time_t GetTimeSpan() const { return m_span; }

    // %D total days, %H hours (00-23), %M minutes, %S seconds, %% a percent sign.
    CString Format(LPCTSTR format) const;

    CTimeSpan operator+(CTimeSpan other) const { return CTimeSpan(m_span + other.m_span); }
    CTimeSpan operator-(CTimeSpan other) const { return CTimeSpan(m_span - other.m_span); }
    CTimeSpan& operator+=(CTimeSpan other) {
        m_span += other.m_span;
        return *this;
    }
    CTimeSpan& operator-=(CTimeSpan other) {
        m_span -= other.m_span;
        return *this;
    }
    bool operator==(CTimeSpan other) const { return m_span == other.m_span; }
    bool operator!=(CTimeSpan other) const { return m_span != other.m_span; }
    bool operator<(CTimeSpan other) const { return m_span < other.m_span; }
    bool operator>(CTimeSpan other) const { return m_span > other.m_span; }
    bool operator<=(CTimeSpan other) const { return m_span <= other.m_span; }
    bool operator>=(CTimeSpan other) const { return m_span >= other.m_span; }

  private:
    std::time_t m_span = 0;
};

class CTime {
  public:
    // The clock's current local time, to the second.
    static CTime GetCurrentTime();

    CTime() = default;
    CTime(std::time_t time) : m_time(time) {}
    // Local date and time; `dst` is ignored (the time zone decides daylight saving time).
    CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);
    CTime(const SYSTEMTIME& time, int dst = -1);

    CTime& operator=(std::time_t time) {
        m_time = time;
        return *this;
    }

    std::time_t GetTime() const { return m_time; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    // 1 Sunday .. 7 Saturday.
    int GetDayOfWeek() const;
    struct tm* GetLocalTm(struct tm* out) const;
    struct tm* GetGmtTm(struct tm* out) const;
    bool GetAsSystemTime(SYSTEMTIME& out) const;

    CString Format(LPCTSTR format) const;
    CString FormatGmt(LPCTSTR format) const;

    CTimeSpan operator-(CTime other) const { return CTimeSpan(m_time - other.m_time); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTimeSpan()); }
    CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTimeSpan()); }
    CTime& operator+=(CTimeSpan span) {
        m_time += span.GetTimeSpan();
        return *this;
    }
    CTime& operator-=(CTimeSpan span) {
        m_time -= span.GetTimeSpan();
        return *this;
    }
    bool operator==(CTime other) const { return m_time == other.m_time; }
    bool operator!=(CTime other) const { return m_time != other.m_time; }
    bool operator<(CTime other) const { return m_time < other.m_time; }
    bool operator>(CTime other) const { return m_time > other.m_time; }
    bool operator<=(CTime other) const { return m_time <= other.m_time; }
    bool operator>=(CTime other) const { return m_time >= other.m_time; }

  private:
    std::time_t m_time = 0;
};
