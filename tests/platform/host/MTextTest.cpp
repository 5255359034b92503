// Multi-line texts: what their formatting codes leave to be shown, and where their lines go.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "host/db/AcDbMText.h"

namespace {

AcDbMText mtext(const std::wstring& contents, AcDbMText::AttachmentPoint attachment,
                double width = 0.0, AcDbMText::Columns columns = {}) {
    AcDbMText text;
    AcDbMText::Data data;
    data.location = {100.0, 50.0, 0.0};
    data.height = 2.0;
    data.width = width;
    data.attachment = attachment;
    data.contents = contents;
    data.columns = std::move(columns);
    text.qvSetData(data);
    return text;
}

// Each character one unit wide at a height of one: 2 at the height of 2.
const AcDbMText::Measure kOnePerCharacter = [](std::wstring_view text) {
    return static_cast<double>(text.size());
};

// Where a line should go (from the location), and how wide and high it is.
struct Placed {
    std::wstring text;
    double x, y, width, height;
};

void expectLines(const std::vector<AcDbMText::Line>& lines, const std::vector<Placed>& expected) {
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].text, expected[i].text);
        EXPECT_NEAR(lines[i].x, expected[i].x, 1e-9);
        EXPECT_NEAR(lines[i].y, expected[i].y, 1e-9);
        EXPECT_NEAR(lines[i].width, expected[i].width, 1e-9);
        EXPECT_NEAR(lines[i].height, expected[i].height, 1e-9);
    }
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

TEST(MText, LinesAreWrappedAndPlacedByTheAttachmentPoint) {
    const struct {
        AcDbMText::AttachmentPoint attachment;
        double width;
        std::vector<Placed> lines;
    } cases[] = {
        // 10 wide: "aa bb" (10) fits, "cc" goes to the next line; lines 10/3 apart
        {AcDbMText::kTopLeft, 10.0, {{L"aa bb", 0, -2, 10, 2}, {L"cc", 0, -2 - 10.0 / 3, 4, 2}}},
        {AcDbMText::kMiddleCenter, 10.0,
         {{L"aa bb", -5, 5.0 / 3 - 1, 10, 2}, {L"cc", -2, -5.0 / 3 - 1, 4, 2}}},
        {AcDbMText::kBottomRight, 0.0, {{L"aa bb cc", -16, 0, 16, 2}}},
        // a word longer than the width keeps a line of its own
        {AcDbMText::kBottomLeft, 3.0,
         {{L"aa", 0, 20.0 / 3, 4, 2}, {L"bb", 0, 10.0 / 3, 4, 2}, {L"cc", 0, 0, 4, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.attachment));
        expectLines(mtext(L"aa bb cc", c.attachment, c.width).qvLayout(kOnePerCharacter),
                    c.lines);
    }
}

// \H sets the height up to the end of its braces; a line's top lies 5/3 of the height of the
// line above (its tallest capitals) below that line's top. Top left, 2 high.
TEST(MText, HeightCodesSetTheHeightOfWhatFollows) {
    struct Run {
        std::wstring text;
        double x, height;
    };
    const struct {
        const wchar_t* contents;
        double width;
        std::vector<Placed> lines;
        std::vector<std::vector<Run>> runs;
    } cases[] = {
        {L"a{\\H2x;bb}c", 0.0, {{L"abbc", 0, -4, 12, 4}},
         {{{L"a", 0, 2}, {L"bb", 2, 4}, {L"c", 10, 2}}}},
        {L"\\H3;ab\\Pc", 0.0, {{L"ab", 0, -3, 6, 3}, {L"c", 0, -8, 3, 3}},
         {{{L"ab", 0, 3}}, {{L"c", 0, 3}}}},
        {L"{\\H0.5X;a}\\Pb", 0.0, {{L"a", 0, -1, 1, 1}, {L"b", 0, -5.0 / 3 - 2, 2, 2}},
         {{{L"a", 0, 1}}, {{L"b", 0, 2}}}},
        // what is no height above 0 changes nothing
        {L"\\H-1;a\\H0;b\\Hx;c\\Hnan;d\\H1e999;e\\H2y;f}g", 0.0, {{L"abcdefg", 0, -2, 14, 2}},
         {{{L"abcdefg", 0, 2}}}},
        // wrapped by the widths at their heights: "aa bb" is 4 + 2 + 8
        {L"aa {\\H2x;bb} cc", 14.0,
         {{L"aa bb", 0, -4, 14, 4}, {L"cc", 0, -20.0 / 3 - 2, 4, 2}},
         {{{L"aa ", 0, 2}, {L"bb", 6, 4}}, {{L"cc", 0, 2}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.contents, c.contents + std::wcslen(c.contents)));
        const auto lines = mtext(c.contents, AcDbMText::kTopLeft, c.width).qvLayout(kOnePerCharacter);
        expectLines(lines, c.lines);
        ASSERT_EQ(lines.size(), c.runs.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i].runs.size(), c.runs[i].size()) << i;
            for (size_t r = 0; r < c.runs[i].size(); ++r) {
                EXPECT_EQ(lines[i].runs[r].text, c.runs[i][r].text);
                EXPECT_NEAR(lines[i].runs[r].x, c.runs[i][r].x, 1e-9);
                EXPECT_NEAR(lines[i].runs[r].height, c.runs[i][r].height, 1e-9);
            }
        }
    }
}

// Columns stand side by side, their tops level: a column break starts the next, a column full to
// its height passes the next line on. 2 high: lines 10/3 apart.
TEST(MText, ColumnsStandSideBySide) {
    const AcDbMText::Columns set{true, 10.0, 2.0, {}};
    auto high = [&](std::vector<double> heights) {
        AcDbMText::Columns columns = set;
        columns.heights = std::move(heights);
        return columns;
    };
    const struct {
        const char* name;
        const wchar_t* contents;
        AcDbMText::AttachmentPoint attachment;
        AcDbMText::Columns columns;
        std::vector<Placed> lines;
    } cases[] = {
        {"break", L"aa\\Nbb", AcDbMText::kTopLeft, set,
         {{L"aa", 0, -2, 4, 2}, {L"bb", 12, -2, 4, 2}}},
        // without settings: as wide as the widest line, 1.25 heights apart
        {"unset", L"aaa\\Nb", AcDbMText::kTopLeft, {},
         {{L"aaa", 0, -2, 6, 2}, {L"b", 8.5, -2, 2, 2}}},
        // centred in their columns, the two columns (22 wide) centred on the location
        {"centred", L"aa\\Nbb", AcDbMText::kTopCenter, set,
         {{L"aa", -8, -2, 4, 2}, {L"bb", 4, -2, 4, 2}}},
        // the second line's baseline would be 16/3 down
        {"full at 5", L"aa\\Pbb\\Pcc", AcDbMText::kTopLeft, high({5.0}),
         {{L"aa", 0, -2, 4, 2}, {L"bb", 12, -2, 4, 2}, {L"cc", 24, -2, 4, 2}}},
        {"full at 6", L"aa\\Pbb\\Pcc", AcDbMText::kTopLeft, high({6.0}),
         {{L"aa", 0, -2, 4, 2}, {L"bb", 0, -16.0 / 3, 4, 2}, {L"cc", 12, -2, 4, 2}}},
        // heights of their own: the last column takes the rest
        {"own heights", L"aa\\Pbb\\Pcc", AcDbMText::kTopLeft, high({4.0, 0.0}),
         {{L"aa", 0, -2, 4, 2}, {L"bb", 12, -2, 4, 2}, {L"cc", 12, -16.0 / 3, 4, 2}}},
        // bottom: the deepest column stands on the location, the others' tops level with it
        {"bottom", L"aa\\Pbb\\Ncc", AcDbMText::kBottomLeft, set,
         {{L"aa", 0, 10.0 / 3, 4, 2}, {L"bb", 0, 0, 4, 2}, {L"cc", 12, 10.0 / 3, 4, 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectLines(mtext(c.contents, c.attachment, 0.0, c.columns).qvLayout(kOnePerCharacter),
                    c.lines);
    }
}

// A long paragraph in a wide box: the wrapper measures each word once, and each line once more
// as it is set, however long the lines.
TEST(MText, WrappingMeasuresWordByWord) {
    std::wstring contents;
    for (int i = 0; i < 4000; ++i) {
        contents += L"w" + std::to_wstring(i) + L" ";
    }
    size_t measured = 0;
    const AcDbMText::Measure counting = [&](std::wstring_view text) {
        measured += text.size();
        return static_cast<double>(text.size());
    };
    // about 1,000 words a line
    const auto lines = mtext(contents, AcDbMText::kTopLeft, 2.0 * 6000).qvLayout(counting);
    ASSERT_GE(lines.size(), 4u);
    std::wstring joined;
    for (const auto& line : lines) {
        joined += line.text + L" ";
    }
    EXPECT_EQ(joined, contents);
    EXPECT_LT(measured, 3 * contents.size());
}

}  // namespace
