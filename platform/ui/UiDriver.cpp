#include "ui/UiDriver.h"

#include "win32/MessageBox.h"

namespace qv::ui {
namespace {

HeadlessDriver& headless() {
    static HeadlessDriver d;
    return d;
}

UiDriver*& current() {
    static UiDriver* d = nullptr;
    return d;
}

}  // namespace

UiDriver& driver() {
    UiDriver* d = current();
    return d ? *d : headless();
}

void setDriver(UiDriver* d) { current() = d; }

DriverScope::DriverScope(UiDriver& d) : m_previous(current()) { current() = &d; }
DriverScope::~DriverScope() { current() = m_previous; }

int defaultButton(UINT type) {
    switch (type & 0x0F) {
        case MB_OKCANCEL: return IDOK;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        case MB_YESNOCANCEL: return IDYES;
        case MB_YESNO: return IDYES;
        case MB_RETRYCANCEL: return IDRETRY;
        default: return IDOK;
    }
}

int HeadlessDriver::messageBox(HWND, const CString&, const CString&, UINT type) {
    return defaultButton(type);
}
CString HeadlessDriver::browseForFolder(const CString&) { return CString(); }
BOOL HeadlessDriver::fileDialog(const FileDialogRequest&, CString& path) {
    path.Empty();
    return FALSE;
}

int ScriptedDriver::messageBox(HWND, const CString& text, const CString& caption, UINT type) {
    m_shown.push_back({L"messageBox", text, caption, type});
    if (m_buttons.empty()) {
        return defaultButton(type);
    }
    const int b = m_buttons.front();
    m_buttons.pop_front();
    return b;
}

CString ScriptedDriver::browseForFolder(const CString& title) {
    m_shown.push_back({L"folder", title, CString(), 0});
    if (m_folders.empty()) {
        return CString();
    }
    CString f = m_folders.front();
    m_folders.pop_front();
    return f;
}

BOOL ScriptedDriver::fileDialog(const FileDialogRequest& request, CString& path) {
    m_shown.push_back({L"file", request.filter, request.title, 0});
    m_lastFileRequest = request;
    path.Empty();
    if (m_files.empty()) {
        return FALSE;
    }
    path = m_files.front();
    m_files.pop_front();
    return path.IsEmpty() ? FALSE : TRUE;
}

}  // namespace qv::ui
