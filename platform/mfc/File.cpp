#include "mfc/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cwchar>
#include <optional>

#include "win32/DrivePaths.h"
#include "win32/FileApi.h"
#include "win32/FileReplacement.h"
#include "win32/WinError.h"

namespace {

void fillError(CFileException* error, DWORD code, LPCTSTR fileName) {
    if (!error) {
        return;
    }
    error->m_cause = CFileException::OsErrorToException(static_cast<LONG>(code));
    error->m_lOsError = static_cast<LONG>(code);
    error->m_strFileName = fileName;
}

DWORD shareMode(UINT flags) {
    switch (flags & 0x70) {
        case CFile::shareDenyWrite:
            return FILE_SHARE_READ;
        case CFile::shareDenyRead:
            return FILE_SHARE_WRITE;
        case CFile::shareDenyNone:
            return FILE_SHARE_READ | FILE_SHARE_WRITE;
        default:
            return 0;  // shareCompat, shareExclusive
    }
}

CTime timeOf(const timespec& t) {
    return CTime(static_cast<std::time_t>(t.tv_sec));
}

}  // namespace

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

CFile::CFile() : m_hFile(hFileNull) {}

CFile::CFile(LPCTSTR fileName, UINT openFlags) : m_hFile(hFileNull) {
    CFileException error;
    if (!Open(fileName, openFlags, &error)) {
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
    }
}

CFile::~CFile() {
    if (m_bCloseOnDelete) {
        closeHandle(false);
    }
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error) {
    if (IsOpen()) {
        closeHandle(false);
    }
    const auto fail = [&](DWORD code) {
        SetLastError(code);
        fillError(error, code, fileName);
        return FALSE;
    };
    if (!fileName) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    const UINT mode = openFlags & 3;
    if (mode == 3) {
        return fail(ERROR_INVALID_PARAMETER);
    }

    DWORD code = ERROR_SUCCESS;
    const auto full = qv::win32::fullWindowsPath(fileName, &code);
    const auto posix = full ? qv::win32::toPosixPath(*full, &code) : std::nullopt;
    if (!posix) {
        return fail(code);
    }

    const bool create = (openFlags & modeCreate) != 0;
    const bool truncate = create && !(openFlags & modeNoTruncate);
    DWORD access = qv::win32::kAccessRead;
    int posixMode = O_RDONLY;
    if (mode == modeWrite) {
        access = qv::win32::kAccessWrite;
        posixMode = O_WRONLY;
    } else if (mode == modeReadWrite) {
        access = qv::win32::kAccessRead | qv::win32::kAccessWrite;
        posixMode = O_RDWR;
    }

    struct stat st {};
    const bool existed = ::stat(posix->c_str(), &st) == 0;
    if (existed) {
        if (S_ISDIR(st.st_mode)) {
            return fail(ERROR_ACCESS_DENIED);
        }
        // Read-only for everyone (root too), or not this process's to write.
        if (((access & qv::win32::kAccessWrite) || truncate) &&
            qv::win32::writeRefusal(st, *posix) != qv::win32::Refusal::None) {
            return fail(ERROR_ACCESS_DENIED);
        }
    } else if (!create) {
        return fail(qv::win32::missingPathError(*posix));
    }

    if (existed && !S_ISREG(st.st_mode)) {
        return fail(ERROR_ACCESS_DENIED);  // a pipe would block the open, a device take anything
    }
    // Not blocking while it opens, in case a pipe took the file's place since the check.
    const int fd = ::open(posix->c_str(),
                          posixMode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (create ? O_CREAT : 0),
                          0666);
    if (fd < 0) {
        return fail(qv::win32::setLastErrorFromErrno(errno, *posix));
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno;
        ::close(fd);
        return fail(S_ISREG(st.st_mode) ? qv::win32::errorFromErrno(err) : ERROR_ACCESS_DENIED);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    qv::win32::FileShareLock share;
    if (share.acquire(st.st_dev, st.st_ino, access, shareMode(openFlags)) != ERROR_SUCCESS) {
        ::close(fd);
        return fail(ERROR_SHARING_VIOLATION);
    }
    if (truncate && existed && ::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(qv::win32::errorFromErrno(err));
    }
    m_fd = fd;
    m_openFlags = openFlags;
    m_share = std::move(share);
    m_strFileName = *full;
    m_hFile = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(fd) + 0x10000);
    return TRUE;
}

BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information) {
    // A CFile's handle is its descriptor moved up by 0x10000 (see CFile::Open).
    const INT_PTR value = reinterpret_cast<INT_PTR>(file);
    struct stat st {};
    if (information == nullptr || value < 0x10000 || value > static_cast<INT_PTR>(INT_MAX) + 0x10000 ||
        ::fstat(static_cast<int>(value - 0x10000), &st) != 0) {
        SetLastError(information == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const auto size = static_cast<unsigned long long>(st.st_size);
    const auto index = static_cast<unsigned long long>(st.st_ino);
    const auto volume = static_cast<unsigned long long>(st.st_dev);
    information->dwFileAttributes = qv::win32::attributesFromStat(st, "");
    information->dwVolumeSerialNumber = static_cast<DWORD>(volume ^ (volume >> 32));
    information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    information->nFileSizeLow = static_cast<DWORD>(size);
    information->nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
    information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    information->nFileIndexLow = static_cast<DWORD>(index);
    return TRUE;
}

void CFile::throwError(DWORD code) const {
    AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)),
                          static_cast<LONG>(code), m_strFileName);
}

void CFile::requireOpen() const {
    if (!IsOpen()) {
        throwError(ERROR_INVALID_HANDLE);
    }
}

bool CFile::readWanted(const void* buffer, UINT count) const {
    requireOpen();
    if (count == 0) {
        return false;
    }
    if (!buffer) {
        throwError(ERROR_INVALID_PARAMETER);
    }
    if ((m_openFlags & 3) == modeWrite) {
        throwError(ERROR_ACCESS_DENIED);
    }
    return true;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (!readWanted(buffer, count)) {
        return 0;
    }
    auto* p = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::read(m_fd, p + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throwError(qv::win32::errorFromErrno(errno));
        }
        if (n == 0) {
            break;
        }
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, UINT count) {
    requireOpen();
    if (count == 0) {
        return;
    }
    if (!buffer) {
        throwError(ERROR_INVALID_PARAMETER);
    }
    if ((m_openFlags & 3) == modeRead) {
        throwError(ERROR_ACCESS_DENIED);
    }
    const auto* p = static_cast<const char*>(buffer);
    UINT done = 0;
    while (done < count) {
        const ssize_t n = ::write(m_fd, p + done, count - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throwError(qv::win32::errorFromErrno(errno));
        }
        done += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    requireOpen();
    if (from > end) {
        throwError(ERROR_INVALID_PARAMETER);
    }
    LONGLONG base = 0;
    if (from == current) {
        base = static_cast<LONGLONG>(GetPosition());
    }
    if (from == end) {
        base = static_cast<LONGLONG>(GetLength());
    }
    if (base + offset < 0) {
        throwError(ERROR_NEGATIVE_SEEK);
    }
    const off_t pos = ::lseek(m_fd, static_cast<off_t>(base + offset), SEEK_SET);
    if (pos < 0) {
        throwError(qv::win32::errorFromErrno(errno));
    }
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetPosition() const {
    requireOpen();
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0) {
        throwError(qv::win32::errorFromErrno(errno));
    }
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
    requireOpen();
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        throwError(qv::win32::errorFromErrno(errno));
    }
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG length) {
    requireOpen();
    if ((m_openFlags & 3) == modeRead) {
        throwError(ERROR_ACCESS_DENIED);
    }
    if (::ftruncate(m_fd, static_cast<off_t>(length)) != 0) {
        throwError(qv::win32::errorFromErrno(errno));
    }
}

void CFile::Flush() {
    // Writes go straight to the system; there is nothing of ours to flush.
}

void CFile::closeHandle(bool raise) {
    if (!IsOpen()) {
        return;
    }
    const int rc = ::close(m_fd);
    const int err = errno;
    m_fd = -1;
    m_share.release();
    m_hFile = hFileNull;
    if (rc != 0 && raise) {
        const DWORD code = qv::win32::errorFromErrno(err);
        const CString name = m_strFileName;
        m_strFileName.Empty();
        AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)),
                              static_cast<LONG>(code), name);
    }
    m_strFileName.Empty();
}

void CFile::Close() {
    closeHandle(true);
}

void CFile::Abort() {
    closeHandle(false);
}

CString CFile::GetFileName() const {
    const int slash = m_strFileName.ReverseFind(L'\\');
    return m_strFileName.Mid(slash + 1);
}

CString CFile::GetFileTitle() const {
    CString name = GetFileName();
    const int dot = name.ReverseFind(L'.');
    return dot > 0 ? name.Left(dot) : name;
}

BOOL CFile::GetStatus(CFileStatus& status) const {
    if (!IsOpen()) {
        return FALSE;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        return FALSE;
    }
    CFileStatus s;
    s.m_mtime = timeOf(st.st_mtim);
    s.m_atime = timeOf(st.st_atim);
    s.m_ctime = s.m_mtime;
    s.m_size = static_cast<ULONGLONG>(st.st_size);
    const CString name = GetFileName();
    s.m_attribute =
        static_cast<BYTE>(qv::win32::attributesFromStat(st, qv::wideToUtf8(name.str())));
    const CString full = m_strFileName.Left(MAX_PATH - 1);
    std::wmemcpy(s.m_szFullName, full.GetString(), static_cast<std::size_t>(full.GetLength()) + 1);
    status = s;
    return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR fileName, CFileStatus& status) {
    if (!fileName) {
        return FALSE;
    }
    const std::optional<CString> full = qv::win32::fullWindowsPath(fileName);
    if (!full || full->GetLength() >= MAX_PATH) {
        return FALSE;
    }
    const CString given(fileName);
    if (full->GetLength() <= 3 || given.Right(1) == L"\\" || given.Right(1) == L"/") {
        return FALSE;
    }
    const auto posix = qv::win32::toPosixPath(*full);
    if (!posix) {
        return FALSE;
    }
    struct statx sx {};
    if (::statx(AT_FDCWD, posix->c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
        return FALSE;
    }
    struct stat st {};
    if (::stat(posix->c_str(), &st) != 0) {
        return FALSE;
    }
    CFileStatus s;
    s.m_mtime = timeOf(st.st_mtim);
    s.m_atime = timeOf(st.st_atim);
    s.m_ctime = (sx.stx_mask & STATX_BTIME) ? CTime(static_cast<std::time_t>(sx.stx_btime.tv_sec))
                                            : s.m_mtime;
    s.m_size = S_ISDIR(st.st_mode) ? 0 : static_cast<ULONGLONG>(st.st_size);
    const int slash = full->ReverseFind(L'\\');
    s.m_attribute = static_cast<BYTE>(
        qv::win32::attributesFromStat(st, qv::wideToUtf8(full->Mid(slash + 1).str())));
    std::wmemcpy(s.m_szFullName, full->GetString(),
                 static_cast<std::size_t>(full->GetLength()) + 1);
    status = s;
    return TRUE;
}

void CFile::Remove(LPCTSTR fileName) {
    if (!DeleteFileW(fileName)) {
        const DWORD code = GetLastError();
        AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)),
                              static_cast<LONG>(code), fileName);
    }
}

void CFile::Rename(LPCTSTR oldName, LPCTSTR newName) {
    if (!MoveFileW(oldName, newName)) {
        const DWORD code = GetLastError();
        AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(code)),
                              static_cast<LONG>(code), oldName);
    }
}
