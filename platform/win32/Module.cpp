#include "win32/Module.h"

#include <unistd.h>

#include <climits>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "win32/DrivePaths.h"
#include "win32/WinError.h"

namespace {

std::mutex g_mutex;
std::wstring g_override;

std::wstring executableName() {
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
        return std::wstring();
    }
    return qv::win32::toWindowsPath(std::string(buf.data(), static_cast<std::size_t>(n)));
}

}  // namespace

namespace qv::win32 {

void setModuleFileName(std::wstring_view windowsPath) {
    std::lock_guard lock(g_mutex);
    g_override = windowsPath;
}

}  // namespace qv::win32

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    if (module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    std::wstring name;
    {
        std::lock_guard lock(g_mutex);
        name = g_override;
    }
    if (name.empty()) {
        name = executableName();
    }
    if (name.empty()) {
        SetLastError(ERROR_GEN_FAILURE);
        return 0;
    }
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const auto length = static_cast<DWORD>(name.size());
    if (length + 1 > size) {
        std::wmemcpy(buffer, name.c_str(), size - 1);
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::wmemcpy(buffer, name.c_str(), length + 1);
    return length;
}
