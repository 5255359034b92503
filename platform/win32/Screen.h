// The screen as the system's own windows use it: message boxes (MessageBox.h), the file dialogs
// (CommDlg.h) and the folder picker (Shell.h) ask the current Screen and show nothing themselves.
//
// The user-interface driver (platform/ui) is a Screen and installs itself here when it becomes
// current; until one does, the Screen base answers as a screen no one looks at: the default
// button of a message box, a cancelled picker, a cancelled file dialog.
#pragma once

#include <string>
#include <string_view>

#include "WinTypes.h"

namespace qv::win32 {

// What a file dialog asks for.
struct FileDialogRequest {
    BOOL openMode = TRUE;        // TRUE: open, FALSE: save as
    std::wstring title;          // empty: the system's title
    std::wstring initialFolder;  // may be empty
    std::wstring fileName;       // initial file name
    std::wstring defaultExt;     // without the point; may be empty
    std::wstring filter;         // "Label|pattern|Label|pattern||"
    DWORD flags = 0;
};

class Screen {
  public:
    virtual ~Screen() = default;
    // Shows a message box; returns the button (IDOK, IDCANCEL, IDYES, IDNO, ...).
    virtual int messageBox(HWND owner, std::wstring_view text, std::wstring_view caption,
                           UINT type);
    // The folder picker: the chosen folder's path, or an empty text when cancelled.
    virtual std::wstring browseForFolder(std::wstring_view title);
    // The file dialog: TRUE and the chosen full path in `path` when confirmed; otherwise FALSE
    // and `path` empty.
    virtual BOOL fileDialog(const FileDialogRequest& request, std::wstring& path);
};

// The current screen; never null.
Screen& screen();
// Installs a screen (not owned; it must outlive its use) or, with null, the default one.
void setScreen(Screen* screen);

// The button a message box of this type gives by default (its first button).
int defaultButton(UINT type);

}  // namespace qv::win32
