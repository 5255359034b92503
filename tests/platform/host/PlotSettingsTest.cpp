#include <gtest/gtest.h>

#include <string>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

AcDbPlotSettingsValidator* validator() {
    return acdbHostApplicationServices()->plotSettingsValidator();
}

std::wstring text(Acad::ErrorStatus (AcDbPlotSettings::*get)(const ACHAR*&) const,
                  const AcDbPlotSettings& settings) {
    const ACHAR* value = nullptr;
    (settings.*get)(value);
    return value;
}

TEST(PlotSettings, TheDeviceDecidesTheMediaAndThePaperSizeFollowsThem) {
    AcDbPlotSettings settings(false);
    const struct {
        const wchar_t* device;
        const wchar_t* media;
        Acad::ErrorStatus status;
        const wchar_t* device_after;
        const wchar_t* media_after;
        double width, height;
        AcDbPlotSettings::PlotPaperUnits units;
    } steps[] = {
        {L"dwg to pdf.pc3", L"ISO_A3_(420.00_x_297.00_MM)", Acad::eOk, L"DWG To PDF.pc3",
         L"ISO_A3_(420.00_x_297.00_MM)", 420, 297, AcDbPlotSettings::kMillimeters},
        {L"DWF6 ePlot.pc3", nullptr, Acad::eOk, L"DWF6 ePlot.pc3", L"ISO_A3_(420.00_x_297.00_MM)",
         420, 297, AcDbPlotSettings::kMillimeters},
        {L"PublishToWeb JPG.pc3", nullptr, Acad::eOk, L"PublishToWeb JPG.pc3",
         L"XGA_(1024.00_x_768.00_Pixels)", 1024, 768, AcDbPlotSettings::kPixels},
        {L"PublishToWeb PNG.pc3", L"ISO_A4_(297.00_x_210.00_MM)", Acad::eInvalidInput,
         L"PublishToWeb JPG.pc3", L"XGA_(1024.00_x_768.00_Pixels)", 1024, 768,
         AcDbPlotSettings::kPixels},
        {L"Plotter.pc3", nullptr, Acad::eInvalidInput, L"PublishToWeb JPG.pc3",
         L"XGA_(1024.00_x_768.00_Pixels)", 1024, 768, AcDbPlotSettings::kPixels},
        {L"DWG To PDF.pc3", L"ANSI_A_(8.50_x_11.00_Inches)", Acad::eOk, L"DWG To PDF.pc3",
         L"ANSI_A_(8.50_x_11.00_Inches)", 215.9, 279.4, AcDbPlotSettings::kInches},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(validator()->setPlotCfgName(&settings, s.device, s.media), s.status) << s.device;
        EXPECT_EQ(text(&AcDbPlotSettings::getPlotCfgName, settings), s.device_after);
        EXPECT_EQ(text(&AcDbPlotSettings::getCanonicalMediaName, settings), s.media_after);
        double w = 0, h = 0;
        settings.getPlotPaperSize(w, h);
        EXPECT_NEAR(w, s.width, 1e-9) << s.device;
        EXPECT_NEAR(h, s.height, 1e-9) << s.device;
        EXPECT_EQ(settings.plotPaperUnits(), s.units) << s.device;
    }
    // Every medium the module can ask for exists on the paper devices, in both orientations.
    for (const wchar_t* media :
         {L"ISO_A0_(841.00_x_1189.00_MM)", L"ISO_expand_A1_(594.00_x_841.00_MM)",
          L"ISO_full_bleed_4A0_(1682.00_x_2378.00_MM)", L"ANSI_full_bleed_F_(28.00_x_40.00_Inches)",
          L"ARCH_expand_E1_(30.00_x_42.00_Inches)", L"ARCH_full_bleed_A_(9.00_x_12.00_Inches)"}) {
        EXPECT_EQ(validator()->setCanonicalMediaName(&settings, media), Acad::eOk) << media;
    }
    EXPECT_EQ(validator()->setCanonicalMediaName(&settings, L"iso_a4_(297.00_x_210.00_mm)"),
              Acad::eInvalidInput);
    const ACHAR* locale = nullptr;
    EXPECT_EQ(validator()->getLocaleMediaName(&settings, L"ISO_A2_(594.00_x_420.00_MM)", locale),
              Acad::eOk);
    EXPECT_STREQ(locale, L"ISO A2 (594.00 x 420.00 MM)");
}

TEST(PlotSettings, TheValidatorRefusesWhatThePlotCannotDo) {
    AcDbPlotSettings paper(false), model(true);
    using P = AcDbPlotSettings;
    const Acad::ErrorStatus ok = Acad::eOk, invalid = Acad::eInvalidInput;
    // Braced rows run in order, so each row sees the settings the rows above left.
    const struct {
        const char* name;
        Acad::ErrorStatus status;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"rotation 90", validator()->setPlotRotation(&paper, P::k90degrees), ok},
        {"rotation 4", validator()->setPlotRotation(&paper, static_cast<P::PlotRotation>(4)),
         invalid},
        {"centred while plotting the layout", validator()->setPlotCentered(&paper, true), invalid},
        {"a layout of model space", validator()->setPlotType(&model, P::kLayout), invalid},
        {"a view without its name", validator()->setPlotType(&model, P::kView), invalid},
        {"type 6", validator()->setPlotType(&model, static_cast<P::PlotType>(6)), invalid},
        {"extents", validator()->setPlotType(&paper, P::kExtents), ok},
        {"centred", validator()->setPlotCentered(&paper, true), ok},
        {"scale 33", validator()->setStdScaleType(&paper, P::k1and1_2in_1ft), ok},
        {"scale 34", validator()->setStdScaleType(&paper, static_cast<P::StdScaleType>(34)),
         invalid},
        {"custom scale 0", validator()->setCustomPrintScale(&paper, 0, 1), invalid},
        {"window turned round", validator()->setPlotWindowArea(&paper, 10, 0, 0, 10), invalid},
        {"pixels on paper", validator()->setPlotPaperUnits(&paper, P::kPixels), invalid},
        {"inches on paper", validator()->setPlotPaperUnits(&paper, P::kInches), ok},
        {"known style sheet", validator()->setCurrentStyleSheet(&paper, L"MONOCHROME.ctb"), ok},
        {"unknown style sheet", validator()->setCurrentStyleSheet(&paper, L"mine.ctb"), invalid},
        {"no settings", validator()->setPlotRotation(nullptr, P::k0degrees),
         Acad::eNullObjectPointer},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status, c.expected) << c.name;
    }
    EXPECT_EQ(paper.plotRotation(), P::k90degrees);
    EXPECT_EQ(paper.plotType(), P::kExtents);
    EXPECT_TRUE(paper.plotCentered());
    EXPECT_EQ(text(&AcDbPlotSettings::getCurrentStyleSheet, paper), L"monochrome.ctb");
    double scale = 0;
    paper.getStdScale(scale);
    EXPECT_DOUBLE_EQ(scale, 0.125);
    // Plotting the layout again ends centring.
    EXPECT_EQ(validator()->setPlotType(&paper, P::kLayout), Acad::eOk);
    EXPECT_FALSE(paper.plotCentered());
}

TEST(PlotSettings, FileFlagsPackEverySwitch) {
    AcDbPlotSettings::Data data;
    for (int flags : {0, 1, 4 | 16 | 128, 1024 | 512 | 64 | 32 | 8 | 2, 0x7FF}) {
        qv::host::setPlotLayoutFlags(data, flags);
        EXPECT_EQ(qv::host::plotLayoutFlags(data), flags & ~256 & 0x7FF) << flags;
    }
}

class PlotSettingsInDrawing : public DrawingTest {};

TEST_F(PlotSettingsInDrawing, ALayoutOpenForReadCannotBeChangedAndACopyTakesEverySetting) {
    AcDbLayoutManager* manager = acdbHostApplicationServices()->layoutManager();
    WriteLock lock(document());
    AcDbLayout* layout = nullptr;
    ASSERT_EQ(manager->getLayoutNamed(L"Layout1", layout, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(validator()->setPlotCfgName(layout, L"DWG To PDF.pc3"), Acad::eNotOpenForWrite);
    ASSERT_EQ(layout->upgradeOpen(), Acad::eOk);
    EXPECT_EQ(
        validator()->setPlotCfgName(layout, L"DWG To PDF.pc3", L"ISO_A1_(841.00_x_594.00_MM)"),
        Acad::eOk);
    EXPECT_EQ(layout->setPrintLineweights(false), Acad::eOk);

    AcDbPlotSettings copy(layout->modelType());
    EXPECT_EQ(copy.copyFrom(layout), Acad::eOk);
    EXPECT_EQ(text(&AcDbPlotSettings::getCanonicalMediaName, copy), L"ISO_A1_(841.00_x_594.00_MM)");
    EXPECT_FALSE(copy.printLineweights());
    AcDbLine line;
    EXPECT_EQ(copy.copyFrom(&line), Acad::eNotThatKindOfClass);
    layout->close();

    // A named page setup goes into the drawing's page-setup dictionary, once per name.
    auto* setup = new AcDbPlotSettings(false);
    setup->setPlotSettingsName(L"A1 PDF");
    setup->copyFrom(&copy);
    setup->setPlotSettingsName(L"A1 PDF");
    ASSERT_EQ(setup->addToPlotSettingsDict(db()), Acad::eOk);
    setup->close();
    AcDbPlotSettings twin(false);
    twin.setPlotSettingsName(L"a1 pdf");
    EXPECT_EQ(twin.addToPlotSettingsDict(db()), Acad::eDuplicateRecordName);
}

}  // namespace
