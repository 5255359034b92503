#include "host/ed/Wildcard.h"

#include <cwctype>
#include <vector>

#include "host/db/ResBuf.h"

namespace qv::host::ed {
namespace {

// One element of a compiled alternative.
struct Element {
    enum Kind { Literal, Digit, Letter, Other, AnyOne, AnyRun, Set } kind = Literal;
    wchar_t ch = 0;
    bool negated = false;                             // for Set
    std::vector<std::pair<wchar_t, wchar_t>> ranges;  // for Set
};

wchar_t fold(wchar_t c, bool ignoreCase) {
    return ignoreCase ? static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c))) : c;
}

// Parses a bracket set starting after "[" at `i`; returns false (nothing consumed) when the
// bracket is not closed.
bool parseSet(std::wstring_view p, size_t& i, Element& out) {
    size_t j = i;
    Element set;
    set.kind = Element::Set;
    if (j < p.size() && p[j] == L'~') {
        set.negated = true;
        ++j;
    }
    bool first = true;
    while (j < p.size() && (p[j] != L']' || first)) {
        wchar_t lo = p[j];
        if (lo == L'`' && j + 1 < p.size()) {
            lo = p[++j];
        }
        ++j;
        if (j + 1 < p.size() && p[j] == L'-' && p[j + 1] != L']') {
            wchar_t hi = p[j + 1];
            j += 2;
            if (hi == L'`' && j < p.size()) {
                hi = p[j++];
            }
            set.ranges.emplace_back(lo, hi);
        } else {
            set.ranges.emplace_back(lo, lo);
        }
        first = false;
    }
    if (j >= p.size()) {
        return false;
    }
    i = j + 1;
    out = std::move(set);
    return true;
}

}  // namespace

struct WildcardPattern::Alternative {
    bool negated = false;
    std::vector<Element> elements;
};

namespace {

using Alternative = WildcardPattern::Alternative;

// The alternatives of a pattern, each compiled; commas inside brackets or after "`" are kept.
std::vector<Alternative> compile(std::wstring_view p) {
    std::vector<Alternative> out(1);
    bool atStart = true;
    for (size_t i = 0; i < p.size();) {
        const wchar_t c = p[i++];
        if (c == L',') {
            out.emplace_back();
            atStart = true;
            continue;
        }
        if (c == L'~' && atStart) {
            out.back().negated = true;
            atStart = false;
            continue;
        }
        atStart = false;
        Element e;
        switch (c) {
            case L'#':
                e.kind = Element::Digit;
                break;
            case L'@':
                e.kind = Element::Letter;
                break;
            case L'.':
                e.kind = Element::Other;
                break;
            case L'?':
                e.kind = Element::AnyOne;
                break;
            case L'*':
                e.kind = Element::AnyRun;
                break;
            case L'`':
                e.ch = i < p.size() ? p[i++] : L'`';
                break;
            case L'[':
                if (!parseSet(p, i, e)) {
                    e.ch = L'[';
                }
                break;
            default:
                e.ch = c;
                break;
        }
        out.back().elements.push_back(std::move(e));
    }
    return out;
}

bool matchesOne(const Element& e, wchar_t c, bool ignoreCase) {
    switch (e.kind) {
        case Element::Literal:
            return fold(e.ch, ignoreCase) == fold(c, ignoreCase);
        case Element::Digit:
            return std::iswdigit(static_cast<wint_t>(c)) != 0;
        case Element::Letter:
            return std::iswalpha(static_cast<wint_t>(c)) != 0;
        case Element::Other:
            return std::iswalnum(static_cast<wint_t>(c)) == 0;
        case Element::AnyOne:
        case Element::AnyRun:
            return true;
        case Element::Set: {
            bool in = false;
            const wchar_t fc = fold(c, ignoreCase);
            for (const auto& [lo, hi] : e.ranges) {
                if ((c >= lo && c <= hi) ||
                    (fc >= fold(lo, ignoreCase) && fc <= fold(hi, ignoreCase))) {
                    in = true;
                    break;
                }
            }
            return in != e.negated;
        }
    }
    return false;
}

// Iterative matching with one back-tracking point for the last "*" seen, which is enough since a
// later star can always absorb what an earlier one would have.
bool matchElements(std::wstring_view text, const std::vector<Element>& elements, bool ignoreCase) {
    size_t t = 0, e = 0;
    size_t starElement = std::wstring_view::npos, starText = 0;
    while (t < text.size()) {
        if (e < elements.size() && elements[e].kind == Element::AnyRun) {
            starElement = e++;
            starText = t;
        } else if (e < elements.size() && matchesOne(elements[e], text[t], ignoreCase)) {
            ++e;
            ++t;
        } else if (starElement != std::wstring_view::npos) {
            e = starElement + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (e < elements.size() && elements[e].kind == Element::AnyRun) {
        ++e;
    }
    return e == elements.size();
}

}  // namespace

WildcardPattern::WildcardPattern(std::wstring_view pattern) : m_alternatives(compile(pattern)) {}
WildcardPattern::~WildcardPattern() = default;
WildcardPattern::WildcardPattern(const WildcardPattern&) = default;
WildcardPattern::WildcardPattern(WildcardPattern&&) noexcept = default;
WildcardPattern& WildcardPattern::operator=(const WildcardPattern&) = default;
WildcardPattern& WildcardPattern::operator=(WildcardPattern&&) noexcept = default;

bool WildcardPattern::matches(std::wstring_view text, bool ignoreCase) const {
    for (const Alternative& alt : m_alternatives) {
        if (matchElements(text, alt.elements, ignoreCase) != alt.negated) {
            return true;
        }
    }
    return false;
}

bool wildcardMatch(std::wstring_view text, std::wstring_view pattern, bool ignoreCase) {
    return WildcardPattern(pattern).matches(text, ignoreCase);
}

}  // namespace qv::host::ed

int acutWcMatch(const ACHAR* string, const ACHAR* pattern) {
    return acutWcMatchEx(string, pattern, false);
}

int acutWcMatchEx(const ACHAR* string, const ACHAR* pattern, bool ignoreCase) {
    if (string == nullptr || pattern == nullptr) {
        return RTERROR;
    }
    return qv::host::ed::wildcardMatch(string, pattern, ignoreCase) ? RTNORM : RTERROR;
}
