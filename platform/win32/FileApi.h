// Files and folders by Windows path (see win32/DrivePaths.h for how paths are mapped).
//
// Each call fails as Windows does: FALSE (or INVALID_FILE_ATTRIBUTES) with the Windows error in
// GetLastError. A missing file gives ERROR_FILE_NOT_FOUND and a missing folder on the way
// ERROR_PATH_NOT_FOUND. A read-only file (no write permission bit) cannot be deleted, replaced
// or overwritten (ERROR_ACCESS_DENIED), whoever runs the program; a file held open by the
// platform without the right sharing cannot be deleted, moved or overwritten
// (ERROR_SHARING_VIOLATION; see win32/FileSharing.h).
#pragma once

#include <string>

#include "WinTypes.h"

struct stat;

#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400u

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// The attributes of a file or folder: FILE_ATTRIBUTE_DIRECTORY for a folder,
// FILE_ATTRIBUTE_ARCHIVE for a file (as Windows marks every file written since the last
// backup), FILE_ATTRIBUTE_DEVICE for what is neither (a device, a pipe, a socket),
// FILE_ATTRIBUTE_READONLY for a file without write permission, FILE_ATTRIBUTE_HIDDEN for a name
// beginning with "."; FILE_ATTRIBUTE_REPARSE_POINT besides the attributes of its target for a
// symbolic link; INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD GetFileAttributesW(LPCWSTR path);
// FILE_ATTRIBUTE_READONLY removes the write permission of a file, its absence gives it back
// to the owner; the other attributes are accepted and not kept. Folders keep their permission.
BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes);
// Creates one folder (its parent must exist). ERROR_ALREADY_EXISTS when anything has the name.
// The security attributes are not used.
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
// Removes an empty folder: ERROR_DIR_NOT_EMPTY, ERROR_DIRECTORY for a file, and
// ERROR_SHARING_VIOLATION for the current directory.
BOOL RemoveDirectoryW(LPCWSTR path);
// Removes a file: ERROR_ACCESS_DENIED for a folder or a read-only file.
BOOL DeleteFileW(LPCWSTR path);
// Copies a file with its permission and its modification time. With `failIfExists` an existing
// target gives ERROR_FILE_EXISTS; otherwise it is replaced as win32/FileReplacement.h replaces
// files: a link is written through and stays a link, and a target that is a folder, a device,
// read-only or not writable by this process gives ERROR_ACCESS_DENIED, the source itself or a
// file held open against writing ERROR_SHARING_VIOLATION, a link to nothing
// ERROR_CANT_RESOLVE_FILENAME. A failed copy leaves no partial target.
BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists);
// Renames or moves a file or folder. An existing target gives ERROR_ALREADY_EXISTS unless
// MOVEFILE_REPLACE_EXISTING is given; then a file is replaced as CopyFileW replaces it (a link
// written through) and the moved file removed, and a folder is never replaced
// (ERROR_ACCESS_DENIED). Across file systems a file is copied and removed only with
// MOVEFILE_COPY_ALLOWED, else ERROR_NOT_SAME_DEVICE. A target that differs from the source only
// in case renames it to that spelling.
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags);
// MoveFileExW with MOVEFILE_COPY_ALLOWED.
BOOL MoveFileW(LPCWSTR existing, LPCWSTR target);

#define GetFileAttributes GetFileAttributesW
#define SetFileAttributes SetFileAttributesW
#define CreateDirectory CreateDirectoryW
#define RemoveDirectory RemoveDirectoryW
#define DeleteFile DeleteFileW
#define CopyFile CopyFileW
#define MoveFileEx MoveFileExW
#define MoveFile MoveFileW

namespace qv::win32 {

// The Windows attributes of a file system entry named `name` with status `st`.
DWORD attributesFromStat(const struct stat& st, const std::string& name);

}  // namespace qv::win32
