#include <gtest/gtest.h>

#include "drawing/HostIdentity.h"

namespace {

TEST(HostIdentity, TheProductNameDecidesTheKindAndLabel) {
    const struct {
        const wchar_t* productName;
        int kind;
        const wchar_t* label;
        int fullHost;
    } cases[] = {
        {L"AutoCAD LT 2015", 1, L"AutoCADLT", 0},
        {L"AUTOCAD LT", 1, L"AutoCADLT", 0},
        {L"AutoCAD Map 3D", 2, L"AutoCAD", 1},
        {L"AutoCAD", 2, L"AutoCAD", 1},
        // "tocad lt" must follow directly.
        {L"AutoCAD  LT", 2, L"AutoCAD", 1},
        {L"BricsCAD", 3, L"BricsCAD", 1},
        {L"BricsCAD Pro V15", 3, L"BricsCAD", 1},
        // "autocad" is looked for first.
        {L"BricsCAD for AutoCAD users", 2, L"AutoCAD", 1},
        {L"BricsCAD AutoCAD LT", 1, L"AutoCADLT", 0},
        {L"ProCAD", 0, L"unknown <procad>", 0},
        {L"", 0, L"unknown <>", 0},
        {L"Auto CAD", 0, L"unknown <auto cad>", 0},
    };
    for (const auto& c : cases) {
        const CHostIdentity host(c.productName, L"second");
        SCOPED_TRACE(CStringA(c.productName).GetString());
        EXPECT_EQ(c.kind, host.getType());
        EXPECT_EQ(CString(c.label), host.getProduct());
        EXPECT_EQ(c.fullHost, host.isFullHost());
        EXPECT_EQ(CString(L"second"), host.getSecondHostText());
    }
}

}  // namespace
