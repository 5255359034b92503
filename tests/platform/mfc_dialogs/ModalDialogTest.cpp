#include <gtest/gtest.h>

#include "SampleDialogs.h"
#include "support/TestEnvironment.h"

namespace {

using namespace sample;

class ModalDialogTest : public qv::test::PlatformTest {
  protected:
    ModalDialogTest() : m_windows((qv::win::mainWindow(), qv::win::windowCount())) {}
    ~ModalDialogTest() override { EXPECT_EQ(m_windows, qv::win::windowCount()); }

    void queue(std::initializer_list<const wchar_t*> lines) {
        for (const wchar_t* l : lines) {
            ui.queueAction(CString(l));
        }
    }
    std::vector<CString> refusals() const {
        std::vector<CString> r;
        for (const auto& n : ui.notices()) {
            if (n.refused) {
                r.push_back(n.message);
            }
        }
        return r;
    }

  private:
    std::size_t m_windows;
};

struct NotificationCase {
    const wchar_t* action;
    std::vector<CString> heard;  // what the dialog's handlers logged
};

TEST_F(ModalDialogTest, UserActionsReachTheHandlersOfTheMessageMap) {
    const NotificationCase cases[] = {
        {L"set 1001 Kitchen", {L"name Kitchen"}},
        {L"click 1004", {L"flag 1"}},
        {L"check 1004", {L"flag 1"}},
        {L"uncheck 1004", {}},  // already clear: nothing to click
        {L"select 1007 Gross Area", {L"kind Gross Area"}},
        {L"select 1007 gross area", {L"kind Gross Area"}},
        {L"select 1007 1", {L"kind Gross Area"}},
        {L"select 1008 beta", {L"list Beta"}},
        {L"dblclick 1008 0", {L"list alpha", L"double-click"}},
        {L"click 1009", {L"apply"}},
        {L"menu 32770", {L"about"}},
        {L"menu 32768", {L"close"}},  // Exit sends the close message, which ends the dialog
        {L"close", {L"close"}},
    };
    for (const NotificationCase& c : cases) {
        SCOPED_TRACE(CStringA(c.action).GetString());
        CSampleDlg dlg;
        queue({c.action});  // then the input ends, which presses Esc
        dlg.DoModal();
        EXPECT_EQ(c.heard, dlg.log);
        EXPECT_TRUE(refusals().empty());
        ui.clear();
    }
}

TEST_F(ModalDialogTest, TheWayOutDecidesTheResult) {
    const struct {
        std::vector<const wchar_t*> actions;
        INT_PTR result;
        int count;  // the member after the dialog
    } cases[] = {
        {{L"set 1002 4", L"enter"}, IDOK, 4},
        {{L"set 1002 4", L"click 1"}, IDOK, 4},
        {{L"set 1002 4", L"cancel"}, IDCANCEL, 0},
        {{L"set 1002 4", L"close"}, IDCANCEL, 0},
        {{L"set 1002 4", L"click 2"}, IDCANCEL, 0},
        {{L"set 1002 4"}, IDCANCEL, 0},  // the input ends: Esc
        // A refused value keeps the dialog open until it is mended.
        {{L"set 1002 12", L"enter", L"set 1002 3", L"enter"}, IDOK, 3},
    };
    for (const auto& c : cases) {
        CSampleDlg dlg;
        for (const wchar_t* a : c.actions) {
            ui.queueAction(CString(a));
        }
        EXPECT_EQ(c.result, dlg.DoModal());
        EXPECT_EQ(c.count, dlg.count);
        EXPECT_EQ(0u, ui.pendingActions());
    }
    // The refused value was reported once, in the framework's words.
    int refusedShown = 0;
    for (const auto& s : ui.shown()) {
        refusedShown += s.text == L"Please enter an integer between 0 and 9." ? 1 : 0;
    }
    EXPECT_EQ(1, refusedShown);
}

TEST_F(ModalDialogTest, ActionsOutOfReachAreRefused) {
    const struct {
        const wchar_t* action;
        const wchar_t* refusal;
    } cases[] = {
        {L"click 4711", L"Control 4711 does not exist."},
        {L"click 1010", L"Control 1010 is hidden."},
        {L"set 1012 x", L"Control 1012 is read-only."},
        {L"set 1009 x", L"Control 1009 takes no text."},
        {L"click 1001", L"Control 1001 cannot be clicked."},
        {L"select 1007 Office", L"Control 1007 has no item \"Office\"."},
        {L"dblclick 1007 0", L"Control 1007 is no list box."},
        {L"uncheck 1005", L"Control 1005 is a radio button: choose another one of its group."},
        {L"check 1009", L"Control 1009 is no check box or radio button."},
        {L"menu 40000", L"The menu has no command 40000."},
    };
    for (const auto& c : cases) {
        CSampleDlg dlg;
        queue({c.action});
        dlg.DoModal();
        EXPECT_EQ(std::vector<CString>{c.refusal}, refusals()) << CStringA(c.action).GetString();
        EXPECT_TRUE(dlg.log.empty());
        ui.clear();
    }
}

// A dialog whose Cancel button is disabled from the start.
class CLockedDlg : public CSampleDlg {
  public:
    BOOL OnInitDialog() override {
        CSampleDlg::OnInitDialog();
        GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        GetDlgItem(IDC_APPLY)->EnableWindow(FALSE);
        GetMenu()->EnableMenuItem(ID_ABOUT, MF_BYCOMMAND | MF_GRAYED);
        return TRUE;
    }
};

TEST_F(ModalDialogTest, ADisabledCancelButtonStopsEscAndTheCloseBox) {
    CLockedDlg dlg;
    queue({L"cancel", L"close", L"click 1009", L"menu 32770", L"set 1011 12.5", L"enter"});
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ((std::vector<CString>{L"Esc does nothing: button 2 is disabled.",
                                    L"Control 1009 is disabled.",
                                    L"The menu command 32770 is disabled."}),
              refusals());
    // The close box sent its message; the dialog's own handling then refused to cancel.
    EXPECT_EQ(std::vector<CString>{L"close"}, dlg.log);
    // Typing into a digits-only edit drops what is no digit, and says so.
    ASSERT_FALSE(ui.notices().empty());
    EXPECT_EQ(CString(L"You can only type a number here."), ui.notices().back().message);
    EXPECT_FALSE(ui.notices().back().refused);

    // Without input, a dialog that will not end is ended all the same.
    ui.clear();
    CLockedDlg again;
    EXPECT_EQ(IDCANCEL, again.DoModal());
    EXPECT_FALSE(ui.dialogsAsked().empty());
}

// A digits-only edit stops the keys of what is no digit, and says so; a paste goes through as it
// is, as on Windows, so that a dialog must still check what such an edit holds.
TEST_F(ModalDialogTest, ADigitsOnlyEditStopsTypingButNotAPaste) {
    const struct {
        const wchar_t* action;
        const wchar_t* held;
        bool told;
    } cases[] = {
        {L"set 1011 12.5", L"125", true},
        {L"set 1011 250", L"250", false},
        {L"paste 1011 1e999", L"1e999", false},
        {L"paste 1011 nan", L"nan", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.action).GetString());
        ui.clear();
        CSampleDlg dlg;
        queue({c.action});
        dlg.DoModal();
        ASSERT_EQ(2u, ui.dialogsAsked().size());
        EXPECT_EQ(CString(c.held), ui.dialogsAsked().back().control(IDC_DIGITS)->text);
        EXPECT_EQ(c.told, !ui.notices().empty() &&
                              ui.notices().front().message == L"You can only type a number here.");
    }
}

TEST_F(ModalDialogTest, TheDriverSeesTheDialogAsTheUserDoes) {
    CSampleDlg dlg;
    dlg.name = L"Lab";
    dlg.size = 250.0;
    dlg.units = 1;
    queue({L"cancel"});
    dlg.DoModal();
    ASSERT_EQ(1u, ui.dialogsShown().size());
    const qv::ui::DialogView& view = ui.dialogsShown()[0];
    EXPECT_EQ(CString(L"Sample"), view.caption);
    EXPECT_TRUE(view.modal);
    EXPECT_TRUE(view.hasCloseBox);
    ASSERT_EQ(3u, view.menu.size());
    EXPECT_EQ(CString(L"&Tools"), view.menu[1].text);
    EXPECT_EQ(ID_OPTIONS, view.menu[1].items[0].id);

    const qv::ui::ControlView* name = view.control(IDC_NAME);
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(CString(L"Name"), name->label);
    EXPECT_EQ(CString(L"Lab"), name->text);
    EXPECT_TRUE(name->focused);  // the first control that takes the focus
    EXPECT_EQ(CString(L"250"), view.control(IDC_SIZE)->text);
    EXPECT_EQ(BST_CHECKED, view.control(IDC_IMPERIAL)->check);
    EXPECT_EQ((std::vector<std::wstring>{L"alpha", L"Beta", L"Gamma"}),
              view.control(IDC_LIST)->items);
    EXPECT_EQ(CString(L"Rooms/Spaces"), view.control(IDC_KIND)->text);
    EXPECT_FALSE(view.control(IDC_HIDDEN)->visible);
    EXPECT_TRUE(view.control(IDC_DIGITS)->numeric);
    EXPECT_TRUE(view.control(IDOK)->isDefault);
    EXPECT_EQ(std::vector<std::wstring>{L"Sample"}, ui.dialogsClosed());
}

TEST_F(ModalDialogTest, AMissingTemplateOrMenuGivesMinusOne) {
    CDialog missing(4242);
    EXPECT_EQ(-1, missing.DoModal());
    CDialog broken(IDD_BROKEN);
    EXPECT_EQ(-1, broken.DoModal());
    EXPECT_TRUE(ui.dialogsShown().empty());
}

TEST_F(ModalDialogTest, TheOwnerIsDisabledWhileTheDialogRuns) {
    const HWND main = qv::win::mainWindow();
    struct CProbeDlg : CSampleDlg {
        BOOL ownerEnabled = TRUE;
        BOOL OnInitDialog() override {
            ownerEnabled = ::IsWindowEnabled(qv::win::mainWindow());
            return CSampleDlg::OnInitDialog();
        }
    } dlg;
    queue({L"cancel"});
    dlg.DoModal();
    EXPECT_FALSE(dlg.ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_EQ(main, ::GetActiveWindow());
}

}  // namespace
