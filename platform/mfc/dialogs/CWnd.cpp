#include "mfc/dialogs/CWnd.h"

#include <algorithm>
#include <cwchar>

#include "mfc/Exceptions.h"
#include "mfc/WinThread.h"
#include "mfc/dialogs/CMenu.h"
#include "mfc/dialogs/CTabCtrl.h"
#include "mfc/dialogs/Controls.h"
#include "mfc/dialogs/DataExchange.h"

using qv::win::find;
using qv::win::Window;
using qv::win::WindowClass;

namespace {

// The special insertion places of SetWindowPos are no windows.
bool isPlaceholder(HWND h) {
    const auto v = reinterpret_cast<LONG_PTR>(h);
    return v >= -2 && v <= 1;
}

std::unique_ptr<CWnd> makeTemporary(WindowClass cls) {
    switch (cls) {
        case WindowClass::Static:
            return std::make_unique<CStatic>();
        case WindowClass::Button:
            return std::make_unique<CButton>();
        case WindowClass::Edit:
            return std::make_unique<CEdit>();
        case WindowClass::ComboBox:
            return std::make_unique<CComboBox>();
        case WindowClass::ListBox:
            return std::make_unique<CListBox>();
        case WindowClass::TabControl:
            return std::make_unique<CTabCtrl>();
        case WindowClass::Frame:
        case WindowClass::Dialog:
            return std::make_unique<CWnd>();
    }
    return std::make_unique<CWnd>();
}

HWND childById(HWND parent, int id) {
    const Window* w = find(parent);
    if (!w) {
        return nullptr;
    }
    for (HWND c : w->children) {
        if (const Window* cw = find(c); cw && cw->id == id) {
            return c;
        }
    }
    return nullptr;
}

int copyOut(const CString& s, LPTSTR buffer, int nMaxCount) {
    if (!buffer || nMaxCount <= 0) {
        return 0;
    }
    const int n = std::min(s.GetLength(), nMaxCount - 1);
    std::wmemcpy(buffer, s.GetString(), static_cast<std::size_t>(n));
    buffer[n] = 0;
    return n;
}

// GetDlgItemInt: blanks, an optional minus sign (when signed), decimal digits up to the first
// other character; a text without digits, or a number beyond the range, does not translate.
UINT parseDlgInt(const CString& text, BOOL* translated, BOOL isSigned) {
    const std::wstring& s = text.str();
    std::size_t i = 0;
    while (i < s.size() && (s[i] == L' ' || s[i] == L'\t')) {
        ++i;
    }
    bool negative = false;
    if (isSigned && i < s.size() && s[i] == L'-') {
        negative = true;
        ++i;
    }
    long long v = 0;
    std::size_t digits = 0;
    for (; i < s.size() && s[i] >= L'0' && s[i] <= L'9'; ++i, ++digits) {
        v = v * 10 + (s[i] - L'0');
        if (v > 0xFFFFFFFFLL) {
            break;
        }
    }
    if (negative) {
        v = -v;
    }
    const bool ok =
        digits > 0 && (isSigned ? (v >= INT32_MIN && v <= INT32_MAX) : v <= 0xFFFFFFFFLL);
    if (translated) {
        *translated = ok ? TRUE : FALSE;
    }
    return ok ? static_cast<UINT>(v) : 0;
}

}  // namespace

LRESULT qv::win::callWindowProc(CWnd* target, UINT msg, WPARAM w, LPARAM l) {
    return target->WindowProc(msg, w, l);
}

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() = default;

CWnd::CWnd(HWND placeholder) : m_hWnd(placeholder) {}

CWnd::~CWnd() {
    if (!m_hWnd || isPlaceholder(m_hWnd)) {
        return;
    }
    const HWND h = m_hWnd;
    if (Window* w = find(h); w && w->permanent == this) {
        qv::win::destroy(h);
        if ((w = find(h)) != nullptr && w->permanent == this) {
            w->permanent = nullptr;
        }
    }
    m_hWnd = nullptr;
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CWnd* CWnd::FromHandle(HWND hWnd) {
    Window* w = find(hWnd);
    if (!w) {
        return nullptr;
    }
    if (w->permanent) {
        return w->permanent;
    }
    if (!w->temporary) {
        w->temporary = makeTemporary(w->cls);
        w->temporary->m_hWnd = hWnd;
    }
    return w->temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    const Window* w = find(hWnd);
    return w ? w->permanent : nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
    Window* w = find(hWnd);
    if (m_hWnd || !w || w->permanent) {
        return FALSE;
    }
    w->permanent = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND h = m_hWnd;
    if (Window* w = find(h); w && w->permanent == this) {
        w->permanent = nullptr;
    }
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    return Attach(hWnd);
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return pParent ? SubclassWindow(childById(pParent->m_hWnd, static_cast<int>(nID))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
    return Detach();
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? qv::win::destroy(m_hWnd) : FALSE;
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    qv::win::setText(m_hWnd, CString(lpszString));
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    return copyOut(qv::win::windowText(m_hWnd), lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
    rString = qv::win::windowText(m_hWnd);
}

int CWnd::GetWindowTextLength() const {
    return qv::win::windowText(m_hWnd).GetLength();
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(childById(m_hWnd, nID));
}

void CWnd::GetDlgItem(int nID, HWND* phWnd) const {
    if (phWnd) {
        *phWnd = childById(m_hWnd, nID);
    }
}

int CWnd::GetDlgCtrlID() const {
    const Window* w = find(m_hWnd);
    return w ? w->id : 0;
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
    qv::win::setText(childById(m_hWnd, nID), CString(lpszString));
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString = qv::win::windowText(childById(m_hWnd, nID));
    return rString.GetLength();
}

int CWnd::GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const {
    return copyOut(qv::win::windowText(childById(m_hWnd, nID)), lpStr, nMaxCount);
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
    CString s;
    if (bSigned) {
        s.Format(L"%d", static_cast<int>(nValue));
    } else {
        s.Format(L"%u", nValue);
    }
    qv::win::setText(childById(m_hWnd, nID), s);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
    const HWND h = childById(m_hWnd, nID);
    if (!h) {
        if (lpTrans) {
            *lpTrans = FALSE;
        }
        return 0;
    }
    return parseDlgInt(qv::win::windowText(h), lpTrans, bSigned);
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    if (Window* w = find(childById(m_hWnd, nIDButton));
        w && w->cls == WindowClass::Button && !w->isPushButton() && nCheck <= 2) {
        w->check = static_cast<int>(nCheck);
    }
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    const Window* w = find(childById(m_hWnd, nIDButton));
    return w && w->cls == WindowClass::Button ? static_cast<UINT>(w->check) : 0;
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    const Window* self = find(m_hWnd);
    if (!self) {
        return;
    }
    for (HWND c : self->children) {
        Window* w = find(c);
        if (w && w->id >= nIDFirstButton && w->id <= nIDLastButton &&
            w->cls == WindowClass::Button) {
            w->check = w->id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED;
        }
    }
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    Window* w = find(m_hWnd);
    if (!w) {
        return FALSE;
    }
    const BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bEnable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        if (qv::win::focusWindow() == m_hWnd) {
            qv::win::setFocus(nullptr);
        }
    }
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    const Window* w = find(m_hWnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return qv::win::show(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return qv::win::isVisible(m_hWnd) ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const {
    const Window* w = find(m_hWnd);
    return w && w->minimised ? TRUE : FALSE;
}

DWORD CWnd::GetStyle() const {
    const Window* w = find(m_hWnd);
    return w ? w->style : 0;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT) {
    Window* w = find(m_hWnd);
    if (!w) {
        return FALSE;
    }
    const DWORD style = (w->style & ~dwRemove) | dwAdd;
    if (style == w->style) {
        return FALSE;
    }
    w->style = style;
    return TRUE;
}

CWnd* CWnd::GetParent() const {
    const Window* w = find(m_hWnd);
    if (!w) {
        return nullptr;
    }
    return FromHandle(w->parent ? w->parent : w->owner);
}

CWnd* CWnd::GetTopLevelParent() const {
    return FromHandle(qv::win::topLevelOf(m_hWnd));
}

CWnd* CWnd::SetFocus() {
    return FromHandle(qv::win::setFocus(m_hWnd));
}

CWnd* CWnd::GetFocus() {
    return FromHandle(qv::win::focusWindow());
}

CWnd* CWnd::SetActiveWindow() {
    return FromHandle(qv::win::activate(m_hWnd));
}

CWnd* CWnd::GetActiveWindow() {
    return FromHandle(qv::win::activeWindow());
}

BOOL CWnd::SetForegroundWindow() {
    qv::win::activate(m_hWnd);
    return qv::win::activeWindow() == qv::win::topLevelOf(m_hWnd) ? TRUE : FALSE;
}

CWnd* CWnd::GetForegroundWindow() {
    return GetActiveWindow();
}

void CWnd::BringWindowToTop() {
    qv::win::activate(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::send(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!find(m_hWnd)) {
        return FALSE;
    }
    qv::win::post(m_hWnd, message, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::send(childById(m_hWnd, nID), message, wParam, lParam);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    const HWND previousLockout = qv::win::notifyLockout();
    qv::win::setNotifyLockout(m_hWnd);
    BOOL ok = FALSE;
    try {
        DoDataExchange(&dx);
        ok = TRUE;
    } catch (CUserException* e) {
        e->Delete();  // the user has been told
    } catch (CException* e) {
        e->ReportError(MB_ICONSTOP);
        e->Delete();
    }
    qv::win::setNotifyLockout(previousLockout);
    return ok;
}

CMenu* CWnd::GetMenu() const {
    const Window* w = find(m_hWnd);
    return w ? CMenu::FromHandle(w->menu) : nullptr;
}

BOOL CWnd::SetMenu(CMenu* pMenu) {
    Window* w = find(m_hWnd);
    if (!w || w->parent) {
        return FALSE;
    }
    w->menu = pMenu ? pMenu->m_hMenu : nullptr;
    return TRUE;
}

void CWnd::DrawMenuBar() {}  // nothing is drawn

void CWnd::GetClientRect(LPRECT lpRect) const {
    const Window* w = find(m_hWnd);
    if (!lpRect) {
        return;
    }
    *lpRect = w ? RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top}
                : RECT{0, 0, 0, 0};
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    const Window* w = find(m_hWnd);
    if (lpRect) {
        *lpRect = w ? w->rect : RECT{0, 0, 0, 0};
    }
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL) {
    if (Window* w = find(m_hWnd)) {
        w->rect = RECT{x, y, x + nWidth, y + nHeight};
    }
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    if (lpRect) {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, bRepaint);
    }
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags) {
    Window* w = find(m_hWnd);
    if (!w) {
        return FALSE;
    }
    RECT r = w->rect;
    if (!(nFlags & SWP_NOMOVE)) {
        r = RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    }
    if (!(nFlags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    w->rect = r;
    if (nFlags & SWP_SHOWWINDOW) {
        qv::win::setVisible(m_hWnd, true);
    }
    if (nFlags & SWP_HIDEWINDOW) {
        qv::win::setVisible(m_hWnd, false);
    }
    return TRUE;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    Window* w = find(m_hWnd);
    if (!w) {
        return;
    }
    const HWND around = pAlternateOwner ? pAlternateOwner->m_hWnd
                        : w->parent     ? w->parent
                        : w->owner      ? w->owner
                                        : qv::win::mainWindow();
    const Window* o = find(around);
    if (!o || around == m_hWnd) {
        return;
    }
    const LONG width = w->rect.right - w->rect.left;
    const LONG height = w->rect.bottom - w->rect.top;
    const LONG cx = (o->rect.left + o->rect.right) / 2;
    const LONG cy = (o->rect.top + o->rect.bottom) / 2;
    w->rect =
        RECT{cx - width / 2, cy - height / 2, cx - width / 2 + width, cy - height / 2 + height};
}

void CWnd::UpdateWindow() {}  // nothing is drawn

void CWnd::Invalidate(BOOL) {}  // nothing is drawn

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // A handler may delete this object: nothing here touches it after the handler returns.
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) {
            return FALSE;
        }
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT r = 0;
        if (!OnNotify(wParam, lParam, &r)) {
            return FALSE;
        }
        *pResult = r;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry) {
        return FALSE;
    }
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return qv::win::defaultProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (lParam != 0 && qv::win::notifyLockout() == m_hWnd && m_hWnd) {
        return TRUE;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!hdr) {
        return FALSE;
    }
    if (qv::win::notifyLockout() == m_hWnd && m_hWnd) {
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(WM_NOTIFY, hdr->code, static_cast<UINT>(hdr->idFrom));
    if (!entry) {
        return FALSE;
    }
    *pResult = entry->pfn(this, static_cast<WPARAM>(hdr->idFrom), lParam);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::Default() {
    const qv::win::CurrentMessage* m = qv::win::currentMessage();
    if (!m || m->hwnd != m_hWnd) {
        return 0;
    }
    return DefWindowProc(m->msg, m->w, m->l);
}

void CWnd::OnClose() {
    Default();
}

void CWnd::OnDestroy() {
    Default();
}

void CWnd::OnNcDestroy() {
    Default();
    Detach();
    PostNcDestroy();  // may delete this object
}

void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}

void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}

void AfxSetWindowText(HWND hWndCtrl, LPCTSTR lpszNew) {
    const CString text(lpszNew);
    if (qv::win::windowText(hWndCtrl) != text) {
        qv::win::setText(hWndCtrl, text);
    }
}
