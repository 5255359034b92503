#include <gtest/gtest.h>

#include "core/ErrorCapture.h"
#include "drawing/Hatch.h"

using qv::test::caught;

namespace {

CHatch filled(const wchar_t* pattern, int angle, int scale, const wchar_t* layer,
              AcCmColor colour) {
    CHatch hatch;
    hatch.setPatternName(pattern);
    hatch.setPatternAngle(angle);
    hatch.setPatternScale(scale);
    hatch.setLayerName(layer);
    hatch.setColour(colour);
    return hatch;
}

void expectSame(const CHatch& expected, const CHatch& actual) {
    EXPECT_EQ(expected.getPatternName(), actual.getPatternName());
    EXPECT_EQ(expected.getPatternAngle(), actual.getPatternAngle());
    EXPECT_EQ(expected.getPatternScale(), actual.getPatternScale());
    EXPECT_EQ(expected.getLayerName(), actual.getLayerName());
    EXPECT_EQ(expected.getColour(), actual.getColour());
}

// Every field of the target differs from the source's, so a field the copy leaves out shows.
TEST(Hatch, CopyToOverwritesEveryFieldOfTheTarget) {
    AcCmColor trueColour, byBlock;
    trueColour.setRGB(12, 34, 56);
    byBlock.setByBlock();
    const CHatch source = filled(L"AR-B816", 360, 2147483647, L"Layer \u00e9", byBlock);
    CHatch target = filled(L"NET", 30, 7, L"OLD", trueColour);
    source.copyTo(&target);
    expectSame(source, target);
}

TEST(Hatch, CopyToANullTargetIsReportedNotACrash) {
    const CHatch hatch = filled(L"SOLID", 0, 1, L"0", AcCmColor());
    auto error = caught([&] { hatch.copyTo(nullptr); });
    ASSERT_TRUE(error);
    EXPECT_EQ(CString(L"CHatch::copyTo"), error->getProcSig());
    EXPECT_EQ(CString(L"Hatch"), error->getClass());
}

}  // namespace
