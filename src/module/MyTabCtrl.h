// CMyTabCtrl: the tab control of the space properties dialog with its two pages, "Space Data"
// (CTabData) and "Format" (CTabFormat). It owns both page objects (made by the constructor,
// deleted by the destructor); Init creates their windows inside the tab control and shows the
// first. A click on another tab hides the current page and shows that tab's page.
#pragma once

#include "StdAfx.h"

#include <afxcmn.h>

class CTabData;
class CTabFormat;

class CMyTabCtrl : public CTabCtrl {
  public:
    CMyTabCtrl();
    ~CMyTabCtrl() override;
    CMyTabCtrl(const CMyTabCtrl&) = delete;
    CMyTabCtrl& operator=(const CMyTabCtrl&) = delete;

    // Page 0 from template 208, page 1 from template 207, each a child of this control; page 0
    // shown, page 1 hidden; then SetRectangle. The tab items are the dialog's to insert.
    void Init();
    // Places every page below the tab items: page 0 on top and shown, the others hidden.
    void SetRectangle();

    CTabData* getDataPage() const;
    CTabFormat* getFormatPage() const;
    int getCurrentPage() const { return m_tabCurrent; }

  protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()

  private:
    static const int PAGE_COUNT = 2;
    CDialog* m_tabPages[PAGE_COUNT];
    int m_tabCurrent = -1;
    int m_nNumberOfPages = PAGE_COUNT;
};
