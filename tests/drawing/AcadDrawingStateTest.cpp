#include <gtest/gtest.h>

#include <string>

#include "drawing/AcadDrawingState.h"
#include "drawing/Layer.h"
#include "drawing/LayerFixture.h"
#include "drawing/Layers.h"

namespace {

using qv::test::LayerDrawingTest;
using qv::test::LayerInDrawing;
using qv::test::parseXml;
using qv::test::xmlOf;

const CString NS = L"urn:test:state";

class AcadDrawingStateTest : public LayerDrawingTest {
  protected:
    AcDbLayoutManager* manager() { return acdbHostApplicationServices()->layoutManager(); }

    // A paper layout with `count` viewports; their ids.
    AcDbObjectIdArray addLayoutWithViewports(const ACHAR* name, int count) {
        WriteLock lock(document());
        AcDbObjectId layout, block;
        EXPECT_EQ(manager()->createLayout(name, layout, block), Acad::eOk);
        AcDbBlockTableRecord* record = nullptr;
        EXPECT_EQ(acdbOpenObject(record, block, AcDb::kForWrite), Acad::eOk);
        AcDbObjectIdArray ids;
        for (int i = 0; i < count; i++) {
            auto* viewport = new AcDbViewport;
            AcDbObjectId id;
            record->appendAcDbEntity(id, viewport);
            viewport->close();
            ids.append(id);
        }
        record->close();
        return ids;
    }

    // The names of the layers frozen in a viewport, joined by ",".
    std::wstring frozenIn(AcDbObjectId viewportId) {
        AcDbViewport* viewport = nullptr;
        EXPECT_EQ(acdbOpenObject(viewport, viewportId, AcDb::kForRead), Acad::eOk);
        AcDbObjectIdArray frozen;
        viewport->getFrozenLayerList(frozen);
        viewport->close();
        std::wstring names;
        for (const AcDbObjectId& id : frozen) {
            AcDbLayerTableRecord* layer = nullptr;
            acdbOpenObject(layer, id, AcDb::kForRead);
            names += (names.empty() ? L"" : L",") + layer->qvName();
            layer->close();
        }
        return names;
    }

    void makeCurrent(const ACHAR* layout) {
        WriteLock lock(document());
        ASSERT_EQ(manager()->setCurrentLayout(layout), Acad::eOk);
    }
};

TEST_F(AcadDrawingStateTest, AStateReadFromTheDrawingHoldsItsActiveLayoutAndEveryLayer) {
    makeLayer(L"walls", {true, 1, false, true});
    addLayoutWithViewports(L"Plan", 0);
    makeCurrent(L"Plan");
    CAcadDrawingState state(db());
    EXPECT_EQ(state.getLayoutName(), CString(L"Plan"));
    ASSERT_EQ(state.getLayers()->getCount(), 2);
    EXPECT_EQ(state.getLayers()->getAt(1)->getName(), CString(L"WALLS"));
    EXPECT_EQ(state.getLayers()->getAt(1)->isLocked(), 1);

    CAcadDrawingState empty;
    EXPECT_EQ(empty.getLayoutName(), CString(L"Plan"));
    EXPECT_EQ(empty.getLayers()->getCount(), 0);
}

TEST_F(AcadDrawingStateTest, SettingALayerStateFindsItsCleanedNameInAnyCase) {
    makeLayer(L"WALLS", {true, 1});
    CAcadDrawingState state(db());
    const struct {
        const wchar_t* name;
        int frozen, locked, off, plottable;
        int count;
        const wchar_t* held;
    } cases[] = {
        {L"walls", 0, 1, 1, 0, 2, L"WALLS"},
        {L"WA;LLS", 0, 0, 1, 1, 2, L"WALLS"},
        {L"Doors<1>", 1, 0, 0, 1, 3, L"Doors1"},
        {L"DOORS1", 0, 1, 0, 1, 3, L"Doors1"},
    };
    for (const auto& c : cases) {
        state.setLayerState(c.name, c.frozen, c.locked, c.off, c.plottable);
        EXPECT_EQ(state.getLayers()->getCount(), c.count) << c.name;
        const CLayer* layer = state.getLayers()->getAtLayer(c.held);
        ASSERT_NE(layer, nullptr) << c.name;
        EXPECT_EQ(layer->getName(), CString(c.held)) << c.name;
        EXPECT_EQ(layer->isFrozen(), c.frozen) << c.name;
        EXPECT_EQ(layer->isLocked(), c.locked) << c.name;
        EXPECT_EQ(layer->isOff(), c.off) << c.name;
        EXPECT_EQ(layer->isPlottable(), c.plottable) << c.name;
    }
    state.setLayoutName(L"Model");
    state.applyState(drawing(), 0);
    EXPECT_EQ(layerInDrawing(L"WALLS"), (LayerInDrawing{true, 1, false, false, true, true, 0}));
    EXPECT_EQ(layerInDrawing(L"Doors1"), (LayerInDrawing{true, 7, false, true, false, true, 0}));
}

TEST_F(AcadDrawingStateTest, AllOffLeavesThePaperLayoutCurrentAndEveryLayerOffButPlottable) {
    makeLayer(L"WALLS", {true, 1, true, true, false, false, 0});
    makeLayer(L"DOORS", {true, 2});
    addLayoutWithViewports(L"Plan", 1);
    CAcadDrawingState state(db());
    state.setLayoutName(L"Plan");
    state.setAllLayerLineWeights(0);
    state.setOrvanLayersForOutput();
    const int regens = document()->qvViews().regenCount();
    state.setStateAllOff(drawing());
    EXPECT_STREQ(manager()->findActiveLayout(true), L"Plan");
    EXPECT_EQ(document()->qvViews().regenCount(), regens + 1);
    for (const wchar_t* name : {L"0", L"WALLS", L"DOORS"}) {
        const LayerInDrawing layer = layerInDrawing(name);
        EXPECT_TRUE(layer.off && layer.plottable && !layer.frozen && !layer.locked) << name;
        EXPECT_EQ(layer.lineWeight, 0) << name;
    }

    // The report turns its own layers on afterwards.
    state.setLayerState(L"DOORS", 0, 0, 0, 1);
    state.applyState(drawing(), 0);
    EXPECT_FALSE(layerInDrawing(L"DOORS").off);
    EXPECT_TRUE(layerInDrawing(L"WALLS").off);
}

TEST_F(AcadDrawingStateTest, TheTakeOffStateShowsEveryLayerInModelSpace) {
    makeLayer(L"WALLS", {true, 1, true, true, true, false, 0});
    addLayoutWithViewports(L"Plan", 0);
    makeCurrent(L"Plan");
    CAcadDrawingState state(db());
    state.setStateForTakeOff(drawing());
    EXPECT_EQ(state.getLayoutName(), CString(L"Model"));
    EXPECT_STREQ(manager()->findActiveLayout(true), L"Model");
    EXPECT_EQ(layerInDrawing(L"WALLS"), (LayerInDrawing{true, 1, false, false, false, true, 0}));
}

TEST_F(AcadDrawingStateTest, FrozenLayersAreFrozenInEveryViewportOfAPaperLayoutAndThawedAgain) {
    makeLayer(L"WALLS", {true, 1});
    makeLayer(L"DOORS", {true, 2});
    const AcDbObjectIdArray viewports = addLayoutWithViewports(L"Plan", 2);
    CAcadDrawingState state(db());
    state.setLayoutName(L"Plan");
    state.getLayers()->getAtLayer(L"WALLS")->setFrozen(1);
    state.getLayers()->getAtLayer(L"DOORS")->setFrozen(1);
    // A new record gets the id of the layer it makes; one whose layer the host refuses keeps
    // no id, and the viewports are frozen without it.
    state.setLayerState(L"NEW", 1, 0, 0, 1);
    state.setLayerState(L"A:B", 1, 0, 0, 1);

    const struct {
        const char* step;
        const wchar_t* layout;
        int perViewport;
        const wchar_t* frozen;
    } steps[] = {
        {"model space freezes nothing per viewport", L"Model", 1, L""},
        {"the flag off freezes nothing per viewport", L"Plan", 0, L""},
        {"a paper layout freezes in each viewport", L"Plan", 1, L"WALLS,DOORS,NEW"},
    };
    for (const auto& s : steps) {
        state.setLayoutName(s.layout);
        state.applyState(drawing(), s.perViewport);
        for (const AcDbObjectId& viewport : viewports) {
            EXPECT_EQ(frozenIn(viewport), s.frozen) << s.step;
        }
        // The frozen layers went to the drawing too: thaw them for the next step.
        for (const wchar_t* name : {L"WALLS", L"DOORS", L"NEW"}) {
            EXPECT_TRUE(layerInDrawing(name).frozen) << s.step << " " << name;
        }
    }
    state.getLayers()->getAtLayer(L"DOORS")->setFrozen(0);
    state.applyState(drawing(), 1);
    for (const AcDbObjectId& viewport : viewports) {
        EXPECT_EQ(frozenIn(viewport), L"WALLS,NEW");
    }
    EXPECT_EQ(document()->qvLockCount(), 0);
}

TEST_F(AcadDrawingStateTest, TheXmlFormKeepsTheLayoutAndTheLayers) {
    CAcadDrawingState state;
    state.setLayoutName(L"Plan & elevation");
    EXPECT_EQ(xmlOf(state.serialize(NS)),
              CString(L"<AcadDrawingState xmlns=\"urn:test:state\"><layout>Plan &amp; elevation"
                      L"</layout><layersOn/></AcadDrawingState>"));
    state.setLayers(nullptr);
    EXPECT_EQ(xmlOf(state.serialize(NS)),
              CString(L"<AcadDrawingState xmlns=\"urn:test:state\"><layout>Plan &amp; elevation"
                      L"</layout></AcadDrawingState>"));
    state.setLayerState(L"WALLS", 0, 0, 0, 1);
    state.setLayerState(L"DOORS", 0, 0, 0, 1);
    state.getLayers()->getAt(1)->setDescription(L"Doors");

    CAcadDrawingState back;
    back.deSerialize(state.serialize(NS));
    EXPECT_EQ(back.getLayoutName(), CString(L"Plan & elevation"));
    ASSERT_EQ(back.getLayers()->getCount(), 2);
    EXPECT_EQ(back.getLayers()->getAt(0)->getName(), CString(L"WALLS"));
    EXPECT_EQ(back.getLayers()->getAt(1)->getDescription(), CString(L"Doors"));

    const struct {
        const wchar_t* xml;
        const wchar_t* layout;
        int layers;
    } cases[] = {
        {L"<acadDrawingState><layout>X</layout></acadDrawingState>", L"Plan & elevation", 2},
        {L"<AcadDrawingState><layout>Model</layout><other/></AcadDrawingState>", L"Model", 2},
        {L"<AcadDrawingState><layersOn/></AcadDrawingState>", L"Model", 0},
    };
    for (const auto& c : cases) {
        back.deSerialize(parseXml(c.xml));
        EXPECT_EQ(back.getLayoutName(), CString(c.layout)) << c.xml;
        EXPECT_EQ(back.getLayers()->getCount(), c.layers) << c.xml;
    }
}

}  // namespace
