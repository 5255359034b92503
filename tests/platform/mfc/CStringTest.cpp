#include <gtest/gtest.h>

#include "mfc/Arrays.h"
#include "mfc/CString.h"
#include "mfc/Exceptions.h"
#include "support/Raised.h"

namespace {

using qv::test::raised;

struct FormatCase {
    const wchar_t* format;
    CString expected;
    CString actual;
};

TEST(CStringFormat, FollowsTheWindowsRuntime) {
    const CString wide = L"wide";
    auto fmt = [](const wchar_t* f, auto... args) {
        CString s;
        s.Format(f, args...);
        return s;
    };
    const FormatCase cases[] = {
        {L"%s", L"wide", fmt(L"%s", wide)},
        {L"%s lit", L"x y", fmt(L"%s", L"x y")},
        {L"%S narrow", L"caf\u00e9", fmt(L"%S", "caf\xe9")},
        {L"%hs narrow", L"abc", fmt(L"%hs", "abc")},
        {L"%i", L"-42", fmt(L"%i", -42)},
        {L"%d", L"7", fmt(L"%d", 7)},
        {L"%x", L"ff", fmt(L"%x", 255)},
        {L"%X", L"FF", fmt(L"%X", 255)},
        {L"%02X", L"0A", fmt(L"%02X", 10)},
        {L"%f", L"2.500000", fmt(L"%f", 2.5)},
        {L"%.2f", L"2.68", fmt(L"%.2f", 2.675001)},
        {L"%-g", L"100", fmt(L"%-g", 100.0)},
        {L"%-g small", L"2.5e-05", fmt(L"%-g", 0.000025)},
        {L"%d of -1 as unsigned", L"4294967295", fmt(L"%u", -1)},
        {L"%I64d", L"9000000000", fmt(L"%I64d", 9000000000LL)},
        {L"%d truncates to 32 bits", L"1410065408", fmt(L"%d", 10000000000LL)},
        {L"%5s", L"   ab", fmt(L"%5s", L"ab")},
        {L"%-5s|", L"ab   |", fmt(L"%-5s|", L"ab")},
        {L"%.2s", L"ab", fmt(L"%.2s", L"abc")},
        {L"%%", L"100%", fmt(L"%d%%", 100)},
        {L"%c", L"Z", fmt(L"%c", L'Z')},
        {L"missing argument", L"a", fmt(L"a%s")},
        {L"null string", L"(null)", fmt(L"%s", static_cast<const wchar_t*>(nullptr))},
        {L"number for %s", L"(null)", fmt(L"%s", 5)},
        {L"double for %d", L"3", fmt(L"%d", 3.9)},
        {L"unfinished", L"50%", fmt(L"50%")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, c.actual) << CStringA(c.format).GetString();
    }
}

TEST(CStringParts, ClampLikeMfc) {
    const CString s = L"abcdef";
    EXPECT_EQ(CString(L"abc"), s.Left(3));
    EXPECT_EQ(CString(L""), s.Left(-1));
    EXPECT_EQ(s, s.Left(99));
    EXPECT_EQ(CString(L"ef"), s.Right(2));
    EXPECT_EQ(s, s.Right(10));
    EXPECT_EQ(CString(L"cdef"), s.Mid(2));
    EXPECT_EQ(CString(L"cd"), s.Mid(2, 2));
    EXPECT_EQ(CString(L"ab"), s.Mid(-3, 2));
    EXPECT_EQ(CString(L"ef"), s.Mid(4, 50));
    EXPECT_EQ(CString(L""), s.Mid(9));
}

TEST(CStringSearch, FindsAndMisses) {
    const CString s = L"c:\\a\\b.txt";
    EXPECT_EQ(1, s.Find(L':'));
    EXPECT_EQ(4, s.Find(L"\\b"));
    EXPECT_EQ(-1, s.Find(L"zz"));
    EXPECT_EQ(-1, s.Find(L'c', 99));
    EXPECT_EQ(4, s.ReverseFind(L'\\'));
    EXPECT_EQ(-1, s.ReverseFind(L'/'));
    EXPECT_EQ(1, s.FindOneOf(L":\\"));
    EXPECT_EQ(-1, s.FindOneOf(L"*?"));
}

// The framework's searches and comparisons go through the C runtime's (wcschr, wcsstr, wcsrchr,
// wcspbrk, wcscmp): a NUL ends the text they see, and the terminating NUL is found.
TEST(CStringSearch, ANulEndsTheTextAsTheRuntimeSees) {
    const CString plain = L"abc";
    const CString held(L"ab\0cd", 5);  // a NUL inside
    const CString none;
    struct Case {
        const char* what;
        int expected;
        int actual;
    };
    const Case cases[] = {
        {"NUL of a plain text: its length", 3, plain.Find(L'\0')},
        {"NUL from the last character", 3, plain.Find(L'\0', 2)},
        {"NUL from the length", -1, plain.Find(L'\0', 3)},
        {"NUL of an empty text", -1, none.Find(L'\0')},
        {"NUL inside: the first one", 2, held.Find(L'\0')},
        {"a character past the NUL", -1, held.Find(L'c')},
        {"a character past the NUL, from beyond it", 3, held.Find(L'c', 3)},
        {"a negative start", -1, plain.Find(L'a', -1)},
        {"a text past the NUL", -1, held.Find(L"cd")},
        {"a text past the NUL, from beyond it", 3, held.Find(L"cd", 3)},
        {"a text past the NUL, from the NUL", -1, held.Find(L"cd", 2)},
        {"a text across the NUL", -1, held.Find(L"b", 2)},
        {"an empty text past the NUL", 4, held.Find(L"", 4)},
        {"an empty text at the NUL", 2, held.Find(L"", 2)},
        {"an empty text at the length, past the NUL", 5, held.Find(L"", 5)},
        {"a text from beyond the length", -1, held.Find(L"", 6)},
        {"an empty text at the length", 3, plain.Find(L"", 3)},
        {"a text from a negative start", -1, plain.Find(L"a", -1)},
        {"reverse: NUL of a plain text", 3, plain.ReverseFind(L'\0')},
        {"reverse: NUL inside", 2, held.ReverseFind(L'\0')},
        {"reverse: a character past the NUL", -1, held.ReverseFind(L'd')},
        {"one of, past the NUL", -1, held.FindOneOf(L"dc")},
        {"compare up to the NUL", 0, held.Compare(L"ab")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, c.actual) << c.what;
    }
    EXPECT_EQ(held, CString(L"ab"));
    EXPECT_FALSE(held < CString(L"ab"));
    EXPECT_EQ(5, held.GetLength());  // the text itself keeps all of it
}

TEST(CStringEdit, ChangesInPlace) {
    CString s = L"  Mixed Case\t";
    s.Trim();
    EXPECT_EQ(CString(L"Mixed Case"), s);
    s.MakeUpper();
    EXPECT_EQ(CString(L"MIXED CASE"), s);
    s.MakeLower();
    EXPECT_EQ(CString(L"mixed case"), s);
    EXPECT_EQ(2, s.Replace(L"e", L"EE"));
    EXPECT_EQ(CString(L"mixEEd casEE"), s);
    EXPECT_EQ(0, s.Replace(L"", L"x"));
    EXPECT_EQ(4, s.Remove(L'E'));
    EXPECT_EQ(CString(L"mixd cas"), s);
    EXPECT_EQ(7, s.Delete(3, 1));
    EXPECT_EQ(CString(L"mix cas"), s);
    EXPECT_EQ(7, s.Delete(50));
    CString t = L"xxabcxx";
    t.Trim(L'x');
    EXPECT_EQ(CString(L"abc"), t);
    EXPECT_EQ(0, CString(L"Abc").CompareNoCase(L"aBC"));
    EXPECT_LT(CString(L"abc").Compare(L"abd"), 0);
    EXPECT_GT(CString(L"b").Compare(L"a"), 0);
}

TEST(CStringBuffer, WriteThenRelease) {
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"hello");
    s.ReleaseBuffer();
    EXPECT_EQ(5, s.GetLength());
    EXPECT_EQ(CString(L"hello"), s);
    s.GetBuffer();
    s.ReleaseBuffer(2);
    EXPECT_EQ(CString(L"he"), s);
}

TEST(CStringAnsi, ConvertsThroughWindows1252) {
    const CString wide(L"\u20ac caf\u00e9 \u4e2d");
    const CStringA ansi(wide);
    EXPECT_STREQ("\x80 caf\xe9 ?", ansi.GetString());
    EXPECT_EQ(CString(L"\u20ac caf\u00e9 ?"), CString(ansi));
}

TEST(CStringAt, RaisesOutsideTheText) {
    const CString s = L"ab";
    EXPECT_EQ(L'b', s.GetAt(1));
    EXPECT_EQ(L'\0', s.GetAt(2));
    EXPECT_NE(nullptr, raised<CInvalidArgException>([&] { s.GetAt(3); }));
}

TEST(Arrays, GetAtRaisesOutsideTheArray) {
    CStringArray names;
    names.Add(L"one");
    names.Add(CString(L"two"));
    EXPECT_EQ(2, names.GetSize());
    EXPECT_EQ(CString(L"two"), names.GetAt(1));
    for (INT_PTR bad : {INT_PTR(-1), INT_PTR(2)}) {
        EXPECT_NE(nullptr, raised<CInvalidArgException>([&] { names.GetAt(bad); })) << bad;
    }
    CTypedPtrArray<CPtrArray, int*> ptrs;
    int value = 3;
    ptrs.Add(&value);
    EXPECT_EQ(&value, ptrs.GetAt(0));
    ptrs.RemoveAt(0);
    EXPECT_TRUE(ptrs.IsEmpty());
}

}  // namespace
