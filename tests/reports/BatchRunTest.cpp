// The report batch run against the test database: reports waiting in status 90 (fixture
// 09-batch.sql) run on a floor plan of three rooms saved under C:\batch\plans\. Each outcome is a
// status read back from the database; the files the run writes are read by other programs
// (pdfinfo, PIL) or by the report's own reader, and the plan's file never changes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SpaceDrawingFixture.h"
#include "blocks/Blocks.h"
#include "core/ErrorCapture.h"
#include "core/ServerPreferenceDocMon.h"
#include "database/RecordsetReader.h"
#include "database/SQLStatement.h"
#include "database/StoredProcedure.h"
#include "drawing/Layers.h"
#include "host/CommandLine.h"
#include "host/DrawingFiles.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/GraphicReports.h"
#include "support/PlotFiles.h"
#include "support/Raised.h"
#include "support/TempDrive.h"
#include "support/TestDatabase.h"
#include "win32/CodePage.h"
#include "win32/FileReplacement.h"

namespace {

using qv::test::caught;

const int kWaiting = 90;

class BatchRunTest : public qv::test::SpaceDrawingTest {
  protected:
    void SetUp() override {
        SpaceDrawingTest::SetUp();
        m_comInitialised = SUCCEEDED(CoInitialize(nullptr));
        // Each test works on a copy of the fixture of its own: the reports wait in it as seeded.
        const std::string error = m_copy.make();
        ASSERT_EQ(error, "");
        m_db = &m_copy.db();

        room(L"ROOM-1", 0, 0, 4000, 3000, L"1.01");
        room(L"ROOM-2", 5000, 0, 2000, 3000, L"1.02");
        room(L"ROOM-3", 0, 4000, 7000, 2000, L"1.03");
        for (const char* folder : {"batch/plans", "batch/out", "batch/copies", "batch/xml"})
            drive.makeFolder(folder);
        ASSERT_EQ(db()->saveAs(L"C:\\batch\\plans\\floor.dwg"), Acad::eOk);
        drive.writeFile("batch/plans/broken.dwg", "this is no drawing\n");
        m_plan = drive.readFile("batch/plans/floor.dwg");
        m_server = serverWithReportFolder(L"C:\\batch\\out");
    }
    void TearDown() override {
        m_procedure.reset();
        m_copy.drop();
        if (m_comInitialised)
            CoUninitialize();
        SpaceDrawingTest::TearDown();
    }

    CStoredProcedure* procedure() {
        if (!m_procedure)
            m_procedure = std::make_unique<CStoredProcedure>(
                m_db->server.c_str(), m_db->catalog.c_str(), m_db->user.c_str(),
                m_db->password.c_str(), 30);
        return m_procedure.get();
    }
    void sql(const wchar_t* text) {
        CSQLStatement statement(m_db->server.c_str(), m_db->catalog.c_str(), m_db->user.c_str(),
                                m_db->password.c_str(), 10);
        statement.execSQLNoReturn(text);
    }
    // Status and plotted layout ("-" for NULL) of the tests' reports, by id.
    std::map<int, std::pair<int, std::wstring>> recorded() {
        CSQLStatement statement(m_db->server.c_str(), m_db->catalog.c_str(), m_db->user.c_str(),
                                m_db->password.c_str(), 10);
        CRecordsetReader rows(statement.execSQLReturn(
            L"SELECT id, status_id::integer AS status, plotted_layout FROM graphic_reports "
            L"WHERE id BETWEEN 901 AND 909 ORDER BY id"));
        std::map<int, std::pair<int, std::wstring>> out;
        while (rows.next()) {
            int id = 0, status = 0;
            CString layout = L"-";
            rows.read(L"id", id);
            rows.read(L"status", status);
            rows.read(L"plotted_layout", layout);
            out[id] = {status, layout.GetString()};
        }
        rows.close();
        return out;
    }
    // A server block naming the graphic-report folder (COM is initialised by SetUp).
    static std::unique_ptr<CServerPreferenceDocMon> serverWithReportFolder(const wchar_t* folder) {
        MSXML2::IXMLDOMDocumentPtr document;
        document.CreateInstance(L"Msxml2.DOMDocument");
        document->loadXML((L"<server><graphRepOutPath>" + std::wstring(folder) +
                           L"</graphRepOutPath><dbTimeout>17</dbTimeout></server>")
                              .c_str());
        auto server = std::make_unique<CServerPreferenceDocMon>();
        server->deSerialize(document->selectSingleNode(L"/*"));
        return server;
    }
    qv::test::TempDrive drive;
    std::string m_plan;
    std::unique_ptr<CServerPreferenceDocMon> m_server;

  private:
    qv::test::DatabaseCopy m_copy;
    const qv::test::TestDatabase* m_db = nullptr;
    bool m_comInitialised = false;
    std::unique_ptr<CStoredProcedure> m_procedure;
};

// The whole run: each report ends with its own status, a failing report does not stop the ones
// after it, and only the good reports leave files; the plan itself is never written.
TEST_F(BatchRunTest, EachReportEndsWithItsStatusAndTheRunGoesOn) {
    CGraphicReports reports;
    reports.getGraphicReports(procedure(), m_server.get(), kWaiting, 30);
    ASSERT_EQ(reports.getCount(), 9);
    qv::host::transcript().clear();
    reports.prepareReports(procedure(), 30);

    const std::map<int, std::pair<int, std::wstring>> expected = {
        {901, {4, L"-"}},       // no drawing file
        {902, {14, L"-"}},      // the drawing does not open: the run goes on
        {903, {10, L"-"}},      // no output folder
        {904, {3, L"Model"}},   // plotted; the empty layout records the one plotted
        {905, {12, L"-"}},      // the copy names the plan in other letters
        {906, {13, L"-"}},      // the XML names the plan through ".."
        {907, {11, L"-"}},      // a "|" in the plot's name
        {908, {3, L"-"}},       // the server's folder; the layout named stays: nothing recorded
        {909, {3, L"-"}},       // the default device: a DWF, its copy and its XML
    };
    EXPECT_EQ(recorded(), expected);
    EXPECT_NE(qv::host::transcript().text().find(
                  L"An error has been detected please consult the error log"),
              std::wstring::npos)
        << "the broken drawing's error is logged";
    EXPECT_EQ(acDocManager->documentCount(), 1) << "every report's drawing is closed";

    // 904: the PDF, the copy in the copies folder and the XML beside the PDF.
    const auto page = qv::test::pdfPageSize(drive.posix("batch/out/rooms.pdf"));
    ASSERT_TRUE(page) << "rooms.pdf is a PDF";
    EXPECT_GT(page->first, 0.0);
    const std::string copy = drive.readFile("batch/copies/floor.dwg");
    EXPECT_NE(copy.find("HATCH-ALL"), std::string::npos) << "the copy holds the report's hatches";
    CGraphicReport written;
    written.deSerialize(L"C:\\batch\\out\\rooms.xml");
    EXPECT_EQ(written.getID(), 904);
    EXPECT_EQ(written.getTitle(), L"Rooms");
    EXPECT_EQ(written.getPlotLayout(), L"Model");
    EXPECT_DOUBLE_EQ(written.getTotalChildAreas(), 18.0);
    ASSERT_NE(written.getCategories(), nullptr);
    ASSERT_EQ(written.getCategories()->getCount(), 1);
    ASSERT_NE(written.getCategories()->getAt(0)->getBlocks(), nullptr);
    EXPECT_EQ(written.getCategories()->getAt(0)->getBlocks()->getCount(), 3)
        << "\"*\" keeps the three rooms it hatched";
    ASSERT_NE(written.getLayersOn(), nullptr);
    EXPECT_EQ(written.getLayersOn()->getCount(), 1);

    // 905 plotted but kept no copy and wrote no XML; 906 saved its copy beside the plan but no
    // XML; 907 and 903 plotted nothing.
    EXPECT_TRUE(drive.exists("batch/out/over.pdf"));
    EXPECT_FALSE(drive.exists("batch/out/over.xml"));
    EXPECT_TRUE(drive.exists("batch/plans/floor-copy.dwg"));
    EXPECT_FALSE(drive.exists("batch/out/xml-over.xml"));
    EXPECT_FALSE(drive.exists("batch/out/rooms|1.pdf"));
    EXPECT_FALSE(drive.exists("batch/out/nowhere.pdf"));

    // 908: a PNG in the server's folder, its XML under the plan's name in the XML folder.
    const auto image = qv::test::probeImage(drive.posix("batch/out/server.png"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->format, "PNG");
    EXPECT_TRUE(drive.exists("batch/xml/floor.xml"));
    EXPECT_TRUE(drive.exists("batch/copies/server-copy.dwg")) << "a copy to a full path";

    // 909: device 0 writes a DWF package.
    EXPECT_EQ(drive.readFile("batch/out/vector.dwf").rfind("(DWF V06.00)PK", 0), 0u);
    EXPECT_TRUE(drive.exists("batch/out/vector.xml"));
    EXPECT_TRUE(drive.exists("batch/copies/dwf-copy.dwg"));

    EXPECT_EQ(drive.readFile("batch/plans/floor.dwg"), m_plan) << "the plan is byte-identical";
}

// A report's row, read column by column (the run above shows what the paths, names and plot
// types do): the plot settings, the XML target as stored, the lists only when they have rows;
// an id without a row and a status nothing waits in give nothing.
TEST_F(BatchRunTest, AReportIsFilledFromItsRow) {
    CGraphicReport rooms;
    rooms.getGraphicReport(procedure(), m_server.get(), 904, 30);
    EXPECT_EQ(rooms.getTitle(), L"Rooms");
    EXPECT_EQ(rooms.getPlotAreaType(), 1);
    EXPECT_EQ(rooms.getPlotMediaSize(), 4);
    EXPECT_EQ(rooms.getPlotScaleType(), 0);
    EXPECT_EQ(rooms.getPlotCentred(), 1);
    EXPECT_EQ(rooms.getApplyPlotSettings(), 1);
    EXPECT_EQ(rooms.getLinkLines(), nullptr);

    CGraphicReport xmlOver;
    xmlOver.getGraphicReport(procedure(), m_server.get(), 906, 30);
    EXPECT_EQ(xmlOver.getXMLOutputTo(), L"C:\\batch\\out\\..\\PLANS\\Floor.dwg")
        << "no backslash appended";
    EXPECT_EQ(xmlOver.getCategories(), nullptr);
    EXPECT_EQ(xmlOver.getLayersOn(), nullptr);

    CGraphicReport none;
    none.getGraphicReport(procedure(), m_server.get(), 999999, 30);
    EXPECT_EQ(none.getTitle(), L"");
    EXPECT_EQ(none.getOutputPath(), L"") << "no row: the server's folder is not taken either";

    CGraphicReports nothingWaits;
    nothingWaits.getGraphicReports(procedure(), m_server.get(), 91, 30);
    EXPECT_EQ(nothingWaits.getCount(), 0);
    nothingWaits.prepareReports(procedure(), 30);
}

// ".." never climbs above the drive: an XML target through "C:\.." still names the plan.
TEST_F(BatchRunTest, AnXmlTargetAboveTheDriveStillNamesThePlan) {
    sql(L"UPDATE graphic_reports SET xml_output_to = 'C:\\..\\batch\\plans\\floor.dwg' "
        L"WHERE id = 906");
    CGraphicReport report;
    report.getGraphicReport(procedure(), m_server.get(), 906, 30);
    report.prepareReport(procedure(), 30);
    EXPECT_EQ(recorded().at(906).first, 13);
    EXPECT_EQ(drive.readFile("batch/plans/floor.dwg"), m_plan) << "the plan is byte-identical";
}

// A plot name is a file name in the output folder: one with a folder part, written with either
// kind of slash, is refused (11), and nothing lands beside or above the folder.
TEST_F(BatchRunTest, APlotNameWithAFolderPartIsRefused) {
    for (const wchar_t* name : {L"../escape.pdf", L"../../escape.pdf", L"..\\escape.pdf",
                                L"sub/escape.pdf"}) {
        SCOPED_TRACE(qv::wideToUtf8(name));
        sql((std::wstring(L"UPDATE graphic_reports SET status_id = 90, output_filename = '") +
             name + L"' WHERE id = 904")
                .c_str());
        CGraphicReport report;
        report.getGraphicReport(procedure(), m_server.get(), 904, 30);
        report.prepareReport(procedure(), 30);
        EXPECT_EQ(recorded().at(904).first, 11);
        for (const char* file : {"escape.pdf", "batch/escape.pdf", "batch/escape.xml",
                                 "batch/out/sub/escape.pdf"})
            EXPECT_FALSE(drive.exists(file)) << file;
    }
    EXPECT_EQ(drive.readFile("batch/plans/floor.dwg"), m_plan) << "the plan is byte-identical";
}

// A drawing whose lock is refused is closed again and its report left at 2, as started.
TEST_F(BatchRunTest, ARefusedLockLeavesTheReportStartedAndTheDrawingClosed) {
    CGraphicReport rooms;
    rooms.getGraphicReport(procedure(), m_server.get(), 904, 30);
    acDocManager->qvRefuseLocks(-1);
    rooms.prepareReport(procedure(), 30);
    acDocManager->qvRefuseLocks(0);
    EXPECT_EQ(recorded().at(904).first, 2);
    EXPECT_EQ(acDocManager->documentCount(), 1);
    EXPECT_FALSE(drive.exists("batch/out/rooms.pdf"));
}

// Bad arguments give clear errors and record nothing.
TEST_F(BatchRunTest, BadArgumentsRaiseClearly) {
    CGraphicReports reports;
    const auto tooLarge = caught([&] {
        reports.getGraphicReports(procedure(), m_server.get(), 300, 30);
    });
    ASSERT_TRUE(tooLarge);
    EXPECT_NE(tooLarge->getErrorDialogText().Find(L"between 0 and 255"), -1)
        << tooLarge->getErrorDialogText();
    EXPECT_EQ(reports.getCount(), 0);
    EXPECT_TRUE(qv::test::raised<CInvalidArgException>([&] { reports.getAt(0); }));
}

// Two runs that listed the same waiting reports: the first claims and runs each one, the second
// claims none and touches nothing (files, statuses); a report left at 2 by a run that died is
// not claimed again even by a run that lists status 2.
TEST_F(BatchRunTest, AReportIsRunByTheFirstRunThatClaimsIt) {
    CGraphicReports first, second;
    first.getGraphicReports(procedure(), m_server.get(), kWaiting, 30);
    second.getGraphicReports(procedure(), m_server.get(), kWaiting, 30);
    ASSERT_EQ(second.getCount(), 9);
    first.prepareReports(procedure(), 30);
    const auto afterFirst = recorded();
    for (const char* file : {"batch/out/rooms.pdf", "batch/out/rooms.xml", "batch/copies/floor.dwg"})
        std::remove(drive.posix(file).c_str());

    second.prepareReports(procedure(), 30);
    for (int i = 0; i < 9; i++) {
        EXPECT_TRUE(first.getAt(i)->isClaimed()) << first.getAt(i)->getID();
        EXPECT_FALSE(second.getAt(i)->isClaimed()) << second.getAt(i)->getID();
    }
    EXPECT_EQ(recorded(), afterFirst);
    for (const char* file : {"batch/out/rooms.pdf", "batch/out/rooms.xml", "batch/copies/floor.dwg"})
        EXPECT_FALSE(drive.exists(file)) << file << " written again";

    sql(L"UPDATE graphic_reports SET status_id = 2 WHERE id = 904");
    CGraphicReports leftRunning;
    leftRunning.getGraphicReports(procedure(), m_server.get(), 2, 30);
    ASSERT_EQ(leftRunning.getCount(), 1);
    leftRunning.prepareReports(procedure(), 30);
    EXPECT_FALSE(leftRunning.getAt(0)->isClaimed());
    EXPECT_EQ(recorded().at(904).first, 2);
    EXPECT_FALSE(drive.exists("batch/out/rooms.pdf"));
}

// A claim that cannot be made (the database refuses the call) leaves the report as it is: no
// status of the run's own is recorded over it, and the run goes on with the next.
TEST_F(BatchRunTest, AFailedClaimLeavesTheReportAlone) {
    CGraphicReports reports;
    reports.getGraphicReports(procedure(), m_server.get(), kWaiting, 30);
    const auto before = recorded();
    sql(L"ALTER FUNCTION __gr_setGraphicReportStatus(integer, integer) RENAME TO gone");
    reports.prepareReports(procedure(), 30);
    sql(L"ALTER FUNCTION gone(integer, integer) RENAME TO __gr_setGraphicReportStatus");
    EXPECT_EQ(recorded(), before);
    for (int i = 0; i < reports.getCount(); i++)
        EXPECT_FALSE(reports.getAt(i)->isClaimed());
    EXPECT_FALSE(drive.exists("batch/out/rooms.pdf"));
}

// The end status is recorded only while the report is still running as the run claimed it: a
// report that an operator puts back into waiting (with a new output name) while it runs stays
// waiting for the next run, and the run says that its status was not recorded. A procedure
// that answers nothing (an older database) still counts as recorded.
TEST_F(BatchRunTest, AReportPutBackWhileItRunsKeepsTheOperatorsStatus) {
    // The operator acts while the run records the plotted layout, after the plot.
    const wchar_t* const putBack =
        L"CREATE OR REPLACE FUNCTION __gr_setGraphicReportLayout(p_graphicReportID integer, "
        L"p_layout varchar) RETURNS void LANGUAGE plpgsql AS $$ BEGIN "
        L"UPDATE graphic_reports SET plotted_layout = p_layout, status_id = 90, "
        L"output_filename = 'again.pdf' WHERE id = p_graphicReportID; END $$";
    const wchar_t* const answersNothing =
        L"DROP FUNCTION __gr_setGraphicReportStatus(integer, integer); "
        L"CREATE FUNCTION __gr_setGraphicReportStatus(p_graphicReportID integer, "
        L"p_statusID integer) RETURNS void LANGUAGE plpgsql AS $$ BEGIN "
        L"UPDATE graphic_reports SET status_id = p_statusID WHERE id = p_graphicReportID; END $$";
    const struct {
        const char* name;
        std::vector<const wchar_t*> database;
        int status;
        const wchar_t* output;
        bool said;
    } cases[] = {
        {"left alone", {}, 3, L"rooms.pdf", false},
        {"put back while it ran", {putBack}, 90, L"again.pdf", true},
        {"an older database that answers nothing", {putBack, answersNothing}, 3, L"again.pdf",
         false},
    };
    for (const auto& c : cases) {
        for (const wchar_t* statement : c.database)
            sql(statement);
        CGraphicReport rooms;
        rooms.getGraphicReport(procedure(), m_server.get(), 904, 30);
        qv::host::transcript().clear();
        rooms.prepareReport(procedure(), 30);
        EXPECT_TRUE(rooms.isClaimed()) << c.name;
        EXPECT_EQ(recorded().at(904).first, c.status) << c.name;
        CGraphicReport after;
        after.getGraphicReport(procedure(), m_server.get(), 904, 30);
        EXPECT_EQ(after.getOutputFilename(), c.output) << c.name;
        const bool said = qv::host::transcript().text().find(
                              L"Graphic report 904 was changed while it ran: status 3 not "
                              L"recorded.") != std::wstring::npos;
        EXPECT_EQ(said, c.said) << c.name << ": " << qv::host::transcript().text();
        if (c.status == kWaiting) {
            CGraphicReports next;
            next.getGraphicReports(procedure(), m_server.get(), kWaiting, 30);
            bool listed = false;
            for (int i = 0; i < next.getCount(); i++)
                listed = listed || next.getAt(i)->getID() == 904;
            EXPECT_TRUE(listed) << c.name << ": the next run finds it waiting";
        }
        sql(L"UPDATE graphic_reports SET status_id = 90, output_filename = 'rooms.pdf', "
            L"plotted_layout = NULL WHERE id = 904");
    }
}

// Outputs that would land outside the output folder or on the plan itself: a plot name that
// climbs out with "..", and a copy to a link that leads to the plan. Neither is written.
TEST_F(BatchRunTest, OutputsNeverLeaveTheirFolderNorReachThePlan) {
    sql(L"UPDATE graphic_reports SET output_filename = '..\\..\\escape.pdf' WHERE id = 904");
    sql(L"UPDATE graphic_reports SET save_copy_to = 'C:\\batch\\copies\\link.dwg' WHERE id = 908");
    ASSERT_EQ(::symlink(drive.posix("batch/plans/floor.dwg").c_str(),
                        drive.posix("batch/copies/link.dwg").c_str()),
              0);
    CGraphicReports reports;
    reports.getGraphicReports(procedure(), m_server.get(), kWaiting, 30);
    reports.prepareReports(procedure(), 30);
    EXPECT_EQ(recorded()[904].first, 11) << "bad output file name";
    EXPECT_EQ(recorded()[908].first, 12) << "copy not saved";
    EXPECT_FALSE(drive.exists("escape.pdf"));
    EXPECT_FALSE(drive.exists("escape.xml"));
    EXPECT_EQ(drive.readFile("batch/plans/floor.dwg"), m_plan) << "the plan is byte-identical";
}

// A copy whose name becomes a link to the plan after the run checked it: made when the drawing
// has been written to its temporary file, or while the copy itself is written beside its target.
// Either way the copy is refused where it is written (12), and the plan and the link stay.
TEST_F(BatchRunTest, ALinkToThePlanMadeWhileTheCopyIsWrittenIsRefused) {
    sql(L"UPDATE graphic_reports SET save_copy_to = 'C:\\batch\\copies\\alias.dwg' WHERE id = 908");
    const std::string alias = drive.posix("batch/copies/alias.dwg");
    const auto makeLink = [&] { ::symlink("../plans/floor.dwg", alias.c_str()); };
    const qv::host::DrawingFileFormat format = qv::host::drawingFileFormat();
    const struct {
        const char* when;
        bool afterTemporaryCopy;  // else while the copy is put in place
    } cases[] = {{"after the temporary copy", true}, {"while the copy is written", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        sql(L"UPDATE graphic_reports SET status_id = 90 WHERE id = 908");
        ::unlink(alias.c_str());
        if (c.afterTemporaryCopy) {
            qv::host::setDrawingFileFormat(
                {format.read, [&](const AcDbDatabase& database, const std::wstring& path) {
                     const Acad::ErrorStatus status = format.write(database, path);
                     if (path.ends_with(L"alias.vrk"))
                         makeLink();
                     return status;
                 }});
        } else {
            qv::win32::setBeforePlacingHook([&](const std::string& target) {
                if (target == alias)
                    makeLink();
            });
        }
        CGraphicReport report;
        report.getGraphicReport(procedure(), m_server.get(), 908, 30);
        report.prepareReport(procedure(), 30);
        qv::host::setDrawingFileFormat(format);
        qv::win32::setBeforePlacingHook({});

        EXPECT_EQ(recorded()[908].first, 12) << "copy not saved";
        EXPECT_EQ(drive.readFile("batch/plans/floor.dwg"), m_plan) << "the plan is untouched";
        struct stat st {};
        EXPECT_TRUE(::lstat(alias.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << "the link stays";
        EXPECT_EQ(drive.names("batch/copies"), std::set<std::string>{"alias.dwg"})
            << "no part file is left";
    }
}

}  // namespace
