#include <gtest/gtest.h>

#include "support/HostFixture.h"

namespace {

class ObjectPointerTest : public qv::test::DrawingTest {
  protected:
    ObjectPointerTest() { walls = addLayer(L"Walls"); }

    bool isOpen(AcDbObjectId id) {
        for (const AcDbObject* open : db()->qvOpenObjects())
            if (open->objectId() == id)
                return true;
        return false;
    }

    AcDbObjectId walls;
};

TEST_F(ObjectPointerTest, ATablePointerOpensTheDatabasesTableOrKeepsTheRefusal) {
    {
        AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForRead);
        ASSERT_EQ(table.openStatus(), Acad::eOk);
        EXPECT_EQ(table->objectId(), db()->layerTableId());
        EXPECT_TRUE(table->has(L"WALLS"));
        AcDbSymbolTablePointer<AcDbLayerTable> writer(db(), AcDb::kForWrite);
        EXPECT_EQ(writer.openStatus(), Acad::eWasOpenForRead);
        EXPECT_FALSE(writer);
        EXPECT_EQ(writer.close(), Acad::eNullObjectPointer);
    }
    EXPECT_FALSE(isOpen(db()->layerTableId()));
    AcDbSymbolTablePointer<AcDbBlockTable> none(static_cast<AcDbDatabase*>(nullptr),
                                                AcDb::kForRead);
    EXPECT_EQ(none.openStatus(), Acad::eNoDatabase);
    AcDbSymbolTablePointer<AcDbBlockTable> byId(db()->blockTableId(), AcDb::kForRead);
    EXPECT_EQ(byId.openStatus(), Acad::eOk);
    AcDbSymbolTablePointer<AcDbBlockTable> wrongKind(db()->layerTableId(), AcDb::kForRead);
    EXPECT_EQ(wrongKind.openStatus(), Acad::eNotThatKindOfClass);
}

TEST_F(ObjectPointerTest, ARecordPointerOpensByNameInAnOpenTable) {
    AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForRead);
    ASSERT_EQ(table.openStatus(), Acad::eOk);
    const struct {
        const ACHAR* name;
        const AcDbSymbolTable* table;
        Acad::ErrorStatus status;
    } cases[] = {
        {L"walls", table.object(), Acad::eOk},
        {L"MISSING", table.object(), Acad::eKeyNotFound},
        {L"Walls", nullptr, Acad::eNullObjectPointer},
    };
    for (const auto& c : cases) {
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> record(c.name, c.table,
                                                                  AcDb::kForRead);
        EXPECT_EQ(record.openStatus(), c.status) << c.name;
        EXPECT_EQ(static_cast<bool>(record), c.status == Acad::eOk) << c.name;
        if (record) {
            EXPECT_EQ(record->objectId(), walls);
        }
    }
    EXPECT_FALSE(isOpen(walls));
    AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> byId(walls, AcDb::kForRead);
    EXPECT_EQ(byId.openStatus(), Acad::eOk);
}

TEST_F(ObjectPointerTest, ANewRecordIsClosedOnceATableTookItAndDeletedOtherwise) {
    const long before = AcDbObject::qvLiveObjects();
    WriteLock lock(document());
    AcDbSymbolTablePointer<AcDbLayerTable> table(db(), AcDb::kForWrite);
    ASSERT_EQ(table.openStatus(), Acad::eOk);
    const struct {
        const ACHAR* name;
        Acad::ErrorStatus added;
        long liveAfter;  // objects alive beyond the ones before
    } cases[] = {
        {L"Doors", Acad::eOk, 1},
        {L"WALLS", Acad::eDuplicateRecordName, 1},
        {L"Windows", Acad::eOk, 2},
    };
    for (const auto& c : cases) {
        AcDbObjectId id;
        {
            AcDbObjectPointer<AcDbLayerTableRecord> record;
            ASSERT_EQ(record.create(), Acad::eOk);
            ASSERT_EQ(record->setName(c.name), Acad::eOk);
            EXPECT_EQ(table->add(id, record.object()), c.added) << c.name;
        }
        EXPECT_EQ(AcDbObject::qvLiveObjects() - before, c.liveAfter) << c.name;
        if (c.added == Acad::eOk) {
            EXPECT_FALSE(isOpen(id)) << c.name;
        }
    }
}

TEST_F(ObjectPointerTest, ReleaseHandsTheOpenObjectOnAndAcquireTakesItBack) {
    AcDbObjectPointer<AcDbLayerTableRecord> first(walls, AcDb::kForWrite);
    // The write lock is needed only to open; the pointer keeps the object.
    ASSERT_EQ(first.openStatus(), Acad::eLockViolation);
    {
        WriteLock lock(document());
        ASSERT_EQ(first.open(walls, AcDb::kForWrite), Acad::eOk);
    }
    AcDbLayerTableRecord* handed = nullptr;
    EXPECT_EQ(first.release(handed), Acad::eOk);
    EXPECT_EQ(first.openStatus(), Acad::eNullObjectPointer);
    EXPECT_TRUE(isOpen(walls));
    {
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> second;
        EXPECT_EQ(second.acquire(handed), Acad::eOk);
        EXPECT_EQ(handed, nullptr);
        EXPECT_TRUE(second->isWriteEnabled());
    }
    EXPECT_FALSE(isOpen(walls));
    EXPECT_EQ(first.release(handed), Acad::eNullObjectPointer);
}

}  // namespace
