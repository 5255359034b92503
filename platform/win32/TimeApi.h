// Time and waiting, all through the injectable clock (win32/Clock.h): a test that installs a
// ManualClock sees its date in GetLocalTime and its sleeps counted instead of waited.
#pragma once

#include "WinTypes.h"

#define INFINITE 0xFFFFFFFFu
#define WAIT_IO_COMPLETION 0x000000C0u

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;  // 0 Sunday
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

// The clock's local date and time.
void GetLocalTime(LPSYSTEMTIME time);
// The clock's date and time in universal time (through the process's time zone).
void GetSystemTime(LPSYSTEMTIME time);

// Milliseconds since an arbitrary start; GetTickCount wraps after 49.7 days.
DWORD GetTickCount();
ULONGLONG GetTickCount64();

// Sleeps `ms` milliseconds on the clock. No asynchronous procedure calls are ever queued, so
// an alertable sleep also lasts its whole time; returns 0.
DWORD SleepEx(DWORD ms, BOOL alertable);
void Sleep(DWORD ms);

namespace qv {

// The SYSTEMTIME of a civil date and time, its day of the week computed.
SYSTEMTIME systemTime(int year, int month, int day, int hour, int minute, int second,
                      int millisecond = 0);

}  // namespace qv
