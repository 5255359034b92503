// A budget of processor time for a loop whose cost must grow with its length, not faster: the
// loop asks spent() as it goes and stops early when a cost that grows with the square of the
// length has made it slow, so such a fault fails the test in seconds instead of minutes. Counts
// this process's processor time, which other programs running beside the test do not change.
#pragma once

#include <ctime>

namespace qv::test {

class CpuBudget {
  public:
    explicit CpuBudget(double seconds) : m_start(std::clock()), m_seconds(seconds) {}
    double used() const { return static_cast<double>(std::clock() - m_start) / CLOCKS_PER_SEC; }
    bool spent() const { return used() > m_seconds; }

  private:
    std::clock_t m_start;
    double m_seconds;
};

}  // namespace qv::test
