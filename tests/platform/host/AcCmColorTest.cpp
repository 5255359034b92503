#include <gtest/gtest.h>

#include "arxHeaders.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb rgbOf(const AcCmColor& c) {
    return {c.red(), c.green(), c.blue()};
}

AcCmColor indexed(Adesk::UInt16 index) {
    AcCmColor c;
    EXPECT_EQ(c.setColorIndex(index), Acad::eOk);
    return c;
}

TEST(AcCmColorPalette, GivesTheStandardAndHueColours) {
    const struct {
        int index;
        Rgb rgb;
    } cases[] = {
        {1, {255, 0, 0}},      {5, {0, 0, 255}},      {7, {255, 255, 255}}, {8, {128, 128, 128}},
        {9, {192, 192, 192}},  {11, {255, 127, 127}}, {12, {204, 0, 0}},    {18, {76, 0, 0}},
        {19, {76, 38, 38}},    {20, {255, 63, 0}},    {21, {255, 159, 127}}, {130, {0, 255, 255}},
        {249, {76, 38, 47}},   {250, {51, 51, 51}},   {255, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rgbOf(indexed(static_cast<Adesk::UInt16>(c.index))), c.rgb) << c.index;
    }
}

TEST(AcCmColorMethods, IndexAndMethodAgree) {
    AcCmColor trueColour;
    trueColour.setRGB(10, 255, 0);
    AcCmColor foreground;
    foreground.setForeground();
    const struct {
        const char* name;
        AcCmColor colour;
        AcCmEntityColor::ColorMethod method;
        int index;
        Rgb rgb;
    } cases[] = {
        {"default", AcCmColor(), AcCmEntityColor::kByLayer, 256, {0, 0, 0}},
        {"index 256", indexed(256), AcCmEntityColor::kByLayer, 256, {0, 0, 0}},
        {"index 0", indexed(0), AcCmEntityColor::kByBlock, 0, {0, 0, 0}},
        {"index 257", indexed(257), AcCmEntityColor::kNone, 257, {0, 0, 0}},
        {"index 1", indexed(1), AcCmEntityColor::kByACI, 1, {255, 0, 0}},
        {"true colour: nearest index", trueColour, AcCmEntityColor::kByColor, 3, {10, 255, 0}},
        {"foreground", foreground, AcCmEntityColor::kForeground, 7, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.colour.colorMethod(), c.method) << c.name;
        EXPECT_EQ(c.colour.colorIndex(), c.index) << c.name;
        EXPECT_EQ(rgbOf(c.colour), c.rgb) << c.name;
        EXPECT_EQ(c.colour.isByLayer(), c.method == AcCmEntityColor::kByLayer) << c.name;
        EXPECT_EQ(c.colour.isByBlock(), c.method == AcCmEntityColor::kByBlock) << c.name;
    }
}

TEST(AcCmColorMethods, ChangingTheMethodKeepsTheColourShown) {
    AcCmColor c = indexed(30);
    EXPECT_EQ(c.setColorMethod(AcCmEntityColor::kByColor), Acad::eOk);
    EXPECT_TRUE(c.isByColor());
    EXPECT_EQ(rgbOf(c), (Rgb{255, 127, 0}));

    c.setRGB(250, 2, 3);
    EXPECT_EQ(c.setColorMethod(AcCmEntityColor::kByACI), Acad::eOk);
    EXPECT_EQ(c.colorIndex(), 1);

    AcCmColor packed;
    EXPECT_EQ(packed.setColor(c.color()), Acad::eOk);
    EXPECT_EQ(packed, c);
}

TEST(AcCmColorMethods, RefusesWhatIsNoColour) {
    AcCmColor c = indexed(5);
    EXPECT_EQ(c.setColorIndex(258), Acad::eInvalidInput);
    EXPECT_EQ(c.setColor(0x12000001), Acad::eInvalidInput);
    EXPECT_EQ(c.setColor(0xC3000000), Acad::eInvalidInput);
    EXPECT_EQ(c.colorIndex(), 5);
}

}  // namespace
