// Windows file sharing among the files that the platform holds open.
//
// POSIX lets anyone delete, rename or rewrite an open file; Windows does not. Every open of a
// file through the platform (CFile and its kin) is registered here with its access and its
// share mode, and the file calls of win32/FileApi.h check the registrations before they delete,
// move, copy over or reopen a file, failing with ERROR_SHARING_VIOLATION as Windows would.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "WinTypes.h"

namespace qv::win32 {

// Kinds of access an open asks for (the share mode uses FILE_SHARE_READ/WRITE/DELETE).
enum FileAccess : DWORD {
    kAccessRead = 1,
    kAccessWrite = 2,
    kAccessDelete = 4,
};

// One registered open. Releasing (or destroying) it ends the registration.
class FileShareLock {
  public:
    FileShareLock() = default;
    ~FileShareLock() { release(); }
    FileShareLock(FileShareLock&& other) noexcept;
    FileShareLock& operator=(FileShareLock&& other) noexcept;
    FileShareLock(const FileShareLock&) = delete;
    FileShareLock& operator=(const FileShareLock&) = delete;

    // Registers an open of the file (device, inode) with `access` and `share`, replacing any
    // registration this lock held. ERROR_SHARING_VIOLATION (and nothing registered) when it
    // conflicts with an open already registered.
    DWORD acquire(dev_t device, ino_t inode, DWORD access, DWORD share);
    void release();
    bool held() const { return m_id != 0; }

  private:
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::uint64_t m_id = 0;
};

// ERROR_SHARING_VIOLATION when an open of the file at `posixPath` with `access` and `share`
// would conflict with a registered open, else ERROR_SUCCESS (also when there is no file).
DWORD checkSharing(const std::string& posixPath, DWORD access, DWORD share);

}  // namespace qv::win32
