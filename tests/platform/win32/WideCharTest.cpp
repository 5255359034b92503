#include <gtest/gtest.h>

#include <string>

#include "win32/WideChar.h"
#include "win32/WinError.h"

namespace {

struct ToBytes {
    const char* name;
    UINT codePage;
    const wchar_t* text;
    int count;
    std::string bytes;  // empty: fails with `error`
    DWORD error;
    BOOL usedDefault;
};

TEST(WideCharToMultiByte, ConvertsWithTheWindowsSizeContract) {
    const ToBytes cases[] = {
        {"ansi", CP_ACP, L"m\u00b2 \u20ac", 4, "m\xb2 \x80", 0, FALSE},
        {"thread ansi", CP_THREAD_ACP, L"caf\u00e9", 4, "caf\xe9", 0, FALSE},
        {"with the zero", 1252, L"ab", -1, std::string("ab\0", 3), 0, FALSE},
        {"no byte for it", CP_ACP, L"a\u0101b", 3, "a?b", 0, TRUE},
        {"utf-8", CP_UTF8, L"m\u00b2\u20ac", 3, "m\xc2\xb2\xe2\x82\xac", 0, FALSE},
        {"no such code page", 437, L"a", 1, "", ERROR_INVALID_PARAMETER, FALSE},
        {"empty input", CP_ACP, L"", 0, "", ERROR_INVALID_PARAMETER, FALSE},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        BOOL used = FALSE;
        LPBOOL usedOut = c.codePage == CP_UTF8 ? nullptr : &used;
        const int needed =
            WideCharToMultiByte(c.codePage, 0, c.text, c.count, nullptr, 0, nullptr, usedOut);
        EXPECT_EQ(static_cast<int>(c.bytes.size()), needed) << c.name;
        if (c.bytes.empty()) {
            EXPECT_EQ(c.error, GetLastError()) << c.name;
            continue;
        }
        std::string out(c.bytes.size(), 'x');
        EXPECT_EQ(needed, WideCharToMultiByte(c.codePage, 0, c.text, c.count, out.data(),
                                              static_cast<int>(out.size()), nullptr, usedOut))
            << c.name;
        EXPECT_EQ(c.bytes, out) << c.name;
        EXPECT_EQ(c.usedDefault, used) << c.name;
        if (needed > 1) {
            EXPECT_EQ(0, WideCharToMultiByte(c.codePage, 0, c.text, c.count, out.data(), needed - 1,
                                             nullptr, usedOut))
                << c.name;
            EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError()) << c.name;
        }
    }
}

TEST(WideCharToMultiByte, RefusesWhatUtf8CannotTake) {
    BOOL used = FALSE;
    char out[8];
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, L"a", 1, out, 8, nullptr, &used));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    EXPECT_EQ(
        0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, 8, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(5, WideCharToMultiByte(CP_UTF8, 0, lone, -1, out, 8, nullptr, nullptr));
    EXPECT_EQ(std::string("a\xef\xbf\xbd", 4), std::string(out, 4));
}

TEST(MultiByteToWideChar, ConvertsAnsiAndUtf8) {
    wchar_t out[16];
    EXPECT_EQ(3, MultiByteToWideChar(CP_ACP, 0, "\x80\xb2\xe9", 3, out, 16));
    EXPECT_EQ(std::wstring(L"\u20ac\u00b2\u00e9"), std::wstring(out, 3));
    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "m\xc2\xb2", -1, nullptr, 0));
    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "m\xc2\xb2", -1, out, 16));
    EXPECT_STREQ(L"m\u00b2", out);
    const char* invalid = "\xff"
                          "a";
    EXPECT_EQ(2, MultiByteToWideChar(CP_UTF8, 0, invalid, 2, out, 16));
    EXPECT_EQ(static_cast<wchar_t>(0xFFFD), out[0]);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, invalid, 2, out, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(1, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xef\xbf\xbd", 3, out, 16));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 3, out, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

}  // namespace
