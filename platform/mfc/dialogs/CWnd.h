// CWnd: the framework's object for a window. The window itself (its text, state, children) lives
// in the window manager (WindowStore.h); a CWnd either is attached to it permanently (it made the
// window, or subclassed it with DDX_Control or SubclassDlgItem) and then receives its messages
// through its message map, or is a temporary object that FromHandle and GetDlgItem hand out for a
// window without a permanent one. Temporary objects belong to the window manager and go with
// their window: do not keep them.
//
// Destroying a window sends WM_DESTROY and WM_NCDESTROY; CWnd's WM_NCDESTROY handling detaches
// the object and calls PostNcDestroy, where a window that lives on the heap may delete itself.
// Deleting a CWnd whose window still exists destroys the window.
#pragma once

#include "../CString.h"
#include "Geometry.h"
#include "MessageMap.h"
#include "WindowDefs.h"
#include "WindowStore.h"

class CMenu;
class CDataExchange;

class CWnd : public CCmdTarget {
  public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The permanent object of a window, or a temporary one; null for no window.
    static CWnd* PASCAL FromHandle(HWND hWnd);
    // The permanent object of a window, or null.
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);

    // Attaches this object permanently to an existing window that has no permanent object yet;
    // FALSE when this object has a window already or the window has a permanent object.
    BOOL Attach(HWND hWnd);
    HWND Detach();
    // Attaches this object to a window and routes its messages here.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Lifetime.
    virtual BOOL DestroyWindow();

    // Text.
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;

    // Children addressed by id.
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);

    // State.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    DWORD GetStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    CWnd* GetParent() const;
    CWnd* GetTopLevelParent() const;

    // Activation and focus.
    CWnd* SetFocus();
    static CWnd* PASCAL GetFocus();
    CWnd* SetActiveWindow();
    static CWnd* PASCAL GetActiveWindow();
    BOOL SetForegroundWindow();
    static CWnd* PASCAL GetForegroundWindow();
    void BringWindowToTop();

    // Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // Data exchange: TRUE reads the controls into the members (with validation), FALSE writes
    // the members into the controls. FALSE when a value was refused (the user has been told).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Menus.
    CMenu* GetMenu() const;
    BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar();

    // Geometry (nominal; nothing is drawn).
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void UpdateWindow();
    void Invalidate(BOOL bErase = TRUE);

    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

  protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void PostNcDestroy();
    // Handles the current message the default way.
    LRESULT Default();

    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);

    friend LRESULT qv::win::callWindowProc(CWnd* target, UINT msg, WPARAM w, LPARAM l);

    DECLARE_MESSAGE_MAP()

  private:
    explicit CWnd(HWND placeholder);
};

// Sets a window's text only when it differs from the text it has, so that an unchanged edit
// keeps its selection and modified flag and tells its parent nothing.
void AfxSetWindowText(HWND hWndCtrl, LPCTSTR lpszNew);
