#include "win32/Module.h"

#include <unistd.h>

#include <climits>
#include <cwchar>
#include <mutex>
#include <vector>

#include "win32/DrivePaths.h"
#include "win32/WinError.h"

namespace {

std::mutex g_mutex;
CString g_override;

CString executableName() {
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
        return CString();
    }
    return qv::win32::toWindowsPath(std::string(buf.data(), static_cast<std::size_t>(n)));
}

}  // namespace

namespace qv::win32 {

void setModuleFileName(const CString& windowsPath) {
    std::lock_guard lock(g_mutex);
    g_override = windowsPath;
}

}  // namespace qv::win32

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    if (module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    CString name;
    {
        std::lock_guard lock(g_mutex);
        name = g_override;
    }
    if (name.IsEmpty()) {
        name = executableName();
    }
    if (name.IsEmpty()) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const auto length = static_cast<DWORD>(name.GetLength());
    if (length + 1 > size) {
        std::wmemcpy(buffer, name.GetString(), size - 1);
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::wmemcpy(buffer, name.GetString(), length + 1);
    return length;
}
