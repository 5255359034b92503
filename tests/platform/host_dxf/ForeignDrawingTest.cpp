// Drawings as other programs write them: codes in unusual places, values that do not read, names
// the host would refuse, layouts whose links broke. Each is read, repaired and written once.
#include <gtest/gtest.h>

#include <algorithm>

#include "DxfTestText.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbLayout.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/db/AcDbViewport.h"
#include "host/dxf/DrawingWriter.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;
using test::entitiesOf;
using test::fixes;
using test::load;
using test::recordsOf;
using test::section;

std::string drawing(std::string_view header, std::string_view tables, std::string_view entities,
                    std::string_view blocks = "", std::string_view objects = "",
                    std::string_view version = "AC1015") {
    std::string text =
        section("HEADER", "9\n$ACADVER\n1\n" + std::string(version) + "\n" + std::string(header));
    text += section("TABLES", tables);
    text += section("BLOCKS", blocks);
    text += section("ENTITIES", entities);
    text += section("OBJECTS", objects);
    return text + "0\nEOF\n";
}

std::string layerTable(std::initializer_list<std::string_view> names) {
    std::string text = "0\nTABLE\n2\nLAYER\n";
    for (std::string_view name : names) {
        text += "0\nLAYER\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n" +
                std::string(name) + "\n70\n0\n62\n7\n6\nContinuous\n";
    }
    return text + "0\nENDTAB\n";
}

std::string layerOf(const AcDbEntity& entity) {
    const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(entity.layerId());
    return layer ? wideToUtf8(layer->qvName()) : "";
}

size_t count(const std::string& record, std::string_view tag) {
    size_t n = 0;
    for (size_t at = record.find(tag); at != std::string::npos; at = record.find(tag, at + 1)) {
        ++n;
    }
    return n;
}

// A writer that puts the handle or the layer after a subclass marker: the record keeps its own
// handle and layer, and is written with one of each.
TEST(ForeignDrawingTest, CodesPlacedLateInARecordAreReadAndWrittenOnce) {
    struct Case {
        const char* record;
        const char* handle;
    };
    const Case cases[] = {
        // the layer after the record's own subclass, behind an empty AcDbEntity part
        {"0\nLINE\n5\n35\n100\nAcDbEntity\n100\nAcDbLine\n8\nwalls\n62\n1\n10\n0\n20\n0\n30\n0\n"
         "11\n9\n21\n0\n31\n0\n",
         "35"},
        {"0\nMTEXT\n5\n57\n100\nAcDbEntity\n100\nAcDbMText\n8\nwalls\n62\n1\n10\n1\n20\n1\n30\n0\n"
         "40\n2.5\n1\nRoom\n",
         "57"},
        // the handle in the middle of the record
        {"0\nLINE\n100\nAcDbEntity\n8\nwalls\n62\n1\n100\nAcDbLine\n5\nA1\n10\n0\n20\n5\n11\n9\n"
         "21\n5\n",
         "A1"},
        {"0\nTEXT\n100\nAcDbEntity\n8\nwalls\n5\nA2\n62\n1\n100\nAcDbText\n10\n0\n20\n5\n40\n2\n"
         "1\nhi\n100\nAcDbText\n",
         "A2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        AuditReport report;
        const auto db = load(drawing("", layerTable({"walls"}), c.record), report);
        const std::vector<AcDbEntity*> entities = entitiesOf(*db);
        ASSERT_EQ(entities.size(), 1u) << report.text();
        EXPECT_EQ(layerOf(*entities[0]), "walls");
        EXPECT_EQ(entities[0]->colorIndex(), 1);
        EXPECT_EQ(entities[0]->objectId().handle().value(), std::stoull(c.handle, nullptr, 16));
        const std::vector<std::string> written = recordsOf(writeDrawing(*db), "ENTITIES");
        ASSERT_EQ(written.size(), 1u);
        EXPECT_EQ(count(written[0], " 5="), 1u) << written[0];
        EXPECT_EQ(count(written[0], " 5=" + std::string(c.handle) + " "), 1u) << written[0];
        EXPECT_EQ(count(written[0], " 8="), 1u) << written[0];
        EXPECT_EQ(count(written[0], " 62="), 1u) << written[0];
    }
}

// An unmodelled object without subclass markers, owned by nothing, with an owner code of its
// own among its later tags: left out, the empty owner let the next read take that later code for
// the owner, so each save lost one. Written again, the record stays as it was written.
TEST(ForeignDrawingTest, AnOwnerlessObjectKeepsItsLaterOwnerCodeOnEachSave) {
    const std::string objects =
        "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n"
        "0\nQV_THING\n5\n30\n330\n0\n90\n1\n330\nC\n";
    AuditReport report;
    const std::string written =
        writeDrawing(*load(drawing("", "", "", "", objects, "AC1027"), report));
    EXPECT_EQ(recordsOf(written, "OBJECTS").at(1), "QV_THING 5=30 330=0 90=1 330=C");
    EXPECT_EQ(recordsOf(writeDrawing(*load(written, report)), "OBJECTS"),
              recordsOf(written, "OBJECTS"));
}

// A header value that does not read (a decimal comma, a word for a number) is never written
// empty: a variable the host models takes its default, any other is left out.
TEST(ForeignDrawingTest, UnreadableHeaderValuesAreLeftOutOrReset) {
    AuditReport report;
    const auto db = load(drawing("9\n$EXTMIN\n10\n-6,5\n20\n1.5\n30\n0\n"
                                 "9\n$EXTMAX\n10\n7,1\n20\n0,9\n"
                                 "9\n$INSUNITS\n70\nfour\n9\n$LTSCALE\n40\n2.0\n",
                                 "", ""),
                         report);
    EXPECT_EQ(report.count(Fix::UnreadableHeader), 3u) << report.text();
    const std::vector<std::string> header = recordsOf(writeDrawing(*db), "HEADER");
    bool insunits = false, ltscale = false;
    for (const std::string& variable : header) {
        EXPECT_NE(variable.find('='), std::string::npos) << "written empty: " << variable;
        EXPECT_EQ(variable.find("$EXT"), std::string::npos) << variable;
        insunits = insunits || variable == "$INSUNITS 70=" + std::to_string(db->insunits());
        ltscale = ltscale || variable == "$LTSCALE 40=2.0";
    }
    EXPECT_TRUE(insunits);
    EXPECT_TRUE(ltscale);
}

// Layer names with characters a layer name may not hold are repaired: unique, and every
// reference (entities, the current layer) follows the layer, not a namesake of the repair.
TEST(ForeignDrawingTest, InvalidLayerNamesAreRepairedWithTheirReferences) {
    const std::string entities =
        "0\nLINE\n100\nAcDbEntity\n8\nbad:name\n100\nAcDbLine\n11\n1\n"
        "0\nLINE\n100\nAcDbEntity\n8\nbad_name\n100\nAcDbLine\n11\n2\n"
        "0\nLINE\n100\nAcDbEntity\n8\nA<B>\n100\nAcDbLine\n11\n3\n"
        "0\nLINE\n100\nAcDbEntity\n8\nTsch\\U+00FCss\n100\nAcDbLine\n11\n4\n";
    // (the host's hidden layers keep their names)
    const std::string layers =
        layerTable({"bad:name", "bad_name", "a<b>", "Tsch\\U+00FCss", "*ADSK_CONSTRAINTS"});
    AuditReport report;
    const auto db =
        load(drawing("9\n$CLAYER\n8\nBAD:NAME\n", layers, entities, "", "", "AC1027"), report);
    EXPECT_EQ(report.count(Fix::InvalidName), 3u) << report.text();
    const std::vector<AcDbEntity*> lines = entitiesOf(*db);
    ASSERT_EQ(lines.size(), 4u);
    const std::string repaired = layerOf(*lines[0]);
    EXPECT_EQ(repaired, "bad_name$1");
    EXPECT_EQ(layerOf(*lines[1]), "bad_name");
    EXPECT_EQ(layerOf(*lines[2]), "a_b_");
    // (a 2007 file or later has no escapes: a program wrote this one literally)
    EXPECT_EQ(layerOf(*lines[3]), "Tsch\u00fcss");
    EXPECT_EQ(lines[0]->layerId(), db->clayer());
    // Read back, the names stand as they are: nothing left to repair.
    AuditReport again;
    load(writeDrawing(*db), again);
    EXPECT_EQ(again.count(Fix::InvalidName), 0u) << again.text();
    EXPECT_EQ(again.count(Fix::DuplicateName), 0u) << again.text();
}

// Two paper layouts whose links to their blocks broke, listed in the other order than their
// blocks, and a viewport whose owner is gone: each layout keeps the block that names it, and
// the viewport stays on paper.
TEST(ForeignDrawingTest, BrokenLayoutLinksKeepEachBlockWithItsLayout) {
    const std::string tables =
        "0\nTABLE\n2\nBLOCK_RECORD\n5\n1\n"
        "0\nBLOCK_RECORD\n5\n1F\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n"
        "2\n*Model_Space\n340\n22\n"
        "0\nBLOCK_RECORD\n5\n1B\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n"
        "2\n*Paper_Space\n340\n1E\n"
        "0\nBLOCK_RECORD\n5\n23\n330\n1\n100\nAcDbSymbolTableRecord\n100\nAcDbBlockTableRecord\n"
        "2\n*Paper_Space0\n340\n26\n"
        "0\nENDTAB\n";
    const std::string blocks =
        "0\nBLOCK\n5\n24\n330\n23\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockBegin\n"
        "2\n*Paper_Space0\n70\n0\n"
        "0\nLINE\n5\n40\n330\n23\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbLine\n11\n2\n"
        "0\nENDBLK\n5\n25\n330\n23\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockEnd\n";
    const std::string entities =
        "0\nLINE\n5\n41\n330\n1B\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbLine\n11\n1\n"
        "0\nVIEWPORT\n5\n42\n330\n9999\n100\nAcDbEntity\n67\n1\n8\n0\n100\nAcDbViewport\n"
        "40\n100\n41\n80\n68\n2\n69\n2\n";
    auto layout = [](std::string_view handle, std::string_view name, int order,
                     std::string_view block) {
        return "0\nLAYOUT\n5\n" + std::string(handle) +
               "\n330\n1A\n100\nAcDbPlotSettings\n100\nAcDbLayout\n1\n" + std::string(name) +
               "\n70\n1\n71\n" + std::to_string(order) + "\n330\n" + std::string(block) + "\n";
    };
    const std::string objects =
        "0\nDICTIONARY\n5\nC\n330\n0\n100\nAcDbDictionary\n3\nACAD_LAYOUT\n350\n1A\n"
        "0\nDICTIONARY\n5\n1A\n330\nC\n100\nAcDbDictionary\n3\nLayout2\n350\n26\n3\nLayout1\n"
        "350\n1E\n3\nModel\n350\n22\n" +
        layout("26", "Layout2", 2, "7777") + layout("1E", "Layout1", 1, "8888") +
        layout("22", "Model", 0, "1F");
    AuditReport report;
    const auto db = load(drawing("", tables, entities, blocks, objects), report);
    auto blockOf = [&](const wchar_t* name) {
        const auto* dictionary =
            ObjectAccess::peekAs<AcDbDictionary>(qv::host::ensureLayoutDictionary(*db)->objectId());
        AcDbObjectId id;
        dictionary->getAt(name, id);
        const auto* layout = ObjectAccess::peekAs<AcDbLayout>(id);
        return layout ? layout->getBlockTableRecordId() : AcDbObjectId();
    };
    EXPECT_EQ(blockOf(L"Layout1"), db->paperSpaceId()) << report.text();
    const std::vector<AcDbEntity*> paper = entitiesOf(*db, db->paperSpaceId());
    ASSERT_EQ(paper.size(), 2u) << report.text();
    EXPECT_EQ(paper[0]->objectId().handle().value(), 0x41u);
    EXPECT_NE(AcDbViewport::cast(paper[1]), nullptr);
    const std::vector<AcDbEntity*> second = entitiesOf(*db, blockOf(L"Layout2"));
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0]->objectId().handle().value(), 0x40u);
    EXPECT_TRUE(entitiesOf(*db).empty());
}

}  // namespace
}  // namespace qv::dxf
