#include "win32/TimeApi.h"

#include <ctime>

#include "win32/Clock.h"

SYSTEMTIME qv::systemTime(int year, int month, int day, int hour, int minute, int second,
                          int millisecond) {
    SYSTEMTIME out;
    out.wYear = static_cast<WORD>(year);
    out.wMonth = static_cast<WORD>(month);
    out.wDay = static_cast<WORD>(day);
    out.wDayOfWeek = static_cast<WORD>(qv::dayOfWeek(year, month, day));
    out.wHour = static_cast<WORD>(hour);
    out.wMinute = static_cast<WORD>(minute);
    out.wSecond = static_cast<WORD>(second);
    out.wMilliseconds = static_cast<WORD>(millisecond);
    return out;
}

void GetLocalTime(LPSYSTEMTIME time) {
    if (!time) {
        return;
    }
    const qv::LocalTime t = qv::clock().now();
    *time = qv::systemTime(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond);
}

void GetSystemTime(LPSYSTEMTIME time) {
    if (!time) {
        return;
    }
    const qv::LocalTime t = qv::clock().now();
    std::tm local{};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    const std::time_t utc = std::mktime(&local);
    std::tm u{};
    gmtime_r(&utc, &u);
    *time = qv::systemTime(u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min, u.tm_sec,
                           t.millisecond);
}

DWORD GetTickCount() {
    return static_cast<DWORD>(qv::clock().tickMs());
}

ULONGLONG GetTickCount64() {
    return qv::clock().tickMs();
}

DWORD SleepEx(DWORD ms, BOOL) {
    qv::clock().sleepMs(ms);
    return 0;
}

void Sleep(DWORD ms) {
    qv::clock().sleepMs(ms);
}
