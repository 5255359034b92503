#include "mfc/dialogs/WindowApi.h"

#include "mfc/dialogs/CDialog.h"
#include "mfc/dialogs/CWnd.h"

BOOL SetForegroundWindow(HWND hWnd) {
    CWnd* w = CWnd::FromHandle(hWnd);
    return w ? w->SetForegroundWindow() : FALSE;
}

BOOL BringWindowToTop(HWND hWnd) {
    if (!qv::win::find(hWnd)) {
        return FALSE;
    }
    qv::win::activate(hWnd);
    return TRUE;
}

HWND GetFocus() {
    return qv::win::focusWindow();
}

HWND SetFocus(HWND hWnd) {
    return qv::win::setFocus(hWnd);
}

BOOL IsWindowVisible(HWND hWnd) {
    return qv::win::isVisible(hWnd) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
    CWnd* w = CWnd::FromHandle(hWnd);
    return w ? w->IsWindowEnabled() : FALSE;
}

BOOL IsIconic(HWND hWnd) {
    CWnd* w = CWnd::FromHandle(hWnd);
    return w ? w->IsIconic() : FALSE;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    CWnd* w = CWnd::FromHandle(hWnd);
    return w ? w->EnableWindow(bEnable) : FALSE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    return qv::win::show(hWnd, nCmdShow);
}

BOOL DestroyWindow(HWND hWnd) {
    return qv::win::destroy(hWnd);
}

HWND GetParent(HWND hWnd) {
    CWnd* w = CWnd::FromHandle(hWnd);
    CWnd* p = w ? w->GetParent() : nullptr;
    return p ? p->m_hWnd : nullptr;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    CWnd* w = CWnd::FromHandle(hDlg);
    HWND h = nullptr;
    if (w) {
        w->GetDlgItem(nIDDlgItem, &h);
    }
    return h;
}

int GetDlgCtrlID(HWND hWnd) {
    CWnd* w = CWnd::FromHandle(hWnd);
    return w ? w->GetDlgCtrlID() : 0;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    if (CWnd* w = CWnd::FromHandlePermanent(hDlg)) {
        if (auto* d = dynamic_cast<CDialog*>(w)) {
            d->m_nModalResult = nResult;
        }
    }
    return qv::win::endDialog(hDlg, nResult);
}
