#include "mfc/dialogs/WindowStore.h"

#include <algorithm>
#include <deque>
#include <map>

#include "mfc/dialogs/CMenu.h"
#include "mfc/dialogs/CWnd.h"

namespace qv::win {
namespace {

struct Store {
    std::map<HWND, std::unique_ptr<Window>> windows;
    std::uintptr_t next = 0x10000;
    HWND main = nullptr;
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND lockout = nullptr;
    std::deque<CurrentMessage> posted;
    std::vector<CurrentMessage> current;

    // At exit, objects still attached must not reach back into a store that is going away.
    ~Store() {
        for (auto& [h, w] : windows) {
            if (w->permanent)
                w->permanent->m_hWnd = nullptr;
            if (w->temporary)
                w->temporary->m_hWnd = nullptr;
        }
    }
};

Store& store() {
    static Store s;
    return s;
}

struct MessageScope {
    explicit MessageScope(const CurrentMessage& m) { store().current.push_back(m); }
    ~MessageScope() { store().current.pop_back(); }
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;
};

bool isTopLevelDialog(const Window& w) {
    return w.cls == WindowClass::Dialog && !w.parent;
}

// Keeps the driver informed about a top-level dialog's shown state.
void updateShown(HWND h) {
    Window* w = find(h);
    if (!w || !isTopLevelDialog(*w))
        return;
    const bool shown = (w->style & WS_VISIBLE) && !w->minimised && !w->ended;
    if (shown && !w->shownToDriver) {
        w->shownToDriver = true;
        w->everShown = true;
        announceShown(h);
    } else if (!shown) {
        w->shownToDriver = false;
    }
}

// Moves activation and focus away from a window that is no longer usable.
void leave(HWND h) {
    Store& s = store();
    const bool inside = [&] {
        for (HWND f = s.focus; f; f = find(f) ? find(f)->parent : nullptr)
            if (f == h)
                return true;
        return false;
    }();
    if (inside)
        s.focus = nullptr;
    if (s.active == h) {
        s.active = nullptr;
        activate(mainWindow());
    }
}

void destroyTree(HWND h) {
    Window* w = find(h);
    if (!w || w->destroying)
        return;
    w->destroying = true;
    if (isTopLevelDialog(*w) && w->everShown && !w->closedToDriver) {
        w->closedToDriver = true;
        announceClosed(h);
    }
    leave(h);
    send(h, WM_DESTROY, 0, 0);
    if ((w = find(h)) == nullptr)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND c : children)
        destroyTree(c);
    if ((w = find(h)) == nullptr)
        return;
    if (w->menu) {
        ::DestroyMenu(w->menu);
        if ((w = find(h)) == nullptr)
            return;
        w->menu = nullptr;
    }
    send(h, WM_NCDESTROY, 0, 0);

    Store& s = store();
    const auto it = s.windows.find(h);
    if (it == s.windows.end())
        return;
    std::unique_ptr<Window> record = std::move(it->second);
    s.windows.erase(it);
    if (record->permanent && record->permanent->m_hWnd == h)
        record->permanent->m_hWnd = nullptr;
    if (record->temporary)
        record->temporary->m_hWnd = nullptr;
    if (Window* parent = find(record->parent))
        std::erase(parent->children, h);
    if (s.focus == h)
        s.focus = nullptr;
}

void selectTabByClick(HWND h, LPARAM l) {
    Window* w = find(h);
    if (!w)
        return;
    const int index = tabHitTest(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    setFocus(h);
    if (index < 0 || index >= static_cast<int>(w->tabs.size()) || index == w->curTab)
        return;
    NMHDR hdr{h, static_cast<UINT_PTR>(w->id), TCN_SELCHANGING};
    const HWND parent = w->parent;
    if (send(parent, WM_NOTIFY, static_cast<WPARAM>(hdr.idFrom), reinterpret_cast<LPARAM>(&hdr)))
        return;  // the parent refused the change
    if ((w = find(h)) == nullptr)
        return;
    w->curTab = index;
    hdr.code = TCN_SELCHANGE;
    send(parent, WM_NOTIFY, static_cast<WPARAM>(hdr.idFrom), reinterpret_cast<LPARAM>(&hdr));
}

// Esc and the close box choose IDCANCEL, unless the dialog's Cancel button is disabled.
void cancelDialog(HWND h) {
    Window* w = find(h);
    if (!w)
        return;
    HWND cancel = nullptr;
    for (HWND c : w->children) {
        const Window* cw = find(c);
        if (cw && cw->id == IDCANCEL)
            cancel = c;
    }
    if (cancel && !isEnabledChain(cancel))
        return;
    send(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

UINT defaultButton(const Window& w) {
    if (w.defId)
        return w.defId;
    for (HWND c : w.children) {
        const Window* cw = find(c);
        if (cw && cw->cls == WindowClass::Button && cw->buttonType() == BS_DEFPUSHBUTTON)
            return static_cast<UINT>(cw->id);
    }
    return IDOK;
}

}  // namespace

Window* find(HWND h) {
    if (!h)
        return nullptr;
    auto& windows = store().windows;
    const auto it = windows.find(h);
    return it == windows.end() ? nullptr : it->second.get();
}

HWND create(WindowClass cls, HWND parent, int id, DWORD style, const CString& text) {
    Store& s = store();
    auto w = std::make_unique<Window>();
    w->handle = reinterpret_cast<HWND>(s.next);
    s.next += 0x10;
    w->cls = cls;
    w->id = id;
    w->style = style;
    w->text = text;
    w->parent = find(parent) ? parent : nullptr;
    const bool top = !w->parent;
    w->rect = top || cls == WindowClass::Dialog ? RECT{0, 0, kDialogWidth, kDialogHeight}
                                                : RECT{0, 0, kControlWidth, kControlHeight};
    const HWND h = w->handle;
    s.windows.emplace(h, std::move(w));
    if (Window* p = find(parent))
        p->children.push_back(h);
    return h;
}

BOOL destroy(HWND h) {
    if (!find(h))
        return FALSE;
    destroyTree(h);
    return TRUE;
}

std::size_t windowCount() {
    return store().windows.size();
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> top;
    for (const auto& [h, w] : store().windows)  // handles grow with each window made
        if (!w->parent)
            top.push_back(h);
    return top;
}

LRESULT send(HWND h, UINT msg, WPARAM w, LPARAM l) {
    Window* win = find(h);
    if (!win)
        return 0;
    CWnd* target = win->permanent;
    if (!target)
        return defaultProc(h, msg, w, l);
    MessageScope scope(CurrentMessage{h, msg, w, l});
    return callWindowProc(target, msg, w, l);
}

LRESULT defaultProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    Window* win = find(h);
    if (!win)
        return 0;
    switch (win->cls) {
        case WindowClass::Dialog:
            if (msg == WM_CLOSE) {
                cancelDialog(h);
            } else if (msg == DM_GETDEFID) {
                return MAKELONG(defaultButton(*win), DC_HASDEFID);
            } else if (msg == DM_SETDEFID) {
                win->defId = static_cast<UINT>(w);
                return TRUE;
            }
            return 0;
        case WindowClass::TabControl:
            if (msg == WM_LBUTTONDOWN)
                selectTabByClick(h, l);
            return 0;
        case WindowClass::Frame:
        case WindowClass::Static:
        case WindowClass::Button:
        case WindowClass::Edit:
        case WindowClass::ComboBox:
        case WindowClass::ListBox:
            return 0;
    }
    return 0;
}

const CurrentMessage* currentMessage() {
    const auto& c = store().current;
    return c.empty() ? nullptr : &c.back();
}

void post(HWND h, UINT msg, WPARAM w, LPARAM l) {
    store().posted.push_back(CurrentMessage{h, msg, w, l});
}

int dispatchPosted() {
    Store& s = store();
    std::size_t n = s.posted.size();
    int delivered = 0;
    while (n-- > 0 && !s.posted.empty()) {
        const CurrentMessage m = s.posted.front();
        s.posted.pop_front();
        if (find(m.hwnd)) {
            send(m.hwnd, m.msg, m.w, m.l);
            ++delivered;
        }
    }
    return delivered;
}

HWND notifyLockout() {
    return store().lockout;
}
void setNotifyLockout(HWND h) {
    store().lockout = h;
}

void notifyParent(HWND control, int code) {
    const Window* w = find(control);
    if (!w || !w->parent)
        return;
    send(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

HWND mainWindow() {
    Store& s = store();
    if (!find(s.main)) {
        s.main = create(WindowClass::Frame, nullptr, 0,
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, L"cadhost");
        if (!find(s.active))
            s.active = s.main;
    }
    return s.main;
}

HWND topLevelOf(HWND h) {
    const Window* w = find(h);
    while (w && w->parent) {
        h = w->parent;
        w = find(h);
    }
    return w ? h : nullptr;
}

bool isVisible(HWND h) {
    for (const Window* w = find(h); w; w = find(w->parent))
        if (!(w->style & WS_VISIBLE))
            return false;
    return find(h) != nullptr;
}

bool isEnabledChain(HWND h) {
    for (const Window* w = find(h); w; w = find(w->parent))
        if (w->style & WS_DISABLED)
            return false;
    return find(h) != nullptr;
}

HWND activeWindow() {
    Store& s = store();
    if (!find(s.active))
        s.active = mainWindow();
    return s.active;
}

HWND activate(HWND h) {
    const HWND previous = activeWindow();
    const HWND top = topLevelOf(h);
    const Window* w = find(top);
    if (w && (w->style & WS_VISIBLE)) {
        Store& s = store();
        s.active = top;
        if (topLevelOf(s.focus) != top)
            s.focus = nullptr;
    }
    return previous;
}

HWND focusWindow() {
    Store& s = store();
    if (!find(s.focus))
        s.focus = nullptr;
    return s.focus;
}

HWND setFocus(HWND h) {
    const HWND previous = focusWindow();
    if (find(h)) {
        activate(h);
        store().focus = h;
    }
    return previous;
}

BOOL show(HWND h, int cmd) {
    Window* w = find(h);
    if (!w)
        return FALSE;
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool visible = cmd != SW_HIDE;
    if (wasVisible != visible) {
        send(h, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        if ((w = find(h)) == nullptr)
            return wasVisible ? TRUE : FALSE;
    }
    if (visible) {
        w->style |= WS_VISIBLE;
    } else {
        w->style &= ~WS_VISIBLE;
    }
    switch (cmd) {
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            w->minimised = true;
            break;
        case SW_SHOWNORMAL:
        case SW_SHOWMAXIMIZED:
        case SW_SHOWNOACTIVATE:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
            w->minimised = false;
            break;
        default:
            break;
    }
    if (!w->parent) {
        if (!visible || w->minimised) {
            leave(h);
        } else if (cmd == SW_SHOW || cmd == SW_SHOWNORMAL || cmd == SW_RESTORE ||
                   cmd == SW_SHOWMAXIMIZED || cmd == SW_SHOWDEFAULT) {
            activate(h);
        }
    } else if (!visible) {
        leave(h);
    }
    updateShown(h);
    return wasVisible ? TRUE : FALSE;
}

void setVisible(HWND h, bool visible) {
    Window* w = find(h);
    if (!w)
        return;
    if (visible) {
        w->style |= WS_VISIBLE;
    } else {
        w->style &= ~WS_VISIBLE;
        leave(h);
    }
    updateShown(h);
}

void setText(HWND h, const CString& text) {
    Window* w = find(h);
    if (!w)
        return;
    w->text = text;
    if (w->cls == WindowClass::Edit) {
        w->selStart = w->selEnd = 0;
        w->modified = false;
        notifyParent(h, EN_CHANGE);
    }
}

CString windowText(HWND h) {
    const Window* w = find(h);
    if (!w)
        return CString();
    if (w->cls == WindowClass::ComboBox && w->comboType() == CBS_DROPDOWNLIST) {
        return w->curSel >= 0 && w->curSel < static_cast<int>(w->items.size())
                   ? w->items[static_cast<std::size_t>(w->curSel)].text
                   : CString();
    }
    return w->text;
}

BOOL endDialog(HWND h, INT_PTR result) {
    Window* w = find(h);
    if (!w || w->cls != WindowClass::Dialog)
        return FALSE;
    w->result = result;
    const bool first = !w->ended;
    w->ended = true;
    w->style &= ~WS_VISIBLE;
    leave(h);
    updateShown(h);
    if ((w = find(h)) != nullptr && first && isTopLevelDialog(*w) && w->everShown &&
        !w->closedToDriver) {
        w->closedToDriver = true;
        announceClosed(h);
    }
    return TRUE;
}

std::vector<HWND> radioGroup(HWND h) {
    const Window* w = find(h);
    const Window* parent = w ? find(w->parent) : nullptr;
    if (!parent)
        return {h};
    const auto& sibs = parent->children;
    auto pos = std::find(sibs.begin(), sibs.end(), h);
    std::size_t first = static_cast<std::size_t>(pos - sibs.begin());
    while (first > 0 && !(find(sibs[first])->style & WS_GROUP))
        --first;
    std::vector<HWND> group;
    for (std::size_t i = first; i < sibs.size(); ++i) {
        const Window* s = find(sibs[i]);
        if (i > first && (s->style & WS_GROUP))
            break;
        if (s->isRadio())
            group.push_back(sibs[i]);
    }
    return group;
}

void checkRadio(HWND h) {
    for (HWND r : radioGroup(h))
        if (Window* w = find(r))
            w->check = r == h ? BST_CHECKED : BST_UNCHECKED;
}

RECT tabItemRect(int index) {
    return RECT{index * kTabWidth, 0, (index + 1) * kTabWidth, kTabHeight};
}

int tabHitTest(POINT p) {
    if (p.x < 0 || p.y < 0 || p.y >= kTabHeight)
        return -1;
    return static_cast<int>(p.x / kTabWidth);
}

}  // namespace qv::win
