#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "SpaceCommandFixture.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "drawing/AcadDrawing.h"
#include "module/AuxAttributes.h"
#include "support/FaultSweep.h"
#include "support/SpaceBlocks.h"

namespace {

using qv::test::expectNear;
using qv::test::TextSeen;

const double kPi = 3.141592653589793;

class AuxAttributes : public qv::test::SpaceCommandTest {
  protected:
    // A room block "ROOM-<n>" round a rectangle, its texts at `at`, with the rotation in degrees;
    // the reference.
    AcDbObjectId makeRoom(int n, const AcGePoint3d& at, double degrees) {
        const AcDbObjectId outline = addRectangle(at.x - 1000, at.y - 1000, 2000, 2000);
        CAcadDrawing drawing;
        qv::test::wrapCurrentDocument(drawing, document());
        CBlockDWGRoom room;
        room.setBlockName(L"ROOM-" + CString(std::to_wstring(n).c_str()));
        room.setAttributes(qv::test::spaceAttributes(L"R-1", L"4.00sq.m.", L"x"));
        EXPECT_EQ(Acad::eOk, qv::test::makeSpaceBlock(room, drawing, outline, at, 250.0, 0.8, degrees));
        return room.getObjectId();
    }
    // Erases the texts of that tag from the reference and its definition.
    void strip(AcDbObjectId reference, const wchar_t* tag) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
        for (; !it->done(); it->step()) {
            AcDbObjectPointer<AcDbAttribute> a(it->objectId(), AcDb::kForWrite);
            if (std::wstring(a->tagConst()) == tag)
                a->erase();
        }
        AcDbObjectPointer<AcDbBlockTableRecord> def(ref->blockTableRecord(), AcDb::kForRead);
        for (const AcDbObjectId& id : def->qvEntities()) {
            AcDbObjectPointer<AcDbAttributeDefinition> d(id, AcDb::kForWrite);
            if (d.openStatus() == Acad::eOk && std::wstring(d->tagConst()) == tag)
                d->erase();
        }
    }
    std::vector<TextSeen> definitionTexts(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        AcDbObjectPointer<AcDbBlockTableRecord> def(ref->blockTableRecord(), AcDb::kForRead);
        const ACHAR* name = nullptr;
        def->getName(name);
        const std::wstring blockName = name;
        def.close();
        ref.close();
        return attributeDefinitionsOf(blockName.c_str());
    }
    bool isOff(const wchar_t* name) {
        bool off = false, frozen = false;
        layerState(name, off, frozen);
        return off;
    }
};

// A space block with NAME and AREA only gets its AUX in the definition and the reference, one
// and a half text heights below AREA across the text direction; NAME moves as far above it. A
// second run adds nothing and lays the texts out the same.
TEST_F(AuxAttributes, AuxIsAddedOnceAndLaidOutAcrossTheTextDirection) {
    const struct {
        const char* name;
        double degrees;
        AcGeVector3d toName;  // from AREA to NAME (AUX: the opposite)
    } cases[] = {
        {"level", 0.0, AcGeVector3d(0, 375, 0)},
        {"turned a quarter", 90.0, AcGeVector3d(-375, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewDocument();
        const AcDbObjectId ref = makeRoom(1, AcGePoint3d(5000, 3000, 0), c.degrees);
        strip(ref, L"AUX");
        {
            // NAME somewhere else, and the AREA definition centred: the layout puts them right.
            WriteLock lock(document());
            AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForRead);
            std::unique_ptr<AcDbObjectIterator> it(r->attributeIterator());
            for (; !it->done(); it->step()) {
                AcDbObjectPointer<AcDbAttribute> a(it->objectId(), AcDb::kForWrite);
                if (std::wstring(a->tagConst()) == L"NAME")
                    a->setPosition(AcGePoint3d(0, 0, 0));
            }
            AcDbObjectPointer<AcDbBlockTableRecord> def(r->blockTableRecord(), AcDb::kForRead);
            for (const AcDbObjectId& id : def->qvEntities()) {
                AcDbObjectPointer<AcDbAttributeDefinition> d(id, AcDb::kForWrite);
                if (d.openStatus() == Acad::eOk && std::wstring(d->tagConst()) == L"AREA") {
                    d->setHorizontalMode(AcDb::kTextCenter);
                    d->setAlignmentPoint(d->position());
                }
            }
        }
        for (int run = 1; run <= 2; ++run) {
            SCOPED_TRACE(run == 1 ? "first run" : "second run");
            answers.give({});
            orvanAuxilarator();
            EXPECT_EQ(L"", shown()) << "the command prints nothing";
            EXPECT_TRUE(messageBoxes().empty());

            const std::vector<TextSeen> texts = attributesOf(ref);
            ASSERT_EQ(3u, texts.size());
            const TextSeen* area = find(texts, L"AREA");
            const TextSeen* aux = find(texts, L"AUX");
            ASSERT_NE(nullptr, aux);
            EXPECT_EQ(L" ", aux->text);
            EXPECT_EQ(L"ATT-AUX", aux->layer);
            expectNear(aux->position, area->position - c.toName, "AUX below AREA");
            expectNear(find(texts, L"NAME")->position, area->position + c.toName,
                       "NAME above AREA");
            for (const TextSeen* t : {aux, find(texts, L"NAME")}) {
                EXPECT_NEAR(area->rotation, t->rotation, 1e-12);
                EXPECT_DOUBLE_EQ(250.0, t->height);
                EXPECT_DOUBLE_EQ(0.8, t->widthFactor);
            }

            const std::vector<TextSeen> defs = definitionTexts(ref);
            ASSERT_EQ(3u, defs.size());
            const TextSeen* defAux = find(defs, L"AUX");
            ASSERT_NE(nullptr, defAux);
            EXPECT_EQ(L"Enter Auxillary", defAux->prompt);
            EXPECT_EQ(L"default aux", defAux->text);
            EXPECT_EQ(L"ATT-AUX", defAux->layer);
            const TextSeen* defArea = find(defs, L"AREA");
            EXPECT_EQ(AcDb::kTextLeft, defArea->horizontal);
            EXPECT_EQ(AcDb::kTextLeft, find(defs, L"NAME")->horizontal);
            const AcGeVector3d inDefinition(c.toName.x, c.toName.y, 0);  // no scale, no turn
            expectNear(defAux->position, defArea->position - inDefinition, "AUX definition");
            EXPECT_EQ("", qv::test::hostLeftovers());
        }
    }
}

// Without an AREA text nothing anchors the layout: the block is left as it is.
TEST_F(AuxAttributes, ABlockWithoutAreaTextIsLeftAlone) {
    const AcDbObjectId ref = makeRoom(1, AcGePoint3d(5000, 3000, 0), 0.0);
    strip(ref, L"AUX");
    strip(ref, L"AREA");
    const AcGePoint3d name = find(attributesOf(ref), L"NAME")->position;
    orvanAuxilarator();
    ASSERT_EQ(1u, attributesOf(ref).size());
    expectNear(find(attributesOf(ref), L"NAME")->position, name, "NAME stays");
    EXPECT_EQ(1u, definitionTexts(ref).size());
    EXPECT_TRUE(messageBoxes().empty());
}

// The three attribute layers are switched on whatever the case of their names; others stay.
TEST_F(AuxAttributes, TheAttributeLayersAreSwitchedOn) {
    addLayer(L"att-aux");
    addLayer(L"WALLS");
    const AcDbObjectId ref = makeRoom(1, AcGePoint3d(5000, 3000, 0), 0.0);
    (void)ref;
    for (const wchar_t* layer : {L"att-aux", L"ATT-NAME", L"ATT-AREA", L"WALLS"})
        setLayer(layer, false, false, true);
    orvanAuxilarator();
    for (const wchar_t* layer : {L"att-aux", L"ATT-NAME", L"ATT-AREA"})
        EXPECT_FALSE(isOff(layer)) << std::wstring(layer);
    EXPECT_TRUE(isOff(L"WALLS"));
}

// Every host call failing in turn: nothing escapes, nothing stays open or locked, nothing leaks,
// and the reference never ends with two AUX texts.
TEST_F(AuxAttributes, SurvivesEveryHostFailure) {
    AcDbObjectId ref;
    qv::test::FaultSweepOptions options;
    options.setUp = [&] {
        renewDocument();
        ref = makeRoom(1, AcGePoint3d(5000, 3000, 0), 0.0);
        strip(ref, L"AUX");
        ui.clear();
    };
    options.check = [&]() -> std::string {
        return attributesOf(ref).size() <= 3 ? "" : "AUX twice";
    };
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(orvanAuxilarator, options);
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_GT(sweep.failurePoints, 10);
}

}  // namespace
