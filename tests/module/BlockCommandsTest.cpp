#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "SpaceCommandFixture.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "drawing/AcadDrawing.h"
#include "module/BlockCommands.h"
#include "support/FaultSweep.h"
#include "support/SpaceBlocks.h"

namespace {

using qv::test::expectNear;
using qv::test::TextSeen;

const double kPi = 3.141592653589793;

class BlockCommands : public qv::test::SpaceCommandTest {};

const wchar_t kBanner[] = L"Orvan Create Gross Area Block 64.04.00.01\n";
const wchar_t kAskPolyline[] = L"\n\nPlease select a polyline:\n\n";
const wchar_t kAskPoint[] = L"Select Name and Area Text Position:\n\nEnter Attribute points: ";

// What ogabc says in each situation, word for word, and whether it made the block.
TEST_F(BlockCommands, GrossAreaTranscripts) {
    const std::wstring banner = kBanner;
    const struct {
        const char* name;
        bool existing;      // a "ROOM-GROSS_AREA" definition without references
        bool open;          // the outline is not closed
        bool locked;        // its layer is locked
        std::vector<std::string> extra;  // answers after the pick ("^C" cancels)
        std::wstring expected;
        bool made;
    } cases[] = {
        {"already there", true, false, false, {}, banner + L"\n\nGross Area Block Already Exists\n",
         false},
        {"not closed", false, true, false, {},
         banner + kAskPolyline + L"\nInvalid Selection - Polyline is not closed\n\n", false},
        {"locked layer", false, false, true, {},
         banner + kAskPolyline + L"\nPolyline On Locked Layer - Block Creation Failed\n", false},
        {"point cancelled", false, false, false, {"^C"},
         banner + kAskPolyline + kAskPoint + L"*Cancel*\n", false},
        {"made", false, false, false, {"2000,1500"},
         banner + kAskPolyline + kAskPoint + L"Block Created Successfully\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewDocument();
        if (c.existing)
            addDefinition(L"ROOM-GROSS_AREA");
        const AcDbObjectId outline =
            c.locked ? addPolyline({{0, 0, 0}, {4000, 0, 0}, {4000, 3000, 0}, {0, 3000, 0}}, true,
                                   L"WALLS")
                     : addRectangle(0, 0, 4000, 3000, !c.open);
        if (c.locked)
            setLayer(L"WALLS", false, true, false);
        const std::vector<AcGePoint3d> before = verticesOf(outline);
        std::vector<std::string> given = {pick(outline)};
        given.insert(given.end(), c.extra.begin(), c.extra.end());
        answers.give(given);
        grossAreaBlockCreate();
        EXPECT_EQ(c.expected, shown());
        EXPECT_EQ(c.existing ? given.size() : 0u, answers.left());
        EXPECT_EQ(c.made ? 1u : 0u, referencesTo(L"ROOM-GROSS_AREA").size());
        EXPECT_EQ(c.made ? ownerOf(outline) != db()->modelSpaceId()
                         : ownerOf(outline) == db()->modelSpaceId(),
                  true);
        if (!c.made) {
            EXPECT_EQ(c.existing, hasBlock(L"ROOM-GROSS_AREA"));
            const std::vector<AcGePoint3d> after = verticesOf(outline);
            for (size_t i = 0; i < before.size(); ++i)
                expectNear(after[i], before[i], "untouched");
        }
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ("", qv::test::hostLeftovers());
    }
}

// The block's values: the AREA text is the area rounded to the precision, followed at once by
// the unit text, and the stored area and perimeter are the rounded numbers.
TEST_F(BlockCommands, GrossAreaValuesFollowThePreferences) {
    const struct {
        const char* name;
        int units, precision;
        const wchar_t* areaText;
        double area, perimeter;
    } cases[] = {
        // 4000 x 3000 mm with a half circle out of the 3000 side: 12 + pi * 1.5^2 / 2 =
        // 15.534 square metres, 11 + pi * 1.5 = 15.712 metres (167.21 sq.ft., 51.55 ft.).
        {"metric", 0, 2, L"15.53sq.m.", 15.53, 15.71},
        {"imperial", 1, 1, L"167.2sq.ft.", 167.2, 51.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewDocument();
        storePreferences(c.units, c.precision, 100.0);
        const AcDbObjectId outline =
            addPolyline({{0, 0, 0}, {4000, 0, 1}, {4000, 3000, 0}, {0, 3000, 0}});
        answers.give({pick(outline), "2000,1500"});
        grossAreaBlockCreate();
        const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-GROSS_AREA");
        ASSERT_EQ(1u, refs.size()) << std::string(shown().begin(), shown().end());
        const std::vector<TextSeen> texts = attributesOf(refs[0]);
        ASSERT_NE(nullptr, find(texts, L"AREA"));
        EXPECT_EQ(std::wstring(c.areaText), find(texts, L"AREA")->text);
        EXPECT_EQ(L"GROSS AREA", find(texts, L"NAME")->text);
        EXPECT_EQ(L" ", find(texts, L"AUX")->text);
        EXPECT_DOUBLE_EQ(100.0, find(texts, L"AREA")->height);
        expectNear(find(texts, L"AREA")->position, AcGePoint3d(2000, 1500, 0), "AREA at the pick");
        const auto back = readBack(refs[0]);
        EXPECT_EQ(L"GROSS AREA", std::wstring(back->getName()));
        EXPECT_EQ(c.units, back->getUnits());
        EXPECT_EQ(c.precision, back->getPrecision());
        EXPECT_DOUBLE_EQ(c.area, back->getArea());
        EXPECT_DOUBLE_EQ(c.perimeter, back->getPerimeter());
    }
}

// In a turned and moved UCS the outline stays where it was drawn when the block is made, and a
// creation the host refuses (a definition "room-gross_area": the host compares names without
// regard to case, the test for an existing gross-area block does not) leaves it where it was.
TEST_F(BlockCommands, GrossAreaInATurnedUcsMovesTheOutlineOnlyWhenTheBlockIsMade) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "made");
        renewDocument();
        if (refused)
            addDefinition(L"room-gross_area");
        const AcDbObjectId outline = addRectangle(100, 200, 3000, 2000);
        const std::vector<AcGePoint3d> before = verticesOf(outline);
        setUcs(AcGePoint3d(100, 200, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis);
        answers.give({pick(outline), "1000,-1500"});
        grossAreaBlockCreate();
        const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-GROSS_AREA");
        if (refused) {
            EXPECT_NE(std::wstring::npos, shown().find(L"Block Creation Failed - Error Code 95\n"));
            EXPECT_TRUE(refs.empty());
            EXPECT_EQ(db()->modelSpaceId(), ownerOf(outline));
        } else {
            ASSERT_EQ(1u, refs.size());
            EXPECT_NE(db()->modelSpaceId(), ownerOf(outline));
            // UCS (1000, -1500) is world (1600, 1200); the texts run along the UCS x axis.
            const std::vector<TextSeen> texts = attributesOf(refs[0]);
            expectNear(find(texts, L"AREA")->position, AcGePoint3d(1600, 1200, 0), "AREA");
            EXPECT_NEAR(kPi / 2, find(texts, L"AREA")->rotation, 1e-12);
        }
        const std::vector<AcGePoint3d> after =
            verticesOf(outline, refs.empty() ? AcDbObjectId::kNull : refs[0]);
        ASSERT_EQ(before.size(), after.size());
        for (size_t i = 0; i < before.size(); ++i)
            expectNear(after[i], before[i], "where it was drawn");
        EXPECT_EQ("", qv::test::hostLeftovers());
    }
}

// odb turns any block reference back into its outline: a space block made by ogabc, and a plain
// block that is no space block. A cancel only says so.
TEST_F(BlockCommands, DeleteGivesTheOutlineBack) {
    const AcDbObjectId outline = addRectangle(0, 0, 4000, 3000);
    const std::vector<AcGePoint3d> before = verticesOf(outline);
    answers.give({pick(outline), "2000,1500"});
    grossAreaBlockCreate();
    const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-GROSS_AREA");
    ASSERT_EQ(1u, refs.size());

    answers.give({pick(refs[0])});
    deleteBlock();
    EXPECT_EQ(L"Orvan Block Delete 64.04.00.01\n\nSelect the Orvan Block to delete\n", shown());
    EXPECT_EQ(db()->modelSpaceId(), ownerOf(outline)) << "the same polyline, same handle";
    EXPECT_FALSE(hasBlock(L"ROOM-GROSS_AREA"));
    const std::vector<AcGePoint3d> after = verticesOf(outline);
    for (size_t i = 0; i < before.size(); ++i)
        expectNear(after[i], before[i], "where it was");

    // A plain block with an outline is taken all the same.
    const AcDbObjectId chairRef = addChair(AcGePoint3d(10000, 0, 0));
    AcDbObjectId seat;
    {
        AcDbObjectPointer<AcDbBlockReference> ref(chairRef, AcDb::kForRead);
        AcDbObjectPointer<AcDbBlockTableRecord> definition(ref->blockTableRecord(), AcDb::kForRead);
        seat = definition->qvEntities().at(0);
    }
    answers.give({pick(chairRef)});
    deleteBlock();
    EXPECT_EQ(db()->modelSpaceId(), ownerOf(seat));
    expectNear(verticesOf(seat)[1], AcGePoint3d(10100, 0, 0), "placed as the reference showed it");

    answers.give({"^C"});
    deleteBlock();
    EXPECT_EQ(L"Orvan Block Delete 64.04.00.01\n\nSelect the Orvan Block to delete\n"
              L"*Cancel*\nCancelled by User.\n",
              shown());
    EXPECT_TRUE(messageBoxes().empty());
}

// Every host call of ogabc failing in turn, in a turned UCS: nothing escapes into the host,
// nothing stays open or locked, and the outline is either where it was drawn or inside the new
// block, shown where it was drawn.
TEST_F(BlockCommands, GrossAreaSurvivesEveryHostFailure) {
    const AcDbObjectId outline = addRectangle(100, 200, 3000, 2000);
    const std::vector<AcGePoint3d> drawn = verticesOf(outline);
    setUcs(AcGePoint3d(100, 200, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis);
    CAcadDrawing drawing;
    qv::test::wrapCurrentDocument(drawing, document());
    qv::test::FaultSweepOptions options;
    options.setUp = [&] {
        const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-GROSS_AREA");
        if (!refs.empty()) {
            CBlockDWG made;
            made.setObjectId(refs[0]);
            ASSERT_TRUE(made.deleteBlock(&drawing));
        }
        ui.clear();
        answers.give({pick(outline), "1000,-1500"});
    };
    options.check = [&]() -> std::string {
        const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-GROSS_AREA");
        if (refs.empty() != (ownerOf(outline) == db()->modelSpaceId()))
            return "outline and block disagree";
        const std::vector<AcGePoint3d> now =
            verticesOf(outline, refs.empty() ? AcDbObjectId::kNull : refs[0]);
        for (size_t i = 0; i < drawn.size(); ++i)
            if (now.size() != drawn.size() || now[i].distanceTo(drawn[i]) > 1e-6)
                return refs.empty() ? "outline moved" : "block shows the outline elsewhere";
        return "";
    };
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(grossAreaBlockCreate, options);
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_GT(sweep.failurePoints, 20);
}

TEST_F(BlockCommands, BlockDefinitionExistsComparesWholeNamesExactly) {
    addDefinition(L"ROOM-GROSS_AREA");
    addDefinition(L"*U7");
    CAcadDrawing drawing;
    qv::test::wrapCurrentDocument(drawing, document());
    const struct {
        const wchar_t* name;
        int expected;
    } cases[] = {
        {L"ROOM-GROSS_AREA", 1}, {L"room-gross_area", 0}, {L"ROOM-GROSS", 0},
        {L"*U7", 0},             {L"*Model_Space", 0},    {L"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, blockDefinitionExists(&drawing, c.name)) << c.name;
    drawing.setIsOpen(0);
    EXPECT_EQ(0, blockDefinitionExists(&drawing, L"ROOM-GROSS_AREA")) << "not open";
    EXPECT_EQ("", qv::test::hostLeftovers());
}

}  // namespace
