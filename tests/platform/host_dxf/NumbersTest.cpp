#include <gtest/gtest.h>

#include <charconv>

#include <cmath>
#include <limits>
#include <random>

#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

template <typename T>
struct ParseCase {
    const char* text;
    bool ok;
    T value;
};

template <typename T, size_t N>
void expectParses(bool (*parse)(std::string_view, T&), const ParseCase<T> (&cases)[N]) {
    for (const ParseCase<T>& c : cases) {
        T value{};
        EXPECT_EQ(parse(c.text, value), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(DxfNumbers, ParseWhatRealFilesHold) {
    const ParseCase<double> doubles[] = {
        {"1.5", true, 1.5},      {"  -2.25  ", true, -2.25},
        {"+3", true, 3.0},       {"1e3", true, 1000.0},
        {"1.0E-05", true, 1e-5}, {".5", true, 0.5},
        {"7.", true, 7.0},       {"", false, 0},
        {"abc", false, 0},       {"1.5x", false, 0},
        {"nan", false, 0},       {"inf", false, 0},
        {"1e999", false, 0},     {"+-1", false, 0},
        {"1,5", false, 0},
    };
    expectParses(parseDouble, doubles);
    const ParseCase<std::int64_t> integers[] = {
        {"64", true, 64},  {"     0", true, 0}, {"-1", true, -1},
        {"+7", true, 7},   {"64.0", true, 64},  {"1e2", true, 100},
        {"1.5", false, 0}, {"x", false, 0},     {"", false, 0},
    };
    expectParses(parseInteger, integers);
    const ParseCase<std::uint64_t> handles[] = {
        {"1F", true, 0x1F},
        {"1f", true, 0x1F},
        {"0", true, 0},
        {"", false, 0},
        {"G1", false, 0},
        {"FFFFFFFFFFFFFFFF", true, ~0ULL},
        {"10000000000000000", false, 0},
    };
    expectParses(parseHandle, handles);
    // Written upper case.
    EXPECT_EQ(handleText(0), "0");
    EXPECT_EQ(handleText(0x2ab), "2AB");
    EXPECT_EQ(handleText(~0ULL), "FFFFFFFFFFFFFFFF");
}

TEST(DxfNumbers, DoublesAreWrittenShortWithAPointAndReadBackExactly) {
    const std::pair<double, const char*> written[] = {
        {1.0, "1.0"},       {0.1, "0.1"},        {-2.5, "-2.5"},
        {1e-20, "1.0e-20"}, {1e300, "1.0e+300"}, {123456.789, "123456.789"},
        {0.0, "0.0"},
    };
    for (const auto& [value, text] : written) {
        std::string out;
        appendDouble(out, value);
        EXPECT_EQ(out, text);
    }

    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> coordinate(-1e6, 1e6);
    std::vector<double> values = {std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::denorm_min(), M_PI, -1.0 / 3.0};
    for (int i = 0; i < 10000; ++i) {
        values.push_back(coordinate(random));
        values.push_back(std::ldexp(coordinate(random), static_cast<int>(random() % 200) - 100));
    }
    for (double value : values) {
        std::string out;
        appendDouble(out, value);
        double back = 0;
        ASSERT_TRUE(parseDouble(out, back)) << out;
        ASSERT_EQ(back, value) << out;
    }

    std::string out;
    EXPECT_THROW(appendDouble(out, std::nan("")), std::invalid_argument);
    EXPECT_THROW(appendDouble(out, INFINITY), std::invalid_argument);
}

// Short decimals, read without the general parser, give the same double as it does.
TEST(DxfNumbers, ShortDecimalsReadAsTheGeneralParserReadsThem) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 15);
        std::string text = random() % 2 ? "-" : "";
        const int point = static_cast<int>(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) {
                text += '.';
            }
            text += static_cast<char>('0' + random() % 10);
        }
        double ours = 0, general = 0;
        ASSERT_TRUE(parseDouble(text, ours)) << text;
        std::from_chars(text.data(), text.data() + text.size(), general);
        ASSERT_EQ(ours, general) << text;
    }
}

}  // namespace
}  // namespace qv::dxf
