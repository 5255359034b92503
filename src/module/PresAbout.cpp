#include "module/PresAbout.h"

#include "module/ModuleGlobals.h"

CPresAbout::CPresAbout(CWnd* pParent)
    : COrvanDialog(IDD, pParent),
      m_compileDate(L"Nov 24 2014"),
      m_version(MODULE_VERSION),
      m_hostVersion(L"64bit 15") {}

void CPresAbout::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_ABOUT_COMPILE_DATE, m_compileDate);
    DDX_Text(pDX, IDC_ABOUT_VERSION, m_version);
    DDX_Text(pDX, IDC_ABOUT_HOST_VERSION, m_hostVersion);
}
