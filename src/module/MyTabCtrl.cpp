#include "module/MyTabCtrl.h"

#include "module/TabData.h"
#include "module/TabFormat.h"

BEGIN_MESSAGE_MAP(CMyTabCtrl, CTabCtrl)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CMyTabCtrl::CMyTabCtrl() : m_tabPages{new CTabData, new CTabFormat} {}

CMyTabCtrl::~CMyTabCtrl() {
    for (CDialog* page : m_tabPages)
        delete page;
}

CTabData* CMyTabCtrl::getDataPage() const {
    return static_cast<CTabData*>(m_tabPages[0]);
}

CTabFormat* CMyTabCtrl::getFormatPage() const {
    return static_cast<CTabFormat*>(m_tabPages[1]);
}

void CMyTabCtrl::Init() {
    m_tabCurrent = 0;
    m_tabPages[0]->Create(IDD_TAB_DATA, this);
    m_tabPages[1]->Create(IDD_TAB_FORMAT, this);
    m_tabPages[0]->ShowWindow(SW_SHOW);
    m_tabPages[1]->ShowWindow(SW_HIDE);
    SetRectangle();
}

void CMyTabCtrl::SetRectangle() {
    CRect client;
    CRect item;
    GetClientRect(&client);
    GetItemRect(0, &item);
    const int x = item.left;
    const int y = item.bottom + 1;
    const int width = client.right - x - 1;
    const int height = client.bottom - y - 1;
    m_tabPages[0]->SetWindowPos(&wndTop, x, y, width, height, SWP_SHOWWINDOW);
    for (int page = 1; page < m_nNumberOfPages; ++page)
        m_tabPages[page]->SetWindowPos(&wndTop, x, y, width, height, SWP_HIDEWINDOW);
}

void CMyTabCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    CTabCtrl::OnLButtonDown(nFlags, point);
    const int selected = GetCurSel();
    if (selected == m_tabCurrent || selected < 0 || selected >= m_nNumberOfPages)
        return;
    m_tabPages[m_tabCurrent]->ShowWindow(SW_HIDE);
    m_tabCurrent = selected;
    m_tabPages[m_tabCurrent]->ShowWindow(SW_SHOW);
    m_tabPages[m_tabCurrent]->SetFocus();
}
