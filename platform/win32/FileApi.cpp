#include "win32/FileApi.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "win32/CodePage.h"
#include "win32/DrivePaths.h"
#include "win32/FileReplacement.h"
#include "win32/FileSharing.h"
#include "win32/WinError.h"

namespace {

using qv::win32::setLastErrorFromErrno;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The POSIX path of a Windows path argument, or nullopt with the last error set.
std::optional<std::string> resolve(LPCWSTR path) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    DWORD error = ERROR_SUCCESS;
    auto posix = qv::win32::toPosixPath(path, &error);
    if (!posix) {
        SetLastError(error);
    }
    return posix;
}

// The POSIX path of an existing entry and its status (links followed when `follow`), or nullopt
// with the last error set.
std::optional<std::string> resolveExisting(LPCWSTR path, struct stat& st, bool follow) {
    auto posix = resolve(path);
    if (posix && (follow ? ::stat(posix->c_str(), &st) : ::lstat(posix->c_str(), &st)) != 0) {
        setLastErrorFromErrno(errno, *posix);
        return std::nullopt;
    }
    return posix;
}

std::string baseName(const std::string& posix) {
    std::string p = posix;
    while (p.size() > 1 && p.back() == '/') {
        p.pop_back();
    }
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string parentOf(const std::string& posix) {
    std::string p = posix;
    while (p.size() > 1 && p.back() == '/') {
        p.pop_back();
    }
    const auto slash = p.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : p.substr(0, slash);
}

bool readOnly(const struct stat& st) {
    return !S_ISDIR(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

BOOL fail(DWORD code) {
    SetLastError(code);
    return FALSE;
}

// Sets the last error from errno for `posixPath` and returns FALSE.
BOOL failErrno(int err, const std::string& posixPath) {
    setLastErrorFromErrno(err, posixPath);
    return FALSE;
}

// Puts a copy of `from` (st: its status) in place of `to` through the platform's one way of
// replacing files (links followed, what may not be written refused, the part file put in place
// only when whole), with the permissions and times of `from`; `from` itself is never written.
// With `exclusive` anything at `to` gives ERROR_FILE_EXISTS.
BOOL copyFile(const std::string& from, const struct stat& st, const std::string& to,
              bool exclusive) {
    struct stat there {};
    if (exclusive && ::lstat(to.c_str(), &there) == 0) {
        return fail(ERROR_FILE_EXISTS);
    }
    qv::win32::FileReplacement replacement(to, from);
    const auto refused = [&] {
        return replacement.refusal() == qv::win32::Refusal::System
                   ? failErrno(replacement.systemError(), to)
                   : fail(replacement.windowsError());
    };
    if (replacement.refusal() != qv::win32::Refusal::None) {
        return refused();
    }
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        return failErrno(errno, from);
    }
    const int readError = replacement.writeFrom(in);
    ::close(in);
    if (readError != 0) {
        return failErrno(readError, from);
    }
    replacement.setMode(st.st_mode);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    if (replacement.descriptor() >= 0) {
        ::futimens(replacement.descriptor(), times);
    }
    return replacement.commit() ? TRUE : refused();
}

}  // namespace

namespace qv::win32 {

DWORD attributesFromStat(const struct stat& st, const std::string& name) {
    DWORD attributes = S_ISDIR(st.st_mode)   ? FILE_ATTRIBUTE_DIRECTORY
                       : S_ISREG(st.st_mode) ? FILE_ATTRIBUTE_ARCHIVE
                                             : FILE_ATTRIBUTE_DEVICE;
    if (readOnly(st)) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (name.size() > 1 && name[0] == '.' && name != "..") {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    return attributes;
}

}  // namespace qv::win32

DWORD GetFileAttributesW(LPCWSTR path) {
    struct stat st {};
    const auto posix = resolveExisting(path, st, true);
    if (!posix) {
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat link {};
    const bool isLink = ::lstat(posix->c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    return qv::win32::attributesFromStat(st, baseName(*posix)) |
           (isLink ? FILE_ATTRIBUTE_REPARSE_POINT : 0);
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    struct stat st {};
    const auto posix = resolveExisting(path, st, true);
    if (!posix) {
        return FALSE;
    }
    if (S_ISDIR(st.st_mode)) {
        return TRUE;
    }
    mode_t mode = st.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    } else if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        mode |= S_IWUSR;
    }
    if (::chmod(posix->c_str(), mode) != 0) {
        return failErrno(errno, *posix);
    }
    return TRUE;
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    const auto posix = resolve(path);
    if (!posix) {
        return FALSE;
    }
    if (::mkdir(posix->c_str(), 0777) != 0) {
        return failErrno(errno, *posix);
    }
    return TRUE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
    struct stat st {};
    const auto posix = resolveExisting(path, st, false);
    if (!posix) {
        return FALSE;
    }
    if (!S_ISDIR(st.st_mode)) {
        return fail(ERROR_DIRECTORY);
    }
    const auto current = qv::win32::toPosixPath(qv::win32::currentDirectory());
    struct stat cur {};
    if (current && ::stat(current->c_str(), &cur) == 0 && cur.st_dev == st.st_dev &&
        cur.st_ino == st.st_ino) {
        return fail(ERROR_SHARING_VIOLATION);
    }
    if (::rmdir(posix->c_str()) != 0) {
        return failErrno(errno, *posix);
    }
    return TRUE;
}

BOOL DeleteFileW(LPCWSTR path) {
    struct stat st {};
    const auto posix = resolveExisting(path, st, false);
    if (!posix) {
        return FALSE;
    }
    if (S_ISDIR(st.st_mode) || readOnly(st)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    if (!S_ISLNK(st.st_mode) &&
        qv::win32::checkSharing(*posix, qv::win32::kAccessDelete, kShareAll) != ERROR_SUCCESS) {
        return fail(ERROR_SHARING_VIOLATION);
    }
    if (::unlink(posix->c_str()) != 0) {
        return failErrno(errno, *posix);
    }
    return TRUE;
}

BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists) {
    struct stat src {};
    const auto from = resolveExisting(existing, src, true);
    if (!from) {
        return FALSE;
    }
    const auto to = resolve(target);
    if (!to) {
        return FALSE;
    }
    if (S_ISDIR(src.st_mode)) {
        return fail(ERROR_ACCESS_DENIED);
    }
    if (qv::win32::checkSharing(*from, qv::win32::kAccessRead,
                                FILE_SHARE_READ | FILE_SHARE_DELETE) != ERROR_SUCCESS) {
        return fail(ERROR_SHARING_VIOLATION);
    }
    return copyFile(*from, src, *to, failIfExists != FALSE);
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags) {
    if (!target || (flags & MOVEFILE_DELAY_UNTIL_REBOOT)) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    struct stat src {};
    const auto from = resolveExisting(existing, src, false);
    if (!from) {
        return FALSE;
    }
    auto to = resolve(target);
    if (!to) {
        return FALSE;
    }
    if (qv::win32::checkSharing(*from, qv::win32::kAccessDelete, kShareAll) != ERROR_SUCCESS) {
        return fail(ERROR_SHARING_VIOLATION);
    }
    struct stat dst {};
    if (::lstat(to->c_str(), &dst) == 0) {
        if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) {
            // The same entry, maybe spelt otherwise: take the target's spelling of the name.
            const auto full = qv::win32::fullWindowsPath(target);
            std::wstring leaf = full ? *full : std::wstring(target);
            leaf.erase(leaf.find_last_not_of(L'\\') + 1);
            if (const auto slash = leaf.rfind(L'\\'); slash != std::wstring::npos) {
                leaf.erase(0, slash + 1);
            }
            const std::string parent = parentOf(*to);
            *to = (parent == "/" ? "" : parent) + "/" + qv::wideToUtf8(leaf);
            if (*to == *from) {
                return TRUE;
            }
        } else {
            if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
                return fail(ERROR_ALREADY_EXISTS);
            }
            if (S_ISDIR(dst.st_mode) || S_ISDIR(src.st_mode)) {
                return fail(ERROR_ACCESS_DENIED);
            }
            // The file is replaced as every file is (a link written through, not replaced);
            // the moved file goes away once its copy is in place.
            if (!copyFile(*from, src, *to, false)) {
                return FALSE;
            }
            if (::unlink(from->c_str()) != 0) {
                return failErrno(errno, *from);
            }
            return TRUE;
        }
    }
    if (::rename(from->c_str(), to->c_str()) == 0) {
        return TRUE;
    }
    const int err = errno;
    if (err != EXDEV) {
        return failErrno(err, *to);
    }
    if (!(flags & MOVEFILE_COPY_ALLOWED) || S_ISDIR(src.st_mode)) {
        return fail(ERROR_NOT_SAME_DEVICE);
    }
    if (!copyFile(*from, src, *to, true)) {
        return FALSE;
    }
    if (::unlink(from->c_str()) != 0) {
        return failErrno(errno, *from);
    }
    return TRUE;
}

BOOL MoveFileW(LPCWSTR existing, LPCWSTR target) {
    return MoveFileExW(existing, target, MOVEFILE_COPY_ALLOWED);
}
