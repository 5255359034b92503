#include "core/FileUtilities.h"

#include <cwchar>

#include "core/CommandFailure.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"

static const LPCTSTR SOURCE_FILE = _T("FileUtilities.cpp");

namespace {

// The characters that may not stand in a file name.
const wchar_t INVALID_NAME_CHARACTERS[] = L"*?\"<>|";

bool isInvalidNameCharacter(wchar_t ch) {
    return ch != 0 && std::wcschr(INVALID_NAME_CHARACTERS, ch) != nullptr;
}

CString withoutTrailingBackslash(CString path) {
    if (path.Right(1) == L"\\")
        path.Delete(path.GetLength() - 1);
    return path;
}

}  // namespace

int CFileUtilities::getPathType(CString& path) {
    try {
        if (path.IsEmpty() || path.Find(L'/') >= 0)
            return 3;
        const bool hasDot = path.Find(L'.') >= 0;
        if (path.Find(L'\\') < 0) {
            return hasDot && checkFilenameSyntax(path, FALSE) ? 0 : 3;
        }
        const bool rooted = path.Find(L':') >= 0 || path.Left(2) == L"\\\\";
        if (!rooted)
            return 3;
        if (hasDot)
            return 2;
        checkPathSyntax(path);
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CFileUtilities::getPathType"));
    }
}

BOOL CFileUtilities::deleteFile(CString path) {
    // Reports instead of raising: callers clean up with it, often while handling another error.
    try {
        return DeleteFileW(path) ? TRUE : FALSE;
    } catch (...) {
        discardCaughtError();
    }
    return FALSE;
}

BOOL CFileUtilities::fileExists(CString path) {
    CFileStatus status;
    return CFile::GetStatus(path, status) ? TRUE : FALSE;
}

void CFileUtilities::fileExists(CString path, COleDateTime& modified) {
    modified = COleDateTime();
    CFileStatus status;
    if (!fileExists(path) || !CFile::GetStatus(path, status))
        return;
    const CTime& time = status.m_mtime;
    COleDateTime stamp(time.GetYear(), time.GetMonth(), time.GetDay(), time.GetHour(),
                       time.GetMinute(), time.GetSecond());
    if (stamp.GetStatus() != COleDateTime::valid)
        stamp = COleDateTime::GetCurrentTime();
    modified = stamp;
}

BOOL CFileUtilities::directoryExists(CString path) {
    try {
        return GetFileAttributesW(withoutTrailingBackslash(path)) != INVALID_FILE_ATTRIBUTES;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CFileUtilities::directoryExists"));
    }
}

BOOL CFileUtilities::ensureDirectoryExists(CString path) {
    try {
        const CString folder = withoutTrailingBackslash(path);
        if (GetFileAttributesW(folder) != INVALID_FILE_ATTRIBUTES)
            return TRUE;
        const int last = folder.ReverseFind(L'\\');
        if (last < 0)
            return FALSE;
        if (!ensureDirectoryExists(folder.Left(last)))
            return FALSE;
        if (!CreateDirectoryW(folder, NULL)) {
            if (GetLastError() == ERROR_ACCESS_DENIED) {
                printCommandFailure(L"Cannot create %s - Access denied\n", folder);
            } else {
                printCommandFailure(L"Cannot create %s\n", folder);
            }
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CFileUtilities::ensureDirectoryExists"));
    }
}

CString CFileUtilities::getDirectoryString(CString path) {
    const CString trimmed = withoutTrailingBackslash(path);
    const int last = trimmed.ReverseFind(L'\\');
    return last < 0 ? CString() : trimmed.Left(last + 1);
}

CString CFileUtilities::swapFileExtension(CString fileName, CString oldExtension,
                                          CString newExtension) {
    try {
        CString name = fileName;
        name.Trim();
        if (name.Right(oldExtension.GetLength()) == oldExtension) {
            name.Truncate(name.GetLength() - oldExtension.GetLength());
        }
        return name + newExtension;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CFileUtilities::swapFileExtension"));
    }
}

void CFileUtilities::checkPathSyntax(CString& path) {
    try {
        if (path.IsEmpty())
            return;
        CString cleaned;
        for (int i = 0; i < path.GetLength(); ++i) {
            const wchar_t ch = path.GetAt(i);
            // A colon stands only as a drive's, in the second position.
            const bool dropped = isInvalidNameCharacter(ch) || (ch == L':' && i != 1);
            if (!dropped)
                cleaned += ch;
        }
        path = cleaned;
        if (path.Right(1) != L"\\")
            path += L"\\";
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CFileUtilities::checkPathSyntax"));
    }
}

BOOL CFileUtilities::checkFilenameSyntax(CString& fileName, BOOL repair) {
    try {
        if (fileName.FindOneOf(INVALID_NAME_CHARACTERS) >= 0) {
            if (!repair)
                return FALSE;
            CString cleaned;
            for (int i = 0; i < fileName.GetLength(); ++i) {
                if (!isInvalidNameCharacter(fileName.GetAt(i)))
                    cleaned += fileName.GetAt(i);
            }
            fileName = cleaned;
            return TRUE;
        }
        if (CUtilities::occurrenceCount(L":", fileName) <= 1) {
            const wchar_t first = fileName.IsEmpty() ? 0 : fileName.GetAt(0);
            if (first == L'/' || first == L'\\') {
                if (!repair)
                    return FALSE;
                fileName.Delete(0);
            }
            return TRUE;
        }
        if (!repair)
            return FALSE;
        const int colon = fileName.Find(L':');
        CString rest = fileName.Mid(colon + 1);
        rest.Remove(L':');
        fileName = fileName.Left(colon + 1) + rest;
        return TRUE;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CFileUtilities::checkFilenameSyntax"));
    }
}

CString CFileUtilities::browseForFolder(CString title) {
    CString folder;
    LPMALLOC pMalloc = NULL;
    if (FAILED(SHGetMalloc(&pMalloc)) || !pMalloc)
        return folder;

    wchar_t displayName[MAX_PATH] = {0};
    BROWSEINFOW info = {};
    info.hwndOwner = NULL;
    info.pidlRoot = NULL;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = 0;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (chosen) {
        wchar_t path[MAX_PATH] = {0};
        if (SHGetPathFromIDListW(chosen, path))
            folder = path;
        pMalloc->Free(chosen);
    }
    pMalloc->Release();
    return folder;
}

namespace {

// The open dialog as the pickers show it: no default extension or file name, the read-only box
// ticked, the filter ending in "||".
CString chooseFile(CString filter, LPCTSTR title, LPCTSTR initialFolder, CString* fileTitle) {
    if (filter.Right(2) != L"||")
        filter += L"||";
    CFileDialog dialog(TRUE, NULL, NULL, OFN_READONLY, filter, NULL);
    wchar_t titleBuffer[MAX_PATH] = {0};
    if (title)
        dialog.m_ofn.lpstrTitle = title;
    if (initialFolder)
        dialog.m_ofn.lpstrInitialDir = initialFolder;
    if (fileTitle) {
        wcsncpy(titleBuffer, fileTitle->GetString(), MAX_PATH - 1);
        dialog.m_ofn.lpstrFileTitle = titleBuffer;
        dialog.m_ofn.nMaxFileTitle = MAX_PATH;
    }
    if (dialog.DoModal() == IDOK)
        return dialog.GetPathName();
    return CString();
}

}  // namespace

CString CFileUtilities::browseForFile(CString filter) {
    return chooseFile(filter, NULL, NULL, NULL);
}

CString CFileUtilities::browseForFile(CString title, CString initialFolder, CString fileTitle,
                                      CString filter) {
    return chooseFile(filter, title, initialFolder, &fileTitle);
}

BOOL CFileUtilities::isSameFile(CString path, CString otherPath) {
    CFile file;
    CFile other;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone) ||
        !other.Open(otherPath, CFile::modeRead | CFile::shareDenyNone))
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info = {};
    BY_HANDLE_FILE_INFORMATION otherInfo = {};
    if (!GetFileInformationByHandle(file.m_hFile, &info) ||
        !GetFileInformationByHandle(other.m_hFile, &otherInfo))
        return FALSE;
    return info.dwVolumeSerialNumber == otherInfo.dwVolumeSerialNumber &&
                   info.nFileIndexHigh == otherInfo.nFileIndexHigh &&
                   info.nFileIndexLow == otherInfo.nFileIndexLow
               ? TRUE
               : FALSE;
}

CString CFileUtilities::checkOutputFile(CString path, CString protectedPath) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return CString();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return L"it is a folder";
    if (attributes & FILE_ATTRIBUTE_DEVICE)
        return L"it is not a regular file";
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return L"the file is read-only";
    if (!protectedPath.IsEmpty() && isSameFile(path, protectedPath))
        return L"it is the drawing itself";
    // Opened for writing as it is (nothing changes): the system says whether this user may.
    CFile file;
    if (!file.Open(path, CFile::modeWrite | CFile::shareDenyNone) &&
        GetLastError() == ERROR_ACCESS_DENIED)
        return L"this user may not write the file";
    return CString();
}

void CFileUtilities::replaceFile(CString path, const std::function<void(const CString&)>& write) {
    // A name of its own beside the target, on the same volume, so that the move is a rename.
    CString temp;
    for (int i = 0;; i++) {
        temp.Format(L"%s.%lu-%d.tmp", path.GetString(), GetCurrentProcessId(), i);
        if (GetFileAttributesW(temp) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    try {
        write(temp);
        if (!MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING)) {
            const auto error = static_cast<LONG>(GetLastError());
            AfxThrowFileException(CFileException::OsErrorToException(error), error, path);
        }
    } catch (...) {
        DeleteFileW(temp);
        throw;
    }
}
