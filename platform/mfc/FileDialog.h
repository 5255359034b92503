// CFileDialog: the framework's file-open and file-save dialog over GetOpenFileNameW and
// GetSaveFileNameW (win32/CommDlg.h), so the user-interface driver answers it.
//
// The constructor takes the framework's arguments; the filter is "Label|pattern|...||" and is
// kept with its bars turned into zeros, as m_ofn.lpstrFilter expects. Callers may set the
// fields of m_ofn (lpstrTitle, lpstrInitialDir, Flags, ...) before DoModal; the pointers they
// set must stay valid until DoModal returns. DoModal returns IDOK when the user confirmed a
// file and IDCANCEL otherwise.
#pragma once

#include <string>

#include "CObject.h"
#include "CString.h"
#include "../win32/CommDlg.h"
#include "../win32/MessageBox.h"

class CWnd;

class CFileDialog : public CObject {
  public:
    explicit CFileDialog(BOOL openFileDialog, LPCTSTR defaultExt = nullptr,
                         LPCTSTR fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCTSTR filter = nullptr, CWnd* parent = nullptr, DWORD size = 0,
                         BOOL vistaStyle = TRUE);

    virtual INT_PTR DoModal();

    // The chosen file's full path, its name, its extension (without the point), and its name
    // without extension.
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    // Whether the read-only box is ticked.
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) ? TRUE : FALSE; }
    OPENFILENAMEW& GetOFN() { return m_ofn; }

    OPENFILENAMEW m_ofn;

  protected:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;

  private:
    std::wstring m_filter;
    std::wstring m_defaultExt;
    wchar_t m_szFileName[MAX_PATH] = {};
    wchar_t m_szFileTitle[64] = {};
};
