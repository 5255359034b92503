#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "support/HostDrawing.h"
#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class DatabaseTest : public DrawingTest {};

TEST_F(DatabaseTest, HandlesAreUniqueAndNeverGivenTwice) {
    std::set<std::wstring> seen;
    AcDbHandle last;
    for (int i = 0; i < 20; ++i) {
        const AcDbObjectId id = addToModelSpace(new AcDbLine({0, 0, 0}, {1.0 * i, 0, 0}));
        const std::wstring text = id.handle().text();
        EXPECT_TRUE(seen.insert(text).second) << "handle given twice: " << text.c_str();
        EXPECT_TRUE(last < id.handle());
        EXPECT_EQ(text.find_first_of(L"abcdef"), std::wstring::npos) << "upper case";
        last = id.handle();
        EXPECT_EQ(qv::test::eraseObject(id), Acad::eOk);
    }
    // An erased object keeps its handle; the seed is past every handle given.
    EXPECT_TRUE(last < db()->handseed());
    AcDbObjectId found;
    EXPECT_EQ(db()->getAcDbObjectId(found, false, last), Acad::eOk);
    EXPECT_TRUE(found.isErased());
    EXPECT_EQ(db()->getAcDbObjectId(found, false, AcDbHandle(L"FFFFF")), Acad::eUnknownHandle);
    EXPECT_TRUE(found.isNull());
}

TEST(AcDbHandleText, ReadsAndWritesHexadecimal) {
    const struct {
        const wchar_t* text;
        Adesk::UInt64 value;
        const wchar_t* written;
    } cases[] = {
        {L"1A2", 0x1A2, L"1A2"},   {L"1a2", 0x1A2, L"1A2"},
        {L"  2F1", 0x2F1, L"2F1"}, {L"1A2,", 0x1A2, L"1A2"},
        {L"ZZ", 0, L"0"},          {L"", 0, L"0"},
        {L"00FF", 0xFF, L"FF"},    {L"FFFFFFFF1", 0xFFFFFFFF1, L"FFFFFFFF1"},
    };
    for (const auto& c : cases) {
        const AcDbHandle h(c.text);
        EXPECT_EQ(h.value(), c.value) << c.text;
        wchar_t buffer[20];
        ASSERT_TRUE(h.getIntoAsciiBuffer(buffer, 20));
        EXPECT_STREQ(buffer, c.written);
    }
    wchar_t tiny[3];
    EXPECT_FALSE(AcDbHandle(L"1A2").getIntoAsciiBuffer(tiny, 3));
}

TEST_F(DatabaseTest, NewDrawingHasTheStandardRecords) {
    const struct {
        AcDbObjectId table;
        const wchar_t* name;
    } cases[] = {
        {db()->layerTableId(), L"0"},
        {db()->blockTableId(), L"*Model_Space"},
        {db()->blockTableId(), L"*MODEL_SPACE"},
        {db()->blockTableId(), L"*Paper_Space"},
        {db()->linetypeTableId(), L"Continuous"},
        {db()->linetypeTableId(), L"BYLAYER"},
        {db()->textStyleTableId(), L"standard"},
        {db()->regAppTableId(), L"ACAD"},
    };
    for (const auto& c : cases) {
        AcDbSymbolTable* table = nullptr;
        ASSERT_EQ(acdbOpenObject(table, c.table, AcDb::kForRead), Acad::eOk);
        EXPECT_TRUE(table->has(c.name)) << c.name;
        table->close();
    }
    AcDbLayerTableRecord* layer0 = nullptr;
    ASSERT_EQ(acdbOpenObject(layer0, db()->clayer(), AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(layer0->color().colorIndex(), 7);
    EXPECT_EQ(layer0->qvName(), L"0");
    layer0->close();
}

TEST_F(DatabaseTest, SymbolNamesAreCheckedAndUnique) {
    addLayer(L"Walls");
    const struct {
        const wchar_t* name;
        bool block;
        Acad::ErrorStatus setName;             // status of setName
        std::optional<Acad::ErrorStatus> add;  // status of adding the record (none: not added)
    } cases[] = {
        {L"Doors", false, Acad::eOk, Acad::eOk},
        {L"WALLS", false, Acad::eOk, Acad::eDuplicateRecordName},
        {L"ATT-NAME", false, Acad::eOk, Acad::eOk},
        {L"A B", false, Acad::eOk, Acad::eOk},
        {L"Bad;Name", false, Acad::eInvalidInput, std::nullopt},
        {L"Bad:Name", false, Acad::eInvalidInput, std::nullopt},
        {L"Bad|Name", false, Acad::eInvalidInput, std::nullopt},
        {L"", false, Acad::eInvalidInput, std::nullopt},
        {L"*U12", true, Acad::eOk, Acad::eOk},
        {L"*Star", true, Acad::eInvalidInput, std::nullopt},
        {L"[ORVAN_LEGEND]_Plan_ 1_2", true, Acad::eOk, Acad::eOk},
        {L"ROOM-1", true, Acad::eOk, Acad::eOk},
        {L"room-1", true, Acad::eOk, Acad::eDuplicateRecordName},
    };
    WriteLock lock(document());
    for (const auto& c : cases) {
        AcDbSymbolTable* table = nullptr;
        ASSERT_EQ(acdbOpenObject(table, c.block ? db()->blockTableId() : db()->layerTableId(),
                                 AcDb::kForWrite),
                  Acad::eOk);
        AcDbSymbolTableRecord* record =
            c.block ? static_cast<AcDbSymbolTableRecord*>(new AcDbBlockTableRecord)
                    : new AcDbLayerTableRecord;
        EXPECT_EQ(record->setName(c.name), c.setName) << c.name;
        if (c.add) {
            const Acad::ErrorStatus es = table->add(record);
            EXPECT_EQ(es, *c.add) << c.name;
            if (es == Acad::eOk) {
                record->close();
                record = nullptr;
            }
        }
        delete record;
        table->close();
    }
}

// Look-ups by name follow renames and erasures: a renamed record is found under its new name
// only, and an erased record's name is free for a new record.
TEST_F(DatabaseTest, NamesAreFoundAfterRenamesAndErasures) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId doors = addLayer(L"Doors");
    WriteLock lock(document());
    AcDbObjectPointer<AcDbLayerTable> table(db()->layerTableId(), AcDb::kForWrite);
    ASSERT_EQ(table.openStatus(), Acad::eOk);
    EXPECT_EQ(table->qvFind(L"WALLS"), walls);
    {
        AcDbObjectPointer<AcDbLayerTableRecord> record(walls, AcDb::kForWrite);
        EXPECT_EQ(record->setName(L"doors"), Acad::eDuplicateRecordName);
        EXPECT_EQ(record->setName(L"WALLS"), Acad::eOk) << "its own name in other letters";
        ASSERT_EQ(record->setName(L"Partitions"), Acad::eOk);
    }
    EXPECT_TRUE(table->qvFind(L"walls").isNull());
    EXPECT_EQ(table->qvFind(L"partitions"), walls);
    {
        AcDbObjectPointer<AcDbLayerTableRecord> record(doors, AcDb::kForWrite);
        ASSERT_EQ(record->erase(), Acad::eOk);
    }
    EXPECT_TRUE(table->qvFind(L"Doors").isNull());
    auto* again = new AcDbLayerTableRecord;
    again->setName(L"DOORS");
    AcDbObjectId againId;
    ASSERT_EQ(table->add(againId, again), Acad::eOk);
    again->close();
    EXPECT_EQ(table->qvFind(L"doors"), againId);
    EXPECT_FALSE(table->has(L"Walls"));
}

TEST_F(DatabaseTest, IteratorsSkipErasedRecordsAndEntities) {
    addLayer(L"A");
    const AcDbObjectId b = addLayer(L"B");
    addLayer(L"C");
    const AcDbObjectId first = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    addToModelSpace(new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 1.0));
    for (AcDbObjectId id : {b, first}) {
        EXPECT_EQ(qv::test::eraseObject(id), Acad::eOk);
    }
    auto names = [&](bool skipDeleted) {
        std::wstring all;
        AcDbLayerTable* layers = nullptr;
        db()->getLayerTable(layers, AcDb::kForRead);
        AcDbLayerTableIterator* it = nullptr;
        layers->newIterator(it, true, skipDeleted);
        for (; !it->done(); it->step(true, skipDeleted)) {
            AcDbLayerTableRecord* record = nullptr;
            it->getRecord(record, AcDb::kForRead, true);
            all += record->qvName() + L",";
            record->close();
        }
        delete it;
        layers->close();
        return all;
    };
    EXPECT_EQ(names(true), L"0,A,C,");
    EXPECT_EQ(names(false), L"0,A,B,C,");

    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* it = nullptr;
    space->newIterator(it);
    std::wstring classes;
    for (; !it->done(); it->step()) {
        AcDbEntity* e = nullptr;
        it->getEntity(e, AcDb::kForRead);
        classes += e->isA()->name();
        e->close();
    }
    delete it;
    space->close();
    EXPECT_EQ(classes, L"AcDbCircle");
}

TEST_F(DatabaseTest, StandardRecordsCannotBeErased) {
    WriteLock lock(document());
    AcDbLayerTable* layers = nullptr;
    db()->getLayerTable(layers, AcDb::kForRead);
    AcDbLayerTableRecord* layer0 = nullptr;
    layers->getAt(L"0", layer0, AcDb::kForWrite);
    layers->close();
    EXPECT_EQ(layer0->erase(), Acad::eNotApplicable);
    layer0->close();
}

TEST_F(DatabaseTest, DictionariesKeepEntriesByKey) {
    WriteLock lock(document());
    AcDbDictionary* nod = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(nod, AcDb::kForWrite), Acad::eOk);
    EXPECT_TRUE(nod->has(L"acad_group"));
    AcDbObjectId first, second;
    auto* a = new AcDbDictionary;
    ASSERT_EQ(nod->setAt(L"My_Data", a, first), Acad::eOk);
    a->close();
    auto* b = new AcDbDictionary;
    ASSERT_EQ(nod->setAt(L"MY_DATA", b, second), Acad::eOk);
    b->close();
    EXPECT_TRUE(first.isErased()) << "a replaced entry is erased";
    AcDbObjectId found;
    EXPECT_EQ(nod->getAt(L"my_data", found), Acad::eOk);
    EXPECT_EQ(found, second);
    EXPECT_EQ(nod->getAt(L"missing", found), Acad::eKeyNotFound);
    auto* unnamed = new AcDbDictionary;
    EXPECT_EQ(nod->setAt(L"", unnamed, found), Acad::eInvalidInput);
    delete unnamed;
    EXPECT_EQ(nod->remove(L"My_Data"), Acad::eOk);
    EXPECT_FALSE(nod->has(L"My_Data"));
    EXPECT_FALSE(second.isErased());
    nod->close();
}

TEST_F(DatabaseTest, ExtensionDictionariesBelongToTheirObject) {
    const AcDbObjectId line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    WriteLock lock(document());
    AcDbEntity* e = nullptr;
    acdbOpenAcDbEntity(e, line, AcDb::kForWrite);
    EXPECT_TRUE(e->extensionDictionary().isNull());
    EXPECT_EQ(e->createExtensionDictionary(), Acad::eOk);
    EXPECT_EQ(e->createExtensionDictionary(), Acad::eAlreadyInDb);
    const AcDbObjectId dictionary = e->extensionDictionary();
    EXPECT_FALSE(dictionary.isNull());
    AcDbObject* d = nullptr;
    ASSERT_EQ(acdbOpenObject(d, dictionary, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(d->ownerId(), line);
    d->close();
    e->erase();
    e->close();
    EXPECT_TRUE(dictionary.isErased());
}

}  // namespace
