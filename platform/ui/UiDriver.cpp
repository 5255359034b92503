#include "ui/UiDriver.h"

#include <stdexcept>

#include "win32/CodePage.h"

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
    qv::win32::setScreen(d);
}

DriverScope::DriverScope(UiDriver& d) : m_previous(current()) {
    setDriver(&d);
}
DriverScope::~DriverScope() {
    setDriver(m_previous);
}

int ScriptedDriver::messageBox(HWND, std::wstring_view text, std::wstring_view caption, UINT type) {
    m_shown.push_back({L"messageBox", std::wstring(text), std::wstring(caption), type});
    if (m_buttons.empty()) {
        return defaultButton(type);
    }
    const int b = m_buttons.front();
    m_buttons.pop_front();
    return b;
}

std::wstring ScriptedDriver::browseForFolder(std::wstring_view title) {
    m_shown.push_back({L"folder", std::wstring(title), std::wstring(), 0});
    if (m_folders.empty()) {
        return std::wstring();
    }
    std::wstring f = std::move(m_folders.front());
    m_folders.pop_front();
    return f;
}

BOOL ScriptedDriver::fileDialog(const FileDialogRequest& request, std::wstring& path) {
    m_shown.push_back({L"file", request.filter, request.title, 0});
    m_lastFileRequest = request;
    path.clear();
    if (m_files.empty()) {
        return FALSE;
    }
    path = std::move(m_files.front());
    m_files.pop_front();
    return path.empty() ? FALSE : TRUE;
}

void ScriptedDriver::queueAction(std::wstring_view line) {
    std::wstring error;
    const std::optional<DialogAction> action = parseDialogAction(line, &error);
    if (!action) {
        throw std::invalid_argument(wideToAnsi(error));
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

void ScriptedDriver::dialogNotice(std::wstring_view message, bool refused) {
    m_notices.push_back({std::wstring(message), refused});
}

void ScriptedDriver::dialogClosed(const DialogView& view) {
    m_dialogsClosed.push_back(view.caption);
}

}  // namespace qv::ui
