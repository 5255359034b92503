// The plotted extents take in the texts of block references as the plot font sets them, and a
// plot whose sheet would stay blank is recognised before anything is written.
#include <gtest/gtest.h>

#include "host/plot/PlotExtents.h"
#include "host/plot/PlotRenderer.h"
#include "PlotFixture.h"
#include "host/db/AcDbMText.h"
#include "host/db/ObjectAccess.h"

namespace {

class PlotExtentsTest : public qv::test::PlotFixture {
  protected:
    const AcDbLayout& model() {
        return *qv::host::ObjectAccess::peekAs<AcDbLayout>(modelLayoutId());
    }
};

// A block whose only content is a constant text of wide letters, placed twice: the second
// reference is turned a quarter, so its text runs upwards.
TEST_F(PlotExtentsTest, ExtentsTakeInTheTextsOfReferencesAsTheyArePlotted) {
    AcDbObjectId block;
    {
        WriteLock lock(document());
        AcDbSymbolTablePointer<AcDbBlockTable> blocks(db(), AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName(L"LABEL");
        ASSERT_EQ(blocks->add(block, record), Acad::eOk);
        auto* label = new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), L"WWWWWWWWWW", L"T", L"");
        label->setHeight(10.0);
        label->setConstant(true);
        record->appendAcDbEntity(label);
        label->close();
        record->close();
    }
    addToModelSpace(new AcDbBlockReference(AcGePoint3d(0, 0, 0), block));
    auto* turned = new AcDbBlockReference(AcGePoint3d(-50, 0, 0), block);
    turned->setRotation(M_PI / 2);
    addToModelSpace(turned);
    const std::optional<qv::host::plot::PlotArea> extents =
        qv::host::plot::plottedExtents(model());
    ASSERT_TRUE(extents.has_value());
    // Ten capital Ws of DejaVu Sans at a cap height of 10 run about 135 units; a box of 0.6
    // heights per letter (60) would cut them off. Descenders reach below the baseline.
    EXPECT_GT(extents->xmax, 120.0);
    EXPECT_GT(extents->ymax, 120.0);
    EXPECT_LT(extents->ymin, 0.0);
    EXPECT_LT(extents->xmin, -50.0 - 10.0);
}

// Multi-line texts are measured as the plot sets them: in the plot font, at the heights their
// codes give, their columns side by side. Each text 10 high, its top left corner at (0, 0).
TEST_F(PlotExtentsTest, ExtentsTakeInMultiLineTextsAsTheyArePlotted) {
    const struct {
        const char* name;
        const wchar_t* contents;
        AcDbMText::Columns columns;
        double xmaxAbove, yminBelow, yminAbove;  // descenders reach 0.3 em below the baseline
    } cases[] = {
        // ten capital Ws run about 135 (0.6 heights a letter would give 60)
        {"plot font", L"WWWWWWWWWW", {}, 120, -10, -15},
        // four Ws three times as high, the baseline 30 down
        {"heights", L"a {\\H3x;WWWW}", {}, 150, -30, -45},
        // the second column from 25 on, level with the first
        {"columns", L"W\\NW", {true, 20.0, 5.0, {}}, 33, -10, -15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* text = new AcDbMText;
        AcDbMText::Data data;
        data.height = 10.0;
        data.contents = c.contents;
        data.columns = c.columns;
        text->qvSetData(data);
        const AcDbObjectId id = addToModelSpace(text);
        const std::optional<qv::host::plot::PlotArea> extents =
            qv::host::plot::plottedExtents(model());
        ASSERT_TRUE(extents.has_value());
        EXPECT_GT(extents->xmax, c.xmaxAbove);
        EXPECT_LT(extents->ymin, c.yminBelow);
        EXPECT_GT(extents->ymin, c.yminAbove);
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForWrite);
        ASSERT_EQ(entity->erase(), Acad::eOk);
    }
}

TEST_F(PlotExtentsTest, APlotOfNothingOnTheSheetShowsNothing) {
    addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 100, 0)));
    const struct {
        double xmin, ymin, xmax, ymax;
        bool shows;
    } windows[] = {
        {0, 0, 50, 50, true},              // holds half the line
        {5000, 5000, 5100, 5100, false},   // far away: a blank page at 1:1
        {40, 0, 100, 30, true},            // the line only crosses the sheet
    };
    for (const auto& w : windows) {
        setSettings(modelLayoutId(), L"DWG To PDF.pc3", L"ISO_A4_(297.00_x_210.00_MM)",
                    AcDbPlotSettings::kExtents, false, false);
        {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForWrite);
            AcDbPlotSettingsValidator* validator =
                acdbHostApplicationServices()->plotSettingsValidator();
            validator->setPlotWindowArea(layout.object(), w.xmin, w.ymin, w.xmax, w.ymax);
            validator->setPlotType(layout.object(), AcDbPlotSettings::kWindow);
            validator->setPlotCentered(layout.object(), true);
        }
        EXPECT_EQ(qv::host::plot::plotShowsAnything(model(), model(),
                                                    qv::host::plot::OutputFormat::Pdf),
                  w.shows)
            << w.xmin << "," << w.ymin;
    }
}

}  // namespace
