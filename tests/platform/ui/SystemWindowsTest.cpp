// The system's own windows (message boxes, file dialogs, the folder picker) as the current
// user-interface driver answers them, and as they answer with no driver installed.
#include <gtest/gtest.h>

#include <string>

#include "ui/UiDriver.h"
#include "win32/CommDlg.h"
#include "win32/MessageBox.h"
#include "win32/Shell.h"

namespace {

// What the system's windows give when no one is there to answer: the defaults.
struct Unattended {
    int messageBox;  // the button of an MB_YESNO box
    bool picked;     // a folder came back from the picker
    BOOL opened;     // the open dialog was confirmed
};

Unattended askEverything() {
    Unattended u{};
    u.messageBox = MessageBoxW(nullptr, L"Save?", L"Title", MB_YESNO);
    BROWSEINFOW info{};
    info.lpszTitle = L"Folder";
    PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info);
    u.picked = list != nullptr;
    ILFree(list);
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    u.opened = GetOpenFileNameW(&ofn);
    return u;
}

TEST(SystemWindows, WithoutADriverEachGivesItsDefault) {
    const struct {
        UINT type;
        int button;
    } cases[] = {
        {MB_OKCANCEL | MB_ICONWARNING, IDOK},
        {MB_ABORTRETRYIGNORE, IDABORT},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.button, MessageBoxW(nullptr, L"Text", L"Caption", c.type)) << c.type;
        EXPECT_EQ(c.button, MessageBoxA(nullptr, "Text", nullptr, c.type)) << c.type;
    }
    const Unattended u = askEverything();
    EXPECT_FALSE(u.picked);
    EXPECT_FALSE(u.opened);
}

TEST(SystemWindows, FollowTheDriverInstalledLastAndComeBackWhenItGoes) {
    qv::ui::ScriptedDriver outer;
    {
        qv::ui::DriverScope outerScope(outer);
        outer.queueButton(IDNO);
        EXPECT_EQ(IDNO, MessageBoxW(nullptr, L"Replace?", L"Confirm", MB_YESNO));
        {
            qv::ui::ScriptedDriver inner;
            qv::ui::DriverScope innerScope(inner);
            inner.queueButton(IDCANCEL);
            inner.queueFolder(L"C:\\plans");
            // Windows-1252 text and the default caption of a box without one.
            EXPECT_EQ(IDCANCEL, MessageBoxA(nullptr, "Caf\xe9 closed", nullptr, MB_OKCANCEL));
            EXPECT_TRUE(askEverything().picked);
            ASSERT_EQ(4u, inner.shown().size());
            EXPECT_EQ(L"Caf\u00e9 closed", inner.shown()[0].text);
            EXPECT_EQ(L"Error", inner.shown()[0].caption);
            EXPECT_EQ(L"Folder", inner.shown()[2].text);
            EXPECT_EQ(L"file", inner.shown()[3].kind);
            EXPECT_EQ(&inner, &qv::ui::driver());
        }
        // The inner driver is gone: the outer one answers again.
        EXPECT_EQ(IDYES, askEverything().messageBox);
        ASSERT_EQ(4u, outer.shown().size());
        EXPECT_EQ(L"Save?", outer.shown()[1].text);
        EXPECT_EQ(&outer, &qv::ui::driver());
    }
    // None is left: the defaults, and the outer driver hears nothing more.
    EXPECT_EQ(IDYES, askEverything().messageBox);
    EXPECT_EQ(4u, outer.shown().size());
}

}  // namespace
