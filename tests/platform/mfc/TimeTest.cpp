#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "mfc/Exceptions.h"
#include "mfc/OleDateTime.h"
#include "mfc/Time.h"
#include "support/Raised.h"
#include "support/TestEnvironment.h"

namespace {

using qv::test::PlatformTest;
using qv::test::raised;

struct FormatCase {
    const wchar_t* format;
    const wchar_t* expected;
};

// 5 March 2009, 07:04:09 (a Thursday) and 14 November 2014, 19:30:00 (a Friday).
const FormatCase kFormats[] = {
    {L"%d %b %Y %H:%M:%S", L"05 Mar 2009 07:04:09"},
    {L"%Y%m%d%Hh%M%S_", L"2009030507h0409_"},
    {L"%H:%M:%S", L"07:04:09"},
    {L"%A %B %a %j %w %U %W", L"Thursday March Thu 064 4 09 09"},
    {L"%I%p %#d/%#m %y", L"07AM 5/3 09"},
    {L"%c|%x|%X", L"03/05/09 07:04:09|03/05/09|07:04:09"},
    {L"%#x", L"Thursday, March 05, 2009"},
    {L"%F %T %D %e %G-W%V-%u", L"2009-03-05 07:04:09 03/05/09  5 2009-W10-4"},
    {L"100%% %Q", L"100% %Q"},
};

// Year, month, day, day of the week, hour, minute, second and millisecond.
std::vector<int> fieldsOf(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth,  t.wDay,    t.wDayOfWeek,
            t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

class Times : public PlatformTest {
  protected:
    static void SetUpTestSuite() {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

TEST_F(Times, CTimeReadsTheClockAndFormats) {
    const CTime now = CTime::GetCurrentTime();
    EXPECT_EQ(5, now.GetDayOfWeek()) << "Thursday, counted from 1";
    SYSTEMTIME st{};
    ASSERT_TRUE(now.GetAsSystemTime(st));
    EXPECT_EQ((std::vector<int>{2009, 3, 5, 4, 7, 4, 9, 0}), fieldsOf(st));
    for (const auto& f : kFormats) {
        EXPECT_EQ(CString(f.expected), now.Format(f.format)) << CStringA(f.format).GetString();
    }
    clock.advanceMs(3723000);
    const CTimeSpan span = CTime::GetCurrentTime() - now;
    EXPECT_EQ(1, span.GetHours());
    EXPECT_EQ(2, span.GetMinutes());
    EXPECT_EQ(3, span.GetSeconds());
    EXPECT_EQ(3723, span.GetTotalSeconds());
    EXPECT_EQ(CString(L"0 days 01:02:03"), span.Format(L"%D days %H:%M:%S"));
    EXPECT_EQ(CString(L"7:04 PM"), CTime(2014, 11, 14, 19, 4, 0).Format(L"%#I:%M %p"));
    EXPECT_EQ(CString(L"12 PM"), CTime(2014, 11, 14, 12, 0, 0).Format(L"%I %p"));
    EXPECT_EQ(CString(L"12 AM"), CTime(2014, 11, 14, 0, 0, 0).Format(L"%I %p"));
}

TEST_F(Times, CTimeRefusesPartsOutOfRange) {
    const struct {
        int y, mo, d, h, mi, s;
        SCODE error;  // 0: accepted
    } cases[] = {
        {2009, 3, 5, 7, 4, 9, 0},
        {2009, 4, 31, 0, 0, 0, 0},  // rolls over into 1 May
        {1899, 1, 1, 0, 0, 0, static_cast<SCODE>(0x80004005u)},
        {2009, 13, 1, 0, 0, 0, static_cast<SCODE>(0x80004005u)},
        {2009, 1, 1, 24, 0, 0, static_cast<SCODE>(0x80004005u)},
        {1950, 1, 1, 0, 0, 0, static_cast<SCODE>(0x80070057u)},
    };
    for (const auto& c : cases) {
        const auto error = raised<COleException>([&] {
            CTime t(c.y, c.mo, c.d, c.h, c.mi, c.s);
            if (c.mo == 4 && c.d == 31) {
                EXPECT_EQ(CString(L"2009-05-01"), t.Format(L"%Y-%m-%d"));
            }
        });
        EXPECT_EQ(c.error, error ? error->m_sc : 0)
            << c.y << "-" << c.mo << "-" << c.d << " " << c.h;
    }
}

TEST_F(Times, OleDateZeroIsValidAndNegativeDatesCountBack) {
    const COleDateTime zero;
    EXPECT_EQ(COleDateTime::valid, zero.GetStatus());
    EXPECT_EQ(CString(L"12:00:00 AM"), zero.Format());
    EXPECT_EQ(CString(L"1899-12-30 00:00"), zero.Format(L"%Y-%m-%d %H:%M"));
    const struct {
        DATE dt;
        const wchar_t* expected;
    } cases[] = {
        {0.25, L"1899-12-30 06:00:00"},  {-0.25, L"1899-12-30 06:00:00"},
        {-1.25, L"1899-12-29 06:00:00"}, {39877.2945486111, L"2009-03-05 07:04:09"},
        {1.0, L"1899-12-31 00:00:00"},   {2.9999999, L"1900-01-02 00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), COleDateTime(c.dt).Format(L"%Y-%m-%d %H:%M:%S")) << c.dt;
    }
    const COleDateTime before(-1.25);
    const COleDateTime after = before + COleDateTimeSpan(1.5);
    EXPECT_EQ(CString(L"1899-12-30 18:00:00"), after.Format(L"%Y-%m-%d %H:%M:%S"));
    EXPECT_DOUBLE_EQ(0.75, after.m_dt);
    EXPECT_TRUE(before < after);
    EXPECT_DOUBLE_EQ(1.5, (after - before).GetTotalDays());
}

TEST_F(Times, OleDateSetDateTimeValidates) {
    const struct {
        int y, mo, d, h, mi, s;
        int result;
    } cases[] = {
        // The calendar's limits are the OLE date's (OleDateTest); one valid and one invalid.
        {2008, 2, 29, 23, 59, 59, 0},
        {2009, 2, 29, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        COleDateTime t;
        EXPECT_EQ(c.result, t.SetDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s)) << c.y << "-" << c.mo;
        EXPECT_EQ(c.result ? COleDateTime::invalid : COleDateTime::valid, t.GetStatus());
        if (c.result) {
            EXPECT_EQ(AFX_OLE_DATETIME_ERROR, t.GetYear());
            EXPECT_EQ(CString(L"Invalid DateTime"), t.Format());
        } else {
            EXPECT_EQ(c.y, t.GetYear());
            EXPECT_EQ(c.s, t.GetSecond());
        }
    }
    COleDateTime null;
    null.SetStatus(COleDateTime::null);
    EXPECT_EQ(CString(), null.Format());
    EXPECT_EQ(COleDateTime::invalid, COleDateTime(3e6).GetStatus());
    EXPECT_EQ(COleDateTime::invalid, COleDateTime(2958466.0 - 0.1 / 86400.0).GetStatus());
}

TEST_F(Times, OleDateFormatsAsAnEnglishUserSeesIt) {
    const struct {
        COleDateTime t;
        DWORD flags;
        const wchar_t* expected;
    } cases[] = {
        {COleDateTime(2014, 11, 24, 12, 30, 0), 0, L"11/24/2014 12:30:00 PM"},
        {COleDateTime(2014, 11, 24, 12, 30, 0), VAR_DATEVALUEONLY, L"11/24/2014"},
        {COleDateTime(2014, 11, 24, 0, 0, 0), VAR_TIMEVALUEONLY, L"12:00:00 AM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.expected), c.t.Format(c.flags));
    }
    EXPECT_EQ(CString(L"2014112400h0000_"),
              COleDateTime(2014, 11, 24, 0, 0, 0).Format(L"%Y%m%d%Hh%M%S_"));
    const COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(CString(L"3/5/2009 7:04:09 AM"), now.Format());
    EXPECT_EQ(5, now.GetDayOfWeek());
    EXPECT_EQ(64, now.GetDayOfYear());
    SYSTEMTIME st{};
    ASSERT_TRUE(now.GetAsSystemTime(st));
    EXPECT_EQ((std::vector<int>{2009, 3, 5, 4, 7, 4, 9, 0}), fieldsOf(st));
}

TEST_F(Times, OleDateParsesTheUsualEnglishForms) {
    const struct {
        const wchar_t* text;
        DWORD flags;
        const wchar_t* expected;  // null: refused
    } cases[] = {
        {L"Nov 24 2014", 0, L"2014-11-24 00:00:00"},
        {L"November 24, 2014", 0, L"2014-11-24 00:00:00"},
        {L"24 nov. 2014", 0, L"2014-11-24 00:00:00"},
        {L"Monday, November 24, 2014 7:04 PM", 0, L"2014-11-24 19:04:00"},
        {L"2009-03-05 07:04:09", 0, L"2009-03-05 07:04:09"},
        {L"3/5/2009", 0, L"2009-03-05 00:00:00"},
        {L"13/5/2009", 0, L"2009-05-13 00:00:00"},
        {L"3/5/09 12:00 AM", 0, L"2009-03-05 00:00:00"},
        {L"5.3.1999", 0, L"1999-05-03 00:00:00"},
        {L"3/5", 0, L"2009-03-05 00:00:00"},
        {L"Nov 2014", 0, L"2014-11-01 00:00:00"},
        {L"19:30", 0, L"1899-12-30 19:30:00"},
        {L"2009-03-05 07:04:09", VAR_DATEVALUEONLY, L"2009-03-05 00:00:00"},
        {L"2009-03-05 07:04:09", VAR_TIMEVALUEONLY, L"1899-12-30 07:04:09"},
        {L"2/30/2009", 0, nullptr},
        {L"13/13/2009", 0, nullptr},
        {L"25:00", 0, nullptr},
        {L"13 PM", 0, nullptr},
        {L"Smarch 5 2009", 0, nullptr},
        {L"", 0, nullptr},
        {L"2009-03-05 junk", 0, nullptr},
        {L"12345678901 1 1", 0, nullptr},
        {L"3/5/2009 1:00 2:00", 0, nullptr},
    };
    for (const auto& c : cases) {
        COleDateTime t(2000, 1, 1, 1, 1, 1);
        const bool ok = t.ParseDateTime(c.text, c.flags);
        EXPECT_EQ(c.expected != nullptr, ok) << CStringA(c.text).GetString();
        if (c.expected) {
            EXPECT_EQ(CString(c.expected), t.Format(L"%Y-%m-%d %H:%M:%S"))
                << CStringA(c.text).GetString();
        } else {
            EXPECT_EQ(COleDateTime::invalid, t.GetStatus());
            EXPECT_EQ(0.0, t.m_dt);
        }
    }
}

}  // namespace
