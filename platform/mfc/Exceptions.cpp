#include "mfc/Exceptions.h"

#include <algorithm>
#include <cerrno>

#include "ui/UiDriver.h"
#include "win32/SystemMessage.h"

BOOL CException::copyMessage(const CString& text, LPTSTR buffer, UINT maxChars) {
    if (!buffer || maxChars == 0) {
        return FALSE;
    }
    const UINT n = std::min<UINT>(static_cast<UINT>(text.GetLength()), maxChars - 1);
    std::wmemcpy(buffer, text.GetString(), n);
    buffer[n] = 0;
    return TRUE;
}

BOOL CException::GetErrorMessage(LPTSTR buffer, UINT maxChars, PUINT helpContext) const {
    if (helpContext) {
        *helpContext = 0;
    }
    const CString text = GetMessageText();
    if (text.IsEmpty()) {
        if (buffer && maxChars > 0) {
            buffer[0] = 0;
        }
        return FALSE;
    }
    return copyMessage(text, buffer, maxChars);
}

CString CException::GetMessageText() const {
    return CString();
}

int CException::ReportError(UINT type, UINT) const {
    CString text = GetMessageText();
    if (text.IsEmpty()) {
        text = L"No error message is available.";
    }
    return qv::ui::driver().messageBox(nullptr, text, CString(), type);
}

void CException::Delete() {
    if (m_bAutoDelete > 0) {
        delete this;
    }
}

CString CMemoryException::GetMessageText() const {
    return L"Out of memory.";
}

CString CInvalidArgException::GetMessageText() const {
    return L"Encountered an improper argument.";
}

CString CNotSupportedException::GetMessageText() const {
    return L"Unsupported operation was attempted.";
}

CString CFileException::GetMessageText() const {
    static const wchar_t* const kTexts[] = {
        L"No error occurred.",
        L"An unknown error occurred while accessing %1.",
        L"%1 was not found.",
        L"%1 contains an invalid path.",
        L"%1 could not be opened because there are too many open files.",
        L"Access to %1 was denied.",
        L"An incorrect file handle was associated with %1.",
        L"%1 could not be removed because it is the current directory.",
        L"%1 could not be created because the directory is full.",
        L"Seek failed on %1",
        L"A hardware I/O error was reported while accessing %1.",
        L"A sharing violation occurred while accessing %1.",
        L"A locking violation occurred while accessing %1.",
        L"Disk full while accessing %1.",
        L"An attempt was made to access %1 past its end.",
    };
    const int cause = (m_cause >= none && m_cause <= endOfFile) ? m_cause : genericException;
    CString text(kTexts[cause]);
    text.Replace(L"%1", m_strFileName.IsEmpty() ? L"an unnamed file" : m_strFileName.GetString());
    return text;
}

int CFileException::OsErrorToException(LONG osError) {
    switch (osError) {
        case 0:
            return none;
        case 2:
            return fileNotFound;  // ERROR_FILE_NOT_FOUND
        case 3:
            return badPath;  // ERROR_PATH_NOT_FOUND
        case 4:
            return tooManyOpenFiles;  // ERROR_TOO_MANY_OPEN_FILES
        case 5:
            return accessDenied;  // ERROR_ACCESS_DENIED
        case 6:
            return invalidFile;  // ERROR_INVALID_HANDLE
        case 16:
            return removeCurrentDir;  // ERROR_CURRENT_DIRECTORY
        case 19:
            return accessDenied;  // ERROR_WRITE_PROTECT
        case 25:
            return badSeek;  // ERROR_SEEK
        case 32:
            return sharingViolation;  // ERROR_SHARING_VIOLATION
        case 33:
            return lockViolation;  // ERROR_LOCK_VIOLATION
        case 38:
            return endOfFile;  // ERROR_HANDLE_EOF
        case 39:
            return diskFull;  // ERROR_HANDLE_DISK_FULL
        case 53:
            return badPath;  // ERROR_BAD_NETPATH
        case 80:
            return accessDenied;  // ERROR_FILE_EXISTS
        case 112:
            return diskFull;  // ERROR_DISK_FULL
        case 123:
            return badPath;  // ERROR_INVALID_NAME
        case 131:
            return badSeek;  // ERROR_NEGATIVE_SEEK
        case 145:
            return accessDenied;  // ERROR_DIR_NOT_EMPTY
        case 161:
            return badPath;  // ERROR_BAD_PATHNAME
        case 183:
            return accessDenied;  // ERROR_ALREADY_EXISTS
        case 206:
            return badPath;  // ERROR_FILENAME_EXCED_RANGE
        case 1117:
            return hardIO;  // ERROR_IO_DEVICE
        default:
            return genericException;
    }
}

CString COleException::GetMessageText() const {
    // The system's text for the code, as FormatMessageW gives it (line end included); empty
    // when the system has none.
    return CString(qv::win32::systemMessageText(static_cast<DWORD>(m_sc)));
}

CString COleDispatchException::GetMessageText() const {
    return m_strDescription;
}

void AfxThrowMemoryException() {
    throw new CMemoryException();
}
void AfxThrowInvalidArgException() {
    throw new CInvalidArgException();
}
void AfxThrowNotSupportedException() {
    throw new CNotSupportedException();
}
void AfxThrowUserException() {
    throw new CUserException();
}
void AfxThrowFileException(int cause, LONG osError, LPCTSTR fileName) {
    throw new CFileException(cause, osError, fileName);
}
void AfxThrowOleException(SCODE sc) {
    throw new COleException(sc);
}
void AfxThrowOleDispatchException(WORD code, LPCTSTR description, UINT help) {
    throw new COleDispatchException(description, help, code);
}
