// Multi-line texts: what their formatting codes leave to be shown, and where their lines go.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "host/db/AcDbMText.h"

namespace {

AcDbMText mtext(const std::wstring& contents, AcDbMText::AttachmentPoint attachment,
                double width = 0.0) {
    AcDbMText text;
    AcDbMText::Data data;
    data.location = {100.0, 50.0, 0.0};
    data.height = 2.0;
    data.width = width;
    data.attachment = attachment;
    data.contents = contents;
    text.qvSetData(data);
    return text;
}

TEST(MText, FormattingCodesAreNotShown) {
    const struct {
        const wchar_t* contents;
        std::vector<std::wstring> paragraphs;
    } cases[] = {
        {L"ROOM\\PONE", {L"ROOM", L"ONE"}},
        {L"a\\Nb\\Xc^Jd", {L"a", L"b", L"c", L"d"}},
        {L"{\\fArial|b1|i0;Office} {\\H2.5x;\\C1;12}", {L"Office 12"}},
        {L"\\W0.8;\\Q15;\\T1.1;\\A1;\\pxqc;\\Lun\\lder\\Oo\\o\\Kk\\k", {L"underok"}},
        {L"1\\S1/2;\" and \\S3^4; \\S5#8;", {L"11/2\" and 3/4 5/8"}},
        {L"a\\\\b\\{c\\}d\\~e", {L"a\\b{c}d\u00A0e"}},
        {L"\\U+00B2m^Ix^ y", {L"\u00B2m x^y"}},
        {L"\\M+1A4A1", {L""}},
        {L"", {L""}},
        {L"trailing\\", {L"trailing\\"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.contents, c.contents + std::wcslen(c.contents)));
        EXPECT_EQ(mtext(c.contents, AcDbMText::kTopLeft).qvParagraphs(), c.paragraphs);
    }
}

// Each character one unit wide at a height of one: 2 at the height of 2.
TEST(MText, LinesAreWrappedAndPlacedByTheAttachmentPoint) {
    const AcDbMText::Measure measure = [](std::wstring_view text) {
        return static_cast<double>(text.size());
    };
    const struct {
        AcDbMText::AttachmentPoint attachment;
        double width;
        std::vector<AcDbMText::Line> lines;  // x and y from the location
    } cases[] = {
        // 10 wide: "aa bb" (10) fits, "cc" goes to the next line; lines 10/3 apart
        {AcDbMText::kTopLeft, 10.0, {{L"aa bb", 0, -2, 10}, {L"cc", 0, -2 - 10.0 / 3, 4}}},
        {AcDbMText::kMiddleCenter, 10.0,
         {{L"aa bb", -5, 5.0 / 3 - 1, 10}, {L"cc", -2, -5.0 / 3 - 1, 4}}},
        {AcDbMText::kBottomRight, 0.0, {{L"aa bb cc", -16, 0, 16}}},
        // a word longer than the width keeps a line of its own
        {AcDbMText::kBottomLeft, 3.0,
         {{L"aa", 0, 20.0 / 3, 4}, {L"bb", 0, 10.0 / 3, 4}, {L"cc", 0, 0, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.attachment));
        const auto lines = mtext(L"aa bb cc", c.attachment, c.width).qvLayout(measure);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i].text, c.lines[i].text);
            EXPECT_NEAR(lines[i].x, c.lines[i].x, 1e-9);
            EXPECT_NEAR(lines[i].y, c.lines[i].y, 1e-9);
            EXPECT_NEAR(lines[i].width, c.lines[i].width, 1e-9);
        }
    }
}

}  // namespace
