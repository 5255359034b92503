// Hostile and damaged drawings: what the host writes of them is a drawing that it and other
// programs (ezdxf) read without an error.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "DrawingDump.h"
#include "DxfTestText.h"
#include "host/dxf/DrawingWriter.h"
#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

using test::entitiesOf;
using test::lines;
using test::load;
using test::section;

// A written record: its section, type and tags.
struct Written {
    std::string section;
    std::string type;
    std::vector<std::pair<int, std::string>> tags;

    std::string first(int code) const {
        for (const auto& [c, value] : tags) {
            if (c == code) {
                return value;
            }
        }
        return {};
    }
    // The values of a code, in order.
    std::vector<std::string> all(int code) const {
        std::vector<std::string> out;
        for (const auto& [c, value] : tags) {
            if (c == code) {
                out.push_back(value);
            }
        }
        return out;
    }
};

std::vector<Written> writtenRecords(const std::string& text) {
    struct Collector : RecordSink {
        std::string section;
        std::vector<Written> records;
        void beginSection(std::string_view name, std::uint32_t) override { section = name; }
        void sectionHead(const std::vector<TagView>&) override {}
        void record(const RecordView& r) override {
            Written w{section, std::string(r.type), {}};
            for (const TagView& tag : r.tags) {
                w.tags.emplace_back(tag.code, std::string(tag.value));
            }
            records.push_back(std::move(w));
        }
        void endSection() override {}
    } collector;
    AuditReport ignored;
    splitRecords(text, collector, ignored);
    return collector.records;
}

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

// Writes the texts into a folder and has ezdxf read and audit them.
void expectEzdxfReads(const std::vector<std::string>& texts) {
    const test::TempFolder folder;
    for (size_t i = 0; i < texts.size(); ++i) {
        std::ofstream(folder.path() / ("drawing" + std::to_string(i) + ".dxf"), std::ios::binary)
            << texts[i];
    }
    std::string output;
    EXPECT_EQ(test::runEzdxfCheck({"audit", folder.path().string()}, output), 0) << output;
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

}  // namespace
}  // namespace qv::dxf
