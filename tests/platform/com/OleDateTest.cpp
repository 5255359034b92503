#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "comdef.h"

namespace {

using qv::com::DateParts;

TEST(OleDate, CalendarPartsAndSerialNumbers) {
    struct Case {
        DateParts parts;
        DATE serial;
    };
    const Case cases[] = {
        {{1899, 12, 30, 0, 0, 0}, 0.0},
        {{1899, 12, 31, 0, 0, 0}, 1.0},
        {{1900, 1, 1, 0, 0, 0}, 2.0},
        {{1900, 3, 1, 0, 0, 0}, 61.0},  // no 29 February 1900 in this calendar
        {{2000, 2, 29, 18, 0, 0}, 36585.75},
        {{1899, 12, 29, 6, 0, 0}, -1.25},  // the time counts forward from midnight
        {{100, 1, 1, 0, 0, 0}, -657434.0},
        {{100, 1, 1, 12, 0, 0}, -657434.5},
        {{9999, 12, 31, 0, 0, 0}, 2958465.0},
    };
    for (const auto& c : cases) {
        DATE serial = -99;
        ASSERT_TRUE(qv::com::dateFromParts(c.parts, serial)) << c.serial;
        EXPECT_DOUBLE_EQ(c.serial, serial);
        DateParts back;
        ASSERT_TRUE(qv::com::partsFromDate(c.serial, back)) << c.serial;
        EXPECT_EQ(c.parts.year, back.year) << c.serial;
        EXPECT_EQ(c.parts.month, back.month) << c.serial;
        EXPECT_EQ(c.parts.day, back.day) << c.serial;
        EXPECT_EQ(c.parts.hour, back.hour) << c.serial;
    }
}

// Parts outside the calendar and serial numbers outside its range are refused.
TEST(OleDate, RefusesWhatIsNoDate) {
    const DateParts bad[] = {
        {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0}, {2001, 2, 29, 0, 0, 0},
        {2000, 13, 1, 0, 0, 0}, {2000, 4, 31, 0, 0, 0}, {2000, 1, 1, 24, 0, 0},
        {2000, 1, 1, 0, 60, 0}, {2000, 1, 1, 0, 0, 60},
    };
    for (const auto& p : bad) {
        DATE serial = 0;
        EXPECT_FALSE(qv::com::dateFromParts(p, serial)) << p.year << "-" << p.month << "-" << p.day;
    }
    DateParts parts;
    EXPECT_FALSE(qv::com::partsFromDate(std::nan(""), parts));
    EXPECT_FALSE(qv::com::partsFromDate(3e6, parts));
    EXPECT_FALSE(qv::com::partsFromDate(-7e5, parts));
    EXPECT_FALSE(qv::com::partsFromDate(2958466.0 - 0.1 / 86400.0, parts));  // rounds into 10000
    EXPECT_EQ(L"", qv::com::formatDate(3e6));
    // 23:59:59.8 on day zero rounds to midnight of the next day.
    ASSERT_TRUE(qv::com::partsFromDate(1.0 - 0.2 / 86400.0, parts));
    EXPECT_EQ((std::vector<int>{31, 0, 0}),
              (std::vector<int>{parts.day, parts.hour, parts.second}));
}

TEST(OleDate, ReadsAndWritesEnglishText) {
    struct Case {
        const wchar_t* text;
        bool ok;
        const wchar_t* written;  // the date written back
    };
    const Case cases[] = {
        {L"3/5/2009", true, L"3/5/2009"},
        {L" 12/31/1999 11:59:59 PM ", true, L"12/31/1999 11:59:59 PM"},
        {L"1/2/2003 12:00 AM", true, L"1/2/2003"},
        {L"1/2/2003 12:15 PM", true, L"1/2/2003 12:15:00 PM"},
        {L"2009-03-05T07:04:09", true, L"3/5/2009 7:04:09 AM"},
        {L"2009/03/05 13:00", true, L"3/5/2009 1:00:00 PM"},
        {L"1/1/29", true, L"1/1/2029"},
        {L"1/1/30", true, L"1/1/1930"},
        {L"7:04:09 AM", true, L"7:04:09 AM"},
        {L"0:00", true, L"12:00:00 AM"},
        {L"13:00 PM", false, nullptr},
        {L"2/29/2001", false, nullptr},
        {L"3/5", false, nullptr},
        {L"3/5/2009 x", false, nullptr},
        {L"yesterday", false, nullptr},
        {L"", false, nullptr},
    };
    for (const auto& c : cases) {
        DATE serial = 0;
        EXPECT_EQ(c.ok, qv::com::parseDate(c.text, serial)) << c.text;
        if (c.ok) {
            EXPECT_EQ(std::wstring(c.written), qv::com::formatDate(serial)) << c.text;
        }
    }
}

}  // namespace
