#include "mfc/Time.h"

#include <cwchar>

#include "mfc/Exceptions.h"
#include "mfc/TimeFormat.h"
#include "win32/Clock.h"

namespace {

constexpr SCODE kEFail = static_cast<SCODE>(0x80004005u);
constexpr SCODE kEInvalidArg = static_cast<SCODE>(0x80070057u);

std::time_t localToTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59) {
        AfxThrowOleException(kEFail);
    }
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t < 0 || year > 3000) {
        AfxThrowOleException(kEInvalidArg);
    }
    return t;
}

qv::TimeFields fieldsOf(const std::tm& tm) {
    qv::TimeFields f = qv::makeTimeFields(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                                          tm.tm_min, tm.tm_sec);
    qv::setZone(f, tm);
    return f;
}

std::tm local(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

}  // namespace

CTimeSpan::CTimeSpan(LONG days, int hours, int minutes, int seconds)
    : m_span(static_cast<std::time_t>(days) * 86400 + hours * 3600LL + minutes * 60LL + seconds) {}

CString CTimeSpan::Format(LPCTSTR format) const {
    if (!format) {
        return CString();
    }
    return CString(qv::formatSpan(format, GetDays(), GetHours(), GetMinutes(), GetSeconds()));
}

CTime CTime::GetCurrentTime() {
    const qv::LocalTime now = qv::clock().now();
    return CTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
}

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int)
    : m_time(localToTime(year, month, day, hour, minute, second)) {}

CTime::CTime(const SYSTEMTIME& time, int)
    : m_time(localToTime(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                         time.wSecond)) {}

int CTime::GetYear() const {
    return local(m_time).tm_year + 1900;
}
int CTime::GetMonth() const {
    return local(m_time).tm_mon + 1;
}
int CTime::GetDay() const {
    return local(m_time).tm_mday;
}
int CTime::GetHour() const {
    return local(m_time).tm_hour;
}
int CTime::GetMinute() const {
    return local(m_time).tm_min;
}
int CTime::GetSecond() const {
    return local(m_time).tm_sec;
}
int CTime::GetDayOfWeek() const {
    return local(m_time).tm_wday + 1;
}

struct tm* CTime::GetLocalTm(struct tm* out) const {
    if (!out) {
        return nullptr;
    }
    return localtime_r(&m_time, out);
}

struct tm* CTime::GetGmtTm(struct tm* out) const {
    if (!out) {
        return nullptr;
    }
    return gmtime_r(&m_time, out);
}

bool CTime::GetAsSystemTime(SYSTEMTIME& out) const {
    const std::tm tm = local(m_time);
    out = qv::systemTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                         tm.tm_sec);
    return true;
}

CString CTime::Format(LPCTSTR format) const {
    if (!format) {
        return CString();
    }
    return CString(qv::formatTime(format, fieldsOf(local(m_time))));
}

CString CTime::FormatGmt(LPCTSTR format) const {
    if (!format) {
        return CString();
    }
    std::tm tm{};
    gmtime_r(&m_time, &tm);
    return CString(qv::formatTime(format, fieldsOf(tm)));
}
