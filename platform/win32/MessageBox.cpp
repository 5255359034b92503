#include "win32/MessageBox.h"

#include <string>

#include "win32/CodePage.h"
#include "win32/Screen.h"

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return qv::win32::screen().messageBox(owner, text ? text : L"", caption ? caption : L"Error",
                                          type);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return qv::win32::screen().messageBox(owner, qv::ansiToWide(text ? text : ""),
                                          qv::ansiToWide(caption ? caption : "Error"), type);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT) {
    return qv::win32::screen().messageBox(nullptr, text ? text : L"", L"cadhost", type);
}
