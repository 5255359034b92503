#include <gtest/gtest.h>

#include "support/HostFixture.h"

namespace {

using qv::test::DrawingTest;

class LayoutTest : public DrawingTest {
  protected:
    AcDbLayoutManager* manager() const { return acdbHostApplicationServices()->layoutManager(); }

    // Makes a paper layout (under a lock of its own); returns its block.
    AcDbObjectId addLayout(const ACHAR* name) {
        WriteLock lock(document());
        AcDbObjectId layout, block;
        EXPECT_EQ(manager()->createLayout(name, layout, block), Acad::eOk) << name;
        return block;
    }

    std::wstring blockName(AcDbObjectId block) {
        AcDbBlockTableRecord* record = nullptr;
        EXPECT_EQ(acdbOpenObject(record, block, AcDb::kForRead), Acad::eOk);
        const std::wstring name = record->qvName();
        record->close();
        return name;
    }

    std::wstring ctab() {
        resbuf value;
        EXPECT_EQ(acedGetVar(L"CTAB", &value), RTNORM);
        const std::wstring name = value.resval.rstring;
        acutDelString(value.resval.rstring);
        return name;
    }

    AcDbObjectId addViewport(AcDbObjectId block, const AcGePoint3d& center) {
        WriteLock lock(document());
        AcDbBlockTableRecord* record = nullptr;
        EXPECT_EQ(acdbOpenObject(record, block, AcDb::kForWrite), Acad::eOk);
        auto* viewport = new AcDbViewport;
        viewport->setCenterPoint(center);
        AcDbObjectId id;
        EXPECT_EQ(record->appendAcDbEntity(id, viewport), Acad::eOk);
        viewport->close();
        record->close();
        return id;
    }
};

TEST_F(LayoutTest, ANewDrawingHasModelSpaceAndOnePaperLayoutTiedToTheirBlocks) {
    EXPECT_EQ(manager()->countLayouts(), 2);
    EXPECT_STREQ(manager()->findActiveLayout(true), L"Model");
    EXPECT_STREQ(manager()->findActiveLayout(false), L"Layout1");
    EXPECT_EQ(manager()->getActiveLayoutBTRId(), db()->modelSpaceId());
    const struct {
        const wchar_t* name;
        AcDbObjectId block;
        int tabOrder;
        bool modelType;
    } cases[] = {{L"Model", db()->modelSpaceId(), 0, true},
                 {L"layout1", db()->paperSpaceId(), 1, false}};
    for (const auto& c : cases) {
        AcDbLayout* layout = nullptr;
        ASSERT_EQ(manager()->getLayoutNamed(c.name, layout), Acad::eOk) << c.name;
        EXPECT_EQ(layout->getBlockTableRecordId(), c.block) << c.name;
        EXPECT_EQ(layout->getTabOrder(), c.tabOrder) << c.name;
        EXPECT_EQ(layout->modelType(), c.modelType) << c.name;
        AcDbBlockTableRecord* block = nullptr;
        ASSERT_EQ(acdbOpenObject(block, c.block, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(block->getLayoutId(), layout->objectId()) << c.name;
        block->close();
        layout->close();
    }
    AcDbLayout* none = nullptr;
    EXPECT_EQ(manager()->getLayoutNamed(L"Layout9", none), Acad::eKeyNotFound);
    EXPECT_TRUE(manager()->findLayoutNamed(L"Layout9").isNull());
}

TEST_F(LayoutTest, CreatingALayoutChecksItsNameAndGivesItABlockOfItsOwn) {
    const struct {
        const wchar_t* name;
        Acad::ErrorStatus status;
    } cases[] = {
        {L"Ground floor", Acad::eOk},
        {L"model", Acad::eInvalidInput},
        {L"", Acad::eInvalidInput},
        {L"A<B", Acad::eInvalidInput},
        {L"LAYOUT1", Acad::eDuplicateRecordName},
        {L"First floor", Acad::eOk},
    };
    for (const auto& c : cases) {
        WriteLock lock(document());
        AcDbObjectId layout, block;
        EXPECT_EQ(manager()->createLayout(c.name, layout, block), c.status) << c.name;
        EXPECT_EQ(layout.isNull(), c.status != Acad::eOk) << c.name;
    }
    EXPECT_EQ(manager()->countLayouts(), 4);
    AcDbLayout* layout = nullptr;
    ASSERT_EQ(manager()->getLayoutNamed(L"First floor", layout), Acad::eOk);
    EXPECT_EQ(layout->getTabOrder(), 3);
    EXPECT_EQ(blockName(layout->getBlockTableRecordId()), L"*Paper_Space1");
    layout->close();

    AcDbObjectId refused, block;
    EXPECT_EQ(manager()->createLayout(L"Unlocked", refused, block), Acad::eLockViolation);
    EXPECT_EQ(manager()->countLayouts(), 4);
}

TEST_F(LayoutTest, SwitchingLayoutsSwapsThePaperSpaceBlockAndKeepsEachLayoutsEntities) {
    const AcDbObjectId layout1 = db()->paperSpaceId();
    const AcDbObjectId plan = addLayout(L"Plan");
    const AcDbObjectId viewport = addViewport(plan, {50, 50, 0});

    // Without the document lock nothing changes.
    EXPECT_EQ(manager()->setCurrentLayout(L"Plan"), Acad::eLockViolation);
    EXPECT_TRUE(db()->tilemode());

    // By the layout manager, or by setting CTAB (RTNORM or RTERROR for eOk or a refusal).
    const struct {
        const wchar_t* name;
        bool ctab;
        Acad::ErrorStatus status;
        const wchar_t* active;
        const wchar_t* lastPaper;
        AcDbObjectId activeBlock;
    } steps[] = {
        {L"PLAN", false, Acad::eOk, L"Plan", L"Plan", plan},
        {L"Layout1", false, Acad::eOk, L"Layout1", L"Layout1", layout1},
        {L"Layout1", false, Acad::eOk, L"Layout1", L"Layout1", layout1},
        {L"Elevation", false, Acad::eKeyNotFound, L"Layout1", L"Layout1", layout1},
        {L"Nowhere", true, Acad::eKeyNotFound, L"Layout1", L"Layout1", layout1},
        {L"plan", true, Acad::eOk, L"Plan", L"Plan", plan},
        {L"MODEL", true, Acad::eOk, L"Model", L"Plan", db()->modelSpaceId()},
        {L"Plan", false, Acad::eOk, L"Plan", L"Plan", plan},
        {L"Model", false, Acad::eOk, L"Model", L"Plan", db()->modelSpaceId()},
    };
    for (const auto& s : steps) {
        WriteLock lock(document());
        if (s.ctab) {
            resbuf value;
            value.restype = RTSTR;
            value.resval.rstring = const_cast<ACHAR*>(s.name);
            EXPECT_EQ(acedSetVar(L"ctab", &value), s.status == Acad::eOk ? RTNORM : RTERROR)
                << s.name;
        } else {
            EXPECT_EQ(manager()->setCurrentLayout(s.name), s.status) << s.name;
        }
        EXPECT_STREQ(manager()->findActiveLayout(true), s.active) << s.name;
        EXPECT_STREQ(manager()->findActiveLayout(false), s.lastPaper) << s.name;
        EXPECT_EQ(ctab(), s.active) << s.name;
        EXPECT_EQ(manager()->getActiveLayoutBTRId(), s.activeBlock) << s.name;
    }
    // Plan was the last paper layout: its block is "*Paper_Space", Layout1's took its old name.
    EXPECT_EQ(blockName(plan), L"*Paper_Space");
    EXPECT_EQ(blockName(layout1), L"*Paper_Space0");
    EXPECT_EQ(db()->paperSpaceId(), plan);
    AcDbLayout* layout = nullptr;
    ASSERT_EQ(manager()->getLayoutNamed(L"Plan", layout), Acad::eOk);
    ASSERT_EQ(layout->getViewportArray().length(), 1);
    EXPECT_EQ(layout->getViewportArray()[0], viewport);
    layout->close();
}

TEST_F(LayoutTest, RenamingALayoutRenamesItsEntryAndKeepsNamesUnique) {
    addLayout(L"Plan");
    const struct {
        const wchar_t* from;
        const wchar_t* to;
        Acad::ErrorStatus status;
    } cases[] = {
        {L"Plan", L"Site plan", Acad::eOk},
        {L"Site plan", L"layout1", Acad::eDuplicateRecordName},
        {L"Site plan", L"Model", Acad::eInvalidInput},
        {L"Model", L"Sheet", Acad::eInvalidInput},
        {L"Plan", L"Other", Acad::eKeyNotFound},
        {L"Site plan", L"SITE PLAN", Acad::eOk},
    };
    for (const auto& c : cases) {
        WriteLock lock(document());
        EXPECT_EQ(manager()->renameLayout(c.from, c.to), c.status) << c.from << " " << c.to;
    }
    AcDbLayout* layout = nullptr;
    ASSERT_EQ(manager()->getLayoutNamed(L"site plan", layout), Acad::eOk);
    const ACHAR* name = nullptr;
    layout->getLayoutName(name);
    EXPECT_STREQ(name, L"SITE PLAN");
    layout->close();
    AcDbDictionary* named = nullptr;
    ASSERT_EQ(db()->getNamedObjectsDictionary(named, AcDb::kForRead), Acad::eOk);
    AcDbDictionary* layouts = nullptr;
    ASSERT_EQ(named->getAt(L"ACAD_LAYOUT", layouts, AcDb::kForRead), Acad::eOk);
    named->close();
    ACHAR* key = nullptr;
    ASSERT_EQ(layouts->nameAt(manager()->findLayoutNamed(L"Site Plan"), key), Acad::eOk);
    EXPECT_STREQ(key, L"SITE PLAN");
    acutDelString(key);
    layouts->close();
}

TEST_F(LayoutTest, ViewportsOfALayoutAreNumberedInDrawingOrder) {
    const AcDbObjectId block = db()->paperSpaceId();
    const AcDbObjectId first = addViewport(block, {0, 0, 0});
    addToModelSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    const AcDbObjectId second = addViewport(block, {200, 0, 0});
    const AcDbObjectId third = addViewport(block, {400, 0, 0});
    {
        WriteLock lock(document());
        AcDbBlockTableRecord* record = nullptr;
        ASSERT_EQ(acdbOpenObject(record, block, AcDb::kForWrite), Acad::eOk);
        auto* line = new AcDbLine({0, 0, 0}, {5, 5, 0});
        record->appendAcDbEntity(line);
        line->close();
        record->close();
        AcDbViewport* viewport = nullptr;
        ASSERT_EQ(acdbOpenObject(viewport, second, AcDb::kForWrite), Acad::eOk);
        viewport->erase();
        viewport->close();
        ASSERT_EQ(acdbOpenObject(viewport, third, AcDb::kForWrite), Acad::eOk);
        viewport->setOff();
        viewport->close();
    }
    AcDbLayout* layout = nullptr;
    ASSERT_EQ(manager()->getLayoutNamed(L"Layout1", layout), Acad::eOk);
    const AcDbObjectIdArray viewports = layout->getViewportArray();
    layout->close();
    ASSERT_EQ(viewports.length(), 2);
    EXPECT_EQ(viewports[0], first);
    EXPECT_EQ(viewports[1], third);
    // The number stays with the viewport while it is off.
    const struct {
        AcDbObjectId id;
        int number, kept;
    } cases[] = {{first, 2, 2}, {third, -1, 4}};
    for (const auto& c : cases) {
        AcDbViewport* viewport = nullptr;
        ASSERT_EQ(acdbOpenObject(viewport, c.id, AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(viewport->number(), c.number);
        EXPECT_EQ(viewport->qvNumber(), c.kept);
        viewport->close();
    }
}

TEST_F(LayoutTest, AViewportFreezesLayersOfItsOwnDrawingOnly) {
    const AcDbObjectId walls = addLayer(L"WALLS");
    const AcDbObjectId doors = addLayer(L"DOORS");
    const AcDbObjectId line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
    const AcDbObjectId viewportId = addViewport(db()->paperSpaceId(), {0, 0, 0});
    AcDbDatabase other;
    AcDbObjectId foreign;
    {
        AcDbLayerTable* table = nullptr;
        other.getLayerTable(table, AcDb::kForRead);
        table->getAt(L"0", foreign);
        table->close();
    }
    auto ids = [](std::initializer_list<AcDbObjectId> list) {
        AcDbObjectIdArray array;
        for (const AcDbObjectId& id : list) {
            array.append(id);
        }
        return array;
    };
    WriteLock lock(document());
    AcDbViewport* viewport = nullptr;
    ASSERT_EQ(acdbOpenObject(viewport, viewportId, AcDb::kForWrite), Acad::eOk);
    const AcDbObjectId zero = db()->clayer();
    const struct {
        const char* step;
        bool freeze;
        AcDbObjectIdArray layers;
        Acad::ErrorStatus status;
        std::vector<AcDbObjectId> frozen;
    } steps[] = {
        {"freeze two", true, ids({walls, doors}), Acad::eOk, {walls, doors}},
        {"again", true, ids({walls}), Acad::eOk, {walls, doors}},
        {"the current layer", true, ids({db()->clayer()}), Acad::eOk, {walls, doors, zero}},
        {"thaw one", false, ids({walls}), Acad::eOk, {doors, zero}},
        {"a null id", true, ids({walls, AcDbObjectId::kNull}), Acad::eNullObjectId, {doors, zero}},
        {"no layer", false, ids({doors, line}), Acad::eInvalidInput, {doors, zero}},
        {"another drawing's layer", true, ids({foreign}), Acad::eInvalidInput, {doors, zero}},
        {"thaw a thawed layer", false, ids({walls}), Acad::eOk, {doors, zero}},
    };
    for (const auto& s : steps) {
        const Acad::ErrorStatus es = s.freeze ? viewport->freezeLayersInViewport(s.layers)
                                              : viewport->thawLayersInViewport(s.layers);
        EXPECT_EQ(es, s.status) << s.step;
        AcDbObjectIdArray frozen;
        viewport->getFrozenLayerList(frozen);
        EXPECT_EQ(std::vector<AcDbObjectId>(frozen.begin(), frozen.end()), s.frozen) << s.step;
        EXPECT_EQ(viewport->isLayerFrozenInViewport(walls), s.frozen.front() == walls) << s.step;
    }
    EXPECT_EQ(viewport->thawAllLayersInViewport(), Acad::eOk);
    EXPECT_FALSE(viewport->isLayerFrozenInViewport(doors));
    viewport->close();
}

TEST_F(LayoutTest, AViewportMovesAndScalesButDoesNotTurn) {
    const AcDbObjectId id = addViewport(db()->paperSpaceId(), {100, 50, 0});
    WriteLock lock(document());
    AcDbViewport* viewport = nullptr;
    ASSERT_EQ(acdbOpenObject(viewport, id, AcDb::kForWrite), Acad::eOk);
    viewport->setWidth(40);
    viewport->setHeight(20);
    viewport->setViewHeight(200);
    EXPECT_DOUBLE_EQ(viewport->customScale(), 0.1);
    AcGeMatrix3d turn;
    turn.setToRotation(0.5, AcGeVector3d::kZAxis);
    EXPECT_EQ(viewport->transformBy(turn), Acad::eNotApplicable);
    AcGeMatrix3d grow;
    grow.setToScaling(2.0, {100, 50, 0});
    AcGeMatrix3d move;
    move.setToTranslation({10, 0, 0});
    EXPECT_EQ(viewport->transformBy(move * grow), Acad::eOk);
    AcDbExtents box;
    viewport->getGeomExtents(box);
    EXPECT_EQ(box.minPoint(), AcGePoint3d(70, 30, 0));
    EXPECT_EQ(box.maxPoint(), AcGePoint3d(150, 70, 0));
    EXPECT_DOUBLE_EQ(viewport->viewHeight(), 200);
    const struct {
        const char* name;
        Acad::ErrorStatus status;
    } refusals[] = {{"width", viewport->setWidth(0)},
                    {"height", viewport->setHeight(-1)},
                    {"view height", viewport->setViewHeight(0)},
                    {"scale", viewport->setCustomScale(0)},
                    {"direction", viewport->setViewDirection({0, 0, 0})}};
    for (const auto& r : refusals) {
        EXPECT_EQ(r.status, Acad::eInvalidInput) << r.name;
    }
    EXPECT_DOUBLE_EQ(viewport->width(), 80);
    viewport->close();
}

TEST_F(LayoutTest, ALayerTakesAnIndexOrATrueColourAndTheCurrentLayerCannotFreeze) {
    const AcDbObjectId walls = addLayer(L"WALLS");
    WriteLock lock(document());
    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(acdbOpenObject(layer, walls, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(layer->color().colorIndex(), 7);
    auto index = [](Adesk::UInt16 i) {
        AcCmColor c;
        c.setColorIndex(i);
        return c;
    };
    AcCmColor trueColour;
    trueColour.setRGB(10, 20, 30);
    AcCmColor none, foreground;
    none.setNone();
    foreground.setForeground();
    const struct {
        const char* name;
        AcCmColor colour;
        Acad::ErrorStatus status;
    } cases[] = {
        {"index 1", index(1), Acad::eOk},
        {"index 255", index(255), Acad::eOk},
        {"a true colour", trueColour, Acad::eOk},
        {"by block", index(0), Acad::eInvalidInput},
        {"by layer", index(256), Acad::eInvalidInput},
        {"none", none, Acad::eInvalidInput},
        {"the foreground", foreground, Acad::eInvalidInput},
    };
    for (const auto& c : cases) {
        const AcCmColor before = layer->color();
        EXPECT_EQ(layer->setColor(c.colour), c.status) << c.name;
        EXPECT_EQ(layer->color(), c.status == Acad::eOk ? c.colour : before) << c.name;
    }
    layer->close();

    ASSERT_EQ(db()->setClayer(walls), Acad::eOk);
    ASSERT_EQ(acdbOpenObject(layer, walls, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(layer->setIsFrozen(true), Acad::eCannotFreezeCurrentLayer);
    EXPECT_FALSE(layer->isFrozen());
    layer->close();
}

}  // namespace
