// CTabCtrl: a row of tabs, one of them selected. Programmatic selection (SetCurSel) notifies
// nobody; a click on a tab (WM_LBUTTONDOWN, handled by the default procedure) asks the parent
// with TCN_SELCHANGING, which may refuse by answering TRUE, then selects the tab and tells the
// parent TCN_SELCHANGE. Inserting the first tab selects it. Tabs lie side by side, each
// qv::win::kTabWidth wide and kTabHeight high, starting at the control's left edge.
#pragma once

#include "CWnd.h"

class CTabCtrl : public CWnd {
  public:
    CTabCtrl() = default;

    // The index of the new tab (an index past the end appends), or -1.
    LONG InsertItem(int nItem, LPCTSTR lpszItem);
    LONG InsertItem(int nItem, TCITEM* pTabCtrlItem);
    LONG InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const;
    // The selected tab, or -1.
    int GetCurSel() const;
    // Selects a tab; returns the previously selected one, or -1 for a bad index.
    int SetCurSel(int nItem);
    // Copies what the mask asks for (TCIF_TEXT into pszText, at most cchTextMax characters
    // with the terminating zero; TCIF_PARAM).
    BOOL GetItem(int nItem, TCITEM* pTabCtrlItem) const;
    BOOL SetItem(int nItem, TCITEM* pTabCtrlItem);
    BOOL GetItemRect(int nItem, LPRECT lpRect) const;
    // The tab under a point of the control, or -1; flags tell TCHT_ONITEM or TCHT_NOWHERE.
    int HitTest(TCHITTESTINFO* pHitTestInfo) const;
};
