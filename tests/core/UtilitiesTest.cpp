#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "core/Utilities.h"
#include "core/ErrorCapture.h"

using qv::test::caught;
using qv::test::Level;
using qv::test::levels;

namespace {

TEST(UtilitiesNumericText, IsNumericAcceptsOnlyPlainNumbers) {
    const struct {
        const wchar_t* text;
        BOOL numeric;
    } cases[] = {
        {L"", FALSE},     {L"-", FALSE},   {L".", FALSE},     {L"-.", FALSE},   {L",", TRUE},
        {L"1,234", TRUE}, {L"-5", TRUE},   {L".5", TRUE},     {L"5.", TRUE},    {L"-.5", TRUE},
        {L"5-", FALSE},   {L"--5", FALSE}, {L"1.2.3", FALSE}, {L"1 2", FALSE},  {L"+5", FALSE},
        {L"1e5", FALSE},  {L"12a", FALSE}, {L"-,", TRUE},     {L"1,,2,", TRUE}, {L"\u0661", FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.numeric, CUtilities::isNumeric(c.text)) << CStringA(c.text).GetString();
    }
}

TEST(UtilitiesNumericText, MakeNumericKeepsWhatMayStandInANumber) {
    const struct {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"", L"0"},         {L"abc", L""},    {L"1a2", L"12"}, {L"-1-2", L"-12"},
        {L"1.2.3", L"1.23"}, {L"1,2", L"1,2"}, {L" -5", L"5"},  {L"$1,234.50", L"1,234.50"},
        {L"-", L"-"},        {L"+3e2", L"32"},
    };
    for (const auto& c : cases) {
        CString text = c.text;
        CUtilities::makeNumeric(text);
        EXPECT_EQ(CString(c.expected), text) << CStringA(c.text).GetString();
    }
}

TEST(UtilitiesNumericText, IntegersReadTheLeadingIntegerOfNumericText) {
    const struct {
        const wchar_t* text;
        int asInt;
        LONG asLong;
        __int64 asInt64;
    } cases[] = {
        {L"12.7", 12, 12, 12},
        {L"1,234", 1, 1, 1},
        {L"-5", -5, -5, -5},
        {L"abc", 0, 0, 0},
        {L" 5", 0, 0, 0},
        {L"2147483647", INT_MAX, INT_MAX, 2147483647LL},
        {L"-2147483648", INT_MIN, INT_MIN, -2147483648LL},
        // Beyond the range the value is clamped.
        {L"2147483648", INT_MAX, INT_MAX, 2147483648LL},
        {L"-2147483649", INT_MIN, INT_MIN, -2147483649LL},
        {L"9223372036854775807", INT_MAX, INT_MAX, LLONG_MAX},
        {L"9223372036854775808", INT_MAX, INT_MAX, LLONG_MAX},
        {L"-9223372036854775808", INT_MIN, INT_MIN, LLONG_MIN},
        {L"-99999999999999999999999999", INT_MIN, INT_MIN, LLONG_MIN},
        // The 64-bit reading is gated by the same check as the others.
        {L"12 34", 0, 0, 0},
    };
    for (const auto& c : cases) {
        const char* label = CStringA(c.text).GetString();
        EXPECT_EQ(c.asInt, CUtilities::CStringToInt(c.text)) << label;
        EXPECT_EQ(c.asLong, CUtilities::CStringToLong(c.text)) << label;
        EXPECT_EQ(c.asInt64, CUtilities::CStringToInt64(c.text)) << label;
    }
}

TEST(UtilitiesNumericText, DoublesReadTheLeadingNumberWithoutTheNumericCheck) {
    const struct {
        const wchar_t* text;
        double expected;
    } cases[] = {
        {L"12abc", 12.0},
        {L"1,5", 1.0},
        {L"  3.25", 3.25},
        {L"\t-7.5x", -7.5},
        {L"1e3", 1000.0},
        {L"1e999", std::numeric_limits<double>::infinity()},
        {L"1e-999", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, CUtilities::CStringToDouble(c.text)) << CStringA(c.text).GetString();
    }
    EXPECT_TRUE(std::isnan(CUtilities::CStringToDouble(L"nan")));
}

TEST(UtilitiesNumericText, BooleanTextIsCaseSensitivePrefixesOfTrueAndYes) {
    const struct {
        const wchar_t* text;
        BOOL expected;
    } cases[] = {
        {L"1", TRUE},      {L"t", TRUE},   {L"tr", TRUE},  {L"tru", TRUE},  {L"true", TRUE},
        {L"y", TRUE},      {L"ye", TRUE},  {L"yes", TRUE}, {L"Yes", FALSE}, {L"TRUE", FALSE},
        {L"Y", FALSE},     {L"on", FALSE}, {L"", FALSE},   {L"0", FALSE},   {L"yes ", FALSE},
        {L"truee", FALSE}, {L"2", FALSE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, CUtilities::CStringToBOOL(c.text)) << CStringA(c.text).GetString();
    }
}

TEST(UtilitiesNumberText, IntegersAndFlags) {
    EXPECT_EQ(CString(L"-2147483648"), CUtilities::IntToCString(INT_MIN));
    EXPECT_EQ(CString(L"2147483647"), CUtilities::LongToCString(INT_MAX));
    EXPECT_EQ(CString(L"1"), CUtilities::BoolToCString(5));
    EXPECT_EQ(CString(L"0"), CUtilities::BoolToCString(FALSE));
}

TEST(UtilitiesNumberText, DoubleToCStringRoundsHalfAwayFromZero) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        int precision;
        const wchar_t* expected;
    } cases[] = {
        {2.5, 0, L"3"},
        {0.125, 2, L"0.13"},
        {2.675, 2, L"2.67"},  // the stored double lies below 2.675
        {0.05, 3, L"0.050"},
        {-0.001, 2, L"-0.00"},
        {2.5, -1, L"2.5"},
        {0.000025, -1, L"2.5e-05"},
        {123456789.0, -5, L"1.23457e+08"},
        {0.96, 1, L"1.0"},
        {0.5, 0, L"1"},
        {999.9996, 3, L"1000.000"},
        {-0.0, 2, L"0.00"},
        {0.1, 25, L"0.1000000000000000055510000"},  // 21 significant digits, then zeros
        {1e21, 1, L"1000000000000000000000.0"},
        {1208925819614629174706176.0, 0, L"1208925819614629174710000"},  // 2^80
        {inf, 2, L"inf"},
        {nan, 2, L"nan"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), CUtilities::DoubleToCString(c.value, c.precision))
            << c.value << " at " << c.precision;
    }
}

TEST(UtilitiesNumberText, DoubleToCStringHasNoLimitOnItsInput) {
    // Any precision gives a defined text: at most 340 decimals.
    const CString huge = CUtilities::DoubleToCString(1.5, INT_MAX);
    EXPECT_EQ(2 + 340, huge.GetLength());
    EXPECT_EQ(CString(L"1.5") + CUtilities::padding(339, L"0"), huge);
    EXPECT_EQ(CUtilities::DoubleToCString(1.5, 340), CUtilities::DoubleToCString(1.5, 10000));

    // The largest double in full: 309 digits, the first 21 significant.
    const CString largest = CUtilities::DoubleToCString(std::numeric_limits<double>::max(), 2);
    EXPECT_EQ(309 + 3, largest.GetLength());
    EXPECT_EQ(CString(L"179769313486231570815"), largest.Left(21));
    EXPECT_EQ(CString(L"000.00"), largest.Right(6));

    // The smallest double only shows at its 324th decimal.
    const double tiny = std::numeric_limits<double>::denorm_min();
    EXPECT_EQ(CString(L"0.") + CUtilities::padding(323, L"0"),
              CUtilities::DoubleToCString(tiny, 323));
    EXPECT_EQ(CString(L"0.") + CUtilities::padding(323, L"0") + L"49406564584124654",
              CUtilities::DoubleToCString(tiny, 340));
}

TEST(UtilitiesNumberText, RoundingThroughText) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(0.13, CUtilities::roundDouble(0.125, 2));
    EXPECT_EQ(-3.0, CUtilities::roundDouble(-2.5, 0));
    EXPECT_EQ(inf, CUtilities::roundDouble(inf, 2));
    EXPECT_TRUE(std::isnan(CUtilities::roundDouble(std::nan(""), 2)));

    const struct {
        double value;
        int expected;
    } cases[] = {
        {-1.5, -2},
        {0.49, 0},
        {2147483647.4, INT_MAX},
        {1e300, INT_MAX},
        {inf, 0},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, CUtilities::DoubleToInt(c.value)) << c.value;
}

TEST(UtilitiesText, PaddingRepeatsTheText) {
    EXPECT_EQ(CString(L"000"), CUtilities::padding(3, L"0"));
    EXPECT_EQ(CString(L""), CUtilities::padding(0, L"0"));
    EXPECT_EQ(CString(L""), CUtilities::padding(-4, L"0"));
    EXPECT_EQ(CString(L"abab"), CUtilities::padding(2, L"ab"));
    EXPECT_EQ(CString(L""), CUtilities::padding(INT_MAX, L""));
}

TEST(UtilitiesText, StdStringIsInTheAnsiCodePage) {
    EXPECT_EQ(std::string("caf\xe9 \x80"), CUtilities::CStringToSTDString(L"caf\u00e9 \u20ac"));
    EXPECT_EQ(std::string("a?b"), CUtilities::CStringToSTDString(L"a\u03a9b"));
    EXPECT_EQ(std::string(), CUtilities::CStringToSTDString(L""));
}

TEST(UtilitiesText, OccurrenceCountCountsOverlappingMatches) {
    const struct {
        const wchar_t* substring;
        const wchar_t* text;
        int expected;
    } cases[] = {
        {L":", L"C:\\a:b", 2}, {L":", L":x", 1}, {L"aa", L"aaaa", 3}, {L"x", L"abc", 0},
        {L"", L"abc", 0},      {L"", L"", 0},    {L"a", L"", 0},      {L"abc", L"ab", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, CUtilities::occurrenceCount(c.substring, c.text))
            << CStringA(c.substring).GetString() << " in " << CStringA(c.text).GetString();
    }
}

TEST(UtilitiesText, ReplaceIllegalCharactersReplacesExactlyFifteen) {
    const struct {
        const wchar_t* text;
        const wchar_t* replacement;
        const wchar_t* expected;
    } cases[] = {
        {L"a/b (c)", L"_", L"a_b _c_"},
        {L"\\/:*?\"<>|=';(),", L"_", L"_______________"},
        {L"a & b # 5% ok.txt", L"_", L"a & b # 5% ok.txt"},
        {L"x:y", L"", L"xy"},
    };
    CUtilities utilities;
    for (const auto& c : cases) {
        CString text = c.text;
        utilities.replaceIllegalCharacters(text, c.replacement);
        EXPECT_EQ(CString(c.expected), text) << CStringA(c.text).GetString();
    }
}

TEST(UtilitiesHex, HttoiReadsTheLeadingHexNumber) {
    const struct {
        const wchar_t* text;
        int expected;
    } cases[] = {
        {L"ff", 255},
        {L"0x1F", 31},
        {L"1G2", 1},
        {L" 1", 0},
        {L"#FF", 0},
        {L"FFFFFFFF", -1},
        {L"80000000", INT_MIN},
        {L"123456789", 0x23456789},
        {L"0xFFFFFFFFFFFFFFFF1", -15},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, CUtilities::_httoi(c.text)) << CStringA(c.text).GetString();
    }
}

TEST(UtilitiesColour, HashTextAndTrueColoursConvertBothWays) {
    const struct {
        const wchar_t* text;
        int red, green, blue;
        const wchar_t* hash;  // the colour written back
    } cases[] = {
        {L"#0aff00", 10, 255, 0, L"#0AFF00"},
        {L"ABCDEF", 171, 205, 239, L"#ABCDEF"},
        {L"#7F8081", 127, 128, 129, L"#7F8081"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.text).GetString());
        AcCmColor colour;
        CUtilities::hashColourToAcad(c.text, colour);
        EXPECT_TRUE(colour.isByColor());
        EXPECT_EQ(c.red, colour.red());
        EXPECT_EQ(c.green, colour.green());
        EXPECT_EQ(c.blue, colour.blue());
        EXPECT_EQ(CString(c.hash), CUtilities::acadColourToHash(colour));
    }
    AcCmColor red;
    red.setColorIndex(1);
    EXPECT_EQ(CString(L"#FF0000"), CUtilities::acadColourToHash(red));
}

TEST(UtilitiesColour, InvalidHashTextRaisesAndLeavesTheColour) {
    const struct {
        const wchar_t* text;
        std::vector<Level> chain;
    } cases[] = {
        {L"", {{L"CUtilities::parseHashString", L"Invalid Hex Colour - "}}},
        {L"#FFF", {{L"CUtilities::parseHashString", L"Invalid Hex Colour - #FFF"}}},
        {L"#1234567", {{L"CUtilities::parseHashString", L"Invalid Hex Colour - #1234567"}}},
        {L"#GG0000",
         {{L"CUtilities::hashColourToAcad", L"unhandled error"},
          {L"CUtilities::validteHexString", L"unhandled error"},
          {L"CUtilities::validteHexString", L"Invalid Hex Colour - GG0000"}}},
        {L"##0AFF0",
         {{L"CUtilities::hashColourToAcad", L"unhandled error"},
          {L"CUtilities::validteHexString", L"unhandled error"},
          {L"CUtilities::validteHexString", L"Invalid Hex Colour - #0AFF0"}}},
    };
    for (const auto& c : cases) {
        AcCmColor colour;
        colour.setColorIndex(3);
        const AcCmColor before = colour;
        auto error = caught([&] { CUtilities::hashColourToAcad(c.text, colour); });
        ASSERT_TRUE(error) << CStringA(c.text).GetString();
        EXPECT_EQ(c.chain, levels(error.get())) << CStringA(c.text).GetString();
        const CEXOrvan* innermost = error.get();
        while (innermost->getInnerException())
            innermost = innermost->getInnerException();
        EXPECT_TRUE(dynamic_cast<const CEXInvalidHexColour*>(innermost));
        EXPECT_EQ(CString(L"CUtilities"), innermost->getSource());
        EXPECT_EQ(CString(L"Utilities"), innermost->getClass());
        EXPECT_TRUE(before == colour);
    }
}

}  // namespace
