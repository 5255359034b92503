#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "EditorFixture.h"
#include "host/db/AcDbEllipse.h"
#include "host/db/AcDbSpline.h"
#include "win32/CodePage.h"

namespace {

using qv::test::handleOf;

std::vector<std::wstring> handles(std::initializer_list<AcDbObjectId> ids) {
    std::vector<std::wstring> out;
    for (AcDbObjectId id : ids) {
        out.push_back(handleOf(id));
    }
    return out;
}

class SelectionTest : public qv::test::EditorTest {
  protected:
    SelectionTest() {
        room1 = addReference(L"ROOM-1", AcGePoint3d(0, 0, 0));           // 0..4
        room2 = addReference(L"room-2", AcGePoint3d(10, 0, 0));          // 10..14
        legend = addReference(L"MARKER-LEGEND", AcGePoint3d(20, 0, 0));  // 20..24
        outline = addPolyline({{0, 10}, {8, 10}, {8, 16}, {0, 16}}, L"WALLS");
        hidden = addPolyline({{30, 0}, {32, 0}, {32, 2}}, L"HIDDEN-1");
    }

    AcDbObjectId room1, room2, legend, outline, hidden;
};

TEST_F(SelectionTest, FiltersByTypeNameAndLayer) {
    struct Case {
        const char* what;
        resbuf* filter;
        std::vector<std::wstring> selected;
    };
    const std::vector<std::wstring> nothing = {L"code " + std::to_wstring(RTERROR)};
    const Case cases[] = {
        {"no filter", nullptr, handles({room1, room2, legend, outline, hidden})},
        {"block references", acutBuildList(RTDXF0, L"INSERT", 0), handles({room1, room2, legend})},
        {"type without regard to case", acutBuildList(RTDXF0, L"insert", 0),
         handles({room1, room2, legend})},
        {"space blocks", acutBuildList(RTDXF0, L"INSERT", 2, L"ROOM-*", 0),
         handles({room1, room2})},
        {"one marker", acutBuildList(RTDXF0, L"INSERT", 2, L"MARKER-LEGEND", 0), handles({legend})},
        {"no pie marker", acutBuildList(RTDXF0, L"INSERT", 2, L"MARKER-PIECHART", 0), nothing},
        {"everything but rooms", acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0),
         handles({legend})},
        {"a block name on a polyline", acutBuildList(2, L"*", 0), handles({room1, room2, legend})},
        {"layer", acutBuildList(8, L"WALLS", 0), handles({outline})},
        {"layer pattern list", acutBuildList(8, L"walls,HIDDEN-#", 0), handles({outline, hidden})},
        {"polylines not hidden", acutBuildList(RTDXF0, L"LWPOLYLINE", 8, L"~HIDDEN*", 0),
         handles({outline})},
        {"either", acutBuildList(-4, L"<OR", 2, L"ROOM-1", 8, L"WALLS", -4, L"OR>", 0),
         handles({room1, outline})},
        {"not", acutBuildList(-4, L"<NOT", RTDXF0, L"INSERT", -4, L"NOT>", 0),
         handles({outline, hidden})},
        {"colour by layer", acutBuildList(62, 256, 0),
         handles({room1, room2, legend, outline, hidden})},
        {"colour relation", acutBuildList(-4, L"<", 62, 256, 0), nothing},
        {"model space", acutBuildList(67, 0, 0), handles({room1, room2, legend, outline, hidden})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(select(L"X", {}, c.filter), c.selected) << c.what;
    }
}

// Colour numbers for the relations: 1, 5 and 7 on the references, by layer (256) on the outline
// and by block (0) on the hidden polyline.
class SelectionByColourTest : public SelectionTest {
  protected:
    SelectionByColourTest() {
        const std::pair<AcDbObjectId, Adesk::UInt16> colours[] = {
            {room1, 1}, {room2, 5}, {legend, 7}, {hidden, 0}};
        WriteLock lock(document());
        for (const auto& [id, colour] : colours) {
            AcDbEntity* entity = nullptr;
            EXPECT_EQ(acdbOpenObject(entity, id, AcDb::kForWrite), Acad::eOk);
            EXPECT_EQ(entity->setColorIndex(colour), Acad::eOk);
            entity->close();
        }
    }
};

TEST_F(SelectionByColourTest, EveryRelationComparesTheColourNumber) {
    const std::vector<std::wstring> nothing = {L"code " + std::to_wstring(RTERROR)};
    const std::vector<std::wstring> all = handles({room1, room2, legend, outline, hidden});
    const std::vector<std::wstring> notFive = handles({room1, legend, outline, hidden});
    const struct {
        const wchar_t* relation;
        int value;
        std::vector<std::wstring> selected;
    } cases[] = {
        {L"=", 5, handles({room2})},
        {L"=", 6, nothing},
        {L"!=", 5, notFive},
        {L"/=", 5, notFive},
        {L"<>", 5, notFive},
        {L"<", 5, handles({room1, hidden})},
        {L"<=", 5, handles({room1, room2, hidden})},
        {L">", 5, handles({legend, outline})},
        {L">=", 5, handles({room2, legend, outline})},
        {L">=", 256, handles({outline})},
        {L"<", 0, nothing},
        {L"<=", 0, handles({hidden})},
        {L"*", 5, all},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qv::wideToUtf8(c.relation) + " " + std::to_string(c.value));
        EXPECT_EQ(select(L"X", {}, acutBuildList(-4, c.relation, 62, c.value, 0)), c.selected);
    }
    // A relation holds for the one number after it; the next is compared for equality again.
    EXPECT_EQ(select(L"X", {}, acutBuildList(-4, L">", 62, 1, 62, 7, 0)), handles({legend}));
    EXPECT_EQ(select(L"X", {}, acutBuildList(-4, L"<", 62, 7, 67, 0, 0)),
              handles({room1, room2, hidden}));
}

TEST_F(SelectionByColourTest, ExclusiveOrTakesExactlyTwoItems) {
    const std::vector<std::wstring> error = {L"code " + std::to_wstring(RTERROR)};
    const struct {
        const char* what;
        resbuf* filter;
        std::vector<std::wstring> selected;
    } cases[] = {
        // References, or colours below 6, but not both.
        {"one or the other",
         acutBuildList(-4, L"<XOR", RTDXF0, L"INSERT", -4, L"<", 62, 6, -4, L"XOR>", 0),
         handles({legend, hidden})},
        {"both or neither",
         acutBuildList(-4, L"<NOT", -4, L"<XOR", RTDXF0, L"INSERT", -4, L"<", 62, 6, -4, L"XOR>",
                       -4, L"NOT>", 0),
         handles({room1, room2, outline})},
        {"a group as an item",
         acutBuildList(-4, L"<XOR", -4, L"<OR", 62, 1, 62, 0, -4, L"OR>", 8, L"HIDDEN*", -4,
                       L"XOR>", 0),
         handles({room1})},
        {"one item", acutBuildList(-4, L"<XOR", 62, 1, -4, L"XOR>", 0), error},
        {"three items", acutBuildList(-4, L"<XOR", 62, 1, 62, 5, 62, 7, -4, L"XOR>", 0), error},
        {"no items", acutBuildList(-4, L"<XOR", -4, L"XOR>", 0), error},
        {"not closed", acutBuildList(-4, L"<XOR", 62, 1, 62, 5, 0), error},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(select(L"X", {}, c.filter), c.selected) << c.what;
    }
}

TEST_F(SelectionTest, RefusesFiltersItCannotRead) {
    const std::vector<std::wstring> error = {L"code " + std::to_wstring(RTERROR)};
    const ads_point origin = {0, 0, 0};
    EXPECT_EQ(select(L"X", {}, acutBuildList(10, origin, 0)), error);
    EXPECT_EQ(select(L"X", {}, acutBuildList(-4, L"<OR", 8, L"WALLS", 0)), error);
    EXPECT_EQ(select(L"X", {}, acutBuildList(-4, L"<NOT", 8, L"A", 8, L"B", -4, L"NOT>", 0)),
              error);
    EXPECT_EQ(select(L"X", {}, acutBuildList(-4, L"<MAYBE", 0)), error);
    EXPECT_NE(transcript().find(L"Invalid selection filter"), std::wstring::npos);
}

TEST_F(SelectionTest, WindowsAndPolygonsSelectInsideOrCrossing) {
    const std::vector<std::wstring> nothing = {L"code " + std::to_wstring(RTERROR)};
    EXPECT_EQ(select(L"W", {{-1, -1}, {12, 5}}, nullptr), handles({room1}));
    EXPECT_EQ(select(L"_C", {{-1, -1}, {12, 5}}, nullptr), handles({room1, room2}));
    // A concave polygon: an L round the first room and the outline's lower half.
    const std::vector<AcGePoint2d> l = {{-1, -1}, {5, -1}, {5, 12}, {9, 12}, {9, 17}, {-1, 17}};
    EXPECT_EQ(select(L"WP", l, nullptr), handles({room1}));
    EXPECT_EQ(select(L"CP", l, nullptr), handles({room1, outline}));
    EXPECT_EQ(select(L"CP", {{100, 100}, {110, 100}, {110, 110}}, nullptr), nothing);
    EXPECT_EQ(select(L"CP", {{12, 2}, {22, 2}, {22, 3}, {12, 3}}, acutBuildList(2, L"~ROOM-*", 0)),
              handles({legend}));
    // Two points are no polygon, crossing or not.
    EXPECT_EQ(select(L"CP", {{-1, 2}, {12, 2}}, nullptr), nothing);
    EXPECT_EQ(select(L"Q", {}, nullptr),
              (std::vector<std::wstring>{L"code " + std::to_wstring(RTERROR)}));
}

TEST_F(SelectionTest, TheUserSelectsWithHandlesPointsAndWindows) {
    struct Case {
        const char* what;
        std::vector<std::string> answers;
        std::vector<std::wstring> selected;
        int refused;
    };
    const std::string r1 = "#" + qv::wideToUtf8(handleOf(room1));
    const std::string r2 = "#" + qv::wideToUtf8(handleOf(room2));
    const std::vector<std::wstring> nothing = {L"code " + std::to_wstring(RTERROR)};
    const std::vector<std::wstring> cancelled = {L"code " + std::to_wstring(RTCAN)};
    const Case cases[] = {
        {"handles", {r1 + " " + r2, ""}, handles({room1, room2}), 0},
        {"handles with commas, twice", {r2 + "," + r1, r1, ""}, handles({room2, room1}), 0},
        {"a point on the outline", {"8,12", ""}, handles({outline}), 0},
        {"window", {"w -1,-1 12,5", ""}, handles({room1}), 0},
        {"crossing", {"C -1,-1 12,5", ""}, handles({room1, room2}), 0},
        {"all", {"ALL", ""}, handles({room1, room2, legend, outline, hidden}), 0},
        {"nothing", {""}, nothing, 0},
        {"a miss", {"50,50", ""}, nothing, 0},
        {"unknown handle", {"#FFFF", ""}, nothing, 0},
        {"cancel", {r1, "^C"}, cancelled, 0},
        {"refused", {"hello", "w 1", r1, ""}, handles({room1}), 2},
    };
    for (const Case& c : cases) {
        editor().reset();
        input.lines.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(select(nullptr, {}, nullptr), c.selected) << c.what;
        EXPECT_EQ(editor().inputErrors(), c.refused) << c.what;
        EXPECT_TRUE(input.lines.empty()) << c.what;
    }
    // The filter holds for what the user picks; "P" gives the last interactive selection.
    answers({r1 + " " + qv::wideToUtf8(L"#" + handleOf(outline)), ""});
    EXPECT_EQ(select(nullptr, {}, acutBuildList(RTDXF0, L"INSERT", 0)), handles({room1}));
    EXPECT_EQ(select(L"P", {}, nullptr), handles({room1}));
    EXPECT_NE(transcript().find(L"2 found, 1 total\n1 filtered out\n"), std::wstring::npos);
}

TEST_F(SelectionTest, SetNamesAreCheckedAndLimited) {
    ads_name set;
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, set), RTNORM);
    ads_name first;
    ASSERT_EQ(acedSSName(set, 0, first), RTNORM);
    ads_name outside;
    EXPECT_EQ(acedSSName(set, 5, outside), RTERROR);
    EXPECT_EQ(acedSSName(set, -1, outside), RTERROR);
    EXPECT_EQ(acedSSMemb(first, set), RTNORM);
    EXPECT_EQ(acedSSDel(first, set), RTNORM);
    EXPECT_EQ(acedSSMemb(first, set), RTERROR);
    EXPECT_EQ(acedSSDel(first, set), RTERROR);
    ads_name same;
    EXPECT_EQ(acedSSAdd(first, set, same), RTNORM);
    EXPECT_EQ(acedSSAdd(first, set, same), RTNORM);  // once only
    Adesk::Int32 length = 0;
    EXPECT_EQ(acedSSLength(set, &length), RTNORM);
    EXPECT_EQ(length, 5);
    EXPECT_EQ(acedSSFree(set), RTNORM);
    EXPECT_EQ(acedSSFree(set), RTERROR);
    EXPECT_EQ(acedSSLength(set, &length), RTERROR);
    EXPECT_EQ(acedSSLength(first, &length), RTERROR);  // an entity's name is no set

    // At most 128 sets at once.
    std::vector<std::array<Adesk::Int64, 2>> open(128);
    for (auto& name : open) {
        ASSERT_EQ(acedSSAdd(nullptr, nullptr, name.data()), RTNORM);
    }
    ads_name more;
    EXPECT_EQ(acedSSAdd(nullptr, nullptr, more), RTERROR);
    EXPECT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, more), RTERROR);
    EXPECT_EQ(acedSSFree(open[0].data()), RTNORM);
    EXPECT_EQ(acedSSAdd(first, nullptr, more), RTNORM);
    EXPECT_EQ(acedSSLength(more, &length), RTNORM);
    EXPECT_EQ(length, 1);
}

TEST_F(SelectionTest, TheImpliedSelectionComesFromSetFirst) {
    EXPECT_EQ(select(L"I", {}, nullptr),
              (std::vector<std::wstring>{L"code " + std::to_wstring(RTERROR)}));
    ads_name set;
    resbuf* walls = acutBuildList(8, L"WALLS", 0);
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, walls, set), RTNORM);
    acutRelRb(walls);
    EXPECT_EQ(acedSSSetFirst(set, nullptr), RTNORM);
    acedSSFree(set);
    EXPECT_EQ(select(L"_I", {}, nullptr), handles({outline}));
    resbuf* grips = nullptr;
    resbuf* picked = nullptr;
    ASSERT_EQ(acedSSGetFirst(&grips, &picked), RTNORM);
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(grips, nullptr);
    EXPECT_EQ(takeSet(picked->resval.rlname), handles({outline}));
    acutRelRb(picked);
    EXPECT_EQ(select(L"L", {}, nullptr), handles({hidden}));
}

}  // namespace

namespace {

// The asset finder's selection: a crossing polygon given in a turned UCS, references only, every
// name but "ROOM-*" (anonymous "*U" blocks pass), members in the order the entities were made
// whatever the draw order says.
TEST_F(SelectionTest, CrossingPolygonsInTheUcsKeepCreationOrder) {
    const AcDbObjectId desk = addReference(L"*U7", AcGePoint3d(1, 1, 0));      // inside room 1
    const AcDbObjectId chair = addReference(L"CHAIR", AcGePoint3d(-2, 1, 0));  // across its edge
    const AcDbObjectId away = addReference(L"CHAIR", AcGePoint3d(-20, 1, 0));
    const AcDbObjectId arc = addToModelSpace(new AcDbArc(AcGePoint3d(2, 2, 0), 1.0, 0.0, 3.0));
    {
        // Draw the chair first and the desk last: the selection keeps the order of making.
        WriteLock lock(document());
        AcDbBlockTableRecord* space = nullptr;
        ASSERT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        space->createExtensionDictionary();
        AcDbDictionary* dictionary = nullptr;
        acdbOpenObject(dictionary, space->extensionDictionary(), AcDb::kForWrite);
        space->close();
        auto* table = new AcDbSortentsTable;
        AcDbObjectId id;
        ASSERT_EQ(dictionary->setAt(L"ACAD_SORTENTS", table, id), Acad::eOk);
        table->setBlockId(db()->modelSpaceId());
        AcDbObjectIdArray moved;
        moved.append(chair);
        EXPECT_EQ(table->moveToBottom(moved), Acad::eOk);
        AcDbObjectIdArray top;
        top.append(room1);
        EXPECT_EQ(table->moveToTop(top), Acad::eOk);
        table->close();
        dictionary->close();
    }
    // The UCS: turned a quarter about z, its origin at world (10, 0): UCS (x, y) is world
    // (10 - y, x).
    AcGeMatrix3d ucs;
    ucs.setCoordSystem({10, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1});
    ASSERT_EQ(acedSetCurrentUCS(ucs), Acad::eOk);
    // Room 1's square (0,0)-(4,4) in world is UCS (0,6)-(4,10).
    const struct {
        const char* what;
        std::initializer_list<AcGePoint2d> polygon;
        resbuf* filter;
        std::vector<std::wstring> selected;
    } cases[] = {
        {"assets of room 1",
         {{0, 6}, {4, 6}, {4, 10}, {0, 10}},
         acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0),
         handles({desk, chair})},
        {"everything it crosses",
         {{0, 6}, {4, 6}, {4, 10}, {0, 10}},
         nullptr,
         handles({room1, desk, chair, arc})},
        {"anonymous blocks alone",
         {{0, 6}, {4, 6}, {4, 10}, {0, 10}},
         acutBuildList(2, L"`*U*", 0),
         handles({desk})},
        {"the far chair",
         {{0, 29}, {2, 29}, {2, 31}, {0, 31}},
         acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0),
         handles({away})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(select(L"CP", c.polygon, c.filter), c.selected) << c.what;
    }
    // "X" walks in the same order.
    EXPECT_EQ(select(L"X", {}, acutBuildList(2, L"CHAIR,`*U*", 0)), handles({desk, chair, away}));
}

}  // namespace

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Curves picked and selected where they are drawn, not where chords would put them.
class CurveShapeTest : public qv::test::EditorTest {
  protected:
    // A block of its own holding `entity`, shown at `at`, scaled and then turned.
    AcDbObjectId addBlockOf(AcDbEntity* entity, const AcGePoint3d& at, const AcGeScale3d& scale,
                            double rotation) {
        const std::wstring name = L"CURVE-" + std::to_wstring(++m_blocks);
        AcDbObjectId blockId;
        {
            WriteLock lock(document());
            AcDbBlockTable* table = nullptr;
            db()->getBlockTable(table, AcDb::kForWrite);
            auto* record = new AcDbBlockTableRecord;
            record->setName(name.c_str());
            table->add(blockId, record);
            record->appendAcDbEntity(entity);
            entity->close();
            record->close();
            table->close();
        }
        auto* reference = new AcDbBlockReference(at, blockId);
        reference->setScaleFactors(scale);
        reference->setRotation(rotation);
        return addToModelSpace(reference);
    }

    // The handle of what a pick at the point finds, the view `width` wide round it; "" for none.
    std::wstring pickAt(const AcGePoint2d& p, double width) {
        document()->qvViews().zoomTo(
            {{p.x - width / 2, p.y - width / 2, 0.0}, {p.x + width / 2, p.y + width / 2, 0.0}});
        char answer[80];
        std::snprintf(answer, sizeof answer, "%.17g,%.17g", p.x, p.y);
        answers({answer});
        ads_name picked;
        ads_point at;
        AcDbObjectId id;
        if (acedEntSel(L"\nPick: ", picked, at) != RTNORM ||
            acdbGetObjectId(id, picked) != Acad::eOk) {
            return L"";
        }
        return handleOf(id);
    }

    // A window or crossing (mode "W" or "C") between two corners, and what it selects.
    struct Window {
        const char* what;
        const ACHAR* mode;
        AcGePoint2d a, b;
        std::vector<AcDbObjectId> selected;  // none: nothing
    };

    void expectSelections(const std::vector<Window>& windows) {
        for (const Window& w : windows) {
            std::vector<std::wstring> expected;
            for (AcDbObjectId id : w.selected) {
                expected.push_back(handleOf(id));
            }
            if (expected.empty()) {
                expected.push_back(L"code " + std::to_wstring(RTERROR));
            }
            EXPECT_EQ(select(w.mode, {w.a, w.b}, nullptr), expected) << w.what;
        }
    }

    void erase(AcDbObjectId id) {
        WriteLock lock(document());
        AcDbEntity* entity = nullptr;
        ASSERT_EQ(acdbOpenObject(entity, id, AcDb::kForWrite), Acad::eOk);
        entity->erase();
        entity->close();
    }

    static AcGePoint3d at(const AcGePoint2d& centre, double r, double degrees) {
        return {centre.x + r * std::cos(degrees * kDegree),
                centre.y + r * std::sin(degrees * kDegree), 0.0};
    }

    // A spline drawing the circle round `c` of radius r: rational and quadratic, its knots
    // (where the plot's chords meet the circle) `turn` degrees round from the x axis and then
    // every 90 degrees.
    static AcDbSpline* splineCircle(const AcGePoint2d& c, double r, double turn = 0) {
        AcDbSpline::Data data;
        data.degree = 2;
        data.rational = true;
        data.knots = {0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 4};
        for (int i = 0; i <= 8; ++i) {
            const double corner = i % 2 == 0 ? 1.0 : std::sqrt(2.0);
            data.controlPoints.push_back(at(c, r * corner, turn + 45 * i));
            data.weights.push_back(1.0 / corner);
        }
        auto* curve = new AcDbSpline;
        curve->qvSetData(data);
        return curve;
    }

    // A solid hatch whose loop is the circle round `c` (in the world's plan) of radius r, in the
    // plane of `normal` through the origin: its loop is given in that plane's own coordinates.
    static AcDbHatch* roundHatch(const AcGePoint2d& c, double r, const AcGeVector3d& normal) {
        auto* hatch = new AcDbHatch;
        hatch->setNormal(normal);
        hatch->setPattern(AcDbHatch::kPreDefined, L"SOLID");
        // The point of the plane over c, in the plane's coordinates.
        const AcGeVector3d n = normal.normal();
        const AcGePoint3d over(c.x, c.y, -(n.x * c.x + n.y * c.y) / n.z);
        const AcGePoint3d centre = AcGeMatrix3d::worldToPlane(normal) * over;
        AcGePoint2dArray vertices;
        AcGeDoubleArray bulges;
        vertices.append(AcGePoint2d(centre.x + r, centre.y));
        vertices.append(AcGePoint2d(centre.x - r, centre.y));
        bulges.append(1.0);
        bulges.append(1.0);
        hatch->appendLoop(AcDbHatch::kExternal, vertices, bulges);
        return hatch;
    }

  private:
    int m_blocks = 0;
};

TEST_F(CurveShapeTest, APickOnACurveFindsItAtAnyRadius) {
    // Each curve, made round `c` with radius r, is drawn as c + r (cos t, squash sin t) for t
    // from `from` to `to` degrees (through 0 when `from` is the larger).
    using Make = std::function<AcDbEntity*(const AcGePoint2d& c, double r)>;
    struct Kind {
        const char* what;
        double from, to, squash;
        Make make;
        bool inBlock = false;  // made round the origin of a block shown at c:
        AcGeScale3d scale;     // scaled and then
        double rotation = 0;   // turned
        bool filled = false;   // a point inside the curve finds it
    };
    const Kind kinds[] = {
        {"circle", 0, 360, 1,
         [](const AcGePoint2d& c, double r) {
             return new AcDbCircle({c.x, c.y, 0}, AcGeVector3d::kZAxis, r);
         }},
        {"arc", 20, 290, 1,
         [](const AcGePoint2d& c, double r) {
             return new AcDbArc({c.x, c.y, 0}, r, 20 * kDegree, 290 * kDegree);
         }},
        {"ellipse", 0, 360, 0.4,
         [](const AcGePoint2d& c, double r) {
             AcDbEllipse::Data data;
             data.center = {c.x, c.y, 0};
             data.majorAxis = {r, 0, 0};
             data.radiusRatio = 0.4;
             auto* curve = new AcDbEllipse;
             curve->qvSetData(data);
             return curve;
         }},
        {"room whose east wall bulges", 270, 90, 1,
         [](const AcGePoint2d& c, double r) {
             auto* room = new AcDbPolyline;
             room->addVertexAt(0, {c.x, c.y - r}, 1.0);
             room->addVertexAt(1, {c.x, c.y + r});
             room->addVertexAt(2, {c.x - 2 * r, c.y + r});
             room->addVertexAt(3, {c.x - 2 * r, c.y - r});
             room->setClosed(true);
             return room;
         }},
        {"polyline with a clockwise arc of 230 degrees", 20, 250, 1,
         [](const AcGePoint2d& c, double r) {
             auto* outline = new AcDbPolyline;
             outline->addVertexAt(0, at(c, r, 250).convert2d(), std::tan(-230 * kDegree / 4));
             outline->addVertexAt(1, at(c, r, 20).convert2d());
             outline->setClosed(true);
             return outline;
         }},
        {"spline drawing a circle", 0, 360, 1,
         [](const AcGePoint2d& c, double r) { return splineCircle(c, r); }},
        // Local angles 0 to 200 show at 210 less them.
        {"arc of a block scaled by 3, mirrored and turned", 10, 210, 1,
         [](const AcGePoint2d&, double r) {
             return new AcDbArc(AcGePoint3d::kOrigin, r / 3, 0, 200 * kDegree);
         },
         true, AcGeScale3d(-3, 3, 3), 30 * kDegree},
        {"circle of a block scaled by 2 in x alone", 0, 360, 0.5,
         [](const AcGePoint2d&, double r) {
             return new AcDbCircle(AcGePoint3d::kOrigin, AcGeVector3d::kZAxis, r / 2);
         },
         true, AcGeScale3d(2, 1, 1)},
        // As other programs write a mirrored hatch: its loop seen from below.
        {"hatch whose normal is -z",
         0,
         360,
         1,
         [](const AcGePoint2d& c, double r) { return roundHatch(c, r, AcGeVector3d(0, 0, -1)); },
         false,
         {},
         0,
         true},
        // Tilted by 60 degrees about the x axis: its round loop shows as an ellipse.
        {"hatch whose plane is tilted",
         0,
         360,
         0.5,
         [](const AcGePoint2d& c, double r) {
             return roundHatch(c, r, AcGeVector3d(0, -std::sin(60 * kDegree), 0.5));
         },
         false,
         {},
         0,
         true},
    };
    for (const Kind& kind : kinds) {
        for (const double r : {1.0, 1500.0, 150000.0, 1e6, 1e8}) {
            const AcGePoint2d c(1000 + r, 500 - r / 2);
            AcDbEntity* curve = kind.make(c, r);
            const AcDbObjectId id =
                kind.inBlock ? addBlockOf(curve, {c.x, c.y, 0}, kind.scale, kind.rotation)
                             : addToModelSpace(curve);
            // Zoomed in on the curve: the reach is r / 4000, far less than the gap between a
            // chord of a few degrees and its arc; then r / 4,000,000, far less than the gap
            // between the curve and the plot's finest chords of it.
            for (const double width : {r / 20, r / 20000}) {
                const double reach = width * 0.005;
                for (const double t : {0, 7, 45, 90, 133, 180, 222, 270, 300, 353}) {
                    SCOPED_TRACE(std::string(kind.what) + ", radius " + std::to_string(r) +
                                 ", view " + std::to_string(width) + ", at " +
                                 std::to_string(static_cast<int>(t)));
                    const double s = std::sin(t * kDegree), k = std::cos(t * kDegree);
                    const AcGePoint2d p(c.x + r * k, c.y + r * kind.squash * s);
                    const AcGeVector2d normal = AcGeVector2d(kind.squash * k, s).normal();
                    const bool drawn = kind.from < kind.to ? kind.from <= t && t <= kind.to
                                                           : t >= kind.from || t <= kind.to;
                    EXPECT_EQ(pickAt(p, width), drawn ? handleOf(id) : L"");
                    EXPECT_EQ(pickAt(p + normal * (3 * reach), width), L"");
                    EXPECT_EQ(pickAt(p - normal * (3 * reach), width),
                              kind.filled ? handleOf(id) : L"");
                }
            }
            if (kind.filled) {
                // Outside the loop, inside the box round it.
                EXPECT_EQ(pickAt({c.x + 0.9 * r, c.y + 0.9 * r * kind.squash}, r), L"")
                    << kind.what << ", radius " << r;
            }
            erase(id);
        }
    }
}

TEST_F(CurveShapeTest, WindowsJudgeArcsByTheArc) {
    // A wall from (0, 0) to (100, 0) arching up to (50, 5); a block shows it mirrored 20 lower,
    // arching down to (50, -25).
    auto wall = [] {
        auto* polyline = new AcDbPolyline;
        polyline->addVertexAt(0, {0, 0}, -0.1);
        polyline->addVertexAt(1, {100, 0});
        return polyline;
    };
    const AcDbObjectId up = addToModelSpace(wall());
    const AcDbObjectId down = addBlockOf(wall(), {0, -20, 0}, AcGeScale3d(1, -1, 1), 0);
    expectSelections({
        {"a window whose edge cuts the arc's top", L"W", {-1, -1}, {101, 4.8}, {}},
        {"a window over the whole arc", L"W", {-1, -1}, {101, 5.1}, {up}},
        {"a crossing round the arc's top alone", L"C", {45, 4.7}, {55, 6}, {up}},
        {"a crossing under the arc's top", L"C", {45, 4.4}, {55, 4.9}, {}},
        {"a window cutting the mirrored arc's bottom", L"W", {-1, -24.8}, {101, -19}, {}},
        {"a window over the mirrored arc", L"W", {-1, -25.1}, {101, -19}, {down}},
        {"a crossing round the mirrored arc's bottom", L"C", {45, -26}, {55, -24.7}, {down}},
        {"a crossing above the mirrored arc's bottom", L"C", {45, -24.9}, {55, -24.4}, {}},
    });
}

TEST_F(CurveShapeTest, WindowsJudgeEllipsesAndSplinesByTheCurve) {
    // An ellipse round the origin reaching up to (0, 40,000), and a spline circle of radius
    // 1,000 round (300,000, 0) reaching up to (300,000, 1,000), its knots turned 22.5 degrees so
    // that none lies at its top: windows a hundredth from their tops. A hatch tilted by 60
    // degrees about the x axis, its round loop of radius 1,000 seen as an ellipse round
    // (600,000, 0) reaching up to (600,000, 500).
    AcDbEllipse::Data data;
    data.majorAxis = {100000, 0, 0};
    data.radiusRatio = 0.4;
    auto* ellipse = new AcDbEllipse;
    ellipse->qvSetData(data);
    const AcDbObjectId oval = addToModelSpace(ellipse);
    const AcDbObjectId ring = addToModelSpace(splineCircle({300000, 0}, 1000, 22.5));
    const AcDbObjectId tilted = addToModelSpace(
        roundHatch({600000, 0}, 1000, AcGeVector3d(0, -std::sin(60 * kDegree), 0.5)));
    expectSelections({
        {"a window cutting the ellipse's top", L"W", {-1e5 - 1, -4e4 - 1}, {1e5 + 1, 39999.99}, {}},
        {"a window over the ellipse", L"W", {-1e5 - 1, -4e4 - 1}, {1e5 + 1, 40000.01}, {oval}},
        {"a crossing round the ellipse's top alone", L"C", {-10, 39999.99}, {10, 40001}, {oval}},
        {"a crossing over the ellipse's top", L"C", {-10, 40000.01}, {10, 40001}, {}},
        {"a window cutting the spline's top", L"W", {298999, -1001}, {301001, 999.99}, {}},
        {"a window over the spline", L"W", {298999, -1001}, {301001, 1000.01}, {ring}},
        {"a crossing round the spline's top alone", L"C", {299990, 999.99}, {300010, 1001}, {ring}},
        {"a crossing over the spline's top", L"C", {299990, 1000.01}, {300010, 1001}, {}},
        {"a window cutting the hatch's top", L"W", {598999, -501}, {601001, 499.99}, {}},
        {"a window over the hatch", L"W", {598999, -501}, {601001, 500.01}, {tilted}},
        {"a crossing inside the hatch's loop", L"C", {599990, -10}, {600010, 10}, {tilted}},
        {"a crossing outside its loop, inside its box", L"C", {600900, 400}, {600950, 450}, {}},
    });
}

// A line is found along itself, not by the box round it.
TEST_F(CurveShapeTest, ALineIsJudgedByItselfNotByItsBox) {
    const AcDbObjectId diagonal = addToModelSpace(new AcDbLine({0, 0, 0}, {100, 100, 0}));
    EXPECT_EQ(pickAt({50, 50}, 200), handleOf(diagonal));
    EXPECT_EQ(pickAt({100, 0}, 200), L"");
    EXPECT_EQ(select(L"C", {{80, 5}, {95, 20}}, nullptr),
              std::vector<std::wstring>{L"code " + std::to_wstring(RTERROR)});
    EXPECT_EQ(select(L"C", {{45, 40}, {55, 60}}, nullptr), handles({diagonal}));
}

TEST_F(CurveShapeTest, AHatchFillsUpToItsArcs) {
    // A solid hatch 10 deep under a cap arching from (0, 0) through (50, 5) to (100, 0).
    auto* hatch = new AcDbHatch;
    hatch->setDatabaseDefaults(db());
    ASSERT_EQ(hatch->setPattern(AcDbHatch::kPreDefined, L"SOLID"), Acad::eOk);
    AcGePoint2dArray corners;
    AcGeDoubleArray bulges;
    for (const auto& [x, y, bulge] :
         {std::array<double, 3>{0, 0, -0.1}, {100, 0, 0}, {100, -10, 0}, {0, -10, 0}}) {
        corners.append(AcGePoint2d(x, y));
        bulges.append(bulge);
    }
    ASSERT_EQ(hatch->appendLoop(AcDbHatch::kExternal, corners, bulges), Acad::eOk);
    const AcDbObjectId id = addToModelSpace(hatch);
    // Picks with a reach of 0.1, and a crossing window over the cap's top alone.
    EXPECT_EQ(pickAt({50, 4.8}, 20), handleOf(id));
    EXPECT_EQ(pickAt({50, 5.3}, 20), L"");
    EXPECT_EQ(select(L"C", {{48, 4.6}, {52, 4.9}}, nullptr), handles({id}));
}

}  // namespace
