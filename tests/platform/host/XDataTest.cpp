#include <gtest/gtest.h>

#include <string>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

// The list as text: "code:value" items joined by " ".
std::wstring describe(const resbuf* list) {
    std::wstring out;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        if (!out.empty()) {
            out += L" ";
        }
        out += std::to_wstring(rb->restype) + L":";
        switch (qv::host::valueKind(rb->restype)) {
            case qv::host::ValueKind::String:
                out += rb->resval.rstring;
                break;
            case qv::host::ValueKind::Short:
                out += std::to_wstring(rb->resval.rint);
                break;
            case qv::host::ValueKind::Long:
                out += std::to_wstring(rb->resval.rlong);
                break;
            case qv::host::ValueKind::Real:
                out += std::to_wstring(rb->resval.rreal);
                break;
            default:
                out += L"?";
                break;
        }
    }
    return out;
}

class XDataTest : public DrawingTest {
  protected:
    XDataTest() {
        line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
        WriteLock lock(document());
        EXPECT_EQ(acdbRegApp(L"ADE"), RTNORM);
        EXPECT_EQ(acdbRegApp(L"OTHER"), RTNORM);
    }

    Acad::ErrorStatus set(resbuf* list) {
        WriteLock lock(document());
        AcDbEntity* e = nullptr;
        acdbOpenAcDbEntity(e, line, AcDb::kForWrite);
        const Acad::ErrorStatus es = e->setXData(list);
        e->close();
        acutRelRb(list);
        return es;
    }

    std::wstring get(const ACHAR* application) {
        AcDbEntity* e = nullptr;
        acdbOpenAcDbEntity(e, line, AcDb::kForRead);
        resbuf* list = e->xData(application);
        e->close();
        const std::wstring text = describe(list);
        acutRelRb(list);
        return text;
    }

    AcDbObjectId line;
};

TEST_F(XDataTest, RegisteringTwiceIsRefused) {
    WriteLock lock(document());
    EXPECT_EQ(acdbRegApp(L"ade"), RTERROR);
    EXPECT_EQ(acdbRegApp(L"BAD;NAME"), RTERROR);
    EXPECT_EQ(acdbRegApp(L"AECXDATA"), RTNORM);
}

TEST_F(XDataTest, EachApplicationKeepsItsOwnRecord) {
    ASSERT_EQ(set(acutBuildList(1001, L"ADE", 1002, L"{", 1000, L"AREA=12.50sq.m.", 1000,
                                L"NAME=B.01", 1002, L"}", 0)),
              Acad::eOk);
    ASSERT_EQ(set(acutBuildList(1001, L"OTHER", 1070, 7, 1071, 70000, 1040, 2.5, 1005, L" 1f ", 0)),
              Acad::eOk);
    const std::wstring other = L"1001:OTHER 1070:7 1071:70000 1040:2.500000 1005:1f";
    EXPECT_EQ(get(L"OTHER"), other);
    // A new record of one application replaces that record only.
    ASSERT_EQ(set(acutBuildList(1001, L"ade", 1000, L"NAME=B.02", 0)), Acad::eOk);
    EXPECT_EQ(get(L"ADE"), L"1001:ADE 1000:NAME=B.02");
    EXPECT_EQ(get(L"OTHER"), other);
    EXPECT_EQ(get(nullptr), L"1001:ADE 1000:NAME=B.02 " + other);
    // An application with nothing after it loses its record.
    ASSERT_EQ(set(acutBuildList(1001, L"ADE", 0)), Acad::eOk);
    EXPECT_EQ(get(L"ADE"), L"");
    EXPECT_EQ(get(L"OTHER"), other);
}

TEST_F(XDataTest, RefusesWhatTheHostRefusesAndKeepsTheData) {
    ASSERT_EQ(set(acutBuildList(1001, L"ADE", 1000, L"kept", 0)), Acad::eOk);
    const std::wstring longest(255, L'x'), tooLong(256, L'x'), accents(128, L'\u00e9');
    // 70 strings of 250 bytes: each one allowed, together over the object's limit.
    const std::wstring piece(250, L'x');
    resbuf* many = acutBuildList(1001, L"ADE", 0);
    for (int i = 0; i < 70; ++i) {
        resbuf* last = many;
        while (last->rbnext != nullptr) {
            last = last->rbnext;
        }
        last->rbnext = acutBuildList(1000, piece.c_str(), 0);
    }
    const struct {
        const char* name;
        resbuf* list;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"unregistered application", acutBuildList(1001, L"AECXDATA", 1000, L"x", 0),
         Acad::eRegappIdNotFound},
        {"item before any application", acutBuildList(1000, L"x", 0), Acad::eInvalidResBuf},
        {"not an extended-data code", acutBuildList(1001, L"ADE", 1, L"x", 0),
         Acad::eInvalidResBuf},
        {"unbalanced brace", acutBuildList(1001, L"ADE", 1002, L"{", 1000, L"x", 0),
         Acad::eInvalidResBuf},
        {"brace of another kind", acutBuildList(1001, L"ADE", 1002, L"(", 0), Acad::eInvalidResBuf},
        {"handle that is no hexadecimal", acutBuildList(1001, L"ADE", 1005, L"2X", 0),
         Acad::eInvalidResBuf},
        {"handle of 17 digits", acutBuildList(1001, L"ADE", 1005, L"12345678901234567", 0),
         Acad::eInvalidResBuf},
        {"empty handle", acutBuildList(1001, L"ADE", 1005, L" ", 0), Acad::eInvalidResBuf},
        {"a string of 256 bytes", acutBuildList(1001, L"ADE", 1000, tooLong.c_str(), 0),
         Acad::eInvalidResBuf},
        {"a string of 256 bytes in UTF-8", acutBuildList(1001, L"ADE", 1000, accents.c_str(), 0),
         Acad::eInvalidResBuf},
        {"more than 16383 bytes", many, Acad::eXdataSizeExceeded},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(set(c.list), c.expected) << c.name;
    }
    EXPECT_EQ(get(L"ADE"), L"1001:ADE 1000:kept");
    EXPECT_EQ(set(acutBuildList(1001, L"ADE", 1000, longest.c_str(), 0)), Acad::eOk);
    EXPECT_EQ(set(acutBuildList(1001, L"ADE", 1005, L"1234567890ABCDEF", 0)), Acad::eOk);
}

TEST_F(XDataTest, AnObjectOutsideADatabaseTakesAnyApplication) {
    AcDbLine outside;
    resbuf* list = acutBuildList(1001, L"NOT_REGISTERED", 1000, L"x", 0);
    EXPECT_EQ(outside.setXData(list), Acad::eOk);
    acutRelRb(list);
    resbuf* back = outside.xData(L"not_registered");
    EXPECT_EQ(describe(back), L"1001:NOT_REGISTERED 1000:x");
    acutRelRb(back);
}

}  // namespace
