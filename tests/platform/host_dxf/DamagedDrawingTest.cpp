// Hostile and damaged drawings: what the host writes of them is a drawing that it and other
// programs (ezdxf) read without an error.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "DrawingDump.h"
#include "DxfTestText.h"
#include "host/GroupCodes.h"
#include "host/db/AcDbBlockReference.h"
#include "host/db/AcDbDictionary.h"
#include "host/db/AcDbLayout.h"
#include "host/db/AcDbLayoutManager.h"
#include "host/db/AcDbViewport.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/Numbers.h"
#include "win32/CodePage.h"

namespace qv::dxf {
namespace {

using qv::host::ObjectAccess;
using test::entitiesOf;
using test::lines;
using test::load;
using test::section;
using test::Written;
using test::writtenRecords;

std::uint64_t handleValue(const std::string& text) {
    std::uint64_t value = 0;
    EXPECT_TRUE(parseHandle(text, value)) << text;
    return value;
}

// Every record has one handle, unique and not null, $HANDSEED lies above all of them, and only
// table heads and the named-object dictionary say that nothing owns them.
void expectSoundHandles(const std::vector<Written>& records) {
    std::set<std::uint64_t> handles;
    std::uint64_t seed = 0;
    const Written* rootDictionary = nullptr;  // the first record of the OBJECTS
    for (const Written& r : records) {
        if (rootDictionary == nullptr && r.section == "OBJECTS") {
            rootDictionary = &r;
        }
        if (r.type == "$HANDSEED") {
            seed = handleValue(r.first(5));
            continue;
        }
        if (r.section == "HEADER" || r.section == "CLASSES" || r.type == "ENDTAB") {
            continue;
        }
        const int handleCode = r.type == "DIMSTYLE" ? 105 : 5;
        const std::string handle = r.first(handleCode);
        ASSERT_FALSE(handle.empty()) << r.type << " without a handle";
        if (r.type != "SORTENTSTABLE") {  // (whose sort handles are 5, too)
            EXPECT_EQ(r.all(handleCode).size(), 1u) << r.type << " " << handle;
        }
        const std::uint64_t value = handleValue(handle);
        EXPECT_NE(value, 0u) << r.type;
        EXPECT_TRUE(handles.insert(value).second) << r.type << " " << handle << " twice";
        const bool root = r.type == "TABLE" || &r == rootDictionary;
        if (!root) {
            for (const std::string& owner : r.all(330)) {
                EXPECT_NE(owner, "0") << r.type << " " << handle << " is owned by nothing";
            }
        }
    }
    ASSERT_FALSE(handles.empty());
    EXPECT_GT(seed, *handles.rbegin());
}

// ezdxf reads the drawings and its audit finds no error.
void expectEzdxfReads(const std::vector<std::string>& texts) {
    std::string output;
    EXPECT_EQ(test::auditWithEzdxf(texts, output), 0) << output;
}

std::string withHeader(std::string_view header, std::string_view entities) {
    return section("HEADER", lines({"9", "$ACADVER", "1", "AC1027"}) + std::string(header)) +
           section("ENTITIES", entities) + "0\nEOF\n";
}

std::string line(std::string_view handle) {
    std::string text = "0\nLINE\n";
    if (!handle.empty()) {
        text += "5\n" + std::string(handle) + "\n";
    }
    return text + lines({"100", "AcDbEntity", "8", "0", "100", "AcDbLine", "10", "0.0", "20",
                         "0.0", "11", "1.0", "21", "1.0"});
}

// Handles at the top of the 64-bit range leave no room to go on from: the records get new handles
// (with a warning), and the seed never wraps to the null handle.
TEST(DamagedDrawing, HandlesAtTheTopOfTheRangeAreReplaced) {
    const struct {
        const char* name;
        std::string text;
        Fix fix;
        size_t fixes;
    } cases[] = {
        {"the largest handle, then a record without one",
         withHeader("", line("FFFFFFFFFFFFFFFF") + line("")), Fix::MissingHandle, 2},
        {"a handle too close to the top", withHeader("", line("FFFFFFFF00000000") + line("2A")),
         Fix::MissingHandle, 1},
        {"$HANDSEED at the top",
         withHeader(lines({"9", "$HANDSEED", "5", "FFFFFFFFFFFFFFFF"}), line("2A") + line("")),
         Fix::HandleSeed, 1},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(c.text, report);
        EXPECT_EQ(entitiesOf(*db).size(), 2u);
        EXPECT_EQ(report.count(c.fix), c.fixes) << report.text();
        EXPECT_LE(db->handseed().value(), kLargestFileHandle + 1);
        written.push_back(writeDrawing(*db));
        expectSoundHandles(writtenRecords(written.back()));
    }
    expectEzdxfReads(written);
}

// A record whose owner names nothing is written without an owner, never as owned by the null
// handle (only table heads and the named-object dictionary are owned by nothing).
TEST(DamagedDrawing, RecordsWhoseOwnerIsGoneNameNoOwner) {
    const std::string objects = lines({
        "0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3", "MINE", "350", "30",
        "0", "XRECORD", "5", "30", "330", "77", "100", "AcDbXrecord", "1", "kept",   //
        "0", "DICTIONARY", "5", "31", "330", "78", "100", "AcDbDictionary",          //
        "0", "QV_THING", "5", "32", "330", "79", "100", "AcDbThing", "90", "1",      //
    });
    const std::string text =
        section("HEADER", lines({"9", "$ACADVER", "1", "AC1027"})) + section("ENTITIES", line("2A")) +
        section("OBJECTS", objects) + "0\nEOF\n";
    AuditReport damaged;
    const std::string written = writeDrawing(*load(text, damaged));
    EXPECT_EQ(damaged.count(Fix::MissingOwner), 3u) << damaged.text();
    const std::vector<Written> records = writtenRecords(written);
    expectSoundHandles(records);
    size_t kept = 0;
    for (const Written& r : records) {
        kept += r.first(5) == "30" || r.first(5) == "31" || r.first(5) == "32";
    }
    EXPECT_EQ(kept, 3u) << "a record whose owner is gone was lost";
    expectEzdxfReads({written});
}

// ---- block references ----

std::string block(std::string_view name, std::string_view content) {
    return lines({"0", "BLOCK", "8", "0", "2", name, "70", "0", "10", "0", "20", "0"}) +
           std::string(content) + lines({"0", "ENDBLK", "8", "0"});
}

std::string insert(std::string_view name) {
    return lines({"0", "INSERT", "8", "0", "2", name, "10", "0", "20", "0"});
}

// A block reference that would make a block contain itself is left out with a warning; the
// references before it in the walk stay, and nothing runs forever.
TEST(DamagedDrawing, BlockReferenceCyclesAreBroken) {
    const std::string r12 = section("HEADER", lines({"9", "$ACADVER", "1", "AC1009"}));
    const std::string lineEntity =
        lines({"0", "LINE", "8", "0", "10", "0", "20", "0", "11", "1", "21", "1"});
    const struct {
        const char* name;
        std::string blocks, entities;
        size_t cycles;
        size_t inserts;  // block references left, in every block
    } cases[] = {
        {"a block inserting itself", block("S", insert("S") + lineEntity), insert("S"), 1, 1},
        {"A inserting B inserting A", block("A", insert("B")) + block("B", insert("A")),
         insert("A"), 1, 2},
        {"model space inserted in itself", "", insert("*Model_Space") + lineEntity, 1, 0},
        {"model space inserted through a block", block("X", insert("*Model_Space")), insert("X"),
         1, 1},
        {"a block inserted twice, without a cycle", block("D", lineEntity) + block("E", insert("D")),
         insert("D") + insert("E") + insert("E"), 0, 4},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db =
            load(r12 + section("BLOCKS", c.blocks) + section("ENTITIES", c.entities) + "0\nEOF\n",
                 report);
        EXPECT_EQ(report.count(Fix::BlockCycle), c.cycles) << report.text();
        size_t inserts = 0;
        db->qvForEachObject([&](AcDbObject& o) {
            inserts += o.isA() == AcDbBlockReference::desc() && !o.isErased();
        });
        EXPECT_EQ(inserts, c.inserts);
        written.push_back(writeDrawing(*db));
    }
    expectEzdxfReads(written);
}

// ---- layouts ----

struct LayoutSpec {
    std::string handle, owner, name, block;
};

// A drawing with the blocks of model space (D) and paper space (E), naming the layouts given
// (340) or none, the layout dictionary 10, and the layouts.
std::string layoutDrawing(std::string_view modelLayout, std::string_view paperLayout,
                          const std::vector<LayoutSpec>& layouts) {
    auto record = [](std::string_view handle, std::string_view name, std::string_view layout) {
        std::string text = lines({"0", "BLOCK_RECORD", "5", handle, "330", "1", "100",
                                  "AcDbSymbolTableRecord", "100", "AcDbBlockTableRecord", "2", name});
        return layout.empty() ? text : text + lines({"340", layout});
    };
    const std::string tables =
        lines({"0", "TABLE", "2", "BLOCK_RECORD", "5", "1", "330", "0", "100", "AcDbSymbolTable",
               "70", "2"}) +
        record("D", "*Model_Space", modelLayout) + record("E", "*Paper_Space", paperLayout) +
        "0\nENDTAB\n";
    std::string entries;
    std::string objects;
    for (const LayoutSpec& l : layouts) {
        if (l.owner == "10") {
            entries += lines({"3", l.name, "350", l.handle});
        }
        objects += lines({"0", "LAYOUT", "5", l.handle, "330", l.owner, "100", "AcDbPlotSettings",
                          "100", "AcDbLayout", "1", l.name, "330", l.block});
    }
    objects = lines({"0", "DICTIONARY", "5", "6", "330", "0", "100", "AcDbDictionary", "3",
                     "ACAD_LAYOUT", "350", "10", "0", "DICTIONARY", "5", "10", "330", "6", "100",
                     "AcDbDictionary"}) +
              entries + objects;
    return section("HEADER", lines({"9", "$ACADVER", "1", "AC1027"})) +
           section("TABLES", tables) + section("OBJECTS", objects) + "0\nEOF\n";
}

// Layouts that lost their blocks are linked to the blocks that have none, or dropped when no block
// is left; each layout is an entry of the layout dictionary and has a name of its own.
TEST(DamagedDrawing, LayoutsAndTheirBlocksAreLinkedOneToOne) {
    const struct {
        const char* name;
        std::string text;
        std::map<std::string, std::string> layouts;  // name: block name
        size_t warnings;
    } cases[] = {
        {"layouts naming blocks that are not there",
         layoutDrawing("", "", {{"11", "10", "Model", "99"}, {"12", "10", "Layout1", "98"}}),
         {{"Model", "*Model_Space"}, {"Layout1", "*Paper_Space"}},
         2},
        {"a layout without a block left for it",
         layoutDrawing("11", "12",
                       {{"11", "10", "Model", "D"},
                        {"12", "10", "Layout1", "E"},
                        {"13", "10", "Layout2", "97"}}),
         {{"Model", "*Model_Space"}, {"Layout1", "*Paper_Space"}},
         1},
        {"a layout owned by nothing",
         layoutDrawing("11", "12", {{"11", "10", "Model", "D"}, {"12", "77", "Layout1", "E"}}),
         {{"Model", "*Model_Space"}, {"Layout1", "*Paper_Space"}},
         0},
        {"two layouts named Model",
         layoutDrawing("11", "12", {{"11", "10", "Model", "D"}, {"12", "10", "MODEL", "E"}}),
         {{"Model", "*Model_Space"}, {"Layout1", "*Paper_Space"}},
         1},
        {"two blocks claimed by one layout",
         layoutDrawing("11", "11", {{"11", "10", "Model", "D"}, {"12", "10", "Layout1", "D"}}),
         {{"Model", "*Model_Space"}, {"Layout1", "*Paper_Space"}},
         1},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(c.text, report);
        written.push_back(writeDrawing(*db));
        const std::vector<Written> records = writtenRecords(written.back());
        expectSoundHandles(records);

        std::map<std::string, const Written*> byHandle;
        std::string layoutDictionary;
        for (const Written& r : records) {
            if (!r.first(5).empty()) {
                byHandle[r.first(5)] = &r;
            }
            if (r.type == "DICTIONARY" && layoutDictionary.empty()) {
                const auto keys = r.all(3);
                const auto ids = r.all(350);
                for (size_t i = 0; i < keys.size(); ++i) {
                    if (keys[i] == "ACAD_LAYOUT") {
                        layoutDictionary = ids[i];
                    }
                }
            }
        }
        ASSERT_TRUE(byHandle.count(layoutDictionary)) << "no layout dictionary";
        const Written& dictionary = *byHandle[layoutDictionary];
        std::map<std::string, std::string> layouts;
        for (const Written& r : records) {
            if (r.type != "LAYOUT") {
                continue;
            }
            const std::string name = r.all(1).back();
            const std::vector<std::string> refs = r.all(330);
            ASSERT_EQ(refs.size(), 2u);
            EXPECT_EQ(refs[0], layoutDictionary) << name << " is not owned by the dictionary";
            const auto keys = dictionary.all(3);
            const auto ids = dictionary.all(350);
            const auto key = std::find(keys.begin(), keys.end(), name);
            ASSERT_NE(key, keys.end()) << name << " is no entry of the layout dictionary";
            EXPECT_EQ(ids[static_cast<size_t>(key - keys.begin())], r.first(5));
            ASSERT_TRUE(byHandle.count(refs[1])) << name << " names no block";
            const Written& block = *byHandle[refs[1]];
            EXPECT_EQ(block.first(340), r.first(5)) << "the block of " << name << " names another";
            EXPECT_TRUE(layouts.emplace(name, block.first(2)).second) << name << " twice";
        }
        EXPECT_EQ(layouts, c.layouts);
        size_t layoutWarnings = 0;
        for (const AuditEntry& entry : report.entries()) {
            layoutWarnings += entry.message.find("layout") != std::string::npos &&
                              entry.message.find("names no object") == std::string::npos;
        }
        EXPECT_EQ(layoutWarnings, c.warnings) << report.text();
    }
    expectEzdxfReads(written);
}

// ---- records as damaged files hold them ----

std::string drawing(std::string_view version, std::string_view tables, std::string_view blocks,
                    std::string_view entities, std::string_view objects = "") {
    return section("HEADER", lines({"9", "$ACADVER", "1", version})) +
           section("TABLES", tables) + section("BLOCKS", blocks) +
           section("ENTITIES", entities) + section("OBJECTS", objects) + "0\nEOF\n";
}

// Whether each point of a written record (before its extended data) has its X and right after
// it its Y, as every reader of the format expects.
bool pointsWhole(const Written& r) {
    for (size_t i = 0; i < r.tags.size() && r.tags[i].first < 1000; ++i) {
        const int code = r.tags[i].first;
        if (qv::host::groupType(code) == qv::host::GroupType::PointX &&
            (i + 1 == r.tags.size() || r.tags[i + 1].first != code + 10)) {
            return false;
        }
        if (code >= 20 && qv::host::groupType(code - 10) == qv::host::GroupType::PointX &&
            (i == 0 || r.tags[i - 1].first != code - 10)) {
            return false;
        }
    }
    return true;
}

// A coordinate that does not read ("nan") is dropped; the point it belonged to is written whole,
// with 0 in its place, in the records the host keeps as read (the acceptance case
// damaged_records has every kind), their vertices and the tags a modelled record does not read:
// a point without its Y makes the whole file unreadable, a point left out would break the
// counts of a spline or a leader.
TEST(DamagedDrawing, PointsThatLostACoordinateAreWrittenWhole) {
    const std::string entity = "100\nAcDbEntity\n8\n0\n";
    const std::string vertex =
        "0\nVERTEX\n" + entity + "100\nAcDbVertex\n100\nAcDb3dPolylineVertex\n";
    const struct {
        const char* type;
        std::string record;
        int code;  // the coordinate written as 0
    } cases[] = {
        {"POINT", entity + "100\nAcDbPoint\n10\n1\n20\nnan\n30\n0\n", 20},
        {"SPLINE",
         entity + "100\nAcDbSpline\n70\n8\n71\n3\n72\n8\n73\n4\n74\n0\n40\n0\n40\n0\n40\n0\n"
                  "40\n0\n40\n1\n40\n1\n40\n1\n40\n1\n10\n0\n20\n0\n30\n0\n10\n1\n20\nnan\n"
                  "30\n0\n10\n2\n20\n1\n30\n0\n10\n3\n20\n0\n30\n0\n",
         20},
        {"LEADER",
         entity + "100\nAcDbLeader\n3\nStandard\n71\n1\n72\n0\n73\n3\n76\n3\n10\n0\n20\n0\n"
                  "30\n0\n10\nnan\n20\n1\n30\n0\n10\n2\n20\n1\n30\n0\n",
         10},
        {"DIMENSION",
         entity + "100\nAcDbDimension\n2\n*D1\n10\nnan\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n"
                  "70\n1\n3\nStandard\n100\nAcDbAlignedDimension\n13\n0\n23\n0\n33\n0\n14\n2\n"
                  "24\nnan\n34\n0\n",
         10},
        // (a point of a code the LINE does not read, kept with it)
        {"LINE",
         entity + "100\nAcDbLine\n10\n0\n20\n0\n11\n1\n21\n1\n12\n1\n22\nnan\n", 22},
        {"VERTEX",
         "0\nPOLYLINE\n" + entity + "100\nAcDb3dPolyline\n66\n1\n10\n0\n20\n0\n30\n0\n70\n8\n" +
             vertex + "10\n0\n20\n0\n30\n0\n70\n32\n" + vertex +
             "10\n1\n20\nnan\n30\n0\n70\n32\n0\nSEQEND\n" + entity,
         20},
    };
    const std::string dimensionBlock =
        lines({"0", "BLOCK", "8", "0", "2", "*D1", "70", "1", "10", "0", "20", "0", "0", "LINE",
               "8", "0", "10", "0", "20", "0", "11", "2", "21", "0", "0", "ENDBLK", "8", "0"});
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const std::string type = c.type;
        const std::string record = type == "VERTEX" ? c.record : "0\n" + type + "\n" + c.record;
        AuditReport report;
        const auto db = load(drawing("AC1027", "", dimensionBlock, record), report);
        written.push_back(writeDrawing(*db));
        EXPECT_GE(report.count(Fix::InvalidValue), 2u) << report.text();
        size_t seen = 0;
        for (const Written& r : writtenRecords(written.back())) {
            if (r.type != type) {
                continue;
            }
            EXPECT_TRUE(pointsWhole(r)) << r.type;
            const std::vector<std::string> values = r.all(c.code);
            seen += std::count(values.begin(), values.end(), "0");
        }
        EXPECT_GE(seen, 1u) << "no 0 for group code " << c.code;
    }
    expectEzdxfReads(written);
}

// Layers named with characters a layer name may not hold are repaired where they are added for
// an entity (the drawing has no such layer), and the records kept with an entity (the vertices of
// a polyline) name the repaired layer as their entity does. A block's BLOCK and ENDBLK records
// name their layer as entities do: it is added when the drawing has not, and repaired.
TEST(DamagedDrawing, RepairedLayerNamesReachEveryRecordThatNamesThem) {
    auto layerTable = [](std::initializer_list<std::string_view> names) {
        std::string text = "0\nTABLE\n2\nLAYER\n";
        for (std::string_view name : names) {
            text += lines({"0", "LAYER", "100", "AcDbSymbolTableRecord", "100",
                           "AcDbLayerTableRecord", "2", name, "70", "0", "62", "7"});
        }
        return text + "0\nENDTAB\n";
    };
    auto polyline = [](std::string_view layer, bool r12) {
        auto record = [&](std::string_view type, std::string_view rest) {
            return "0\n" + std::string(type) + "\n" + (r12 ? "" : "100\nAcDbEntity\n") + "8\n" +
                   std::string(layer) + "\n" + std::string(rest);
        };
        std::string text = record("POLYLINE", std::string(r12 ? "" : "100\nAcDb3dPolyline\n") +
                                                  "66\n1\n10\n0\n20\n0\n30\n0\n70\n8\n");
        for (const char* x : {"0", "1", "2"}) {
            text += record("VERTEX",
                           std::string(r12 ? "" : "100\nAcDbVertex\n100\nAcDb3dPolylineVertex\n") +
                               "10\n" + x + "\n20\n" + x + "\n30\n0\n70\n32\n");
        }
        return text + record("SEQEND", "");
    };
    const std::string line = lines({"0", "LINE", "100", "AcDbEntity", "8", "a;b", "100", "AcDbLine",
                                    "10", "0", "20", "0", "11", "1", "21", "1"});
    auto block = [&](std::string_view name, std::string_view layer) {
        return lines({"0", "BLOCK", "100", "AcDbEntity", "8", layer, "100", "AcDbBlockBegin", "2",
                      name, "70", "0", "10", "0", "20", "0"}) +
               line +
               lines({"0", "ENDBLK", "100", "AcDbEntity", "8", layer, "100", "AcDbBlockEnd"});
    };
    const std::string inserts =
        lines({"0", "INSERT", "100", "AcDbEntity", "8", "a<b", "100", "AcDbBlockReference", "2",
               "Door", "10", "0", "20", "0", "0", "INSERT", "100", "AcDbEntity", "8", "0", "100",
               "AcDbBlockReference", "2", "Window", "10", "5", "20", "0"});
    const struct {
        const char* name;
        std::string text;
        const char* entityLayer;  // of the first entity
    } cases[] = {
        {"a layer the drawing uses but has not", drawing("AC1027", "", "", line), "a_b"},
        {"a 3D polyline on a repaired layer",
         drawing("AC1027", layerTable({"a<b", "a_b", "a_b$1"}), "", polyline("a<b", false)),
         "a_b$2"},
        {"an R12 3D polyline on a layer the drawing has not",
         drawing("AC1009", "", "", polyline("a;b", true)), "a_b"},
        {"blocks on a layer to repair and on one the drawing has not",
         drawing("AC1027", layerTable({"a<b"}), block("Door", "a<b") + block("Window", "Frames"),
                 inserts),
         "a_b"},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(c.text, report);
        EXPECT_GE(report.count(Fix::InvalidName), 1u) << report.text();
        const std::vector<AcDbEntity*> entities = entitiesOf(*db);
        ASSERT_FALSE(entities.empty());
        const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(entities[0]->layerId());
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(qv::wideToUtf8(layer->qvName()), c.entityLayer);
        written.push_back(writeDrawing(*db));
        const std::vector<Written> records = writtenRecords(written.back());
        std::set<std::string> layers;
        for (const Written& r : records) {
            if (r.type == "LAYER") {
                const std::string name = r.first(2);
                EXPECT_EQ(name.find_first_of("<>/\\\":;?*|,=`"), std::string::npos) << name;
                layers.insert(name);
            }
        }
        size_t named = 0;
        for (const Written& r : records) {
            if (r.section == "ENTITIES" || r.section == "BLOCKS") {
                EXPECT_EQ(layers.count(r.first(8)), 1u) << r.type << " on " << r.first(8);
                named += r.section == "ENTITIES" && r.first(8) == c.entityLayer;
            }
        }
        EXPECT_EQ(named, c.text.find("POLYLINE") != std::string::npos ? 5u : 1u);
    }
    expectEzdxfReads(written);
}

// A record has one handle, wherever a writer put it: the first is kept, any other is left out
// with a warning, for entities, tables and their entries alike; a DIMSTYLE keeps its 5 (a
// block's name), its handle being 105.
TEST(DamagedDrawing, EveryRecordKeepsOneHandle) {
    const std::string lineBody = "10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";
    const struct {
        const char* name;
        std::string tables, entities;
        std::vector<std::pair<std::string, std::string>> handles;  // type, its handle
        size_t extra;                                              // handles left out
    } cases[] = {
        {"a line with two late handles", "",
         "0\nLINE\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n5\n3F002\n" + lineBody + "5\n3F003\n",
         {{"LINE", "3F002"}},
         1},
        {"a line with a handle in its head and one late", "",
         "0\nLINE\n5\n2A\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n" + lineBody + "5\n2B\n",
         {{"LINE", "2A"}},
         1},
        {"a layer table and its entry with late handles",
         "0\nTABLE\n2\nLAYER\n100\nAcDbSymbolTable\n70\n1\n5\n2\n"
         "0\nLAYER\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\nL1\n5\n3F000\n"
         "70\n0\n62\n7\n6\nContinuous\n5\n3F001\n0\nENDTAB\n",
         "0\nLINE\n5\n2A\n100\nAcDbEntity\n8\nL1\n100\nAcDbLine\n" + lineBody,
         {{"TABLE", "2"}, {"LAYER", "3F000"}},
         1},
        {"a dimension style with a late handle",
         "0\nTABLE\n2\nDIMSTYLE\n5\nA\n100\nAcDbSymbolTable\n70\n1\n"
         "0\nDIMSTYLE\n100\nAcDbSymbolTableRecord\n100\nAcDbDimStyleTableRecord\n2\nStandard\n"
         "105\n27\n5\n_ArchTick\n70\n0\n0\nENDTAB\n",
         "",
         {{"DIMSTYLE", "27"}},
         0},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(drawing("AC1027", c.tables, "", c.entities), report);
        size_t extra = 0;
        for (const AuditEntry& entry : report.entries()) {
            extra += entry.message.find("second handle") != std::string::npos;
        }
        EXPECT_EQ(extra, c.extra) << report.text();
        EXPECT_EQ(report.count(Fix::MissingHandle), 0u) << report.text();
        written.push_back(writeDrawing(*db));
        const std::vector<Written> records = writtenRecords(written.back());
        expectSoundHandles(records);
        for (const auto& [type, handle] : c.handles) {
            const int code = type == "DIMSTYLE" ? 105 : 5;
            const auto found = std::find_if(records.begin(), records.end(), [&](const Written& r) {
                return r.type == type && r.first(code) == handle;
            });
            EXPECT_NE(found, records.end()) << type << " " << handle << " was not kept";
            if (found != records.end() && type == "DIMSTYLE") {
                EXPECT_EQ(found->first(5), "_ArchTick");
            }
        }
    }
    expectEzdxfReads(written);
}

// ---- table entries outside their tables ----

// A drawing whose layouts Layout1 (1E) and Layout2 (26) own the paper blocks *Paper_Space0 (23)
// and *Paper_Space (1B), each with a viewport of its own (centres 300,200 and 50,50): the
// blocks' records are given by BLOCK_RECORD records placed by `tables` or among the entities
// (`entities`, before the viewport of model space), the layouts and the viewports name them by
// their handles only.
std::string strayRecordsDrawing(std::string_view tables, std::string_view entities) {
    auto viewport = [](std::string_view handle, std::string_view owner, std::string_view x,
                       std::string_view y, std::string_view id) {
        return lines({"0", "VIEWPORT", "5", handle, "330", owner, "100", "AcDbEntity", "67", "1",
                      "8", "0", "100", "AcDbViewport", "10", x, "20", y, "30", "0", "40", "40",
                      "41", "30", "68", "1", "69", id});
    };
    auto block = [](std::string_view handle, std::string_view owner, std::string_view name,
                    std::string_view content) {
        return lines({"0", "BLOCK", "5", handle, "330", owner, "100", "AcDbEntity", "8", "0",
                      "100", "AcDbBlockBegin", "2", name, "70", "0", "10", "0", "20", "0"}) +
               std::string(content) +
               lines({"0", "ENDBLK", "330", owner, "100", "AcDbEntity", "8", "0", "100",
                      "AcDbBlockEnd"});
    };
    auto layout = [](std::string_view handle, std::string_view name, std::string_view order,
                     std::string_view block) {
        return lines({"0", "LAYOUT", "5", handle, "330", "1A", "100", "AcDbPlotSettings", "100",
                      "AcDbLayout", "1", name, "70", "1", "71", order, "330", block});
    };
    const std::string blocks =
        block("20", "1F", "*Model_Space", "") + block("1C", "1B", "*Paper_Space", "") +
        block("24", "23", "*Paper_Space0", viewport("41", "23", "300", "200", "2"));
    const std::string entityRecords = std::string(entities) + viewport("43", "1B", "50", "50", "2");
    const std::string objects =
        lines({"0", "DICTIONARY", "5", "C", "330", "0", "100", "AcDbDictionary", "3",
               "ACAD_LAYOUT", "350", "1A", "0", "DICTIONARY", "5", "1A", "330", "C", "100",
               "AcDbDictionary", "3", "Layout1", "350", "1E", "3", "Layout2", "350", "26", "3",
               "Model", "350", "22"}) +
        layout("22", "Model", "0", "1F") + layout("1E", "Layout1", "1", "23") +
        layout("26", "Layout2", "2", "1B");
    return drawing("AC1027", tables, blocks, entityRecords, objects);
}

std::string blockRecord(std::string_view handle, std::string_view name, std::string_view layout) {
    return lines({"0", "BLOCK_RECORD", "5", handle, "330", "1", "100", "AcDbSymbolTableRecord",
                  "100", "AcDbBlockTableRecord", "2", name, "340", layout});
}

// Table entries after their table's end, in another table (one of a name no drawing has, which
// is left out) or among the entities join the table of their type (the one the file has,
// wherever it stands, or the one the host adds): block records that stood outside any table,
// even after the BLOCKs of their blocks, still link each layout with its block and its
// viewports.
TEST(DamagedDrawing, TableEntriesOutsideTheirTableJoinIt) {
    const std::string dimstyles =
        lines({"0", "TABLE", "2", "DIMSTYLE", "5", "A", "330", "0", "100", "AcDbSymbolTable", "70",
               "1", "100", "AcDbDimStyleTable", "0", "DIMSTYLE", "105", "27", "330", "A", "100",
               "AcDbSymbolTableRecord", "100", "AcDbDimStyleTableRecord", "2", "Standard", "70",
               "0", "0", "ENDTAB"});
    const std::string records = blockRecord("1F", "*Model_Space", "22") +
                                blockRecord("1B", "*Paper_Space", "26") +
                                blockRecord("23", "*Paper_Space0", "1E");
    const std::string green = lines({"0", "LAYER", "5", "30", "100", "AcDbSymbolTableRecord", "100",
                                     "AcDbLayerTableRecord", "2", "green", "70", "0", "62", "3"});
    const struct {
        const char* name;
        std::string tables, entities;
    } cases[] = {
        {"block records after the dimension styles' table, no table of their own",
         dimstyles + records},
        {"block records among the entities, after their blocks", dimstyles, records},
        {"block records before their table, which comes empty",
         records + dimstyles +
             lines({"0", "TABLE", "2", "BLOCK_RECORD", "5", "1", "330", "0", "100",
                    "AcDbSymbolTable", "70", "0", "0", "ENDTAB"})},
        {"a layer among the block records, after the layers' table",
         lines({"0", "TABLE", "2", "LAYER", "5", "2", "330", "0", "100", "AcDbSymbolTable", "70",
                "0", "0", "ENDTAB", "0", "TABLE", "2", "BLOCK_RECORD", "5", "1", "330", "0", "100",
                "AcDbSymbolTable", "70", "0"}) +
             blockRecord("1F", "*Model_Space", "22") + green +
             blockRecord("1B", "*Paper_Space", "26") + blockRecord("23", "*Paper_Space0", "1E") +
             "0\nENDTAB\n" + dimstyles},
        {"a layer and the block records in a table of a name no drawing has",
         dimstyles +
             lines({"0", "TABLE", "2", "FOO", "5", "60", "330", "0", "100", "AcDbSymbolTable",
                    "70", "4"}) +
             records + green + "0\nENDTAB\n"},
        {"a layer among the viewports' entries",
         lines({"0", "TABLE", "2", "VPORT", "5", "8", "330", "0", "100", "AcDbSymbolTable", "70",
                "1", "0", "VPORT", "5", "29", "330", "8", "100", "AcDbSymbolTableRecord", "100",
                "AcDbViewportTableRecord", "2", "*Active", "70", "0"}) +
             green + "0\nENDTAB\n" + dimstyles + records},
    };
    std::vector<std::string> written;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AuditReport report;
        const auto db = load(strayRecordsDrawing(c.tables, c.entities), report);
        EXPECT_EQ(report.count(Fix::MissingReference), 0u) << report.text();
        const auto* dictionary = qv::host::ensureLayoutDictionary(*db);
        auto viewportOf = [&](const wchar_t* name) {
            AcDbObjectId id;
            dictionary->getAt(name, id);
            const auto* layout = ObjectAccess::peekAs<AcDbLayout>(id);
            std::vector<AcDbEntity*> paper;
            if (layout != nullptr) {
                paper = entitiesOf(*db, layout->getBlockTableRecordId());
            }
            const auto* viewport = paper.size() == 1 ? AcDbViewport::cast(paper[0]) : nullptr;
            return viewport ? viewport->centerPoint() : AcGePoint3d(-1, -1, -1);
        };
        EXPECT_EQ(viewportOf(L"Layout1"), AcGePoint3d(300, 200, 0)) << report.text();
        EXPECT_EQ(viewportOf(L"Layout2"), AcGePoint3d(50, 50, 0));
        EXPECT_EQ(db->paperSpaceId().handle().value(), 0x1Bu);
        if (c.tables.find("green") != std::string::npos) {
            AcDbObjectId green;
            ObjectAccess::peekAs<AcDbLayerTable>(db->layerTableId())->getAt(L"green", green);
            const auto* layer = ObjectAccess::peekAs<AcDbLayerTableRecord>(green);
            EXPECT_NE(layer, nullptr) << report.text();
            if (layer != nullptr) {
                EXPECT_EQ(layer->objectId().handle().value(), 0x30u);
                EXPECT_EQ(layer->color().colorIndex(), 3);
            }
        }
        written.push_back(writeDrawing(*db));
        expectSoundHandles(writtenRecords(written.back()));
    }
    expectEzdxfReads(written);
}

}  // namespace
}  // namespace qv::dxf
