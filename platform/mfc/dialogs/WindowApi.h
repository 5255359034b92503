// The Windows functions of window management, on the window manager of WindowStore.h, beside
// those of win32/WinUser.h (IsWindow, GetActiveWindow, SetActiveWindow, GetForegroundWindow). They
// behave as the CWnd members of the same names; a handle that names no window gives FALSE or
// null.
#pragma once

#include "WindowDefs.h"

BOOL SetForegroundWindow(HWND hWnd);
BOOL BringWindowToTop(HWND hWnd);
HWND GetFocus();
HWND SetFocus(HWND hWnd);
BOOL IsWindowVisible(HWND hWnd);
BOOL IsWindowEnabled(HWND hWnd);
BOOL IsIconic(HWND hWnd);
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL DestroyWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
