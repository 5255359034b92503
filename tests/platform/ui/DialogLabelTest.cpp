// Controls named by their labels, and list items as the terminal shows them.
#include <gtest/gtest.h>

#include "ui/DialogView.h"
#include "win32/CodePage.h"

namespace {

qv::ui::ControlView control(int id, const wchar_t* kind, const wchar_t* label, UINT page = 0) {
    qv::ui::ControlView c;
    c.id = id;
    c.kind = kind;
    c.label = label;
    c.page = page;
    return c;
}

qv::ui::DialogView hyperlinkDialog() {
    qv::ui::DialogView view;
    view.caption = L"Links";
    view.controls = {control(233, L"button", L"&Select Block"),
                     control(311, L"edit", L"Next Space Name:"),
                     control(1, L"button", L"OK"),
                     control(2, L"button", L"Ok"),
                     control(4, L"button", L"Apply"),
                     control(5, L"button", L"Apply"),
                     control(244, L"edit", L"Rooms...", 208)};
    return view;
}

TEST(DialogLabels, NameTheOneControlWithThatLabel) {
    const struct {
        const wchar_t* line;
        int control;
        UINT page;
        const wchar_t* text;
        const wchar_t* why;  // empty: resolved
    } cases[] = {
        {L"click Select Block", 233, 0, L"", L""},
        {L"click select block", 233, 0, L"", L""},
        {L"set \"Next Space Name\" Room 5", 311, 0, L"Room 5", L""},
        {L"set \"next space name:\" \" x \"", 311, 0, L" x ", L""},
        {L"click OK", 1, 0, L"", L""},  // exact before case-blind
        {L"click Ok", 2, 0, L"", L""},
        {L"click ok", 0, 0, L"", L"Several controls are labelled \"ok\" (1, 2): give the id."},
        {L"click Apply", 0, 0, L"", L"Several controls are labelled \"Apply\" (4, 5): give the id."},
        {L"set Rooms all", 244, 208, L"all", L""},
        {L"click Start", 0, 0, L"", L"No control is labelled \"Start\"."},
        {L"click 311", 311, 0, L"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qv::wideToUtf8(c.line));
        std::wstring why;
        auto a = qv::ui::parseDialogAction(c.line, &why);
        ASSERT_TRUE(a.has_value()) << qv::wideToUtf8(why);
        const bool resolved = qv::ui::resolveLabel(hyperlinkDialog(), *a, &why);
        EXPECT_EQ(std::wstring(c.why), resolved ? L"" : why);
        if (resolved) {
            EXPECT_EQ(c.control, a->control);
            EXPECT_EQ(c.page, a->page);
            EXPECT_EQ(std::wstring(c.text), a->text);
            EXPECT_TRUE(a->label.empty());
        }
    }
}

TEST(DialogLabels, ListItemsShowWithoutTheirPadding) {
    qv::ui::DialogView view;
    view.caption = L"List";
    qv::ui::ControlView list = control(246, L"list", L"");
    list.items = {L"Kitchen        ", L"  Office  "};
    view.controls = {list};
    const std::vector<std::wstring> lines = qv::ui::formatDialog(view);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(L"    0 \"Kitchen\"", lines[2]);
    EXPECT_EQ(L"    1 \"  Office\"", lines[3]);
}

}  // namespace
