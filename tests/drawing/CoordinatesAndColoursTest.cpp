#include <gtest/gtest.h>

#include <numbers>

#include "drawing/AcadUtilities.h"
#include "support/HostFixture.h"

namespace {

class CoordinatesAndColours : public qv::test::DrawingTest {
  protected:
    CoordinatesAndColours() { acedGetCurrentColors(&m_saved); }
    ~CoordinatesAndColours() override { acedSetCurrentColors(&m_saved); }

    void setBackground(Adesk::UInt32 colour) {
        AcColorSettings settings = m_saved;
        settings.dwGfxModelBkColor = colour;
        acedSetCurrentColors(&settings);
    }

  private:
    AcColorSettings m_saved{};
};

void expectNear(const AcGePoint3d& expected, const AcGePoint3d& actual) {
    EXPECT_NEAR(expected.x, actual.x, 1e-9);
    EXPECT_NEAR(expected.y, actual.y, 1e-9);
    EXPECT_NEAR(expected.z, actual.z, 1e-9);
}

TEST_F(CoordinatesAndColours, PointsMoveBetweenTheUserSystemAndTheWorld) {
    // A user system at (100, 50, 10), turned a quarter about z: its x axis is the world's y.
    AcGeMatrix3d ucs;
    ucs.setCoordSystem(AcGePoint3d(100, 50, 10), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis,
                       AcGeVector3d::kZAxis);
    const struct {
        const char* what;
        AcGeMatrix3d ucs;
        AcGePoint3d user, world;
    } cases[] = {
        {"world system", AcGeMatrix3d::kIdentity, {3, 4, 5}, {3, 4, 5}},
        {"moved and turned", ucs, {10, 0, 0}, {100, 60, 10}},
        {"moved and turned", ucs, {0, 10, 1}, {90, 50, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Acad::eOk, acedSetCurrentUCS(c.ucs));
        expectNear(c.world, CAcadUtilities::convertUCSToWCS(c.user));
        expectNear(c.user, CAcadUtilities::convertWCSToUCS(c.world));
    }
}

AcCmColor trueColour(int red, int green, int blue) {
    AcCmColor colour;
    colour.setRGB(red, green, blue);
    return colour;
}

AcCmColor indexColour(int index) {
    AcCmColor colour;
    colour.setColorIndex(index);
    return colour;
}

TEST_F(CoordinatesAndColours, AColourThatWouldVanishTakesTheOppositeOfTheBackground) {
    AcCmColor byLayer;
    const struct {
        const char* what;
        Adesk::UInt32 background;  // red in the low byte
        AcCmColor colour;
        AcCmColor expected;
    } cases[] = {
        {"black on black", 0x000000, trueColour(0, 0, 0), trueColour(255, 255, 255)},
        {"almost black on black", 0x000000, trueColour(0, 0, 1), trueColour(0, 0, 1)},
        {"by layer on black", 0x000000, byLayer, byLayer},
        {"white on white", 0xFFFFFF, trueColour(255, 255, 255), trueColour(0, 0, 0)},
        {"the bytes are red, green, blue from the low end", 0x204080, trueColour(0x80, 0x40, 0x20),
         trueColour(0x7F, 0xBF, 0xDF)},
        {"blue on the same bytes the other way round", 0x204080, trueColour(0x20, 0x40, 0x80),
         trueColour(0x20, 0x40, 0x80)},
        {"a palette colour showing the background", 0x0000FF, indexColour(1),
         trueColour(0, 255, 255)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setBackground(c.background);
        AcCmColor colour = c.colour;
        CAcadUtilities::contrastWithBackground(colour);
        EXPECT_EQ(c.expected, colour);
    }
}

}  // namespace
