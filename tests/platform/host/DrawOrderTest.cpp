#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class DrawOrderTest : public DrawingTest {
  protected:
    DrawOrderTest() {
        for (int i = 0; i < 4; ++i) {
            entities.push_back(addToModelSpace(new AcDbLine({0, 0, 0}, {1.0 + i, 0, 0})));
        }
    }

    // Gives model space a sort-entities table, as the module does: extension dictionary,
    // "ACAD_SORTENTS", block id.
    AcDbObjectId makeTable() {
        WriteLock lock(document());
        AcDbBlockTableRecord* space = nullptr;
        acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite);
        EXPECT_EQ(space->createExtensionDictionary(), Acad::eOk);
        AcDbDictionary* dictionary = nullptr;
        EXPECT_EQ(acdbOpenObject(dictionary, space->extensionDictionary(), AcDb::kForWrite),
                  Acad::eOk);
        space->close();
        auto* table = new AcDbSortentsTable;
        AcDbObjectId id;
        EXPECT_EQ(dictionary->setAt(L"ACAD_SORTENTS", table, id), Acad::eOk);
        EXPECT_EQ(table->setBlockId(db()->modelSpaceId()), Acad::eOk);
        table->close();
        dictionary->close();
        return id;
    }

    // The model-space entities' indexes in draw order, as text.
    std::string order() {
        const AcDbObjectIdArray ids = qv::host::drawOrder(db()->modelSpaceId());
        std::string text;
        for (const AcDbObjectId& id : ids) {
            for (size_t i = 0; i < entities.size(); ++i) {
                if (entities[i] == id) {
                    text += std::to_string(i);
                }
            }
        }
        return text;
    }

    AcDbObjectIdArray pick(std::initializer_list<int> indexes) {
        AcDbObjectIdArray ids;
        for (int i : indexes) {
            ids.append(entities[static_cast<size_t>(i)]);
        }
        return ids;
    }

    std::vector<AcDbObjectId> entities;
};

TEST_F(DrawOrderTest, MovesKeepTheMovedInTheirOrder) {
    EXPECT_EQ(order(), "0123") << "the order of appending without a table";
    const AcDbObjectId tableId = makeTable();
    const struct {
        const char* name;
        std::function<Acad::ErrorStatus(AcDbSortentsTable&)> move;
        std::string expected;
    } cases[] = {
        {"to bottom", [&](AcDbSortentsTable& t) { return t.moveToBottom(pick({3})); }, "3012"},
        {"two to bottom",
         [&](AcDbSortentsTable& t) {
             return t.moveToBottom(pick({2, 1}));
         },
         "1230"},
        {"to top", [&](AcDbSortentsTable& t) { return t.moveToTop(pick({1})); }, "2301"},
        {"below 3", [&](AcDbSortentsTable& t) { return t.moveBelow(pick({1}), entities[3]); },
         "2130"},
        {"above 2", [&](AcDbSortentsTable& t) { return t.moveAbove(pick({0}), entities[2]); },
         "2013"},
        {"swap", [&](AcDbSortentsTable& t) { return t.swapOrder(entities[2], entities[3]); },
         "3012"},
        // 3, 0 and 2 hold the places 0, 1 and 3; they take them in the order 2, 3, 0.
        {"relative",
         [&](AcDbSortentsTable& t) {
             return t.setRelativeDrawOrder(pick({2, 3, 0}));
         },
         "2310"},
    };
    WriteLock lock(document());
    for (const auto& c : cases) {
        AcDbSortentsTable* table = nullptr;
        ASSERT_EQ(acdbOpenObject(table, tableId, AcDb::kForWrite), Acad::eOk);
        EXPECT_EQ(c.move(*table), Acad::eOk) << c.name;
        table->close();
        EXPECT_EQ(order(), c.expected) << c.name;
    }
}

TEST_F(DrawOrderTest, SortHandlesAreTheBlocksOwnHandlesHandedOutAgain) {
    const AcDbObjectId tableId = makeTable();
    WriteLock lock(document());
    AcDbSortentsTable* table = nullptr;
    acdbOpenObject(table, tableId, AcDb::kForWrite);
    table->moveToBottom(pick({2}));
    AcDbHandle h;
    ASSERT_EQ(table->getSortHandle(entities[2], h), Acad::eOk);
    EXPECT_EQ(h, entities[0].handle());
    ASSERT_EQ(table->getSortHandle(entities[3], h), Acad::eOk);
    EXPECT_EQ(h, entities[3].handle()) << "an entity left in place keeps its own handle";
    EXPECT_EQ(table->qvSortHandles().size(), 3u) << "0, 1 and 2 moved; 3 did not";
    EXPECT_TRUE(table->firstEntityIsDrawnBeforeSecond(entities[2], entities[0]));
    // Entities of another block are refused.
    const AcDbObjectId other = db()->paperSpaceId();
    AcDbObjectIdArray foreign;
    foreign.append(other);
    EXPECT_EQ(table->moveToBottom(foreign), Acad::eInvalidInput);
    table->close();
    AcDbSortentsTable* reader = nullptr;
    acdbOpenObject(reader, tableId, AcDb::kForRead);
    EXPECT_EQ(reader->moveToTop(pick({0})), Acad::eNotOpenForWrite);
    reader->close();
}

TEST_F(DrawOrderTest, NewEntitiesGoOnTop) {
    const AcDbObjectId tableId = makeTable();
    {
        WriteLock lock(document());
        AcDbSortentsTable* table = nullptr;
        acdbOpenObject(table, tableId, AcDb::kForWrite);
        table->moveToBottom(pick({3}));
        table->close();
    }
    entities.push_back(addToModelSpace(new AcDbCircle({0, 0, 0}, {0, 0, 1}, 1)));
    EXPECT_EQ(order(), "30124");
}

// Many single moves, as hatching does (each new hatch to the bottom), mixed with moves of older
// entities and erasures, checked step by step against the order kept by hand.
TEST_F(DrawOrderTest, ManySingleMovesMatchTheOrderKeptByHand) {
    const AcDbObjectId tableId = makeTable();
    std::vector<size_t> expected = {0, 1, 2, 3};
    auto expectedText = [&] {
        std::string text;
        for (size_t i : expected) {
            text += std::to_string(i);
        }
        return text;
    };
    auto moveOne = [&](size_t index, bool toBottom) {
        WriteLock lock(document());
        AcDbSortentsTable* table = nullptr;
        ASSERT_EQ(acdbOpenObject(table, tableId, AcDb::kForWrite), Acad::eOk);
        AcDbObjectIdArray ids;
        ids.append(entities[index]);
        EXPECT_EQ(toBottom ? table->moveToBottom(ids) : table->moveToTop(ids), Acad::eOk);
        table->close();
        std::erase(expected, index);
        expected.insert(toBottom ? expected.begin() : expected.end(), index);
    };
    for (int step = 0; step < 60; ++step) {
        entities.push_back(addToModelSpace(new AcDbLine({0, 0, 0}, {1.0 * step, 1, 0})));
        expected.push_back(entities.size() - 1);
        ASSERT_EQ(order(), expectedText()) << "new entity on top, step " << step;
        moveOne(entities.size() - 1, true);
        if (step % 5 == 4) {
            moveOne(expected[expected.size() / 2], false);
        }
        if (step % 7 == 6) {
            const size_t gone = expected[expected.size() / 3];
            WriteLock lock(document());
            AcDbEntity* entity = nullptr;
            ASSERT_EQ(acdbOpenObject(entity, entities[gone], AcDb::kForWrite), Acad::eOk);
            EXPECT_EQ(entity->erase(), Acad::eOk);
            entity->close();
            std::erase(expected, gone);
        }
        ASSERT_EQ(order(), expectedText()) << "step " << step;
    }
    // The sort handles written to the file: the drawn entities' own handles, ascending along
    // the draw order, stored only where they differ from the entity's.
    std::vector<AcDbHandle> handles;
    for (size_t i : expected) {
        handles.push_back(entities[i].handle());
    }
    std::sort(handles.begin(), handles.end());
    std::map<AcDbObjectId, AcDbHandle> wanted;
    for (size_t at = 0; at < expected.size(); ++at) {
        if (handles[at] != entities[expected[at]].handle()) {
            wanted[entities[expected[at]]] = handles[at];
        }
    }
    WriteLock lock(document());
    AcDbSortentsTable* table = nullptr;
    ASSERT_EQ(acdbOpenObject(table, tableId, AcDb::kForRead), Acad::eOk);
    const auto pairs = table->qvSortHandles();
    table->close();
    const std::map<AcDbObjectId, AcDbHandle> written(pairs.begin(), pairs.end());
    EXPECT_EQ(written, wanted);
}

}  // namespace
