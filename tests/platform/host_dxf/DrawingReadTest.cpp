#include <gtest/gtest.h>

#include <array>
#include <numbers>

#include "DrawingDump.h"
#include "DxfTestText.h"
#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbCurve.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbHatch.h"
#include "host/db/AcDbText.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/KeptObjects.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;
using test::entitiesOf;
using test::fixes;
using test::lines;
using test::load;
using test::recordsOf;
using test::section;

// A drawing of a version with the given ENTITIES (and OBJECTS) content, and the tables every
// drawing has.
std::string drawing(std::string_view version, std::string_view entities,
                    std::string_view objects = "", std::string_view tables = "") {
    std::string text = section("HEADER", lines({"9", "$ACADVER", "1", version}));
    text += section("TABLES", std::string(tables));
    text += section("ENTITIES", entities);
    if (!objects.empty()) {
        text += section("OBJECTS", objects);
    }
    return text + "0\nEOF\n";
}

// The fixes of a load, without the tables that these small drawings lack.
std::vector<Fix> repairs(const AuditReport& report) {
    std::vector<Fix> got = fixes(report);
    std::erase(got, Fix::AddedStructure);
    return got;
}

// The written ENTITIES records of a drawing read from `text`, without handles and owners.
std::vector<std::string> rewrittenEntities(const std::string& text, AuditReport& report) {
    const auto db = load(text, report);
    std::vector<std::string> records;
    for (std::string record : recordsOf(writeDrawing(*db), "ENTITIES")) {
        // The handle comes first; the owner right before the AcDbEntity part.
        const size_t handle = record.find(" 5=");
        record.erase(handle, record.find(' ', handle + 1) - handle);
        const size_t owner = record.rfind(" 330=", record.find(" 100=AcDbEntity"));
        record.erase(owner, record.find(' ', owner + 1) - owner);
        records.push_back(record);
    }
    return records;
}

// Records of types the host does not model, and tags of modelled records that no field takes
// (a second part of a subclass among them), are written back as they were read.
TEST(DrawingRead, WhatTheHostDoesNotModelIsWrittenBackAsRead) {
    const std::string entities = lines({
        "0",   "ELLIPSE",    "5",   "20",         "102", "{ACAD_REACTORS",
        "330", "1F",         "102", "}",          "100", "AcDbEntity",
        "8",   "0",          "410", "Model",      "100", "AcDbEllipse",
        "10",  "1.0",        "20",  "2.0",        "30",  "0.0",
        "11",  "3.0",        "21",  "0.0",        "31",  "0.0",
        "40",  "0.5",        "0",   "LINE",       "5",   "21",
        "100", "AcDbEntity", "8",   "0",          "100", "AcDbLine",
        "10",  "0.0",        "20",  "0.0",        "30",  "0.0",
        "11",  "1.0",        "21",  "1.0",        "31",  "0.0",
        "73",  "5",          "100", "AcDbFuture", "90",  "7",
        "0",   "LINE",       "5",   "22",         "100", "AcDbEntity",
        "8",   "0",          "100", "AcDbLine",   "10",  "0.0",
        "20",  "0.0",        "30",  "0.0",        "11",  "1.0",
        "21",  "1.0",        "31",  "0.0",        "100", "AcDbLine",
        "10",  "5.0",        "20",  "5.0",        "30",  "0.0",
    });
    AuditReport report;
    EXPECT_EQ(rewrittenEntities(drawing("AC1027", entities), report),
              (std::vector<std::string>{
                  "ELLIPSE 102={ACAD_REACTORS 330=1F 102=} 100=AcDbEntity 8=0 410=Model "
                  "100=AcDbEllipse 10=1.0 20=2.0 30=0.0 11=3.0 21=0.0 31=0.0 40=0.5",
                  "LINE 100=AcDbEntity 8=0 100=AcDbLine 10=0.0 20=0.0 30=0.0 11=1.0 21=1.0 "
                  "31=0.0 73=5 100=AcDbFuture 90=7",
                  "LINE 100=AcDbEntity 8=0 100=AcDbLine 10=0.0 20=0.0 30=0.0 11=1.0 21=1.0 "
                  "31=0.0 100=AcDbLine 10=5.0 20=5.0 30=0.0",
              }));
    EXPECT_EQ(repairs(report), std::vector<Fix>{}) << report.text();
}

// R12 records have no subclass markers; the host gives them the markers of their 2013 form,
// makes 2D polylines lightweight ones, and leaves out what a 2013 drawing cannot hold.
TEST(DrawingRead, R12RecordsTakeTheir2013Form) {
    const struct {
        const char* name;
        std::string entities;
        std::vector<std::string> written;
        std::vector<Fix> fixes;
    } cases[] = {
        {"an arc",
         lines({"0", "ARC", "8", "WALLS", "10", "1.0", "20", "2.0", "40", "3.0", "50", "0.0", "51",
                "90.0", "39", "0.5"}),
         {"ARC 100=AcDbEntity 8=WALLS 100=AcDbCircle 39=0.5 10=1.0 20=2.0 30=0.0 40=3.0 "
          "100=AcDbArc 50=0.0 51=90.0"},
         {Fix::MissingReference}},
        {"a 2D polyline with a bulge and widths",
         lines({"0",   "POLYLINE", "8",      "0",      "66", "1",   "10",   "0.0", "20",
                "0.0", "30",       "2.5",    "70",     "1",  "40",  "0.25", "41",  "0.25",
                "0",   "VERTEX",   "8",      "0",      "10", "0.0", "20",   "0.0", "42",
                "1.0", "0",        "VERTEX", "8",      "0",  "10",  "4.0",  "20",  "0.0",
                "40",  "0.5",      "0",      "SEQEND", "8",  "0"}),
         {"LWPOLYLINE 100=AcDbEntity 8=0 100=AcDbPolyline 90=2 70=1 38=2.5 10=0.0 20=0.0 "
          "40=0.25 41=0.25 42=1.0 10=4.0 20=0.0 40=0.5 41=0.25"},
         {}},
        {"a 3D polyline is kept",
         lines({"0",  "POLYLINE", "8",  "0",   "66", "1",   "70", "8",  "0", "VERTEX", "8", "0",
                "10", "1.0",      "20", "2.0", "30", "3.0", "70", "32", "0", "SEQEND", "8", "0"}),
         {"POLYLINE 100=AcDbEntity 8=0 100=AcDb3dPolyline 66=1 70=8",
          "VERTEX 100=AcDbEntity 8=0 100=AcDbVertex 100=AcDb3dPolylineVertex 10=1.0 20=2.0 "
          "30=3.0 70=32",
          "SEQEND 100=AcDbEntity 8=0"},
         {}},
        {"a dimension is left out",
         lines({"0", "DIMENSION", "8", "0", "2", "*D1", "70", "0"}),
         {},
         {Fix::DroppedRecord}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        EXPECT_EQ(rewrittenEntities(drawing("AC1009", c.entities), report), c.written);
        EXPECT_EQ(repairs(report), c.fixes) << report.text();
    }
}

// A reference that names nothing is repaired, and said so.
TEST(DrawingRead, ReferencesThatNameNothingAreRepaired) {
    const auto entity = [](std::string_view type, std::initializer_list<std::string_view> rest) {
        std::string text = "0\n" + std::string(type) + "\n5\n2A\n100\nAcDbEntity\n";
        for (std::string_view line : rest) {
            text += std::string(line) + "\n";
        }
        return text;
    };
    const struct {
        const char* name;
        std::string entities;
        std::string objects;
        std::vector<Fix> fixes;
        std::string expected;  // a record of the written drawing
    } cases[] = {
        {"a layer that does not exist is added",
         entity("LINE", {"8", "NEW"}),
         "",
         {Fix::MissingReference},
         "LAYER 2=NEW"},
        {"a block that does not exist is added empty",
         entity("INSERT", {"8", "0", "100", "AcDbBlockReference", "2", "MISSING"}),
         "",
         {Fix::MissingReference},
         "BLOCK_RECORD 2=MISSING"},
        {"a linetype that does not exist becomes Continuous",
         entity("LINE", {"8", "0", "6", "NOPE"}),
         "",
         {Fix::MissingReference},
         "LINE 100=AcDbEntity 8=0 6=Continuous"},
        {"extended data of an application that is not registered registers it",
         entity("LINE", {"8", "0", "1001", "MYAPP", "1000", "x"}),
         "",
         {Fix::MissingReference},
         "APPID 2=MYAPP"},
        {"an item that is no extended data is dropped",
         entity("LINE", {"8", "0", "1001", "ACAD", "1070", "99999", "1000", "kept"}),
         "",
         {Fix::InvalidValue},
         "LINE 100=AcDbEntity 8=0 100=AcDbLine"},
        {"a dictionary entry that names nothing is left out",
         "",
         lines({"0", "DICTIONARY", "5",   "A0",  "330", "0",    "100", "AcDbDictionary",
                "3", "GONE",       "350", "FFF", "3",   "HERE", "350", "A1",
                "0", "DICTIONARY", "5",   "A1",  "330", "A0",   "100", "AcDbDictionary"}),
         {Fix::MissingReference},
         "DICTIONARY 100=AcDbDictionary 3=HERE 350=A1"},
        {"an attribute without its block reference is left out",
         entity("ATTRIB",
                {"8", "0", "100", "AcDbText", "1", "x", "100", "AcDbAttribute", "2", "TAG"}),
         "",
         {Fix::MisplacedRecord},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(drawing("AC1027", c.entities, c.objects), report);
        EXPECT_EQ(repairs(report), c.fixes) << report.text();
        const std::string written = writeDrawing(*db);
        if (c.expected.empty()) {
            EXPECT_TRUE(entitiesOf(*db).empty());
            continue;
        }
        const std::string type = c.expected.substr(0, c.expected.find(' '));
        const std::string tags = c.expected.substr(type.size());
        bool found = false;
        for (const char* part : {"TABLES", "ENTITIES", "OBJECTS"}) {
            for (const std::string& record : recordsOf(written, part)) {
                found = found || (record.rfind(type + " ", 0) == 0 &&
                                  record.find(tags) != std::string::npos);
            }
        }
        EXPECT_TRUE(found) << c.expected << "\n" << written;
    }
}

// The attributes of a block reference follow it and end with SEQEND, whose handle is kept.
TEST(DrawingRead, AttributesBelongToTheBlockReferenceBeforeThem) {
    const std::string blocks =
        lines({"0", "BLOCK",  "5",  "B0", "100", "AcDbEntity", "8",  "0",   "100", "AcDbBlockBegin",
               "2", "DOOR",   "70", "2",  "10",  "0.0",        "20", "0.0", "30",  "0.0",
               "0", "ENDBLK", "5",  "B1", "100", "AcDbEntity", "8",  "0",   "100", "AcDbBlockEnd"});
    const auto attrib = [](std::string_view handle, std::string_view tag, std::string_view value) {
        return lines({"0",  "ATTRIB", "5",   handle,     "330", "30",  "100", "AcDbEntity",
                      "8",  "0",      "100", "AcDbText", "10",  "1.0", "20",  "2.0",
                      "30", "0.0",    "40",  "0.25",     "1",   value, "100", "AcDbAttribute",
                      "2",  tag,      "70",  "0"});
    };
    const std::string entities =
        lines({"0",          "INSERT", "5",   "30",   "100",
               "AcDbEntity", "8",      "0",   "100",  "AcDbBlockReference",
               "66",         "1",      "2",   "DOOR", "10",
               "1.0",        "20",     "2.0", "30",   "0.0",
               "50",         "33.3"}) +
        attrib("31", "ROOM", "A-101") + attrib("32", "USE", "Office") +
        lines({"0", "SEQEND", "5", "33", "330", "30", "100", "AcDbEntity", "8", "0"});
    std::string text = drawing("AC1027", entities);
    text.insert(text.find("0\nSECTION\n2\nENTITIES"), section("BLOCKS", blocks));
    AuditReport report;
    const auto db = load(text, report);
    EXPECT_EQ(repairs(report), std::vector<Fix>{}) << report.text();
    const auto* insert = AcDbBlockReference::cast(entitiesOf(*db).at(0));
    ASSERT_NE(insert, nullptr);
    EXPECT_DOUBLE_EQ(insert->rotation(), 33.3 * std::numbers::pi / 180.0);
    std::vector<std::wstring> tags;
    for (const AcDbObjectId& id : insert->qvAttributes()) {
        tags.emplace_back(ObjectAccess::peekAs<AcDbAttribute>(id)->tagConst());
        EXPECT_EQ(ObjectAccess::peek(id)->ownerId(), insert->objectId());
    }
    EXPECT_EQ(tags, (std::vector<std::wstring>{L"ROOM", L"USE"}));
    const std::vector<std::string> written = recordsOf(writeDrawing(*db), "ENTITIES");
    ASSERT_EQ(written.size(), 4u);
    EXPECT_TRUE(written[0].ends_with(" 50=33.3")) << written[0];
    EXPECT_EQ(written[3], "SEQEND 5=33 330=30 100=AcDbEntity 8=0");
}

// Edge loops of lines and arcs become loops of vertices and bulges (an arc whose flag is 0 runs
// clockwise over the negated angles); a hatch the host cannot model is kept as read.
TEST(DrawingRead, HatchLoopsBecomeVerticesAndBulges) {
    const auto hatch = [](std::string_view pattern, std::string_view type,
                          std::initializer_list<std::string_view> loop) {
        std::string text = lines({"0",   "HATCH",     "5",  "40",  "100", "AcDbEntity", "8",  "0",
                                  "100", "AcDbHatch", "10", "0.0", "20",  "0.0",        "30", "0.0",
                                  "2",   pattern,     "70", "0",   "71",  "0",          "91", "1"});
        for (std::string_view line : loop) {
            text += std::string(line) + "\n";
        }
        return text + lines({"97", "0", "75", "0", "76", type, "52", "0.0", "41", "1.0", "77", "0",
                             "78", "0", "98", "0"});
    };
    const std::initializer_list<std::string_view> square = {
        "92",   "1",     "93",  "4",    "72",   "1",     "10",   "0.0", "20",  "0.0",  "11",
        "10.0", "21",    "0.0", "72",   "2",    "10",    "10.0", "20",  "5.0", "40",   "5.0",
        "50",   "270.0", "51",  "90.0", "73",   "1",     "72",   "1",   "10",  "10.0", "20",
        "10.0", "11",    "0.0", "21",   "10.0", "72",    "2",    "10",  "0.0", "20",   "5.0",
        "40",   "5.0",   "50",  "90.0", "51",   "270.0", "73",   "0"};
    const std::initializer_list<std::string_view> ellipse = {
        "92",  "1",  "93",  "1",  "72",  "3",  "10",  "0.0", "20",    "0.0", "11",
        "2.0", "21", "0.0", "40", "0.5", "50", "0.0", "51",  "360.0", "73",  "1"};
    const struct {
        const char* name;
        std::string entity;
        bool modelled;
    } cases[] = {
        {"lines and arcs", hatch("ANSI31", "1", square), true},
        {"an elliptic edge", hatch("ANSI31", "1", ellipse), false},
        {"a pattern the host does not know", hatch("NOTAPATTERN", "1", square), false},
        {"a custom pattern", hatch("MINE", "2", square), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(drawing("AC1027", c.entity), report);
        const AcDbEntity* e = entitiesOf(*db).at(0);
        const auto* h = AcDbHatch::cast(e);
        ASSERT_EQ(h != nullptr, c.modelled);
        if (h == nullptr) {
            EXPECT_NE(keptTagsOf(*e), nullptr);
            continue;
        }
        AcGePoint2dArray vertices;
        AcGeDoubleArray bulges;
        Adesk::Int32 type = 0;
        ASSERT_EQ(h->getLoopAt(0, type, vertices, bulges), Acad::eOk);
        ASSERT_EQ(vertices.length(), 4);
        const AcGePoint2d expected[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(vertices[i].x, expected[i].x, 1e-9);
            EXPECT_NEAR(vertices[i].y, expected[i].y, 1e-9);
        }
        // Both arcs bulge outwards: counter-clockwise around the square.
        EXPECT_NEAR(bulges[1], 1.0, 1e-12);
        EXPECT_NEAR(bulges[3], 1.0, 1e-12);
        EXPECT_NEAR(bulges[0], 0.0, 1e-12);
    }
}

// A file without a header (an ENTITIES section, as simple exporters write) is read as R12; the
// records of later versions in it are kept: as read when their subclass markers show them, with
// the markers of their type when they have none.
TEST(DrawingRead, AFileWithoutAHeaderKeepsTheRecordsOfLaterVersions) {
    const std::string entities = lines({
        "0", "MTEXT", "100", "AcDbEntity", "8", "0", "100", "AcDbMText", "10", "0.0", "20", "0.0",
        "40", "2.5", "1", "marked",                                                    //
        "0", "MTEXT", "8", "0", "10", "0.0", "20", "5.0", "40", "2.5", "1", "unmarked",  //
        "0", "ELLIPSE", "8", "0", "10", "0.0", "20", "0.0", "11", "3.0", "21", "0.0", "40", "0.5",
        "41", "0.0", "42", "6.283185307179586",  //
        "0", "XLINE", "100", "AcDbEntity", "8", "0", "100", "AcDbXline", "10", "0.0", "20", "0.0",
        "11", "1.0", "21", "0.0",                                         //
        "0", "LWPOLYLINE", "8", "0", "90", "2", "70", "0", "10", "0.0", "20", "0.0", "10", "1.0",
        "20", "1.0",  //
    });
    const std::string text = section("ENTITIES", entities) + "0\nEOF\n";
    AuditReport report;
    EXPECT_EQ(rewrittenEntities(text, report),
              (std::vector<std::string>{
                  "MTEXT 100=AcDbEntity 8=0 100=AcDbMText 10=0.0 20=0.0 40=2.5 1=marked",
                  "MTEXT 100=AcDbEntity 8=0 100=AcDbMText 10=0.0 20=5.0 40=2.5 1=unmarked",
                  "ELLIPSE 100=AcDbEntity 8=0 100=AcDbEllipse 10=0.0 20=0.0 11=3.0 21=0.0 40=0.5 "
                  "41=0.0 42=6.283185307179586",
                  "XLINE 100=AcDbEntity 8=0 100=AcDbXline 10=0.0 20=0.0 11=1.0 21=0.0",
                  "LWPOLYLINE 100=AcDbEntity 8=0 100=AcDbPolyline 90=2 70=0 10=0.0 20=0.0 10=1.0 "
                  "20=1.0",
              }));
    EXPECT_EQ(report.count(Fix::DroppedRecord), 0u) << report.text();
    std::string output;
    EXPECT_EQ(test::auditWithEzdxf({writeDrawing(*load(text, report))}, output), 0) << output;
}

// A solid fill keeps its pattern angle and scale and the pattern lines it was read with; a
// pattern fill has its lines written from the host's pattern.
TEST(DrawingRead, HatchesKeepTheirPatternAngleScaleAndLines) {
    auto hatch = [](std::string_view name, std::string_view pattern) {
        return lines({"0", "HATCH", "5", "40", "100", "AcDbEntity", "8", "0", "100", "AcDbHatch",
                      "10", "0.0", "20", "0.0", "30", "0.0", "210", "0.0", "220", "0.0", "230",
                      "1.0", "2", name, "70", name == "SOLID" ? "1" : "0", "71", "0", "91", "1",
                      "92", "2", "72", "0", "73", "1", "93", "3", "10", "0.0", "20", "0.0", "10",
                      "4.0", "20", "0.0", "10", "4.0", "20", "3.0", "97", "0", "75", "0", "76",
                      "1", "52", "90.0", "41", "2.5", "77", "0"}) +
               std::string(pattern) + lines({"98", "0"});
    };
    const std::string solidLines = lines({"78", "1", "53", "45.0", "43", "0.0", "44", "0.0",
                                          "45", "-0.0883883476483184", "46",
                                          "0.0883883476483185", "79", "0"});
    const struct {
        const char* name;
        std::string entity;
        std::vector<std::string> written;  // pieces of the written record, in order
    } cases[] = {
        {"a solid fill with its pattern lines", hatch("SOLID", solidLines),
         {"52=90.0 41=2.5 77=0", "78=1 53=45.0 43=0.0 44=0.0 45=-0.0883883476483184 "
                                 "46=0.0883883476483185 79=0 98=0"}},
        {"a solid fill without pattern lines", hatch("SOLID", ""), {"52=90.0 41=2.5 77=0 98=0"}},
        {"a pattern fill", hatch("ANSI31", solidLines), {"52=90.0 41=2.5 77=0 78=1 53=135.0"}},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const std::vector<std::string> records = rewrittenEntities(drawing("AC1027", c.entity), report);
        ASSERT_EQ(records.size(), 1u);
        size_t at = 0;
        for (const std::string& piece : c.written) {
            const size_t found = records[0].find(piece, at);
            EXPECT_NE(found, std::string::npos) << piece << " not in " << records[0];
            at = found == std::string::npos ? at : found;
        }
        written.push_back(writeDrawing(*load(drawing("AC1027", c.entity), report)));
    }
    std::string output;
    EXPECT_EQ(test::auditWithEzdxf(written, output), 0) << output;
}

// A normal is read as a unit vector that stays the same when the drawing is written and read
// again, however far from unit length it was written.
TEST(DrawingRead, NormalsReadTheSameAfterBeingWritten) {
    const auto entity = [](std::string_view type, std::string_view subclass,
                           std::initializer_list<std::string_view> fields,
                           const std::array<std::string_view, 3>& normal) {
        return lines({"0", type, "5", "30", "100", "AcDbEntity", "8", "0", "100", subclass}) +
               lines(fields) + lines({"210", normal[0], "220", normal[1], "230", normal[2]});
    };
    const std::array<std::string_view, 3> normals[] = {
        {"0.0", "0.0", "-1.0"},
        {"0.0", "3.0", "4.0"},
        {"0.0", "0.01", "0.02"},                              // once normalised, it moves again
        {"0.5", "0.014", "0.498"},                            // normalising it goes round a cycle
        {"0.0", "0.6689647316224496", "0.7432941462471663"},  // nearly unit
    };
    for (const auto& normal : normals) {
        const std::string records[] = {
            entity("LINE", "AcDbLine", {"10", "0.0", "20", "0.0", "11", "1.0", "21", "1.0"},
                   normal),
            entity("CIRCLE", "AcDbCircle", {"10", "1.0", "20", "2.0", "40", "3.0"}, normal),
            entity("LWPOLYLINE", "AcDbPolyline",
                   {"90", "2", "10", "0.0", "20", "0.0", "10", "1.0", "20", "0.0"}, normal),
            entity("HATCH", "AcDbHatch", {"10", "0.0", "20", "0.0", "30", "0.0"}, normal) +
                lines({"2", "SOLID", "70", "1", "71", "0", "91", "0", "75", "0", "76", "1", "98",
                       "0"}),
        };
        for (const std::string& record : records) {
            SCOPED_TRACE(record.substr(2, record.find('\n', 2) - 2) + " " + std::string(normal[1]));
            AuditReport report;
            const std::string written = writeDrawing(*load(drawing("AC1027", record), report));
            EXPECT_EQ(repairs(report), std::vector<Fix>{}) << report.text();
            const auto again = load(written, report);
            EXPECT_EQ(writeDrawing(*again), written);
            const auto* e = entitiesOf(*again).at(0);
            AcGeVector3d read;
            if (const auto* h = AcDbHatch::cast(e)) {
                read = h->normal();
            } else if (const auto* c = AcDbCircle::cast(e)) {
                read = c->normal();
            } else if (const auto* l = AcDbLine::cast(e)) {
                read = l->normal();
            } else if (const auto* p = AcDbPolyline::cast(e)) {
                read = p->normal();
            }
            EXPECT_NEAR(read.length(), 1.0, 1e-15);
        }
    }
}

// Layers keep their state, including the flag bits the host does not model.
TEST(DrawingRead, LayersKeepTheirStateAndColours) {
    const std::string tables = lines({
        "0", "TABLE", "2", "LAYER", "5", "2", "330", "0", "100", "AcDbSymbolTable", "70", "2",
        "0", "LAYER", "5", "10", "330", "2", "100", "AcDbSymbolTableRecord",
        "100", "AcDbLayerTableRecord", "2", "0", "70", "0", "62", "7", "6", "Continuous",
        "0", "LAYER", "5", "11", "330", "2", "100", "AcDbSymbolTableRecord",
        "100", "AcDbLayerTableRecord", "2", "Hidden", "70", "7", "62", "-3", "420", "65280",
        "6", "Continuous", "290", "0", "370", "25", "0", "ENDTAB"});
    AuditReport report;
    const auto db = load(drawing("AC1027", "", "", tables), report);
    AcDbLayerTable* table = nullptr;
    ASSERT_EQ(db->getLayerTable(table, AcDb::kForRead), Acad::eOk);
    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(table->getAt(L"hidden", layer, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(layer->isFrozen());
    EXPECT_TRUE(layer->isLocked());
    EXPECT_TRUE(layer->isOff());
    EXPECT_FALSE(layer->isPlottable());
    EXPECT_EQ(layer->lineWeight(), AcDb::kLnWt025);
    EXPECT_TRUE(layer->color().isByColor());
    EXPECT_EQ(layer->color().green(), 255);
    layer->close();
    table->close();
    bool found = false;
    for (const std::string& record : recordsOf(writeDrawing(*db), "TABLES")) {
        if (record.find("2=Hidden") != std::string::npos) {
            found = true;
            EXPECT_NE(record.find(" 70=7 62=-3 420=65280 6=Continuous 290=0 370=25"),
                      std::string::npos)
                << record;
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace qv::dxf
