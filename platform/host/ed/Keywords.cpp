#include "host/ed/Keywords.h"

#include <cwctype>
#include <sstream>

namespace qv::host::ed {
namespace {

std::wstring upper(std::wstring s) {
    for (wchar_t& c : s) {
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    }
    return s;
}

bool isUpper(wchar_t c) {
    return std::iswupper(static_cast<wint_t>(c)) != 0;
}

}  // namespace

KeywordList::Keyword KeywordList::parse(const std::wstring& text) {
    Keyword k;
    const size_t comma = text.find(L',');
    k.word = text.substr(0, comma);
    if (comma != std::wstring::npos) {
        k.abbreviation = upper(text.substr(comma + 1));
        k.minimum = k.word.size();
        return k;
    }
    k.minimum = k.word.size();
    for (size_t c = 0; c < k.word.size(); ++c) {
        if (isUpper(k.word[c])) {
            k.abbreviation += k.word[c];
            k.minimum = c + 1;
        }
    }
    return k;
}

KeywordList::KeywordList(const std::wstring& list) {
    std::wistringstream words(list);
    std::wstring word;
    bool globals = false;
    while (words >> word) {
        if (word == L"_") {
            globals = true;
        } else {
            (globals ? m_globals : m_keywords).push_back(parse(word));
        }
    }
    for (size_t i = 0; i < m_keywords.size(); ++i) {
        m_keywords[i].global = i < m_globals.size() ? m_globals[i].word : m_keywords[i].word;
    }
    for (Keyword& g : m_globals) {
        g.global = g.word;
    }
}

bool KeywordList::names(const Keyword& keyword, const std::wstring& typed) {
    const std::wstring t = upper(typed);
    const std::wstring w = upper(keyword.word);
    if (t.empty()) {
        return false;
    }
    if (t == w || (!keyword.abbreviation.empty() && t == keyword.abbreviation)) {
        return true;
    }
    return t.size() >= keyword.minimum && t.size() <= w.size() && w.compare(0, t.size(), t) == 0;
}

std::optional<std::wstring> KeywordList::match(const std::wstring& typed) const {
    // "_" names a global keyword; without a global list the local keywords are the global ones.
    const bool global = !typed.empty() && typed[0] == L'_';
    const std::vector<Keyword>& list = global && !m_globals.empty() ? m_globals : m_keywords;
    const std::wstring text = global ? typed.substr(1) : typed;
    for (const Keyword& k : list) {
        if (names(k, text)) {
            return k.global;
        }
    }
    return std::nullopt;
}

std::wstring KeywordList::display() const {
    std::wstring out;
    for (const Keyword& k : m_keywords) {
        out += (out.empty() ? L"" : L"/") + k.word;
    }
    return out;
}

}  // namespace qv::host::ed
