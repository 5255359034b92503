#include <gtest/gtest.h>

#include "host/dxf/RecordParts.h"

namespace qv::dxf {
namespace {

std::vector<TagView> tags(std::initializer_list<std::pair<int, std::string_view>> list) {
    std::vector<TagView> out;
    for (const auto& [code, value] : list) {
        out.push_back({code, value, 0});
    }
    return out;
}

std::vector<std::string_view> values(const std::vector<TagView>& all, TagRange range) {
    std::vector<std::string_view> out;
    for (size_t i = range.begin; i < range.end; ++i) {
        out.push_back(all[i].value);
    }
    return out;
}

using Values = std::vector<std::string_view>;

TEST(DxfRecordParts, SplitsGroupsSubclassesAndExtendedData) {
    const std::vector<TagView> line = tags({
        {5, "2A"},
        {102, "{ACAD_XDICTIONARY"},
        {360, "2B"},
        {102, "}"},
        {102, "{ACAD_REACTORS"},
        {330, "2C"},
        {330, "2D"},
        {102, "}"},
        {330, "1F"},
        {100, "AcDbEntity"},
        {8, "WALLS"},
        {100, "AcDbLine"},
        {10, "1.0"},
        {20, "2.0"},
        {1001, "QV_ROOM"},
        {1000, "R1"},
        {1070, "3"},
        {1001, "PE_URL"},
        {1000, "http://x"},
    });
    const RecordParts parts = splitRecordParts(line);

    ASSERT_EQ(parts.groups.size(), 2u);
    EXPECT_EQ(parts.groups[0].name, "ACAD_XDICTIONARY");
    EXPECT_EQ(values(line, parts.groups[0].tags), Values{"2B"});
    EXPECT_EQ(parts.groups[1].name, "ACAD_REACTORS");
    EXPECT_EQ(values(line, parts.groups[1].tags), (Values{"2C", "2D"}));

    ASSERT_EQ(parts.subclasses.size(), 3u);
    EXPECT_EQ(parts.subclasses[0].name, "");
    EXPECT_EQ(parts.subclasses[0].tags.size(), 9u);
    EXPECT_EQ(values(line, parts.subclass("AcDbEntity")->tags), Values{"WALLS"});
    EXPECT_EQ(values(line, parts.subclass("AcDbLine")->tags), (Values{"1.0", "2.0"}));
    EXPECT_EQ(parts.subclass("AcDbCircle"), nullptr);

    ASSERT_EQ(parts.xdata.size(), 2u);
    EXPECT_EQ(values(line, parts.xdataOf("QV_ROOM")->tags), (Values{"R1", "3"}));
    EXPECT_EQ(values(line, parts.xdataOf("PE_URL")->tags), Values{"http://x"});
    EXPECT_EQ(parts.xdataOf("OTHER"), nullptr);
}

TEST(DxfRecordParts, CopesWithR12RecordsAndBrokenGroups) {
    struct Case {
        const char* name;
        std::vector<TagView> tags;
        size_t groups;
        Values firstGroup;
        size_t subclasses;
        size_t xdata;
    };
    const Case cases[] = {
        {"R12 record without markers", tags({{8, "0"}, {10, "1"}}), 0, {}, 1, 0},
        {"group without its end",
         tags({{102, "{ACAD_REACTORS"}, {330, "1"}, {100, "AcDbEntity"}, {8, "0"}}),
         1,
         {"1"},
         2,
         0},
        {"group cut by extended data",
         tags({{102, "{APP"}, {1001, "A"}, {1000, "x"}}),
         1,
         {},
         1,
         1},
        {"closing tag without a group", tags({{102, "}"}, {8, "0"}}), 0, {}, 1, 0},
        {"nothing", {}, 0, {}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordParts parts = splitRecordParts(c.tags);
        ASSERT_EQ(parts.groups.size(), c.groups);
        if (c.groups) {
            EXPECT_EQ(values(c.tags, parts.groups[0].tags), c.firstGroup);
        }
        EXPECT_EQ(parts.subclasses.size(), c.subclasses);
        EXPECT_EQ(parts.xdata.size(), c.xdata);
    }
}

}  // namespace
}  // namespace qv::dxf
