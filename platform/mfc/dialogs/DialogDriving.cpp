#include "mfc/dialogs/DialogDriving.h"

#include <algorithm>

#include "mfc/dialogs/CMenu.h"
#include "mfc/dialogs/Controls.h"
#include "mfc/dialogs/WindowStore.h"
#include "win32/WinError.h"

namespace qv::win {
namespace {

using qv::ui::ControlView;
using qv::ui::DialogAction;
using qv::ui::DialogView;
using Kind = qv::ui::DialogAction::Kind;

CString kindName(const Window& w) {
    switch (w.cls) {
        case WindowClass::Static:
            return L"static";
        case WindowClass::Edit:
            return L"edit";
        case WindowClass::ComboBox:
            return L"combo";
        case WindowClass::ListBox:
            return L"list";
        case WindowClass::TabControl:
            return L"tab";
        case WindowClass::Button:
            if (w.buttonType() == BS_GROUPBOX) {
                return L"group";
            }
            if (w.isRadio()) {
                return L"radio";
            }
            if (w.isCheckBox()) {
                return L"checkbox";
            }
            return L"button";
        case WindowClass::Frame:
        case WindowClass::Dialog:
            return L"window";
    }
    return L"window";
}

std::vector<qv::ui::MenuItemView> describeMenu(HMENU h) {
    std::vector<qv::ui::MenuItemView> out;
    const MenuRecord* m = findMenu(h);
    if (!m) {
        return out;
    }
    for (const MenuItem& item : m->items) {
        qv::ui::MenuItemView v;
        v.text = item.text.str();
        v.separator = (item.flags & MF_SEPARATOR) != 0;
        v.id = item.popup || v.separator ? 0 : item.id;
        v.checked = (item.flags & MF_CHECKED) != 0;
        v.enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
        if (item.popup) {
            v.items = describeMenu(item.popup);
        }
        out.push_back(v);
    }
    return out;
}

void describeControls(HWND parent, UINT page, bool pageVisible, std::vector<ControlView>& out) {
    const Window* p = find(parent);
    if (!p) {
        return;
    }
    const HWND focus = focusWindow();
    for (std::size_t i = 0; i < p->children.size(); ++i) {
        const Window* w = find(p->children[i]);
        if (!w) {
            continue;
        }
        const bool visible = pageVisible && (w->style & WS_VISIBLE);
        if (w->cls == WindowClass::Dialog) {
            describeControls(w->handle, w->templateId, visible, out);
            continue;
        }
        ControlView c;
        c.id = w->id;
        c.page = page;
        c.kind = kindName(*w);
        c.text = windowText(w->handle).str();
        c.visible = visible;
        c.enabled = !(w->style & WS_DISABLED);
        c.focused = w->handle == focus;
        if (w->cls == WindowClass::Button) {
            c.label = w->text.str();
            if (w->isRadio() || w->isCheckBox()) {
                c.check = w->check;
            }
            c.isDefault = w->buttonType() == BS_DEFPUSHBUTTON;
        } else if (w->cls == WindowClass::Edit || w->cls == WindowClass::ComboBox ||
                   w->cls == WindowClass::ListBox) {
            const Window* before = i > 0 ? find(p->children[i - 1]) : nullptr;
            if (before && before->cls == WindowClass::Static) {
                c.label = before->text.str();
                if (before->id == IDC_STATIC && !out.empty() && out.back().id == IDC_STATIC) {
                    out.back().isLabel = true;
                }
            }
            c.readOnly = w->cls == WindowClass::Edit && (w->style & ES_READONLY);
            c.numeric = w->cls == WindowClass::Edit && (w->style & ES_NUMBER);
            for (const ListItem& it : w->items) {
                c.items.push_back(it.text.str());
            }
            c.selected = w->curSel;
        } else if (w->cls == WindowClass::TabControl) {
            for (const TabItem& t : w->tabs) {
                c.items.push_back(t.text.str());
            }
            c.selected = w->curTab;
            if (w->curTab >= 0) {
                c.text = w->tabs[static_cast<std::size_t>(w->curTab)].text.str();
            }
        } else if (w->cls == WindowClass::Static && w->id == IDC_STATIC) {
            c.label = w->text.str();
            c.text.clear();
        }
        out.push_back(c);
        // Windows inside a control (the pages of a tab control) follow it.
        describeControls(w->handle, page, visible, out);
    }
}

ActionOutcome refused(const CString& why) {
    return {false, why};
}

CString controlName(const DialogAction& a) {
    CString s;
    if (a.page) {
        s.Format(L"Control %u:%d", a.page, a.control);
    } else {
        s.Format(L"Control %d", a.control);
    }
    return s;
}

// The control an action names: among the window's own controls first, then inside them and in
// its pages; with visibleOnly, hidden windows and what lies inside them are passed over.
HWND findControl(HWND parent, UINT page, const DialogAction& a, bool visibleOnly) {
    const Window* p = find(parent);
    if (!p) {
        return nullptr;
    }
    auto reachable = [&](const Window* w) {
        return w && (!visibleOnly || (w->style & WS_VISIBLE));
    };
    if (!a.page || a.page == page) {
        for (HWND c : p->children) {
            const Window* w = find(c);
            if (reachable(w) && w->cls != WindowClass::Dialog && w->id == a.control) {
                return c;
            }
        }
    }
    for (HWND c : p->children) {
        const Window* w = find(c);
        if (!reachable(w)) {
            continue;
        }
        const UINT inner = w->cls == WindowClass::Dialog ? w->templateId : page;
        if (HWND found = findControl(c, inner, a, visibleOnly)) {
            return found;
        }
    }
    return nullptr;
}

HWND reach(HWND dialog, const DialogAction& a, CString& why) {
    HWND c = findControl(dialog, 0, a, true);
    if (!c) {
        why = controlName(a) +
              (findControl(dialog, 0, a, false) ? L" is hidden." : L" does not exist.");
        return nullptr;
    }
    if (!isEnabledChain(c)) {
        why = controlName(a) + L" is disabled.";
        return nullptr;
    }
    return c;
}

// An item by its text or the part of it a list box shows (exact, then without regard to case),
// else by its index.
int itemIndex(const std::vector<CString>& items, const CString& name) {
    for (const bool exact : {true, false}) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            const CString shown = qv::ui::shownItemText(items[i].str()).c_str();
            if (exact ? items[i] == name || shown == name
                      : items[i].CompareNoCase(name) == 0 || shown.CompareNoCase(name) == 0) {
                return static_cast<int>(i);
            }
        }
    }
    const std::wstring& s = name.str();
    if (s.empty() || s.size() > 9 || s.find_first_not_of(L"0123456789") != std::wstring::npos) {
        return -1;
    }
    const int index = std::stoi(s);
    return index < static_cast<int>(items.size()) ? index : -1;
}

ActionOutcome typeText(HWND c, const DialogAction& a) {
    Window* w = find(c);
    CString text = a.text;
    CString message;
    if (w->cls == WindowClass::ComboBox && w->comboType() != CBS_DROPDOWNLIST) {
        setFocus(c);
        if ((w = find(c)) == nullptr) {
            return {true, message};
        }
        w->text = text;
        if (w->curSel >= 0 && w->items[static_cast<std::size_t>(w->curSel)].text != text) {
            w->curSel = -1;
        }
        notifyParent(c, CBN_EDITUPDATE);
        notifyParent(c, CBN_EDITCHANGE);
        return {true, message};
    }
    if (w->cls != WindowClass::Edit) {
        return refused(controlName(a) + L" takes no text.");
    }
    if (w->style & ES_READONLY) {
        return refused(controlName(a) + L" is read-only.");
    }
    // A digits-only edit stops the keys of other characters, not a paste.
    if ((w->style & ES_NUMBER) && a.kind != Kind::Paste) {
        const int before = text.GetLength();
        CString digits;
        for (int i = 0; i < before; ++i) {
            if (text[i] >= L'0' && text[i] <= L'9') {
                digits += text[i];
            }
        }
        if (digits.GetLength() != before) {
            message = L"You can only type a number here.";
        }
        text = digits;
    }
    const int limit = w->limit == 0 ? 32767 : w->limit;
    if (text.GetLength() > limit) {
        text = text.Left(limit);
    }
    setFocus(c);
    if ((w = find(c)) == nullptr) {
        return {true, message};
    }
    w->text = text;
    w->modified = true;
    w->selStart = w->selEnd = text.GetLength();
    notifyParent(c, EN_UPDATE);
    notifyParent(c, EN_CHANGE);
    return {true, message};
}

ActionOutcome click(HWND c, const DialogAction& a) {
    Window* w = find(c);
    if (w->cls != WindowClass::Button || w->buttonType() == BS_GROUPBOX) {
        return refused(controlName(a) + L" cannot be clicked.");
    }
    setFocus(c);
    if ((w = find(c)) == nullptr) {
        return {true, CString()};
    }
    switch (w->buttonType()) {
        case BS_AUTOCHECKBOX:
            w->check = w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            break;
        case BS_AUTO3STATE:
            w->check = (w->check + 1) % 3;
            break;
        case BS_AUTORADIOBUTTON:
            checkRadio(c);
            break;
        default:
            break;
    }
    notifyParent(c, BN_CLICKED);
    return {true, CString()};
}

ActionOutcome setCheck(HWND c, const DialogAction& a) {
    const Window* w = find(c);
    if (!w->isCheckBox() && !w->isRadio()) {
        return refused(controlName(a) + L" is no check box or radio button.");
    }
    if (a.kind == Kind::Uncheck && w->isRadio()) {
        return refused(controlName(a) + L" is a radio button: choose another one of its group.");
    }
    const int wanted = a.kind == Kind::Check ? BST_CHECKED : BST_UNCHECKED;
    if (w->check == wanted) {
        return {true, CString()};
    }
    return click(c, a);
}

ActionOutcome choose(HWND c, const DialogAction& a, bool twice) {
    Window* w = find(c);
    const bool list = w->cls == WindowClass::ListBox;
    if (twice && !list) {
        return refused(controlName(a) + L" is no list box.");
    }
    if (w->cls == WindowClass::TabControl) {
        std::vector<CString> names;
        for (const TabItem& t : w->tabs) {
            names.push_back(t.text);
        }
        const int index = itemIndex(names, a.text);
        if (index < 0) {
            return refused(controlName(a) + L" has no tab \"" + a.text + L"\".");
        }
        const RECT r = tabItemRect(index);
        send(c, WM_LBUTTONDOWN, 1, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        send(c, WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        return {true, CString()};
    }
    if (w->cls != WindowClass::ComboBox && !list) {
        return refused(controlName(a) + L" has no items to choose from.");
    }
    std::vector<CString> names;
    for (const ListItem& it : w->items) {
        names.push_back(it.text);
    }
    const int index = itemIndex(names, a.text);
    if (index < 0) {
        return refused(controlName(a) + L" has no item \"" + a.text + L"\".");
    }
    setFocus(c);
    listSelect(c, index);
    const bool notify = !list || (find(c) && (find(c)->style & LBS_NOTIFY));
    if (notify) {
        notifyParent(c, list ? LBN_SELCHANGE : CBN_SELCHANGE);
    }
    if (twice && notify && find(c)) {
        notifyParent(c, LBN_DBLCLK);
    }
    return {true, CString()};
}

bool menuCommandEnabled(HMENU h, UINT id, bool& found) {
    const MenuRecord* m = findMenu(h);
    if (!m) {
        return false;
    }
    for (const MenuItem& item : m->items) {
        const bool enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
        if (item.popup) {
            bool inner = false;
            const bool ok = menuCommandEnabled(item.popup, id, inner);
            if (inner) {
                found = true;
                return enabled && ok;
            }
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            found = true;
            return enabled;
        }
    }
    return false;
}

ActionOutcome chooseMenu(HWND dialog, const DialogAction& a) {
    const Window* d = find(dialog);
    CString id;
    id.Format(L"%u", a.command);
    if (!d->menu) {
        return refused(L"The dialog has no menu.");
    }
    bool found = false;
    const bool enabled = menuCommandEnabled(d->menu, a.command, found);
    if (!found) {
        return refused(L"The menu has no command " + id + L".");
    }
    if (!enabled) {
        return refused(L"The menu command " + id + L" is disabled.");
    }
    send(dialog, WM_COMMAND, MAKEWPARAM(a.command, 0), 0);
    return {true, CString()};
}

ActionOutcome pressKey(HWND dialog, bool enter) {
    const Window* d = find(dialog);
    const UINT id = enter ? LOWORD(defaultProc(dialog, DM_GETDEFID, 0, 0)) : IDCANCEL;
    HWND button = nullptr;
    for (HWND c : d->children) {
        if (const Window* w = find(c); w && w->id == static_cast<int>(id)) {
            button = c;
        }
    }
    if (button && !isEnabledChain(button)) {
        CString why;
        why.Format(enter ? L"Enter does nothing: button %u is disabled."
                         : L"Esc does nothing: button %u is disabled.",
                   id);
        return refused(why);
    }
    send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return {true, CString()};
}

bool isOpenModeless(const Window& w) {
    return w.cls == WindowClass::Dialog && !w.parent && !w.modal && !w.ended &&
           (w.style & WS_VISIBLE) && !w.minimised;
}

void notice(qv::ui::UiDriver& ui, const ActionOutcome& outcome) {
    if (!outcome.done || !outcome.message.IsEmpty()) {
        ui.dialogNotice(outcome.message, !outcome.done);
    }
}

bool isOpen(HWND dialog) {
    const Window* d = find(dialog);
    return d && !d->ended && !d->minimised && isVisible(dialog);
}

// After an action and what it set off: the dialog as it is now, when it is still shown.
void showChange(qv::ui::UiDriver& ui, HWND dialog, const DialogAction& action,
                const ActionOutcome& outcome) {
    if (outcome.done && action.kind != Kind::Show && isOpen(dialog)) {
        ui.dialogChanged(describe(dialog));
    }
}

}  // namespace

qv::ui::DialogView describe(HWND dialog) {
    DialogView view;
    const Window* d = find(dialog);
    if (!d) {
        return view;
    }
    view.hwnd = dialog;
    view.templateId = d->templateId;
    view.caption = d->text.str();
    view.modal = d->modal;
    view.hasCloseBox = (d->style & WS_SYSMENU) != 0;
    view.menu = describeMenu(d->menu);
    describeControls(dialog, 0, true, view.controls);
    return view;
}

ActionOutcome perform(HWND dialog, const qv::ui::DialogAction& named) {
    const Window* d = find(dialog);
    if (!d || d->cls != WindowClass::Dialog) {
        return refused(L"The dialog is not open.");
    }
    if (!isVisible(dialog) || d->minimised || d->ended) {
        return refused(L"The dialog is not shown.");
    }
    if (d->style & WS_DISABLED) {
        return refused(L"The dialog is disabled.");
    }
    DialogAction a = named;
    if (std::wstring why; !qv::ui::resolveLabel(describe(dialog), a, &why)) {
        return refused(why.c_str());
    }
    switch (a.kind) {
        case Kind::Show:
            return {true, CString()};
        case Kind::NoMoreInput:
            return refused(L"No action was given.");
        case Kind::Close:
            if (!(d->style & WS_SYSMENU)) {
                return refused(L"The dialog has no close box.");
            }
            send(dialog, WM_CLOSE, 0, 0);
            return {true, CString()};
        case Kind::Cancel:
            return pressKey(dialog, false);
        case Kind::Enter:
            return pressKey(dialog, true);
        case Kind::Menu:
            return chooseMenu(dialog, a);
        case Kind::SetText:
        case Kind::Paste:
        case Kind::Check:
        case Kind::Uncheck:
        case Kind::Select:
        case Kind::Click:
        case Kind::DoubleClick:
            break;
    }
    CString why;
    const HWND c = reach(dialog, a, why);
    if (!c) {
        return refused(why);
    }
    switch (a.kind) {
        case Kind::SetText:
        case Kind::Paste:
            return typeText(c, a);
        case Kind::Check:
        case Kind::Uncheck:
            return setCheck(c, a);
        case Kind::Select:
            return choose(c, a, false);
        case Kind::DoubleClick:
            return choose(c, a, true);
        case Kind::Click:
            return click(c, a);
        case Kind::Menu:
        case Kind::Close:
        case Kind::Cancel:
        case Kind::Enter:
        case Kind::Show:
        case Kind::NoMoreInput:
            break;
    }
    return refused(L"No action was given.");
}

void runModalLoop(HWND dialog) {
    qv::ui::UiDriver& ui = qv::ui::driver();
    for (;;) {
        dispatchPosted();
        const Window* d = find(dialog);
        if (!d || d->ended) {
            return;
        }
        const DialogAction a = ui.dialogAction(describe(dialog));
        if (a.kind == Kind::NoMoreInput) {
            // Nothing more will come: Esc, and if the dialog will not go, end it.
            pressKey(dialog, false);
            dispatchPosted();
            if ((d = find(dialog)) != nullptr && !d->ended) {
                endDialog(dialog, IDCANCEL);
            }
            continue;
        }
        const ActionOutcome outcome = perform(dialog, a);
        notice(ui, outcome);
        dispatchPosted();
        showChange(ui, dialog, a, outcome);
    }
}

std::vector<HWND> openModelessDialogs() {
    std::vector<HWND> open;
    const HWND active = activeWindow();
    if (const Window* a = find(active); a && isOpenModeless(*a)) {
        open.push_back(active);
    }
    std::vector<HWND> all = topLevelWindows();
    std::reverse(all.begin(), all.end());  // newest first
    for (HWND h : all) {
        if (h != active && isOpenModeless(*find(h))) {
            open.push_back(h);
        }
    }
    return open;
}

bool serviceModeless(qv::ui::UiDriver& ui) {
    dispatchPosted();
    const std::vector<HWND> open = openModelessDialogs();
    if (open.empty()) {
        return false;
    }
    std::vector<DialogView> views;
    for (HWND h : open) {
        views.push_back(describe(h));
    }
    const std::optional<DialogAction> a = ui.modelessAction(views);
    if (!a || a->kind == Kind::NoMoreInput) {
        return false;
    }
    const HWND target = a->dialog ? a->dialog : open.front();
    if (std::find(open.begin(), open.end(), target) == open.end()) {
        ui.dialogNotice(L"That dialog is not open.", true);
    } else {
        const ActionOutcome outcome = perform(target, *a);
        notice(ui, outcome);
        dispatchPosted();
        // A failure that the action (or a message it posted) ended with outlasts the showing.
        const DWORD ended = GetLastError();
        showChange(ui, target, *a, outcome);
        dispatchPosted();
        if ((ended & APPLICATION_ERROR_MASK) != 0) {
            SetLastError(ended);
        }
        return true;
    }
    dispatchPosted();
    return true;
}

HWND reclaimFocusForHost() {
    const HWND active = activeWindow();
    const HWND main = mainWindow();
    if (active == main) {
        return main;
    }
    const Window* w = find(active);
    if (w && w->cls == WindowClass::Dialog && send(active, WM_ACAD_KEEPFOCUS, 0, 0)) {
        return activeWindow();
    }
    activate(main);
    return activeWindow();
}

void announceShown(HWND dialog) {
    qv::ui::driver().dialogShown(describe(dialog));
}

void announceClosed(HWND dialog) {
    qv::ui::driver().dialogClosed(describe(dialog));
}

}  // namespace qv::win
