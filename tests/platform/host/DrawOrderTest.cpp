#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>

#include "support/HostDrawing.h"
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

    // The model-space entities' indexes in draw order, as text ("?" for one not in `entities`).
    std::string order(const char* separator = "") {
        std::vector<size_t> indexes;
        for (const AcDbObjectId& id : qv::host::drawOrder(db()->modelSpaceId())) {
            indexes.push_back(static_cast<size_t>(std::find(entities.begin(), entities.end(), id) -
                                                  entities.begin()));
        }
        return listText(indexes, separator);
    }

    std::string listText(const std::vector<size_t>& indexes, const char* separator = "") const {
        std::string text;
        for (size_t i : indexes) {
            text += (i < entities.size() ? std::to_string(i) : std::string("?")) + separator;
        }
        return text;
    }

    void eraseEntity(size_t index) { EXPECT_EQ(qv::test::eraseObject(entities[index]), Acad::eOk); }

    // The pairs the table keeps for the file.
    std::map<AcDbObjectId, AcDbHandle> sortHandles(AcDbObjectId tableId) {
        WriteLock lock(document());
        AcDbSortentsTable* table = nullptr;
        EXPECT_EQ(acdbOpenObject(table, tableId, AcDb::kForRead), Acad::eOk);
        const auto pairs = table->qvSortHandles();
        table->close();
        return {pairs.begin(), pairs.end()};
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
    EXPECT_EQ(order(), "0123") << "the order of appending without a table";
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

// Every kind of move, on random entities, mixed with additions, erasures and entities leaving
// the block, checked step by step against a plain list; refused moves change nothing. Moves
// crowded below one target use up the room between two neighbours, so the order's places are
// numbered again on the way.
TEST_F(DrawOrderTest, EveryMoveMatchesAPlainList) {
    const AcDbObjectId tableId = makeTable();
    std::vector<size_t> expected = {0, 1, 2, 3};
    std::mt19937 random(14);
    auto anyDrawn = [&] { return expected[random() % expected.size()]; };
    // Up to three distinct drawn entities, in random order.
    auto someDrawn = [&] {
        std::vector<size_t> picked;
        const size_t count = 1 + random() % std::min<size_t>(3, expected.size());
        while (picked.size() < count) {
            const size_t i = anyDrawn();
            if (std::find(picked.begin(), picked.end(), i) == picked.end()) {
                picked.push_back(i);
            }
        }
        return picked;
    };
    auto idsOf = [&](const std::vector<size_t>& indexes) {
        AcDbObjectIdArray ids;
        for (size_t i : indexes) {
            ids.append(entities[i]);
        }
        return ids;
    };
    // The list with `moved` taken out (kept in their drawn order) and put back before `at`'s
    // place (`at` == size(): on top).
    auto moveInList = [&](const std::vector<size_t>& moved, size_t before, bool bottom) {
        std::vector<size_t> taken, rest;
        for (size_t i : expected) {
            (std::find(moved.begin(), moved.end(), i) != moved.end() ? taken : rest).push_back(i);
        }
        auto where = bottom ? rest.begin() : std::find(rest.begin(), rest.end(), before);
        rest.insert(where, taken.begin(), taken.end());
        expected = rest;
    };
    auto withTable = [&](const std::function<Acad::ErrorStatus(AcDbSortentsTable&)>& move) {
        WriteLock lock(document());
        AcDbSortentsTable* table = nullptr;
        EXPECT_EQ(acdbOpenObject(table, tableId, AcDb::kForWrite), Acad::eOk);
        const Acad::ErrorStatus es = move(*table);
        table->close();
        return es;
    };
    for (int step = 0; step < 400; ++step) {
        const int kind = step >= 200 && step < 260 ? 9 : static_cast<int>(random() % 10);
        std::string what;
        if (kind == 0 || expected.size() < 4) {
            what = "add";
            entities.push_back(addToModelSpace(new AcDbLine({0, 0, 0}, {1.0 * step, 2, 0})));
            expected.push_back(entities.size() - 1);
        } else if (kind == 1 || kind == 2) {
            what = kind == 1 ? "to bottom" : "to top";
            const std::vector<size_t> moved = someDrawn();
            EXPECT_EQ(withTable([&](AcDbSortentsTable& t) {
                          return kind == 1 ? t.moveToBottom(idsOf(moved))
                                           : t.moveToTop(idsOf(moved));
                      }),
                      Acad::eOk);
            moveInList(moved, entities.size(), kind == 1);
        } else if (kind == 3 || kind == 4) {
            what = kind == 3 ? "below" : "above";
            const std::vector<size_t> moved = someDrawn();
            size_t target = anyDrawn();
            if (std::find(moved.begin(), moved.end(), target) != moved.end()) {
                EXPECT_EQ(withTable([&](AcDbSortentsTable& t) {
                              return t.moveBelow(idsOf(moved), entities[target]);
                          }),
                          Acad::eInvalidInput)
                    << "a target among the moved";
            } else {
                EXPECT_EQ(withTable([&](AcDbSortentsTable& t) {
                              return kind == 3 ? t.moveBelow(idsOf(moved), entities[target])
                                               : t.moveAbove(idsOf(moved), entities[target]);
                          }),
                          Acad::eOk);
                if (kind == 4) {
                    // Above: before the first one drawn after the target that stays.
                    auto after = std::find(expected.begin(), expected.end(), target) + 1;
                    while (after != expected.end() &&
                           std::find(moved.begin(), moved.end(), *after) != moved.end()) {
                        ++after;
                    }
                    target = after != expected.end() ? *after : entities.size();
                }
                moveInList(moved, target, false);
            }
        } else if (kind == 5) {
            what = "swap";
            const size_t a = anyDrawn(), b = anyDrawn();
            EXPECT_EQ(withTable([&](AcDbSortentsTable& t) {
                          return t.swapOrder(entities[a], entities[b]);
                      }),
                      a == b ? Acad::eInvalidInput : Acad::eOk);
            if (a != b) {
                std::iter_swap(std::find(expected.begin(), expected.end(), a),
                               std::find(expected.begin(), expected.end(), b));
            }
        } else if (kind == 6) {
            what = "relative";
            const std::vector<size_t> wanted = someDrawn();
            EXPECT_EQ(withTable([&](AcDbSortentsTable& t) {
                          return t.setRelativeDrawOrder(idsOf(wanted));
                      }),
                      Acad::eOk);
            size_t next = 0;
            for (size_t& i : expected) {
                if (std::find(wanted.begin(), wanted.end(), i) != wanted.end()) {
                    i = wanted[next++];
                }
            }
        } else if (kind == 7) {
            what = "erase";
            const size_t gone = anyDrawn();
            eraseEntity(gone);
            std::erase(expected, gone);
            EXPECT_EQ(withTable([&](AcDbSortentsTable& t) { return t.moveToTop(idsOf({gone})); }),
                      Acad::eInvalidInput)
                << "an erased entity is no longer drawn";
        } else if (kind == 8) {
            what = "to paper space";
            const size_t gone = anyDrawn();
            WriteLock lock(document());
            AcDbBlockTableRecord* paper = nullptr;
            ASSERT_EQ(acdbOpenObject(paper, db()->paperSpaceId(), AcDb::kForWrite), Acad::eOk);
            EXPECT_EQ(paper->assumeOwnershipOf(idsOf({gone})), Acad::eOk);
            paper->close();
            std::erase(expected, gone);
        } else {
            // Two entities taking turns just below one target: each move halves the room left.
            what = "crowded below";
            const size_t target = expected.back();
            const size_t moved = expected[step % 2];
            EXPECT_EQ(withTable([&](AcDbSortentsTable& t) {
                          return t.moveBelow(idsOf({moved}), entities[target]);
                      }),
                      Acad::eOk);
            moveInList({moved}, target, false);
        }
        ASSERT_EQ(order(","), listText(expected, ",")) << "step " << step << ": " << what;
    }
    // The sort handles kept for the file give the same order again.
    const std::map<AcDbObjectId, AcDbHandle> kept = sortHandles(tableId);
    std::vector<size_t> bySortHandle = expected;
    auto keyOf = [&](size_t i) {
        const auto found = kept.find(entities[i]);
        return found != kept.end() ? found->second : entities[i].handle();
    };
    std::sort(bySortHandle.begin(), bySortHandle.end(),
              [&](size_t a, size_t b) { return keyOf(a) < keyOf(b); });
    EXPECT_EQ(bySortHandle, expected);
}

}  // namespace
