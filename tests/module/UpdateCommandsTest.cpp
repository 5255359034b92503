// ous, osxta, out, ort and obta on drawings with space blocks, through their handlers.
#include <gtest/gtest.h>

#include "SpaceSweepFixture.h"
#include "blocks/Attributes.h"
#include "module/UpdateCommands.h"

namespace {

using qv::test::SpaceSpec;

// Every room is 10 m by 5 m: 50 m², 30 m around (538.195520 sq.ft., 98.425197 ft.).
const SpaceSpec STALE_METRIC = {L"Office", 0, 10000, 5000,           40,
                                26,        0, 3,     L"40.000sq.m.", L"26.000m."};
const SpaceSpec TYPED_OVER = {L"Lobby", 20000, 10000, 5000,         40,
                              26,       0,     2,     L"Reception", L"Open plan"};
const SpaceSpec STALE_IMPERIAL = {L"Store", 40000, 10000,           5000,       430.56, 85.3,
                                  1,        2,     L"430.56sq.ft.", L"85.30ft."};

class UpdateCommands : public qv::test::SpaceSweepTest {
  protected:
    void drawThreeRooms() {
        metric = addSpace(STALE_METRIC);
        typed = addSpace(TYPED_OVER);
        imperial = addSpace(STALE_IMPERIAL);
    }
    AcDbObjectId metric, typed, imperial;
};

TEST_F(UpdateCommands, UpdateSpacesRewritesOnlyTheTextsThatShowTheStoredValues) {
    struct Case {
        int units, precision;
        // AREA and AUX texts of the three rooms after the run, and the stored area.
        std::wstring metricArea, metricAux, imperialArea, imperialAux, storedArea;
    };
    const Case cases[] = {
        {0, 2, L"50.00sq.m.", L"30.00m.", L"50.00sq.m.", L"30.00m.", L"50.00sq.m."},
        // The new numbers are square feet and feet, and so are their unit texts.
        {1, 1, L"538.2sq.ft.", L"98.4ft.", L"538.2sq.ft.", L"98.4ft.", L"538.2sq.ft."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.units);
        resetHostDrawing();
        drawThreeRooms();
        storePreferences(c.units, c.precision);
        answers.give({});
        updateSpaces();
        EXPECT_EQ(shown(), L"Orvan Update Spaces 64.04.00.01\n");
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ(textOf(metric, 1), c.metricArea);
        EXPECT_EQ(textOf(metric, 2), c.metricAux);
        EXPECT_EQ(textOf(imperial, 1), c.imperialArea);
        EXPECT_EQ(textOf(imperial, 2), c.imperialAux);
        // A text typed over by a user stays, while the stored values change.
        EXPECT_EQ(textOf(typed, 1), L"Reception");
        EXPECT_EQ(textOf(typed, 2), L"Open plan");
        for (AcDbObjectId room : {metric, typed, imperial})
            EXPECT_EQ(xdataValue(room, L"AREA"), c.storedArea);
        EXPECT_EQ(xdataValue(typed, L"PERIMETER"), c.units == 0 ? L"30.00m." : L"98.4ft.");
    }
}

TEST_F(UpdateCommands, AnEmptyDrawingEndsQuietly) {
    const struct {
        void (*command)();
        std::vector<std::string> answers;
        std::wstring transcriptEnd;
    } cases[] = {
        {updateSpaces, {}, L"Orvan Update Spaces 64.04.00.01\n"},
        {orvanRefreshTags, {}, L""},
        {blankThirdAttribute, {}, L"0 block(s) altered\n"},
        {updateTextSize, {"", "", ""}, L"Enter new Text Rotation or (i)gnore <0.00>: 0.00\n"},
    };
    for (const auto& c : cases) {
        answers.give(c.answers);
        c.command();
        const std::wstring text = shown();
        EXPECT_EQ(text.substr(text.size() - std::min(text.size(), c.transcriptEnd.size())),
                  c.transcriptEnd);
        EXPECT_EQ(answers.left(), 0u);
        EXPECT_TRUE(messageBoxes().empty());
    }
}

TEST_F(UpdateCommands, SyncCopiesTheChosenStoredValuesInThePreferredUnits) {
    struct Case {
        const char* name;
        std::vector<std::string> answers;  // name, area, perimeter, recalculate
        int units;
        std::wstring metricArea, metricAux, typedArea, storedArea;
    };
    const Case cases[] = {
        {"all no: nothing changes", {"n", "n", "n", "n"}, 0, L"40.000sq.m.", L"26.000m.",
         L"Reception", L"40.000sq.m."},
        // The stored 40 m² written in square feet, converted for the text; the store stays.
        {"defaults in feet", {"", "", "", ""}, 1, L"430.56sq.ft.", L"26.000m.", L"430.56sq.ft.",
         L"40.000sq.m."},
        {"recalculated first", {"y", "y", "y", "y"}, 0, L"50.00sq.m.", L"30.00m.", L"50.00sq.m.",
         L"50.00sq.m."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetHostDrawing();
        drawThreeRooms();
        storePreferences(c.units, 2);
        answers.give(c.answers);
        syncXDataToAttributes();
        EXPECT_EQ(answers.left(), 0u);
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ(textOf(metric, 0), L"Office");
        EXPECT_EQ(textOf(metric, 1), c.metricArea);
        EXPECT_EQ(textOf(metric, 2), c.metricAux);
        EXPECT_EQ(textOf(typed, 1), c.typedArea);
        EXPECT_EQ(xdataValue(metric, L"AREA"), c.storedArea);
    }
    EXPECT_NE(shown().find(L"Orvan Update Spaces 64.04.00.01\n\nSync XData name to name "
                                L"attribute? <1>: 1\n\nSync XData area to area attribute? <1>: 1"
                                L"\n\nSync XData perimeter to aux attribute? <0>: 1\n\n"
                                L"Recalculate values before sync? <0>: 1\n"),
              std::wstring::npos)
        << shown();
}

TEST_F(UpdateCommands, TextSizeIgnoredOrCancelledLeavesTheTexts) {
    const struct {
        std::vector<std::string> answers;
        bool cancelled;
    } cases[] = {{{"i", "i", "i"}, false}, {{"300", "^C"}, true}};
    for (const auto& c : cases) {
        resetHostDrawing();
        const AcDbObjectId room = addSpace(STALE_METRIC);
        answers.give(c.answers);
        updateTextSize();
        EXPECT_EQ(answers.left(), 0u);
        EXPECT_EQ(shown().find(L"Cancelled by User.\n") != std::wstring::npos, c.cancelled);
        const std::unique_ptr<CBlockDWG> block = readBack(room);
        EXPECT_DOUBLE_EQ(block->getAttributes()->getTextHeight(), 250.0);
        EXPECT_DOUBLE_EQ(block->getAttributes()->getRotation(), 0.0);
    }
}

// A space block without texts (as another program leaves one: no attributes, no stored data)
// has nothing to resize: out passes over it, writes nothing into it, and resizes the others.
TEST_F(UpdateCommands, TextSizePassesOverSpaceBlocksWithoutTexts) {
    drawThreeRooms();
    {
        WriteLock lock(document());
        AcDbObjectPointer<AcDbBlockReference> ref(typed, AcDb::kForWrite);
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            AcDbObjectPointer<AcDbAttribute> attribute(id, AcDb::kForWrite);
            ASSERT_EQ(attribute->erase(), Acad::eOk);
        }
        resbuf* none = acutBuildList(1001, L"ADE", 0);
        ASSERT_EQ(ref->setXData(none), Acad::eOk);
        acutRelRb(none);
    }
    ASSERT_EQ(textOf(typed, 0), L"<none>");
    answers.give({"300", "i", "i"});
    updateTextSize();
    EXPECT_EQ(answers.left(), 0u);
    EXPECT_TRUE(messageBoxes().empty());
    for (AcDbObjectId room : {metric, imperial})
        EXPECT_DOUBLE_EQ(readBack(room)->getAttributes()->getTextHeight(), 300.0);
    EXPECT_EQ(textOf(typed, 0), L"<none>");
    EXPECT_EQ(xdataValue(typed, L"AREA"), L"<none>") << "nothing written into the bare block";
}

TEST_F(UpdateCommands, RefreshTagsLaysTheTextsOutAgainUnderOneLock) {
    const AcDbObjectId room = addSpace(STALE_METRIC);
    const auto nameAttribute = [&] {
        AcDbObjectPointer<AcDbBlockReference> ref(room, AcDb::kForRead);
        for (const AcDbObjectId& id : ref->qvAttributes()) {
            AcDbObjectPointer<AcDbAttribute> attribute(id, AcDb::kForRead);
            if (taken(attribute->tag()) == L"NAME")
                return id;
        }
        return AcDbObjectId();
    }();
    const auto nameAt = [&] {
        AcDbObjectPointer<AcDbAttribute> attribute(nameAttribute, AcDb::kForRead);
        return attribute->position();
    };
    const AcGePoint3d laidOut = nameAt();
    for (const bool refused : {true, false}) {
        SCOPED_TRACE(refused);
        {
            WriteLock lock(document());
            AcDbObjectPointer<AcDbAttribute> attribute(nameAttribute, AcDb::kForWrite);
            attribute->setPosition(AcGePoint3d(-7000, -7000, 0));
        }
        const int requests = acDocManager->qvLockRequests();
        if (refused)
            acDocManager->qvRefuseLocks(1);
        answers.give({});
        orvanRefreshTags();
        EXPECT_EQ(shown(), L"");
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ(document()->qvLockCount(), 0);
        // One lock for the whole run (the collection takes its level inside it).
        EXPECT_EQ(acDocManager->qvLockRequests() - requests, 1);
        EXPECT_EQ(nameAt().isEqualTo(laidOut), !refused);
    }
}

TEST_F(UpdateCommands, BlankThirdAttributeCountsOnlyTheBlocksWithAnAux) {
    drawThreeRooms();
    SpaceSpec noAux = STALE_METRIC;
    noAux.x = 60000;
    noAux.auxText = nullptr;
    const AcDbObjectId withoutAux = addSpace(noAux);
    answers.give({});
    blankThirdAttribute();
    EXPECT_EQ(shown(), L"3 block(s) altered\n");
    for (AcDbObjectId room : {metric, typed, imperial})
        EXPECT_EQ(textOf(room, 2), L" ");
    EXPECT_EQ(textOf(withoutAux, 2), L"<none>");
    EXPECT_EQ(textOf(withoutAux, 1), L"40.000sq.m.");
}

}  // namespace
