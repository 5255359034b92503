#include "mfc/FileDialog.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

CFileDialog::CFileDialog(BOOL openFileDialog, LPCTSTR defaultExt, LPCTSTR fileName, DWORD flags,
                         LPCTSTR filter, CWnd* parent, DWORD, BOOL)
    : m_bOpenFileDialog(openFileDialog), m_pParentWnd(parent) {
    std::memset(&m_ofn, 0, sizeof m_ofn);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = 64;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (defaultExt) {
        m_defaultExt = defaultExt;
        m_ofn.lpstrDefExt = m_defaultExt.c_str();
    }
    if (fileName) {
        const std::size_t n = std::min<std::size_t>(std::wcslen(fileName), MAX_PATH - 1);
        std::wmemcpy(m_szFileName, fileName, n);
        m_szFileName[n] = 0;
    }
    if (filter) {
        m_filter = filter;
        for (auto& c : m_filter) {
            if (c == L'|') {
                c = 0;
            }
        }
        m_filter.push_back(0);
        m_filter.push_back(0);
        m_ofn.lpstrFilter = m_filter.c_str();
    }
}

INT_PTR CFileDialog::DoModal() {
    const BOOL ok = m_bOpenFileDialog ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    const CString path = GetPathName();
    return path.Mid(path.ReverseFind(L'\\') + 1);
}

CString CFileDialog::GetFileExt() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
    const CString name = GetFileName();
    const int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}
