#include "ui/UiDriver.h"

#include <stdexcept>

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

void setDriver(UiDriver* d) {
    current() = d;
}

DriverScope::DriverScope(UiDriver& d) : m_previous(current()) {
    current() = &d;
}
DriverScope::~DriverScope() {
    current() = m_previous;
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

int HeadlessDriver::messageBox(HWND, const CString&, const CString&, UINT type) {
    return defaultButton(type);
}
CString HeadlessDriver::browseForFolder(const CString&) {
    return CString();
}
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

void ScriptedDriver::queueAction(const CString& line) {
    CString error;
    const std::optional<DialogAction> action = parseDialogAction(line, &error);
    if (!action) {
        throw std::invalid_argument(CStringA(error).GetString());
    }
    m_actions.push_back(*action);
}

void ScriptedDriver::dialogShown(const DialogView& view) {
    m_dialogsShown.push_back(view);
}

DialogAction ScriptedDriver::dialogAction(const DialogView& view) {
    m_dialogsAsked.push_back(view);
    if (m_actions.empty()) {
        return DialogAction();
    }
    const DialogAction a = m_actions.front();
    m_actions.pop_front();
    return a;
}

std::optional<DialogAction> ScriptedDriver::modelessAction(const std::vector<DialogView>& open) {
    if (m_actions.empty() || open.empty()) {
        return std::nullopt;
    }
    m_dialogsAsked.push_back(open.front());
    const DialogAction a = m_actions.front();
    m_actions.pop_front();
    return a;
}

void ScriptedDriver::dialogNotice(const CString& message, bool refused) {
    m_notices.push_back({message, refused});
}

void ScriptedDriver::dialogClosed(const DialogView& view) {
    m_dialogsClosed.push_back(view.caption);
}

}  // namespace qv::ui
