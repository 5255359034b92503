// What a text reads as on the sheet: the control codes replaced, and the code points no device
// draws shown as the replacement character.
#include <gtest/gtest.h>

#include <string>

#include "host/plot/TextPainting.h"

namespace {

TEST(PlottedText, NoncharactersShowAsTheReplacementCharacter) {
    const struct {
        std::wstring text;
        const char* utf8;
    } cases[] = {
        {L"a\uFFFFb", "a\xEF\xBF\xBD" "b"},
        {L"\uFFFE", "\xEF\xBF\xBD"},
        {L"\uFDD0\uFDEF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {std::wstring(1, static_cast<wchar_t>(0x1FFFE)) + static_cast<wchar_t>(0x10FFFF),
         "\xEF\xBF\xBD\xEF\xBF\xBD"},
        // their neighbours are characters
        {L"\uFDCF\uFDF0\uFFFD\uFFFC", "\xEF\xB7\x8F\xEF\xB7\xB0\xEF\xBF\xBD\xEF\xBF\xBC"},
        {std::wstring(1, static_cast<wchar_t>(0x1FFFD)), "\xF0\x9F\xBF\xBD"},
        // control codes are resolved first
        {L"%%d%%%\uFFFF", "\xC2\xB0%\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(qv::host::plot::plottedText(c.text), c.utf8);
    }
}

}  // namespace
