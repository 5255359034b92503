#include <gtest/gtest.h>

#include <thread>

// Through the framework's headers, as the module includes them.
#include "afxdisp.h"
#include "afxdlgs.h"
#include "shlobj.h"
#include "support/TempDrive.h"

namespace {

using qv::test::DriveTest;
using qv::test::PlatformTest;

using FileDialogs = DriveTest;

TEST_F(FileDialogs, OpenDialogIsAnsweredByTheDriver) {
    drive.writeFile("reports/level1.xml", "<x/>");
    ui.queueFile(L"C:\\reports\\level1.xml");
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_READONLY,
                       L"XML Graphic Reports (*.xml)|*.xml||");
    dialog.m_ofn.lpstrTitle = L"Choose a report";
    dialog.m_ofn.lpstrInitialDir = L"C:\\reports";
    ASSERT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(CString(L"C:\\reports\\level1.xml"), dialog.GetPathName());
    EXPECT_EQ(CString(L"level1.xml"), dialog.GetFileName());
    EXPECT_EQ(CString(L"xml"), dialog.GetFileExt());
    EXPECT_EQ(CString(L"level1"), dialog.GetFileTitle());
    EXPECT_TRUE(dialog.GetReadOnlyPref());
    const auto& request = ui.lastFileRequest();
    EXPECT_TRUE(request.openMode);
    EXPECT_EQ(CString(L"Choose a report"), request.title);
    EXPECT_EQ(CString(L"C:\\reports"), request.initialFolder);
    EXPECT_EQ(CString(L"XML Graphic Reports (*.xml)|*.xml||"), request.filter);

    CFileDialog cancelled(TRUE, nullptr, nullptr, 0, L"All Files (*.*)|*.*||");
    EXPECT_EQ(IDCANCEL, cancelled.DoModal());
}

TEST_F(FileDialogs, AnswersAreCheckedAsTheDialogChecksThem) {
    drive.writeFile("plans/a.csv", "x");
    // Open: a missing file is refused with a message and the dialog asks again.
    ui.queueFile(L"C:\\plans\\none.csv");
    ui.queueFile(L"a.csv");
    CFileDialog open(TRUE, L"csv", nullptr, OFN_FILEMUSTEXIST);
    open.m_ofn.lpstrInitialDir = L"C:\\plans";
    ASSERT_EQ(IDOK, open.DoModal());
    EXPECT_EQ(CString(L"C:\\plans\\a.csv"), open.GetPathName());
    ASSERT_EQ(3u, ui.shown().size());
    EXPECT_EQ(CString(L"C:\\plans\\none.csv\nFile not found.\nCheck the file name and try again."),
              ui.shown()[1].text);

    // Save: an existing file asks before replacing; the default extension is added.
    ui.clear();
    ui.queueFile(L"C:\\plans\\a");
    ui.queueButton(IDNO);
    ui.queueFile(L"C:\\plans\\b");
    CFileDialog save(FALSE, L"csv", L"a.csv");
    ASSERT_EQ(IDOK, save.DoModal());
    EXPECT_EQ(CString(L"C:\\plans\\b.csv"), save.GetPathName());
    ASSERT_EQ(3u, ui.shown().size());
    EXPECT_EQ(CString(L"a.csv already exists.\nDo you want to replace it?"), ui.shown()[1].text);
    EXPECT_EQ(CString(L"Confirm Save As"), ui.shown()[1].caption);
    EXPECT_EQ(CString(L"a.csv"), ui.lastFileRequest().fileName);
}

int g_dispatched = 0;

LRESULT CALLBACK countingProc(HWND, UINT, WPARAM, LPARAM) {
    ++g_dispatched;
    return 0;
}

using Pumps = PlatformTest;

TEST_F(Pumps, PumpMessageDispatchesUntilTheQueueIsEmptyOrQuit) {
    g_dispatched = 0;
    const HWND window = qv::win32::createWindowHandle(countingProc);
    for (int i = 0; i < 3; ++i) {
        PostMessageW(window, WM_USER, 0, 0);
    }
    // The waiting loop: pump while a message waits, then sleep a quarter second.
    CWinThread* thread = AfxGetThread();
    ASSERT_NE(nullptr, thread);
    for (int round = 0; round < 2; ++round) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!thread->PumpMessage()) {
                break;
            }
        }
        SleepEx(250, FALSE);
    }
    EXPECT_EQ(3, g_dispatched);
    EXPECT_EQ(2, clock.sleepCount());

    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(0);
    PostMessageW(window, WM_USER, 0, 0);
    int pumped = 0;
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE) && thread->PumpMessage()) {
        ++pumped;
    }
    EXPECT_EQ(2, pumped);
    EXPECT_EQ(5, g_dispatched);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) << "WM_QUIT was taken";
    qv::win32::destroyWindowHandle(window);
}

TEST_F(Pumps, EachThreadHasItsThreadObjectAndTheMainThreadTheApp) {
    EXPECT_EQ(static_cast<CWinThread*>(AfxGetApp()), AfxGetThread());
    EXPECT_STREQ(L"cadhost", AfxGetAppName());
    CWinThread* other = nullptr;
    std::thread([&] { other = AfxGetThread(); }).join();
    EXPECT_NE(nullptr, other);
    EXPECT_NE(AfxGetThread(), other);
    {
        CWinApp app(L"Host");
        // The default application came first and stays the application.
        EXPECT_STREQ(L"cadhost", AfxGetAppName());
    }
}

}  // namespace
