// The plotted extents take in the texts of block references as the plot font sets them, and a
// plot whose sheet would stay blank is recognised while it is drawn, before anything is put in
// place.
#include <gtest/gtest.h>

#include "host/plot/PlotExtents.h"
#include "host/plot/Painter.h"
#include "host/plot/PlotRenderer.h"
#include "PlotFixture.h"
#include "host/db/AcDbMText.h"
#include "host/db/ObjectAccess.h"
#include "support/PlotFiles.h"
#include "win32/CodePage.h"

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

// EXPORT finds a blank sheet while it draws the plot, once: nothing is written then, and the
// publish engine still writes its empty page. On A4 at 1:1 a window plot shows the window's
// middle with 148.5 by 105 units either side.
TEST_F(PlotExtentsTest, ABlankSheetIsFoundWhileThePlotIsDrawnOnce) {
    addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 100, 0)));
    auto text = [&](double x, const ACHAR* letters) {
        addToModelSpace(
            new AcDbText(AcGePoint3d(x, 5050, 0), letters, AcDbObjectId(), 10.0, 0.0));
    };
    text(4820, L"WWWW");  // ends left of the sheet of the window round (5050, 5050)
    text(5250, L"WWWW");  // starts right of it
    text(9880, L"WWWWWWWW");  // starts left of the sheet round (10050, 5050), reaches into it
    resbuf value{};
    value.restype = RTSHORT;
    value.resval.rint = 0;
    ASSERT_EQ(acedSetVar(L"FILEDIA", &value), RTNORM);
    const struct {
        const char* what;
        double xmin, ymin, xmax, ymax;  // a window; the extents when xmax is 0
        bool shows;
        unsigned long long paints;  // what EXPORT draws: the extents' texts, the sheet
    } cases[] = {
        {"holds half the line", 0, 0, 50, 50, true, 1},
        {"far away", 50000, 50000, 50100, 50100, false, 1},
        {"the line only crosses the sheet", 40, 0, 100, 30, true, 1},
        {"texts on either side of the sheet", 5000, 5000, 5100, 5100, false, 1},
        {"a text reaching into the sheet", 10000, 5000, 10100, 5100, true, 1},
        {"the extents", 0, 0, 0, 0, true, 2},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool window = c.xmax != 0;
        setSettings(modelLayoutId(), L"DWG To PDF.pc3", L"ISO_A4_(297.00_x_210.00_MM)",
                    window ? AcDbPlotSettings::kWindow : AcDbPlotSettings::kExtents, !window);
        if (window) {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbLayout> layout(modelLayoutId(), AcDb::kForWrite);
            acdbHostApplicationServices()->plotSettingsValidator()->setPlotWindowArea(
                layout.object(), c.xmin, c.ymin, c.xmax, c.ymax);
        }
        const std::string file = "plot" + std::to_string(++n) + ".pdf";
        qv::host::transcript().clear();
        const unsigned long long before = qv::host::plot::Painter::qvBlocksDrawn();
        acedCommand(RTSTR, L"_EXPORT", RTSTR, (L"C:\\" + CString(file.c_str())).GetString(),
                    RTNONE);
        EXPECT_EQ(qv::host::plot::Painter::qvBlocksDrawn() - before, c.paints);
        const std::wstring said = qv::host::transcript().text();
        EXPECT_NE(said.find(c.shows ? L"Exported Model" : L"Nothing to plot in the plot area"),
                  std::wstring::npos)
            << qv::wideToUtf8(said);
        EXPECT_EQ(drive.exists(file), c.shows);
        if (!c.shows) {
            // Through the publish engine the blank sheet is an empty page of the paper.
            const std::wstring published = L"C:\\published.pdf";
            EXPECT_EQ(publish(modelLayoutId(), published), Acad::eOk);
            const auto size = qv::test::pdfPageSize(drive.posix("published.pdf"));
            ASSERT_TRUE(size);
            EXPECT_NEAR(size->first, 841.89, 0.5);
        }
    }
    // Nothing but the files written is left in the folder (no temporary file of a refusal).
    const auto [listing, status] = qv::test::runCommand("ls -A '" + drive.root() + "'");
    EXPECT_EQ(listing, "plot1.pdf\nplot3.pdf\nplot5.pdf\nplot6.pdf\npublished.pdf\n");
}

}  // namespace
