// The file names of modules: GetModuleFileNameW.
#pragma once

#include <string_view>

#include "WinTypes.h"

// The full Windows path of a module. With a null handle, the host program's own file (the
// process's executable) in its Windows form: a Z: path unless it lies below a mapped drive's
// folder. At most `size` characters with the terminating zero are stored; a longer name is cut
// to `size - 1` characters and zero, the result is `size` and the last error
// ERROR_INSUFFICIENT_BUFFER. Otherwise the length without the zero. Any other handle is not a
// module this platform knows: 0 and ERROR_MOD_NOT_FOUND.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
#define GetModuleFileName GetModuleFileNameW

namespace qv::win32 {

// Makes GetModuleFileNameW(NULL) give `windowsPath` (for tests and the host program); an empty
// text restores the process's own file.
void setModuleFileName(std::wstring_view windowsPath);

}  // namespace qv::win32
