#include <gtest/gtest.h>

#include "arxHeaders.h"

namespace {

using qv::host::ed::wildcardMatch;

TEST(Wildcard, MatchesAsTheHostMatchesNames) {
    struct Case {
        const wchar_t* text;
        const wchar_t* pattern;
        bool ignoreCase;
        bool matches;
    };
    const Case cases[] = {
        {L"ROOM-12", L"ROOM-*", false, true},
        {L"ROOM-", L"ROOM-*", false, true},
        {L"room-1", L"ROOM-*", false, false},
        {L"room-1", L"ROOM-*", true, true},
        {L"MARKER-LEGEND", L"~ROOM-*", true, true},
        {L"ROOM-1", L"~ROOM-*", true, false},
        {L"XY", L"A~B", false, false},  // "~" after the start is a character
        {L"A1", L"@#", false, true},
        {L"1A", L"@#", false, false},
        {L"A-B", L"A.B", false, true},
        {L"A1B", L"A.B", false, false},
        {L"CAT", L"C?T", false, true},
        {L"CT", L"C?T", false, false},
        {L"B", L"[ABC]", false, true},
        {L"D", L"[A-C]", false, false},
        {L"d", L"[A-C]", true, false},
        {L"b", L"[A-C]", true, true},
        {L"D", L"[~ABC]", false, true},
        {L"A", L"[~ABC]", false, false},
        {L"*", L"`*", false, true},
        {L"X", L"`*", false, false},
        {L"DOOR", L"WALL,DOOR", false, true},
        {L"WINDOW", L"WALL,DOOR", false, false},
        {L"anything", L"~A,~B", false, true},
        {L"A,B", L"A`,B", false, true},
        {L"A,B", L"A[,]B", false, true},
        {L"ab", L"a*b*", false, true},
        {L"aXbYb", L"a*b", false, true},
        {L"aXbYc", L"a*b", false, false},
        {L"", L"*", false, true},
        {L"", L"", false, true},
        {L"x", L"", false, false},
        {L"[", L"[", false, true},
        {L"]", L"[]]", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wildcardMatch(c.text, c.pattern, c.ignoreCase), c.matches)
            << "text " << testing::PrintToString(std::wstring(c.text)) << " pattern "
            << testing::PrintToString(std::wstring(c.pattern));
    }
}

TEST(Wildcard, AcutWcMatchAnswersWithResultCodes) {
    EXPECT_EQ(acutWcMatch(L"ROOM-1", L"ROOM-*"), RTNORM);
    EXPECT_EQ(acutWcMatch(L"room-1", L"ROOM-*"), RTERROR);
    EXPECT_EQ(acutWcMatchEx(L"room-1", L"ROOM-*", true), RTNORM);
    EXPECT_EQ(acutWcMatch(nullptr, L"*"), RTERROR);
    EXPECT_EQ(acutWcMatch(L"x", nullptr), RTERROR);
}

TEST(Keywords, NameKeywordsByWordAbbreviationOrBeginning) {
    using qv::host::ed::KeywordList;
    struct Case {
        const wchar_t* list;
        const wchar_t* typed;
        const wchar_t* global;  // null: no keyword named
    };
    const Case cases[] = {
        {L"Yes No", L"y", L"Yes"},
        {L"Yes No", L"NO", L"No"},
        {L"Yes No", L"ye", L"Yes"},
        {L"Yes No", L"yess", nullptr},
        {L"Yes No", L"", nullptr},
        {L"LType Width", L"lt", L"LType"},
        {L"LType Width", L"l", nullptr},
        {L"eXit Undo", L"x", L"eXit"},
        {L"eXit Undo", L"e", nullptr},
        {L"Inch,I Foot,F", L"i", L"Inch"},
        {L"Inch,I Foot,F", L"inc", nullptr},
        {L"Inch,I Foot,F", L"foot", L"Foot"},
        {L"left right", L"left", L"left"},
        {L"left right", L"le", nullptr},
        {L"Ja Nein _ Yes No", L"j", L"Yes"},
        {L"Ja Nein _ Yes No", L"_y", L"Yes"},
        {L"Ja Nein _ Yes No", L"_j", nullptr},
        {L"Yes No", L"_n", L"No"},
        {L"Extents Exit", L"e", L"Extents"},
    };
    for (const Case& c : cases) {
        const std::optional<std::wstring> named = KeywordList(c.list).match(c.typed);
        if (c.global == nullptr) {
            EXPECT_FALSE(named) << testing::PrintToString(std::wstring(c.list)) << " / "
                                << testing::PrintToString(std::wstring(c.typed));
        } else {
            EXPECT_EQ(named.value_or(L"(none)"), c.global)
                << testing::PrintToString(std::wstring(c.list)) << " / "
                << testing::PrintToString(std::wstring(c.typed));
        }
    }
    EXPECT_EQ(KeywordList(L"Ja Nein _ Yes No").display(), L"Ja/Nein");
}

}  // namespace
