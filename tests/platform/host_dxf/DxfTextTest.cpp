#include <gtest/gtest.h>

#include "DxfTestText.h"
#include "host/db/AcDbText.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/TagWriter.h"
#include "host/dxf/TextDecoding.h"
#include "support/Windows1252.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using test::entitiesOf;
using test::fixes;
using test::lines;
using test::load;
using test::section;

std::string fileWithText(std::string_view version, std::string_view codepage,
                         std::string_view text) {
    std::string header = "9\n$ACADVER\n1\n" + std::string(version) + "\n";
    if (!codepage.empty()) {
        header += "9\n$DWGCODEPAGE\n3\n" + std::string(codepage) + "\n";
    }
    return section("HEADER", header) +
           section("ENTITIES", "0\nTEXT\n5\nA\n1\n" + std::string(text) + "\n") + "0\nEOF\n";
}

// The string of the one text in model space, as UTF-8.
std::string textOf(const AcDbDatabase& db) {
    const auto* text = AcDbText::cast(entitiesOf(db).at(0));
    return text != nullptr ? qv::wideToUtf8(text->textStringConst()) : std::string("no text");
}

TEST(DxfText, IsReadAsUtf8WhateverTheVersion) {
    struct Case {
        const char* name;
        std::string file;
        std::string text;  // UTF-8, as the host sees it
        std::vector<Fix> fixes;
    };
    const Case cases[] = {
        {"ANSI_1252 before 2007",
         fileWithText("AC1015", "ANSI_1252", "Gr\xFC\xDF \x80"),
         "Gr\u00FC\u00DF \u20AC",
         {}},
        {"escapes before 2007",
         fileWithText("AC1018", "ANSI_1252", "\\U+03A9 \\U+4E2D"),
         "\u03A9 \u4E2D",
         {}},
        {"escape of a control character stays",
         fileWithText("AC1015", "", "a\\U+000Ab"),
         "a\\U+000Ab",
         {}},
        {"broken escape stays", fileWithText("AC1015", "", "\\U+12G4 \\U+1"), "\\U+12G4 \\U+1", {}},
        // "\\U+005C" is a backslash: the text is a literal "\\U+0041", not an "A" (written
        // back as it is: see IsWrittenAsUtf8)
        {"a literal escape", fileWithText("AC1015", "", "\\U+005CU+0041"), "\\U+0041", {}},
        {"R12 without a header",
         section("ENTITIES", "0\nTEXT\n1\ncaf\xE9\n") + "0\nEOF\n",
         "caf\u00E9",
         {}},
        {"UTF-8 from 2007",
         fileWithText("AC1021", "ANSI_1252", "\u00FC \u4E2D \\U+03A9"),
         "\u00FC \u4E2D \\U+03A9",
         {}},
        {"ANSI text in a 2018 file",
         fileWithText("AC1032", "", "caf\xE9"),
         "caf\u00E9",
         {Fix::InvalidUtf8}},
        {"another code page",
         fileWithText("AC1012", "dos850", "\xE9"),
         "\u00E9",
         {Fix::UnsupportedCodePage}},
        {"another code page, ASCII text", fileWithText("AC1012", "dos850", "plain"), "plain", {}},
        {"unknown version", fileWithText("AC1099", "", "\u00FC"), "\u00FC", {Fix::UnknownVersion}},
        {"byte order mark", "\xEF\xBB\xBF" + fileWithText("AC1027", "", "x"), "x", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(c.file, report);
        EXPECT_EQ(textOf(*db), c.text);
        std::vector<Fix> got = fixes(report);
        std::erase(got, Fix::AddedStructure);  // no tables in these
        EXPECT_EQ(got, c.fixes) << report.text();
    }
}

// Every byte of 0x80 to 0x9F in a file before 2007 is read as its Windows-1252 character, and
// 0xA0 as the no-break space, with or without the code page named.
TEST(DxfText, OldVersionsReadTheWholeHighTableOfTheCodePage) {
    const std::string expected = "<" + qv::wideToUtf8(qv::test::windows1252EdgeCharacters()) + ">";
    for (const char* codepage : {"ANSI_1252", ""}) {
        SCOPED_TRACE(codepage);
        AuditReport report;
        const auto db = load(
            fileWithText("AC1015", codepage, "<" + qv::test::windows1252EdgeBytes() + ">"), report);
        EXPECT_EQ(textOf(*db), expected);
    }
}

// Whatever the version read, the host writes UTF-8 (2013), and a text read back is the same.
TEST(DxfText, IsWrittenAsUtf8) {
    const std::string utf8 = "Gr\u00FC\u00DF \u20AC \u03A9 \U0001F600 \\U+0041";
    for (const char* version : {"AC1015", "AC1027"}) {
        SCOPED_TRACE(version);
        AuditReport report;
        const auto db = load(fileWithText(version, "ANSI_1252", "x"), report);
        auto* text = AcDbText::cast(entitiesOf(*db).at(0));
        qv::host::ObjectAccess::changeOwned(
            *text, [&] { text->setTextString(qv::utf8ToWide(utf8).c_str()); });
        const std::string out = writeDrawing(*db);
        EXPECT_NE(out.find("\r\n  1\r\n" + utf8 + "\r\n"), std::string::npos);
        AuditReport again;
        EXPECT_EQ(textOf(*load(out, again)), utf8);
    }
}

TEST(DxfText, CaretFormKeepsControlCharactersOnOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"a\nb", "a^Jb"},
        {"x^y", "x^ y"},
        {std::string("\x07", 1) + "\r", "^G^M"},
        {"tab\tstays", "tab\tstays"},
    };
    for (const auto& [text, encoded] : cases) {
        EXPECT_EQ(encodeCaret(text), encoded);
        EXPECT_EQ(decodeCaret(encoded), text);
        std::string out;
        TagWriter(out).text(1, text);
        EXPECT_EQ(out, "  1\r\n" + encoded + "\r\n");
    }
    EXPECT_EQ(decodeCaret("^"), "^");
    EXPECT_EQ(decodeCaret("^a"), "^a");
}

TEST(DxfText, InvalidUtf8IsFound) {
    const std::pair<std::string, size_t> cases[] = {
        {"ascii only, longer than eight bytes", std::string::npos},
        {"\u00E9\u4E2D\U0001F600", std::string::npos},
        {"abc\xC3", 3},
        {"abcdefghij\xC0\x80", 10},  // overlong
        {"ab\xED\xA0\x80", 2},       // surrogate
        {"\xF4\x90\x80\x80", 0},     // beyond U+10FFFF
        {"ok\xE2\x82", 2},           // cut short
    };
    for (const auto& [text, offset] : cases) {
        EXPECT_EQ(firstInvalidUtf8(text), offset) << text;
    }
}

}  // namespace
}  // namespace qv::dxf
