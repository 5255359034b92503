// The common file dialogs (GetOpenFileNameW, GetSaveFileNameW), answered by the current screen
// (qv::win32::screen().fileDialog; the user-interface driver while one is installed).
//
// The screen gets the title, initial folder, initial file name, default extension, the filter
// as "Label|pattern|...||" and the flags. What it answers is checked as the dialog checks it
// before closing, and the dialog is shown again (the screen asked again) after:
//   - a path longer than lpstrFile holds (nMaxFile - 1 characters): "<path>\nThe path is too
//     long: this program takes at most <n> characters.\nUse a shorter path.";
//   - OFN_FILEMUSTEXIST and no such file: the message "<path>\nFile not found.\nCheck the file
//     name and try again.";
//   - OFN_PATHMUSTEXIST and no such folder: "<path>\nPath does not exist.\nCheck the path and
//     try again.";
//   - a save dialog with OFN_OVERWRITEPROMPT and an existing file: "<name> already exists.\nDo
//     you want to replace it?" (Yes/No, title "Confirm Save As"); No asks again.
// A name without folder is taken in the initial folder (else the current directory); a name
// without extension gets the default extension, when there is one. The full path goes to
// lpstrFile (nFileOffset and nFileExtension set), its name to lpstrFileTitle when given.
// A cancelled dialog returns FALSE with CommDlgExtendedError 0.
#pragma once

#include "WinTypes.h"
#include "WinUser.h"

#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_NOCHANGEDIR 0x00000008u
#define OFN_SHOWHELP 0x00000010u
#define OFN_ENABLEHOOK 0x00000020u
#define OFN_NOVALIDATE 0x00000100u
#define OFN_ALLOWMULTISELECT 0x00000200u
#define OFN_EXTENSIONDIFFERENT 0x00000400u
#define OFN_PATHMUSTEXIST 0x00000800u
#define OFN_FILEMUSTEXIST 0x00001000u
#define OFN_CREATEPROMPT 0x00002000u
#define OFN_NOREADONLYRETURN 0x00008000u
#define OFN_EXPLORER 0x00080000u
#define OFN_NODEREFERENCELINKS 0x00100000u
#define OFN_ENABLESIZING 0x00800000u
#define OFN_DONTADDTORECENT 0x02000000u

#define FNERR_BUFFERTOOSMALL 0x3003u

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagOFNW {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCWSTR lpstrFilter;  // pairs of zero-ended texts, ended by another zero
    LPWSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPWSTR lpstrFile;
    DWORD nMaxFile;
    LPWSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCWSTR lpstrInitialDir;
    LPCWSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCWSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCWSTR lpTemplateName;
    void* pvReserved;
    DWORD dwReserved;
    DWORD FlagsEx;
} OPENFILENAMEW, *LPOPENFILENAMEW;
typedef OPENFILENAMEW OPENFILENAME;
typedef LPOPENFILENAMEW LPOPENFILENAME;

BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn);
// The error of the last file dialog of this thread (0 for none or a cancel).
DWORD CommDlgExtendedError();

#define GetOpenFileName GetOpenFileNameW
#define GetSaveFileName GetSaveFileNameW
