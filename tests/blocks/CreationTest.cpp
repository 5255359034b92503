// Creating space blocks around boundaries, their definitions and attributes, and turning them back
// into their boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "BlockFixture.h"
#include "blocks/Attribute.h"

namespace {

using qv::test::BlockTest;
constexpr double kPi = std::numbers::pi;

struct TextSeen {
    std::wstring tag, text, layer;
    AcGePoint3d position;
    double rotation;
};

class CreationTest : public BlockTest {
  protected:
    // The attribute definitions of a definition (or the attributes of a reference), in order.
    std::vector<TextSeen> textsOf(AcDbObjectId id) {
        std::vector<TextSeen> seen;
        AcDbObjectIdArray ids;
        {
            AcDbObjectPointer<AcDbObject> object(id, AcDb::kForRead);
            if (auto* ref = AcDbBlockReference::cast(object.object())) {
                for (const AcDbObjectId& a : ref->qvAttributes())
                    ids.append(a);
            } else if (auto* block = AcDbBlockTableRecord::cast(object.object())) {
                for (const AcDbObjectId& e : block->qvEntities())
                    ids.append(e);
            }
        }
        for (const AcDbObjectId& t : ids) {
            AcDbObjectPointer<AcDbText> text(t, AcDb::kForRead);
            if (text.openStatus() != Acad::eOk)
                continue;
            const wchar_t* tag = L"";
            if (auto* def = AcDbAttributeDefinition::cast(text.object()))
                tag = def->tagConst();
            else if (auto* att = AcDbAttribute::cast(text.object()))
                tag = att->tagConst();
            ACHAR* layer = text->layer();
            seen.push_back(
                {tag, text->textStringConst(), layer, text->position(), text->rotation()});
            acutDelString(layer);
        }
        return seen;
    }

    AcDbObjectId definitionOf(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        return ref.openStatus() == Acad::eOk ? ref->blockTableRecord() : AcDbObjectId::kNull;
    }

    // The polyline's vertices in the world, as the reference (if any) shows them.
    std::vector<AcGePoint3d> verticesOf(AcDbObjectId polyline, AcDbObjectId reference = {}) {
        AcGeMatrix3d placed;
        if (!reference.isNull()) {
            AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
            AcDbObjectPointer<AcDbBlockTableRecord> def(ref->blockTableRecord(), AcDb::kForRead);
            placed = ref->blockTransform() *
                     AcGeMatrix3d::translation(AcGePoint3d::kOrigin - def->origin());
        }
        std::vector<AcGePoint3d> points;
        AcDbObjectPointer<AcDbPolyline> pl(polyline, AcDb::kForRead);
        for (unsigned i = 0; pl.openStatus() == Acad::eOk && i < pl->numVerts(); ++i) {
            AcGePoint3d p;
            pl->getPointAt(i, p);
            points.push_back(p.transformBy(placed));
        }
        return points;
    }

    AcDbObjectId ownerOf(AcDbObjectId id) {
        AcDbObjectPointer<AcDbObject> object(id, AcDb::kForRead);
        return object.openStatus() == Acad::eOk ? object->ownerId() : AcDbObjectId::kNull;
    }

    bool hasBlock(const wchar_t* name) {
        AcDbObjectPointer<AcDbBlockTable> table(db()->blockTableId(), AcDb::kForRead);
        return table->has(name);
    }
};

void expectNear(const AcGePoint3d& a, const AcGePoint3d& b, const char* what) {
    EXPECT_NEAR(a.x, b.x, 1e-9) << what;
    EXPECT_NEAR(a.y, b.y, 1e-9) << what;
    EXPECT_NEAR(a.z, b.z, 1e-9) << what;
}

// The definition holds the boundary (the same entity, moved by the insertion point) and the AREA,
// NAME and AUX definitions around the origin; the reference shows the boundary where it was and
// carries the block's three values on the ATT-* layers.
TEST_F(CreationTest, ABoundaryBecomesASpaceBlock) {
    const AcDbObjectId outline = addPolyline(
        {{1000, 1000, 0}, {11000, 1000, 0}, {11000, 6000, 0}, {1000, 6000, 0}}, L"WALLS");
    const std::vector<AcGePoint3d> before = verticesOf(outline);
    CBlockDWG block;
    ASSERT_EQ(create(block, outline, L"ROOM-1", AcGePoint3d(6000, 3500, 0)), Acad::eOk);

    const AcDbObjectId ref = block.getObjectId();
    ASSERT_FALSE(ref.isNull());
    EXPECT_EQ(block.getHandle(), CString(ref.handle().text().c_str()));
    const AcDbObjectId definition = definitionOf(ref);
    EXPECT_EQ(ownerOf(outline), definition) << "the boundary itself moved into the definition";
    EXPECT_EQ(ownerOf(ref), db()->modelSpaceId());
    expectNear(verticesOf(outline)[0], AcGePoint3d(-5000, -2500, 0), "moved by the insertion");
    const std::vector<AcGePoint3d> shown = verticesOf(outline, ref);
    for (size_t i = 0; i < before.size(); ++i)
        expectNear(shown[i], before[i], "shown where it was drawn");
    {
        AcDbObjectPointer<AcDbBlockReference> reference(ref, AcDb::kForRead);
        ACHAR* layer = reference->layer();
        EXPECT_STREQ(layer, L"WALLS");
        acutDelString(layer);
    }

    const struct {
        const wchar_t *tag, *text, *layer;
        AcGePoint3d inDefinition, inDrawing;
    } expected[] = {
        {L"AREA", L"12.50", L"ATT-AREA", {0, 0, 0}, {6000, 3500, 0}},
        {L"NAME", L"B.01", L"ATT-NAME", {0, 375, 0}, {6000, 3875, 0}},
        {L"AUX", L"", L"ATT-AUX", {0, -375, 0}, {6000, 3125, 0}},
    };
    const std::vector<TextSeen> defined = textsOf(definition);
    const std::vector<TextSeen> shownTexts = textsOf(ref);
    ASSERT_EQ(defined.size(), 3u);
    ASSERT_EQ(shownTexts.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(defined[i].tag, expected[i].tag);
        EXPECT_EQ(defined[i].layer, expected[i].layer);
        EXPECT_EQ(defined[i].text, std::wstring(L"DEFAULT ") + expected[i].tag);
        expectNear(defined[i].position, expected[i].inDefinition, "definition");
        EXPECT_EQ(shownTexts[i].tag, expected[i].tag);
        EXPECT_EQ(shownTexts[i].text, expected[i].text);
        EXPECT_EQ(shownTexts[i].layer, expected[i].layer);
        expectNear(shownTexts[i].position, expected[i].inDrawing, "attribute");
    }
    {
        AcDbObjectPointer<AcDbBlockTableRecord> def(definition, AcDb::kForRead);
        AcDbObjectPointer<AcDbAttributeDefinition> aux(def->qvEntities().back(), AcDb::kForRead);
        EXPECT_FALSE(aux->isInvisible() || aux->isConstant() || aux->isVerifiable() ||
                     aux->isPreset());
        EXPECT_DOUBLE_EQ(aux->height(), 250.0);
    }
    EXPECT_NE(qv::test::xdataOf(ref, L"ADE").find(L"1000:NAME=B.01|"), std::wstring::npos);
}

TEST_F(CreationTest, TurnedTextsStandAcrossTheirDirection) {
    CBlockDWG block;
    ASSERT_EQ(create(block, addRectangle(0, 0, 4000, 3000), L"ROOM-9", AcGePoint3d(2000, 1500, 0),
                     250.0, 90.0),
              Acad::eOk);
    const std::vector<TextSeen> defined = textsOf(definitionOf(block.getObjectId()));
    ASSERT_EQ(defined.size(), 3u);
    EXPECT_NEAR(defined[0].rotation, kPi / 2, 1e-12);
    expectNear(defined[1].position, AcGePoint3d(-375, 0, 0), "NAME above a turned AREA");
    expectNear(defined[2].position, AcGePoint3d(375, 0, 0), "AUX below it");
}

// A taken name, an invalid one or a refused lock change nothing: the polyline stays where it was,
// in model space, and no definition is left.
TEST_F(CreationTest, AFailedCreationLeavesThePolylineAlone) {
    CBlockDWG first;
    ASSERT_EQ(create(first, addRectangle(0, 0, 1000, 1000), L"ROOM-1"), Acad::eOk);
    const AcDbObjectId outline = addRectangle(5000, 0, 1000, 1000);
    const std::vector<AcGePoint3d> before = verticesOf(outline);
    const struct {
        const wchar_t* name;
        Acad::ErrorStatus expected;
        double textHeight = 250.0;
    } cases[] = {{L"room-1", Acad::eDuplicateRecordName},
                 {L"ROOM;2", Acad::eInvalidInput},
                 {L"ROOM-2", Acad::eInvalidInput, 0.0}};
    for (const auto& c : cases) {
        CBlockDWG block;
        EXPECT_EQ(create(block, outline, c.name, AcGePoint3d(5500, 500, 0), c.textHeight),
                  c.expected)
            << c.name;
        EXPECT_EQ(ownerOf(outline), db()->modelSpaceId());
        EXPECT_EQ(verticesOf(outline), before);
        EXPECT_TRUE(block.getObjectId().isNull());
    }
    EXPECT_FALSE(hasBlock(L"ROOM;2"));

    CBlockDWG block;
    block.setAttributes(nullptr);
    block.setBlockName(L"ROOM-3");
    {
        AcDbObjectPointer<AcDbEntity> pl(outline, AcDb::kForRead);
        block.setAttributes(nullptr);
        ASSERT_EQ(block.createBlock(&drawing, pl.object(), AcGePoint3d(5500, 500, 0), 100, 1, 0),
                  Acad::eOk)
            << "no attribute records: the attributes are made without values";
    }
    for (const TextSeen& t : textsOf(block.getObjectId()))
        EXPECT_EQ(t.text, L"") << t.tag;
}

// In a UCS turned by 90 degrees and moved, the insertion point is a UCS point: the boundary
// stays where it was drawn, and the texts run along the UCS x axis.
TEST_F(CreationTest, InAUserCoordinateSystemTheBoundaryStaysAndTextsFollowIt) {
    const AcDbObjectId outline = addRectangle(100, 200, 3000, 2000);
    const std::vector<AcGePoint3d> before = verticesOf(outline);
    {
        WriteLock lock(document());
        ASSERT_EQ(
            db()->setUcs(AcGePoint3d(100, 200, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis),
            Acad::eOk);
    }
    CBlockDWG block;
    // UCS (1000, -1500) is world (100 + 1500, 200 + 1000).
    ASSERT_EQ(create(block, outline, L"ROOM-U", AcGePoint3d(1000, -1500, 0), 100.0, 0.0),
              Acad::eOk);
    const std::vector<AcGePoint3d> shown = verticesOf(outline, block.getObjectId());
    for (size_t i = 0; i < before.size(); ++i)
        expectNear(shown[i], before[i], "boundary where it was drawn");
    const std::vector<TextSeen> texts = textsOf(block.getObjectId());
    ASSERT_EQ(texts.size(), 3u);
    expectNear(texts[0].position, AcGePoint3d(1600, 1200, 0), "AREA at the insertion point");
    EXPECT_NEAR(texts[0].rotation, kPi / 2, 1e-12) << "along the UCS x axis";
    expectNear(texts[1].position, AcGePoint3d(1450, 1200, 0), "NAME above, in the UCS");

    const auto back = readBack(block.getObjectId());
    ASSERT_NE(back->getAttributes(), nullptr);
    EXPECT_NEAR(back->getAttributes()->getRotation(), 0.0, 1e-9) << "0 degrees in the UCS";
}

TEST_F(CreationTest, DeletingGivesTheBoundaryBack) {
    const AcDbObjectId outline =
        addPolyline({{0, 0, 0}, {4000, 0, 1}, {4000, 2000, 0}, {0, 2000, 0}});
    const std::vector<AcGePoint3d> before = verticesOf(outline);
    CBlockDWG block;
    ASSERT_EQ(create(block, outline, L"ROOM-1", AcGePoint3d(2000, 1000, 0)), Acad::eOk);
    const AcDbObjectId definition = definitionOf(block.getObjectId());

    // A second reference, scaled unevenly: it is refused, and it keeps the definition alive.
    const AcDbObjectId second = addToModelSpace(new AcDbBlockReference({9000, 0, 0}, definition));
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(second, AcDb::kForWrite);
        ref->setScaleFactors(AcGeScale3d(2, 1, 1));
    }
    CBlockDWG uneven;
    uneven.setObjectId(second);
    EXPECT_FALSE(uneven.deleteBlock(&drawing));
    EXPECT_EQ(ownerOf(second), db()->modelSpaceId());

    // The first reference goes back to its boundary as a copy: the definition still shows it.
    ASSERT_TRUE(block.deleteBlock(&drawing));
    EXPECT_TRUE(hasBlock(L"ROOM-1"));
    EXPECT_EQ(ownerOf(outline), definition);
    {
        AcDbObjectPointer<AcDbBlockTableRecord> space(db()->modelSpaceId(), AcDb::kForRead);
        AcDbObjectId copy;
        for (const AcDbObjectId& id : space->qvEntities()) {
            if (!id.isErased() && id.objectClass() == AcDbPolyline::desc())
                copy = id;
        }
        ASSERT_FALSE(copy.isNull());
        EXPECT_EQ(verticesOf(copy), before);
    }

    // Made again around a new boundary and then deleted alone, the boundary itself comes back
    // with its handle, and the definition goes.
    const AcDbObjectId other = addRectangle(20000, 0, 1000, 1000);
    const AcDbHandle handle = other.handle();
    CBlockDWG alone;
    ASSERT_EQ(create(alone, other, L"ROOM-2", AcGePoint3d(20500, 500, 0)), Acad::eOk);
    ASSERT_TRUE(alone.deleteBlock(&drawing));
    EXPECT_EQ(ownerOf(other), db()->modelSpaceId());
    EXPECT_EQ(other.handle(), handle);
    EXPECT_EQ(verticesOf(other)[2], AcGePoint3d(21000, 1000, 0));
    EXPECT_FALSE(hasBlock(L"ROOM-2"));
    EXPECT_TRUE(alone.getObjectId().isErased());
}

// A definition made from entities by their ids takes them over (same entities, moved by the base
// point) beside the three attribute definitions.
TEST_F(CreationTest, DefinitionsAreMadeFromEntitiesByTheirIds) {
    const AcDbObjectId outline = addRectangle(100, 100, 1000, 500);
    const AcDbObjectId line = addToModelSpace(new AcDbLine({100, 100, 0}, {1100, 600, 0}));
    AcDbObjectIdArray entities;
    entities.append(outline);
    entities.append(line);
    CBlockDWG block;
    block.setBlockName(L"ROOM-D");
    AcDbObjectId definition;
    ASSERT_EQ(
        block.createBlockDefinition(definition, entities, {100, 100, 0}, 50, 0.8, 0, &drawing),
        Acad::eOk);
    EXPECT_EQ(ownerOf(outline), definition);
    EXPECT_EQ(ownerOf(line), definition);
    expectNear(verticesOf(outline)[2], AcGePoint3d(1000, 500, 0), "moved by the base point");
    EXPECT_EQ(textsOf(definition).size(), 3u);
}

// A reference anywhere (here in a paper-space layout) keeps its definition.
TEST_F(CreationTest, ADefinitionStaysWhileAnyReferenceUsesIt) {
    CBlockDWG block;
    ASSERT_EQ(create(block, addRectangle(0, 0, 1000, 1000), L"ROOM-1", {500, 500, 0}), Acad::eOk);
    const AcDbObjectId definition = definitionOf(block.getObjectId());
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTableRecord> paper(db()->paperSpaceId(), AcDb::kForWrite);
        auto* ref = new AcDbBlockReference({0, 0, 0}, definition);
        ASSERT_EQ(paper->appendAcDbEntity(ref), Acad::eOk);
        ref->close();
    }
    ASSERT_TRUE(block.deleteBlock(&drawing));
    EXPECT_TRUE(hasBlock(L"ROOM-1"));
    WriteLock lock(document());
    AcDbObjectPointer<AcDbBlockTableRecord> def(definition, AcDb::kForWrite);
    EXPECT_FALSE(block.deleteBlockDefinition(&drawing, def.object()));
}

}  // namespace
