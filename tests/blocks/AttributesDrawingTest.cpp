// Reading the attributes of block references into attribute lists and writing them back.
#include <gtest/gtest.h>

#include <numbers>
#include <tuple>
#include <vector>

#include "BlockFixture.h"
#include "blocks/Attribute.h"
#include "drawing/BlockDefinitions.h"

namespace {

using qv::test::BlockTest;
using qv::test::spaceAttributes;
constexpr double kPi = std::numbers::pi;

struct Text {
    const wchar_t* tag;
    const wchar_t* text;
    AcGePoint3d position;
    const wchar_t* layer = L"0";
};

class AttributesDrawingTest : public BlockTest {
  protected:
    // A reference to a block "TAGS" carrying the attributes (height 100, rotation 0).
    AcDbObjectId reference(std::vector<Text> texts) {
        if (block.isNull())
            block = qv::test::defineBlock(document(), L"TAGS",
                                          {{new AcDbLine({0, 0, 0}, {1, 0, 0}), false}});
        auto* ref = new AcDbBlockReference({0, 0, 0}, block);
        for (const Text& t : texts) {
            if (std::wstring(t.layer) != L"0")
                addLayer(t.layer);
            auto* attribute = new AcDbAttribute(t.position, t.text, t.tag);
            attribute->setHeight(100.0);
            attribute->setLayer(t.layer);
            ref->appendAttribute(attribute);
        }
        return addToModelSpace(ref);
    }

    // Each attribute as tag, text and position.
    std::vector<std::tuple<std::wstring, std::wstring, AcGePoint3d>> texts(AcDbObjectId ref) {
        std::vector<std::tuple<std::wstring, std::wstring, AcGePoint3d>> out;
        AcDbObjectPointer<AcDbBlockReference> reference(ref, AcDb::kForRead);
        for (const AcDbObjectId& id : reference->qvAttributes()) {
            AcDbObjectPointer<AcDbAttribute> a(id, AcDb::kForRead);
            out.emplace_back(a->tagConst(), a->textStringConst(), a->position());
        }
        return out;
    }

    AcDbObjectId block;
};

TEST_F(AttributesDrawingTest, SpaceBlockTextsAreReadByKind) {
    const AcDbObjectId ref = reference({{L"name", L"B.01", {0, 150, 0}, L"ATT-NAME"},
                                        {L"Area", L"12.50", {5, 5, 0}},
                                        {L"aux", L"x", {0, -150, 0}},
                                        {L"AREA", L"second", {7, 7, 0}},
                                        {L"OTHER", L"o", {0, 0, 0}}});
    CAttributes list;
    list.setTextHeight(1.0);
    {
        AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForRead);
        list.extractSpaceBlockAttributeValues(r.object(), AcGeMatrix3d());
    }
    ASSERT_EQ(list.getCount(), 3);
    const wchar_t* tags[] = {L"NAME", L"AREA", L"AUX"};
    const wchar_t* values[] = {L"B.01", L"12.50", L"x"};
    for (int kind = 0; kind < 3; ++kind) {
        const CAttribute* record = list.getAtAttribute(kind);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->getTag(), tags[kind]);
        EXPECT_EQ(record->getValue(), values[kind]) << "the first AREA's text";
    }
    EXPECT_EQ(list.getAtAttribute(0)->getLayer(), L"ATT-NAME");
    EXPECT_EQ(list.getAreaPosition(), AcGePoint3d(7, 7, 0)) << "the last AREA's position";
    EXPECT_DOUBLE_EQ(list.getTextHeight(), 100.0);

    // Without attributes the list is emptied and keeps its format.
    const AcDbObjectId bare = reference({});
    AcDbObjectPointer<AcDbBlockReference> r(bare, AcDb::kForRead);
    list.extractSpaceBlockAttributeValues(r.object(), AcGeMatrix3d());
    EXPECT_EQ(list.getCount(), 0);
    EXPECT_DOUBLE_EQ(list.getTextHeight(), 100.0);

    // Generic reading keeps tags as stored, the first of equal tags.
    const AcDbObjectId asset =
        reference({{L"ROOM", L"1", {0, 0, 0}}, {L"room", L"2", {0, 0, 0}}, {L"ROOM", L"3", {}}});
    AcDbObjectPointer<AcDbBlockReference> a(asset, AcDb::kForRead);
    CAttributes generic;
    generic.extractAttributeValues(a.object());
    ASSERT_EQ(generic.getCount(), 2);
    EXPECT_EQ(generic.getAtAttributeByTag(L"ROOM")->getValue(), L"1");
    EXPECT_EQ(generic.getAt(0)->getExists(), 1);
}

// Texts are laid out around the AREA text across their direction, turned in the UCS.
TEST_F(AttributesDrawingTest, TextsAreLaidOutAroundTheAreaText) {
    CBlockDWG block;
    ASSERT_EQ(create(block, addRectangle(0, 0, 4000, 3000), L"ROOM-1", {2000, 1500, 0}), Acad::eOk);
    block.getAttributes()->setRotation(90.0);
    {
        WriteLock lock(document());
        block.updateAttributes(AcGeMatrix3d(), nullptr);
    }
    auto laid = texts(block.getObjectId());
    ASSERT_EQ(laid.size(), 3u);
    const AcGePoint3d expected[] = {{2000, 1500, 0}, {1625, 1500, 0}, {2375, 1500, 0}};
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(std::get<2>(laid[i]).isEqualTo(expected[i])) << i;
    {
        AcDbObjectPointer<AcDbBlockReference> r(block.getObjectId(), AcDb::kForRead);
        AcDbObjectPointer<AcDbAttribute> area(r->qvAttributes()[0], AcDb::kForRead);
        EXPECT_NEAR(area->rotation(), kPi / 2, 1e-12);
    }
    // At a given point, in a UCS turned by 90 degrees: 0 degrees in it runs along world y.
    AcGeMatrix3d ucs;
    ucs.setCoordSystem({0, 0, 0}, AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis,
                       AcGeVector3d::kZAxis);
    block.getAttributes()->setRotation(0.0);
    AcGePoint3d at(100, 100, 0);
    {
        WriteLock lock(document());
        block.updateAttributes(ucs, &at);
    }
    laid = texts(block.getObjectId());
    EXPECT_TRUE(std::get<2>(laid[1]).isEqualTo(AcGePoint3d(-275, 100, 0)));
    EXPECT_TRUE(std::get<2>(laid[2]).isEqualTo(AcGePoint3d(475, 100, 0)));
    // Unturned in the world: NAME above, AUX below.
    {
        WriteLock lock(document());
        block.updateAttributes(AcGeMatrix3d(), &at);
    }
    laid = texts(block.getObjectId());
    EXPECT_TRUE(std::get<2>(laid[1]).isEqualTo(AcGePoint3d(100, 475, 0)));
    EXPECT_TRUE(std::get<2>(laid[2]).isEqualTo(AcGePoint3d(100, -275, 0)));
}

// Without a given point and without an AREA attribute NAME and AUX keep their places; a list
// record whose attribute the reference lacks is not written.
TEST_F(AttributesDrawingTest, MissingTextsAreNeitherMadeNorMoved) {
    const AcDbObjectId noArea =
        reference({{L"NAME", L"old", {1, 2, 0}}, {L"AUX", L"a", {3, 4, 0}}});
    const AcDbObjectId noAux =
        reference({{L"NAME", L"old", {1, 2, 0}}, {L"AREA", L"a", {3, 4, 0}}});
    std::unique_ptr<CAttributes> list(spaceAttributes(L"B.02", L"9.00", L"new"));
    {
        WriteLock lock(document());
        list->applyToDWG(noArea, AcGeMatrix3d(), nullptr);
        list->applyToDWG(noAux, AcGeMatrix3d(), nullptr);
    }
    const auto a = texts(noArea);
    EXPECT_EQ(std::get<1>(a[0]), L"B.02");
    EXPECT_EQ(std::get<2>(a[0]), AcGePoint3d(1, 2, 0));
    EXPECT_EQ(std::get<1>(a[1]), L"new");
    EXPECT_EQ(std::get<2>(a[1]), AcGePoint3d(3, 4, 0));
    const auto b = texts(noAux);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(std::get<2>(b[0]), AcGePoint3d(3, 4 + 375, 0));
}

// A space block whose attributes lie on a locked layer still reads its texts, and writing it
// again keeps its NAME in the extended data.
TEST_F(AttributesDrawingTest, AttributesOnALockedLayerAreStillRead) {
    CBlockDWG made;
    ASSERT_EQ(create(made, addRectangle(0, 0, 1000, 1000), L"ROOM-1", {500, 500, 0}), Acad::eOk);
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbLayerTable> layers(db()->layerTableId(), AcDb::kForRead);
        AcDbLayerTableRecord* layer = nullptr;
        ASSERT_EQ(layers->getAt(L"ATT-NAME", layer, AcDb::kForWrite), Acad::eOk);
        layer->setIsLocked(true);
        layer->close();
    }
    const auto back = readBack(made.getObjectId());
    EXPECT_EQ(back->getCode(), L"B.01");
    EXPECT_EQ(back->getName(), L"B.01");
    back->setName(L"changed");
    back->applyToDWG(&drawing, nullptr);
    EXPECT_NE(qv::test::xdataOf(made.getObjectId(), L"ADE").find(L"NAME=B.01|"),
              std::wstring::npos);
}

TEST_F(AttributesDrawingTest, ByTagHidingAndShowing) {
    const AcDbObjectId ref = reference({{L"ROOM", L"1", {0, 0, 0}}, {L"KEEP", L"k", {0, 0, 0}}});
    addLayer(L"ASSETS");
    {
        CAttributes list;
        list.add(new CAttribute(L"ROOM", L"2", 0), FALSE);
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> r(ref, AcDb::kForWrite);
        list.applyToDWGByTag(r.object());
        list.getAt(0)->setLayer(L"ASSETS");
        list.getAt(0)->setValue(L"3");
        list.applyToDWGByTag(r.object());
    }
    {
        AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForRead);
        AcDbObjectPointer<AcDbAttribute> room(r->qvAttributes()[0], AcDb::kForRead);
        EXPECT_STREQ(room->textStringConst(), L"3");
        ACHAR* layer = room->layer();
        EXPECT_STREQ(layer, L"ASSETS");
        acutDelString(layer);
    }
    CAttributes hidden;
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForWrite);
        hidden.setAttributesIDsInvisible(r.object());
        hidden.setAttributesIDsInvisible(r.object());
    }
    EXPECT_EQ(hidden.getCount(), 2) << "recorded once: the second call finds them hidden";
    {
        WriteLock lock(document());
        hidden.setAttributesIDsVisible();
    }
    AcDbObjectPointer<AcDbBlockReference> r(ref, AcDb::kForRead);
    for (const AcDbObjectId& id : r->qvAttributes()) {
        AcDbObjectPointer<AcDbAttribute> a(id, AcDb::kForRead);
        EXPECT_FALSE(a->isInvisible());
    }
}

}  // namespace
