#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "core/ErrorCapture.h"
#include "drawing/AcadUtilities.h"

using qv::test::caught;
using qv::test::Level;
using qv::test::levels;

namespace {

TEST(PlotDevices, StoredIdsChooseTheDeviceFileAndExtension) {
    const struct {
        int id;
        int device;
        const wchar_t* name;
        const wchar_t* extension;
    } cases[] = {
        {0, 0, L"DWF6 ePlot.pc3", L".dwf"},       {1, 1, L"DWG To PDF.pc3", L".pdf"},
        {2, 2, L"PublishToWeb JPG.pc3", L".jpg"}, {3, 3, L"PublishToWeb PNG.pc3", L".png"},
        {4, 0, L"DWF6 ePlot.pc3", L".dwf"},       {-1, 0, L"DWF6 ePlot.pc3", L".dwf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const int device = CAcadUtilities::convertPlotDevice(c.id);
        EXPECT_EQ(c.device, device);
        EXPECT_EQ(CString(c.name), CAcadUtilities::convertPlotDeviceToName(device));
        EXPECT_EQ(CString(c.extension), CAcadUtilities::plotExtension(device));
        // Looked up straight from the id, a value out of range names device 0 as well.
        EXPECT_EQ(CString(c.name), CAcadUtilities::convertPlotDeviceToName(c.id));
        EXPECT_EQ(CString(c.extension), CAcadUtilities::plotExtension(c.id));
    }
}

// Every conversion has both directions: ids in range come back unchanged, anything else is 0.
TEST(PlotSettingIds, EachKindMapsItsRangeBothWaysAndEverythingElseToZero) {
    const struct {
        const char* kind;
        int last;
        int (*fromId)(int);
        int (*toId)(int);
    } kinds[] = {
        {"device", 3,
         [](int id) { return static_cast<int>(CAcadUtilities::convertPlotDevice(id)); },
         CAcadUtilities::convertToPlotDeviceID},
        {"area", 5, CAcadUtilities::convertPlotArea, CAcadUtilities::convertToAreaTypeID},
        {"scale", 33, CAcadUtilities::convertScale, CAcadUtilities::convertToScaleTypeID},
        {"media", 88, CAcadUtilities::convertMediaSizeFromId, CAcadUtilities::convertToMediaSizeID},
    };
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.kind);
        for (int id = -2; id <= k.last + 2; ++id) {
            const int expected = id >= 0 && id <= k.last ? id : 0;
            EXPECT_EQ(expected, k.fromId(id)) << id;
            EXPECT_EQ(expected, k.toId(id)) << id;
        }
        EXPECT_EQ(0, k.fromId(INT_MIN));
        EXPECT_EQ(0, k.toId(INT_MAX));
    }
}

TEST(PlotMedia, ValuesNameTheirCanonicalPaperAndOutOfRangeNamesTheFirst) {
    const struct {
        int media;
        const wchar_t* name;
    } cases[] = {
        {0, L"ISO_A1_(841.00_x_594.00_MM)"},
        {39, L"ANSI_A_(11.00_x_8.50_Inches)"},
        {88, L"ARCH_full_bleed_A_(9.00_x_12.00_Inches)"},
        {89, L"ISO_A1_(841.00_x_594.00_MM)"},
        {-1, L"ISO_A1_(841.00_x_594.00_MM)"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.name, CAcadUtilities::convertMediaSize(c.media)) << c.media;
    }
    EXPECT_STREQ(L"ARCH_full_bleed_A_(9.00_x_12.00_Inches)",
                 CAcadUtilities::convertMediaSize(CAcadUtilities::convertMediaSizeFromId(88)));
}

// The validator rejects a name it does not know, so every value must give a distinct name of the
// canonical form: sheet, then "(width_x_height_" and the unit.
TEST(PlotMedia, EveryValueHasItsOwnWellFormedCanonicalName) {
    const std::wregex form(LR"([A-Za-z0-9_]+_\(\d+\.\d\d_x_\d+\.\d\d_(MM|Inches)\))");
    std::set<std::wstring> names;
    for (int media = 0; media <= 88; ++media) {
        const std::wstring name = CAcadUtilities::convertMediaSize(media);
        EXPECT_TRUE(std::regex_match(name, form)) << media;
        names.insert(name);
    }
    EXPECT_EQ(89u, names.size());
}

TEST(PlotFileExtension, TheNameEndsInTheDevicesExtension) {
    const struct {
        const wchar_t* name;
        int device;
        const wchar_t* expected;
    } cases[] = {
        {L"report", 1, L"report.pdf"},
        {L"report.PDF", 1, L"report.pdf"},
        {L"report.dwf", 1, L"report.pdf"},
        {L"floor.2 plan", 1, L"floor.pdf"},
        {L"a.b.c", 3, L"a.b.png"},
        {L".", 2, L".jpg"},
        {L"plan", 9, L"plan.dwf"},
        {L"plan.pdf", -1, L"plan.dwf"},
    };
    for (const auto& c : cases) {
        CString name = c.name;
        CAcadUtilities::checkPlotFileExtension(name, c.device);
        EXPECT_EQ(CString(c.expected), name) << CStringA(c.name).GetString();
    }
}

TEST(PlotFileExtension, AnEmptyNameIsReportedAsAnInvalidPlotFileName) {
    CString name;
    auto error = caught([&] { CAcadUtilities::checkPlotFileExtension(name, 1); });
    ASSERT_TRUE(error);
    EXPECT_EQ((std::vector<Level>{
                  {L"CAcadUtilities::checkPlotFileExtension", L"unhandled error"},
                  {L"CAcadUtilities::checkPlotFileExtension", L"Invalid Plot Filename - ''"}}),
              levels(error.get()));
    EXPECT_EQ(CString(L"AcadUtilities"), error->getInnerException()->getClass());
    EXPECT_TRUE(name.IsEmpty());
}

}  // namespace
