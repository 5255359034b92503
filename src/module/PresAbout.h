// CPresAbout: the modal dialog that shows the module's version, the host version it was made for
// and its compile date. Built on the caller's stack and run with DoModal.
#pragma once

#include "StdAfx.h"

#include "module/DialogSupport.h"
#include "module/resource.h"

class CPresAbout : public COrvanDialog {
  public:
    enum { IDD = IDD_ABOUT };

    explicit CPresAbout(CWnd* pParent = nullptr);
    ~CPresAbout() override = default;

  protected:
    // Fills the three version rows when the dialog opens.
    void DoDataExchange(CDataExchange* pDX) override;

  private:
    CString m_compileDate;
    CString m_version;
    CString m_hostVersion;
};
