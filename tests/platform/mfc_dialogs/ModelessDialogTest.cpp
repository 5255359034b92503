#include <gtest/gtest.h>

#include "SampleDialogs.h"
#include "support/TestEnvironment.h"

namespace {

using namespace sample;

class ModelessDialogTest : public qv::test::PlatformTest {
  protected:
    ModelessDialogTest() : m_windows((qv::win::mainWindow(), qv::win::windowCount())) {}
    ~ModelessDialogTest() override {
        EXPECT_EQ(m_windows, qv::win::windowCount());
        EXPECT_EQ(0, CToolDlg::alive);
    }

    // Made on the heap without a parent, as a command makes it.
    CToolDlg* openTool() {
        auto* tool = new CToolDlg;
        EXPECT_TRUE(tool->Create(IDD_TOOL));
        return tool;
    }
    // One turn of the host's loop with one queued action.
    bool turn(const wchar_t* action) {
        ui.queueAction(CString(action));
        return qv::win::serviceModeless();
    }

  private:
    std::size_t m_windows;
};

TEST_F(ModelessDialogTest, AHeapDialogDeletesItselfWhenItsWindowGoes) {
    const struct { const wchar_t* action; } ways[] = {{L"click 2"}, {L"cancel"}, {L"close"}};
    for (const auto& way : ways) {
        const HWND h = openTool()->m_hWnd;
        EXPECT_EQ(1, CToolDlg::alive);
        EXPECT_TRUE(turn(way.action));
        EXPECT_EQ(0, CToolDlg::alive) << CStringA(way.action).GetString();
        EXPECT_FALSE(::IsWindow(h));
        EXPECT_FALSE(qv::win::serviceModeless());  // nothing left to offer
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Tool", L"Tool", L"Tool"}), ui.dialogsClosed());

    // A posted close waits for the host's loop.
    CToolDlg* tool = openTool();
    const HWND h = tool->m_hWnd;
    tool->PostMessage(WM_CLOSE);
    EXPECT_TRUE(::IsWindow(h));
    EXPECT_FALSE(qv::win::serviceModeless());  // delivers the message; no action queued
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(ModelessDialogTest, ShowingHidingAndPicksAsTheUserSeesThem) {
    CToolDlg* tool = openTool();  // the template makes it visible
    EXPECT_EQ(std::vector<BOOL>{TRUE}, tool->showFlags);
    EXPECT_EQ(1u, ui.dialogsShown().size());
    EXPECT_EQ(tool->m_hWnd, ::GetActiveWindow());

    tool->ShowWindow(SW_SHOW);  // already shown: no notification
    EXPECT_EQ(std::vector<BOOL>{TRUE}, tool->showFlags);

    EXPECT_TRUE(turn(L"click 1009"));  // the pick minimises and restores
    EXPECT_EQ(std::vector<BOOL>{TRUE}, tool->showFlags);
    EXPECT_EQ(2u, ui.dialogsShown().size());  // the driver saw it come back
    EXPECT_EQ(tool->m_hWnd, ::GetActiveWindow());

    tool->ShowWindow(SW_MINIMIZE);
    EXPECT_TRUE(tool->IsWindowVisible());
    EXPECT_TRUE(tool->IsIconic());
    EXPECT_EQ(qv::win::mainWindow(), ::GetActiveWindow());
    EXPECT_FALSE(turn(L"click 1009"));  // a minimised dialog is not offered
    EXPECT_EQ(1u, ui.pendingActions());
    tool->ShowWindow(SW_RESTORE);

    tool->ShowWindow(SW_HIDE);
    EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE}), tool->showFlags);
    EXPECT_FALSE(qv::win::serviceModeless());
    tool->ShowWindow(SW_SHOWNORMAL);
    EXPECT_EQ((std::vector<BOOL>{TRUE, FALSE, TRUE}), tool->showFlags);
    EXPECT_TRUE(qv::win::serviceModeless());  // the queued click, now that it is shown

    tool->DestroyWindow();
}

TEST_F(ModelessDialogTest, TheKeepFocusAnswerDecidesWhoHasTheFocus) {
    for (BOOL keep : {TRUE, FALSE}) {
        CToolDlg* tool = openTool();
        tool->keepFocus = keep;
        const HWND expected = keep ? tool->m_hWnd : qv::win::mainWindow();
        EXPECT_EQ(expected, qv::win::reclaimFocusForHost());
        EXPECT_EQ(expected, ::GetActiveWindow());
        tool->DestroyWindow();
    }
    // A plain dialog does not know the message and loses the focus.
    CSampleDlg plain;
    plain.Create(IDD_SAMPLE);
    plain.ShowWindow(SW_SHOW);
    EXPECT_EQ(qv::win::mainWindow(), qv::win::reclaimFocusForHost());
}

TEST_F(ModelessDialogTest, EndingAModelessDialogOnlyHidesIt) {
    auto* dlg = new CSampleDlg;
    dlg->Create(IDD_SAMPLE);
    dlg->ShowWindow(SW_SHOW);
    const HWND h = dlg->m_hWnd;
    EXPECT_TRUE(turn(L"cancel"));
    EXPECT_TRUE(::IsWindow(h));
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_EQ(std::vector<std::wstring>{L"Sample"}, ui.dialogsClosed());
    delete dlg;  // the object takes its window along
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(1u, ui.dialogsClosed().size());
}

// Ends its window and deletes itself inside its Cancel handler.
class CSelfEndingDlg : public CSampleDlg {
  public:
    explicit CSelfEndingDlg(bool* deleted) : m_deleted(deleted) {}
    ~CSelfEndingDlg() override { *m_deleted = true; }

  protected:
    void OnCancel() override {
        CDialog::OnCancel();
        delete this;
    }

  private:
    bool* m_deleted;
};

TEST_F(ModelessDialogTest, AHandlerMayDeleteItsDialog) {
    for (const wchar_t* way : {L"click 2", L"cancel", L"menu 32768"}) {
        bool deleted = false;
        auto* dlg = new CSelfEndingDlg(&deleted);
        dlg->Create(IDD_SAMPLE);
        dlg->ShowWindow(SW_SHOW);
        const HWND h = dlg->m_hWnd;
        EXPECT_TRUE(turn(way));
        EXPECT_TRUE(deleted) << CStringA(way).GetString();
        EXPECT_FALSE(::IsWindow(h));
    }
}

TEST_F(ModelessDialogTest, PagesOfATabControlAreReachedThroughTheDialog) {
    CTabsDlg dlg;
    dlg.Create(IDD_TABS);
    dlg.ShowWindow(SW_SHOW);

    const qv::ui::DialogView view = qv::win::describe(dlg.m_hWnd);
    const qv::ui::ControlView* tab = view.control(IDC_TABS);
    ASSERT_NE(nullptr, tab);
    EXPECT_EQ(CString(L"tab"), tab->kind);
    EXPECT_EQ((std::vector<std::wstring>{L"Space Data", L"Format"}), tab->items);
    EXPECT_TRUE(view.control(IDC_PAGE_BUTTON, IDD_PAGE_DATA)->visible);
    EXPECT_FALSE(view.control(IDC_PAGE_BUTTON, IDD_PAGE_FORMAT)->visible);

    const struct {
        const wchar_t* action;
        const wchar_t* refusal;  // nullptr: done
    } steps[] = {
        {L"click 244", nullptr},          // the button of the shown page
        {L"select 245 Format", nullptr},  // a click on the tab switches the page
        {L"click 244", nullptr},          // now the other page's button
        {L"click 9005:245", nullptr},     // a page's control whose id the tab control has
        {L"click 9004:244", L"Control 9004:244 is hidden."},
        {L"select 245 Format", nullptr},  // the current tab: nothing changes
        {L"select 245 Chart", L"Control 245 has no tab \"Chart\"."},
    };
    for (const auto& s : steps) {
        const auto outcome = qv::win::perform(dlg.m_hWnd, *qv::ui::parseDialogAction(s.action));
        EXPECT_EQ(s.refusal == nullptr, outcome.done) << CStringA(s.action).GetString();
        if (s.refusal) {
            EXPECT_EQ(CString(s.refusal), outcome.message);
        }
    }
    EXPECT_EQ((std::vector<CString>{L"page 9004 button", L"tab 1", L"page 9005 button"}), dlg.log);
    EXPECT_EQ(1, dlg.tabs.currentPage);

    dlg.locked = true;  // the dialog refuses to let the tab change
    qv::win::perform(dlg.m_hWnd, *qv::ui::parseDialogAction(L"select 245 0"));
    EXPECT_EQ(1, dlg.tabs.GetCurSel());
    EXPECT_EQ(3u, dlg.log.size());
}

}  // namespace
