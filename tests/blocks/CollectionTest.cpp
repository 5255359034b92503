// The space-block collection: finding the space blocks of a drawing and telling their kinds,
// ownership, look-ups, the order by handle, the XML form and the view around the walks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AssetFixture.h"
#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/Blocks.h"
#include "core/ErrorCapture.h"
#include "core/XMLUtilities.h"
#include "drawing/Hatch.h"
#include "support/FaultSweep.h"

namespace {

using qv::test::AssetTest;
using qv::test::spaceAttributes;
using qv::test::caught;

class CollectionTest : public AssetTest {
  protected:
    // A space block "blockName" around a 10 x 10 square at (x, 0), its NAME attribute `name`.
    AcDbObjectId space(const wchar_t* blockName, const wchar_t* name, double x) {
        CBlockDWG block;
        block.setAttributes(spaceAttributes(name, L"1.00", L""));
        EXPECT_EQ(create(block, addRectangle(x, 0, 10, 10), blockName), Acad::eOk);
        return block.getObjectId();
    }

    static std::vector<int> typesOf(const CBlocks& blocks) {
        std::vector<int> types;
        for (int i = 0; i < blocks.getCount(); i++)
            types.push_back(blocks.getAt(i)->getBlockType());
        return types;
    }
    static std::vector<std::wstring> namesOf(const CBlocks& blocks) {
        std::vector<std::wstring> names;
        for (int i = 0; i < blocks.getCount(); i++)
            names.push_back(std::wstring(blocks.getAt(i)->getName()));
        return names;
    }

    // Four space blocks: the gross area, a numbered room, a room named "GROSS AREA" in its
    // extended data, one named "Gross Area"; and a plain block reference "CHAIR".
    void drawPlan() {
        space(L"ROOM-GROSS_AREA", L"Floor 1", 0);
        space(L"ROOM-1", L"Office", 20);
        space(L"ROOM-2", L"GROSS AREA", 40);
        space(L"ROOM-3", L"Gross Area", 60);
        space(L"CHAIR", L"Chair", 80);
    }
};

TEST_F(CollectionTest, TheLevelLetterAndTheGrossAreaDecideTheKind) {
    drawPlan();
    struct Case {
        bool walk;  // the model-space walk rather than the selection
        const wchar_t* level;
        std::vector<int> types;
    };
    const Case cases[] = {
        {false, L"f", {8, 7, 8, 7}},     {false, L"s", {10, 9, 10, 9}},
        {false, L"F", {10, 9, 10, 9}},  // the letter is compared exactly
        {true, L"f", {8, 7, 8, 7, 7}},  // the walk takes every reference: CHAIR is a room
        {true, L"b", {10, 9, 10, 9, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.walk ? "walk " : "selection ") << c.level);
        CBlocks blocks;
        if (c.walk)
            blocks.getOrvanDWGBlocks_I(&drawing, false, c.level);
        else
            blocks.getOrvanDWGBlocks_SS(&drawing, false, c.level);
        EXPECT_EQ(typesOf(blocks), c.types);
        EXPECT_FALSE(drawing.isLocked());
    }
    CBlocks blocks;
    blocks.getOrvanDWGBlocks_SS(&drawing, false, L"f");
    EXPECT_EQ(namesOf(blocks),
              (std::vector<std::wstring>{L"Floor 1", L"Office", L"GROSS AREA", L"Gross Area"}));
    blocks.getOrvanDWGBlocks_SS(&drawing, false, L"f");
    EXPECT_EQ(blocks.getCount(), 8);  // filling again appends
}

TEST_F(CollectionTest, RoomsGatherTheFurnitureInsideThemWhenAsked) {
    space(L"ROOM-GROSS_AREA", L"Floor", -5);
    space(L"ROOM-1", L"Office", 20);
    const AcDbObjectId chair = defineBlock(L"CHAIR", 0, 0, 1, 1);
    insert(chair, {22, 2, 0});   // in the room
    insert(chair, {50, 50, 0});  // outside both

    CBlocks plain;
    plain.getOrvanDWGBlocks_SS(&drawing, false, L"f");
    ASSERT_EQ(plain.getCount(), 2);
    EXPECT_EQ(static_cast<CBlockDWG*>(plain.getAt(1))->getAssets(), nullptr);

    CBlocks furnished;
    furnished.getOrvanDWGBlocks_SS(&drawing, true, L"f");
    ASSERT_EQ(typesOf(furnished), (std::vector<int>{8, 7}));
    EXPECT_EQ(static_cast<CBlockDWG*>(furnished.getAt(0))->getAssets(), nullptr);  // a floor
    CAssets* assets = static_cast<CBlockDWG*>(furnished.getAt(1))->getAssets();
    ASSERT_NE(assets, nullptr);
    ASSERT_EQ(assets->getCount(), 1);
    EXPECT_EQ(assets->getAt(0)->getBlockIdentifier(), L"CHAIR");

    // Whatever host call fails, the walk gives back the view and the lock.
    auto& views = document()->qvViews();
    const qv::host::View before = views.current();
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(
        [&] {
            CBlocks blocks;
            caught([&] { blocks.getOrvanDWGBlocks_SS(&drawing, true, L"f"); });
        },
        {.setUp = nullptr, .check = [&]() -> std::string {
             if (drawing.isLocked())
                 return "the wrapper still counts a lock";
             if (!(views.current() == before))
                 return "the view was not zoomed back";
             return "";
         }});
    EXPECT_TRUE(sweep.clean()) << sweep.report();
}

TEST_F(CollectionTest, MarkersAreNoSpaceBlocks) {
    space(L"ROOM-1", L"Office", 0);
    space(L"MARKER-LEGEND", L"", 20);
    space(L"MARKER-PIECHART", L"", 40);
    CBlocks walked;
    walked.getOrvanDWGBlocks_I(&drawing, false, L"f");
    EXPECT_EQ(typesOf(walked), std::vector<int>{7});
    CBlocks all;
    all.getAcadBlocks(&drawing);
    EXPECT_EQ(typesOf(all), (std::vector<int>{6, 6, 6}));
}

TEST_F(CollectionTest, TheWalksGiveBackViewAndLock) {
    drawPlan();
    auto& views = document()->qvViews();
    const qv::host::View before = views.current();
    {
        // A caller that holds the lock keeps it; the walk gives back only its own level.
        ASSERT_EQ(drawing.lock(), 0);
        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(&drawing, false, L"f");
        EXPECT_EQ(blocks.getCount(), 4);
        EXPECT_TRUE(drawing.isLocked());
        drawing.unlock(0);
    }
    EXPECT_EQ(views.current(), before);
    EXPECT_FALSE(drawing.isLocked());

    // A refused lock reads as an empty drawing.
    acDocManager->qvRefuseLocks(2);
    CBlocks refused;
    refused.getOrvanDWGBlocks_SS(&drawing, false, L"f");
    refused.getAcadBlocks(&drawing);
    EXPECT_EQ(refused.getCount(), 0);
    EXPECT_EQ(views.current(), before);
}

TEST_F(CollectionTest, ExtendedDataNamesAreReadFromTheFirstApplication) {
    const AcDbObjectId id = space(L"ROOM-1", L"Office", 0);
    struct Case {
        const wchar_t* ade;  // NAME string under "ADE" (null: no record)
        const wchar_t* aec;  // under "AECXDATA"
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"NAME=GROSS AREA", nullptr, L"GROSS AREA"},
        {nullptr, L"NAME=Hall", L"Hall"},
        {L"NAME=Lobby", L"NAME=Hall", L"Lobby"},
        {L"name=Lobby", nullptr, L""},
        {nullptr, nullptr, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.ade ? c.ade : L"-") << " " << (c.aec ? c.aec : L"-"));
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForWrite);
        ASSERT_EQ(entity.openStatus(), Acad::eOk);
        for (const wchar_t* app : {L"ADE", L"AECXDATA"}) {
            acdbRegApp(app);
            const wchar_t* value = app[0] == L'A' && app[1] == L'D' ? c.ade : c.aec;
            resbuf* list = value != nullptr ? acutBuildList(1001, app, 1000, L"AREA=1.00sq.m.",
                                                            1000, value, RTNONE)
                                            : acutBuildList(1001, app, RTNONE);
            ASSERT_EQ(entity->setXData(list), Acad::eOk);
            acutRelRb(list);
        }
        EXPECT_EQ(std::wstring(CBlocks::readNameFromXData(entity.object())), c.expected);
    }
}

// Blocks with given handles and codes, appended in order.
void fill(CBlocks& blocks, std::initializer_list<const wchar_t*> handles) {
    int i = 0;
    for (const wchar_t* handle : handles) {
        auto* block = new CBlockDWG;
        block->setHandleFromString(handle);
        block->setCode(CString(L"C") + std::to_wstring(i++).c_str());
        blocks.addBlock(block);
    }
}

std::vector<std::wstring> codesOf(const CBlocks& blocks) {
    std::vector<std::wstring> codes;
    for (int i = 0; i < blocks.getCount(); i++)
        codes.push_back(std::wstring(blocks.getAt(i)->getCode()));
    return codes;
}

TEST(CollectionOrder, SortedByTheWholeHandleKeepingEqualHandlesInOrder) {
    struct Case {
        std::initializer_list<const wchar_t*> handles;
        bool ascending;
        std::vector<std::wstring> codes;
    };
    const Case cases[] = {
        {{L"1A", L"B", L"1A"}, true, {L"C1", L"C0", L"C2"}},
        {{L"1A", L"B", L"1A"}, false, {L"C0", L"C2", L"C1"}},
        // Above 31 bits: no sign, no collision of the low 32 bits.
        {{L"100000001", L"FFFFFFFF", L"1"}, true, {L"C2", L"C1", L"C0"}},
        {{L"80000000", L"7FFFFFFF"}, true, {L"C1", L"C0"}},
        {{L"0x10", L"F", L"zz"}, true, {L"C2", L"C1", L"C0"}},  // "0x" skipped, "zz" reads 0
        {{}, true, {}},
    };
    for (const Case& c : cases) {
        CBlocks blocks;
        fill(blocks, c.handles);
        blocks.sortBlocksByHandle(c.ascending);
        EXPECT_EQ(codesOf(blocks), c.codes);
        EXPECT_EQ(blocks.getCount(), static_cast<int>(c.codes.size()));
    }
}

TEST(CollectionOwnership, LookUpsAndReplacementsKeepTheListWhole) {
    CBlocks blocks;
    fill(blocks, {L"1A", L"2B"});
    EXPECT_EQ(blocks.getAt(CString(L"2B")), blocks.getAt(1));
    EXPECT_EQ(blocks.getAt(CString(L"2b")), nullptr);
    EXPECT_EQ(blocks.getByCode(L"C0"), blocks.getAt(0));
    EXPECT_EQ(blocks.getByCode(L"c0"), nullptr);

    for (int index : {-1, 2}) {
        auto error = caught([&] { blocks.getAt(index); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->getProcSig(), L"CBlocks::getAt");
    }
    // A bad index leaves the block with the caller; the same block changes nothing.
    auto spare = std::make_unique<CBlockDWGRoom>();
    EXPECT_TRUE(caught([&] { blocks.replaceAt(2, spare.get()); }));
    CBlock* first = blocks.getAt(0);
    blocks.replaceAt(0, first);
    EXPECT_EQ(blocks.getAt(0)->getCode(), L"C0");
    blocks.replaceAt(0, spare.release());  // the old block is destroyed (the sanitizer checks)
    EXPECT_EQ(blocks.getAt(0)->getBlockType(), 7);
    EXPECT_EQ(blocks.getCount(), 2);
    blocks.deleteObjects();
    EXPECT_EQ(blocks.getCount(), 0);
}

TEST(CollectionXml, OnlyOrvanBlockChildrenAreRead) {
    CXMLUtilities xml;
    MSXML2::IXMLDOMDocumentPtr document(__uuidof(MSXML2::DOMDocument60));
    ASSERT_EQ(document->loadXML(_bstr_t(
                  L"<orvanBlocks><!-- note --><other/><orvanBlock><mbHandle>2A</mbHandle>"
                  L"<mbName>Office</mbName></orvanBlock>text<orvanBlock><mbHandle>2B</mbHandle>"
                  L"</orvanBlock></orvanBlocks>")),
              VARIANT_TRUE);
    CHatch hatch;
    hatch.setPatternName(L"ANSI31");
    CBlocks blocks;
    blocks.deSerialize(document->GetdocumentElement(), &hatch);
    ASSERT_EQ(blocks.getCount(), 2);
    auto* first = dynamic_cast<CBlockDWG*>(blocks.getAt(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getBlockType(), 6);
    EXPECT_EQ(first->getName(), L"Office");
    ASSERT_NE(first->getHatch(), nullptr);
    EXPECT_NE(first->getHatch(), &hatch);
    EXPECT_EQ(first->getHatch()->getPatternName(), L"ANSI31");

    MSXML2::IXMLDOMNodePtr written = blocks.serialize(L"urn:test");
    EXPECT_EQ(CXMLUtilities::nameOf(written), L"orvanBlocks");
    CBlocks again;
    again.deSerialize(written, nullptr);
    ASSERT_EQ(again.getCount(), 2);
    EXPECT_EQ(again.getAt(1)->getHandle(), L"2B");
    EXPECT_EQ(dynamic_cast<CBlockDWG*>(again.getAt(1))->getHatch(), nullptr);
    EXPECT_EQ(CBlocks().serialize(L"")->GetchildNodes()->Getlength(), 0);
}

TEST_F(CollectionTest, ZoomingToTheBlocksTakesInEveryOutline) {
    space(L"ROOM-1", L"A", 0);
    space(L"ROOM-2", L"B", 40);
    CBlocks blocks;
    blocks.getOrvanDWGBlocks_SS(&drawing, false, L"f");
    blocks.zoomToBlocks(&drawing, 1.0);
    const qv::host::View view = document()->qvViews().current();
    EXPECT_NEAR(view.lowerLeft.x, -1.0, 1e-9);
    EXPECT_NEAR(view.lowerLeft.y, -1.0, 1e-9);
    EXPECT_NEAR(view.upperRight.x, 51.0, 1e-9);
    EXPECT_NEAR(view.upperRight.y, 11.0, 1e-9);
    EXPECT_FALSE(drawing.isLocked());

    // Nothing measured (no block opens): the view stays.
    CBlocks unknown;
    unknown.addBlock(new CBlockDWG);
    unknown.zoomToBlocks(&drawing, 0.0);
    EXPECT_EQ(document()->qvViews().current(), view);

    acDocManager->qvRefuseLocks(1);
    auto error = caught([&] { blocks.zoomToBlocks(&drawing, 0.0); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->getProcSig(), L"CBlocks::zoomToBlocks");
    ASSERT_NE(error->getInnerException(), nullptr);
    EXPECT_NE(error->getInnerException()->getDescription().Find(L"line#314"), -1);
}

}  // namespace
