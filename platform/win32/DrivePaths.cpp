#include "win32/DrivePaths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <vector>

#include "win32/CodePage.h"
#include "win32/WinError.h"

namespace qv::win32 {
namespace {

// A full Windows path taken apart: drive letter as written, names, trailing separator.
struct WinPath {
    wchar_t drive = L'C';
    std::vector<std::wstring> names;
    bool trailing = false;

    std::wstring text() const {
        std::wstring s;
        s += drive;
        s += L":\\";
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i) {
                s += L'\\';
            }
            s += names[i];
        }
        if (trailing && !names.empty()) {
            s += L'\\';
        }
        return s;
    }
};

enum class DriveState { Default, Mapped, Unmapped };

struct Drives {
    std::mutex mutex;
    std::array<DriveState, 26> state{};
    std::array<std::string, 26> root;
    std::optional<WinPath> current;

    Drives() {
        state.fill(DriveState::Unmapped);
        state['C' - 'A'] = DriveState::Default;
        state['Z' - 'A'] = DriveState::Mapped;
        root['Z' - 'A'] = "/";
    }
};

Drives& drives() {
    static Drives* d = new Drives();  // used by static destructors of other parts
    return *d;
}

int driveIndex(wchar_t drive) {
    const wchar_t up = toUpperChar(drive);
    return (up >= L'A' && up <= L'Z') ? up - L'A' : -1;
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool validName(const std::wstring& name) {
    for (wchar_t c : name) {
        if (c < 32 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|' || c == L'?' ||
            c == L'*') {
            return false;
        }
    }
    return true;
}

std::string processWorkingFolder() {
    std::vector<char> buf(PATH_MAX);
    if (::getcwd(buf.data(), buf.size())) {
        return buf.data();
    }
    return "/";
}

// Removes ".", ".." and empty names from a POSIX path made absolute.
std::string normalizePosix(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        absolute = processWorkingFolder() + "/" + absolute;
    }
    std::vector<std::string> names;
    std::size_t i = 0;
    while (i <= absolute.size()) {
        const std::size_t slash = absolute.find('/', i);
        const std::size_t end = slash == std::string::npos ? absolute.size() : slash;
        const std::string name = absolute.substr(i, end - i);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        if (slash == std::string::npos) {
            break;
        }
        i = slash + 1;
    }
    std::string out;
    for (const auto& n : names) {
        out += "/" + n;
    }
    return out.empty() ? "/" : out;
}

WinPath currentLocked(Drives& d);

// Adds the names of `rest` (separated by either slash) to `path`.
DWORD appendNames(WinPath& path, std::wstring_view rest) {
    std::size_t i = 0;
    while (i < rest.size()) {
        std::size_t j = i;
        while (j < rest.size() && !isSeparator(rest[j])) {
            ++j;
        }
        std::wstring name(rest.substr(i, j - i));
        i = j + 1;
        if (name.empty() || name == L".") {
            continue;
        }
        if (name == L"..") {
            if (!path.names.empty()) {
                path.names.pop_back();
            }
            continue;
        }
        while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
            name.pop_back();
        }
        if (name.empty()) {
            continue;
        }
        if (!validName(name)) {
            return ERROR_INVALID_NAME;
        }
        path.names.push_back(std::move(name));
    }
    path.trailing = !rest.empty() && isSeparator(rest.back());
    return ERROR_SUCCESS;
}

DWORD parseFull(std::wstring_view input, WinPath& out, Drives& d) {
    if (input.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    if (input.size() >= 4 && isSeparator(input[0]) && isSeparator(input[1]) &&
        (input[2] == L'?' || input[2] == L'.') && isSeparator(input[3])) {
        if (input[2] == L'.') {
            return ERROR_PATH_NOT_FOUND;
        }
        input.remove_prefix(4);
        if (input.size() < 2 || input[1] != L':' || driveIndex(input[0]) < 0) {
            return ERROR_PATH_NOT_FOUND;
        }
    } else if (input.size() >= 2 && isSeparator(input[0]) && isSeparator(input[1])) {
        return ERROR_BAD_NETPATH;
    }
    if (input.size() >= 2 && input[1] == L':' && driveIndex(input[0]) >= 0) {
        const wchar_t drive = input[0];
        std::wstring_view rest = input.substr(2);
        if (!rest.empty() && isSeparator(rest[0])) {
            out = WinPath{drive, {}, false};
        } else {
            const WinPath cur = currentLocked(d);
            out = driveIndex(cur.drive) == driveIndex(drive) ? cur : WinPath{drive, {}, false};
            out.drive = drive;
        }
        return appendNames(out, rest);
    }
    const WinPath cur = currentLocked(d);
    if (isSeparator(input[0])) {
        out = WinPath{cur.drive, {}, false};
    } else {
        out = cur;
    }
    return appendNames(out, input);
}

std::string rootLocked(Drives& d, int index) {
    switch (d.state[static_cast<std::size_t>(index)]) {
        case DriveState::Default:
            return defaultDriveCRoot();
        case DriveState::Mapped:
            return d.root[static_cast<std::size_t>(index)];
        case DriveState::Unmapped:
            return std::string();
    }
    return std::string();
}

// The Windows form of a normalized absolute POSIX path: on the mapped drive other than Z: whose
// folder holds it (the longest folder wins), else on Z:.
std::optional<WinPath> windowsFormLocked(Drives& d, const std::string& path) {
    std::string bestRoot;
    int best = -1;
    for (int i = 0; i < 26; ++i) {
        const std::string root = rootLocked(d, i);
        if (root.empty()) {
            continue;
        }
        const bool inside = path == root || path.rfind(root == "/" ? root : root + "/", 0) == 0;
        const bool better =
            best < 0 || (i != 'Z' - 'A' && (best == 'Z' - 'A' || root.size() > bestRoot.size()));
        if (inside && better) {
            bestRoot = root;
            best = i;
        }
    }
    if (best < 0) {
        return std::nullopt;
    }
    WinPath p;
    p.drive = static_cast<wchar_t>(L'A' + best);
    const std::string rest = path.substr(bestRoot == "/" ? 0 : bestRoot.size());
    std::size_t i = 0;
    while (i < rest.size()) {
        const std::size_t slash = rest.find('/', i);
        const std::size_t end = slash == std::string::npos ? rest.size() : slash;
        if (end > i) {
            p.names.push_back(utf8ToWide(rest.substr(i, end - i)));
        }
        i = end + 1;
    }
    return p;
}

WinPath currentLocked(Drives& d) {
    if (!d.current) {
        d.current = windowsFormLocked(d, processWorkingFolder());
        if (!d.current) {
            d.current = WinPath{L'C', {}, false};
        }
    }
    return *d.current;
}

// The entry of `folder` that matches `name` without regard to case, or an empty text.
std::string findIgnoringCase(const std::string& folder, const std::wstring& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        return std::string();
    }
    std::string best;
    while (const dirent* e = ::readdir(dir)) {
        const std::string entry = e->d_name;
        if (entry == "." || entry == "..") {
            continue;
        }
        if (equalsIgnoringCase(utf8ToWide(entry), name) && (best.empty() || entry < best)) {
            best = entry;
        }
    }
    ::closedir(dir);
    return best;
}

std::string joinPosix(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

std::string defaultDriveCRoot() {
    const char* home = std::getenv("HOME");
    std::string base;
    if (home && *home) {
        base = home;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        base = pw->pw_dir;
    } else {
        base = "/tmp";
    }
    return normalizePosix(base + "/.cadhost/drive_c");
}

void setDriveRoot(wchar_t drive, const std::string& posixDir) {
    const int i = driveIndex(drive);
    if (i < 0) {
        return;
    }
    auto& d = drives();
    std::lock_guard lock(d.mutex);
    if (posixDir.empty()) {
        d.state[static_cast<std::size_t>(i)] = DriveState::Unmapped;
        d.root[static_cast<std::size_t>(i)].clear();
    } else {
        d.state[static_cast<std::size_t>(i)] = DriveState::Mapped;
        d.root[static_cast<std::size_t>(i)] = normalizePosix(posixDir);
    }
}

std::string driveRoot(wchar_t drive) {
    const int i = driveIndex(drive);
    if (i < 0) {
        return std::string();
    }
    auto& d = drives();
    std::lock_guard lock(d.mutex);
    return rootLocked(d, i);
}

std::optional<std::wstring> fullWindowsPath(std::wstring_view path, DWORD* error) {
    auto& d = drives();
    WinPath parsed;
    DWORD code;
    {
        std::lock_guard lock(d.mutex);
        code = parseFull(path, parsed, d);
    }
    if (error) {
        *error = code;
    }
    if (code != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return parsed.text();
}

std::optional<std::string> toPosixPath(std::wstring_view windowsPath, DWORD* error) {
    auto& d = drives();
    WinPath parsed;
    std::string root;
    bool isDefault = false;
    {
        std::lock_guard lock(d.mutex);
        DWORD code = parseFull(windowsPath, parsed, d);
        if (code == ERROR_SUCCESS) {
            const int i = driveIndex(parsed.drive);
            root = rootLocked(d, i);
            isDefault = d.state[static_cast<std::size_t>(i)] == DriveState::Default;
            if (root.empty()) {
                code = ERROR_PATH_NOT_FOUND;
            }
        }
        if (error) {
            *error = code;
        }
        if (code != ERROR_SUCCESS) {
            return std::nullopt;
        }
    }
    struct stat st {};
    if (isDefault && ::stat(root.c_str(), &st) != 0) {
        // The default drive folder is made on first use, as a fresh prefix would have it.
        std::string partial;
        for (std::size_t i = 1; i <= root.size(); ++i) {
            if (i == root.size() || root[i] == '/') {
                partial = root.substr(0, i);
                ::mkdir(partial.c_str(), 0755);
            }
        }
    }
    std::string posix = root;
    bool lookUp = true;
    for (const auto& name : parsed.names) {
        const std::string exact = joinPosix(posix, wideToUtf8(name));
        if (lookUp && ::lstat(exact.c_str(), &st) != 0) {
            const std::string match = findIgnoringCase(posix, name);
            if (!match.empty()) {
                posix = joinPosix(posix, match);
                continue;
            }
            lookUp = false;
        }
        posix = exact;
    }
    if (parsed.trailing && !parsed.names.empty()) {
        posix += '/';
    }
    return posix;
}

std::wstring toWindowsPath(const std::string& posixPath) {
    const std::string path = normalizePosix(posixPath);
    auto& d = drives();
    std::optional<WinPath> win;
    {
        std::lock_guard lock(d.mutex);
        win = windowsFormLocked(d, path);
    }
    if (!win) {
        return std::wstring();
    }
    win->trailing = posixPath.size() > 1 && posixPath.back() == '/';
    return win->text();
}

std::wstring currentDirectory() {
    auto& d = drives();
    std::lock_guard lock(d.mutex);
    return currentLocked(d).text();
}

namespace {

DWORD copyOut(const std::wstring& text, DWORD size, LPWSTR buffer) {
    const auto length = static_cast<DWORD>(text.size());
    if (!buffer || size < length + 1) {
        return length + 1;
    }
    std::wmemcpy(buffer, text.c_str(), length + 1);
    return length;
}

}  // namespace

}  // namespace qv::win32

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    return qv::win32::copyOut(qv::win32::currentDirectory(), size, buffer);
}

BOOL SetCurrentDirectoryW(LPCWSTR path) {
    using namespace qv::win32;
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD error = ERROR_SUCCESS;
    const auto full = fullWindowsPath(path, &error);
    const auto posix = full ? toPosixPath(*full, &error) : std::nullopt;
    if (!posix) {
        SetLastError(error);
        return FALSE;
    }
    struct stat st {};
    if (::stat(posix->c_str(), &st) != 0) {
        setLastErrorFromErrno(errno, *posix);
        return FALSE;
    }
    if (!S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_DIRECTORY);
        return FALSE;
    }
    auto& d = drives();
    std::lock_guard lock(d.mutex);
    WinPath parsed;
    parseFull(*full, parsed, d);
    parsed.trailing = false;
    d.current = parsed;
    return TRUE;
}

DWORD GetFullPathNameW(LPCWSTR fileName, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
    using namespace qv::win32;
    if (filePart) {
        *filePart = nullptr;
    }
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD error = ERROR_SUCCESS;
    const auto full = fullWindowsPath(fileName, &error);
    if (!full) {
        SetLastError(error);
        return 0;
    }
    const DWORD result = copyOut(*full, size, buffer);
    if (result == static_cast<DWORD>(full->size()) && filePart) {
        // A full path holds a backslash after its drive; the name is what follows the last one.
        const std::size_t name = full->rfind(L'\\') + 1;
        if (name < full->size()) {
            *filePart = buffer + name;
        }
    }
    return result;
}

DWORD GetTempPathW(DWORD size, LPWSTR buffer) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp && *tmp == '/') ? tmp : "/tmp";
    std::wstring win = qv::win32::toWindowsPath(folder);
    if (win.empty() || win.back() != L'\\') {
        win += L'\\';
    }
    return qv::win32::copyOut(win, size, buffer);
}
