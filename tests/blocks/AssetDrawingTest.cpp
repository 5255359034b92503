// An asset written to the drawing: its layer shown, its hatch, hyperlinks and attribute values.
#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "AssetFixture.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "core/OrvanExceptions.h"
#include "drawing/Hatch.h"
#include "support/FaultSweep.h"

namespace {

using qv::test::AssetTest;

class AssetDrawingTest : public AssetTest {
  protected:
    // An asset of the reference with a hatch setting (unless the pattern is null) and the
    // hyperlinks given as address, description pairs.
    std::unique_ptr<CAsset> assetOf(AcDbObjectId reference, const wchar_t* pattern, int scale,
                                    std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>
                                        links = {}) {
        auto asset = std::make_unique<CAsset>(0, handleText(reference).c_str(), L"CHAIR", L"",
                                              L"", 0.0, 0.0, 1);
        asset->setObjectId(reference);
        if (pattern != nullptr) {
            auto* hatch = new CHatch;
            hatch->setPatternName(pattern);
            hatch->setPatternScale(scale);
            hatch->setLayerName(L"HATCH<ASSETS>");
            AcCmColor colour;
            colour.setRGB(10, 20, 30);
            hatch->setColour(colour);
            asset->setHatch(hatch);
        }
        if (links.size() > 0) {
            auto* list = new CHyperlinks;
            for (const auto& [href, description] : links)
                list->add(new CHyperlink(href, description));
            asset->setHyperlinks(list);
        }
        return asset;
    }
};

// A chair turned a quarter and doubled: the hatch covers its block's rectangle as the reference
// places it, on the cleaned layer, beneath everything; hyperlinks go on the reference, its
// attribute, its definition's entities and the hatch; the attribute takes its value.
TEST_F(AssetDrawingTest, HatchHyperlinksAndAttributesOfAnAsset) {
    const AcDbObjectId block = defineBlock(L"CHAIR", -3, -2, -1, -1, true);
    const AcDbObjectId chair = insert(block, {10, 10, 0}, L"old", std::numbers::pi / 2, 2.0);
    auto asset = assetOf(chair, L"ANSI31", 1, {{L"http://a/1", L"Sheet"}, {L"http://a/2", L""}});
    auto* values = new CAttributes;
    values->add(new CAttribute(L"SERIAL", L"CH-9", 1), FALSE);
    asset->setAttributes(values);

    CAcadDrawing& d = drawing;
    COrvanExceptions errors;
    asset->applyToDWG(&d, &errors);
    EXPECT_EQ(qv::test::errorTexts(errors), L"");

    const std::vector<AcDbObjectId> made = hatches();
    ASSERT_EQ(made.size(), 1u);
    {
        AcDbObjectPointer<AcDbHatch> hatch(made[0], AcDb::kForRead);
        ASSERT_EQ(hatch.openStatus(), Acad::eOk);
        ACHAR* layer = hatch->layer();
        EXPECT_STREQ(layer, L"HATCHASSETS");
        acutDelString(layer);
        EXPECT_STREQ(hatch->patternName(), L"ANSI31");
        EXPECT_EQ(hatch->color().colorMethod(), AcCmEntityColor::kByColor);
        EXPECT_EQ(hatch->color().red(), 10);
        Adesk::Int32 type = 0;
        AcGePoint2dArray vertices;
        AcGeDoubleArray bulges;
        ASSERT_EQ(hatch->getLoopAt(0, type, vertices, bulges), Acad::eOk);
        EXPECT_TRUE(type & AcDbHatch::kOutermost);
        // (-3,-2)-(-1,-1) turned a quarter and doubled about (10, 10): x 12..14, y 4..8.
        const AcGePoint2d expected[] = {{14, 4}, {12, 4}, {12, 8}, {14, 8}};
        ASSERT_EQ(vertices.length(), 4);
        for (int i = 0; i < 4; i++)
            EXPECT_TRUE(vertices[i].isEqualTo(expected[i], AcGeTol()))
                << i << ": " << vertices[i].x << "," << vertices[i].y;
        EXPECT_EQ(linksOf(made[0]), L"http://a/1|Sheet;http://a/2|");
    }
    EXPECT_EQ(qv::host::drawOrder(db()->modelSpaceId())[0], made[0]) << "beneath everything";
    EXPECT_EQ(linksOf(chair), L"http://a/1|Sheet;http://a/2|");
    AcDbObjectPointer<AcDbBlockReference> ref(chair, AcDb::kForRead);
    AcDbObjectIterator* attributes = ref->attributeIterator();
    ASSERT_FALSE(attributes->done());
    const AcDbObjectId attributeId = attributes->objectId();
    delete attributes;
    EXPECT_EQ(linksOf(attributeId), L"http://a/1|Sheet;http://a/2|");
    {
        AcDbObjectPointer<AcDbAttribute> attribute(attributeId, AcDb::kForRead);
        EXPECT_STREQ(attribute->textStringConst(), L"CH-9");
    }
    AcDbObjectPointer<AcDbBlockTableRecord> definition(block, AcDb::kForRead);
    AcDbBlockTableRecordIterator* parts = nullptr;
    definition->newIterator(parts);
    AcDbObjectId first;
    parts->getEntityId(first);
    delete parts;
    EXPECT_EQ(linksOf(first), L"http://a/1|Sheet;http://a/2|");
}

// The hatch's evaluation failures reach the caller's list with their exact texts, and the hatch
// is still made.
TEST_F(AssetDrawingTest, DensityFailuresAreListedWithTheirTexts) {
    const struct {
        const char* what;
        double size;
        AcGePoint3d at;
        int scale;
        const wchar_t* text;  // after "Unable to hatch asset - <handle>. "
    } cases[] = {
        {"too dense", 1e7, {0, 0, 0}, 1, L"ANSI31 set at scale 1.00is too dense to be displayed."},
        {"not dense enough",
         10,
         {5000, 1000, 0},
         10000,
         L"ANSI31 set at scale 10000.00 is not dense enough to be displayed."},
    };
    int made = 0;
    for (const auto& c : cases) {
        const std::wstring name = L"BOX" + std::to_wstring(made);
        const AcDbObjectId box = insert(defineBlock(name.c_str(), 0, 0, c.size, c.size), c.at);
        auto asset = assetOf(box, L"ANSI31", c.scale);
        COrvanExceptions errors;
        asset->applyToDWG(&drawing, &errors);
        EXPECT_EQ(qv::test::errorTexts(errors),
                  L"Unable to hatch asset - " + handleText(box) + L". " + c.text)
            << c.what;
        EXPECT_EQ(hatches().size(), static_cast<size_t>(++made)) << c.what;
    }
}

// A reference on a layer that is off, frozen and locked: the layer is shown again with its
// line weight and plottable flag kept, and the asset is written.
TEST_F(AssetDrawingTest, TheLayerOfTheReferenceIsShown) {
    const AcDbObjectId chair =
        insert(defineBlock(L"CHAIR", 0, 0, 1, 1), {1, 1, 0}, nullptr, 0.0, 1.0, L"FURNITURE");
    {
        WriteLock lock(document());
        AcDbSymbolTablePointer<AcDbLayerTable> layers(db(), AcDb::kForRead);
        AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(L"FURNITURE", layers.object(),
                                                                 AcDb::kForWrite);
        layer->setIsOff(true);
        layer->setIsFrozen(true);
        layer->setIsLocked(true);
        layer->setIsPlottable(false);
        layer->setLineWeight(AcDb::kLnWt050);
    }
    auto asset = assetOf(chair, nullptr, 1, {{L"http://a/1", L"Sheet"}});
    COrvanExceptions errors;
    asset->applyToDWG(&drawing, &errors);
    EXPECT_EQ(linksOf(chair), L"http://a/1|Sheet");
    EXPECT_TRUE(hatches().empty());
    AcDbSymbolTablePointer<AcDbLayerTable> layers(db(), AcDb::kForRead);
    AcDbSymbolTableRecordPointer<AcDbLayerTableRecord> layer(L"FURNITURE", layers.object(),
                                                             AcDb::kForRead);
    EXPECT_FALSE(layer->isOff() || layer->isFrozen() || layer->isLocked());
    EXPECT_FALSE(layer->isPlottable());
    EXPECT_EQ(layer->lineWeight(), AcDb::kLnWt050);
}

// Nothing to hatch: a null object id changes nothing; a block whose definition holds nothing
// with extents is reported and not hatched.
TEST_F(AssetDrawingTest, AssetsThatCannotBeHatched) {
    auto nowhere = assetOf(AcDbObjectId::kNull, L"ANSI31", 1);
    COrvanExceptions errors;
    nowhere->applyToDWG(&drawing, &errors);
    EXPECT_EQ(errors.getCount(), 0);

    const AcDbObjectId empty = insert(defineBlock(L"EMPTY", 0, 0, 1, 1), {1, 1, 0});
    {
        // Empty the definition.
        AcDbObjectPointer<AcDbBlockReference> ref(empty, AcDb::kForRead);
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTableRecord> definition(ref->blockTableRecord(),
                                                           AcDb::kForRead);
        AcDbBlockTableRecordIterator* it = nullptr;
        definition->newIterator(it);
        AcDbObjectId part;
        it->getEntityId(part);
        delete it;
        AcDbObjectPointer<AcDbEntity> entity(part, AcDb::kForWrite);
        entity->erase();
    }
    auto asset = assetOf(empty, L"ANSI31", 1);
    asset->applyToDWG(&drawing, &errors);
    EXPECT_EQ(qv::test::errorTexts(errors), L"Unable to hatch asset - " + handleText(empty) +
                                        L": its block holds nothing with extents.");
    EXPECT_TRUE(hatches().empty());
}

// Whatever host call fails, writing an asset gives back what it opened and the lock.
TEST_F(AssetDrawingTest, WritingAnAssetGivesBackEverythingOnEveryFault) {
    const AcDbObjectId chair = insert(defineBlock(L"CHAIR", 0, 0, 1, 1, true), {1, 1, 0}, L"S");
    auto asset = assetOf(chair, L"ANSI31", 1, {{L"http://a/1", L"Sheet"}});
    auto* values = new CAttributes;
    values->add(new CAttribute(L"SERIAL", L"CH-9", 1), FALSE);
    asset->setAttributes(values);
    qv::test::FaultSweepOptions options;
    options.check = [&]() -> std::string {
        return drawing.isLocked() ? "the drawing still counts itself locked" : "";
    };
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(
        [&] {
            COrvanExceptions errors;
            try {
                asset->applyToDWG(&drawing, &errors);
            } catch (CEXOrvan* e) {
                e->deleteChain();
            }
        },
        options);
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_GT(sweep.failurePoints, 5);
}

}  // namespace
