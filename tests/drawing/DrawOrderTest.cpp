#include <gtest/gtest.h>

#include <vector>

#include "drawing/AcadUtilities.h"
#include "drawing/BlockDefinitions.h"
#include "support/HostFixture.h"

namespace {

class DrawOrder : public qv::test::DrawingTest {
  protected:
    int sortents() {
        resbuf value{};
        EXPECT_EQ(RTNORM, acedGetVar(L"SORTENTS", &value));
        return value.resval.rint;
    }

    // A block definition holding a line and a circle, as the space blocks have.
    AcDbObjectId defineBlock(const wchar_t* name) {
        return qv::test::defineBlock(document(), name,
                                     {{new AcDbLine({0, 0, 0}, {10, 0, 0}), false},
                                      {new AcDbCircle({5, 5, 0}, AcGeVector3d::kZAxis, 2), false}});
    }

    // Appends an entity to a block; returns it open for write.
    AcDbEntity* append(AcDbObjectId blockId, AcDbEntity* entity) {
        AcDbBlockTableRecord* block = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(block, blockId, AcDb::kForWrite));
        EXPECT_EQ(Acad::eOk, block->appendAcDbEntity(entity));
        block->close();
        return entity;
    }

    AcDbObjectId extensionDictionaryOf(AcDbObjectId id) {
        AcDbObject* object = nullptr;
        EXPECT_EQ(Acad::eOk, acdbOpenObject(object, id, AcDb::kForRead));
        const AcDbObjectId dictionary = object->extensionDictionary();
        object->close();
        return dictionary;
    }
};

TEST_F(DrawOrder, SortentsGetsAllSevenFlags) {
    const struct {
        int before;
        int after;
    } cases[] = {{96, 127}, {127, 127}, {0, 127}, {126, 127}};
    for (const auto& c : cases) {
        CAcadUtilities::setSortents(c.before);
        ASSERT_EQ(c.before, sortents());
        CAcadUtilities::ensureSortentsEnabled();
        EXPECT_EQ(c.after, sortents()) << c.before;
    }
}

TEST_F(DrawOrder, MoveToBottomMakesTheTableItsBlockLacksAndDrawsTheEntityFirst) {
    const AcDbObjectId blocks[] = {defineBlock(L"ROOM-1"), db()->modelSpaceId()};
    for (AcDbObjectId blockId : blocks) {
        addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
        CAcadUtilities::setSortents(96);
        ASSERT_TRUE(extensionDictionaryOf(blockId).isNull());
        AcDbObjectId hatchId, secondId;
        {
            WriteLock lock(document());
            AcDbEntity* hatch = append(blockId, new AcDbHatch);
            hatchId = hatch->objectId();
            CAcadUtilities::moveToBottom(hatch);
            hatch->close();
            // A second entity moved later goes beneath the first, through the same table.
            AcDbEntity* second = append(blockId, new AcDbLine({0, 0, 0}, {2, 2, 0}));
            secondId = second->objectId();
            CAcadUtilities::moveToBottom(second);
            second->close();
        }
        EXPECT_EQ(127, sortents());
        const AcDbObjectIdArray order = qv::host::drawOrder(blockId);
        ASSERT_GE(order.length(), 4);
        EXPECT_EQ(secondId, order[0]);
        EXPECT_EQ(hatchId, order[1]);

        AcDbDictionary* dictionary = nullptr;
        ASSERT_EQ(Acad::eOk,
                  acdbOpenObject(dictionary, extensionDictionaryOf(blockId), AcDb::kForRead));
        EXPECT_EQ(1u, dictionary->numEntries());
        AcDbSortentsTable* table = nullptr;
        EXPECT_EQ(Acad::eOk, dictionary->getAt(L"ACAD_SORTENTS", table, AcDb::kForRead));
        dictionary->close();
        ASSERT_NE(nullptr, table);
        EXPECT_EQ(blockId, table->blockId());
        table->close();
    }
}

TEST_F(DrawOrder, WithoutTheLockNothingChangesAndNothingStaysOpen) {
    const AcDbObjectId blockId = defineBlock(L"ROOM-1");
    const AcDbObjectIdArray before = qv::host::drawOrder(blockId);
    AcDbEntity* circle = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(circle, before[1], AcDb::kForRead));
    CAcadUtilities::moveToBottom(circle);
    circle->close();
    EXPECT_TRUE(extensionDictionaryOf(blockId).isNull());
    EXPECT_EQ(before, qv::host::drawOrder(blockId));
}

TEST_F(DrawOrder, TheTableIsNotFoundForEntitiesWithoutOwnerOrAForeignEntry) {
    AcDbLine loose({0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(nullptr, CAcadUtilities::getSortentsTable(&loose));
    EXPECT_EQ(nullptr, CAcadUtilities::getSortentsTable(nullptr));
    CAcadUtilities::moveToBottom(nullptr);

    // Something other than a sort-entities table under the key is left as it is.
    const AcDbObjectId blockId = defineBlock(L"ROOM-2");
    WriteLock lock(document());
    AcDbObject* block = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(block, blockId, AcDb::kForWrite));
    ASSERT_EQ(Acad::eOk, block->createExtensionDictionary());
    const AcDbObjectId dictionaryId = block->extensionDictionary();
    block->close();
    AcDbDictionary* dictionary = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(dictionary, dictionaryId, AcDb::kForWrite));
    AcDbObjectId foreignId;
    auto* foreign = new AcDbDictionary;
    ASSERT_EQ(Acad::eOk, dictionary->setAt(L"ACAD_SORTENTS", foreign, foreignId));
    foreign->close();
    dictionary->close();

    AcDbEntity* entity = nullptr;
    ASSERT_EQ(Acad::eOk,
              acdbOpenAcDbEntity(entity, qv::host::drawOrder(blockId)[0], AcDb::kForRead));
    EXPECT_EQ(nullptr, CAcadUtilities::getSortentsTable(entity));

    // A table that cannot be opened now is not replaced by a new one.
    ASSERT_EQ(Acad::eOk, acdbOpenObject(dictionary, dictionaryId, AcDb::kForWrite));
    ASSERT_EQ(Acad::eOk, dictionary->remove(L"ACAD_SORTENTS"));
    AcDbObjectId tableId;
    auto* table = new AcDbSortentsTable;
    ASSERT_EQ(Acad::eOk, dictionary->setAt(L"ACAD_SORTENTS", table, tableId));
    dictionary->close();
    EXPECT_EQ(nullptr, CAcadUtilities::getSortentsTable(entity));  // open for write here
    table->close();
    AcDbSortentsTable* found = CAcadUtilities::getSortentsTable(entity);
    EXPECT_EQ(tableId, found ? found->objectId() : AcDbObjectId::kNull);
    if (found)
        found->close();
    entity->close();
}

TEST_F(DrawOrder, HandlesNameEntitiesOfTheWorkingDrawing) {
    const AcDbObjectId line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    const AcDbObjectId erased = addToModelSpace(new AcDbLine({0, 0, 0}, {2, 2, 0}));
    {
        WriteLock lock(document());
        AcDbEntity* entity = nullptr;
        ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(entity, erased, AcDb::kForWrite));
        entity->erase();
        entity->close();
    }
    const struct {
        const char* what;
        AcDbHandle handle;
        AcDbObjectId expected;
    } cases[] = {
        {"a line", line.handle(), line},
        {"an erased line", erased.handle(), AcDbObjectId::kNull},
        {"the layer table, no entity", db()->layerTableId().handle(), AcDbObjectId::kNull},
        {"the null handle", AcDbHandle(), AcDbObjectId::kNull},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, CAcadUtilities::convertHandleToObjectId(c.handle)) << c.what;
}

// A draw-order change that cannot be made says why; with the block held open, the change is made
// through it.
TEST_F(DrawOrder, ARefusedMoveGivesItsStatusAndTheHeldBlockTakesTheMove) {
    const AcDbObjectId blockId = defineBlock(L"ROOM-3");
    const AcDbObjectIdArray before = qv::host::drawOrder(blockId);
    AcDbLine loose({0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(Acad::eNullEntityPointer, CAcadUtilities::moveToBottom(nullptr));
    EXPECT_EQ(Acad::eNotInDatabase, CAcadUtilities::moveToBottom(&loose));

    WriteLock lock(document());
    AcDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenObject(block, blockId, AcDb::kForWrite));
    AcDbEntity* circle = nullptr;
    ASSERT_EQ(Acad::eOk, acdbOpenAcDbEntity(circle, before[1], AcDb::kForRead));
    EXPECT_EQ(Acad::eWasOpenForWrite, CAcadUtilities::moveToBottom(circle));
    EXPECT_EQ(Acad::eInvalidInput, CAcadUtilities::moveToBottom(circle, circle));
    EXPECT_EQ(Acad::eOk, CAcadUtilities::moveToBottom(circle, block));
    circle->close();
    block->close();
    const AcDbObjectIdArray after = qv::host::drawOrder(blockId);
    ASSERT_EQ(2, after.length());
    EXPECT_EQ(before[1], after[0]);
}

}  // namespace
