#include "mfc/dialogs/CTabCtrl.h"

#include <algorithm>
#include <cwchar>

namespace {

qv::win::Window* tabWindow(HWND h) {
    qv::win::Window* w = qv::win::find(h);
    return w && w->cls == qv::win::WindowClass::TabControl ? w : nullptr;
}

bool valid(const qv::win::Window& w, int i) {
    return i >= 0 && i < static_cast<int>(w.tabs.size());
}

}  // namespace

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    return InsertItem(TCIF_TEXT, nItem, lpszItem, 0, 0);
}

LONG CTabCtrl::InsertItem(int nItem, TCITEM* pTabCtrlItem) {
    if (!pTabCtrlItem) {
        return -1;
    }
    const UINT mask = pTabCtrlItem->mask;
    return InsertItem(mask, nItem, (mask & TCIF_TEXT) ? pTabCtrlItem->pszText : nullptr,
                      pTabCtrlItem->iImage, pTabCtrlItem->lParam);
}

LONG CTabCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int, LPARAM lParam) {
    qv::win::Window* w = tabWindow(m_hWnd);
    if (!w || nItem < 0) {
        return -1;
    }
    const int index = std::min(nItem, static_cast<int>(w->tabs.size()));
    qv::win::TabItem item;
    if ((nMask & TCIF_TEXT) && lpszItem) {
        item.text = lpszItem;
    }
    if (nMask & TCIF_PARAM) {
        item.param = lParam;
    }
    w->tabs.insert(w->tabs.begin() + index, item);
    if (w->curTab < 0) {
        w->curTab = 0;
    } else if (w->curTab >= index) {
        ++w->curTab;
    }
    return index;
}

BOOL CTabCtrl::DeleteItem(int nItem) {
    qv::win::Window* w = tabWindow(m_hWnd);
    if (!w || !valid(*w, nItem)) {
        return FALSE;
    }
    w->tabs.erase(w->tabs.begin() + nItem);
    if (w->curTab == nItem) {
        w->curTab = -1;
    } else if (w->curTab > nItem) {
        --w->curTab;
    }
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems() {
    qv::win::Window* w = tabWindow(m_hWnd);
    if (!w) {
        return FALSE;
    }
    w->tabs.clear();
    w->curTab = -1;
    return TRUE;
}

int CTabCtrl::GetItemCount() const {
    const qv::win::Window* w = tabWindow(m_hWnd);
    return w ? static_cast<int>(w->tabs.size()) : 0;
}

int CTabCtrl::GetCurSel() const {
    const qv::win::Window* w = tabWindow(m_hWnd);
    return w ? w->curTab : -1;
}

int CTabCtrl::SetCurSel(int nItem) {
    qv::win::Window* w = tabWindow(m_hWnd);
    if (!w || !valid(*w, nItem)) {
        return -1;
    }
    const int previous = w->curTab;
    w->curTab = nItem;
    return previous;
}

BOOL CTabCtrl::GetItem(int nItem, TCITEM* pTabCtrlItem) const {
    const qv::win::Window* w = tabWindow(m_hWnd);
    if (!w || !valid(*w, nItem) || !pTabCtrlItem) {
        return FALSE;
    }
    const qv::win::TabItem& item = w->tabs[static_cast<std::size_t>(nItem)];
    if ((pTabCtrlItem->mask & TCIF_TEXT) && pTabCtrlItem->pszText && pTabCtrlItem->cchTextMax > 0) {
        const int n = std::min(item.text.GetLength(), pTabCtrlItem->cchTextMax - 1);
        std::wmemcpy(pTabCtrlItem->pszText, item.text.GetString(), static_cast<std::size_t>(n));
        pTabCtrlItem->pszText[n] = 0;
    }
    if (pTabCtrlItem->mask & TCIF_PARAM) {
        pTabCtrlItem->lParam = item.param;
    }
    return TRUE;
}

BOOL CTabCtrl::SetItem(int nItem, TCITEM* pTabCtrlItem) {
    qv::win::Window* w = tabWindow(m_hWnd);
    if (!w || !valid(*w, nItem) || !pTabCtrlItem) {
        return FALSE;
    }
    qv::win::TabItem& item = w->tabs[static_cast<std::size_t>(nItem)];
    if (pTabCtrlItem->mask & TCIF_TEXT) {
        item.text = pTabCtrlItem->pszText;
    }
    if (pTabCtrlItem->mask & TCIF_PARAM) {
        item.param = pTabCtrlItem->lParam;
    }
    return TRUE;
}

BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const {
    const qv::win::Window* w = tabWindow(m_hWnd);
    if (!w || !valid(*w, nItem) || !lpRect) {
        return FALSE;
    }
    *lpRect = qv::win::tabItemRect(nItem);
    return TRUE;
}

int CTabCtrl::HitTest(TCHITTESTINFO* pHitTestInfo) const {
    const qv::win::Window* w = tabWindow(m_hWnd);
    if (!pHitTestInfo) {
        return -1;
    }
    const int i = qv::win::tabHitTest(pHitTestInfo->pt);
    const bool hit = w && valid(*w, i);
    pHitTestInfo->flags = hit ? TCHT_ONITEM : TCHT_NOWHERE;
    return hit ? i : -1;
}
