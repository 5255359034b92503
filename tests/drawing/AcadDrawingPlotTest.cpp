#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/ErrorCapture.h"
#include "drawing/AcadDrawing.h"
#include "drawing/HostIdentity.h"
#include "support/HostFixture.h"
#include "support/PlotFiles.h"
#include "support/TempDrive.h"

namespace {

// The two plot paths, by the host that runs the module.
enum class Path { Publish, Export };

const char* name(Path path) {
    return path == Path::Publish ? "publish engine" : "export command";
}

class AcadDrawingPlotTest : public qv::test::DrawingTest {
  protected:
    AcadDrawingPlotTest() : m_savedHost(hostIdentity) {
        qv::host::plot::clearRecordedPlotProgress();
        addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(200, 100, 0)));
        // The paper layout has something of its own to plot, too (a plot of nothing is refused).
        {
            WriteLock lock(document());
            AcDbLayout* sheet = nullptr;
            acdbHostApplicationServices()->layoutManager()->getLayoutNamed(L"Layout1", sheet,
                                                                           AcDb::kForRead, db());
            AcDbObjectPointer<AcDbBlockTableRecord> space(sheet->getBlockTableRecordId(),
                                                          AcDb::kForWrite);
            sheet->close();
            auto* line = new AcDbLine(AcGePoint3d(10, 10, 0), AcGePoint3d(100, 50, 0));
            space->appendAcDbEntity(line);
            line->close();
        }
        drive.makeFolder("out");
        m_drawing.setDocument(document());
        m_drawing.setFileName(L"plan.dwg");
        m_drawing.setIsOpen(1);
        m_drawing.setIsCurrentDocument(1);
    }
    ~AcadDrawingPlotTest() override { hostIdentity = m_savedHost; }

    void use(Path path) {
        hostIdentity = CHostIdentity(path == Path::Publish ? L"AutoCAD 2015" : L"BricsCAD", L"");
    }
    // Plots with the report batch run's usual settings: apply, centred, scale to fit,
    // extents, ISO A3 landscape (media id 4), not turned.
    int plot(CString& layout, const wchar_t* folder, const wchar_t* file, int device = 1,
             int apply = 1) {
        return m_drawing.plot(&layout, folder, file, device, apply, 1, 0, 1, 4, 1);
    }
    AcDbPlotSettings::Data settingsOf(const wchar_t* layoutName) {
        AcDbLayout* layout = nullptr;
        EXPECT_EQ(acdbHostApplicationServices()->layoutManager()->getLayoutNamed(
                      layoutName, layout, AcDb::kForRead, db()),
                  Acad::eOk);
        AcDbPlotSettings::Data data = layout->qvData();
        layout->close();
        return data;
    }
    void makeCurrent(const wchar_t* layoutName) {
        WriteLock lock(document());
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->setCurrentLayout(layoutName,
                                                                                  db()),
                  Acad::eOk);
    }
    short filedia() {
        resbuf value{};
        acedGetVar(L"FILEDIA", &value);
        return value.resval.rint;
    }

    qv::test::TempDrive drive;
    CAcadDrawing m_drawing;

  private:
    CHostIdentity m_savedHost;
};

// Device 1 with the name "report" writes report.pdf into the folder, a PDF page of the medium
// the path plots on: the layout's own A4 through the export command (which reads none of the
// report's settings), then the report's A3 through the publish engine.
TEST_F(AcadDrawingPlotTest, DeviceOnePlotsReportPdfIntoTheFolder) {
    struct Case {
        Path path;
        double width, height;
    };
    for (const Case& c : {Case{Path::Export, 841.89, 595.28}, Case{Path::Publish, 1190.55, 841.89}}) {
        SCOPED_TRACE(name(c.path));
        use(c.path);
        CString layout = L"Model";
        EXPECT_EQ(plot(layout, L"C:\\out", L"report"), CAcadDrawing::PLOT_DONE);
        const auto size = qv::test::pdfPageSize(drive.posix("out/report.pdf"));
        ASSERT_TRUE(size);
        EXPECT_NEAR(size->first, c.width, 0.5);
        EXPECT_NEAR(size->second, c.height, 0.5);
        EXPECT_EQ(filedia(), 1);
    }
}

TEST_F(AcadDrawingPlotTest, TheProgressDialogShowsTheReportEngine) {
    use(Path::Publish);
    CString layout = L"Model";
    ASSERT_EQ(plot(layout, L"C:\\out\\", L"report.pdf"), CAcadDrawing::PLOT_DONE);
    ASSERT_EQ(ui.dialogsShown().size(), 1u);
    EXPECT_EQ(ui.dialogsShown()[0].caption, L"ORVAN Graphic Report Engine - DWG To PDF.pc3");
    // The engine's steps that carry the report's name and the sheet's progress, in order.
    const std::vector<std::wstring>& progress = qv::host::plot::recordedPlotProgress();
    auto at = progress.begin();
    for (const wchar_t* step : {L"created: 1 sheet(s), cancel sheet button",
                                L"text 0: ORVAN Graphic Report Engine - DWG To PDF.pc3",
                                L"begin sheet", L"text 3: Plotted", L"end sheet", L"destroyed"}) {
        at = std::find(at, progress.end(), std::wstring(step));
        EXPECT_NE(at, progress.end()) << CStringA(step).GetString();
    }
    ASSERT_EQ(ui.dialogsClosed().size(), 1u);
}

// No folder: 8 and no file; no file name: the plot-file-name error; a plot that leaves no file
// (a folder of the name that is missing) is no success, and a stale file does not count as its
// output.
TEST_F(AcadDrawingPlotTest, MissingFolderNameOrFileAreReported) {
    for (Path path : {Path::Publish, Path::Export}) {
        SCOPED_TRACE(name(path));
        use(path);
        CString layout = L"Model";
        EXPECT_EQ(plot(layout, L"C:\\missing", L"report"), CAcadDrawing::PLOT_NO_FOLDER);
        EXPECT_FALSE(drive.exists("missing/report.pdf"));

        drive.writeFile("out/report.dwf", "from an earlier run");
        EXPECT_EQ(plot(layout, L"C:\\out", L"report", 0), CAcadDrawing::PLOT_DONE);
        EXPECT_EQ(drive.readFile("out/report.dwf").rfind("(DWF V06.00)", 0), 0u);
        EXPECT_EQ(plot(layout, L"C:\\out", L"sub\\report", 0), CAcadDrawing::PLOT_NOT_WRITTEN);
        EXPECT_FALSE(drive.exists("out/sub/report.dwf"));
        EXPECT_EQ(filedia(), 1);

        auto error = qv::test::caught([&] { plot(layout, L"C:\\out", L""); });
        ASSERT_TRUE(error);
        const auto chain = qv::test::levels(error.get());
        EXPECT_EQ(chain.front().procSig, L"CAcadDrawing::plot");
        EXPECT_NE(chain.back().description.Find(L"Invalid Plot Filename"), -1) << chain.back().description;
    }
}

// An empty layout name plots the active layout and gives its name back; a named layout becomes
// current before it is plotted.
TEST_F(AcadDrawingPlotTest, TheNamedOrTheActiveLayoutIsPlotted) {
    for (Path path : {Path::Publish, Path::Export}) {
        SCOPED_TRACE(name(path));
        use(path);
        for (const wchar_t* active : {L"Layout1", L"Model"}) {
            makeCurrent(active);
            CString layout;
            EXPECT_EQ(plot(layout, L"C:\\out", L"active"), CAcadDrawing::PLOT_DONE);
            EXPECT_EQ(layout, active);
            EXPECT_TRUE(drive.exists("out/active.pdf"));
        }
        CString layout = L"Layout1";
        EXPECT_EQ(plot(layout, L"C:\\out", L"sheet"), CAcadDrawing::PLOT_DONE);
        EXPECT_STREQ(acdbHostApplicationServices()->layoutManager()->findActiveLayout(true, db()),
                     L"Layout1");
    }
}

// With the apply flag the report's settings go into the layout; without it extents scaled to
// fit, and centring, medium and rotation stay as they were.
TEST_F(AcadDrawingPlotTest, ApplyFlagDecidesWhatTheLayoutTakes) {
    use(Path::Publish);
    {
        WriteLock lock(document());
        AcDbLayout* layout = nullptr;
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->getLayoutNamed(
                      L"Model", layout, AcDb::kForWrite, db()),
                  Acad::eOk);
        AcDbPlotSettingsValidator* validator =
            acdbHostApplicationServices()->plotSettingsValidator();
        validator->setPlotCfgName(layout, L"DWG To PDF.pc3", L"ISO_A2_(594.00_x_420.00_MM)");
        validator->setPlotType(layout, AcDbPlotSettings::kLimits);
        validator->setStdScaleType(layout, AcDbPlotSettings::k1_100);
        validator->setPlotCentered(layout, false);
        validator->setPlotRotation(layout, AcDbPlotSettings::k90degrees);
        layout->close();
    }
    struct Case {
        int apply;
        AcDbPlotSettings::PlotType type;
        AcDbPlotSettings::StdScaleType scale;
        bool centred;
        const wchar_t* medium;
        AcDbPlotSettings::PlotRotation rotation;
    };
    const Case cases[] = {
        {0, AcDbPlotSettings::kExtents, AcDbPlotSettings::kScaleToFit, false,
         L"ISO_A2_(594.00_x_420.00_MM)", AcDbPlotSettings::k90degrees},
        {1, AcDbPlotSettings::kExtents, AcDbPlotSettings::kScaleToFit, true,
         L"ISO_A3_(420.00_x_297.00_MM)", AcDbPlotSettings::k0degrees},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.apply);
        CString layout = L"Model";
        ASSERT_EQ(plot(layout, L"C:\\out", L"apply", 1, c.apply), CAcadDrawing::PLOT_DONE);
        const AcDbPlotSettings::Data data = settingsOf(L"Model");
        EXPECT_EQ(data.plotCfgName, L"DWG To PDF.pc3");
        EXPECT_EQ(data.plotType, c.type);
        EXPECT_TRUE(data.useStandardScale);
        EXPECT_EQ(data.stdScaleType, c.scale);
        EXPECT_EQ(data.plotCentered, c.centred);
        EXPECT_EQ(data.canonicalMediaName, c.medium);
        EXPECT_EQ(data.rotation, c.rotation);
        EXPECT_TRUE(data.printLineweights);
        // The page is the layout's medium as it stands after the plot.
        const auto size = qv::test::pdfPageSize(drive.posix("out/apply.pdf"));
        ASSERT_TRUE(size);
        EXPECT_NEAR(size->first, c.apply ? 1190.55 : 1683.78, 0.5);
    }
}

// The export path replaces a file that is there, prints the path, and leaves FILEDIA 1.
TEST_F(AcadDrawingPlotTest, ExportReplacesTheFileAndRestoresFiledia) {
    use(Path::Export);
    drive.writeFile("out/report.png", "an old plot");
    qv::host::transcript().clear();
    CString layout = L"Model";
    ASSERT_EQ(plot(layout, L"C:\\out", L"report", 3), CAcadDrawing::PLOT_DONE);
    const auto probe = qv::test::probeImage(drive.posix("out/report.png"));
    ASSERT_TRUE(probe) << "the old file is replaced by an image";
    EXPECT_EQ(probe->format, "PNG");
    EXPECT_EQ(filedia(), 1);
    EXPECT_NE(qv::host::transcript().text().find(L"C:\\out\\report.png\n\n"), std::wstring::npos)
        << qv::host::transcript().text();
    EXPECT_TRUE(ui.dialogsShown().empty()) << "no progress dialog on this path";
}

}  // namespace
