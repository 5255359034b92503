#include "win32/WinUser.h"

#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "win32/Process.h"
#include "win32/TimeApi.h"
#include "win32/WinError.h"

namespace {

struct Queue {
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<MSG> messages;
    bool quit = false;
    int quitCode = 0;
};

struct Window {
    WNDPROC proc;
    DWORD thread;
};

struct User {
    std::mutex mutex;
    std::map<DWORD, std::shared_ptr<Queue>> queues;
    std::map<HWND, Window> windows;
    UINT_PTR nextWindow = 0x10010;
    HWND active = nullptr;
    HWND host = nullptr;
};

User& user() {
    static User* u = new User();  // used by threads that end after static destruction
    return *u;
}

std::shared_ptr<Queue> queueLocked(User& u, DWORD thread) {
    auto& q = u.queues[thread];
    if (!q) {
        q = std::make_shared<Queue>();
    }
    return q;
}

// Keeps the calling thread's queue registered while the thread lives.
struct QueueHolder {
    std::shared_ptr<Queue> queue;
    DWORD thread = 0;
    ~QueueHolder() {
        if (!queue) {
            return;
        }
        auto& u = user();
        std::lock_guard lock(u.mutex);
        u.queues.erase(thread);
    }
};

Queue& ownQueue() {
    thread_local QueueHolder holder;
    if (!holder.queue) {
        holder.thread = GetCurrentThreadId();
        auto& u = user();
        std::lock_guard lock(u.mutex);
        holder.queue = queueLocked(u, holder.thread);
    }
    return *holder.queue;
}

HWND makeWindowLocked(User& u, WNDPROC proc, DWORD thread) {
    const HWND h = reinterpret_cast<HWND>(u.nextWindow);
    u.nextWindow += 4;
    u.windows[h] = {proc ? proc : DefWindowProcW, thread};
    queueLocked(u, thread);
    return h;
}

HWND hostLocked(User& u) {
    if (!u.host) {
        u.host = makeWindowLocked(u, nullptr, static_cast<DWORD>(::getpid()));
    }
    return u.host;
}

bool passes(const MSG& m, HWND window, UINT filterMin, UINT filterMax) {
    if (window == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) {
            return false;
        }
    } else if (window && m.hwnd != window) {
        return false;
    }
    return (filterMin == 0 && filterMax == 0) || (m.message >= filterMin && m.message <= filterMax);
}

// Takes the first message that passes the filter (queue locked by the caller).
bool takeLocked(Queue& q, LPMSG msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (auto it = q.messages.begin(); it != q.messages.end(); ++it) {
        if (passes(*it, window, filterMin, filterMax)) {
            *msg = *it;
            if (remove) {
                q.messages.erase(it);
            }
            return true;
        }
    }
    if (q.quit) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), {0, 0}};
        if (remove) {
            q.quit = false;
        }
        return true;
    }
    return false;
}

bool validFilterWindow(HWND window) {
    return !window || window == reinterpret_cast<HWND>(-1) || IsWindow(window);
}

BOOL post(const std::shared_ptr<Queue>& q, HWND window, UINT message, WPARAM wParam,
          LPARAM lParam) {
    {
        std::lock_guard lock(q->mutex);
        q->messages.push_back(MSG{window, message, wParam, lParam, GetTickCount(), {0, 0}});
    }
    q->posted.notify_all();
    return TRUE;
}

}  // namespace

namespace qv::win32 {

HWND hostWindow() {
    auto& u = user();
    std::lock_guard lock(u.mutex);
    return hostLocked(u);
}

HWND createWindowHandle(WNDPROC proc) {
    const DWORD thread = GetCurrentThreadId();
    auto& u = user();
    std::lock_guard lock(u.mutex);
    return makeWindowLocked(u, proc, thread);
}

void destroyWindowHandle(HWND window) {
    auto& u = user();
    std::lock_guard lock(u.mutex);
    u.windows.erase(window);
    if (u.active == window) {
        u.active = nullptr;
    }
    if (u.host == window) {
        u.host = nullptr;
    }
}

WNDPROC setWindowProc(HWND window, WNDPROC proc) {
    auto& u = user();
    std::lock_guard lock(u.mutex);
    const auto it = u.windows.find(window);
    if (it == u.windows.end()) {
        return nullptr;
    }
    const WNDPROC previous = it->second.proc;
    it->second.proc = proc ? proc : DefWindowProcW;
    return previous;
}

}  // namespace qv::win32

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window) {
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    std::shared_ptr<Queue> q;
    {
        auto& u = user();
        std::lock_guard lock(u.mutex);
        const auto it = u.windows.find(window);
        if (it != u.windows.end()) {
            const auto qit = u.queues.find(it->second.thread);
            if (qit != u.queues.end()) {
                q = qit->second;
            }
        }
    }
    if (!q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return post(q, window, message, wParam, lParam);
}

BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (threadId == GetCurrentThreadId()) {
        ownQueue();
    }
    std::shared_ptr<Queue> q;
    {
        auto& u = user();
        std::lock_guard lock(u.mutex);
        const auto it = u.queues.find(threadId);
        if (it != u.queues.end()) {
            q = it->second;
        }
    }
    if (!q) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return post(q, nullptr, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    Queue& q = ownQueue();
    {
        std::lock_guard lock(q.mutex);
        q.quit = true;
        q.quitCode = exitCode;
    }
    q.posted.notify_all();
}

BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg || !validFilterWindow(window)) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Queue& q = ownQueue();
    std::lock_guard lock(q.mutex);
    return takeLocked(q, msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0);
}

BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg || !validFilterWindow(window)) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    Queue& q = ownQueue();
    std::unique_lock lock(q.mutex);
    q.posted.wait(lock, [&] { return takeLocked(q, msg, window, filterMin, filterMax, true); });
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd) {
        return 0;
    }
    WNDPROC proc = nullptr;
    {
        auto& u = user();
        std::lock_guard lock(u.mutex);
        const auto it = u.windows.find(msg->hwnd);
        if (it != u.windows.end()) {
            proc = it->second.proc;
        }
    }
    if (!proc) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) {
        return FALSE;
    }
    const UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) {
        return FALSE;
    }
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) {
        const WPARAM key = msg->wParam;
        wchar_t ch = 0;
        if (key >= 'A' && key <= 'Z') {
            ch = static_cast<wchar_t>(key - 'A' + 'a');
        } else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_RETURN ||
                   key == VK_BACK || key == VK_TAB || key == VK_ESCAPE) {
            ch = static_cast<wchar_t>(key);
        }
        if (ch) {
            const UINT charMessage = m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
            if (msg->hwnd) {
                PostMessageW(msg->hwnd, charMessage, static_cast<WPARAM>(ch), msg->lParam);
            } else {
                PostThreadMessageW(GetCurrentThreadId(), charMessage, static_cast<WPARAM>(ch),
                                   msg->lParam);
            }
        }
    }
    return TRUE;
}

LRESULT DefWindowProcW(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

BOOL IsWindow(HWND window) {
    if (!window) {
        return FALSE;
    }
    auto& u = user();
    std::lock_guard lock(u.mutex);
    hostLocked(u);
    return u.windows.count(window) ? TRUE : FALSE;
}

HWND GetActiveWindow() {
    auto& u = user();
    std::lock_guard lock(u.mutex);
    return u.active ? u.active : hostLocked(u);
}

HWND GetForegroundWindow() {
    return GetActiveWindow();
}

HWND SetActiveWindow(HWND window) {
    auto& u = user();
    std::lock_guard lock(u.mutex);
    const HWND previous = u.active ? u.active : hostLocked(u);
    if (!window || !u.windows.count(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    u.active = window;
    return previous;
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
    auto& u = user();
    std::lock_guard lock(u.mutex);
    hostLocked(u);
    const auto it = u.windows.find(window);
    if (it == u.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (processId) {
        *processId = static_cast<DWORD>(::getpid());
    }
    return it->second.thread;
}
