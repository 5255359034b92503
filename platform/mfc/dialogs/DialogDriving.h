// The user's side of dialogs: what the user-interface driver sees of a dialog and how its
// actions are carried out, as the user would carry them out with mouse and keyboard.
//
// Actions act only on what the user can reach: a visible, enabled control of a shown dialog
// (a control of a hidden page is out of reach). They produce the notifications that the user's
// input produces on Windows: typing sets an edit's text, marks it modified and sends EN_CHANGE
// (a digits-only edit drops other characters and the driver hears "You can only type a number
// here."; the edit's limit cuts the text); a click on a button sends BN_CLICKED after an automatic
// check box toggled or an automatic radio button was chosen; choosing an item sends CBN_SELCHANGE
// or (with LBS_NOTIFY) LBN_SELCHANGE; a double click on a list item adds LBN_DBLCLK; choosing a
// tab clicks it (WM_LBUTTONDOWN on the tab); a menu command sends WM_COMMAND with its id; the
// close box sends WM_CLOSE; Esc and Enter choose IDCANCEL and the default button.
#pragma once

#include <vector>

#include "../CString.h"
#include "../../ui/DialogView.h"
#include "../../ui/UiDriver.h"
#include "../../win32/WinTypes.h"

namespace qv::win {

struct ActionOutcome {
    bool done = false;  // false: refused, nothing happened
    CString message;    // why it was refused, or what changed on the way
};

// The dialog as the driver sees it (an empty view for a window that does not exist).
qv::ui::DialogView describe(HWND dialog);

// Carries out one action in a dialog.
ActionOutcome perform(HWND dialog, const qv::ui::DialogAction& action);

// The modal loop of CDialog::DoModal (see CDialog.h).
void runModalLoop(HWND dialog);

// The shown modeless dialogs (visible, not minimised, not ended), the active one first, then the
// most recently made.
std::vector<HWND> openModelessDialogs();

// One turn of the host's loop between commands: delivers posted messages, then offers the shown
// modeless dialogs to the driver and carries out the action it gives. TRUE when an action was
// taken (the host asks again), FALSE when the driver let the host go on. The thread's last error
// is left as the action (and the messages it posted) left it, so that the host can tell an
// action that failed.
bool serviceModeless(qv::ui::UiDriver& driver = qv::ui::driver());

// After a command the host takes the focus back, unless the active window is a dialog that
// answers the host's keep-focus message (WM_ACAD_KEEPFOCUS) with TRUE. Returns the window that
// is active afterwards.
HWND reclaimFocusForHost();

}  // namespace qv::win
