// Windows paths on this system: drive letters mapped to POSIX folders, as Wine maps them.
//
// Drive C: is a folder of its own (by default ~/.cadhost/drive_c, created when first used;
// tests and the host program point it elsewhere with setDriveRoot), drive Z: is the POSIX root
// "/", and other drives are unmapped until setDriveRoot maps them. A path on an unmapped drive
// fails as a path to a missing folder does (ERROR_PATH_NOT_FOUND).
//
// Two drives may be mapped to one folder: both reach it, and the letter first in the alphabet
// names the paths there (a POSIX path turned into a Windows one, the process's working folder as
// the first current directory), whichever drive was mapped first. Z: gives way to any other
// drive: a drive mapped to "/" names the paths that Z: named, while D: or a later letter mapped
// to the folder of C: leaves its paths on C:.
//
// A Windows path is first made full, as GetFullPathNameW does: "/" and "\" both separate names,
// a relative path starts at the current directory ("X:name" at the current directory when X:
// is its drive, else at the root of X:), "." and ".." are resolved (".." stops at the root),
// repeated separators fold into one, trailing dots and blanks of each name are dropped, a
// trailing separator is kept, and "\\?\" before a drive path is removed. A name holding one of
// < > : " | ? * or a control character fails with ERROR_INVALID_NAME; a network path
// ("\\server\share") fails with ERROR_BAD_NETPATH, a device path ("\\.\") with
// ERROR_PATH_NOT_FOUND, and so does an empty path.
//
// The full path then becomes a POSIX path below the drive's folder. Each name is looked up
// exactly first and then, as Windows compares names, without regard to case (the first match
// in byte order wins); from the first name that is not there on, the names stay as given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "WinTypes.h"

namespace qv::win32 {

// Maps `drive` (a letter, either case) to the POSIX folder `posixDir`, made absolute; an empty
// `posixDir` unmaps the drive. Drive C: unmapped this way stays unmapped (no default).
void setDriveRoot(wchar_t drive, const std::string& posixDir);
// The POSIX folder of a drive, or an empty text when it is unmapped.
std::string driveRoot(wchar_t drive);
// The default folder of drive C: ($HOME/.cadhost/drive_c).
std::string defaultDriveCRoot();

// The full Windows form of a path (see above), or nullopt with the Windows error in `*error`.
std::optional<std::wstring> fullWindowsPath(std::wstring_view path, DWORD* error = nullptr);

// The POSIX path that a Windows path names, or nullopt with the Windows error in `*error`.
// The place need not exist.
std::optional<std::string> toPosixPath(std::wstring_view windowsPath, DWORD* error = nullptr);

// The Windows path of a POSIX path (made absolute against the process's working folder):
// below the folder of a mapped drive other than Z: (the longest match wins) it is on that
// drive, otherwise it is a Z: path. Empty only when Z: is unmapped and no drive holds it.
// Of two drives mapped to one folder, the first letter names it (see above).
std::wstring toWindowsPath(const std::string& posixPath);

// The current directory (a full Windows path without trailing backslash, except at a root).
// It starts as the Windows form of the process's working folder and is kept apart from it:
// changing it never changes the process's working folder.
std::wstring currentDirectory();

}  // namespace qv::win32

// Copies the current directory into `buffer`; returns its length without the zero, or the size
// needed including the zero when `size` is too small.
DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer);
// Makes an existing folder the current directory; a missing one fails with
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND, a file with ERROR_DIRECTORY.
BOOL SetCurrentDirectoryW(LPCWSTR path);
// The full path of `fileName` (see above); `filePart`, when given, points into `buffer` at the
// last name (null when the path ends with a separator). Returns as GetCurrentDirectoryW does,
// 0 on a bad path.
DWORD GetFullPathNameW(LPCWSTR fileName, DWORD size, LPWSTR buffer, LPWSTR* filePart);
// The temporary folder: the Windows form of $TMPDIR (or /tmp) with a trailing backslash.
// Returns as GetCurrentDirectoryW does.
DWORD GetTempPathW(DWORD size, LPWSTR buffer);

#define GetCurrentDirectory GetCurrentDirectoryW
#define SetCurrentDirectory SetCurrentDirectoryW
#define GetFullPathName GetFullPathNameW
#define GetTempPath GetTempPathW
