#include <gtest/gtest.h>

#include <numbers>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class EntityTest : public DrawingTest {};

TEST_F(EntityTest, AppendingGivesTheDrawingsDefaults) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId plain = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    auto* placed = new AcDbLine({0, 0, 0}, {1, 0, 0});
    ASSERT_EQ(placed->setLayer(L"walls"), Acad::eOk) << "new entities resolve names in the "
                                                        "working drawing";
    const AcDbObjectId onWalls = addToModelSpace(placed);

    AcDbEntity* e = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(e, plain, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(e->layerId(), db()->clayer());
    EXPECT_EQ(e->linetypeId(), db()->byLayerLinetype());
    EXPECT_TRUE(e->color().isByLayer());
    EXPECT_EQ(e->lineWeight(), AcDb::kLnWtByLayer);
    EXPECT_EQ(e->blockId(), db()->modelSpaceId());
    e->close();
    ASSERT_EQ(acdbOpenAcDbEntity(e, onWalls, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(e->layerId(), walls);
    ACHAR* name = e->layer();
    EXPECT_STREQ(name, L"Walls");
    acutDelString(name);
    EXPECT_EQ(name, nullptr);
    e->close();
}

TEST_F(EntityTest, PropertiesRefuseWhatIsNoValue) {
    AcDbLine line({0, 0, 0}, {1, 0, 0});
    const struct {
        const char* name;
        Acad::ErrorStatus actual;
        Acad::ErrorStatus expected;
    } cases[] = {
        {"missing layer", line.setLayer(L"Missing"), Acad::eKeyNotFound},
        {"missing linetype", line.setLinetype(L"DASHED"), Acad::eKeyNotFound},
        {"colour index 300", line.setColorIndex(300), Acad::eInvalidInput},
        {"colour index 1", line.setColorIndex(1), Acad::eOk},
        {"line weight 42", line.setLineWeight(static_cast<AcDb::LineWeight>(42)),
         Acad::eInvalidInput},
        {"line weight 100", line.setLineWeight(AcDb::kLnWt100), Acad::eOk},
        {"linetype scale 0", line.setLinetypeScale(0.0), Acad::eInvalidInput},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.name;
    }
    EXPECT_EQ(line.colorIndex(), 1);
    EXPECT_EQ(line.lineWeight(), AcDb::kLnWt100);
}

TEST_F(EntityTest, AFailedAppendLeavesTheEntityWithItsCreator) {
    WriteLock lock(document());
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite);
    auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
    qv::host::failNextAdditions(1, Acad::eOutOfMemory);
    AcDbObjectId id;
    EXPECT_EQ(space->appendAcDbEntity(id, line), Acad::eOutOfMemory);
    EXPECT_TRUE(id.isNull());
    EXPECT_TRUE(line->objectId().isNull());
    EXPECT_EQ(space->appendAcDbEntity(id, line), Acad::eOk) << "only the next addition fails";
    EXPECT_EQ(space->appendAcDbEntity(id, line), Acad::eAlreadyInDb);
    line->close();
    space->close();
}

TEST_F(EntityTest, BlocksTakeOverEntities) {
    const AcDbObjectId a = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    const AcDbObjectId b = addToModelSpace(new AcDbCircle({0, 0, 0}, {0, 0, 1}, 1));
    WriteLock lock(document());
    AcDbBlockTable* blocks = nullptr;
    db()->getBlockTable(blocks, AcDb::kForWrite);
    auto* block = new AcDbBlockTableRecord;
    block->setName(L"ROOM-7");
    ASSERT_EQ(blocks->add(block), Acad::eOk);
    blocks->close();
    AcDbObjectIdArray moved;
    moved.append(a);
    EXPECT_EQ(block->assumeOwnershipOf(moved), Acad::eOk);
    AcDbObjectIdArray notEntities;
    notEntities.append(db()->clayer());
    EXPECT_EQ(block->assumeOwnershipOf(notEntities), Acad::eNotAnEntity);
    EXPECT_EQ(block->qvEntities(), std::vector<AcDbObjectId>{a});
    const AcDbObjectId blockId = block->objectId();
    block->close();
    AcDbEntity* e = nullptr;
    acdbOpenAcDbEntity(e, a, AcDb::kForRead);
    EXPECT_EQ(e->blockId(), blockId);
    e->close();
    EXPECT_EQ(qv::host::drawOrder(db()->modelSpaceId()).length(), 1);
    EXPECT_EQ(qv::host::drawOrder(db()->modelSpaceId())[0], b);
    AcDbEntity* notEntity = nullptr;
    EXPECT_EQ(acdbOpenAcDbEntity(notEntity, db()->clayer(), AcDb::kForRead), Acad::eNotAnEntity);
    EXPECT_EQ(notEntity, nullptr);
}

TEST_F(EntityTest, TextsTurnAndScaleWithTheirPlane) {
    AcDbText text({10, 0, 0}, L"ROOM", AcDbObjectId::kNull, 2.0, 0.0);
    AcDbExtents box;
    ASSERT_EQ(text.getGeomExtents(box), Acad::eOk);
    EXPECT_TRUE(box.minPoint().isEqualTo({10, 0, 0}));
    EXPECT_TRUE(box.maxPoint().isEqualTo({10 + 4 * 0.6 * 2.0, 2, 0}));
    const AcGeMatrix3d m = AcGeMatrix3d::rotation(std::numbers::pi / 2, {0, 0, 1}) *
                           AcGeMatrix3d::scaling(AcGeScale3d(3, 2, 1));
    ASSERT_EQ(text.transformBy(m), Acad::eOk);
    EXPECT_TRUE(text.position().isEqualTo({0, 30, 0}));
    EXPECT_NEAR(text.rotation(), std::numbers::pi / 2, 1e-12);
    EXPECT_DOUBLE_EQ(text.height(), 4.0);
    EXPECT_DOUBLE_EQ(text.widthFactor(), 1.5);
    EXPECT_EQ(text.setHeight(0.0), Acad::eInvalidInput);
}

}  // namespace
