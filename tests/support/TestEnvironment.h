// Shared fixtures for the tests: a scripted screen and a manual clock installed for one test.
#pragma once

#include <gtest/gtest.h>

#include "ui/UiDriver.h"
#include "win32/Clock.h"

namespace qv::test {

// Installs a ScriptedDriver and a ManualClock for the lifetime of the fixture.
class PlatformTest : public ::testing::Test {
  protected:
    PlatformTest() : m_driverScope(ui) { qv::setClock(&clock); }
    ~PlatformTest() override { qv::setClock(nullptr); }

    qv::ui::ScriptedDriver ui;
    qv::ManualClock clock;

  private:
    qv::ui::DriverScope m_driverScope;
};

}  // namespace qv::test
