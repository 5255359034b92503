#include "win32/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win32/CodePage.h"
#include "win32/DrivePaths.h"
#include "win32/Module.h"
#include "win32/SystemMessage.h"
#include "win32/WinError.h"

extern char** environ;

namespace {

struct ProcessState {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    DWORD exitCode = STILL_ACTIVE;
};

struct Handles {
    std::mutex mutex;
    std::map<HANDLE, std::shared_ptr<ProcessState>> table;
    UINT_PTR next = 0x1000;
};

Handles& handles() {
    static Handles* h = new Handles();  // reaper threads may outlive static destruction
    return *h;
}

HANDLE addHandle(const std::shared_ptr<ProcessState>& state) {
    auto& h = handles();
    std::lock_guard lock(h.mutex);
    const HANDLE handle = reinterpret_cast<HANDLE>(h.next);
    h.next += 4;
    h.table[handle] = state;
    return handle;
}

std::shared_ptr<ProcessState> findHandle(HANDLE handle) {
    auto& h = handles();
    std::lock_guard lock(h.mutex);
    const auto it = h.table.find(handle);
    return it == h.table.end() ? nullptr : it->second;
}

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The first item of a command line: up to the closing quote, or to the first blank.
std::wstring firstItem(std::wstring_view line, std::size_t& end) {
    if (!line.empty() && line[0] == L'"') {
        const auto close = line.find(L'"', 1);
        end = close == std::wstring_view::npos ? line.size() : close + 1;
        return std::wstring(
            line.substr(1, (close == std::wstring_view::npos ? line.size() : close) - 1));
    }
    std::size_t i = 0;
    while (i < line.size() && !isBlank(line[i])) {
        ++i;
    }
    end = i;
    return std::wstring(line.substr(0, i));
}

// The items after the first, by the runtime's rules of quotes and backslashes.
std::vector<std::wstring> laterItems(std::wstring_view line) {
    std::vector<std::wstring> items;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i >= line.size()) {
            break;
        }
        std::wstring item;
        bool quoted = false;
        while (i < line.size() && (quoted || !isBlank(line[i]))) {
            if (line[i] == L'\\') {
                std::size_t n = 0;
                while (i < line.size() && line[i] == L'\\') {
                    ++n;
                    ++i;
                }
                if (i < line.size() && line[i] == L'"') {
                    item.append(n / 2, L'\\');
                    if (n % 2) {
                        item += L'"';
                        ++i;
                    }
                } else {
                    item.append(n, L'\\');
                }
            } else if (line[i] == L'"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    item += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                item += line[i++];
            }
        }
        items.push_back(std::move(item));
    }
    return items;
}

bool isFile(const std::string& posix) {
    struct stat st {};
    return ::stat(posix.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool hasFolder(const std::wstring& name) {
    return name.find_first_of(L"\\/:") != std::wstring::npos;
}

// The POSIX file of a program name: the name, then the name with ".exe"; a name without folder
// in the current directory, then in PATH. nullopt with the last error set when none exists.
std::optional<std::string> findProgram(const std::wstring& name) {
    if (name.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    std::vector<std::string> candidates;
    DWORD error = ERROR_FILE_NOT_FOUND;
    if (const auto posix = qv::win32::toPosixPath(name, &error)) {
        candidates.push_back(*posix);
        candidates.push_back(*posix + ".exe");
    }
    if (!hasFolder(name)) {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        const std::string utf8 = qv::wideToUtf8(name);
        std::size_t i = 0;
        while (i <= dirs.size()) {
            const auto colon = dirs.find(':', i);
            const std::string dir =
                dirs.substr(i, (colon == std::string::npos ? dirs.size() : colon) - i);
            if (!dir.empty()) {
                candidates.push_back(dir + "/" + utf8);
                candidates.push_back(dir + "/" + utf8 + ".exe");
            }
            if (colon == std::string::npos) {
                break;
            }
            i = colon + 1;
        }
    }
    for (const auto& c : candidates) {
        if (isFile(c)) {
            return c;
        }
    }
    if (candidates.empty()) {
        SetLastError(error);
    } else {
        struct stat st {};
        if (::stat(candidates.front().c_str(), &st) == 0) {
            SetLastError(ERROR_ACCESS_DENIED);  // a folder
        } else {
            SetLastError(qv::win32::missingPathError(candidates.front()));
        }
    }
    return std::nullopt;
}

// An argument that is an absolute Windows path on a mapped drive, as a POSIX path.
std::string mapArgument(const std::wstring& arg) {
    if (arg.size() >= 3 && arg[1] == L':' && (arg[2] == L'\\' || arg[2] == L'/') &&
        ((arg[0] >= L'A' && arg[0] <= L'Z') || (arg[0] >= L'a' && arg[0] <= L'z'))) {
        if (const auto posix = qv::win32::toPosixPath(arg)) {
            return *posix;
        }
    }
    return qv::wideToUtf8(arg);
}

std::vector<std::string> environmentBlock(LPVOID environment, bool unicode) {
    std::vector<std::string> vars;
    if (unicode) {
        for (auto* p = static_cast<const wchar_t*>(environment); *p; p += std::wcslen(p) + 1) {
            vars.push_back(qv::wideToUtf8(p));
        }
    } else {
        for (auto* p = static_cast<const char*>(environment); *p; p += std::strlen(p) + 1) {
            vars.push_back(qv::wideToUtf8(qv::ansiToWide(p)));
        }
    }
    return vars;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (auto& t : texts) {
        out.push_back(t.data());
    }
    out.push_back(nullptr);
    return out;
}

void reap(pid_t pid, std::shared_ptr<ProcessState> state) {
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    DWORD code = 0;
    if (r == pid) {
        code = WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status))
                                 : static_cast<DWORD>(128 + WTERMSIG(status));
    }
    {
        std::lock_guard lock(state->mutex);
        state->done = true;
        state->exitCode = code;
    }
    state->ended.notify_all();
}

}  // namespace

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

DWORD GetCurrentThreadId() {
    return static_cast<DWORD>(::gettid());
}

void GetStartupInfoW(LPSTARTUPINFOW info) {
    if (!info) {
        return;
    }
    std::memset(info, 0, sizeof *info);
    info->cb = sizeof *info;
}

BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                    LPSECURITY_ATTRIBUTES, BOOL, DWORD creationFlags, LPVOID environment,
                    LPCWSTR currentDirectory, LPSTARTUPINFOW, LPPROCESS_INFORMATION processInfo) {
    const std::wstring line = commandLine ? commandLine : L"";
    if (!applicationName && line.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    // The program and the arguments after it.
    std::optional<std::string> program;
    std::wstring rest;
    if (applicationName) {
        program = findProgram(applicationName);
        if (!program) {
            return FALSE;
        }
        std::size_t end = 0;
        firstItem(line, end);
        rest = line.substr(end);
    } else if (line[0] == L'"') {
        std::size_t end = 0;
        program = findProgram(firstItem(line, end));
        if (!program) {
            return FALSE;
        }
        rest = line.substr(end);
    } else {
        // Unquoted: the shortest run of words that names a program.
        std::size_t end = 0;
        while (!program) {
            while (end < line.size() && !isBlank(line[end])) {
                ++end;
            }
            program = findProgram(line.substr(0, end));
            if (end >= line.size()) {
                break;
            }
            while (end < line.size() && isBlank(line[end])) {
                ++end;
            }
        }
        if (!program) {
            end = 0;
            while (end < line.size() && !isBlank(line[end])) {
                ++end;
            }
            program = findProgram(line.substr(0, end));
            if (!program) {
                return FALSE;
            }
        }
        rest = line.substr(end);
    }

    std::vector<std::string> argv{*program};
    for (const auto& item : laterItems(rest)) {
        argv.push_back(mapArgument(item));
    }

    // The working folder.
    std::string folder;
    if (currentDirectory) {
        DWORD error = ERROR_SUCCESS;
        const auto posix = qv::win32::toPosixPath(currentDirectory, &error);
        struct stat st {};
        if (!posix || ::stat(posix->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        folder = *posix;
    } else {
        folder = qv::win32::toPosixPath(qv::win32::currentDirectory()).value_or(".");
    }

    std::vector<std::string> env;
    if (environment) {
        env = environmentBlock(environment, (creationFlags & CREATE_UNICODE_ENVIRONMENT) != 0);
    } else {
        for (char** e = environ; *e; ++e) {
            env.emplace_back(*e);
        }
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);

    auto args = pointers(argv);
    auto envp = pointers(env);
    pid_t pid = 0;
    const int err =
        ::posix_spawn(&pid, program->c_str(), &actions, &attributes, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (err != 0) {
        qv::win32::setLastErrorFromErrno(err, *program);
        return FALSE;
    }

    auto state = std::make_shared<ProcessState>();
    std::thread(reap, pid, state).detach();
    const HANDLE process = addHandle(state);
    const HANDLE thread = addHandle(state);
    if (processInfo) {
        processInfo->hProcess = process;
        processInfo->hThread = thread;
        processInfo->dwProcessId = static_cast<DWORD>(pid);
        processInfo->dwThreadId = static_cast<DWORD>(pid);
    } else {
        CloseHandle(process);
        CloseHandle(thread);
    }
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    const auto state = findHandle(handle);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock lock(state->mutex);
    if (milliseconds == 0xFFFFFFFFu) {
        state->ended.wait(lock, [&] { return state->done; });
        return WAIT_OBJECT_0;
    }
    const bool done = state->ended.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                            [&] { return state->done; });
    return done ? WAIT_OBJECT_0 : static_cast<DWORD>(WAIT_TIMEOUT);
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    const auto state = findHandle(process);
    if (!state || !exitCode) {
        SetLastError(state ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard lock(state->mutex);
    *exitCode = state->done ? state->exitCode : STILL_ACTIVE;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    auto& h = handles();
    std::lock_guard lock(h.mutex);
    if (h.table.erase(handle) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count) {
    if (!count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<std::wstring> items;
    const std::wstring line = commandLine ? commandLine : L"";
    if (line.empty()) {
        wchar_t own[MAX_PATH + 1] = {};
        GetModuleFileNameW(nullptr, own, MAX_PATH + 1);
        items.emplace_back(own);
    } else {
        std::size_t end = 0;
        items.push_back(firstItem(line, end));
        for (auto& item : laterItems(std::wstring_view(line).substr(end))) {
            items.push_back(std::move(item));
        }
    }
    std::size_t chars = 0;
    for (const auto& item : items) {
        chars += item.size() + 1;
    }
    const std::size_t table = (items.size() + 1) * sizeof(LPWSTR);
    auto* block = static_cast<char*>(LocalAlloc(LPTR, table + chars * sizeof(wchar_t)));
    if (!block) {
        return nullptr;
    }
    auto** argv = reinterpret_cast<LPWSTR*>(block);
    auto* text = reinterpret_cast<wchar_t*>(block + table);
    for (std::size_t i = 0; i < items.size(); ++i) {
        argv[i] = text;
        std::wmemcpy(text, items[i].c_str(), items[i].size() + 1);
        text += items[i].size() + 1;
    }
    argv[items.size()] = nullptr;
    *count = static_cast<int>(items.size());
    return argv;
}

std::size_t qv::win32::openProcessHandles() {
    auto& h = handles();
    std::lock_guard lock(h.mutex);
    return h.table.size();
}
