// The host's main window, as a module reaches it: the parent of its dialogs and of the plot
// progress dialog. It is the dialog runtime's main frame (made on first use, never destroyed).
#pragma once

#include "../../win32/WinTypes.h"

class CWnd;

// The main frame as a framework window (a temporary object, valid while the frame lives).
CWnd* acedGetAcadFrame();
// Its window handle.
HWND adsw_acadMainWnd();
