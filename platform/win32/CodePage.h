// Text conversions between wide text and the byte encodings the platform uses: the Windows ANSI
// code page (Windows-1252, as on an English Windows) and UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// Windows-1252 bytes to wide text. Every byte has a character (the five bytes that 1252 leaves
// undefined map to the control characters of the same value, as Windows does).
std::wstring ansiToWide(std::string_view bytes);

// Wide text to Windows-1252. A character that has no byte becomes `defaultChar`; when
// `usedDefault` is given it is set to whether that happened.
std::string wideToAnsi(std::wstring_view text, char defaultChar = '?', bool* usedDefault = nullptr);

// One Windows-1252 byte for a character, or -1 when the code page has none.
int wideCharToAnsiByte(wchar_t ch);

// UTF-8 to wide text; an ill-formed sequence becomes U+FFFD and decoding goes on.
std::wstring utf8ToWide(std::string_view bytes);
// Wide text to UTF-8; a value that is no Unicode scalar becomes U+FFFD.
std::string wideToUtf8(std::wstring_view text);

// Upper- and lower-case forms as the Windows runtime gives them in its default locale: ASCII
// letters and the letters of Latin-1.
wchar_t toUpperChar(wchar_t ch);
wchar_t toLowerChar(wchar_t ch);
// The text with every character in its lower-case form.
std::wstring toLower(std::wstring_view text);
// Whether two texts are the same but for the case of their letters.
bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace qv
