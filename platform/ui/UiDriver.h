// The screen, as the platform shows it: message boxes, file and folder pickers, and dialogs. One
// driver is current at a time; tests install a ScriptedDriver, the host program a TerminalDriver.
// Without one, a HeadlessDriver answers every question with its default (the first button of a
// message box, a cancelled picker, no action in a dialog, which closes it as Esc would).
//
// Dialogs: the dialog runtime (platform/mfc/dialogs) tells the driver when a dialog is shown and
// when it closes, asks it for the user's next action while a modal dialog runs (dialogAction),
// and, between the host's commands, offers it the shown modeless dialogs (modelessAction).
// Actions the runtime cannot perform (a disabled button, an unknown id) come back as notices.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "../mfc/CString.h"
#include "DialogView.h"
#include "../win32/WinTypes.h"

namespace qv::ui {

// What the framework's file dialog asks for.
struct FileDialogRequest {
    BOOL openMode = TRUE;   // TRUE: open, FALSE: save as
    CString title;          // empty: the system's title
    CString initialFolder;  // may be empty
    CString fileName;       // initial file name
    CString defaultExt;     // without the point; may be empty
    CString filter;         // "Label|pattern|Label|pattern||"
    DWORD flags = 0;
};

class UiDriver {
  public:
    virtual ~UiDriver() = default;
    // Shows a message box; returns the button (IDOK, IDCANCEL, IDYES, IDNO, ...).
    virtual int messageBox(HWND owner, const CString& text, const CString& caption, UINT type) = 0;
    // The folder picker: the chosen folder's path, or an empty text when cancelled.
    virtual CString browseForFolder(const CString& title) = 0;
    // The file dialog: TRUE and the chosen full path in `path` when confirmed.
    virtual BOOL fileDialog(const FileDialogRequest& request, CString& path) = 0;

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
    virtual void dialogNotice(const CString& message, bool refused) {}
    // A dialog ended or was destroyed.
    virtual void dialogClosed(const DialogView& view) {}
};

// The current driver; never null.
UiDriver& driver();
// Installs a driver (not owned; it must outlive its use) or, with null, the headless default.
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
class HeadlessDriver : public UiDriver {
  public:
    int messageBox(HWND owner, const CString& text, const CString& caption, UINT type) override;
    CString browseForFolder(const CString& title) override;
    BOOL fileDialog(const FileDialogRequest& request, CString& path) override;
};

// A driver for tests: answers come from queues, and everything shown is recorded.
// An empty queue answers as the HeadlessDriver does. Dialog actions (queued as objects or as
// action lines, see DialogView.h) serve modal dialogs and modeless ones alike, in queue order.
class ScriptedDriver : public UiDriver {
  public:
    struct Notice {
        CString message;
        bool refused = false;
    };

    struct Shown {
        CString kind;  // "messageBox", "folder", "file"
        CString text;
        CString caption;
        UINT type = 0;
    };

    void queueButton(int button) { m_buttons.push_back(button); }
    void queueFolder(const CString& path) { m_folders.push_back(path); }  // empty: cancel
    void queueFile(const CString& path) { m_files.push_back(path); }      // empty: cancel
    void queueAction(const DialogAction& action) { m_actions.push_back(action); }
    // Queues an action line; a line that does not parse raises std::invalid_argument.
    void queueAction(const CString& line);
    std::size_t pendingActions() const { return m_actions.size(); }

    int messageBox(HWND owner, const CString& text, const CString& caption, UINT type) override;
    CString browseForFolder(const CString& title) override;
    BOOL fileDialog(const FileDialogRequest& request, CString& path) override;

    void dialogShown(const DialogView& view) override;
    DialogAction dialogAction(const DialogView& view) override;
    std::optional<DialogAction> modelessAction(const std::vector<DialogView>& open) override;
    void dialogNotice(const CString& message, bool refused) override;
    void dialogClosed(const DialogView& view) override;

    const std::vector<Shown>& shown() const { return m_shown; }
    const FileDialogRequest& lastFileRequest() const { return m_lastFileRequest; }
    // Every dialog as it was shown, and as it was when each action was asked for.
    const std::vector<DialogView>& dialogsShown() const { return m_dialogsShown; }
    const std::vector<DialogView>& dialogsAsked() const { return m_dialogsAsked; }
    const std::vector<Notice>& notices() const { return m_notices; }
    // The captions of the dialogs that closed, in order.
    const std::vector<CString>& dialogsClosed() const { return m_dialogsClosed; }
    void clear() {
        m_shown.clear();
        m_dialogsShown.clear();
        m_dialogsAsked.clear();
        m_notices.clear();
        m_dialogsClosed.clear();
    }

  private:
    std::deque<int> m_buttons;
    std::deque<CString> m_folders;
    std::deque<CString> m_files;
    std::deque<DialogAction> m_actions;
    std::vector<Shown> m_shown;
    std::vector<DialogView> m_dialogsShown;
    std::vector<DialogView> m_dialogsAsked;
    std::vector<Notice> m_notices;
    std::vector<CString> m_dialogsClosed;
    FileDialogRequest m_lastFileRequest;
};

// The button a message box of this type gives by default (its first button).
int defaultButton(UINT type);

}  // namespace qv::ui
