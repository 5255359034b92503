// The block creator's operations that no caller of the module uses: the name builder, the
// prefix and preference setters and the area-type test, on a dialog that is never shown.
#include <gtest/gtest.h>

#include "module/PresBlockCreation.h"

namespace {

TEST(BlockCreatorBuilder, BuildsPrefixAndZeroPaddedCounter) {
    const struct {
        const wchar_t* prefix;  // given to the setter ("" is ignored)
        int counter, width;
        const wchar_t* name;
        int widthAfter;
    } cases[] = {
        {L"Office ", 7, 3, L"Office 007", 3},
        {L"Office ", 123, 3, L"Office 123", 3},
        {L"Office ", 1234, 3, L"Office 1234", 4},  // a longer counter widens the width
        {L"R", 0, 1, L"R0", 1},
        {L"", 5, 2, L"R05", 2},  // the empty prefix leaves the one set before
    };
    CPresBlockCreation creator;
    EXPECT_EQ(CString(), creator.getNamePrefix());
    EXPECT_EQ(1, creator.getCounter());
    EXPECT_EQ(1, creator.getCounterWidth());
    for (const auto& c : cases) {
        creator.setNamePrefix(c.prefix);
        creator.setCounter(c.counter);
        creator.setCounterWidth(c.width);
        creator.buildNextSpaceName();
        EXPECT_EQ(CString(c.name), creator.getNextSpaceName()) << c.counter;
        EXPECT_EQ(c.widthAfter, creator.getCounterWidth()) << c.counter;
    }
}

TEST(BlockCreatorBuilder, PreferenceSettersCopyTheFiveTextValuesOnly) {
    CPresBlockCreation creator;
    CPreferences other;
    other.setUnits(1);
    other.setPrecision(4);
    other.setTextSize(80.0);
    other.setTextScale(0.8);
    other.setTextRotation(-90.0);
    other.setInc(7);
    other.setCsvOpener(L"libreoffice");
    creator.setPreferences(other);
    const CPreferences& copied = creator.getPreferences();
    EXPECT_EQ(1, copied.getUnits());
    EXPECT_EQ(4, copied.getPrecision());
    EXPECT_DOUBLE_EQ(80.0, copied.getTextSize());
    EXPECT_DOUBLE_EQ(0.8, copied.getTextScale());
    EXPECT_DOUBLE_EQ(-90.0, copied.getTextRotation());
    EXPECT_EQ(1, copied.getInc()) << "the increment is not one of them";
    EXPECT_EQ(CString(L"NONE"), copied.getCsvOpener());

    creator.setPreferences(0, 2, 250.0, 1.0, 45.0);
    EXPECT_EQ(0, copied.getUnits());
    EXPECT_EQ(2, copied.getPrecision());
    EXPECT_DOUBLE_EQ(250.0, copied.getTextSize());
    EXPECT_DOUBLE_EQ(1.0, copied.getTextScale());
    EXPECT_DOUBLE_EQ(45.0, copied.getTextRotation());
}

TEST(BlockCreatorBuilder, TheAreaTypesAreElevenTexts) {
    const struct {
        const wchar_t* text;
        BOOL areaType;
    } cases[] = {
        {L"GROSS AREA", TRUE},
        {L"CORE AREA", TRUE},
        {L"NET AREA", TRUE},
        {L"USABLE AREA", TRUE},
        {L"BALANCE AREA", TRUE},
        {L"LETTABLE AREA", TRUE},
        {L"COMMON AREA", TRUE},
        {L"CELULAR AREA", TRUE},
        {L"CELLULAR AREA", TRUE},
        {L"OPEN PLAN AREA", TRUE},
        {L"CIRCULATION AREA", TRUE},
        {L"FLOOR 2 NET AREA (WEST)", TRUE},  // contained anywhere
        {L"AREA", FALSE},
        {L"OFFICE AREA", FALSE},
        {L"net area", FALSE},  // case-sensitive
        {L"NETAREA", FALSE},
        {L"", FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.areaType, CPresBlockCreation::isAreaType(c.text))
            << CStringA(c.text).GetString();
}

}  // namespace
