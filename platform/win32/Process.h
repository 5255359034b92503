// Processes and threads: ids, starting a program (CreateProcessW), waiting for it and its
// handles.
//
// CreateProcessW starts a POSIX program from a Windows command line and does not wait for it.
// The program is the first item of the command line (or `applicationName`): quoted, or else the
// shortest run of words up to a blank that names an existing file, as Windows reads
// "c:\program files\x.exe"; a name without folder is looked for in the current directory and
// then in the folders of PATH. Its path and every later argument that is an absolute Windows
// path on a mapped drive ("C:\..." or "C:/...") are given to the program as POSIX paths;
// arguments are split by the rules of CommandLineToArgvW. The working folder is
// `currentDirectory` (a Windows path; null: the current directory). The program starts in a
// session of its own with standard input from /dev/null and the host's standard output and
// error. Handles in `processInfo` are closed with CloseHandle; an exited program is reaped by the
// platform whether or not anyone waits.
#pragma once

#include <cstddef>

#include "FileApi.h"
#include "WinTypes.h"

#define NORMAL_PRIORITY_CLASS 0x00000020u
#define CREATE_NEW_CONSOLE 0x00000010u
#define CREATE_NO_WINDOW 0x08000000u
#define CREATE_UNICODE_ENVIRONMENT 0x00000400u
#define DETACHED_PROCESS 0x00000008u

#define STARTF_USESHOWWINDOW 0x00000001u
#define STARTF_USESTDHANDLES 0x00000100u

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_FAILED 0xFFFFFFFFu
#define STILL_ACTIVE 259u

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;
typedef STARTUPINFOW STARTUPINFO;
typedef LPSTARTUPINFOW LPSTARTUPINFO;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

DWORD GetCurrentProcessId();
// The calling thread's id (its kernel thread id; the main thread's equals the process id).
DWORD GetCurrentThreadId();

// How the host process was started: `cb` set, no flags, every other field zero.
void GetStartupInfoW(LPSTARTUPINFOW info);

// Starts a program (see above). FALSE with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when
// the program is not there, ERROR_ACCESS_DENIED when it cannot be run, ERROR_BAD_EXE_FORMAT when
// it is no program, ERROR_DIRECTORY for a working folder that is not there, and
// ERROR_INVALID_PARAMETER without any program name. The security attributes, handle inheritance
// (open files are inherited unless opened close-on-exec), priority and window flags are not
// used. `environment` replaces the environment: "NAME=value" strings, each ended by a zero and
// the block by another, wide with CREATE_UNICODE_ENVIRONMENT, else ANSI.
BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine,
                    LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION processInfo);

// Waits (in real time, not on the injectable clock) until the process of a process or thread
// handle has ended: WAIT_OBJECT_0, WAIT_TIMEOUT, or WAIT_FAILED with ERROR_INVALID_HANDLE.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// The exit code of an ended process (128 + the signal for one killed by a signal), or
// STILL_ACTIVE while it runs.
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
// Closes a handle of this file; FALSE with ERROR_INVALID_HANDLE for anything else.
BOOL CloseHandle(HANDLE handle);

namespace qv::win32 {
// For tests: how many process and thread handles are open (given out and not closed).
std::size_t openProcessHandles();
}  // namespace qv::win32

// Splits a command line as the Windows runtime does: the first item (the program) ends at the
// first blank or at its closing quote; in later items blanks and tabs separate, quotes group,
// 2n backslashes before a quote give n backslashes and a grouping quote, 2n+1 give n and a
// literal quote, other backslashes are literal, and "" inside a group is a literal quote.
// The array and its texts are one LocalAlloc block: free it with LocalFree. An empty command
// line gives the program's own path as the only item.
LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count);

#define GetStartupInfo GetStartupInfoW
#define CreateProcess CreateProcessW
