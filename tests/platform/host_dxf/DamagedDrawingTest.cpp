// Hostile and damaged drawings: what the host writes of them is a drawing that it and other
// programs (ezdxf) read without an error.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "DrawingDump.h"
#include "DxfTestText.h"
#include "host/db/AcDbBlockReference.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

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

// Every record's handle is unique and not null, $HANDSEED lies above all of them, and only table
// heads and the named-object dictionary say that nothing owns them.
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
        const std::string handle = r.first(r.type == "DIMSTYLE" ? 105 : 5);
        ASSERT_FALSE(handle.empty()) << r.type << " without a handle";
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

}  // namespace
}  // namespace qv::dxf
