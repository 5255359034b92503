// The screen, as the platform shows it: message boxes, file and folder pickers, and dialogs. One
// driver is current at a time; tests install a ScriptedDriver, the host program a TerminalDriver.
// Without one, a HeadlessDriver answers every question with its default (the first button of a
// message box, a cancelled picker, no action in a dialog, which closes it as Esc would).
//
// A driver is the Win32 layer's Screen (win32/Screen.h) and more: the current driver is also the
// screen that the system's message boxes and pickers ask, so a driver answers both the system's
// windows and the dialogs of the framework. Texts are wide std::wstring; the framework converts
// its CString where it calls a driver.
//
// Dialogs: the dialog runtime (platform/mfc/dialogs) tells the driver when a dialog is shown and
// when it closes, asks it for the user's next action while a modal dialog runs (dialogAction),
// and, between the host's commands, offers it the shown modeless dialogs (modelessAction).
// Actions the runtime cannot perform (a disabled button, an unknown id) come back as notices.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DialogView.h"
#include "../win32/Screen.h"
#include "../win32/WinTypes.h"

namespace qv::ui {

// What a file dialog asks for (title, initial folder and name, default extension, filter, flags).
using FileDialogRequest = qv::win32::FileDialogRequest;
// The button a message box of this type gives by default (its first button).
using qv::win32::defaultButton;

// The system's windows (Screen): messageBox, browseForFolder and fileDialog, which answer with
// their defaults unless a driver overrides them. The dialogs of the framework: below.
class UiDriver : public qv::win32::Screen {
  public:
    // A dialog became visible (or was restored); `view` is what it shows now.
    virtual void dialogShown(const DialogView& view) {}
    // The user's next action in a running modal dialog; NoMoreInput when there is none.
    virtual DialogAction dialogAction(const DialogView& view) { return DialogAction(); }
    // Between commands: an action in one of the shown modeless dialogs (the first is the active
    // one), or nothing to let the host go on with its command line.
    virtual std::optional<DialogAction> modelessAction(const std::vector<DialogView>& open) {
        return std::nullopt;
    }
    // The outcome of an action that was refused (refused true) or changed (a number edit drops
    // what is no digit).
    virtual void dialogNotice(std::wstring_view message, bool refused) {}
    // A dialog ended or was destroyed.
    virtual void dialogClosed(const DialogView& view) {}
    // An action was carried out in a dialog that is still shown; `view` is what it shows now,
    // after the dialog handled what the action set off.
    virtual void dialogChanged(const DialogView& view) {}
};

// The current driver; never null.
UiDriver& driver();
// Installs a driver (not owned; it must outlive its use) or, with null, the headless default;
// the driver becomes the Win32 layer's screen as well.
void setDriver(UiDriver* driver);

// Installs a driver for the lifetime of the guard and restores the previous one afterwards.
class DriverScope {
  public:
    explicit DriverScope(UiDriver& d);
    ~DriverScope();
    DriverScope(const DriverScope&) = delete;
    DriverScope& operator=(const DriverScope&) = delete;

  private:
    UiDriver* m_previous;
};

// Answers with defaults and shows nothing.
class HeadlessDriver : public UiDriver {};

// A driver for tests: answers come from queues, and everything shown is recorded.
// An empty queue answers as the HeadlessDriver does. Dialog actions (queued as objects or as
// action lines, see DialogView.h) serve modal dialogs and modeless ones alike, in queue order.
class ScriptedDriver : public UiDriver {
  public:
    struct Notice {
        std::wstring message;
        bool refused = false;
    };

    struct Shown {
        std::wstring kind;  // "messageBox", "folder", "file"
        std::wstring text;
        std::wstring caption;
        UINT type = 0;
    };

    void queueButton(int button) { m_buttons.push_back(button); }
    void queueFolder(std::wstring_view path) { m_folders.emplace_back(path); }  // empty: cancel
    void queueFile(std::wstring_view path) { m_files.emplace_back(path); }      // empty: cancel
    void queueAction(const DialogAction& action) { m_actions.push_back(action); }
    // Queues an action line; a line that does not parse raises std::invalid_argument.
    void queueAction(std::wstring_view line);
    std::size_t pendingActions() const { return m_actions.size(); }

    int messageBox(HWND owner, std::wstring_view text, std::wstring_view caption,
                   UINT type) override;
    std::wstring browseForFolder(std::wstring_view title) override;
    BOOL fileDialog(const FileDialogRequest& request, std::wstring& path) override;

    void dialogShown(const DialogView& view) override;
    DialogAction dialogAction(const DialogView& view) override;
    std::optional<DialogAction> modelessAction(const std::vector<DialogView>& open) override;
    void dialogNotice(std::wstring_view message, bool refused) override;
    void dialogClosed(const DialogView& view) override;

    const std::vector<Shown>& shown() const { return m_shown; }
    const FileDialogRequest& lastFileRequest() const { return m_lastFileRequest; }
    // Every dialog as it was shown, and as it was when each action was asked for.
    const std::vector<DialogView>& dialogsShown() const { return m_dialogsShown; }
    const std::vector<DialogView>& dialogsAsked() const { return m_dialogsAsked; }
    const std::vector<Notice>& notices() const { return m_notices; }
    // The captions of the dialogs that closed, in order.
    const std::vector<std::wstring>& dialogsClosed() const { return m_dialogsClosed; }
    void clear() {
        m_shown.clear();
        m_dialogsShown.clear();
        m_dialogsAsked.clear();
        m_notices.clear();
        m_dialogsClosed.clear();
    }

  private:
    std::deque<int> m_buttons;
    std::deque<std::wstring> m_folders;
    std::deque<std::wstring> m_files;
    std::deque<DialogAction> m_actions;
    std::vector<Shown> m_shown;
    std::vector<DialogView> m_dialogsShown;
    std::vector<DialogView> m_dialogsAsked;
    std::vector<Notice> m_notices;
    std::vector<std::wstring> m_dialogsClosed;
    FileDialogRequest m_lastFileRequest;
};

}  // namespace qv::ui
