#include "core/SystemUtilities.h"

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("SystemUtilities.cpp");

void CSystemUtilities::wait(int seconds) {
    try {
        // Counted in 64 bits: any number of seconds gives its number of steps.
        const long long steps = static_cast<long long>(seconds) * 4;
        for (long long i = 0; i < steps; ++i) {
            doEvents();
            SleepEx(250, FALSE);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CSystemUtilities::wait"));
    }
}

void CSystemUtilities::doEvents() {
    try {
        MSG message;
        CWinThread* thread = AfxGetThread();
        while (thread && PeekMessageW(&message, NULL, 0, 0, PM_NOREMOVE)) {
            if (!thread->PumpMessage())
                break;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CSystemUtilities::doEvents"));
    }
}
