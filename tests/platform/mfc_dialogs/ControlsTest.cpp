#include <gtest/gtest.h>

#include "SampleDialogs.h"
#include "support/TestEnvironment.h"

namespace {

using namespace sample;

class ControlsTest : public qv::test::PlatformTest {
  protected:
    ControlsTest() {
        dlg.Create(IDD_SAMPLE);
        list = static_cast<CListBox*>(dlg.GetDlgItem(IDC_LIST));
        combo = static_cast<CComboBox*>(dlg.GetDlgItem(IDC_KIND));
        list->ResetContent();
    }
    std::vector<CString> items() const {
        std::vector<CString> out;
        for (int i = 0; i < list->GetCount(); ++i) {
            CString s;
            list->GetText(i, s);
            out.push_back(s);
        }
        return out;
    }

    CSampleDlg dlg;
    CListBox* list = nullptr;
    CComboBox* combo = nullptr;
};

TEST_F(ControlsTest, ASortedListPlacesEachStringWithoutRegardToCase) {
    const struct {
        const wchar_t* added;
        int index;
    } steps[] = {{L"delta", 0},   {L"Bravo", 0}, {L"alpha", 0},
                 {L"Charlie", 2}, {L"ALPHA", 1}, {L"echo", 5}};
    for (const auto& s : steps) {
        EXPECT_EQ(s.index, list->AddString(s.added)) << CStringA(s.added);
    }
    EXPECT_EQ((std::vector<CString>{L"alpha", L"ALPHA", L"Bravo", L"Charlie", L"delta", L"echo"}),
              items());
    EXPECT_EQ(1, list->InsertString(1, L"zulu"));  // inserting ignores the order
    EXPECT_EQ(LB_ERR, list->InsertString(99, L"x"));
    EXPECT_EQ(7, list->InsertString(-1, L"last"));
}

TEST_F(ControlsTest, FindingWrapsRoundAndIgnoresCase) {
    for (const wchar_t* s : {L"Office 1", L"Office 10", L"Kitchen", L"office 1"}) {
        list->AddString(s);
    }
    // Sorted: Kitchen, Office 1, office 1, Office 10.
    const struct {
        int after;
        const wchar_t* text;
        bool exact;
        int found;
    } cases[] = {
        {-1, L"office 1", true, 1},  {1, L"office 1", true, 2}, {2, L"office 1", true, 1},
        {-1, L"OFFICE", false, 1},   {3, L"kit", false, 0},     {-1, L"Office", true, LB_ERR},
        {-1, L"Lab", false, LB_ERR}, {99, L"Kitchen", true, 0},
    };
    for (const auto& c : cases) {
        const int found =
            c.exact ? list->FindStringExact(c.after, c.text) : list->FindString(c.after, c.text);
        EXPECT_EQ(c.found, found) << c.after << " " << CStringA(c.text);
    }
}

TEST_F(ControlsTest, SelectionAndItemDataFollowDeletions) {
    for (const wchar_t* s : {L"a", L"b", L"c"}) {
        list->AddString(s);
    }
    EXPECT_EQ(CB_OKAY, list->SetItemData(2, 300));
    EXPECT_EQ(2, list->SetCurSel(2));
    EXPECT_EQ(2, list->DeleteString(0));
    EXPECT_EQ(1, list->GetCurSel());
    EXPECT_EQ(300u, list->GetItemData(1));
    EXPECT_EQ(1, list->DeleteString(1));
    EXPECT_EQ(LB_ERR, list->GetCurSel());
    EXPECT_EQ(LB_ERR, list->DeleteString(5));
    EXPECT_EQ(static_cast<DWORD_PTR>(LB_ERR), list->GetItemData(5));
    EXPECT_EQ(LB_ERR, list->SetCurSel(7));
    CString text = L"stale";
    list->GetText(9, text);
    EXPECT_TRUE(text.IsEmpty());
}

TEST_F(ControlsTest, AComboBoxShowsItsSelectionAndCanBeFound) {
    EXPECT_EQ(2, combo->GetCount());  // the template's strings
    EXPECT_EQ(1, combo->SelectString(-1, L"gross"));
    CString text;
    combo->GetWindowText(text);
    EXPECT_EQ(CString(L"Gross Area"), text);
    EXPECT_EQ(10, combo->GetLBTextLen(1));
    wchar_t buffer[16] = {};
    EXPECT_EQ(12, combo->GetLBText(0, buffer));
    EXPECT_STREQ(L"Rooms/Spaces", buffer);
    EXPECT_EQ(CB_ERR, combo->SetCurSel(-1));
    combo->GetWindowText(text);
    EXPECT_TRUE(text.IsEmpty());
    int data = 5;
    combo->SetItemDataPtr(0, &data);
    EXPECT_EQ(&data, combo->GetItemDataPtr(0));
    combo->ResetContent();
    EXPECT_EQ(0, combo->GetCount());
}

TEST_F(ControlsTest, DialogItemNumbersTranslateAsWindowsDoes) {
    const struct {
        const wchar_t* text;
        BOOL isSigned;
        BOOL translated;
        UINT value;
    } cases[] = {
        {L"42", TRUE, TRUE, 42},
        {L"  -7", TRUE, TRUE, static_cast<UINT>(-7)},
        {L"-7", FALSE, FALSE, 0},
        {L"12abc", TRUE, TRUE, 12},
        {L"abc", TRUE, FALSE, 0},
        {L"", TRUE, FALSE, 0},
        {L"4294967295", FALSE, TRUE, 4294967295u},
        {L"4294967296", FALSE, FALSE, 0},
        {L"2147483648", TRUE, FALSE, 0},
    };
    for (const auto& c : cases) {
        dlg.SetDlgItemText(IDC_COUNT, c.text);
        BOOL ok = -1;
        EXPECT_EQ(c.value, dlg.GetDlgItemInt(IDC_COUNT, &ok, c.isSigned)) << CStringA(c.text);
        EXPECT_EQ(c.translated, ok) << CStringA(c.text);
    }
    dlg.SetDlgItemInt(IDC_COUNT, static_cast<UINT>(-3));
    EXPECT_EQ(static_cast<UINT>(-3), dlg.GetDlgItemInt(IDC_COUNT));
    BOOL ok = TRUE;
    dlg.GetDlgItemInt(4711, &ok);
    EXPECT_FALSE(ok);
}

TEST_F(ControlsTest, TemporaryObjectsServeUntilAControlIsAttached) {
    CWnd* temporary = dlg.GetDlgItem(IDC_APPLY);
    ASSERT_NE(nullptr, temporary);
    EXPECT_EQ(temporary, dlg.GetDlgItem(IDC_APPLY));  // the same object while the window lives
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(temporary->m_hWnd));
    CButton attached;
    EXPECT_TRUE(attached.SubclassDlgItem(IDC_APPLY, &dlg));
    EXPECT_EQ(&attached, dlg.GetDlgItem(IDC_APPLY));
    CButton second;
    EXPECT_FALSE(second.Attach(attached.m_hWnd));  // one permanent object per window
    const HWND h = attached.m_hWnd;
    EXPECT_EQ(h, attached.Detach());
    EXPECT_EQ(temporary, dlg.GetDlgItem(IDC_APPLY));
    EXPECT_EQ(nullptr, dlg.GetDlgItem(4711));
    EXPECT_EQ(&dlg, CWnd::FromHandle(dlg.m_hWnd));
}

TEST_F(ControlsTest, MenusReportAndChangeTheStateOfTheirItems) {
    CMenu* bar = dlg.GetMenu();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(3, bar->GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(-1), bar->GetMenuItemID(0));  // a popup
    CMenu* tools = bar->GetSubMenu(1);
    ASSERT_NE(nullptr, tools);
    EXPECT_EQ(ID_OPTIONS, tools->GetMenuItemID(0));
    CString text;
    bar->GetMenuString(ID_ABOUT, text, MF_BYCOMMAND);
    EXPECT_EQ(CString(L"&About"), text);

    EXPECT_EQ(MF_UNCHECKED, bar->CheckMenuItem(ID_OPTIONS, MF_BYCOMMAND | MF_CHECKED));
    EXPECT_EQ(MF_CHECKED, bar->CheckMenuItem(ID_OPTIONS, MF_BYCOMMAND | MF_UNCHECKED));
    EXPECT_EQ(MF_ENABLED, bar->EnableMenuItem(ID_EXIT, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(MF_GRAYED, bar->GetMenuState(ID_EXIT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(static_cast<UINT>(-1), bar->EnableMenuItem(4711, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(static_cast<UINT>(-1), bar->GetMenuState(9, MF_BYPOSITION));

    CMenu own;
    ASSERT_TRUE(own.LoadMenu(IDR_MENU));
    EXPECT_TRUE(own.DeleteMenu(ID_ABOUT, MF_BYCOMMAND));
    EXPECT_EQ(0, own.GetSubMenu(2)->GetMenuItemCount());
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 40001, L"&Report");
    popup.AppendMenu(MF_SEPARATOR);
    const std::size_t menus = qv::win::menuCount();
    EXPECT_TRUE(own.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup.Detach()), L"&More"));
    EXPECT_EQ(0u, own.GetSubMenu(3)->GetMenuItemID(1));  // the separator
    EXPECT_FALSE(own.LoadMenu(IDR_MENU));                // it holds a menu already
    own.DestroyMenu();                                   // takes its popups along
    EXPECT_EQ(menus - 5, qv::win::menuCount());
    CMenu none;
    EXPECT_FALSE(none.LoadMenu(IDR_MISSING_MENU));
}

TEST_F(ControlsTest, TabItemsKeepTheSelectionInPlace) {
    CTabsDlg tabsDlg;
    tabsDlg.Create(IDD_TABS);
    CTabCtrl& tabs = tabsDlg.tabs;
    EXPECT_EQ(0, tabs.GetCurSel());  // the first tab inserted was selected
    EXPECT_EQ(0, tabs.SetCurSel(1));
    EXPECT_EQ(0, tabs.InsertItem(0, L"First"));
    EXPECT_EQ(2, tabs.GetCurSel());
    EXPECT_EQ(3, tabs.InsertItem(99, L"Last"));
    wchar_t buffer[4] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 4;
    ASSERT_TRUE(tabs.GetItem(2, &item));
    EXPECT_STREQ(L"For", buffer);
    CRect r;
    ASSERT_TRUE(tabs.GetItemRect(1, &r));
    TCHITTESTINFO hit{r.CenterPoint(), 0};
    EXPECT_EQ(1, tabs.HitTest(&hit));
    EXPECT_EQ(TCHT_ONITEM, hit.flags);
    EXPECT_TRUE(tabs.DeleteItem(2));
    EXPECT_EQ(-1, tabs.GetCurSel());
    EXPECT_EQ(-1, tabs.SetCurSel(7));
}

}  // namespace
