#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "drawing/BlockDefinitions.h"
#include "support/HostFixture.h"
#include "support/HostDrawing.h"

namespace {

using qv::test::DrawingTest;
constexpr double kPi = std::numbers::pi;

class BlockReferenceTest : public DrawingTest {
  protected:
    // A block "ROOM-1" with origin `origin`, holding the rectangle (0,0)-(10,5) and an attribute
    // definition "AREA" at (1, 1).
    AcDbObjectId defineBlock(const AcGePoint3d& origin = AcGePoint3d::kOrigin) {
        auto* definition =
            new AcDbAttributeDefinition({1, 1, 0}, L"DEFAULT AREA", L"AREA", L"Enter Area");
        definition->setHeight(0.5);
        const AcDbObjectId id = qv::test::defineBlockOf(
            document(), L"ROOM-1", {qv::test::rectangle(0, 0, 10, 5), definition});
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTableRecord>(id, AcDb::kForWrite)->setOrigin(origin);
        return id;
    }

    // A reference to `block` in model space with one attribute taken from the definition.
    AcDbObjectId insert(AcDbObjectId block, const AcGePoint3d& position, double rotation,
                        const AcGeScale3d& scale) {
        auto* ref = new AcDbBlockReference(position, block);
        ref->setRotation(rotation);
        ref->setScaleFactors(scale);
        auto* attribute = new AcDbAttribute;
        AcDbAttributeDefinition definition({1, 1, 0}, L"12.50", L"AREA", L"Enter Area");
        definition.setHeight(0.5);
        attribute->setAttributeFromBlock(&definition, ref->blockTransform());
        EXPECT_EQ(ref->appendAttribute(attribute), Acad::eOk);
        return addToModelSpace(ref);
    }
};

TEST_F(BlockReferenceTest, BlockTransformPlacesTheDefinition) {
    const AcDbObjectId block = defineBlock({10, 0, 0});
    const struct {
        const char* name;
        AcGePoint3d position;
        double rotation;
        AcGeScale3d scale;
        AcGeVector3d normal;
        AcGePoint3d expected;  // where the block point (10, 1, 0) goes
    } cases[] = {
        {"moved", {100, 50, 0}, 0.0, {1, 1, 1}, {0, 0, 1}, {100, 51, 0}},
        {"turned a quarter, scaled 2 by 3",
         {100, 50, 0},
         kPi / 2,
         {2, 3, 1},
         {0, 0, 1},
         {97, 50, 0}},
        {"mirrored in x", {0, 0, 0}, 0.0, {-1, 1, 1}, {0, 0, 1}, {0, 1, 0}},
        {"upside down", {0, 0, 0}, 0.0, {1, 1, 1}, {0, 0, -1}, {0, 1, 0}},
    };
    for (const auto& c : cases) {
        AcDbBlockReference ref(c.position, block);
        ref.setRotation(c.rotation);
        ref.setScaleFactors(c.scale);
        ref.setNormal(c.normal);
        const AcGeMatrix3d m = ref.blockTransform();
        EXPECT_TRUE((m * AcGePoint3d(10, 1, 0)).isEqualTo(c.expected, AcGeTol())) << c.name;
        // The transform read back gives the same placement.
        AcDbBlockReference copy(AcGePoint3d::kOrigin, block);
        ASSERT_EQ(copy.setBlockTransform(m), Acad::eOk) << c.name;
        EXPECT_TRUE(copy.blockTransform().isEqualTo(m)) << c.name;
        EXPECT_TRUE(copy.position().isEqualTo(c.position)) << c.name;
    }
    AcDbBlockReference slanted(AcGePoint3d::kOrigin, block);
    AcGeMatrix3d shear;
    shear(0, 1) = 0.5;
    EXPECT_EQ(slanted.setBlockTransform(shear), Acad::eCannotScaleNonUniformly);
    EXPECT_EQ(slanted.setScaleFactors(AcGeScale3d(0, 1, 1)), Acad::eInvalidInput);
}

TEST_F(BlockReferenceTest, AttributesComeWithTheReference) {
    const AcDbObjectId block = defineBlock();
    const AcDbObjectId ref = insert(block, {100, 0, 0}, 0.0, AcGeScale3d(2.0));
    AcDbBlockReference* reference = nullptr;
    WriteLock lock(document());
    ASSERT_EQ(acdbOpenObject(reference, ref, AcDb::kForWrite), Acad::eOk);
    AcDbObjectIterator* it = reference->attributeIterator();
    ASSERT_FALSE(it->done());
    AcDbAttribute* attribute = nullptr;
    ASSERT_EQ(reference->openAttribute(attribute, it->objectId(), AcDb::kForRead), Acad::eOk);
    EXPECT_STREQ(attribute->tagConst(), L"AREA");
    EXPECT_STREQ(attribute->textStringConst(), L"12.50");
    EXPECT_EQ(attribute->ownerId(), ref);
    EXPECT_TRUE(attribute->position().isEqualTo({102, 2, 0}));
    EXPECT_DOUBLE_EQ(attribute->height(), 1.0);
    EXPECT_EQ(attribute->layerId(), db()->clayer());
    attribute->close();
    it->step();
    EXPECT_TRUE(it->done());
    delete it;

    // Turning the reference carries its attribute.
    EXPECT_EQ(reference->transformBy(AcGeMatrix3d::rotation(kPi / 2, {0, 0, 1})), Acad::eOk);
    EXPECT_TRUE(reference->position().isEqualTo({0, 100, 0}));
    EXPECT_NEAR(reference->rotation(), kPi / 2, 1e-12);
    const AcDbObjectId attributeId = reference->qvAttributes().front();
    reference->close();
    ASSERT_EQ(acdbOpenObject(attribute, attributeId, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(attribute->position().isEqualTo({-2, 102, 0}));
    EXPECT_NEAR(attribute->rotation(), kPi / 2, 1e-12);
    attribute->close();

    AcDbBlockTableRecord* definition = nullptr;
    acdbOpenObject(definition, block, AcDb::kForRead);
    EXPECT_TRUE(definition->hasAttributeDefinitions());
    AcDbObjectIdArray refs;
    definition->getBlockReferenceIds(refs);
    definition->close();
    ASSERT_EQ(refs.length(), 1);
    EXPECT_EQ(refs[0], ref);
}

// The attributes of a reference count where they stand; those of a reference inside another
// block are carried with the outer reference. The attribute "12.50" (height 1) is 3 wide.
TEST_F(BlockReferenceTest, ExtentsTakeTheAttributesWhereTheyStand) {
    const AcDbObjectId block = defineBlock();
    const AcDbObjectId ref = insert(block, {100, 0, 0}, 0.0, AcGeScale3d(2.0));
    WriteLock lock(document());
    AcDbBlockReference* reference = nullptr;
    ASSERT_EQ(acdbOpenObject(reference, ref, AcDb::kForWrite), Acad::eOk);
    AcDbAttribute* attribute = nullptr;
    ASSERT_EQ(reference->openAttribute(attribute, reference->qvAttributes().front(),
                                       AcDb::kForWrite),
              Acad::eOk);
    attribute->setPosition({130, 20, 0});  // outside the outline (100, 0)-(120, 10)
    attribute->close();
    AcDbExtents box;
    ASSERT_EQ(reference->getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(box.minPoint().isEqualTo({100, 0, 0}, AcGeTol())) << "the outline";
    EXPECT_TRUE(box.maxPoint().isEqualTo({133, 21, 0}, AcGeTol())) << "the attribute";

    // The reference moved into a block "OUTER", placed at (1000, 0) turned a quarter.
    AcDbBlockTable* blocks = nullptr;
    db()->getBlockTable(blocks, AcDb::kForWrite);
    auto* outer = new AcDbBlockTableRecord;
    outer->setName(L"OUTER");
    AcDbObjectId outerId;
    ASSERT_EQ(blocks->add(outerId, outer), Acad::eOk);
    blocks->close();
    AcDbObjectIdArray moved;
    moved.append(ref);
    EXPECT_EQ(outer->assumeOwnershipOf(moved), Acad::eOk);
    outer->close();
    reference->close();
    AcDbBlockReference placed({1000, 0, 0}, outerId);
    placed.setRotation(kPi / 2);
    ASSERT_EQ(placed.getGeomExtents(box), Acad::eOk);
    // (x, y) turns to (-y, x): the outline to (990, 100)-(1000, 120), the attribute's box
    // (130, 20)-(133, 21) to (979, 130)-(980, 133).
    EXPECT_TRUE(box.minPoint().isEqualTo({979, 100, 0}, AcGeTol()));
    EXPECT_TRUE(box.maxPoint().isEqualTo({1000, 133, 0}, AcGeTol()));
}

// A constant attribute definition has no attribute in the references: each reference shows it
// itself, in its extents and to a crossing selection, wherever it stands.
TEST_F(BlockReferenceTest, ConstantAttributeDefinitionsAreShownByEveryReference) {
    const AcDbObjectId block = defineBlock();
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTableRecord> record(block, AcDb::kForWrite);
        for (const bool constant : {true, false}) {
            auto* title = new AcDbAttributeDefinition({0, constant ? 20.0 : 40.0, 0}, L"Plan",
                                                      constant ? L"TITLE" : L"NOTE", L"");
            title->setHeight(2.0);
            title->setConstant(constant);
            ASSERT_EQ(record->appendAcDbEntity(title), Acad::eOk);
            title->close();
        }
    }
    const AcDbObjectId first = insert(block, {100, 0, 0}, 0.0, AcGeScale3d(1, 1, 1));
    const AcDbObjectId second = insert(block, {300, 0, 0}, kPi, AcGeScale3d(1, 1, 1));
    const struct {
        AcDbObjectId reference;
        double top, bottom;  // of the box in y
    } cases[] = {{first, 22.0, 0.0}, {second, 0.0, -22.0}};
    for (const auto& c : cases) {
        AcDbObjectPointer<AcDbBlockReference> ref(c.reference, AcDb::kForRead);
        AcDbExtents box;
        ASSERT_EQ(ref->getGeomExtents(box), Acad::eOk);
        EXPECT_NEAR(c.top, box.maxPoint().y, 1e-9);  // the non-constant one at 40 is not shown
        EXPECT_NEAR(c.bottom, box.minPoint().y, 1e-9);
    }
    // A crossing window over the first reference's title only.
    ads_point from = {100.5, 20.5, 0}, to = {101.5, 21.5, 0};
    ads_name set;
    ASSERT_EQ(RTNORM, acedSSGet(L"C", from, to, nullptr, set));
    Adesk::Int32 length = 0;
    acedSSLength(set, &length);
    ASSERT_EQ(1, length);
    ads_name member;
    acedSSName(set, 0, member);
    AcDbObjectId picked;
    acdbGetObjectId(picked, member);
    EXPECT_EQ(first, picked);
    acedSSFree(set);
}

TEST_F(BlockReferenceTest, DeepCloneCopiesIntoAnotherBlock) {
    const AcDbObjectId block = defineBlock();
    AcDbObjectIdArray entities;
    {
        AcDbBlockTableRecord* definition = nullptr;
        acdbOpenObject(definition, block, AcDb::kForRead);
        for (const AcDbObjectId& id : definition->qvEntities()) {
            entities.append(id);
        }
        definition->close();
    }
    WriteLock lock(document());
    AcDbIdMapping mapping;
    ASSERT_EQ(db()->deepCloneObjects(entities, db()->modelSpaceId(), mapping), Acad::eOk);
    AcDbIdMappingIter it(mapping);
    int clones = 0;
    for (it.start(); !it.done(); it.next()) {
        AcDbIdPair pair;
        it.getMap(pair);
        EXPECT_TRUE(pair.isCloned());
        AcDbEntity* copy = nullptr;
        ASSERT_EQ(acdbOpenAcDbEntity(copy, pair.value(), AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(copy->blockId(), db()->modelSpaceId());
        EXPECT_EQ(copy->isA(), pair.key().objectClass());
        copy->close();
        ++clones;
    }
    EXPECT_EQ(clones, 2);
}

// An array insert is a block reference of its own class; a reference to an anonymous block made
// from a dynamic definition knows that definition, and any other reference is its own block.
TEST_F(BlockReferenceTest, ArrayInsertsAndDynamicBlocksAreTheirOwnKinds) {
    const AcDbObjectId room = defineBlock();
    const AcDbObjectId array =
        addToModelSpace(new AcDbMInsertBlock({0, 0, 0}, room, 3, 2, 12.0, 7.0));
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(array, AcDb::kForWrite);
        ASSERT_EQ(ref.openStatus(), Acad::eOk);
        EXPECT_STREQ(ref->isA()->name(), L"AcDbMInsertBlock");
        auto* grid = AcDbMInsertBlock::cast(ref.object());
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->setRows(0), Acad::eInvalidInput);
        EXPECT_EQ(grid->rows(), 2);
        EXPECT_EQ(grid->columns(), 3);
    }

    // "*U1" made from ROOM-1, "*U2" an anonymous block of no dynamic definition.
    AcDbObjectId made, plain;
    {
        WriteLock lock(document());
        ASSERT_EQ(acdbRegApp(L"AcDbBlockRepBTag"), RTNORM);
        AcDbObjectPointer<AcDbBlockTable> blocks(db()->blockTableId(), AcDb::kForWrite);
        for (const auto& [name, id] : {std::pair(L"*U1", &made), std::pair(L"*U2", &plain)}) {
            auto* record = new AcDbBlockTableRecord;
            ASSERT_EQ(record->setName(name), Acad::eOk);
            ASSERT_EQ(blocks->add(*id, record), Acad::eOk);
            if (id == &made) {
                wchar_t handle[32];
                room.handle().getIntoAsciiBuffer(handle, 32);
                resbuf* tag = acutBuildList(1001, L"AcDbBlockRepBTag", 1070, 1, 1005, handle, 0);
                EXPECT_EQ(record->setXData(tag), Acad::eOk);
                acutRelRb(tag);
            }
            record->close();
        }
    }
    const AcDbObjectId dynamic = addToModelSpace(new AcDbBlockReference({0, 0, 0}, made));
    const AcDbObjectId anonymous = addToModelSpace(new AcDbBlockReference({0, 0, 0}, plain));
    const AcDbObjectId direct = addToModelSpace(new AcDbBlockReference({0, 0, 0}, room));
    const struct {
        const char* name;
        AcDbObjectId reference;
        bool isDynamic;
        AcDbObjectId definition, anonymousBlock;
    } cases[] = {
        {"made from a dynamic definition", dynamic, true, room, made},
        {"anonymous of no definition", anonymous, false, plain, AcDbObjectId::kNull},
        {"plain reference", direct, false, room, AcDbObjectId::kNull},
        {"array insert", array, false, room, AcDbObjectId::kNull},
    };
    for (const auto& c : cases) {
        const AcDbDynBlockReference look(c.reference);
        EXPECT_EQ(look.isDynamicBlock(), c.isDynamic) << c.name;
        EXPECT_EQ(look.dynamicBlockTableRecord(), c.definition) << c.name;
        EXPECT_EQ(look.anonymousBlockTableRecord(), c.anonymousBlock) << c.name;
    }
}

}  // namespace
