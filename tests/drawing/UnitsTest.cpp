#include <gtest/gtest.h>

#include <oleauto.h>

#include "drawing/AcadUtilities.h"

namespace {

TEST(UnitDivisors, DrawingUnitAndResultUnitsChooseTheDivisors) {
    const struct {
        Adesk::Int16 lunits;
        int units;
        double area;
        double length;
    } cases[] = {
        // Millimetre drawings: every setting but 3 and 4.
        {2, 0, 1000000.0, 1000.0},
        {2, 1, 92903.04, 304.8},
        {1, 0, 1000000.0, 1000.0},
        {0, 1, 92903.04, 304.8},
        // Inch drawings.
        {3, 0, 1550.0031000062, 39.37007874015748},
        {4, 1, 144.0, 12.0},
        // Units not set (-1), or anything but 0, measure in feet.
        {2, -1, 92903.04, 304.8},
        {2, 7, 92903.04, 304.8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "LUNITS " << c.lunits << " units " << c.units);
        EXPECT_EQ(c.area, CAcadUtilities::getAreaDivisor(c.lunits, c.units));
        EXPECT_EQ(c.length, CAcadUtilities::getLengthDivisor(c.lunits, c.units));
    }
}

TEST(PointToVariant, PacksThePointAsAnArrayOfThreeDoubles) {
    VARIANT value;
    ASSERT_EQ(S_OK, CAcadUtilities::pointToVariant(&value, 1.5, -2.0, 1e300));
    EXPECT_EQ(VT_ARRAY | VT_R8, value.vt);
    ASSERT_NE(nullptr, value.parray);
    EXPECT_EQ(1u, SafeArrayGetDim(value.parray));
    LONG lower = -1, upper = -1;
    SafeArrayGetLBound(value.parray, 1, &lower);
    SafeArrayGetUBound(value.parray, 1, &upper);
    EXPECT_EQ(0, lower);
    EXPECT_EQ(2, upper);
    const double expected[] = {1.5, -2.0, 1e300};
    for (LONG i = 0; i < 3; ++i) {
        double element = 0;
        ASSERT_EQ(S_OK, SafeArrayGetElement(value.parray, &i, &element));
        EXPECT_EQ(expected[i], element) << i;
    }
    EXPECT_EQ(S_OK, VariantClear(&value));
}

}  // namespace
