#include <gtest/gtest.h>

#include "core/SystemUtilities.h"
#include "core/TempFiles.h"
#include "support/TempDrive.h"

namespace {

class TempFilesTest : public qv::test::DriveTest {};

TEST_F(TempFilesTest, DeletesWhatExistsAndForgetsEveryName) {
    drive.writeFile("tmp/second.vrk", "x");
    drive.writeFile("tmp/kept.dwg", "x");
    CTempFiles files;
    files.add(L"C:\\tmp\\first.vrk");  // never written
    files.add(L"C:\\tmp\\second.vrk");
    EXPECT_EQ(2, files.getCount());
    files.deleteTempFiles();
    EXPECT_FALSE(drive.exists("tmp/second.vrk"));
    EXPECT_TRUE(drive.exists("tmp/kept.dwg"));
    EXPECT_EQ(0, files.getCount());

    // Names added afterwards are deleted by the next call, and only they.
    drive.writeFile("tmp/third.vrk", "x");
    drive.writeFile("tmp/second.vrk", "x");
    {
        CTempFiles later;
        later.add(L"C:\\tmp\\third.vrk");
        files.add(L"C:\\tmp\\third.vrk");
        files.deleteTempFiles();
        EXPECT_FALSE(drive.exists("tmp/third.vrk"));
        EXPECT_TRUE(drive.exists("tmp/second.vrk"));
        // A list deletes its files when it goes.
        drive.writeFile("tmp/third.vrk", "x");
    }
    EXPECT_FALSE(drive.exists("tmp/third.vrk"));
}

TEST_F(TempFilesTest, AFileThatCannotBeDeletedIsSkippedSilently) {
    drive.writeFile("locked.vrk", "x");
    drive.writeFile("free.vrk", "x");
    ASSERT_TRUE(SetFileAttributesW(L"C:\\locked.vrk", FILE_ATTRIBUTE_READONLY));
    CTempFiles files;
    files.add(L"C:\\locked.vrk");
    files.add(L"C:\\free.vrk");
    files.add(L"C:\\free.vrk");  // duplicates are kept and tried again
    files.add(L"");
    EXPECT_EQ(4, files.getCount());
    files.deleteTempFiles();
    EXPECT_EQ(0, files.getCount());
    EXPECT_TRUE(drive.exists("locked.vrk"));
    EXPECT_FALSE(drive.exists("free.vrk"));
    EXPECT_TRUE(ui.shown().empty());
}

// Counts the messages its window receives and when (in sleeps so far).
std::vector<int> dispatchedAt;
qv::ManualClock* dispatchClock = nullptr;
LRESULT CALLBACK countingProc(HWND, UINT, WPARAM, LPARAM) {
    dispatchedAt.push_back(dispatchClock->sleepCount());
    return 0;
}

class WaitTest : public qv::test::PlatformTest {
  protected:
    WaitTest() {
        dispatchedAt.clear();
        dispatchClock = &clock;
        window = qv::win32::createWindowHandle(countingProc);
    }
    ~WaitTest() override {
        qv::win32::destroyWindowHandle(window);
        MSG drained;
        while (PeekMessageW(&drained, NULL, 0, 0, PM_REMOVE)) {
        }
    }
    HWND window;
};

TEST_F(WaitTest, WaitSleepsQuarterSecondsWithMessagesPumpedFirst) {
    const struct {
        int seconds;
        int sleeps;
    } cases[] = {{0, 0}, {-3, 0}, {5, 20}};
    for (const auto& c : cases) {
        qv::ManualClock fresh;
        qv::setClock(&fresh);
        CSystemUtilities().wait(c.seconds);
        EXPECT_EQ(c.sleeps, fresh.sleepCount()) << c.seconds;
        EXPECT_EQ(static_cast<std::uint64_t>(c.sleeps) * 250, fresh.sleptMs()) << c.seconds;
    }
    qv::setClock(&clock);

    PostMessageW(window, WM_USER, 0, 0);
    PostMessageW(window, WM_USER + 1, 0, 0);
    CSystemUtilities().wait(2);
    EXPECT_EQ((std::vector<int>{0, 0}), dispatchedAt);
    EXPECT_EQ(8, clock.sleepCount());
}

TEST_F(WaitTest, DoEventsEmptiesTheQueueAndStopsAtQuit) {
    for (int i = 0; i < 3; ++i)
        PostMessageW(window, WM_USER, 0, 0);
    CSystemUtilities().doEvents();
    EXPECT_EQ(3u, dispatchedAt.size());
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, NULL, 0, 0, PM_NOREMOVE));

    PostQuitMessage(0);
    CSystemUtilities().doEvents();  // returns: the application is quitting
    EXPECT_EQ(3u, dispatchedAt.size());
    EXPECT_EQ(0, clock.sleepCount());
}

}  // namespace
