#include "win32/Screen.h"

#include "win32/MessageBox.h"

namespace qv::win32 {
namespace {

Screen*& current() {
    static Screen* s = nullptr;
    return s;
}

}  // namespace

int Screen::messageBox(HWND, std::wstring_view, std::wstring_view, UINT type) {
    return defaultButton(type);
}

std::wstring Screen::browseForFolder(std::wstring_view) {
    return std::wstring();
}

BOOL Screen::fileDialog(const FileDialogRequest&, std::wstring& path) {
    path.clear();
    return FALSE;
}

Screen& screen() {
    static Screen unseen;
    Screen* s = current();
    return s ? *s : unseen;
}

void setScreen(Screen* s) {
    current() = s;
}

int defaultButton(UINT type) {
    switch (type & 0x0F) {
        case MB_OKCANCEL:
            return IDOK;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_YESNO:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        default:
            return IDOK;
    }
}

}  // namespace qv::win32
