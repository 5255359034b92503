#include <gtest/gtest.h>

#include <functional>

#include "drawing/Layer.h"
#include "drawing/LayerFixture.h"

namespace {

using qv::test::LayerDrawingTest;
using qv::test::LayerInDrawing;
using qv::test::parseXml;

class LayerTest : public LayerDrawingTest {};

TEST(LayerName, CleaningRemovesElevenCharactersAndNothingElse) {
    const struct {
        const wchar_t* name;
        const wchar_t* cleaned;
    } cases[] = {
        {L"A<B>C/D", L"ABCD"},
        {L"Floor:1|Walls", L"Floor:1|Walls"},
        {L"<>/\\\";?*,=`", L""},
        {L"W\u00e4nde;2", L"W\u00e4nde2"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CLayer::validateLayerName(c.name), CString(c.cleaned)) << c.name;
        CLayer layer;
        layer.setName(c.name);
        EXPECT_EQ(layer.getName(), CString(c.cleaned)) << c.name;
    }
}

TEST(LayerColour, AnIndexFromOneTo255OrATrueColourCanColourALayer) {
    auto index = [](Adesk::UInt16 i) {
        AcCmColor c;
        c.setColorIndex(i);
        return c;
    };
    AcCmColor trueColour, none, foreground;
    trueColour.setRGB(10, 20, 30);
    none.setNone();
    foreground.setForeground();
    const struct {
        const char* name;
        AcCmColor colour;
        bool layerColour;
    } cases[] = {
        {"index 1", index(1), true},       {"index 255", index(255), true},
        {"by block (0)", index(0), false}, {"by layer (256)", index(256), false},
        {"true colour", trueColour, true}, {"none", none, false},
        {"foreground", foreground, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CLayer::isLayerColour(c.colour), c.layerColour) << c.name;
    }
}

TEST_F(LayerTest, EverySetterButSetIdMarksTheRecordModified) {
    const struct {
        const char* name;
        std::function<void(CLayer&)> change;
        int modified;
    } cases[] = {
        {"nothing", [](CLayer&) {}, 0},
        {"id", [&](CLayer& l) { l.setId(db()->clayer()); }, 0},
        {"name", [](CLayer& l) { l.setName(L"X"); }, 1},
        {"colour", [](CLayer& l) { l.setColourIndex(0); }, 1},
        {"locked", [](CLayer& l) { l.setLocked(0); }, 1},
        {"plottable", [](CLayer& l) { l.setPlottable(1); }, 1},
        {"line weight", [](CLayer& l) { l.setLineWeight(0); }, 1},
    };
    for (const auto& c : cases) {
        CLayer layer;
        c.change(layer);
        EXPECT_EQ(layer.isModified(), c.modified) << c.name;
    }
}

TEST_F(LayerTest, OnlyAModifiedRecordReadsOrWritesTheDrawing) {
    makeLayer(L"WALLS", {true, 1, false, false, false, true, 25});
    CLayer layer;
    const int requests = acDocManager->qvLockRequests();
    layer.applyToDWG(drawing());
    EXPECT_EQ(layer.getDWGLayer(drawing(), L"WALLS"), 0);
    EXPECT_EQ(acDocManager->qvLockRequests(), requests) << "no lock for a record not modified";
    EXPECT_TRUE(layer.getId().isNull());

    layer.setName(L"walls");
    EXPECT_EQ(layer.getDWGLayer(drawing(), L"walls"), 1);
    EXPECT_EQ(layer.getName(), CString(L"WALLS"));
    EXPECT_EQ(layer.getLineWeight(), 25);
    EXPECT_EQ(layer.getColourIndex(), 1);
    EXPECT_FALSE(layer.getId().isNull());
    EXPECT_EQ(layer.getDWGLayer(drawing(), L"DOORS"), 0);

    layer.setOff(1);
    layer.applyToDWG(drawing());
    EXPECT_TRUE(layerInDrawing(L"WALLS").off);
    // The flag stays: the record writes again.
    {
        WriteLock lock(document());
        AcDbLayerTableRecord* record = nullptr;
        acdbOpenObject(record, layer.getId(), AcDb::kForWrite);
        record->setIsOff(false);
        record->close();
    }
    layer.applyToDWG(drawing());
    EXPECT_TRUE(layerInDrawing(L"WALLS").off);
}

TEST_F(LayerTest, ARecordReadFromTheDrawingHoldsItsLayerInUpperCaseAndWritesItBackUnchanged) {
    const LayerInDrawing properties{true, 30, false, true, true, false, 53};
    const AcDbObjectId id = makeLayer(L"Doors", properties);
    AcDbLayerTableRecord* record = nullptr;
    ASSERT_EQ(acdbOpenObject(record, id, AcDb::kForRead), Acad::eOk);
    CLayer layer(record);
    record->close();
    EXPECT_EQ(layer.getName(), CString(L"DOORS"));
    EXPECT_EQ(layer.getId(), id);
    EXPECT_EQ(layer.isModified(), 1);
    const struct {
        const char* name;
        int value, expected;
    } fields[] = {{"colour", layer.getColourIndex(), 30}, {"frozen", layer.isFrozen(), 0},
                  {"locked", layer.isLocked(), 1},        {"off", layer.isOff(), 1},
                  {"plottable", layer.isPlottable(), 0},  {"weight", layer.getLineWeight(), 53}};
    for (const auto& f : fields) {
        EXPECT_EQ(f.value, f.expected) << f.name;
    }
    layer.applyToDWG(drawing());
    EXPECT_EQ(layerInDrawing(L"Doors"), properties);
}

TEST_F(LayerTest, WritingAnExistingLayerChangesItsStatesButNeverItsColour) {
    const AcDbObjectId walls = makeLayer(L"WALLS", {true, 1, false, false, false, true, 0});
    const AcDbObjectId other = makeLayer(L"OTHER", {true, 2, false, false, false, true, 0});
    const struct {
        const char* name;
        AcDbObjectId heldId;
        AcDbObjectId idAfter;
    } cases[] = {{"without an id", AcDbObjectId(), walls}, {"with an id", other, other}};
    for (const auto& c : cases) {
        CLayer layer;
        layer.setName(L"walls");
        layer.setId(c.heldId);
        layer.setColourIndex(5);
        layer.setLocked(1);
        layer.setPlottable(0);
        layer.setLineWeight(35);
        layer.applyToDWG(drawing());
        EXPECT_EQ(layerInDrawing(L"WALLS"),
                  (LayerInDrawing{true, 1, false, true, false, false, 35}))
            << c.name;
        EXPECT_EQ(layer.getId(), c.idAfter) << c.name;
    }
}

TEST_F(LayerTest, WritingALayerTheDrawingLacksMakesItWithTheRecordsColourOrColourSeven) {
    const struct {
        const char* name;
        const wchar_t* layerName;
        int colour;  // -1: never set
        const wchar_t* lookup;
        LayerInDrawing expected;
    } cases[] = {
        {"colour set", L"HATCH-3", 3, L"HATCH-3", {true, 3, true, false, true, false, 18}},
        {"colour never set", L"NOCOLOUR", -1, L"NOCOLOUR", {true, 7, true, false, true, false, 18}},
        {"the last index",
         L"INDEX-255",
         255,
         L"INDEX-255",
         {true, 255, true, false, true, false, 18}},
        {"by block",
         L"BYBLOCK-COLOUR",
         0,
         L"BYBLOCK-COLOUR",
         {true, 7, true, false, true, false, 18}},
        {"cleaned to nothing", L"<*>", 4, L"", {}},
        {"a name the host refuses", L"A:B", 4, L"A:B", {}},
    };
    for (const auto& c : cases) {
        CLayer layer;
        layer.setName(c.layerName);
        if (c.colour >= 0)
            layer.setColourIndex(c.colour);
        layer.setFrozen(1);
        layer.setOff(1);
        layer.setPlottable(0);
        layer.setLineWeight(18);
        layer.applyToDWG(drawing());
        EXPECT_EQ(layerInDrawing(c.lookup), c.expected) << c.name;
        EXPECT_EQ(layer.getId().isNull(), !c.expected.exists) << c.name;
    }
    EXPECT_EQ(layerNames(), L"0,HATCH-3,NOCOLOUR,INDEX-255,BYBLOCK-COLOUR");
}

TEST_F(LayerTest, FreezingTheCurrentLayerIsRefusedAndTheRestIsWritten) {
    CLayer layer;
    layer.setName(L"0");
    layer.setFrozen(1);
    layer.setLocked(1);
    layer.setLineWeight(50);
    layer.applyToDWG(drawing());
    EXPECT_EQ(layerInDrawing(L"0"), (LayerInDrawing{true, 7, false, true, false, true, 50}));
}

TEST_F(LayerTest, ARefusedLockWritesAndReadsNothing) {
    makeLayer(L"WALLS", {true, 1, false, false, false, true, 0});
    acDocManager->qvRefuseLocks(-1);
    CLayer layer;
    layer.setName(L"WALLS");
    layer.setOff(1);
    layer.applyToDWG(drawing());
    EXPECT_EQ(layer.getDWGLayer(drawing(), L"WALLS"), 0);
    EXPECT_EQ(CLayer::ensureLayerExists(L"NEW", drawing()), 1);
    acDocManager->qvRefuseLocks(0);
    EXPECT_FALSE(layerInDrawing(L"WALLS").off);
    EXPECT_EQ(layerNames(), L"0,WALLS");
}

TEST_F(LayerTest, EnsuringALayerMakesItsCleanedNameOnceWithTheHostsDefaults) {
    makeLayer(L"ROOM", {true, 2, false, false, false, true, 0});
    const struct {
        const wchar_t* name;
        const wchar_t* layers;
    } cases[] = {
        {L"ASSETS;1", L"0,ROOM,ASSETS1"},
        {L"assets1", L"0,ROOM,ASSETS1"},
        {L"RO;OM", L"0,ROOM,ASSETS1"},
        {L";", L"0,ROOM,ASSETS1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CLayer::ensureLayerExists(c.name, drawing()), 1) << c.name;
        EXPECT_EQ(layerNames(), c.layers) << c.name;
    }
    EXPECT_EQ(layerInDrawing(L"ASSETS1"), (LayerInDrawing{true, 7, false, false, false, true, -3}));
    EXPECT_EQ(layerInDrawing(L"ROOM").colourIndex, 2);
    // Under a lock the caller holds, the lock stays the caller's.
    ASSERT_EQ(drawing()->lock(), Acad::eOk);
    CLayer::ensureLayerExists(L"HELD", drawing());
    EXPECT_EQ(drawing()->isLocked(), 1);
    drawing()->unlock(0);
    EXPECT_EQ(document()->qvLockCount(), 0);
}

TEST_F(LayerTest, ReadingXmlTakesNameAndDescriptionAsWrittenAndLeavesTheRecordUnmodified) {
    const struct {
        const wchar_t* xml;
        const wchar_t* name;
        const wchar_t* description;
    } cases[] = {
        {L"<layerOn><loName>Wa;lls</loName><loDescription>d</loDescription></layerOn>", L"Wa;lls",
         L"d"},
        {L"<LayerOn><loName>WALLS</loName></LayerOn>", L"", L""},
        {L"<layerOn><loName>A</loName><other>x</other><loName>B</loName></layerOn>", L"B", L""},
    };
    for (const auto& c : cases) {
        CLayer layer;
        layer.deSerialize(parseXml(c.xml));
        EXPECT_EQ(layer.getName(), CString(c.name)) << c.xml;
        EXPECT_EQ(layer.getDescription(), CString(c.description)) << c.xml;
        EXPECT_EQ(layer.isModified(), 0) << c.xml;
    }
    CLayer layer;
    layer.deSerialize(nullptr);
    EXPECT_EQ(layer.getName(), CString(L""));
}

}  // namespace
