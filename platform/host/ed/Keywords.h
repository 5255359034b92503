// Keyword lists of acedInitGet: "Yes No", "LType Width eXit", "Inch,I Foot,F", and a list with
// local and global forms, "Ja Nein _ Yes No", where a typed keyword gives its global form.
//
// A typed text names a keyword (without regard to case) when it is the whole keyword, its
// abbreviation, or a beginning of the keyword at least as long as the part up to its last
// capital letter. The abbreviation is the text after a comma ("Inch,I"), else the keyword's
// capital letters ("eXit": "X"). A keyword without capitals has no abbreviation. A text that
// begins with "_" names a global keyword. The first keyword named in the list wins.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv::host::ed {

class KeywordList {
  public:
    KeywordList() = default;
    explicit KeywordList(const std::wstring& list);

    bool isEmpty() const { return m_keywords.empty(); }
    // The global keyword that `typed` names, if any.
    std::optional<std::wstring> match(const std::wstring& typed) const;
    // The local keywords, as a prompt shows them ("Yes/No").
    std::wstring display() const;

  private:
    struct Keyword {
        std::wstring word;          // as written, without the abbreviation after a comma
        std::wstring abbreviation;  // upper case; empty when there is none
        size_t minimum = 0;         // the shortest beginning that names it
        std::wstring global;
    };
    static Keyword parse(const std::wstring& text);
    static bool names(const Keyword& keyword, const std::wstring& typed);

    std::vector<Keyword> m_keywords;
    std::vector<Keyword> m_globals;
};

}  // namespace qv::host::ed
