// The screen, as the platform shows it: message boxes, file and folder pickers, and later the
// module's dialogs. One driver is current at a time; tests install a ScriptedDriver, the host
// program a terminal driver. Without one, a HeadlessDriver answers every question with its
// default (the first button of a message box, a cancelled picker).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "mfc/CString.h"
#include "win32/WinTypes.h"

namespace qv::ui {

// What the framework's file dialog asks for.
struct FileDialogRequest {
    BOOL openMode = TRUE;    // TRUE: open, FALSE: save as
    CString title;           // empty: the system's title
    CString initialFolder;   // may be empty
    CString fileName;        // initial file name
    CString defaultExt;      // without the point; may be empty
    CString filter;          // "Label|pattern|Label|pattern||"
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
// An empty queue answers as the HeadlessDriver does.
class ScriptedDriver : public UiDriver {
public:
    struct Shown {
        CString kind;  // "messageBox", "folder", "file"
        CString text;
        CString caption;
        UINT type = 0;
    };

    void queueButton(int button) { m_buttons.push_back(button); }
    void queueFolder(const CString& path) { m_folders.push_back(path); }  // empty: cancel
    void queueFile(const CString& path) { m_files.push_back(path); }      // empty: cancel

    int messageBox(HWND owner, const CString& text, const CString& caption, UINT type) override;
    CString browseForFolder(const CString& title) override;
    BOOL fileDialog(const FileDialogRequest& request, CString& path) override;

    const std::vector<Shown>& shown() const { return m_shown; }
    const FileDialogRequest& lastFileRequest() const { return m_lastFileRequest; }
    void clear() { m_shown.clear(); }

private:
    std::deque<int> m_buttons;
    std::deque<CString> m_folders;
    std::deque<CString> m_files;
    std::vector<Shown> m_shown;
    FileDialogRequest m_lastFileRequest;
};

// The button a message box of this type gives by default (its first button).
int defaultButton(UINT type);

}  // namespace qv::ui
