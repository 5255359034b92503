// UTF-16 text for the ODBC wide-character calls (unixODBC's SQLWCHAR is 16 bits, wchar_t 32).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qv::odbc {

// Wide text to UTF-16; a value that is no Unicode scalar becomes U+FFFD.
std::u16string toUtf16(std::wstring_view text);
// `count` UTF-16 units to wide text; an unpaired surrogate becomes U+FFFD.
std::wstring fromUtf16(const unsigned short* units, std::size_t count);

}  // namespace qv::odbc
