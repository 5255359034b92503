#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "support/TestEnvironment.h"
#include "win32/Process.h"
#include "win32/TimeApi.h"
#include "win32/WinError.h"
#include "win32/WinUser.h"

namespace {

using qv::test::PlatformTest;

std::vector<std::pair<UINT, WPARAM>> g_received;

LRESULT CALLBACK recordingProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    g_received.emplace_back(message, wParam);
    return static_cast<LRESULT>(message) + 1;
}

class Messages : public PlatformTest {
  protected:
    Messages() {
        g_received.clear();
        window = qv::win32::createWindowHandle(recordingProc);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    ~Messages() override {
        qv::win32::destroyWindowHandle(window);
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_QUIT) {
        }
    }
    HWND window;
};

TEST_F(Messages, PeekLooksWithoutTakingUnlessAskedAndFilters) {
    ASSERT_TRUE(PostMessageW(window, WM_USER + 1, 7, 0));
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 8, 0));
    MSG m{};
    const struct {
        HWND window;
        UINT first, last, remove;
        BOOL found;
        UINT message;
    } steps[] = {
        {nullptr, 0, 0, PM_NOREMOVE, TRUE, WM_USER + 1},
        {nullptr, 0, 0, PM_NOREMOVE, TRUE, WM_USER + 1},
        {reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE, TRUE, WM_APP},
        {nullptr, WM_APP, WM_APP, PM_REMOVE, TRUE, WM_APP},
        {nullptr, WM_APP, WM_APP, PM_NOREMOVE, FALSE, 0},
        {window, 0, 0, PM_REMOVE, TRUE, WM_USER + 1},
        {nullptr, 0, 0, PM_NOREMOVE, FALSE, 0},
    };
    for (const auto& s : steps) {
        m = MSG{};
        EXPECT_EQ(s.found, PeekMessageW(&m, s.window, s.first, s.last, s.remove));
        EXPECT_EQ(s.message, m.message);
    }
}

TEST_F(Messages, DispatchCallsTheWindowProcedureAndTranslateTypesCharacters) {
    PostMessageW(window, WM_KEYDOWN, 'Q', 0);
    PostMessageW(window, WM_KEYDOWN, VK_SHIFT, 0);
    MSG m{};
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        EXPECT_EQ(static_cast<LRESULT>(m.message) + 1, DispatchMessageW(&m));
    }
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, 'Q'}, {WM_KEYDOWN, VK_SHIFT}, {WM_CHAR, 'q'}};
    EXPECT_EQ(expected, g_received);
}

TEST_F(Messages, QuitComesAfterEveryOtherMessage) {
    PostQuitMessage(3);
    PostMessageW(window, WM_USER, 0, 0);
    MSG m{};
    EXPECT_EQ(TRUE, GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(WM_USER, m.message);
    EXPECT_TRUE(PeekMessageW(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE))
        << "WM_QUIT passes any range";
    EXPECT_EQ(WM_QUIT, m.message);
    EXPECT_EQ(FALSE, GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(3u, m.wParam);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(Messages, PostsReachOtherThreadsAndFailForUnknownTargets) {
    std::atomic<DWORD> workerId{0};
    std::atomic<bool> go{false};
    WPARAM got = 0;
    std::thread worker([&] {
        MSG m{};
        PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE);  // makes the queue
        workerId = GetCurrentThreadId();
        while (GetMessageW(&m, nullptr, 0, 0) > 0) {
            got += m.wParam;
        }
        go = true;
    });
    while (workerId == 0) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(PostThreadMessageW(workerId, WM_APP, 5, 0));
    EXPECT_TRUE(PostThreadMessageW(workerId, WM_APP, 6, 0));
    EXPECT_TRUE(PostThreadMessageW(workerId, WM_QUIT, 0, 0));
    worker.join();
    EXPECT_TRUE(go);
    EXPECT_EQ(11u, got) << "a posted WM_QUIT ends GetMessage";

    EXPECT_FALSE(PostThreadMessageW(workerId, WM_APP, 0, 0)) << "its queue went with the thread";
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_THREAD_ID), GetLastError());
    const HWND gone = qv::win32::createWindowHandle(nullptr);
    qv::win32::destroyWindowHandle(gone);
    EXPECT_FALSE(PostMessageW(gone, WM_APP, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
    EXPECT_FALSE(IsWindow(gone));
}

TEST_F(Messages, TheHostWindowIsActiveUnlessAnotherIsMadeActive) {
    const HWND host = qv::win32::hostWindow();
    EXPECT_TRUE(IsWindow(host));
    EXPECT_EQ(host, GetActiveWindow());
    EXPECT_EQ(host, GetForegroundWindow());
    DWORD pid = 0;
    EXPECT_EQ(GetCurrentProcessId(), GetWindowThreadProcessId(host, &pid));
    EXPECT_EQ(host, SetActiveWindow(window));
    EXPECT_EQ(window, GetActiveWindow());
    EXPECT_EQ(window, SetActiveWindow(host));
}

TEST_F(Messages, SleepAndTicksRunOnTheInjectedClock) {
    const DWORD start = GetTickCount();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(0u, SleepEx(250, FALSE));
    }
    Sleep(5);
    EXPECT_EQ(9, clock.sleepCount());
    EXPECT_EQ(2005u, clock.sleptMs());
    EXPECT_EQ(start + 2005, GetTickCount());
    SYSTEMTIME t{};
    GetLocalTime(&t);
    // A Thursday, two seconds slept after 07:04:09.
    EXPECT_EQ((std::vector<int>{2009, 3, 5, 4, 7, 4, 11}),
              (std::vector<int>{t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute,
                                t.wSecond}));
}

}  // namespace
