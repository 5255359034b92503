#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arxHeaders.h"
#include "mfc/CString.h"

namespace {

class CommandLineTest : public ::testing::Test {
  protected:
    CommandLineTest() { qv::host::transcript().clear(); }
    ~CommandLineTest() override {
        qv::host::transcript().setEchoSink({});
        qv::host::transcript().clear();
    }
};

TEST_F(CommandLineTest, PrintsAsTheWindowsRuntimeFormats) {
    const CString name = L"ROOM-101";
    struct Case {
        int printed;
        std::wstring expected;
    };
    const Case cases[] = {
        {acutPrintf(L"Block Created Successfully\n"), L"Block Created Successfully\n"},
        {acutPrintf(L"%s\n", name), L"ROOM-101\n"},
        {acutPrintf(L"%s\n\n", L"c:\\out\\plan.pdf"), L"c:\\out\\plan.pdf\n\n"},
        {acutPrintf(L"getCachePlotAreaType  %i\n", 3), L"getCachePlotAreaType  3\n"},
        {acutPrintf(L"getCachePlotCentred   %b\n", 1), L"getCachePlotCentred   1\n"},
        {acutPrintf(L"[%3b|%-3b]", 0, true), L"[  0|1  ]"},
        {acutPrintf(L"100%% %b", 0), L"100% 0"},
        {acutPrintf(L"%.2f", 2.5), L"2.50"},
        {acutPrintf(nullptr), L""},
    };
    std::wstring all;
    for (const auto& c : cases) {
        EXPECT_EQ(c.printed, static_cast<int>(c.expected.size())) << c.expected;
        all += c.expected;
    }
    EXPECT_EQ(qv::host::transcript().text(), all);
}

TEST_F(CommandLineTest, EchoesEachPieceAndClears) {
    std::vector<std::wstring> echoed;
    qv::host::transcript().setEchoSink([&](const std::wstring& s) { echoed.push_back(s); });
    acutPrintf(L"\nFirst");
    acutPrintf(L" %d\n", 2);
    EXPECT_EQ(echoed, (std::vector<std::wstring>{L"\nFirst", L" 2\n"}));
    EXPECT_EQ(qv::host::transcript().text(), L"\nFirst 2\n");
    qv::host::transcript().clear();
    EXPECT_EQ(qv::host::transcript().text(), L"");
    qv::host::transcript().setEchoSink({});
    acutPrintf(L"quiet");
    EXPECT_EQ(echoed.size(), 2u);
    EXPECT_EQ(qv::host::transcript().text(), L"quiet");
}

TEST(ErrorStatusText, NamesTheStatus) {
    const struct {
        int status;
        const wchar_t* text;
    } cases[] = {
        {0, L"eOk"},           {87, L"eOnLockedLayer"},          {420, L"eHatchTooDense"},
        {16, L"Unknown error status 16"}, {-1, L"Unknown error status -1"},
        {5100, L"Unknown error status 5100"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(acadErrorStatusText(static_cast<Acad::ErrorStatus>(c.status)), c.text)
            << c.status;
    }
}

}  // namespace
