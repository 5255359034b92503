#include "win32/MessageBox.h"

#include "mfc/CString.h"
#include "ui/UiDriver.h"

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return qv::ui::driver().messageBox(owner, CString(text), CString(caption ? caption : L"Error"),
                                       type);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return qv::ui::driver().messageBox(owner, CString(text), CString(caption ? caption : "Error"),
                                       type);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT) {
    return qv::ui::driver().messageBox(nullptr, CString(text), CString(L"cadhost"), type);
}
