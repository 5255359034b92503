// The framework's control classes: CStatic, CButton, CEdit, CComboBox and CListBox. Each works on
// the state of its window (see WindowStore.h); calls on an object without a window do nothing
// and answer as for an empty control (CB_ERR, LB_ERR, 0). Programmatic changes (SetCheck,
// SetCurSel, AddString...) notify nobody; only the user's actions (see DialogDriving.h) send
// BN_CLICKED, CBN_SELCHANGE, LBN_SELCHANGE and LBN_DBLCLK.
//
// Sorted combo and list boxes (CBS_SORT, LBS_SORT) place an added string after the strings that
// compare lower or equal without regard to case; InsertString places it where it is told.
// FindString finds a prefix and FindStringExact a whole string, both without regard to case,
// starting after the given index and wrapping round.
#pragma once

#include "CWnd.h"

class CStatic : public CWnd {
  public:
    CStatic() = default;
};

class CButton : public CWnd {
  public:
    CButton() = default;
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE; push buttons give BST_UNCHECKED.
    int GetCheck() const;
    void SetCheck(int nCheck);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

class CEdit : public CWnd {
  public:
    CEdit() = default;
    // The most characters a user can type; 0 lifts the limit. Programmatic text ignores it.
    void SetLimitText(UINT nMax);
    void LimitText(int nChars = 0) { SetLimitText(static_cast<UINT>(nChars)); }
    UINT GetLimitText() const;
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    // Selection as character positions; -1 as the end selects to the end of the text.
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void GetSel(int& nStartChar, int& nEndChar) const;
    // Replaces the selection as typing would (the parent hears EN_CHANGE).
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE);
    // Set when the user changes the text, cleared by programmatic text (SetWindowText).
    BOOL GetModify() const;
    void SetModify(BOOL bModified = TRUE);
};

class CComboBox : public CWnd {
  public:
    CComboBox() = default;
    int GetCount() const;
    int GetCurSel() const;
    // Selects an item (its text goes into the edit part); -1 or a bad index clears the
    // selection and gives CB_ERR.
    int SetCurSel(int nSelect);
    int AddString(LPCTSTR lpszString);
    int InsertString(int nIndex, LPCTSTR lpszString);  // -1 appends
    int DeleteString(UINT nIndex);                     // the number of items left, or CB_ERR
    void ResetContent();
    int GetLBText(int nIndex, LPTSTR lpszText) const;    // the buffer must hold GetLBTextLen + 1
    void GetLBText(int nIndex, CString& rString) const;  // empty for a bad index
    int GetLBTextLen(int nIndex) const;
    int FindString(int nStartAfter, LPCTSTR lpszString) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszString);
    DWORD_PTR GetItemData(int nIndex) const;  // CB_ERR for a bad index
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData);
};

class CListBox : public CWnd {
  public:
    CListBox() = default;
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    int AddString(LPCTSTR lpszItem);
    int InsertString(int nIndex, LPCTSTR lpszItem);
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetText(int nIndex, LPTSTR lpszBuffer) const;
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const;
    int FindString(int nStartAfter, LPCTSTR lpszItem) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszItem);
    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    void* GetItemDataPtr(int nIndex) const;
    int SetItemDataPtr(int nIndex, void* pData);
};

namespace qv::win {

// The list of a combo or list box, shared by both classes and by the user's actions.
int listAdd(HWND h, const CString& text);  // honours the sort style
int listInsert(HWND h, int index, const CString& text);
int listFind(HWND h, int startAfter, const CString& text, bool exact);
int listSelect(HWND h, int index);  // SetCurSel semantics

}  // namespace qv::win
