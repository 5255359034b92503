#include <gtest/gtest.h>

#include "SampleDialogs.h"
#include "support/TestEnvironment.h"

namespace {

using namespace sample;

class DataExchangeTest : public qv::test::PlatformTest {
  protected:
    // The sample dialog made and shown, with every member written to its controls.
    void open() {
        dlg.count = 0;  // a refused value stays in its member, as the framework leaves it
        dlg.size = 0.0;
        dlg.name.Empty();
        ASSERT_TRUE(dlg.Create(IDD_SAMPLE));
        dlg.ShowWindow(SW_SHOW);
        dlg.log.clear();
    }
    CString text(int id) const {
        CString s;
        dlg.GetDlgItemText(id, s);
        return s;
    }
    CString lastMessage() const { return ui.shown().empty() ? CString() : ui.shown().back().text; }

    CSampleDlg dlg;
};

struct ReadCase {
    int control;
    const wchar_t* typed;
    const wchar_t* refusal;  // nullptr: the value is taken
    double value;            // the member afterwards
};

TEST_F(DataExchangeTest, ReadsAndValidatesAsTheFrameworkDoes) {
    const ReadCase cases[] = {
        {IDC_COUNT, L" 7 ", nullptr, 7},
        {IDC_COUNT, L"-0", nullptr, 0},
        {IDC_COUNT, L"12a", L"Please enter an integer.", 0},
        {IDC_COUNT, L"", L"Please enter an integer.", 0},
        {IDC_COUNT, L"99999999999", L"Please enter an integer.", 0},
        {IDC_COUNT, L"10", L"Please enter an integer between 0 and 9.", 0},
        {IDC_COUNT, L"-1", L"Please enter an integer between 0 and 9.", 0},
        {IDC_SIZE, L"250", nullptr, 250},
        {IDC_SIZE, L" 1e3", nullptr, 1000},
        {IDC_SIZE, L".5", nullptr, 0.5},
        {IDC_SIZE, L"+2.", nullptr, 2},
        {IDC_SIZE, L"2,5", L"Please enter a number.", 0},
        {IDC_SIZE, L"1e", L"Please enter a number.", 0},
        {IDC_SIZE, L"1e999", L"Please enter a number.", 0},
        {IDC_SIZE, L"nan", L"Please enter a number.", 0},
        {IDC_SIZE, L"20000", L"Please enter a number between 0 and 10000.", 0},
        {IDC_SIZE, L"-0.001", L"Please enter a number between 0 and 10000.", 0},
        {IDC_NAME, L"Kitchen 123", L"Please enter no more than 10 characters.", 0},
        {IDC_NAME, L"Kitchen", nullptr, 0},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " " << CString(c.typed));
        open();
        ui.clear();
        dlg.SetDlgItemText(c.control, c.typed);
        const BOOL ok = dlg.UpdateData(TRUE);
        EXPECT_EQ(c.refusal == nullptr, ok != FALSE);
        if (c.refusal) {
            ASSERT_EQ(1u, ui.shown().size());
            EXPECT_EQ(CString(c.refusal), lastMessage());
            EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, ui.shown().back().type);
            // The focus goes back to the refused control with its text selected.
            ASSERT_NE(nullptr, CWnd::GetFocus());
            EXPECT_EQ(c.control, CWnd::GetFocus()->GetDlgCtrlID());
            int start = -1, end = -1;
            static_cast<CEdit*>(dlg.GetDlgItem(c.control))->GetSel(start, end);
            EXPECT_EQ(0, start);
            EXPECT_EQ(CString(c.typed).GetLength(), end);
        } else {
            EXPECT_TRUE(ui.shown().empty()) << lastMessage();
            const double got = c.control == IDC_COUNT ? dlg.count : dlg.size;
            EXPECT_EQ(c.value, got);
        }
        dlg.DestroyWindow();
    }
}

TEST_F(DataExchangeTest, RefusalStopsTheExchangeAtTheRefusedControl) {
    open();
    dlg.SetDlgItemText(IDC_NAME, L"Office");  // exchanged before the count
    dlg.SetDlgItemText(IDC_COUNT, L"x");
    dlg.SetDlgItemText(IDC_SIZE, L"5");  // exchanged after it
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(CString(L"Office"), dlg.name);
    EXPECT_EQ(0.0, dlg.size);
}

TEST_F(DataExchangeTest, WritesNumbersAsTheFrameworkShowsThem) {
    const struct {
        double value;
        const wchar_t* shown;
    } doubles[] = {
        {250.0, L"250"},  {0.1, L"0.1"},       {1.0 / 3, L"0.333333333333333"},
        {1e20, L"1e+20"}, {1e-5, L"1e-05"},    {12345678.9, L"12345678.9"},
        {-0.5, L"-0.5"},  {123456789012345678.0, L"1.23456789012346e+17"},
    };
    open();
    for (const auto& d : doubles) {
        dlg.size = d.value;
        dlg.count = -42;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(CString(d.shown), text(IDC_SIZE));
        EXPECT_EQ(CString(L"-42"), text(IDC_COUNT));
    }
}

TEST_F(DataExchangeTest, ChecksAndRadioGroupsGoBothWays) {
    open();
    dlg.flag = 1;
    dlg.units = 1;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(BST_CHECKED, dlg.IsDlgButtonChecked(IDC_FLAG));
    EXPECT_EQ(BST_UNCHECKED, dlg.IsDlgButtonChecked(IDC_METRIC));
    EXPECT_EQ(BST_CHECKED, dlg.IsDlgButtonChecked(IDC_IMPERIAL));

    dlg.CheckRadioButton(IDC_METRIC, IDC_IMPERIAL, IDC_METRIC);
    dlg.CheckDlgButton(IDC_FLAG, BST_UNCHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(0, dlg.flag);
    EXPECT_EQ(0, dlg.units);

    dlg.CheckDlgButton(IDC_METRIC, BST_UNCHECKED);  // no radio button of the group is set
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(-1, dlg.units);
}

TEST_F(DataExchangeTest, WritingLeavesAnUnchangedTextAlone) {
    open();
    CEdit* name = static_cast<CEdit*>(dlg.GetDlgItem(IDC_NAME));
    // The user typed "Hall" and put the caret after the "H".
    qv::win::perform(dlg.m_hWnd, *qv::ui::parseDialogAction(L"set 1001 Hall"));
    name->SetSel(1, 1);
    ASSERT_TRUE(dlg.UpdateData(TRUE));

    dlg.UpdateData(FALSE);  // the same text: the edit keeps its state
    int start = 0, end = 0;
    name->GetSel(start, end);
    EXPECT_EQ(1, start);
    EXPECT_TRUE(name->GetModify());

    dlg.name = L"Hallway";  // another text: written, which resets the edit's state
    dlg.UpdateData(FALSE);
    name->GetSel(start, end);
    EXPECT_EQ(0, start);
    EXPECT_FALSE(name->GetModify());
    EXPECT_EQ(CString(L"Hallway"), text(IDC_NAME));
}

TEST_F(DataExchangeTest, ControlNotificationsAreIgnoredDuringTheExchange) {
    open();
    dlg.name = L"Store";
    dlg.UpdateData(FALSE);
    EXPECT_TRUE(dlg.log.empty());  // the edit told the dialog, which did not listen
    dlg.SetDlgItemText(IDC_NAME, L"Lab");
    ASSERT_EQ(1u, dlg.log.size());
    EXPECT_EQ(CString(L"name Lab"), dlg.log[0]);
}

TEST_F(DataExchangeTest, AControlMissingFromTheTemplateIsReported) {
    class CWrongDlg : public CDialog {
      public:
        CWrongDlg() : CDialog(IDD_TOOL) {}
        CString text;
        void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 4711, text); }
    } wrong;
    ASSERT_TRUE(wrong.Create(IDD_TOOL));  // its own initialisation reports the first time
    ui.clear();
    EXPECT_FALSE(wrong.UpdateData(TRUE));
    ASSERT_EQ(1u, ui.shown().size());
    EXPECT_EQ(CString(L"Unsupported operation was attempted."), lastMessage());
}

TEST_F(DataExchangeTest, MaxCharsLimitsTyping) {
    open();
    const auto outcome =
        qv::win::perform(dlg.m_hWnd, *qv::ui::parseDialogAction(L"set 1001 A long name indeed"));
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ(CString(L"A long nam"), text(IDC_NAME));
    dlg.SetDlgItemText(IDC_NAME, L"Programs may write more");  // only typing is limited
    EXPECT_EQ(CString(L"Programs may write more"), text(IDC_NAME));
}

}  // namespace
