// The asset finder: the furniture block references inside a room's boundary, found when a room
// is read from the drawing with its assets.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>

#include "AssetFixture.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "core/OrvanExceptions.h"
#include "host/db/HostFaults.h"
#include "support/FaultSweep.h"
#include "support/Raised.h"

namespace {

using qv::test::AssetTest;

class AssetFinderTest : public AssetTest {
  protected:
    // The room of that reference read back with its assets.
    std::unique_ptr<CBlockDWGRoom> readRoom(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        EXPECT_EQ(ref.openStatus(), Acad::eOk);
        return std::make_unique<CBlockDWGRoom>(ref.object(), document(), 1);
    }

    // "name@x,y" of each asset, joined by ";".
    static std::wstring found(const CAssets* assets) {
        std::wstring out;
        if (assets == nullptr)
            return L"(no list)";
        for (int i = 0; i < assets->getCount(); i++) {
            const CAsset* a = assets->getAt(i);
            wchar_t at[64];
            swprintf(at, 64, L"@%g,%g", a->getPointX(), a->getPointY());
            out += (out.empty() ? L"" : L";") + std::wstring(a->getBlockIdentifier()) + at;
        }
        return out;
    }
};

// The room (0,0)-(100,50) with, in creation order: a chair inside, an anonymous face of a
// dynamic desk, a cabinet across the outline, another space block inside, an array insert of
// chairs, an anonymous block of no dynamic block, and a chair outside.
TEST_F(AssetFinderTest, RoomFindsTheAssetsInsideItsOutline) {
    const AcDbObjectId roomId = room(L"ROOM-1", 0, 0, 100, 50);
    const AcDbObjectId chairBlock = defineBlock(L"CHAIR", 0, 0, 2, 2, true);
    const AcDbObjectId deskBlock = defineBlock(L"DESK", 0, 0, 6, 3);
    const AcDbObjectId face = defineDynamicFace(deskBlock, 0, 0, 6, 3);
    const AcDbObjectId cabinetBlock = defineBlock(L"CABINET", 0, 0, 10, 4);
    const AcDbObjectId chair = insert(chairBlock, {10, 10, 0}, L"CH-1");
    const AcDbObjectId desk = insert(face, {30, 20, 0});
    const AcDbObjectId cabinet = insert(cabinetBlock, {95, 20, 0});
    room(L"ROOM-2", 40, 5, 10, 10);
    addToModelSpace(new AcDbMInsertBlock({60, 30, 0}, chairBlock, 2, 2, 3.0, 3.0));
    const AcDbObjectId plainFace = defineBlock(L"*U8", 0, 0, 1, 1);
    insert(plainFace, {70, 10, 0});
    insert(chairBlock, {200, 200, 0}, L"CH-2");

    std::unique_ptr<CBlockDWGRoom> block = readRoom(roomId);
    CAssets* assets = block->getAssets();
    EXPECT_EQ(found(assets), L"CHAIR@10,10;DESK@30,20;CABINET@95,20");
    ASSERT_EQ(assets->getCount(), 3);
    const AcDbObjectId ids[] = {chair, desk, cabinet};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(assets->getAt(i)->getObjectId(), ids[i]);
        EXPECT_EQ(std::wstring(assets->getAt(i)->getHandle()), handleText(ids[i]));
    }
    ASSERT_EQ(assets->getAt(0)->getAttributes()->getCount(), 1);
    EXPECT_EQ(assets->getAt(0)->getAttributes()->getAt(0)->getValue(), L"CH-1");
    EXPECT_EQ(assets->getAt(1)->getAttributes()->getCount(), 0);
}

// The outline follows the room reference wherever it is put: moved, turned and scaled.
TEST_F(AssetFinderTest, TheOutlineFollowsTheRoomReference) {
    const AcDbObjectId roomId = room(L"ROOM-1", 0, 0, 20, 10);
    const AcDbObjectId chairBlock = defineBlock(L"CHAIR", 0, 0, 1, 1);
    insert(chairBlock, {5, 5, 0});     // inside where the room was drawn
    insert(chairBlock, {-5, 15, 0});   // inside after a quarter turn about the origin
    insert(chairBlock, {-18, 35, 0});  // inside only when the turned room is also doubled
    const struct {
        const char* what;
        double rotation, scale;
        const wchar_t* expected;
    } cases[] = {
        {"as drawn", 0.0, 1.0, L"CHAIR@5,5"},
        {"a quarter turn", std::numbers::pi / 2, 1.0, L"CHAIR@-5,15"},
        {"a quarter turn, doubled", std::numbers::pi / 2, 2.0, L"CHAIR@-5,15;CHAIR@-18,35"},
    };
    for (const auto& c : cases) {
        {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbBlockReference> ref(roomId, AcDb::kForWrite);
            ASSERT_EQ(ref.openStatus(), Acad::eOk);
            ref->setRotation(c.rotation);
            ref->setScaleFactors(AcGeScale3d(c.scale, c.scale, 1.0));
        }
        EXPECT_EQ(found(readRoom(roomId)->getAssets()), c.expected) << c.what;
    }
}

// Points are given in the current user coordinate system.
TEST_F(AssetFinderTest, PointsAreInTheCurrentUcs) {
    const AcDbObjectId roomId = room(L"ROOM-1", 0, 0, 20, 10);
    insert(defineBlock(L"CHAIR", 0, 0, 1, 1), {5, 5, 0});
    AcGeMatrix3d ucs;
    ucs.setToTranslation(AcGeVector3d(100, 0, 0));
    ASSERT_EQ(acedSetCurrentUCS(ucs), Acad::eOk);
    EXPECT_EQ(found(readRoom(roomId)->getAssets()), L"CHAIR@-95,5");
}

TEST_F(AssetFinderTest, RoomsWithoutAssetsOrOutline) {
    const AcDbObjectId roomId = room(L"ROOM-1", 0, 0, 20, 10);
    // Without the flag no list is made; with it an empty room has an empty list.
    {
        AcDbObjectPointer<AcDbBlockReference> ref(roomId, AcDb::kForRead);
        CBlockDWGRoom plain(ref.object(), document());
        EXPECT_EQ(plain.getAssets(), nullptr);
        EXPECT_EQ(plain.getBlockType(), 7);
    }
    EXPECT_EQ(found(readRoom(roomId)->getAssets()), L"");

    // A boundary without vertices selects nothing.
    CAssets assets;
    AcDbPolyline empty;
    ads_name set;
    EXPECT_EQ(assets.getPolylineAssets_SS(AcGePoint3d(0, 0, 0), &empty, set), 0);
    assets.getPolylineAssets(AcGePoint3d(0, 0, 0), &empty);
    EXPECT_EQ(assets.getCount(), 0);
}

// Repeated vertices are left out of the selection polygon, and an exclusion list keeps block
// names out.
TEST_F(AssetFinderTest, RepeatedVerticesAndExcludedNames) {
    insert(defineBlock(L"CHAIR", 0, 0, 1, 1), {5, 5, 0});
    insert(defineBlock(L"BIN", 0, 0, 1, 1), {8, 5, 0});
    AcDbPolyline outline;
    for (const AcGePoint2d& p : {AcGePoint2d(0, 0), AcGePoint2d(0, 0), AcGePoint2d(20, 0),
                                 AcGePoint2d(20, 10), AcGePoint2d(20, 10), AcGePoint2d(0, 10)})
        outline.addVertexAt(outline.numVerts(), p);
    outline.setClosed(true);
    {
        CAssets assets;
        assets.getPolylineAssets(AcGePoint3d(0, 0, 0), &outline);
        EXPECT_EQ(found(&assets), L"CHAIR@5,5;BIN@8,5");
    }
    assetExclusionList = L",CHAIRS,";
    CAssets assets;
    assets.getPolylineAssets(AcGePoint3d(0, 0, 0), &outline);
    assetExclusionList = L"";
    EXPECT_EQ(found(&assets), L"BIN@8,5");
}

// Whatever host call fails, the room constructor gives back every object it opened and the
// selection set, and reports the failure as an error.
TEST_F(AssetFinderTest, RoomWithAssetsGivesBackEverythingOnEveryFault) {
    const AcDbObjectId roomId = room(L"ROOM-1", 0, 0, 100, 50);
    insert(defineBlock(L"CHAIR", 0, 0, 2, 2, true), {10, 10, 0}, L"CH-1");
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults([&] {
        // The test's own open of the room may fail too: that is not the constructor's.
        std::optional<AcDbObjectPointer<AcDbBlockReference>> ref;
        try {
            ref.emplace(roomId, AcDb::kForRead);
        } catch (...) {
            return;
        }
        if (ref->openStatus() != Acad::eOk)
            return;
        try {
            CBlockDWGRoom block(ref->object(), document(), 1);
        } catch (CEXOrvan* e) {
            e->deleteChain();
        }
    });
    EXPECT_TRUE(sweep.clean()) << sweep.report();
}

// The attributes of the references inside a boundary are hidden and recorded, and shown again
// from the record; references outside keep theirs.
TEST_F(AssetFinderTest, AttributesInsideTheBoundaryAreHiddenAndShownAgain) {
    const AcDbObjectId chairBlock = defineBlock(L"CHAIR", 0, 0, 2, 2, true);
    const AcDbObjectId inside = insert(chairBlock, {5, 5, 0}, L"IN");
    const AcDbObjectId outside = insert(chairBlock, {50, 5, 0}, L"OUT");
    AcDbPolyline outline;
    for (const AcGePoint2d& p :
         {AcGePoint2d(0, 0), AcGePoint2d(20, 0), AcGePoint2d(20, 10), AcGePoint2d(0, 10)})
        outline.addVertexAt(outline.numVerts(), p);
    outline.setClosed(true);
    auto hidden = [&](AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
        AcDbObjectPointer<AcDbAttribute> attribute(it->objectId(), AcDb::kForRead);
        return attribute->isInvisible();
    };
    CAttributes record;
    {
        WriteLock lock(document());
        CAssets assets;
        assets.setPolylineAssetAttributesInvisible(AcGePoint3d(0, 0, 0), &outline, &record);
    }
    EXPECT_EQ(record.getCount(), 1);
    EXPECT_TRUE(hidden(inside));
    EXPECT_FALSE(hidden(outside));
    {
        WriteLock lock(document());
        record.setAttributesIDsVisible();
    }
    EXPECT_FALSE(hidden(inside));
}

}  // namespace
