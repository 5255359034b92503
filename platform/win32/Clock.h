// The platform's one source of time. CTime, COleDateTime, GetLocalTime, GetTickCount, Sleep and
// SleepEx all read or advance it, so a test can install a ManualClock and control both the date
// and the passing of time.
#pragma once

#include <cstdint>

namespace qv {

struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // The local wall-clock time now.
    virtual LocalTime now() = 0;
    // Milliseconds since an arbitrary start, never decreasing.
    virtual std::uint64_t tickMs() = 0;
    // Blocks (or, for a manual clock, advances) for `ms` milliseconds.
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// The system's clock and local time zone.
class SystemClock : public Clock {
  public:
    LocalTime now() override;
    std::uint64_t tickMs() override;
    void sleepMs(std::uint32_t ms) override;
};

// A clock that stands still until told: sleeping advances it and counts the sleeps.
class ManualClock : public Clock {
  public:
    explicit ManualClock(LocalTime start = {2009, 3, 5, 7, 4, 9, 0});
    LocalTime now() override;
    std::uint64_t tickMs() override { return m_tick; }
    void sleepMs(std::uint32_t ms) override;

    void set(LocalTime t);
    void advanceMs(std::uint64_t ms);
    int sleepCount() const { return m_sleeps; }
    std::uint64_t sleptMs() const { return m_slept; }

  private:
    LocalTime m_start;
    std::uint64_t m_tick = 0;
    std::uint64_t m_base = 0;
    std::uint64_t m_slept = 0;
    int m_sleeps = 0;
};

// The current clock; never null.
Clock& clock();
// Installs a clock (not owned) or, with null, the system clock again.
void setClock(Clock* c);

// Days since 1970-01-01 for a civil date, and back (proleptic Gregorian).
std::int64_t daysFromCivil(int year, int month, int day);
void civilFromDays(std::int64_t days, int& year, int& month, int& day);
bool isLeapYear(int year);
// The number of days of a month (1..12) in a year.
int daysInMonth(int year, int month);
// The day of the week of a civil date, 0 for Sunday.
int dayOfWeek(int year, int month, int day);

}  // namespace qv
