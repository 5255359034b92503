#include <gtest/gtest.h>

#include "ui/DialogView.h"
#include "win32/CodePage.h"

namespace {

using Kind = qv::ui::DialogAction::Kind;

TEST(DialogActionText, ReadsEveryVerb) {
    const struct {
        const wchar_t* line;
        Kind kind;
        int control;
        UINT page;
        const wchar_t* text;
        UINT command;
    } cases[] = {
        {L"set 311 Kitchen", Kind::SetText, 311, 0, L"Kitchen", 0},
        {L"SET 311   two  words ", Kind::SetText, 311, 0, L"two  words", 0},
        {L"set 311 \" padded \"", Kind::SetText, 311, 0, L" padded ", 0},
        {L"set 311", Kind::SetText, 311, 0, L"", 0},
        {L"paste 219 1e999", Kind::Paste, 219, 0, L"1e999", 0},
        {L"  check 1002", Kind::Check, 1002, 0, L"", 0},
        {L"uncheck 296", Kind::Uncheck, 296, 0, L"", 0},
        {L"select 1003 Imperial", Kind::Select, 1003, 0, L"Imperial", 0},
        {L"click 1", Kind::Click, 1, 0, L"", 0},
        {L"click 208:244", Kind::Click, 244, 208, L"", 0},
        {L"dblclick 1010 2", Kind::DoubleClick, 1010, 0, L"2", 0},
        {L"menu 32769", Kind::Menu, 0, 0, L"", 32769},
        {L"close", Kind::Close, 0, 0, L"", 0},
        {L"Cancel", Kind::Cancel, 0, 0, L"", 0},
        {L"esc", Kind::Cancel, 0, 0, L"", 0},
        {L"^C", Kind::Cancel, 0, 0, L"", 0},
        {L"\x1b", Kind::Cancel, 0, 0, L"", 0},
        {L"enter\r", Kind::Enter, 0, 0, L"", 0},
        {L"show", Kind::Show, 0, 0, L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qv::wideToUtf8(c.line));
        std::wstring why;
        const auto a = qv::ui::parseDialogAction(c.line, &why);
        ASSERT_TRUE(a.has_value()) << why;
        EXPECT_EQ(c.kind, a->kind);
        EXPECT_EQ(c.control, a->control);
        EXPECT_EQ(c.page, a->page);
        EXPECT_EQ(std::wstring(c.text), a->text);
        EXPECT_EQ(c.command, a->command);
    }
}

TEST(DialogActionText, SaysWhatIsWrongWithALine) {
    const struct {
        const wchar_t* line;
        const wchar_t* why;
    } cases[] = {
        {L"obc",
         L"Unknown dialog action \"obc\": use set, paste, check, uncheck, select, click, "
         L"dblclick, menu, close, cancel, enter or show."},
        {L"click", L"click needs a control id."},
        {L"click 1:", L"\"1:\" is no control id (ID or PAGE:ID)."},
        {L"click -1", L"\"-1\" is no control id (ID or PAGE:ID)."},
        {L"click 1 now", L"click takes only a control id."},
        {L"select 1003", L"select needs an item after the control id."},
        {L"menu File", L"menu needs a command id."},
        {L"close now", L"close takes nothing after it."},
    };
    for (const auto& c : cases) {
        std::wstring why;
        EXPECT_FALSE(qv::ui::parseDialogAction(c.line, &why).has_value());
        EXPECT_EQ(std::wstring(c.why), why) << qv::wideToUtf8(c.line);
    }
}

TEST(DialogActionText, AccessKeysAreNotShown) {
    EXPECT_EQ(L"Exit", qv::ui::withoutAccessKeys(L"E&xit"));
    EXPECT_EQ(L"Save & Close", qv::ui::withoutAccessKeys(L"Save && Close"));
    EXPECT_EQ(L"End", qv::ui::withoutAccessKeys(L"End&"));
}

}  // namespace
