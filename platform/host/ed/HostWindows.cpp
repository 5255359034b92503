#include "host/ed/HostWindows.h"

#include "mfc/dialogs/CWnd.h"
#include "mfc/dialogs/WindowStore.h"

CWnd* acedGetAcadFrame() {
    return CWnd::FromHandle(qv::win::mainWindow());
}

HWND adsw_acadMainWnd() {
    return qv::win::mainWindow();
}
