#include <gtest/gtest.h>

#include <numbers>

#include "support/HostDrawing.h"
#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class HostServicesTest : public DrawingTest {
  protected:
    // A UCS at (100, 0, 0) turned a quarter: its x axis is the world's y axis.
    void turnUcs() {
        AcGeMatrix3d ucs;
        ucs.setCoordSystem({100, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
        ASSERT_EQ(acedSetCurrentUCS(ucs), Acad::eOk);
    }

    static resbuf code(short value) {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        return rb;
    }
};

TEST_F(HostServicesTest, TransConvertsBetweenSystems) {
    turnUcs();
    const AcDbObjectId upside =
        addToModelSpace(new AcDbCircle({0, 0, 0}, AcGeVector3d(0, 0, -1), 1.0));
    resbuf entity{};
    entity.restype = RTENAME;
    ASSERT_EQ(acdbGetAdsName(entity.resval.rlname, upside), Acad::eOk);
    resbuf normal{};
    normal.restype = RT3DPOINT;
    normal.resval.rpoint[0] = 1.0;
    const resbuf wcs = code(0), ucs = code(1), dcs = code(2);
    const struct {
        const char* name;
        const resbuf* from;
        const resbuf* to;
        int displacement;
        AcGePoint3d expected;  // of the point (1, 2, 3)
    } cases[] = {
        {"UCS to world", &ucs, &wcs, 0, {98, 1, 3}},
        {"world to UCS", &wcs, &ucs, 0, {2, 99, 3}},
        {"UCS to world, as a vector", &ucs, &wcs, 1, {-2, 1, 3}},
        {"display is the world", &wcs, &dcs, 0, {1, 2, 3}},
        {"world to a circle's plane (normal -z)", &wcs, &entity, 0, {-1, 2, -3}},
        {"world to the plane of the x axis", &wcs, &normal, 0, {2, 3, 1}},
    };
    for (const auto& c : cases) {
        const ads_point p = {1, 2, 3};
        ads_point result;
        ASSERT_EQ(acedTrans(p, c.from, c.to, c.displacement, result), RTNORM) << c.name;
        EXPECT_TRUE(AcGePoint3d(result[0], result[1], result[2]).isEqualTo(c.expected, AcGeTol()))
            << c.name << ": " << result[0] << " " << result[1] << " " << result[2];
    }
    const resbuf unknown = code(7);
    const ads_point p = {0, 0, 0};
    ads_point result;
    EXPECT_EQ(acedTrans(p, &unknown, &wcs, 0, result), RTERROR);

    AcGeMatrix3d m;
    ASSERT_TRUE(acdbUcsMatrix(m, db()));
    EXPECT_TRUE((m * AcGePoint3d(1, 2, 3)).isEqualTo({98, 1, 3}));
    AcGeMatrix3d slanted;
    slanted(0, 1) = 0.5;
    EXPECT_EQ(acedSetCurrentUCS(slanted), Acad::eInvalidInput);
}

TEST_F(HostServicesTest, SystemVariablesOfTheDrawingAndTheHost) {
    addLayer(L"Walls");
    auto set = [](const wchar_t* name, short type, double number, const wchar_t* text) {
        resbuf rb{};
        rb.restype = type;
        if (type == RTSTR) {
            rb.resval.rstring = const_cast<ACHAR*>(text);
        } else if (type == RTREAL) {
            rb.resval.rreal = number;
        } else {
            rb.resval.rint = static_cast<short>(number);
        }
        return acedSetVar(name, &rb);
    };
    const struct {
        const char* name;
        int status;
        int expected;
    } cases[] = {
        {"SORTENTS 96", set(L"SORTENTS", RTSHORT, 96, nullptr), RTNORM},
        {"SORTENTS 200", set(L"SORTENTS", RTSHORT, 200, nullptr), RTERROR},
        {"lunits 4", set(L"lunits", RTSHORT, 4, nullptr), RTNORM},
        {"LUNITS 9", set(L"LUNITS", RTSHORT, 9, nullptr), RTERROR},
        {"TEXTSIZE 250", set(L"TEXTSIZE", RTREAL, 250.0, nullptr), RTNORM},
        {"CLAYER Walls", set(L"CLAYER", RTSTR, 0, L"walls"), RTNORM},
        {"CLAYER missing", set(L"CLAYER", RTSTR, 0, L"Missing"), RTERROR},
        {"DWGNAME is read only", set(L"DWGNAME", RTSTR, 0, L"x.dwg"), RTERROR},
        {"unknown", set(L"NO_SUCH_VARIABLE", RTSHORT, 1, nullptr), RTERROR},
        {"CMDECHO 0", set(L"CMDECHO", RTSHORT, 0, nullptr), RTNORM},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status, c.expected) << c.name;
    }
    resbuf value{};
    ASSERT_EQ(acedGetVar(L"SORTENTS", &value), RTNORM);
    EXPECT_EQ(value.restype, RTSHORT);
    EXPECT_EQ(value.resval.rint, 96);
    EXPECT_EQ(db()->lunits(), 4);
    EXPECT_DOUBLE_EQ(db()->textsize(), 250.0);
    ASSERT_EQ(acedGetVar(L"CLAYER", &value), RTNORM);
    EXPECT_STREQ(value.resval.rstring, L"Walls");
    acutDelString(value.resval.rstring);
    ASSERT_EQ(acedGetVar(L"DWGNAME", &value), RTNORM);
    EXPECT_STREQ(value.resval.rstring, L"Drawing1.dwg");
    acutDelString(value.resval.rstring);
    ASSERT_EQ(acedGetVar(L"CMDECHO", &value), RTNORM);
    EXPECT_EQ(value.resval.rint, 0);
    set(L"CMDECHO", RTSHORT, 1, nullptr);
}

TEST_F(HostServicesTest, HandlesNameEntitiesOfTheWorkingDrawing) {
    const AcDbObjectId line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    const AcDbObjectId gone = addToModelSpace(new AcDbLine({0, 0, 0}, {2, 0, 0}));
    ASSERT_EQ(qv::test::eraseObject(gone), Acad::eOk);
    const struct {
        const char* name;
        std::wstring handle;
        int expected;
    } cases[] = {
        {"an entity", line.handle().text(), RTNORM},
        {"after blanks", L"  " + line.handle().text(), RTNORM},
        {"an erased entity", gone.handle().text(), RTERROR},
        {"a layer is no entity", db()->clayer().handle().text(), RTERROR},
        {"unknown", L"FFFFFF", RTERROR},
        {"not hexadecimal", L"ZZ", RTERROR},
    };
    for (const auto& c : cases) {
        ads_name name;
        EXPECT_EQ(acdbHandEnt(c.handle.c_str(), name), c.expected) << c.name;
        if (c.expected == RTNORM) {
            AcDbObjectId id;
            ASSERT_EQ(acdbGetObjectId(id, name), Acad::eOk);
            EXPECT_EQ(id, line) << c.name;
        }
    }
}

}  // namespace
