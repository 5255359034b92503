#include "win32/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace qv {
namespace {

Clock*& current() {
    static Clock* c = nullptr;
    return c;
}

}  // namespace

std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy =
        (153 * static_cast<unsigned>(m + (m > 2 ? -3 : 9)) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

int dayOfWeek(int year, int month, int day) {
    const std::int64_t days = daysFromCivil(year, month, day);
    return static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
}

LocalTime SystemClock::now() {
    const auto tp = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(tp);
    std::tm tm{};
    localtime_r(&t, &tm);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()) % 1000;
    return {
        tm.tm_year + 1900,           tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
        static_cast<int>(ms.count())};
}

std::uint64_t SystemClock::tickMs() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

void SystemClock::sleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

ManualClock::ManualClock(LocalTime start) : m_start(start) {}

LocalTime ManualClock::now() {
    const std::uint64_t elapsed = m_tick - m_base;
    std::int64_t secs = daysFromCivil(m_start.year, m_start.month, m_start.day) * 86400 +
                        m_start.hour * 3600 + m_start.minute * 60 + m_start.second;
    std::int64_t ms = m_start.millisecond + static_cast<std::int64_t>(elapsed);
    secs += ms / 1000;
    ms %= 1000;
    LocalTime t;
    std::int64_t days = secs / 86400;
    std::int64_t rem = secs % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem / 60 % 60);
    t.second = static_cast<int>(rem % 60);
    t.millisecond = static_cast<int>(ms);
    return t;
}

void ManualClock::sleepMs(std::uint32_t ms) {
    ++m_sleeps;
    m_slept += ms;
    m_tick += ms;
}

void ManualClock::set(LocalTime t) {
    m_start = t;
    m_base = m_tick;
}

void ManualClock::advanceMs(std::uint64_t ms) {
    m_tick += ms;
}

Clock& clock() {
    static SystemClock system;
    Clock* c = current();
    return c ? *c : system;
}

void setClock(Clock* c) {
    current() = c;
}

}  // namespace qv
