// The second gross-area flow (grossAreaBlockCreate2), which no command calls: what it says in
// each situation and the block it makes; and the shared refusal of an outline that is no
// polyline, reached through createGrossAreaBlock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SpaceCommandFixture.h"
#include "drawing/AcadDrawing.h"
#include "module/BlockCommands.h"

namespace {

using qv::test::TextSeen;

class GrossAreaSecondFlow : public qv::test::SpaceCommandTest {};

const wchar_t kAskOutline[] = L"\n\nPlease select the gross area polyline:\n\n";
const wchar_t kAskPoint[] = L"Select Name and Area Text Position:\n\nEnter Attribute points: ";

TEST_F(GrossAreaSecondFlow, SaysWhatHappenedAndMakesTheBlockOnce) {
    const std::wstring made =
        std::wstring(kAskOutline) + kAskPoint + L"Gross Area Block Created Successfully\n";
    const struct {
        const char* name;
        bool closed;
        bool twice;                      // run once more after a block was made
        std::vector<std::string> given;  // the answers ("pick": the outline, "^C" cancels)
        std::wstring expected;
        size_t blocks;
    } cases[] = {
        {"cancelled pick",
         true,
         false,
         {"^C"},
         std::wstring(kAskOutline) + L"*Cancel*\nCancelled by User.\n"
                                     L"Gross Area Block Creation Cancelled\n",
         0},
        {"open outline",
         false,
         false,
         {"pick", "2000,1500"},
         std::wstring(kAskOutline) + kAskPoint + L"\nPolyline Is not closed\n\n",
         0},
        {"made", true, false, {"pick", "2000,1500"}, made, 1},
        {"already there",
         true,
         true,
         {"pick", "2000,1500"},
         made + L"Operation Cancelled. Gross Area Block already Exists\n",
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        renewDocument();
        storePreferences(1, 1, 100.0);
        const AcDbObjectId outline =
            addPolyline({{0, 0, 0}, {4000, 0, 1}, {4000, 3000, 0}, {0, 3000, 0}}, c.closed);
        std::vector<std::string> given;
        for (const std::string& answer : c.given)
            given.push_back(answer == "pick" ? pick(outline) : answer);
        answers.give(given);
        grossAreaBlockCreate2();
        if (c.twice)
            grossAreaBlockCreate2();
        EXPECT_EQ(c.expected, shown());
        EXPECT_EQ(0u, answers.left());
        const std::vector<AcDbObjectId> refs = referencesTo(L"ROOM-GROSS_AREA");
        ASSERT_EQ(c.blocks, refs.size());
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ("", qv::test::hostLeftovers());
        if (refs.empty())
            continue;
        // Square feet to one decimal, as the preferences say: 15.534 sq.m. is 167.2 sq.ft.; the
        // AREA text carries no unit here.
        const std::vector<TextSeen> texts = attributesOf(refs[0]);
        ASSERT_NE(nullptr, find(texts, L"AREA"));
        EXPECT_EQ(L"167.2", find(texts, L"AREA")->text);
        EXPECT_EQ(L"GROSS AREA", find(texts, L"NAME")->text);
        EXPECT_EQ(L" ", find(texts, L"AUX")->text);
        EXPECT_DOUBLE_EQ(100.0, find(texts, L"AREA")->height);
    }
}

// An outline handed over that is no polyline is refused and left alone.
TEST_F(GrossAreaSecondFlow, AnOutlineThatIsNoPolylineIsRefused) {
    const AcDbObjectId circle = addToModelSpace(new AcDbCircle({0, 0, 0}, AcGeVector3d::kZAxis, 5));
    CAcadDrawing drawing;
    drawing.setDocument(document());
    drawing.setIsOpen(1);
    answers.give({"2000,1500"});
    {
        WriteLock lock(document());
        createGrossAreaBlock(&drawing, circle, 0, 250.0, 1.0, 0.0, 2);
    }
    EXPECT_EQ(std::wstring(kAskPoint) + L"\nInvalid Selection\n\n", shown());
    EXPECT_TRUE(referencesTo(L"ROOM-GROSS_AREA").empty());
    EXPECT_EQ("", qv::test::hostLeftovers());
}

}  // namespace
