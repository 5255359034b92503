// Window and polygon selections over a larger mixed drawing give exactly what testing every
// entity's shape gives, before and after the drawing changes between selections; a filtered
// search pays for what can pass its filter, not for every entity larger than the rooms.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "host/db/ObjectAccess.h"
#include "host/ed/EntityShape.h"
#include "host/ed/SelectionFilter.h"
#include "host/ed/SpaceIndex.h"

namespace {

using qv::host::ObjectAccess;
using qv::test::handleOf;

constexpr int kSide = 6;        // rooms along each side of the plan
constexpr double kRoom = 10.0;  // room size

struct Polygon {
    std::string what;
    std::vector<AcGePoint2d> points;
};

class SelectionSearchTest : public qv::test::EditorTest {
  protected:
    SelectionSearchTest() {
        for (int r = 0; r < kSide; ++r) {
            for (int c = 0; c < kSide; ++c) {
                const double x = c * kRoom, y = r * kRoom;
                rooms.push_back(addPolyline(
                    {{x, y}, {x + kRoom, y}, {x + kRoom, y + kRoom}, {x, y + kRoom}}, L"ROOMS"));
                addReference(L"ROOM-1", AcGePoint3d(x + 0.5, y + 0.5, 0));
                // Assets of 4 by 4: inside, inside, and one astride the room's right wall.
                assets.push_back(addReference(L"ASSET-A", AcGePoint3d(x + 1, y + 5, 0)));
                assets.push_back(addReference(L"ASSET-B", AcGePoint3d(x + 5, y + 1, 0)));
                assets.push_back(addReference(L"ASSET-A", AcGePoint3d(x + 8, y + 5.5, 0)));
                addToModelSpace(new AcDbLine(AcGePoint3d(x + 2, y + 2, 0),
                                             AcGePoint3d(x + 3, y + 3, 0)));
                addToModelSpace(new AcDbCircle(AcGePoint3d(x + 7, y + 8, 0),
                                               AcGeVector3d::kZAxis, 0.5));
            }
        }
        // One entity larger than the whole plan.
        addToModelSpace(new AcDbLine(AcGePoint3d(-100, -100, 0), AcGePoint3d(500, 300, 0)));
    }

    // What the selection must give: every entity of model space, in the order it was added,
    // that passes the filter and whose shape lies inside or crosses the polygon.
    std::vector<std::wstring> expected(const std::vector<AcGePoint2d>& polygon, bool crossing,
                                       const resbuf* filterList) {
        qv::host::ed::SelectionFilter filter;
        std::wstring why;
        EXPECT_TRUE(qv::host::ed::SelectionFilter::parse(filterList, filter, why)) << why;
        std::vector<std::wstring> out;
        const auto* space = ObjectAccess::peekAs<AcDbBlockTableRecord>(db()->modelSpaceId());
        for (AcDbObjectId id : space->qvEntities()) {
            const auto* entity = ObjectAccess::peekAs<AcDbEntity>(id);
            if (entity == nullptr || entity->isErased() || !filter.passes(*entity)) {
                continue;
            }
            const qv::host::ed::EntityShape shape = qv::host::ed::shapeOf(*entity);
            if (crossing ? shape.touches(polygon) : shape.isInside(polygon)) {
                out.push_back(handleOf(id));
            }
        }
        return out.empty() ? std::vector<std::wstring>{L"code " + std::to_wstring(RTERROR)} : out;
    }

    std::vector<Polygon> polygons() const {
        std::vector<Polygon> out;
        for (int i = 0; i < static_cast<int>(rooms.size()); i += 7) {
            const double x = (i % kSide) * kRoom, y = (i / kSide) * kRoom;
            out.push_back({"room " + std::to_string(i),
                           {{x, y}, {x + kRoom, y}, {x + kRoom, y + kRoom}, {x, y + kRoom}}});
        }
        out.push_back({"concave", {{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 30}, {0, 30}}});
        out.push_back({"triangle", {{5, 5}, {42, 13}, {17, 48}}});
        out.push_back({"the whole plan", {{-1, -1}, {61, -1}, {61, 61}, {-1, 61}}});
        out.push_back({"far away", {{1000, 1000}, {1010, 1000}, {1010, 1010}}});
        out.push_back({"a thin sliver on a wall", {{10, 0}, {10, 60}, {10.0001, 60}}});
        return out;
    }

    // Compares every mode, polygon and filter with the expectation.
    void checkAll(const std::string& when) {
        const std::function<resbuf*()> filters[] = {
            [] { return static_cast<resbuf*>(nullptr); },
            [] { return acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0); },
            [] { return acutBuildList(2, L"ASSET-B", 0); },
            [] { return acutBuildList(8, L"ROOMS", 0); },
            [] { return acutBuildList(-4, L"<NOT", RTDXF0, L"INSERT", -4, L"NOT>", 0); },
        };
        for (const Polygon& polygon : polygons()) {
            for (size_t f = 0; f < std::size(filters); ++f) {
                for (const bool crossing : {true, false}) {
                    resbuf* filter = filters[f]();
                    const std::vector<std::wstring> want =
                        expected(polygon.points, crossing, filter);
                    EXPECT_EQ(select(crossing ? L"CP" : L"WP", polygon.points, filter), want)
                        << when << ", " << polygon.what << ", filter " << f
                        << (crossing ? ", CP" : ", WP");
                }
            }
        }
        // Windows (two corners) search the same way.
        const std::vector<AcGePoint2d> corners = {{12, 3}, {37, 26}};
        const std::vector<AcGePoint2d> window = {{12, 3}, {37, 3}, {37, 26}, {12, 26}};
        for (const bool crossing : {true, false}) {
            EXPECT_EQ(select(crossing ? L"C" : L"W", corners, nullptr),
                      expected(window, crossing, nullptr))
                << when << (crossing ? ", C" : ", W");
        }
    }

    std::vector<AcDbObjectId> rooms, assets;
};

TEST_F(SelectionSearchTest, SelectionsFollowChangesMadeBetweenThem) {
    auto change = [&](AcDbObjectId id, const std::function<void(AcDbEntity&)>& how) {
        WriteLock lock(document());
        AcDbEntity* entity = nullptr;
        ASSERT_EQ(acdbOpenObject(entity, id, AcDb::kForWrite), Acad::eOk);
        how(*entity);
        entity->close();
    };
    const struct {
        const char* what;
        std::function<void()> make;
    } changes[] = {
        {"an asset moved to another room",
         [&] {
             change(assets[0], [](AcDbEntity& e) {
                 e.transformBy(AcGeMatrix3d::translation(AcGeVector3d(21, 20, 0)));
             });
         }},
        {"an asset erased", [&] { change(assets[4], [](AcDbEntity& e) { e.erase(); }); }},
        {"a room outline erased", [&] { change(rooms[14], [](AcDbEntity& e) { e.erase(); }); }},
        {"an asset added", [&] { assets.push_back(addReference(L"ASSET-B", {23, 24, 0})); }},
        {"a block definition grown",
         [&] {
             WriteLock lock(document());
             AcDbBlockTable* table = nullptr;
             ASSERT_EQ(db()->getBlockTable(table, AcDb::kForRead), Acad::eOk);
             AcDbBlockTableRecord* block = nullptr;
             ASSERT_EQ(table->getAt(L"ASSET-B", block, AcDb::kForWrite), Acad::eOk);
             table->close();
             auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(9, 9, 0));
             block->appendAcDbEntity(line);
             line->close();
             block->close();
         }},
    };
    checkAll("as drawn");
    for (const auto& c : changes) {
        c.make();
        checkAll(std::string("after ") + c.what);
    }
}

// A plan whose every room holds a space block "ROOM-n" of its own whose text reaches over the
// whole plan (as a text size made for millimetres does on a plan in metres), and a desk, with
// one sign as large: the asset search of a room finds its desk and the sign, and looks at few of
// the other large entities.
class LargeEntitySearchTest : public qv::test::EditorTest {
  protected:
    // A block of that name holding a text taller than the whole plan of 20 by 20 rooms.
    AcDbObjectId largeBlock(const std::wstring& name) {
        WriteLock lock(document());
        AcDbBlockTable* table = nullptr;
        db()->getBlockTable(table, AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName(name.c_str());
        AcDbObjectId id;
        table->add(id, record);
        table->close();
        auto* text = new AcDbText(AcGePoint3d(-300, -100, 0), L"WIDE SIGN", AcDbObjectId(), 400.0,
                                  0.0);
        record->appendAcDbEntity(text);
        text->close();
        record->close();
        return id;
    }
};

TEST_F(LargeEntitySearchTest, AFilteredSearchExaminesOnlyTheLargeEntitiesThatCanPass) {
    constexpr int kRooms = 20;  // along each side
    std::vector<std::vector<AcGePoint2d>> outlines;
    std::vector<AcDbObjectId> desks;
    for (int n = 0; n < kRooms * kRooms; ++n) {
        const double x = (n % kRooms) * kRoom, y = (n / kRooms) * kRoom;
        outlines.push_back({{x, y}, {x + kRoom, y}, {x + kRoom, y + kRoom}, {x, y + kRoom}});
        addPolyline({{x, y}, {x + kRoom, y}, {x + kRoom, y + kRoom}, {x, y + kRoom}});
        addToModelSpace(new AcDbBlockReference(AcGePoint3d(x, y, 0),
                                               largeBlock(L"ROOM-" + std::to_wstring(n + 1))));
        desks.push_back(addReference(L"DESK", AcGePoint3d(x + 3, y + 3, 0)));
    }
    const AcDbObjectId sign =
        addToModelSpace(new AcDbBlockReference(AcGePoint3d(0, 0, 0), largeBlock(L"SIGN")));
    struct Case {
        const char* what;
        std::function<resbuf*()> filter;
        bool desk, sign;
    };
    const Case cases[] = {
        {"assets", [] { return acutBuildList(RTDXF0, L"INSERT", 2, L"~ROOM-*", 0); }, true,
         true},
        {"desks", [] { return acutBuildList(2, L"DESK", 0); }, true, false},
        {"the sign", [] { return acutBuildList(RTDXF0, L"INSERT", 2, L"SIGN", 0); }, false, true},
        {"lines", [] { return acutBuildList(RTDXF0, L"LINE", 0); }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const unsigned long long before = qv::host::ed::entitiesExamined();
        for (size_t room = 0; room < outlines.size(); ++room) {
            std::vector<std::wstring> want;
            if (c.desk) {
                want.push_back(handleOf(desks[room]));
            }
            if (c.sign) {
                want.push_back(handleOf(sign));
            }
            if (want.empty()) {
                want.push_back(L"code " + std::to_wstring(RTERROR));
            }
            ASSERT_EQ(select(L"CP", outlines[room], c.filter()), want) << "room " << room;
        }
        // Each large entity once, when the filter is first seen; then for each room the few
        // small entities near it. Looking at every space block in every search would take
        // 400 times 400.
        const unsigned long long examined = qv::host::ed::entitiesExamined() - before;
        EXPECT_LT(examined, 20 * outlines.size()) << examined;
    }
}

}  // namespace
