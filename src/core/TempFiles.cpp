#include "core/TempFiles.h"

#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("TempFiles.cpp");

CTempFiles::~CTempFiles() {
    try {
        deleteTempFiles();
    } catch (...) {
        discardCaughtError();
    }
}

void CTempFiles::add(CString fileName) {
    try {
        m_fileNames.Add(fileName);
        ++m_count;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTempFiles::add"));
    }
}

void CTempFiles::deleteTempFiles() {
    try {
        // Forget the names first: whatever happens below, none is tried twice.
        CStringArray names;
        names.Copy(m_fileNames);
        const int count = m_count;
        m_fileNames.RemoveAll();
        m_count = 0;
        for (int i = 0; i < count; ++i)
            CFileUtilities::deleteFile(names.GetAt(i));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTempFiles::deleteTempFiles"));
    }
}
