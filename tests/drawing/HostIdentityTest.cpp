#include <gtest/gtest.h>

#include "drawing/HostIdentity.h"
#include "module/ModuleGlobals.h"
#include "support/HostFixture.h"

namespace {

TEST(HostIdentity, TheProductNameDecidesTheKindAndLabel) {
    const struct {
        const wchar_t* productName;
        int kind;
        const wchar_t* label;
        int fullHost;
    } cases[] = {
        {L"AutoCAD LT 2015", 1, L"AutoCADLT", 0},
        {L"AutoCAD Map 3D", 2, L"AutoCAD", 1},
        // "tocad lt" must follow directly.
        {L"AutoCAD  LT", 2, L"AutoCAD", 1},
        {L"BricsCAD Pro V15", 3, L"BricsCAD", 1},
        // "autocad" is looked for first.
        {L"BricsCAD for AutoCAD users", 2, L"AutoCAD", 1},
        {L"BricsCAD AutoCAD LT", 1, L"AutoCADLT", 0},
        {L"ProCAD", 0, L"unknown <procad>", 0},
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

namespace {

class RunningHost : public qv::test::DrawingTest {};

TEST_F(RunningHost, IsJudgedFromTheHostApplicationServices) {
    const struct {
        const wchar_t* product;
        int kind;
    } cases[] = {{L"BricsCAD", 3}, {L"AutoCAD LT 2015", 1}, {L"ProCAD", 0}};
    for (const auto& c : cases) {
        acdbHostApplicationServices()->qvSetProduct(c.product);
        acdbHostApplicationServices()->qvSetProgram(L"prog");
        const CHostIdentity host;
        EXPECT_EQ(c.kind, host.getType()) << CStringA(c.product).GetString();
        EXPECT_EQ(CString(L"prog"), host.getSecondHostText());
    }
}

TEST_F(RunningHost, TheModuleJudgesItOnceAtLoad) {
    // The test host starts as "AutoCAD", a full host; judging again later changes nothing.
    EXPECT_EQ(CHostIdentity::HOST_AUTOCAD, hostIdentity.getType());
    EXPECT_EQ(1, hostIdentity.isFullHost());
    acdbHostApplicationServices()->qvSetProduct(L"ProCAD");
    EXPECT_EQ(CHostIdentity::HOST_AUTOCAD, hostIdentity.getType());
}

}  // namespace
