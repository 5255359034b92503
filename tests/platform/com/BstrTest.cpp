#include <gtest/gtest.h>

#include <cstring>

#include "comdef.h"

namespace {

TEST(Bstr, KeepsItsLengthInFront) {
    struct Case {
        const char* name;
        BSTR text;
        UINT length;
    };
    const wchar_t withZero[] = {L'a', 0, L'b'};
    const Case cases[] = {
        {"null", nullptr, 0},
        {"empty", SysAllocString(L""), 0},
        {"word", SysAllocString(L"word"), 4},
        {"embedded zero", SysAllocStringLen(withZero, 3), 3},
        {"zero-filled", SysAllocStringLen(nullptr, 5), 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.length, SysStringLen(c.text)) << c.name;
        EXPECT_EQ(c.length * sizeof(OLECHAR), SysStringByteLen(c.text)) << c.name;
        if (c.text) {
            EXPECT_EQ(0, c.text[c.length]) << c.name << ": terminated";
        }
        SysFreeString(c.text);
    }
    BSTR text = SysAllocString(L"one");
    ASSERT_TRUE(SysReAllocString(&text, L"three"));
    EXPECT_EQ(5u, SysStringLen(text));
    EXPECT_STREQ(L"three", text);
    SysFreeString(text);
}

TEST(BstrT, ConvertsToWideAndWindows1252) {
    const _bstr_t euro(L"\u20ac 5 \u4e2d");
    EXPECT_STREQ("\x80 5 ?", static_cast<const char*>(euro));
    EXPECT_EQ(5u, euro.length());
    const _bstr_t fromNarrow("caf\xe9");
    EXPECT_STREQ(L"caf\u00e9", static_cast<const wchar_t*>(fromNarrow));
    const _bstr_t none;
    EXPECT_EQ(nullptr, static_cast<const wchar_t*>(none));
    EXPECT_EQ(nullptr, static_cast<const char*>(none));
    EXPECT_EQ(0u, none.length());
    EXPECT_TRUE(!none);
    EXPECT_FALSE(!_bstr_t(L""));
}

TEST(BstrT, ComparesAndJoinsByContent) {
    const _bstr_t a(L"abc"), b(L"abd"), empty(L""), none;
    EXPECT_TRUE(a == _bstr_t(L"abc"));
    EXPECT_TRUE(a == L"abc");
    EXPECT_TRUE(a != "abd");
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > a);
    EXPECT_TRUE(empty == none);
    EXPECT_TRUE(_bstr_t(L"ab") < a);
    EXPECT_EQ(_bstr_t(L"abcabd"), a + b);
    EXPECT_EQ(_bstr_t(L"<abc"), L"<" + a);
    _bstr_t grown(a);
    grown += L"!";
    EXPECT_EQ(_bstr_t(L"abc!"), grown);
    EXPECT_EQ(_bstr_t(L"abc"), a) << "copies share text but changes make new text";
}

TEST(BstrT, HandsOverOwnership) {
    _bstr_t owner(SysAllocString(L"mine"), false);
    BSTR detached = owner.Detach();
    EXPECT_TRUE(!owner);
    EXPECT_STREQ(L"mine", detached);
    owner.Attach(detached);  // owner frees it
    BSTR copy = owner.copy();
    EXPECT_NE(copy, owner.GetBSTR());
    SysFreeString(copy);
    _bstr_t out;
    *out.GetAddress() = SysAllocString(L"filled");
    EXPECT_EQ(_bstr_t(L"filled"), out);
    const _bstr_t fromVariant(_variant_t(12.5));
    EXPECT_EQ(_bstr_t(L"12.5"), fromVariant);
}

}  // namespace
