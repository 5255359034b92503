// Dialogs written as a module writes them, for the tests of the dialog runtime: templates in
// code, message maps, data exchange.
#pragma once

#include <vector>

#include "afxcmn.h"
#include "afxwin.h"
#include "mfc/dialogs/DialogDriving.h"

namespace sample {

enum : UINT {
    IDD_SAMPLE = 9001,
    IDD_TOOL = 9002,
    IDD_TABS = 9003,
    IDD_PAGE_DATA = 9004,
    IDD_PAGE_FORMAT = 9005,
    IDR_MENU = 9100,
    IDR_MISSING_MENU = 9101,
    IDD_BROKEN = 9006,
};

enum : int {
    IDC_NAME = 1001,
    IDC_COUNT = 1002,
    IDC_SIZE = 1003,
    IDC_FLAG = 1004,
    IDC_METRIC = 1005,
    IDC_IMPERIAL = 1006,
    IDC_KIND = 1007,
    IDC_LIST = 1008,
    IDC_APPLY = 1009,
    IDC_HIDDEN = 1010,
    IDC_DIGITS = 1011,
    IDC_READONLY = 1012,
    IDC_TABS = 245,
    IDC_PAGE_BUTTON = 244,  // a button of each page; the format page also has 245
};

enum : UINT { ID_EXIT = 32768, ID_OPTIONS = 32769, ID_ABOUT = 32770 };

// A modal dialog with one control of each kind, data exchange with validation, and handlers
// that write what they heard into `log`.
class CSampleDlg : public CDialog {
  public:
    explicit CSampleDlg(CWnd* pParent = nullptr) : CDialog(IDD_SAMPLE, pParent) {}

    CString name;
    int count = 0;
    double size = 0.0;
    int flag = 0;
    int units = 0;
    CComboBox kindCombo;
    CListBox list;
    std::vector<CString> log;

    BOOL OnInitDialog() override;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnNameChange();
    afx_msg void OnApply();
    afx_msg void OnKindChange();
    afx_msg void OnListChange();
    afx_msg void OnListDoubleClick();
    afx_msg void OnFlag();
    afx_msg void OnAbout();
    afx_msg void OnExit();
    afx_msg void OnClose();

    DECLARE_MESSAGE_MAP()
};

// A modeless tool window that lives on the heap and deletes itself when its window goes.
class CToolDlg : public CDialog {
  public:
    CToolDlg() { ++alive; }
    ~CToolDlg() override;

    static int alive;             // objects not yet deleted
    BOOL keepFocus = TRUE;        // the answer to the host's keep-focus message
    std::vector<BOOL> showFlags;  // WM_SHOWWINDOW as heard

  protected:
    void OnCancel() override;
    void PostNcDestroy() override;
    afx_msg LRESULT OnKeepFocus(WPARAM, LPARAM);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnPick();

    DECLARE_MESSAGE_MAP()
};

// A tab control that shows the page of the selected tab, switching on a click.
class CPageTabs : public CTabCtrl {
  public:
    CPageTabs();
    ~CPageTabs() override;
    void Init();

    CDialog* pages[2];
    int currentPage = -1;

  protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// A page: its button writes into the owner's log.
class CPage : public CDialog {
  public:
    CPage(UINT id, std::vector<CString>* log) : CDialog(id), m_log(log) {}

  protected:
    afx_msg void OnButton();
    std::vector<CString>* m_log;
    DECLARE_MESSAGE_MAP()
};

// A modeless dialog with two pages on a tab control; refuses tab changes while `locked`.
class CTabsDlg : public CDialog {
  public:
    CTabsDlg() : CDialog(IDD_TABS) {}
    BOOL OnInitDialog() override;

    CPageTabs tabs;
    bool locked = false;
    std::vector<CString> log;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};

}  // namespace sample
