#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/GroupCodes.h"
#include "host/db/ResBuf.h"
#include "host/dxf/GroupCode.h"

namespace {

using qv::host::GroupType;
using RbKind = qv::host::ValueKind;
using FileKind = qv::dxf::ValueKind;

// Codes at the edges of the ranges the host reads and writes most: a range of the table that is
// shifted, swapped with another or typed wrongly shows at one of them.
TEST(GroupCodes, CodesAtTheEdgesOfTheirRangesHaveTheirTypes) {
    const struct {
        int code;
        GroupType type;
    } cases[] = {
        {-1, GroupType::Unused},      {0, GroupType::Text},        {5, GroupType::Handle},
        {8, GroupType::Text},         {10, GroupType::PointX},     {19, GroupType::Real},
        {20, GroupType::Coordinate},  {38, GroupType::Real},       {62, GroupType::Int16},
        {80, GroupType::Unused},      {90, GroupType::Int32},      {105, GroupType::Handle},
        {160, GroupType::Int64},      {290, GroupType::Bool},      {310, GroupType::Binary},
        {320, GroupType::Handle},     {330, GroupType::Pointer},   {370, GroupType::Int16},
        {420, GroupType::Int32},      {481, GroupType::Pointer},   {999, GroupType::Text},
        {1004, GroupType::Binary},    {1005, GroupType::Handle},   {1010, GroupType::PointX},
        {1040, GroupType::Real},      {1070, GroupType::Int16},    {1071, GroupType::Int32},
        {1072, GroupType::Unused},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qv::host::groupType(c.code), c.type) << "group code " << c.code;
    }
}

TEST(GroupCodes, TheRangesAscendWithoutOverlapOrGap) {
    const auto ranges = qv::host::groupRanges();
    for (size_t i = 0; i < ranges.size(); ++i) {
        EXPECT_LE(ranges[i].first, ranges[i].last) << i;
        if (i > 0) {
            EXPECT_GT(ranges[i].first, ranges[i - 1].last) << "range from " << ranges[i].first;
        }
    }
    EXPECT_EQ(ranges.back().last, qv::host::kLastGroupCode);
}

// What a result buffer holds and what the file reader checks, for each type: the two users of
// the table must read it alike for every code (320-329 and 1005 were text to one and handles
// to the other).
TEST(GroupCodes, ResultBuffersAndFilesTreatEveryCodeAlike) {
    const struct {
        GroupType type;
        RbKind member;
        FileKind file;
    } cases[] = {
        {GroupType::Text, RbKind::String, FileKind::String},
        {GroupType::PointX, RbKind::Point, FileKind::Double},
        {GroupType::Coordinate, RbKind::Real, FileKind::Double},
        {GroupType::Real, RbKind::Real, FileKind::Double},
        {GroupType::Int16, RbKind::Short, FileKind::Integer},
        {GroupType::Int32, RbKind::Long, FileKind::Integer},
        {GroupType::Int64, RbKind::Int64, FileKind::Integer},
        {GroupType::Bool, RbKind::Short, FileKind::Integer},
        {GroupType::Handle, RbKind::String, FileKind::Handle},
        {GroupType::Pointer, RbKind::Name, FileKind::Handle},
        {GroupType::Binary, RbKind::Binary, FileKind::Binary},
        {GroupType::Unused, RbKind::None, FileKind::String},
    };
    for (int code = 0; code <= qv::host::kLastGroupCode; ++code) {
        for (const auto& c : cases) {
            if (c.type == qv::host::groupType(code)) {
                EXPECT_EQ(qv::host::valueKind(code), c.member) << "group code " << code;
                EXPECT_EQ(qv::dxf::valueKind(code), c.file) << "group code " << code;
            }
        }
    }
}

// Handles kept as they are travel as hexadecimal text in a result buffer; pointers as names.
TEST(GroupCodes, HandlesInResultBuffersAreTextAndPointersNames) {
    const ads_name name = {7, 9};
    resbuf* list = acutBuildList(320, L"1F", 1005, L"2A", 5, L"3B", 330, name, 0);
    ASSERT_NE(list, nullptr);
    resbuf* copy = qvCopyResBufList(list);
    acutRelRb(list);
    const resbuf* rb = copy;
    for (const wchar_t* text : {L"1F", L"2A", L"3B"}) {
        ASSERT_NE(rb, nullptr);
        EXPECT_STREQ(rb->resval.rstring, text) << rb->restype;
        rb = rb->rbnext;
    }
    ASSERT_NE(rb, nullptr);
    EXPECT_EQ(rb->restype, 330);
    EXPECT_EQ(rb->resval.rlname[0], 7);
    EXPECT_EQ(rb->resval.rlname[1], 9);
    EXPECT_EQ(rb->rbnext, nullptr);
    acutRelRb(copy);
}

TEST(GroupCodes, ExtendedDataTakesItsOwnCodesOnly) {
    std::string taken;
    for (int code = 990; code <= 1080; ++code) {
        if (qv::host::isExtendedDataCode(code)) {
            taken += std::to_string(code) + " ";
        }
    }
    EXPECT_EQ(taken, "1000 1001 1002 1003 1004 1005 1010 1011 1012 1013 1040 1041 1042 1070 1071 ");
}

}  // namespace
