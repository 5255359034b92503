// CSystemUtilities: pausing a long operation while the host's window stays responsive.
#pragma once

#include "StdAfx.h"

class CSystemUtilities {
  public:
    CSystemUtilities() = default;
    virtual ~CSystemUtilities() = default;

    // Pauses for `seconds` seconds in steps of 250 milliseconds, dispatching the waiting window
    // messages before each step; 0 or less returns at once.
    void wait(int seconds);
    // Dispatches the window messages waiting in the thread's queue until it is empty or the
    // application is quitting.
    void doEvents();
};
