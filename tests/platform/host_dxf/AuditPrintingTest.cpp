#include <gtest/gtest.h>

#include "host/CommandLine.h"
#include "host/dxf/AuditPrinting.h"

namespace qv::dxf {
namespace {

TEST(DxfAuditPrinting, ShowsEachFixOnTheCommandLine) {
    qv::host::transcript().clear();
    AuditReport report;
    printAuditReport(L"plan.dwg", report);
    EXPECT_EQ(qv::host::transcript().text(), L"") << "an intact drawing prints nothing";

    report.add(Fix::InvalidValue, 12, "value 'x' of group code 10 is not a number");
    report.add(Fix::UnsupportedCodePage, 0, "code page dos850 was read as ANSI_1252");
    report.add(Fix::MissingHandle, 40, "TEXT \u00AB\u00E9\u00BB has no handle");
    printAuditReport(L"plan.dwg", report);
    EXPECT_EQ(qv::host::transcript().text(),
              L"Warning: plan.dwg: line 12: value 'x' of group code 10 is not a number [fix 5]\n"
              L"Warning: plan.dwg: code page dos850 was read as ANSI_1252 [fix 9]\n"
              L"Warning: plan.dwg: line 40: TEXT \u00AB\u00E9\u00BB has no handle [fix 7]\n");

    qv::host::transcript().clear();
    AuditReport flood;
    for (size_t i = 0; i < AuditReport::kMaxEntries + 5; ++i) {
        flood.add(Fix::StrayTags, static_cast<std::uint32_t>(i + 1), "stray");
    }
    printAuditReport(L"big.dxf", flood);
    const std::wstring text = qv::host::transcript().text();
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'),
              static_cast<long>(AuditReport::kMaxEntries + 1));
    EXPECT_NE(text.find(L"Warning: big.dxf: 5 more problems not listed\n"), std::wstring::npos);
    EXPECT_EQ(flood.count(Fix::StrayTags), AuditReport::kMaxEntries + 5);
    qv::host::transcript().clear();
}

}  // namespace
}  // namespace qv::dxf
