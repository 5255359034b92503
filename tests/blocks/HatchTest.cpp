// Hatching space blocks when they are written, the hatch's hyperlinks, and copying one block's
// format onto another.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "BlockFixture.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "core/ErrorCapture.h"
#include "core/OrvanExceptions.h"
#include "drawing/Hatch.h"
#include "support/FaultSweep.h"

namespace {

using qv::test::BlockTest;
constexpr double kPi = std::numbers::pi;

struct Point {
    double x, y, bulge;
};

class HatchTest : public BlockTest {
  protected:
    static CHatch* hatchSetting(const wchar_t* pattern, int angle, int scale) {
        auto* hatch = new CHatch;
        hatch->setPatternName(pattern);
        hatch->setPatternAngle(angle);
        hatch->setPatternScale(scale);
        hatch->setLayerName(L"HATCH*ROOMS");  // "*" cannot stand in a layer name
        AcCmColor colour;
        colour.setRGB(10, 200, 30);
        hatch->setColour(colour);
        return hatch;
    }

    // A space block around a 10 x 6 rectangle with one arc side, at the origin.
    std::unique_ptr<CBlockDWG> spaceBlock(const wchar_t* name = L"ROOM-1") {
        auto block = std::make_unique<CBlockDWG>();
        const AcDbObjectId outline = addPolyline({{0, 0, 0}, {10, 0, 0.5}, {10, 6, 0}, {0, 6, 0}});
        EXPECT_EQ(create(*block, outline, name), Acad::eOk);
        block->setName(L"Office");
        return block;
    }

    // The first loop of a hatch as vertices and bulges.
    static std::vector<Point> loopOf(AcDbObjectId hatchId, int index = 0) {
        AcDbObjectPointer<AcDbHatch> hatch(hatchId, AcDb::kForRead);
        Adesk::Int32 type = 0;
        AcGePoint2dArray vertices;
        AcGeDoubleArray bulges;
        std::vector<Point> points;
        if (hatch.openStatus() != Acad::eOk ||
            hatch->getLoopAt(index, type, vertices, bulges) != Acad::eOk)
            return points;
        for (int i = 0; i < vertices.length(); i++)
            points.push_back({vertices[i].x, vertices[i].y, bulges.isEmpty() ? 0.0 : bulges[i]});
        return points;
    }

    // The outline of a reference's definition, as stored.
    std::vector<Point> definitionOutline(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        AcDbObjectPointer<AcDbBlockTableRecord> definition(ref->blockTableRecord(), AcDb::kForRead);
        std::vector<Point> points;
        for (const AcDbObjectId& id : definition->qvEntities()) {
            AcDbObjectPointer<AcDbPolyline> pl(id, AcDb::kForRead);
            if (pl.openStatus() != Acad::eOk)
                continue;
            for (unsigned int i = 0; i < pl->numVerts(); i++) {
                AcGePoint2d p;
                double b = 0.0;
                pl->getPointAt(i, p);
                pl->getBulgeAt(i, b);
                points.push_back({p.x, p.y, b});
            }
            break;
        }
        return points;
    }

    // Puts a dictionary where model space keeps its draw order, as a damaged drawing may hold
    // one: the host can move nothing to the bottom of model space's draw order then.
    void breakModelSpaceDrawOrder() {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockTableRecord> model(db()->modelSpaceId(), AcDb::kForWrite);
        if (model->extensionDictionary().isNull()) {
            ASSERT_EQ(model->createExtensionDictionary(), Acad::eOk);
        }
        AcDbObjectPointer<AcDbDictionary> dictionary(model->extensionDictionary(),
                                                     AcDb::kForWrite);
        AcDbObjectId old;
        if (dictionary->remove(L"ACAD_SORTENTS", old) == Acad::eOk) {
            AcDbObjectPointer<AcDbObject> table(old, AcDb::kForWrite);
            table->erase();
        }
        AcDbObjectPointer<AcDbDictionary> other;
        other.create();
        AcDbObjectId id;
        ASSERT_EQ(dictionary->setAt(L"ACAD_SORTENTS", other.object(), id), Acad::eOk);
    }

    void place(AcDbObjectId reference, const AcGePoint3d& at, double rotation, double scale) {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForWrite);
        ref->setPosition(at);
        ref->setRotation(rotation);
        ref->setScaleFactors(AcGeScale3d(scale, scale, 1.0));
    }
};

void expectSameLoop(const std::vector<Point>& actual, const std::vector<Point>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); i++) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-9);
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-9);
        EXPECT_NEAR(actual[i].bulge, expected[i].bulge, 1e-9);
    }
}

TEST_F(HatchTest, TheHatchFollowsATurnedScaledReferenceAndTheDefinitionStays) {
    auto block = spaceBlock();
    const std::vector<Point> stored = definitionOutline(block->getObjectId());
    place(block->getObjectId(), AcGePoint3d(100, 50, 0), kPi / 2, 2.0);
    block->setHatch(hatchSetting(L"ANSI31", 1, 3));
    auto* links = new CHyperlinks;
    links->add(new CHyperlink(L"http://rooms/1", L"Room 1"));
    block->setHyperlinks(links);

    COrvanExceptions errors;
    block->applyToDWG(&drawing, &errors);
    EXPECT_EQ(qv::test::errorTexts(errors), L"");
    const std::vector<AcDbObjectId> made = hatches();
    ASSERT_EQ(made.size(), 1u);

    // (x, y) -> (100 - 2y, 50 + 2x); arcs keep their bulge under a turn and a uniform scale.
    std::vector<Point> expected;
    for (const Point& p : stored)
        expected.push_back({100 - 2 * p.y, 50 + 2 * p.x, p.bulge});
    expectSameLoop(loopOf(made[0]), expected);
    expectSameLoop(definitionOutline(block->getObjectId()), stored);

    AcDbObjectPointer<AcDbHatch> hatch(made[0], AcDb::kForRead);
    EXPECT_STREQ(hatch->patternName(), L"ANSI31");
    EXPECT_DOUBLE_EQ(hatch->patternAngle(), 1.0);  // the whole number is taken as radians
    EXPECT_DOUBLE_EQ(hatch->patternScale(), 3.0);
    EXPECT_FALSE(hatch->associative());
    EXPECT_EQ(hatch->loopTypeAt(0) & AcDbHatch::kOutermost, AcDbHatch::kOutermost);
    ACHAR* layer = hatch->layer();
    EXPECT_STREQ(layer, L"HATCHROOMS");
    acutDelString(layer);
    EXPECT_EQ(std::make_tuple(hatch->color().red(), hatch->color().green(), hatch->color().blue()),
              std::make_tuple(10, 200, 30));
    CHyperlinks onHatch(hatch.object());
    ASSERT_EQ(onHatch.getCount(), 1);
    EXPECT_EQ(onHatch.getAt(0)->getHref(), L"http://rooms/1");
    hatch.close();

    // A second write draws a second hatch, at the bottom of the draw order under the first.
    block->applyToDWG(&drawing, &errors);
    ASSERT_EQ(hatches().size(), 2u);
    const AcDbObjectIdArray order = qv::host::drawOrder(db()->modelSpaceId());
    ASSERT_GE(order.length(), 2);
    EXPECT_EQ(order[0], hatches()[1]);
    EXPECT_EQ(order[1], hatches()[0]);
}

// Under a mirroring reference the outline's arcs turn the other way round as the hatch sees them.
TEST_F(HatchTest, AMirroredReferenceHatchesItsArcsTheOtherWayRound) {
    auto block = spaceBlock();
    const std::vector<Point> stored = definitionOutline(block->getObjectId());
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(block->getObjectId(), AcDb::kForWrite);
        ref->setPosition(AcGePoint3d::kOrigin);
        ref->setScaleFactors(AcGeScale3d(-1.0, 1.0, 1.0));
    }
    block->setHatch(hatchSetting(L"SOLID", 0, 1));
    COrvanExceptions errors;
    block->applyToDWG(&drawing, &errors);
    EXPECT_EQ(qv::test::errorTexts(errors), L"");
    ASSERT_EQ(hatches().size(), 1u);
    std::vector<Point> expected;
    for (const Point& p : stored)
        expected.push_back({-p.x, p.y, -p.bulge});
    expectSameLoop(loopOf(hatches()[0]), expected);
}

TEST_F(HatchTest, ADefinitionWithoutOutlineGivesNoHatch) {
    // A block of a circle only: no outline to hatch.
    AcDbObjectId circle =
        addToModelSpace(new AcDbCircle(AcGePoint3d(5, 5, 0), AcGeVector3d::kZAxis, 2));
    CBlockDWG block;
    ASSERT_EQ(create(block, circle, L"ROOM-C"), Acad::eOk);
    block.setName(L"Round");
    block.setHatch(hatchSetting(L"ANSI31", 0, 1));
    COrvanExceptions errors;
    block.applyToDWG(&drawing, &errors);
    EXPECT_EQ(qv::test::errorTexts(errors), L"Unable to hatch Orvan Block: Round. Handle: " +
                                                std::wstring(block.getHandle()) +
                                                L". Please check the polyline is closed.");
    EXPECT_TRUE(hatches().empty());
}

TEST_F(HatchTest, FailuresAreCollectedAndTheWriteGoesOn) {
    struct Case {
        const char* name;
        bool openOutline, erasedAdded;
        int scale;
        Adesk::Int32 maxLines;
        const wchar_t* errors;  // "%H": the block's handle, "%L" any source line
        size_t hatches;
        bool brokenDrawOrder = false;  // last: it stays broken
    };
    const Case cases[] = {
        {"clean", false, false, 1, 1000000, L"", 1},
        {"open outline", true, false, 1, 1000000,
         L"Unable to hatch Orvan Block: Office. Handle: %H. Please check the polyline is closed.",
         0},
        {"erased added area", false, true, 1, 1000000,
         L"Unable to apply additional hatch areas to Orvan Block: Office.", 1},
        {"too dense", false, false, 1, 100,
         L"Unable to hatch orvan block Office. ANSI31 set at scale 1.00is too dense to be "
         L"displayed.",
         1},
        {"not dense enough", false, false, 100000, 1000000,
         L"Unable to hatch orvan block Office. ANSI31 set at scale 100000.00 is not dense enough "
         L"to be displayed.",
         1},
        // The hatch is made and kept, and its draw order said to have failed.
        {"draw order refused", false, false, 1, 1000000,
         L"The following AutoCAD error occurred on line#%L: eNotThatKindOfClass.", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto block = spaceBlock(CString(L"ROOM-") + CString(c.name).Left(4));
        // Away from the pattern's lines through the origin: a coarse pattern misses it.
        // The dense case is drawn 100 times as large: some 400 lines of ANSI31 at scale 1.
        place(block->getObjectId(), AcGePoint3d(5000, 9000, 0), 0.0,
              c.maxLines == 100 ? 100.0 : 1.0);
        db()->setHpmaxlines(c.maxLines);
        if (c.openOutline) {
            AcDbObjectPointer<AcDbBlockReference> ref(block->getObjectId(), AcDb::kForRead);
            AcDbObjectPointer<AcDbBlockTableRecord> def(ref->blockTableRecord(), AcDb::kForRead);
            WriteLock lock(document());
            for (const AcDbObjectId& id : def->qvEntities()) {
                AcDbObjectPointer<AcDbPolyline> pl(id, AcDb::kForWrite);
                if (pl.openStatus() == Acad::eOk) {
                    pl->setClosed(false);
                    break;
                }
            }
        }
        if (c.erasedAdded) {
            const AcDbObjectId added = addRectangle(50, 0, 5, 5);
            AcDbHandle handle;
            {
                AcDbObjectPointer<AcDbEntity> e(added, AcDb::kForRead);
                e->getAcDbHandle(handle);
            }
            block->addHandleToAdd(handle, nullptr);
            WriteLock lock(document());
            AcDbObjectPointer<AcDbEntity> e(added, AcDb::kForWrite);
            e->erase();
        }
        if (c.brokenDrawOrder)
            breakModelSpaceDrawOrder();
        block->setHatch(hatchSetting(L"ANSI31", 0, c.scale));
        const size_t before = hatches().size();
        COrvanExceptions errors;
        block->applyToDWG(&drawing, &errors);
        std::wstring expected = c.errors;
        if (const size_t at = expected.find(L"%H"); at != std::wstring::npos)
            expected.replace(at, 2, std::wstring(block->getHandle()));
        std::wstring texts = qv::test::errorTexts(errors);
        if (const size_t at = texts.find(L"line#"); at != std::wstring::npos)
            texts.replace(at + 5, texts.find_first_not_of(L"0123456789", at + 5) - at - 5, L"%L");
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(hatches().size() - before, c.hatches);
        EXPECT_FALSE(drawing.isLocked());
    }
}

TEST_F(HatchTest, AddedAreasAreFilledAndSubtractedAreasLeftOpen) {
    auto block = spaceBlock();
    const AcDbObjectId inside = addRectangle(2, 2, 2, 2);
    const AcDbObjectId outside = addRectangle(20, 0, 4, 4);
    for (auto [id, add] : {std::pair{inside, false}, std::pair{outside, true}}) {
        AcDbHandle handle;
        AcDbObjectPointer<AcDbEntity> e(id, AcDb::kForRead);
        e->getAcDbHandle(handle);
        add ? block->addHandleToAdd(handle, db()) : block->addHandleToMinus(handle, db());
    }
    block->setHatch(hatchSetting(L"SOLID", 0, 1));
    COrvanExceptions errors;
    block->applyToDWG(&drawing, &errors);
    EXPECT_EQ(qv::test::errorTexts(errors), L"");
    ASSERT_EQ(hatches().size(), 1u);
    AcDbObjectPointer<AcDbHatch> hatch(hatches()[0], AcDb::kForRead);
    ASSERT_EQ(hatch->numLoops(), 3);
    double area = 0.0;
    ASSERT_EQ(hatch->getArea(area), Acad::eOk);
    // Rectangle 60, plus the arc's segment (bulge 0.5 over a chord of 6), less 4, plus 16.
    const double theta = 4 * std::atan(0.5), radius = 3.0 / std::sin(theta / 2);
    const double segment = radius * radius / 2 * (theta - std::sin(theta));
    EXPECT_NEAR(area, 60 + segment - 4 + 16, 1e-6);
}

TEST_F(HatchTest, HatchingGivesBackEverythingOnEveryFault) {
    auto block = spaceBlock();
    block->setHatch(hatchSetting(L"ANSI31", 0, 1));
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(
        [&] {
            COrvanExceptions errors;
            qv::test::caught([&] { block->applyToDWG(&drawing, &errors); });
        },
        {.setUp = nullptr, .check = [&]() -> std::string {
             return drawing.isLocked() ? "the wrapper still counts a lock" : "";
         }});
    EXPECT_TRUE(sweep.clean()) << sweep.report();
}

TEST(CopyFormatting, TheSourceFormatReplacesOnlyWhatItHas) {
    auto links = [](std::initializer_list<const wchar_t*> hrefs) {
        auto* list = new CHyperlinks;
        for (const wchar_t* href : hrefs)
            list->add(new CHyperlink(href, L"d"));
        return list;
    };
    CBlockDWG source, target;
    source.setArea(0.0);
    source.setAttributes(qv::test::spaceAttributes(L"Lab", L"9.00", L"x"));
    source.getAttributes()->setTextHeight(100.0);
    target.setArea(5.0);
    target.setAttributes(new CAttributes);
    auto* kept = new COrvanAttribute;
    kept->setKind(COrvanAttribute::KIND_NAME);
    kept->setValue(L"old");
    kept->setLayer(L"MINE");
    target.getAttributes()->add(kept, FALSE);
    target.setHatch(new CHatch);
    target.getHatch()->setPatternName(L"KEEP");
    target.setHyperlinks(links({L"http://old"}));
    source.setHyperlinks(links({L"http://a", L"http://b"}));

    source.copyFormatting(&target);
    EXPECT_EQ(target.getArea(), 0.0);
    CAttributes* attributes = target.getAttributes();
    ASSERT_EQ(attributes->getCount(), 3);
    EXPECT_EQ(attributes->getAt(0), kept);
    EXPECT_EQ(kept->getValue(), L"Lab");
    EXPECT_EQ(kept->getLayer(), L"MINE");
    EXPECT_EQ(attributes->getAtAttribute(COrvanAttribute::KIND_AUX)->getValue(), L"x");
    EXPECT_EQ(attributes->getTextHeight(), 100.0);
    EXPECT_EQ(target.getHatch()->getPatternName(), L"KEEP");  // the source has no hatch
    ASSERT_EQ(target.getHyperlinks()->getCount(), 2);
    EXPECT_EQ(target.getHyperlinks()->getAt(1)->getHref(), L"http://b");
    EXPECT_NE(target.getHyperlinks(), source.getHyperlinks());

    target.copyFormatting(&target);  // onto itself: nothing
    EXPECT_EQ(target.getHyperlinks()->getCount(), 2);
}

}  // namespace
