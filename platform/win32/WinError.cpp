#include "win32/WinError.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

}  // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD code) {
    t_lastError = code;
}

namespace qv::win32 {

DWORD errorFromErrno(int err) {
    switch (err) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:  // a file grown beyond what may be written: no room left, as Windows says
            return ERROR_DISK_FULL;
        case EROFS:
            return ERROR_WRITE_PROTECT;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        case EIO:
            return ERROR_IO_DEVICE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOEXEC:
            return ERROR_BAD_EXE_FORMAT;
        case EPIPE:
            return ERROR_BROKEN_PIPE;
        case ENOSYS:
        case ENOTSUP:
            return ERROR_NOT_SUPPORTED;
        default:
            return ERROR_GEN_FAILURE;
    }
}

DWORD missingPathError(const std::string& posixPath) {
    std::string parent = posixPath;
    while (parent.size() > 1 && parent.back() == '/') {
        parent.pop_back();
    }
    const auto slash = parent.rfind('/');
    if (slash == std::string::npos) {
        return ERROR_FILE_NOT_FOUND;
    }
    parent.resize(slash == 0 ? 1 : slash);
    struct stat st {};
    if (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_PATH_NOT_FOUND;
}

DWORD setLastErrorFromErrno(int err, const std::string& posixPath) {
    DWORD code = errorFromErrno(err);
    if (err == ENOENT && !posixPath.empty()) {
        code = missingPathError(posixPath);
    }
    SetLastError(code);
    return code;
}

}  // namespace qv::win32
