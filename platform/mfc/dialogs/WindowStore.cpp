#include "mfc/dialogs/WindowStore.h"

#include <algorithm>
#include <map>

#include "mfc/dialogs/CMenu.h"
#include "mfc/dialogs/CWnd.h"

namespace qv::win {
namespace {

struct Store {
    std::map<HWND, std::unique_ptr<Window>> windows;
    HWND main = nullptr;
    HWND focus = nullptr;
    HWND lockout = nullptr;
    std::vector<CurrentMessage> current;

    // At exit, objects still attached must not reach back into a store that is going away.
    ~Store() {
        for (auto& [h, w] : windows) {
            if (w->permanent) {
                w->permanent->m_hWnd = nullptr;
            }
            if (w->temporary) {
                w->temporary->m_hWnd = nullptr;
            }
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
    if (!w || !isTopLevelDialog(*w)) {
        return;
    }
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
        for (HWND f = s.focus; f; f = find(f) ? find(f)->parent : nullptr) {
            if (f == h) {
                return true;
            }
        }
        return false;
    }();
    if (inside) {
        s.focus = nullptr;
    }
    if (::GetActiveWindow() == h) {
        activate(mainWindow());
    }
}

// The procedure of every window of the store: DispatchMessageW of a posted message lands here.
LRESULT CALLBACK windowProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    return send(h, msg, w, l);
}

Window& addRecord(HWND h, WindowClass cls, HWND parent, int id, DWORD style, const CString& text) {
    auto w = std::make_unique<Window>();
    w->handle = h;
    w->cls = cls;
    w->id = id;
    w->style = style;
    w->text = text;
    w->parent = find(parent) ? parent : nullptr;
    w->rect = !w->parent || cls == WindowClass::Dialog ? RECT{0, 0, kDialogWidth, kDialogHeight}
                                                       : RECT{0, 0, kControlWidth, kControlHeight};
    Window& record = *w;
    store().windows[h] = std::move(w);
    if (Window* p = find(parent)) {
        p->children.push_back(h);
    }
    return record;
}

void destroyTree(HWND h) {
    Window* w = find(h);
    if (!w || w->destroying) {
        return;
    }
    w->destroying = true;
    if (isTopLevelDialog(*w) && w->everShown && !w->closedToDriver) {
        w->closedToDriver = true;
        announceClosed(h);
    }
    leave(h);
    send(h, WM_DESTROY, 0, 0);
    if ((w = find(h)) == nullptr) {
        return;
    }
    const std::vector<HWND> children = w->children;
    for (HWND c : children) {
        destroyTree(c);
    }
    if ((w = find(h)) == nullptr) {
        return;
    }
    if (w->menu) {
        ::DestroyMenu(w->menu);
        if ((w = find(h)) == nullptr) {
            return;
        }
        w->menu = nullptr;
    }
    send(h, WM_NCDESTROY, 0, 0);

    Store& s = store();
    const auto it = s.windows.find(h);
    if (it == s.windows.end()) {
        return;
    }
    std::unique_ptr<Window> record = std::move(it->second);
    s.windows.erase(it);
    if (record->permanent && record->permanent->m_hWnd == h) {
        record->permanent->m_hWnd = nullptr;
    }
    if (record->temporary) {
        record->temporary->m_hWnd = nullptr;
    }
    if (Window* parent = find(record->parent)) {
        std::erase(parent->children, h);
    }
    if (s.focus == h) {
        s.focus = nullptr;
    }
    qv::win32::destroyWindowHandle(h);
}

void selectTabByClick(HWND h, LPARAM l) {
    Window* w = find(h);
    if (!w) {
        return;
    }
    const int index = tabHitTest(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
    setFocus(h);
    if (index < 0 || index >= static_cast<int>(w->tabs.size()) || index == w->curTab) {
        return;
    }
    NMHDR hdr{h, static_cast<UINT_PTR>(w->id), TCN_SELCHANGING};
    const HWND parent = w->parent;
    if (send(parent, WM_NOTIFY, static_cast<WPARAM>(hdr.idFrom), reinterpret_cast<LPARAM>(&hdr))) {
        return;  // the parent refused the change
    }
    if ((w = find(h)) == nullptr) {
        return;
    }
    w->curTab = index;
    hdr.code = TCN_SELCHANGE;
    send(parent, WM_NOTIFY, static_cast<WPARAM>(hdr.idFrom), reinterpret_cast<LPARAM>(&hdr));
}

// Esc and the close box choose IDCANCEL, unless the dialog's Cancel button is disabled.
void cancelDialog(HWND h) {
    Window* w = find(h);
    if (!w) {
        return;
    }
    HWND cancel = nullptr;
    for (HWND c : w->children) {
        const Window* cw = find(c);
        if (cw && cw->id == IDCANCEL) {
            cancel = c;
        }
    }
    if (cancel && !isEnabledChain(cancel)) {
        return;
    }
    send(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
}

UINT defaultButton(const Window& w) {
    if (w.defId) {
        return w.defId;
    }
    for (HWND c : w.children) {
        const Window* cw = find(c);
        if (cw && cw->cls == WindowClass::Button && cw->buttonType() == BS_DEFPUSHBUTTON) {
            return static_cast<UINT>(cw->id);
        }
    }
    return IDOK;
}

}  // namespace

Window* find(HWND h) {
    if (!h) {
        return nullptr;
    }
    auto& windows = store().windows;
    const auto it = windows.find(h);
    return it == windows.end() ? nullptr : it->second.get();
}

HWND create(WindowClass cls, HWND parent, int id, DWORD style, const CString& text) {
    const HWND h = qv::win32::createWindowHandle(&windowProc);
    addRecord(h, cls, parent, id, style, text);
    return h;
}

BOOL destroy(HWND h) {
    if (!find(h)) {
        return FALSE;
    }
    destroyTree(h);
    return TRUE;
}

std::size_t windowCount() {
    return store().windows.size();
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> top;
    for (const auto& [h, w] : store().windows) {  // handles grow with each window made
        if (!w->parent) {
            top.push_back(h);
        }
    }
    return top;
}

LRESULT send(HWND h, UINT msg, WPARAM w, LPARAM l) {
    Window* win = find(h);
    if (!win) {
        return 0;
    }
    CWnd* target = win->permanent;
    if (!target) {
        return defaultProc(h, msg, w, l);
    }
    MessageScope scope(CurrentMessage{h, msg, w, l});
    return callWindowProc(target, msg, w, l);
}

LRESULT defaultProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    Window* win = find(h);
    if (!win) {
        return 0;
    }
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
            if (msg == WM_LBUTTONDOWN) {
                selectTabByClick(h, l);
            }
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
    ::PostMessageW(h, msg, w, l);
}

int dispatchPosted() {
    // Bounded, so that a handler that posts to itself cannot hold the loop.
    constexpr int kMostPerTurn = 1000;
    int delivered = 0;
    MSG m{};
    while (delivered < kMostPerTurn && ::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(m.wParam));  // for the loop that owns the thread
            break;
        }
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
        ++delivered;
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
    if (!w || !w->parent) {
        return;
    }
    send(w->parent, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

HWND mainWindow() {
    Store& s = store();
    const HWND host = qv::win32::hostWindow();
    if (s.main != host || !find(host)) {
        if (s.main != host) {
            s.windows.erase(s.main);
        }
        s.main = host;
        if (!find(host)) {
            addRecord(host, WindowClass::Frame, nullptr, 0,
                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, L"cadhost");
        }
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
    for (const Window* w = find(h); w; w = find(w->parent)) {
        if (!(w->style & WS_VISIBLE)) {
            return false;
        }
    }
    return find(h) != nullptr;
}

bool isEnabledChain(HWND h) {
    for (const Window* w = find(h); w; w = find(w->parent)) {
        if (w->style & WS_DISABLED) {
            return false;
        }
    }
    return find(h) != nullptr;
}

HWND activeWindow() {
    return ::GetActiveWindow();
}

HWND activate(HWND h) {
    const HWND previous = activeWindow();
    const HWND top = topLevelOf(h);
    const Window* w = find(top);
    if (w && (w->style & WS_VISIBLE)) {
        ::SetActiveWindow(top);
        Store& s = store();
        if (topLevelOf(s.focus) != top) {
            s.focus = nullptr;
        }
    }
    return previous;
}

HWND focusWindow() {
    Store& s = store();
    if (!find(s.focus)) {
        s.focus = nullptr;
    }
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
    if (!w) {
        return FALSE;
    }
    const bool wasVisible = (w->style & WS_VISIBLE) != 0;
    const bool visible = cmd != SW_HIDE;
    if (wasVisible != visible) {
        send(h, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        if ((w = find(h)) == nullptr) {
            return wasVisible ? TRUE : FALSE;
        }
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
    if (!w) {
        return;
    }
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
    if (!w) {
        return;
    }
    w->text = text;
    if (w->cls == WindowClass::Edit) {
        w->selStart = w->selEnd = 0;
        w->modified = false;
        notifyParent(h, EN_CHANGE);
    }
}

CString windowText(HWND h) {
    const Window* w = find(h);
    if (!w) {
        return CString();
    }
    if (w->cls == WindowClass::ComboBox && w->comboType() == CBS_DROPDOWNLIST) {
        return w->curSel >= 0 && w->curSel < static_cast<int>(w->items.size())
                   ? w->items[static_cast<std::size_t>(w->curSel)].text
                   : CString();
    }
    return w->text;
}

BOOL endDialog(HWND h, INT_PTR result) {
    Window* w = find(h);
    if (!w || w->cls != WindowClass::Dialog) {
        return FALSE;
    }
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
    if (!parent) {
        return {h};
    }
    const auto& sibs = parent->children;
    auto pos = std::find(sibs.begin(), sibs.end(), h);
    std::size_t first = static_cast<std::size_t>(pos - sibs.begin());
    while (first > 0 && !(find(sibs[first])->style & WS_GROUP)) {
        --first;
    }
    std::vector<HWND> group;
    for (std::size_t i = first; i < sibs.size(); ++i) {
        const Window* s = find(sibs[i]);
        if (i > first && (s->style & WS_GROUP)) {
            break;
        }
        if (s->isRadio()) {
            group.push_back(sibs[i]);
        }
    }
    return group;
}

void checkRadio(HWND h) {
    for (HWND r : radioGroup(h)) {
        if (Window* w = find(r)) {
            w->check = r == h ? BST_CHECKED : BST_UNCHECKED;
        }
    }
}

RECT tabItemRect(int index) {
    return RECT{index * kTabWidth, 0, (index + 1) * kTabWidth, kTabHeight};
}

int tabHitTest(POINT p) {
    if (p.x < 0 || p.y < 0 || p.y >= kTabHeight) {
        return -1;
    }
    return static_cast<int>(p.x / kTabWidth);
}

}  // namespace qv::win
