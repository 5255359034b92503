#include <gtest/gtest.h>

#include "DxfTestText.h"
#include "host/db/AcDbCurve.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/DxfError.h"
#include "host/dxf/FileData.h"
#include "host/dxf/TagReader.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using test::entitiesOf;
using test::fixes;
using test::lines;
using test::load;
using test::section;

const std::string kLine = lines({"0", "LINE", "5", "2A", "8", "0", "10", "1.5", "20", "2.5"});

TEST(DxfTagReader, ReadsCodeValuePairsWithTheirLines) {
    AuditReport report;
    const std::string text =
        " 0\r\nSECTION\r\n  2\r\nENTITIES\r\n999\r\n comment \r\n1\r\n  x  \r\n";
    TagReader reader(text, report);
    std::vector<TagView> tags;
    TagView tag;
    while (reader.next(tag)) {
        tags.push_back(tag);
    }
    const std::vector<TagView> expected = {
        {0, "SECTION", 1}, {2, "ENTITIES", 3}, {999, " comment ", 5}, {1, "  x  ", 7}};
    ASSERT_EQ(tags, expected);
    for (size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tags[i].line, expected[i].line);
    }
    EXPECT_TRUE(report.empty());
}

// Damaged files: each either loads with the listed fixes or is refused naming a line.
TEST(DxfRead, DamagedFilesAreRepairedOrRefusedNamingTheLine) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<Fix> fixes;  // expected, in order, when the file loads
        const char* refusal;     // expected message when it is refused
        size_t entities;         // entities in model space when it loads
    };
    const std::string body = section("ENTITIES", kLine);
    const Case cases[] = {
        {"intact", body + "0\nEOF\n", {}, nullptr, 1},
        {"blank lines after EOF", body + "0\nEOF\n\n  \n", {}, nullptr, 1},
        {"data after EOF", body + "0\nEOF\ntrash\n", {Fix::DataAfterEof}, nullptr, 1},
        {"no EOF", body, {Fix::MissingEof}, nullptr, 1},
        {"truncated in a record", "0\nSECTION\n2\nENTITIES\n0\nLINE\n5\n2A\n8\n",
         {Fix::TruncatedTag, Fix::TruncatedRecord, Fix::MissingEndsec, Fix::MissingEof}, nullptr,
         0},
        {"truncated after a record and a point's x",
         "0\nSECTION\n2\nENTITIES\n" + kLine + "0\nLINE\n5\n2B\n10\n1.0\n",
         {Fix::TruncatedRecord, Fix::MissingEndsec, Fix::MissingEof}, nullptr, 1},
        {"truncated in the header",
         "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1027\n9\n$INSBASE\n",
         {Fix::TruncatedRecord, Fix::MissingEndsec, Fix::MissingEof}, nullptr, 0},
        {"a last line of blanks",
         "0\nSECTION\n2\nENTITIES\n" + kLine + "0\nLINE\n5\n2B\n   ",
         {Fix::TruncatedTag, Fix::TruncatedRecord, Fix::MissingEndsec, Fix::MissingEof}, nullptr,
         1},
        {"no ENDSEC before the next section",
         "0\nSECTION\n2\nENTITIES\n" + kLine + section("OBJECTS", "") + "0\nEOF\n",
         {Fix::MissingEndsec}, nullptr, 1},
        {"no ENDSEC before EOF", "0\nSECTION\n2\nENTITIES\n" + kLine + "0\nEOF\n", {Fix::MissingEndsec}, nullptr, 1},
        // (dropped, and the point has 0 in its place)
        {"a coordinate that is no number",
         section("ENTITIES", lines({"0", "LINE", "5", "2A", "10", "1.5.3", "20", "1"})) +
             "0\nEOF\n",
         {Fix::InvalidValue, Fix::InvalidValue}, nullptr, 1},
        {"tags before the first section", "1\nstray\n2\nmore\n" + body + "0\nEOF\n",
         {Fix::StrayTags}, nullptr, 1},
        {"section without a name",
         "0\nSECTION\n8\nX\n0\nLINE\n0\nENDSEC\n" + body + "0\nEOF\n", {Fix::UnnamedSection},
         nullptr, 1},
        {"group code that is no number", body + "X\nEOF\n", {}, "line 17: 'X' is not a group code",
         0},
        {"group code out of range", "0\nSECTION\n2\nENTITIES\n-1\nLINE\n", {},
         "line 5: '-1' is not a group code", 0},
        {"a value line missing shifts the pairs", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n10\n1.0\n",
         {}, "line 9: '1.0' is not a group code", 0},
        {"empty file", "", {Fix::MissingEof}, nullptr, 0},
        {"binary DXF",
         std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "\x01\x02",
         {},
         "this is a binary DXF file, which cannot be read; save the drawing as ASCII DXF",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        try {
            const auto db = load(c.text, report);
            EXPECT_EQ(c.refusal, nullptr) << "loaded although it should be refused";
            std::vector<Fix> got = fixes(report);
            std::erase(got, Fix::AddedStructure);  // no tables in these
            EXPECT_EQ(got, c.fixes) << report.text();
            EXPECT_EQ(entitiesOf(*db).size(), c.entities);
        } catch (const DxfError& error) {
            ASSERT_NE(c.refusal, nullptr) << "refused: " << error.what();
            EXPECT_EQ(std::string(error.what()), c.refusal);
        }
    }
}

TEST(DxfRead, ADroppedValueLeavesTheRestOfTheRecord) {
    AuditReport report;
    const auto db = load(
        section("ENTITIES", lines({"0", "LINE", "5", "2A", "10", "x", "20", "2.5"})) + "0\nEOF\n",
        report);
    const auto* line = AcDbLine::cast(entitiesOf(*db).at(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->startPoint(), AcGePoint3d(0.0, 2.5, 0.0));
    ASSERT_GE(report.entries().size(), 1u);
    EXPECT_EQ(report.entries()[0].text(),
              "line 10: value 'x' of group code 10 is not a number; the value was dropped [fix 5]");
}

// Header variables the host does not model, and sections it does not read, are kept and written
// back in their place.
TEST(DxfRead, WhatTheHostDoesNotReadIsKeptAndWrittenBack) {
    AuditReport report;
    const std::string text =
        section("HEADER", lines({"9", "$ACADVER", "1", "AC1015", "9", "$EXTMIN", "10", "0.0", "20",
                                 "1.0", "30", "2.0", "9", "$LUNITS", "70", "4"})) +
        section("THUMBNAILIMAGE", lines({"90", "3", "310", "ABCDEF"})) + "0\nEOF\n";
    const auto db = load(text, report);
    EXPECT_EQ(db->lunits(), 4);
    const FileData* data = fileDataOf(*db);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->version, DxfVersion::R2000);
    const std::string written = writeDrawing(*db);
    const std::vector<std::string> header = test::recordsOf(written, "HEADER");
    EXPECT_EQ(header.at(0), "$ACADVER 1=AC1027");
    EXPECT_EQ(header.at(1), "$EXTMIN 10=0.0 20=1.0 30=2.0");
    EXPECT_EQ(header.at(2), "$LUNITS 70=4");
    EXPECT_NE(
        written.find("  0\r\nSECTION\r\n  2\r\nTHUMBNAILIMAGE\r\n 90\r\n3\r\n310\r\nABCDEF\r\n"
                     "  0\r\nENDSEC\r\n"),
        std::string::npos);
}

TEST(DxfRead, HandlesAreMadeUniqueAndOwnersChecked) {
    struct Case {
        const char* name;
        const char* version;
        std::string entities;
        std::vector<std::string> handles;  // of the entities in model space after the load
        std::vector<Fix> fixes;
    };
    const auto entity = [](std::string_view handle, std::string_view owner = "") {
        std::string text = "0\nLINE\n";
        if (handle != "-") {
            text += "5\n" + std::string(handle) + "\n";
        }
        if (!owner.empty()) {
            text += "330\n" + std::string(owner) + "\n";
        }
        return text + "100\nAcDbEntity\n8\n0\n";
    };
    const Case cases[] = {
        {"unique", "AC1027", entity("A") + entity("B"), {"A", "B"}, {}},
        {"duplicate", "AC1027", entity("A") + entity("A"), {"A", "C"}, {Fix::DuplicateHandle}},
        {"empty", "AC1027", entity("") + entity("B"), {"C", "B"}, {Fix::MissingHandle}},
        {"not hexadecimal", "AC1027", entity("XYZ"), {"C"}, {Fix::MissingHandle}},
        {"missing in a 2013 file", "AC1027", entity("-"), {"C"}, {Fix::MissingHandle}},
        {"missing in an R12 file", "AC1009", entity("-"), {"C"}, {}},
        {"a later record holds the seed",
         "AC1027",
         entity("A") + entity("A") + entity("C"),
         {"A", "D", "C"},
         {Fix::DuplicateHandle, Fix::HandleSeed}},
        {"owner that is no block", "AC1027", entity("A", "FF"), {"A"}, {Fix::MissingOwner}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const std::string text =
            section("HEADER",
                    lines({"9", "$ACADVER", "1", c.version, "9", "$HANDSEED", "5", "C"})) +
            section("ENTITIES", c.entities) + "0\nEOF\n";
        const auto db = load(text, report);
        std::vector<std::string> handles;
        for (const AcDbEntity* e : entitiesOf(*db)) {
            handles.push_back(qv::wideToUtf8(e->objectId().handle().text()));
        }
        EXPECT_EQ(handles, c.handles);
        std::vector<Fix> got = fixes(report);
        std::erase(got, Fix::AddedStructure);
        EXPECT_EQ(got, c.fixes) << report.text();
        // New objects are given handles above every handle of the file.
        db->qvForEachObject(
            [&](AcDbObject& o) { EXPECT_LT(o.objectId().handle(), db->handseed()); });
    }
}

}  // namespace
}  // namespace qv::dxf
