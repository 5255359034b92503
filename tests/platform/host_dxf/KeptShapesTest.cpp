// The entities the host draws but writes back as read (multi-line texts, ellipses, splines,
// points, solids, traces, leaders, dimensions, hatches with curved edges, 3D faces, polylines of
// the older kind): read from drawings that other programs wrote, each in its own place, drawn
// and measured.
#include <gtest/gtest.h>

#include <cmath>

#include "DxfTestText.h"
#include "host/db/AcDbMText.h"
#include "host/dxf/FileIo.h"
#include "host/dxf/KeptObjects.h"
#include "host/plot/Painter.h"
#include "win32/CodePage.h"

namespace qv::dxf::test {
namespace {

struct Box {
    double x0, y0, x1, y1;
    double tolerance;
};

// A canvas that draws nothing and counts what is drawn on it: strokes, the pieces of their paths
// (each moveTo starts one, each lineTo adds a segment) and the box of every point.
struct Recorder : qv::host::plot::Canvas {
    int strokes = 0, pieces = 0, segments = 0;
    AcDbExtents box;
    double width() const override { return 1000; }
    double height() const override { return 1000; }
    void moveTo(qv::host::plot::DevicePoint p) override {
        ++pieces;
        box.addPoint(AcGePoint3d(p.x, p.y, 0));
    }
    void lineTo(qv::host::plot::DevicePoint p) override {
        ++segments;
        box.addPoint(AcGePoint3d(p.x, p.y, 0));
    }
    void closePath() override {}
    void stroke(const qv::host::plot::Rgb&, double, bool) override { ++strokes; }
    void fill(const qv::host::plot::Rgb&) override {}
    void pushClip() override {}
    void popClip() override {}
    qv::host::plot::TextMetrics measure(const std::string&) override { return {}; }
    void text(const std::string&, const qv::host::plot::Affine&,
              const qv::host::plot::Rgb&) override {}
    std::string finish() override { return {}; }
};

TEST(KeptShapes, AreReadWhereTheyStandAndMeasured) {
    const char* source = std::getenv("QV_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    AuditReport report;
    const auto db = load(
        readWholeFile(std::string(source) + "/tests/acceptance/drawings/marks.dxf"), report);
    EXPECT_TRUE(report.entries().empty());
    // In the order of the file; the texts are measured at 0.6 heights a character.
    const struct {
        const wchar_t* kind;
        Box box;
    } expected[] = {
        {L"AcDbPolyline", {0, 0, 400, 200, 1e-9}},
        // top left at (10, 190), 6 high, wrapped at 80: "the second paragraph" / "wraps"; the
        // last line, "end", half as high: its top 10 below the line before, its baseline 3 lower
        {L"AcDbMText", {10, 157, 82, 190, 1e-9}},
        {L"AcDbEllipse", {110, 130, 190, 170, 1e-2}},
        {L"AcDbSpline", {210, 110, 290, 190, 1e-9}},
        // bottom right at (90, 10): two lines, the longer 8 characters
        {L"AcDbMText", {61.2, 10, 90, 26, 1e-9}},
        {L"AcDbPoint", {15, 85, 15, 85, 0}},
        {L"AcDbSolid", {110, 10, 140, 40, 0}},
        {L"AcDbTrace", {160, 10, 190, 40, 0}},
        {L"AcDbLeader", {115, 60, 190, 90, 1e-9}},
        // the block the other program drew: points at the measured points, extension lines up to
        // just above the dimension line at 50, the text "80" (5 high) in the line
        {L"AcDbDimension", {210, 20, 290, 52.5, 1e-9}},
        {L"CurvedHatch", {20, 47, 60, 67, 1e-2}},
        {L"CurvedHatch", {310, 110, 390, 180, 1e-2}},
        {L"AcDbPoint", {350, 50, 350, 50, 0}},  // on "Defpoints", which is not plotted
    };
    const std::vector<AcDbEntity*> entities = entitiesOf(*db);
    ASSERT_EQ(entities.size(), std::size(expected));
    for (size_t i = 0; i < entities.size(); ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(wideToUtf8(e.kind) + " " + std::to_string(i));
        ASSERT_STREQ(entities[i]->isA()->name(), e.kind);
        AcDbExtents box;
        ASSERT_EQ(entities[i]->getGeomExtents(box), Acad::eOk);
        EXPECT_NEAR(box.minPoint().x, e.box.x0, e.box.tolerance);
        EXPECT_NEAR(box.minPoint().y, e.box.y0, e.box.tolerance);
        EXPECT_NEAR(box.maxPoint().x, e.box.x1, e.box.tolerance);
        EXPECT_NEAR(box.maxPoint().y, e.box.y1, e.box.tolerance);
        // Everything but the polyline is still kept as read.
        EXPECT_EQ(keptTagsOf(*entities[i]) != nullptr, i > 0);
    }
}

// What a multi-line text's record says beyond its text: the rotation (degrees, in the plane of
// its normal) and the columns, set before 2018 in the extended data of "ACAD" and since in the
// object embedded after the text's tags.
TEST(KeptShapes, MultiLineTextRotationAndColumnsAreRead) {
    const struct {
        const char* name;
        std::vector<std::string_view> tags;  // after the text's own (location, height, text)
        AcGeVector3d direction;
        AcDbMText::Columns columns;
    } cases[] = {
        {"rotation", {"50", "90"}, {0, 1, 0}, {}},
        {"rotation seen from below", {"50", "30", "210", "0", "220", "0", "230", "-1"},
         {-std::sqrt(3.0) / 2, 0.5, 0}, {}},
        {"direction before rotation", {"11", "0", "21", "-2", "31", "0", "50", "45"},
         {0, -1, 0}, {}},
        {"embedded, static", {"46", "30", "101", "Embedded Object", "70", "1", "41", "30",
                              "71", "1", "72", "3", "44", "20", "45", "1.5", "73", "0"},
         {1, 0, 0}, {true, 20, 1.5, {30}}},
        {"embedded, heights of their own",
         {"101", "Embedded Object", "71", "2", "44", "20", "45", "1", "73", "0", "46", "12",
          "46", "8", "46", "0"},
         {1, 0, 0}, {true, 20, 1, {12, 8, 0}}},
        {"extended data, static",
         {"46", "30", "1001", "ACAD", "1000", "ACAD_MTEXT_COLUMN_INFO_BEGIN", "1070", "75",
          "1070", "1", "1070", "79", "1070", "0", "1070", "76", "1070", "3", "1070", "48",
          "1040", "20", "1070", "49", "1040", "2", "1000", "ACAD_MTEXT_COLUMN_INFO_END",
          "1000", "ACAD_MTEXT_DEFINED_HEIGHT_BEGIN", "1070", "46", "1040", "25",
          "1000", "ACAD_MTEXT_DEFINED_HEIGHT_END"},
         {1, 0, 0}, {true, 20, 2, {25}}},
        {"extended data, heights of their own",
         {"1001", "ACAD", "1000", "ACAD_MTEXT_COLUMN_INFO_BEGIN", "1070", "75", "1070", "2",
          "1070", "79", "1070", "0", "1070", "48", "1040", "20", "1070", "49", "1040", "1",
          "1070", "50", "1070", "2", "1040", "12", "1040", "9",
          "1000", "ACAD_MTEXT_COLUMN_INFO_END"},
         {1, 0, 0}, {true, 20, 1, {12, 0}}},
        // columns of type 0 are none, and another application's data is not the host's
        {"no columns", {"101", "Embedded Object", "71", "0", "44", "20", "45", "1"},
         {1, 0, 0}, {}},
        {"other application",
         {"1001", "OTHER", "1000", "ACAD_MTEXT_COLUMN_INFO_BEGIN", "1070", "75", "1070", "1",
          "1070", "48", "1040", "20", "1000", "ACAD_MTEXT_COLUMN_INFO_END"},
         {1, 0, 0}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string record = lines({"0", "MTEXT", "5", "2A", "100", "AcDbEntity", "8", "0",
                                    "100", "AcDbMText", "10", "1", "20", "2", "30", "0", "40",
                                    "2.5", "1", "text"});
        for (std::string_view tag : c.tags) {
            record += std::string(tag) + "\n";
        }
        std::string text = section("HEADER", lines({"9", "$ACADVER", "1", "AC1027"}));
        text += section("TABLES", lines({"0", "TABLE", "2", "APPID", "0", "APPID", "2", "OTHER",
                                         "70", "0", "0", "ENDTAB"}));
        text += section("ENTITIES", record) + "0\nEOF\n";
        AuditReport report;
        const auto db = load(text, report);
        const std::vector<AcDbEntity*> entities = entitiesOf(*db);
        ASSERT_EQ(entities.size(), 1u);
        const auto* mtext = AcDbMText::cast(entities[0]);
        ASSERT_NE(mtext, nullptr);
        const AcDbMText::Data& data = mtext->qvData();
        EXPECT_TRUE(data.direction.isEqualTo(c.direction))
            << data.direction.x << " " << data.direction.y << " " << data.direction.z;
        EXPECT_EQ(data.columns.given, c.columns.given);
        EXPECT_EQ(data.columns.width, c.columns.width);
        EXPECT_EQ(data.columns.gutter, c.columns.gutter);
        EXPECT_EQ(data.columns.heights, c.columns.heights);
        EXPECT_EQ(data.contents, L"text");
    }
}

// Dimension blocks that hold dimensions showing each other: each is drawn and measured once.
TEST(KeptShapes, DimensionBlocksNamingEachOtherEndDrawingAndMeasuring) {
    const auto block = [](std::string_view name, std::string_view handle, std::string_view other,
                          double x) {
        return lines({"0", "BLOCK", "5", handle, "100", "AcDbEntity", "8", "0", "100",
                      "AcDbBlockBegin", "2", name, "70", "1", "10", "0", "20", "0", "30", "0",
                      "0", "DIMENSION", "100", "AcDbEntity", "8", "0", "100", "AcDbDimension",
                      "2", other, "0", "LINE", "100", "AcDbEntity", "8", "0", "100", "AcDbLine",
                      "10", std::to_string(x), "20", "0", "30", "0", "11", std::to_string(x + 1),
                      "21", "1", "31", "0", "0", "ENDBLK", "100", "AcDbEntity", "8", "0", "100",
                      "AcDbBlockEnd"});
    };
    std::string text = section("HEADER", lines({"9", "$ACADVER", "1", "AC1027"}));
    text += section("BLOCKS", block("*D1", "B1", "*D2", 0) + block("*D2", "B2", "*D1", 5));
    text += section("ENTITIES", lines({"0", "DIMENSION", "100", "AcDbEntity", "8", "0", "100",
                                       "AcDbDimension", "2", "*D1"}));
    text += "0\nEOF\n";
    AuditReport report;
    const auto db = load(text, report);
    const AcDbEntity* dimension = entitiesOf(*db).at(0);
    AcDbExtents box;
    ASSERT_EQ(dimension->getGeomExtents(box), Acad::eOk);
    EXPECT_EQ(box.minPoint(), AcGePoint3d(0, 0, 0));
    EXPECT_EQ(box.maxPoint(), AcGePoint3d(1, 1, 0));

    Recorder canvas;
    qv::host::plot::Painter(canvas, {}).drawBlock(db->modelSpaceId(), {});
    EXPECT_EQ(canvas.strokes, 1);
}

// Shapes other programs write that the host keeps as read: 3D polylines, meshes and 3D faces
// draw their (shown) edges as seen from above, a 2D polyline of the older kind its arcs, an
// ellipse whose minor axis is the longer one where it stands; each measured where it is drawn.
TEST(KeptShapes, PolylinesMeshesFacesAndLongMinorAxesAreDrawnWhereTheyStand) {
    const auto vertex = [](std::string_view x, std::string_view y, std::string_view z,
                           std::string_view flags, std::string_view more = "") {
        return lines({"0", "VERTEX", "8", "0", "10", x, "20", y, "30", z, "70", flags}) +
               std::string(more);
    };
    const std::string seqend = lines({"0", "SEQEND", "8", "0"});
    const std::string r2000 = section("HEADER", lines({"9", "$ACADVER", "1", "AC1015"}));
    // A polygon mesh of 2 x 3 vertices over (0, 0)-(100, 40).
    const auto mesh = [&](std::string_view flags) {
        return r2000 + section("ENTITIES",
                               lines({"0", "POLYLINE", "100", "AcDbEntity", "8", "0", "100",
                                      "AcDbPolygonMesh", "66", "1", "10", "0", "20", "0", "30",
                                      "0", "70", flags, "71", "2", "72", "3"}) +
                                   vertex("0", "0", "0", "64") + vertex("50", "0", "1", "64") +
                                   vertex("100", "0", "2", "64") + vertex("0", "40", "3", "64") +
                                   vertex("50", "40", "4", "64") +
                                   vertex("100", "40", "5", "64") + seqend);
    };
    const struct {
        const char* what;
        std::string file;
        int pieces, segments;  // of the drawn paths
        Box box;               // drawn and measured
    } cases[] = {
        {"a 3D polyline", r2000 + section("ENTITIES",
             lines({"0", "POLYLINE", "100", "AcDbEntity", "8", "0", "100", "AcDb3dPolyline",
                    "66", "1", "10", "0", "20", "0", "30", "0", "70", "8"}) +
             vertex("0", "0", "0", "32") + vertex("100", "0", "10", "32") +
             vertex("100", "50", "20", "32") + seqend),
         1, 2, {0, 0, 100, 50, 1e-9}},
        // (R12: no header) closed, spline-fitted: the frame's vertex is not on the line
        {"a closed splined 3D polyline of R12", section("ENTITIES",
             lines({"0", "POLYLINE", "8", "0", "66", "1", "70", "13"}) +
             vertex("0", "0", "5", "40") + vertex("300", "300", "5", "48") +
             vertex("100", "0", "5", "40") + vertex("100", "50", "5", "40") + seqend),
         1, 3, {0, 0, 100, 50, 1e-9}},
        // two faces of four vertices: 1-2-3-4 with the edge from 3 hidden, 2-5-3
        {"a polyface mesh", r2000 + section("ENTITIES",
             lines({"0", "POLYLINE", "100", "AcDbEntity", "8", "0", "100", "AcDbPolyFaceMesh",
                    "66", "1", "10", "0", "20", "0", "30", "0", "70", "64", "71", "5", "72",
                    "2"}) +
             vertex("0", "0", "0", "192") + vertex("100", "0", "0", "192") +
             vertex("100", "50", "0", "192") + vertex("0", "50", "0", "192") +
             vertex("200", "0", "9", "192") +
             vertex("0", "0", "0", "128", lines({"71", "1", "72", "2", "73", "-3", "74", "4"})) +
             vertex("0", "0", "0", "128", lines({"71", "2", "72", "5", "73", "3"})) + seqend),
         6, 6, {0, 0, 200, 50, 1e-9}},
        // 2 x 3 vertices: two rows of three, three columns of two
        {"a polygon mesh", mesh("16"), 5, 7, {0, 0, 100, 40, 1e-9}},
        // closed in N (32): each row of three is closed, each column of two stays a segment
        {"a polygon mesh closed in N", mesh("48"), 5, 9, {0, 0, 100, 40, 1e-9}},
        // the second edge hidden
        {"a 3D face", r2000 + section("ENTITIES",
             lines({"0", "3DFACE", "100", "AcDbEntity", "8", "0", "100", "AcDbFace", "10", "0",
                    "20", "0", "30", "0", "11", "80", "21", "0", "31", "0", "12", "80", "22",
                    "60", "32", "9", "13", "0", "23", "60", "33", "9", "70", "2"})),
         3, 3, {0, 0, 80, 60, 1e-9}},
        // a triangle: its fourth corner is its third
        {"a triangular 3D face of R12", section("ENTITIES",
             lines({"0", "3DFACE", "8", "0", "10", "0", "20", "0", "30", "0", "11", "80", "21",
                    "0", "31", "0", "12", "80", "22", "60", "32", "0", "13", "80", "23", "60",
                    "33", "0"})),
         3, 3, {0, 0, 80, 60, 1e-9}},
        // from (0, 0) to (100, 0) by a half circle below, then straight up to (100, 30)
        {"a 2D polyline of a later drawing", r2000 + section("ENTITIES",
             lines({"0", "POLYLINE", "100", "AcDbEntity", "8", "0", "100", "AcDb2dPolyline",
                    "66", "1", "10", "0", "20", "0", "30", "0", "70", "0"}) +
             vertex("0", "0", "0", "0", lines({"42", "1"})) + vertex("100", "0", "0", "0") +
             vertex("100", "30", "0", "0") + seqend),
         1, -1, {0, -50, 100, 30, 1e-2}},
        // ratio 2: the minor axis (0, 40) is the major one
        {"an ellipse", r2000 + section("ENTITIES",
             lines({"0", "ELLIPSE", "100", "AcDbEntity", "8", "0", "100", "AcDbEllipse", "10",
                    "0", "20", "0", "30", "0", "11", "20", "21", "0", "31", "0", "40", "2.0"})),
         1, -1, {-20, -40, 20, 40, 1e-2}},
        // ratio 3.5, parameters 0 to a quarter turn: from (10, 0) to (0, 35)
        {"an elliptic arc", r2000 + section("ENTITIES",
             lines({"0", "ELLIPSE", "100", "AcDbEntity", "8", "0", "100", "AcDbEllipse", "10",
                    "0", "20", "0", "30", "0", "11", "10", "21", "0", "31", "0", "40", "3.5",
                    "41", "0", "42", "1.5707963267948966"})),
         1, -1, {0, 0, 10, 35, 1e-2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AuditReport report;
        const auto db = load(c.file + "0\nEOF\n", report);
        const std::vector<AcDbEntity*> entities = entitiesOf(*db);
        AcDbExtents extents;
        if (entities.size() != 1 || entities[0]->getGeomExtents(extents) != Acad::eOk) {
            ADD_FAILURE() << entities.size() << " entities, or none measured";
            continue;
        }
        Recorder canvas;
        qv::host::plot::Painter(canvas, {}).drawBlock(db->modelSpaceId(), {});
        EXPECT_EQ(canvas.strokes, 1);
        EXPECT_EQ(canvas.pieces, c.pieces);
        if (c.segments >= 0) {
            EXPECT_EQ(canvas.segments, c.segments);
        }
        // (curves are drawn in chords within a quarter of a device unit, here a drawing unit)
        for (const auto& [box, slack] : {std::pair{extents, 0.0}, {canvas.box, 0.25}}) {
            EXPECT_NEAR(box.minPoint().x, c.box.x0, c.box.tolerance + slack);
            EXPECT_NEAR(box.minPoint().y, c.box.y0, c.box.tolerance + slack);
            EXPECT_NEAR(box.maxPoint().x, c.box.x1, c.box.tolerance + slack);
            EXPECT_NEAR(box.maxPoint().y, c.box.y1, c.box.tolerance + slack);
        }
        // Still kept as read.
        EXPECT_NE(keptTagsOf(*entities[0]), nullptr);
    }
}

}  // namespace
}  // namespace qv::dxf::test
