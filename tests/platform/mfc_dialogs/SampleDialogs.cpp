#include "SampleDialogs.h"

namespace sample {

using namespace qv::res;

static const ResourceScript kResources(
    {
        DialogTemplate(IDD_SAMPLE, L"Sample", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                       {Text(L"Name"), EditText(IDC_NAME, ES_AUTOHSCROLL), Text(L"Count"),
                        EditText(IDC_COUNT), Text(L"Size"), EditText(IDC_SIZE),
                        AutoCheckBox(L"Flag", IDC_FLAG),
                        AutoRadioButton(L"m", IDC_METRIC, WS_GROUP),
                        AutoRadioButton(L"ft", IDC_IMPERIAL),
                        ComboBox(IDC_KIND, CBS_DROPDOWNLIST | WS_GROUP,
                                 {L"Rooms/Spaces", L"Gross Area"}),
                        ListBox(IDC_LIST, LBS_NOTIFY | LBS_SORT), PushButton(L"&Apply", IDC_APPLY),
                        PushButton(L"Hidden", IDC_HIDDEN).asHidden(),
                        EditText(IDC_DIGITS, ES_NUMBER),
                        EditText(IDC_READONLY, ES_READONLY), DefPushButton(L"OK", IDOK),
                        PushButton(L"Cancel", IDCANCEL)})
            .withFont(L"Arial", 8)
            .withMenu(IDR_MENU),
        DialogTemplate(IDD_TOOL, L"Tool", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                       {PushButton(L"Pick", IDC_APPLY), PushButton(L"Close", IDCANCEL)})
            .withMenu(IDR_MENU),
        DialogTemplate(IDD_TABS, L"Tabs", WS_POPUP | WS_CAPTION | DS_MODALFRAME,
                       {TabControl(L"Tab1", IDC_TABS), DefPushButton(L"OK", IDOK)}),
        DialogTemplate(IDD_PAGE_DATA, CString(), WS_CHILD, {PushButton(L"set", IDC_PAGE_BUTTON)}),
        DialogTemplate(IDD_PAGE_FORMAT, CString(), WS_CHILD,
                       {PushButton(L"move", IDC_PAGE_BUTTON), PushButton(L"other", IDC_TABS)}),
        DialogTemplate(IDD_BROKEN, L"Broken", WS_POPUP | WS_CAPTION, {}).withMenu(IDR_MISSING_MENU),
    },
    {
        MenuTemplate(IDR_MENU, {Popup(L"&File", {MenuItem(L"E&xit", ID_EXIT)}),
                                Popup(L"&Tools", {MenuItem(L"&Options", ID_OPTIONS)}),
                                Popup(L"&Help", {MenuItem(L"&About", ID_ABOUT)})}),
    });

BEGIN_MESSAGE_MAP(CSampleDlg, CDialog)
ON_EN_CHANGE(IDC_NAME, &CSampleDlg::OnNameChange)
ON_BN_CLICKED(IDC_APPLY, &CSampleDlg::OnApply)
ON_CBN_SELCHANGE(IDC_KIND, &CSampleDlg::OnKindChange)
ON_LBN_SELCHANGE(IDC_LIST, &CSampleDlg::OnListChange)
ON_LBN_DBLCLK(IDC_LIST, &CSampleDlg::OnListDoubleClick)
ON_BN_CLICKED(IDC_FLAG, &CSampleDlg::OnFlag)
ON_COMMAND(ID_ABOUT, &CSampleDlg::OnAbout)
ON_COMMAND(ID_EXIT, &CSampleDlg::OnExit)
ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CSampleDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (const wchar_t* s : {L"Gamma", L"alpha", L"Beta"}) {
        list.AddString(s);
    }
    kindCombo.SetCurSel(0);
    return TRUE;
}

void CSampleDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_NAME, name);
    DDV_MaxChars(pDX, name, 10);
    DDX_Text(pDX, IDC_COUNT, count);
    DDV_MinMaxInt(pDX, count, 0, 9);
    DDX_Text(pDX, IDC_SIZE, size);
    DDV_MinMaxDouble(pDX, size, 0.0, 10000.0);
    DDX_Check(pDX, IDC_FLAG, flag);
    DDX_Radio(pDX, IDC_METRIC, units);
    DDX_Control(pDX, IDC_KIND, kindCombo);
    DDX_Control(pDX, IDC_LIST, list);
}

void CSampleDlg::OnNameChange() {
    CString text;
    GetDlgItemText(IDC_NAME, text);
    log.push_back(L"name " + text);
}

void CSampleDlg::OnApply() {
    log.push_back(UpdateData(TRUE) ? L"apply" : L"apply refused");
}

void CSampleDlg::OnKindChange() {
    CString text;
    kindCombo.GetLBText(kindCombo.GetCurSel(), text);
    log.push_back(L"kind " + text);
}

void CSampleDlg::OnListChange() {
    CString text;
    list.GetText(list.GetCurSel(), text);
    log.push_back(L"list " + text);
}

void CSampleDlg::OnListDoubleClick() {
    log.push_back(L"double-click");
}

void CSampleDlg::OnFlag() {
    CString s;
    s.Format(L"flag %d", static_cast<CButton*>(GetDlgItem(IDC_FLAG))->GetCheck());
    log.push_back(s);
}

void CSampleDlg::OnAbout() {
    log.push_back(L"about");
}

void CSampleDlg::OnExit() {
    SendMessage(WM_CLOSE);
}

void CSampleDlg::OnClose() {
    log.push_back(L"close");
    CDialog::OnClose();
}

int CToolDlg::alive = 0;

BEGIN_MESSAGE_MAP(CToolDlg, CDialog)
ON_MESSAGE(WM_ACAD_KEEPFOCUS, &CToolDlg::OnKeepFocus)
ON_WM_SHOWWINDOW()
ON_BN_CLICKED(IDC_APPLY, &CToolDlg::OnPick)
END_MESSAGE_MAP()

CToolDlg::~CToolDlg() {
    --alive;
}

void CToolDlg::OnCancel() {
    DestroyWindow();
}

void CToolDlg::PostNcDestroy() {
    delete this;
}

LRESULT CToolDlg::OnKeepFocus(WPARAM, LPARAM) {
    return keepFocus;
}

void CToolDlg::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    showFlags.push_back(bShow);
}

// A pick in the drawing: minimise, let the host have the focus, restore.
void CToolDlg::OnPick() {
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_RESTORE);
}

BEGIN_MESSAGE_MAP(CPageTabs, CTabCtrl)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CPageTabs::CPageTabs() : pages{nullptr, nullptr} {}

CPageTabs::~CPageTabs() {
    delete pages[0];
    delete pages[1];
}

void CPageTabs::Init() {
    currentPage = 0;
    pages[0]->Create(IDD_PAGE_DATA, this);
    pages[1]->Create(IDD_PAGE_FORMAT, this);
    pages[0]->ShowWindow(SW_SHOW);
    pages[1]->ShowWindow(SW_HIDE);
}

void CPageTabs::OnLButtonDown(UINT nFlags, CPoint point) {
    CTabCtrl::OnLButtonDown(nFlags, point);
    if (GetCurSel() != currentPage) {
        pages[currentPage]->ShowWindow(SW_HIDE);
        currentPage = GetCurSel();
        pages[currentPage]->ShowWindow(SW_SHOW);
        pages[currentPage]->SetFocus();
    }
}

BEGIN_MESSAGE_MAP(CPage, CDialog)
ON_BN_CLICKED(IDC_PAGE_BUTTON, &CPage::OnButton)
END_MESSAGE_MAP()

void CPage::OnButton() {
    CString s;
    s.Format(L"page %u button", m_nIDHelp);
    m_log->push_back(s);
}

BEGIN_MESSAGE_MAP(CTabsDlg, CDialog)
ON_NOTIFY(TCN_SELCHANGING, IDC_TABS, &CTabsDlg::OnSelChanging)
ON_NOTIFY(TCN_SELCHANGE, IDC_TABS, &CTabsDlg::OnSelChange)
END_MESSAGE_MAP()

BOOL CTabsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    tabs.InsertItem(0, L"Space Data");
    tabs.InsertItem(1, L"Format");
    tabs.pages[0] = new CPage(IDD_PAGE_DATA, &log);
    tabs.pages[1] = new CPage(IDD_PAGE_FORMAT, &log);
    tabs.Init();
    return TRUE;
}

void CTabsDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_TABS, tabs);
}

void CTabsDlg::OnSelChanging(NMHDR*, LRESULT* pResult) {
    *pResult = locked ? TRUE : FALSE;
}

void CTabsDlg::OnSelChange(NMHDR*, LRESULT*) {
    CString s;
    s.Format(L"tab %d", tabs.GetCurSel());
    log.push_back(s);
}

}  // namespace sample
