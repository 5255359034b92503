// The window manager behind HWND: one record per window with the state that Windows keeps in the
// window (class, style, text, parent and children, visibility, the state of a control), the
// permanent CWnd attached to it, message sending and the queue of posted messages, activation
// and focus. The framework classes (CWnd and its descendants) and the Windows functions of
// WindowApi.h work through it; nothing here knows the module.
//
// Handles are never reused, so a stale handle is recognised (find gives null). Records live until
// their window is destroyed; a pointer to a record is valid until the next call that can destroy
// windows (any message sent), so code re-finds a record by handle after sending.
//
// Windows belong to the thread that runs the user interface (the host's main thread); nothing
// here is for other threads. There is no geometry: every window has a nominal rectangle that
// MoveWindow and SetWindowPos change, and tab items lie side by side in a row of fixed width (see
// tabItemRect).
#pragma once

#include <memory>
#include <vector>

#include "../CString.h"
#include "WindowDefs.h"

class CWnd;

namespace qv::win {

enum class WindowClass { Frame, Dialog, Static, Button, Edit, ComboBox, ListBox, TabControl };

struct ListItem {
    CString text;
    DWORD_PTR data = 0;
};

struct TabItem {
    CString text;
    LPARAM param = 0;
};

struct Window {
    HWND handle = nullptr;
    WindowClass cls = WindowClass::Static;
    int id = 0;
    DWORD style = 0;
    CString text;           // caption or content; for a drop-down-list combo box see windowText
    HWND parent = nullptr;  // null for a top-level window
    HWND owner = nullptr;   // the owner of a top-level window (GetParent gives it)
    std::vector<HWND> children;  // in creation (tab) order
    RECT rect{0, 0, 0, 0};
    bool minimised = false;
    bool destroying = false;

    CWnd* permanent = nullptr;        // the object attached by Attach or subclassing
    std::unique_ptr<CWnd> temporary;  // the object FromHandle made for an unattached window

    // Dialogs.
    UINT templateId = 0;
    bool modal = false;
    bool ended = false;  // EndDialog was called
    INT_PTR result = 0;
    UINT defId = 0;  // 0: the default push button, else IDOK
    HMENU menu = nullptr;
    std::vector<std::pair<int, std::vector<CString>>> initItems;  // strings of combo and list boxes
    bool shownToDriver = false;  // shown (visible, not minimised) as the driver last heard
    bool everShown = false;
    bool closedToDriver = false;

    // Buttons.
    int check = BST_UNCHECKED;
    // Edits.
    int limit = 0;  // 0: the default limit
    int selStart = 0;
    int selEnd = 0;
    bool modified = false;
    // Combo and list boxes.
    std::vector<ListItem> items;
    int curSel = -1;
    // Tab controls.
    std::vector<TabItem> tabs;
    int curTab = -1;

    UINT buttonType() const { return style & BS_TYPEMASK; }
    bool isRadio() const {
        return cls == WindowClass::Button &&
               (buttonType() == BS_RADIOBUTTON || buttonType() == BS_AUTORADIOBUTTON);
    }
    bool isCheckBox() const {
        const UINT t = buttonType();
        return cls == WindowClass::Button &&
               (t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE);
    }
    bool isPushButton() const {
        return cls == WindowClass::Button &&
               (buttonType() == BS_PUSHBUTTON || buttonType() == BS_DEFPUSHBUTTON);
    }
    UINT comboType() const { return style & 0x3u; }
};

// The record of a live window, or null.
Window* find(HWND h);
// Makes a window. A child is appended to its parent's children. Nothing is sent.
HWND create(WindowClass cls, HWND parent, int id, DWORD style, const CString& text);
// Destroys a window and its children as DestroyWindow does: WM_DESTROY, the children,
// WM_NCDESTROY, then the record goes. FALSE for a window that does not exist.
BOOL destroy(HWND h);
// The number of live windows (for tests: no window is left behind).
std::size_t windowCount();
// The top-level windows in the order they were made.
std::vector<HWND> topLevelWindows();

// Sends a message to the window's permanent object (its WindowProc) or, without one, to the
// default procedure of its class. A window that does not exist answers 0.
LRESULT send(HWND h, UINT msg, WPARAM w, LPARAM l);
// Calls an object's WindowProc (defined with CWnd, whose WindowProc is protected).
LRESULT callWindowProc(CWnd* target, UINT msg, WPARAM w, LPARAM l);
// The default procedure of the window's class (dialogs: the close box and Esc as IDCANCEL, the
// default button; tab controls: a click selects a tab).
LRESULT defaultProc(HWND h, UINT msg, WPARAM w, LPARAM l);
// The message being handled most recently for a window, for CWnd::Default.
struct CurrentMessage {
    HWND hwnd;
    UINT msg;
    WPARAM w;
    LPARAM l;
};
const CurrentMessage* currentMessage();

// Posted messages: queued and delivered in order by dispatchPosted, which delivers the messages
// that were queued when it started (those posted meanwhile wait for the next call) and returns
// how many it delivered. Messages to windows destroyed meanwhile are dropped.
void post(HWND h, UINT msg, WPARAM w, LPARAM l);
int dispatchPosted();

// While set, control notifications (WM_COMMAND from a control) to this window are ignored, as
// during the framework's data exchange.
HWND notifyLockout();
void setNotifyLockout(HWND h);

// Sends WM_COMMAND with a notification code from a control to its parent.
void notifyParent(HWND control, int code);

// The host's main window: a visible top-level frame, made on first use, never destroyed.
HWND mainWindow();
// The window at the top of a window's parent chain.
HWND topLevelOf(HWND h);
// TRUE when the window and all its ancestors are visible.
bool isVisible(HWND h);
// TRUE when the window and all its ancestors are enabled.
bool isEnabledChain(HWND h);

// Activation and focus. The active window is a top-level window; when it disappears (hidden,
// minimised, destroyed) the main window becomes active. Focus lies in the active window.
HWND activeWindow();
HWND activate(HWND h);  // returns the previously active window
HWND focusWindow();
HWND setFocus(HWND h);  // returns the window that had the focus

// ShowWindow: returns whether the window was visible before. WM_SHOWWINDOW is sent when the
// visibility changes; minimising and restoring a visible window send none.
BOOL show(HWND h, int cmd);
// Shows or hides without WM_SHOWWINDOW (SetWindowPos with SWP_SHOWWINDOW or SWP_HIDEWINDOW).
void setVisible(HWND h, bool visible);

// Text as WM_SETTEXT sets it: an edit tells its parent EN_CHANGE; a combo box sets the text of
// its edit part. Programmatic text ignores an edit's limit and clears its modified flag.
void setText(HWND h, const CString& text);
// The window text as GetWindowText gives it.
CString windowText(HWND h);

// Ends a dialog: hides it (without WM_SHOWWINDOW), marks it ended with the result, and gives the
// activation back. A modal loop ends; a modeless dialog stays, hidden, until it is destroyed.
BOOL endDialog(HWND h, INT_PTR result);

// The button of a radio group: the group runs from the nearest sibling at or before `h` with
// WS_GROUP to the control before the next one with WS_GROUP.
std::vector<HWND> radioGroup(HWND h);
// Checks a radio button and clears the other radio buttons of its group.
void checkRadio(HWND h);

// Tab item rectangles (client coordinates of the tab control).
RECT tabItemRect(int index);
int tabHitTest(POINT p);

// Called when a top-level dialog becomes shown or ends; tells the user-interface driver.
void announceShown(HWND dialog);
void announceClosed(HWND dialog);

// Nominal sizes.
constexpr LONG kDialogWidth = 400;
constexpr LONG kDialogHeight = 300;
constexpr LONG kControlWidth = 100;
constexpr LONG kControlHeight = 20;
constexpr LONG kTabWidth = 80;
constexpr LONG kTabHeight = 20;

}  // namespace qv::win
