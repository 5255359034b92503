// Wildcard patterns, as the host matches names: in selection filters, and through acutWcMatch.
//
//   #        one digit
//   @        one letter
//   .        one character that is neither letter nor digit
//   *        any run of characters, none included
//   ?        any one character
//   ~        first in a pattern: anything the rest of the pattern does not match
//   [...]    one of the enclosed characters; "a-z" is a range; [~...] one character not enclosed
//   `        takes the next character literally
//   ,        separates alternatives; the text matches when one alternative matches
//
// A "~" elsewhere, and a "-" first or last in brackets, are literal. An unclosed "[" matches
// itself, as a literal character. Each alternative of a list carries its own "~".
#pragma once

#include <string_view>
#include <vector>

#include "../AdeskTypes.h"

namespace qv::host::ed {

// A pattern read once, for matching many texts (a selection filter over a whole plan).
class WildcardPattern {
  public:
    explicit WildcardPattern(std::wstring_view pattern);
    ~WildcardPattern();
    WildcardPattern(const WildcardPattern&);
    WildcardPattern(WildcardPattern&&) noexcept;
    WildcardPattern& operator=(const WildcardPattern&);
    WildcardPattern& operator=(WildcardPattern&&) noexcept;

    // Whether `text` matches; with ignoreCase, letters of either case match each other.
    bool matches(std::wstring_view text, bool ignoreCase) const;

    struct Alternative;

  private:
    std::vector<Alternative> m_alternatives;
};

// Whether `text` matches `pattern`; with ignoreCase, letters of either case match each other.
bool wildcardMatch(std::wstring_view text, std::wstring_view pattern, bool ignoreCase);

}  // namespace qv::host::ed

// RTNORM when the string matches the pattern (case matters), RTERROR when it does not or either
// is null.
int acutWcMatch(const ACHAR* string, const ACHAR* pattern);
// The same, without regard to case when ignoreCase is true.
int acutWcMatchEx(const ACHAR* string, const ACHAR* pattern, bool ignoreCase);
