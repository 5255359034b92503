#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing/Layer.h"
#include "drawing/LayerFixture.h"
#include "drawing/Layers.h"

namespace {

using qv::test::LayerDrawingTest;
using qv::test::LayerInDrawing;
using qv::test::parseXml;
using qv::test::xmlOf;

const CString NS = L"urn:test:layers";

CLayer* named(const wchar_t* name) {
    auto* layer = new CLayer;
    layer->setName(name);
    return layer;
}

// The names held, joined by ",".
std::wstring namesOf(CLayers& layers) {
    std::wstring names;
    for (int i = 0; i < layers.getCount(); i++) {
        names += (i ? L"," : L"") + std::wstring(layers.getAt(i)->getName().GetString());
    }
    return names;
}

class LayersTest : public LayerDrawingTest {};

TEST_F(LayersTest, TheFirstRecordOfANameWinsAndFindingIgnoresCase) {
    CLayers layers;
    EXPECT_EQ(layers.getAtLayer(L"ATT-NAME"), nullptr);
    CLayer* first = named(L"ATT-NAME");
    first->setDescription(L"first");
    layers.add(first);
    layers.add(named(L"ATT-NAME"));
    layers.add(named(L"att-name"));
    EXPECT_EQ(namesOf(layers), L"ATT-NAME,att-name");
    const struct {
        const wchar_t* name;
        const CLayer* found;
    } cases[] = {
        {L"ATT-NAME", first}, {L"att-name", first}, {L"Att-Name", first}, {L"ATT", nullptr}};
    for (const auto& c : cases) {
        EXPECT_EQ(layers.getAtLayer(c.name), c.found) << c.name;
    }
    EXPECT_EQ(layers.getAt(0)->getDescription(), CString(L"first"));
}

TEST_F(LayersTest, ReadingTheDrawingTwiceKeepsOneRecordPerLayerAndAllAreWritten) {
    makeLayer(L"walls", {true, 1, false, false, false, true, 25});
    makeLayer(L"DOORS", {true, 2, false, true, false, true, 0});
    CLayers layers;
    layers.getDWGLayers(drawing());
    layers.getDWGLayers(drawing());
    EXPECT_EQ(namesOf(layers), L"0,WALLS,DOORS");
    for (int i = 0; i < layers.getCount(); i++) {
        EXPECT_EQ(layers.getAt(i)->isModified(), 1);
    }
    layers.setAllLayersOff(1);
    layers.applyToDWG(drawing());
    for (const wchar_t* name : {L"0", L"walls", L"DOORS"}) {
        EXPECT_TRUE(layerInDrawing(name).off) << name;
    }
    EXPECT_TRUE(layerInDrawing(L"DOORS").locked);
}

TEST_F(LayersTest, RecordsReadFromXmlWriteNothingUntilASetterRan) {
    CLayers layers;
    layers.deSerialize(parseXml(L"<layersOn><layerOn><loName>NEW-A</loName></layerOn>"
                                L"<note>x</note><layerOn><loName>NEW-B</loName></layerOn>"
                                L"<layerOn><loName>NEW-A</loName><loDescription>again"
                                L"</loDescription></layerOn></layersOn>")
                           ->GetchildNodes());
    EXPECT_EQ(namesOf(layers), L"NEW-A,NEW-B");
    layers.applyToDWG(drawing());
    EXPECT_EQ(layerNames(), L"0");
    layers.getAt(1)->setPlottable(1);
    layers.applyToDWG(drawing());
    EXPECT_EQ(layerNames(), L"0,NEW-B");
    layers.deSerialize(nullptr);
    layers.deSerialize(parseXml(L"<layersOn><other/></layersOn>")->GetchildNodes());
    EXPECT_EQ(layers.getCount(), 2);
}

TEST_F(LayersTest, TheXmlFormHoldsOneElementPerRecord) {
    CLayers layers;
    EXPECT_EQ(xmlOf(layers.serialize(NS)), CString(L"<layersOn xmlns=\"urn:test:layers\"/>"));
    layers.add(named(L"WALLS"));
    CLayer* doors = named(L"DOORS");
    doors->setDescription(L"Doors");
    layers.add(doors);
    const CString xml = xmlOf(layers.serialize(NS));
    EXPECT_EQ(xml, CString(L"<layersOn xmlns=\"urn:test:layers\"><layerOn><loName>WALLS</loName>"
                           L"</layerOn><layerOn><loName>DOORS</loName><loDescription>Doors"
                           L"</loDescription></layerOn></layersOn>"));
    CLayers back;
    back.deSerialize(parseXml(xml)->GetchildNodes());
    EXPECT_EQ(namesOf(back), L"WALLS,DOORS");
    EXPECT_EQ(back.getAt(1)->getDescription(), CString(L"Doors"));
}

TEST_F(LayersTest, SwitchingAllLayersLeavesTheFiveProtectedNamesAlone) {
    CLayers layers;
    const wchar_t* names[] = {L"##HYPERLINKS", L"##HATCH", L"ATT-NAME", L"ATT-AREA",
                              L"ATT-AUX",      L"##hatch", L"WALLS",    L"ATT-AUX2"};
    for (const wchar_t* name : names) {
        layers.add(named(name));
    }
    layers.setAllLayersOff(1);
    layers.setAllLayersFrozen(1);
    for (int i = 0; i < layers.getCount(); i++) {
        const bool isProtected = i < 5;
        EXPECT_EQ(layers.getAt(i)->isOff(), isProtected ? 0 : 1) << names[i];
        EXPECT_EQ(layers.getAt(i)->isFrozen(), isProtected ? 0 : 1) << names[i];
    }
}

TEST_F(LayersTest, IdsAreSplitByTheFrozenStateInListOrder) {
    const AcDbObjectId walls = makeLayer(L"WALLS", {true, 1});
    const AcDbObjectId doors = makeLayer(L"DOORS", {true, 1});
    CLayers layers;
    layers.getDWGLayers(drawing());
    layers.getAtLayer(L"WALLS")->setFrozen(1);
    layers.add(named(L"NEVER-READ"));
    AcDbObjectIdArray thawed, frozen;
    thawed.append(walls);
    layers.getFrozenThawedIds(thawed, frozen);
    const std::vector<AcDbObjectId> expectThawed{walls, db()->clayer(), doors, AcDbObjectId()};
    EXPECT_EQ(std::vector<AcDbObjectId>(thawed.begin(), thawed.end()), expectThawed);
    EXPECT_EQ(std::vector<AcDbObjectId>(frozen.begin(), frozen.end()),
              std::vector<AcDbObjectId>{walls});
}

TEST_F(LayersTest, EnsuringAColouredLayerNeedsTheCallersLock) {
    makeLayer(L"ROOMS", {true, 2});
    AcCmColor red, byLayer, trueColour;
    red.setColorIndex(1);
    byLayer.setByLayer();
    trueColour.setRGB(0, 128, 255);
    CLayers layers;
    EXPECT_EQ(layers.ensureLayerExists(drawing(), L"UNLOCKED", red), 1);
    EXPECT_FALSE(layerInDrawing(L"UNLOCKED").exists);

    ASSERT_EQ(drawing()->lock(), Acad::eOk);
    const struct {
        const wchar_t* name;
        AcCmColor colour;
        const wchar_t* lookup;
        int colourIndex;
    } cases[] = {
        {L"RED;", red, L"RED", 1},    {L"PLAIN", byLayer, L"PLAIN", 7},
        {L"rooms", red, L"ROOMS", 2}, {L"BLUE", trueColour, L"BLUE", trueColour.colorIndex()},
        {L"A|B", red, L"A|B", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(layers.ensureLayerExists(drawing(), c.name, c.colour), 1) << c.name;
        EXPECT_EQ(layerInDrawing(c.lookup).colourIndex, c.colourIndex) << c.name;
    }
    drawing()->unlock(0);
    EXPECT_EQ(layerNames(), L"0,ROOMS,RED,PLAIN,BLUE");
}

TEST_F(LayersTest, ALayerThatIsOnBecomesCurrentAndNoLayerIsNeverHandedOn) {
    makeLayer(L"WALLS", {true, 1});
    makeLayer(L"doors", {true, 2});
    makeLayer(L"FROZEN", {true, 3, true});
    const AcDbObjectId layer0 = db()->clayer();
    const struct {
        const char* name;
        std::vector<std::pair<const wchar_t*, int>> records;  // name, off
        const wchar_t* current;
    } cases[] = {
        {"the last found wins", {{L"WALLS", 0}, {L"DOORS", 0}, {L"MISSING", 0}}, L"doors"},
        {"off records are passed over", {{L"WALLS", 0}, {L"DOORS", 1}}, L"WALLS"},
        {"layer 0 is never taken", {{L"WALLS", 0}, {L"0", 0}}, L"WALLS"},
        {"a lower-case record finds nothing", {{L"walls", 0}}, L"0"},
        {"nothing found keeps the current layer", {{L"MISSING", 0}}, L"0"},
        {"a frozen layer cannot become current", {{L"FROZEN", 0}}, L"0"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(db()->setClayer(layer0), Acad::eOk);
        CLayers layers;
        for (const auto& [name, off] : c.records) {
            CLayer* layer = new CLayer;
            layer->deSerialize(parseXml(
                (std::wstring(L"<layerOn><loName>") + name + L"</loName></layerOn>").c_str()));
            layer->setOff(off);
            layers.add(layer);
        }
        layers.setOnLayerToCurrent(drawing());
        EXPECT_EQ(currentLayerName(), c.current) << c.name;
    }
    // A refused document lock skips every record.
    acDocManager->qvRefuseLocks(-1);
    CLayers layers;
    layers.add(named(L"WALLS"));
    layers.setOnLayerToCurrent(drawing());
    acDocManager->qvRefuseLocks(0);
    EXPECT_EQ(currentLayerName(), L"0");
}

}  // namespace
