// Windows, their procedures and the per-thread message queues.
//
// A window here is a handle with a window procedure and an owning thread; nothing is drawn.
// The host program's main window (qv::win32::hostWindow) belongs to the process's main thread
// and is the active and foreground window unless SetActiveWindow says otherwise.
//
// Every thread has its own message queue, made when the thread first uses a message call (or
// when a window is made for it). Messages posted to a window go to its thread's queue; messages
// posted to a thread have no window. PeekMessageW and GetMessageW take the first message that
// passes the filter (window: null for all, (HWND)-1 for thread messages only; message range:
// 0 and 0 for all). PostQuitMessage marks the queue: once no other message passes the filter,
// WM_QUIT is retrieved (whatever the range) with the exit code as wParam.
#pragma once

#include "WinTypes.h"

#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef WINAPI
#define WINAPI
#endif

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *PMSG, *LPMSG;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_MOVE 0x0003u
#define WM_SIZE 0x0005u
#define WM_ACTIVATE 0x0006u
#define WM_SETFOCUS 0x0007u
#define WM_KILLFOCUS 0x0008u
#define WM_ENABLE 0x000Au
#define WM_SETTEXT 0x000Cu
#define WM_GETTEXT 0x000Du
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_SHOWWINDOW 0x0018u
#define WM_NCDESTROY 0x0082u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_SYSKEYDOWN 0x0104u
#define WM_SYSKEYUP 0x0105u
#define WM_SYSCHAR 0x0106u
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define WM_SYSCOMMAND 0x0112u
#define WM_TIMER 0x0113u
#define WM_LBUTTONDOWN 0x0201u
#define WM_LBUTTONUP 0x0202u
#define WM_USER 0x0400u
#define WM_APP 0x8000u

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define PM_NOYIELD 0x0002u

#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Looks for a message without waiting; TRUE and `*msg` filled when one passes the filter.
BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Waits for a message that passes the filter and removes it: FALSE for WM_QUIT, -1 for a
// window handle that names no window (ERROR_INVALID_WINDOW_HANDLE), else TRUE.
BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
// Calls the procedure of the message's window and returns its result; 0 for a thread message.
LRESULT DispatchMessageW(const MSG* msg);
// Posts WM_CHAR (WM_SYSCHAR) after WM_KEYDOWN (WM_SYSKEYDOWN) of a key that types a character:
// letters (lower case: no keyboard state is kept, so shift is never down), digits, blank,
// return, backspace, tab and escape. TRUE for every key message.
BOOL TranslateMessage(const MSG* msg);
// The default procedure: 0 for every message.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL IsWindow(HWND window);
HWND GetActiveWindow();
HWND GetForegroundWindow();
// Makes `window` the active (and foreground) window; returns the previous one, or null with
// ERROR_INVALID_WINDOW_HANDLE when `window` names no window.
HWND SetActiveWindow(HWND window);
// The thread that owns a window (0 for none); the process id goes to `processId` when given.
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);

#define PostMessage PostMessageW
#define PostThreadMessage PostThreadMessageW
#define PeekMessage PeekMessageW
#define GetMessage GetMessageW
#define DispatchMessage DispatchMessageW
#define DefWindowProc DefWindowProcW

namespace qv::win32 {

// The host program's main window, owned by the process's main thread.
HWND hostWindow();
// Makes a window with procedure `proc` (null: DefWindowProcW) owned by the calling thread.
HWND createWindowHandle(WNDPROC proc);
// Forgets a window; later posts to it fail and its queued messages are not dispatched.
void destroyWindowHandle(HWND window);
// Replaces a window's procedure; returns the previous one (null for an unknown window).
WNDPROC setWindowProc(HWND window, WNDPROC proc);

}  // namespace qv::win32
