#include <gtest/gtest.h>

#include <string>

#include "comdef.h"

namespace {

DECIMAL dec(const wchar_t* text) {
    DECIMAL d;
    EXPECT_EQ(S_OK, VarDecFromStr(text, 0, 0, &d)) << text;
    return d;
}

std::wstring text(const DECIMAL& d) {
    BSTR s = nullptr;
    EXPECT_EQ(S_OK, VarBstrFromDec(&d, 0, 0, &s));
    std::wstring result(s, SysStringLen(s));
    SysFreeString(s);
    return result;
}

TEST(Decimal, ReadsTextIntoScaleSignAndMantissa) {
    struct Case {
        const wchar_t* input;
        BYTE scale;
        bool negative;
        ULONG hi;
        ULONGLONG lo;
        const wchar_t* written;
    };
    const Case cases[] = {
        {L"0", 0, false, 0, 0, L"0"},
        {L"-0.00", 0, false, 0, 0, L"0"},
        {L"12.50", 1, false, 0, 125, L"12.5"},
        {L"-1,234.5", 1, true, 0, 12345, L"-1234.5"},
        {L"1e3", 0, false, 0, 1000, L"1000"},
        {L"1.5e-3", 4, false, 0, 15, L"0.0015"},
        {L"18446744073709551616", 0, false, 1, 0, L"18446744073709551616"},
        {L"0.1234567890123456789012345678", 28, false, 0x3FD35EB, 0x6D797A91BE38F34Eull, nullptr},
        // Too many digits after the point: the scale is cut to what fits, rounding half to even.
        {L"7.9228162514264337593543950335", 28, false, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFFull, nullptr},
        {L"2.00000000000000000000000000005", 28, false, 0x409F9CBC, 0x7C4A04C220000000ull, L"2"},
    };
    for (const auto& c : cases) {
        const DECIMAL d = dec(c.input);
        EXPECT_EQ(c.scale, d.scale) << c.input;
        EXPECT_EQ(c.negative ? DECIMAL_NEG : 0, d.sign) << c.input;
        EXPECT_EQ(c.hi, d.Hi32) << c.input;
        EXPECT_EQ(c.lo, d.Lo64) << c.input;
        if (c.written) {
            EXPECT_EQ(std::wstring(c.written), text(d)) << c.input;
        }
    }
    DECIMAL d;
    EXPECT_EQ(DISP_E_OVERFLOW, VarDecFromStr(L"1e29", 0, 0, &d));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VarDecFromStr(L"1.2.3", 0, 0, &d));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VarDecFromStr(L"", 0, 0, &d));
}

TEST(Decimal, DoublesGiveFifteenSignificantDigits) {
    struct Case {
        double value;
        const wchar_t* written;
    };
    const Case cases[] = {
        {0.1, L"0.1"},
        {1.0 / 3.0, L"0.333333333333333"},
        {-2.5, L"-2.5"},
        {123456789012345678.0, L"123456789012346000"},
        {1e-20, L"0.00000000000000000001"},
    };
    for (const auto& c : cases) {
        DECIMAL d;
        ASSERT_EQ(S_OK, VarDecFromR8(c.value, &d)) << c.value;
        EXPECT_EQ(std::wstring(c.written), text(d)) << c.value;
    }
    DECIMAL d;
    EXPECT_EQ(DISP_E_OVERFLOW, VarDecFromR8(1e30, &d));
    double back = 0;
    d = dec(L"-1234.5678");
    ASSERT_EQ(S_OK, VarR8FromDec(&d, &back));
    EXPECT_DOUBLE_EQ(-1234.5678, back);
}

TEST(Decimal, ComparesByValue) {
    struct Case {
        const wchar_t* left;
        const wchar_t* right;
        HRESULT expected;
    };
    const Case cases[] = {
        {L"1.50", L"1.5", VARCMP_EQ},  {L"0", L"-0", VARCMP_EQ},
        {L"-1", L"1", VARCMP_LT},      {L"10", L"9.99", VARCMP_GT},
        {L"-10", L"-9.99", VARCMP_LT}, {L"0.001", L"0.0011", VARCMP_LT},
    };
    for (const auto& c : cases) {
        const DECIMAL a = dec(c.left), b = dec(c.right);
        EXPECT_EQ(c.expected, VarDecCmp(&a, &b)) << c.left << " vs " << c.right;
    }
}

}  // namespace
