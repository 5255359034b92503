// What a user-interface driver sees of a dialog and what it can do in one.
//
// A DialogView describes a dialog as the user sees it: caption, menu bar, and each control with
// its id, kind, label, value and state. Controls of a page (a child dialog, such as the pages of
// a tab control) carry the page's template id, because their ids may repeat those of the dialog.
//
// A DialogAction is one thing the user does. Its text form, read by the terminal driver and
// accepted by the scripted driver, is one line:
//
//     set ID TEXT        type TEXT into an edit (or the edit part of a combo box), replacing it
//     paste ID TEXT      paste TEXT there instead: an edit that takes digits only keeps what
//                        is no digit, as Windows lets a paste through where it stops typing
//     check ID           tick a check box or choose a radio button
//     uncheck ID         clear a check box
//     select ID ITEM     choose an item of a combo box, list box or tab control
//     click ID           click a button (a check box toggles, a radio button is chosen)
//     dblclick ID ITEM   double-click an item of a list box
//     menu ID            choose the menu command ID
//     close              click the close box
//     cancel             press Esc (also "esc", "^C" or the escape character)
//     enter              press Enter (the default button)
//     show               show the dialog again (the terminal driver prints it)
//
// ID is a control id, or PAGE:ID for a control of the page with template id PAGE, or the
// control's label as the dialog shows it (a button's caption, the text before an edit box;
// without regard to case, access keys, or a closing ":" or "..."): one word, or in double quotes,
// or after check, uncheck and click the rest of the line. TEXT and ITEM are the rest of the line;
// enclose them in double quotes to keep blanks at their ends or to give an empty text. ITEM
// names an item by its text or the part of it that a list box shows (shownItemText), exactly,
// else without regard to case, or, failing that, by its index from 0. Verbs are read without
// regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../win32/WinTypes.h"

namespace qv::ui {

struct ControlView {
    int id = 0;
    UINT page = 0;      // the template id of the page that holds the control; 0 for the dialog
    std::wstring kind;  // "static", "group", "button", "checkbox", "radio", "edit", "combo",
                        // "list", "tab"
    std::wstring label;  // a button's caption; for an edit, combo or list box the static before it
    std::wstring text;   // the window text: an edit's content, a combo box's edit part or choice
    std::vector<std::wstring> items;  // the items of a combo box, list box or tab control
    int selected = -1;                // the chosen item, -1 for none
    int check = -1;                   // check boxes and radio buttons: 0, 1 or 2; others -1
    bool visible = true;
    bool enabled = true;
    bool focused = false;
    bool readOnly = false;
    bool numeric = false;    // an edit that takes digits only
    bool isDefault = false;  // the default push button
    bool isLabel = false;    // a static without id that labels the control after it
};

struct MenuItemView {
    std::wstring text;
    UINT id = 0;  // 0 for a popup or a separator
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    std::vector<MenuItemView> items;  // the items of a popup
};

struct DialogView {
    HWND hwnd = nullptr;
    UINT templateId = 0;
    std::wstring caption;
    bool modal = false;
    bool hasCloseBox = false;
    std::vector<MenuItemView> menu;
    std::vector<ControlView> controls;  // in tab order; a page's controls follow the page's place

    // The visible control with this id (in this page, when a page is given), else any control
    // with it; null when there is none.
    const ControlView* control(int id, UINT page = 0) const;
};

struct DialogAction {
    enum class Kind {
        SetText,
        Paste,
        Check,
        Uncheck,
        Select,
        Click,
        DoubleClick,
        Menu,
        Close,
        Cancel,
        Enter,
        Show,
        NoMoreInput,  // the driver has nothing more to give
    };
    Kind kind = Kind::NoMoreInput;
    int control = 0;        // the control's id
    UINT page = 0;          // the page's template id; 0: the dialog, or the first page that has it
    std::wstring label;     // the control's label when it was named so (see resolveLabel)
    std::wstring text;      // the text of SetText and Paste; the item of Select and DoubleClick
    UINT command = 0;       // the command of Menu
    HWND dialog = nullptr;  // the modeless dialog to act on; null: the first one offered
};

// Reads one action line (see above). On failure returns nothing and, when `error` is given,
// says why.
std::optional<DialogAction> parseDialogAction(std::wstring_view line,
                                              std::wstring* error = nullptr);

// Turns the label that an action names its control by into the control's id and page: the one
// visible control with that label (exactly, else without regard to case). False, saying why, when
// no control or more than one has it. An action without a label is left as it is.
bool resolveLabel(const DialogView& view, DialogAction& action, std::wstring* error = nullptr);

// The part of a list item that a list box shows: the text before a run of kHiddenGap blanks or
// more, without the blanks that end it. What follows such a gap lies beyond the box's edge: a
// program keeps a key there, out of sight, in the item's text (the item keeps it).
constexpr std::size_t kHiddenGap = 32;
std::wstring shownItemText(std::wstring_view item);

// The dialog as lines of text: the caption, the menu bar, then one line per visible control
// (labels that name the next control are folded into it; list items as a list box shows them,
// see shownItemText), for example
//     Dialog "Block Creator" (217)
//       Menu: File [Exit 32768] | Tools [Options 32769] | Help [About 32770]
//       311 edit "Next Space Name": "Room 1"
//       3 button "Start"
//       296 checkbox "Apply changes to all similar blocks": unchecked
//       248 combo: "Rooms/Spaces" of "Rooms/Spaces", "Gross Area"
//       246 list: 2 items, selected 0
//         0 "Kitchen"
//         1 "Office"
//       291 edit "Text Size": "250" (disabled)
std::vector<std::wstring> formatDialog(const DialogView& view);

// A menu or button caption without its access-key marks ("E&xit" shows as "Exit").
std::wstring withoutAccessKeys(std::wstring_view caption);

}  // namespace qv::ui
