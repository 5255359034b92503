#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdAfx.h"
#include "drawing/AcadUtilities.h"
#include "support/CommandLineAnswers.h"
#include "support/HostFixture.h"

namespace {

class UserInput : public qv::test::DrawingTest {
  protected:
    static qv::host::ed::Editor& editor() { return qv::host::ed::editor(); }
    void answer(std::vector<std::string> lines) { answers.give(std::move(lines)); }
    static CString shown() { return qv::host::transcript().text().c_str(); }

    qv::test::CommandLineAnswers answers;
};

TEST_F(UserInput, IntegerPrompts) {
    const struct {
        std::vector<std::string> answers;
        int expected;
        const wchar_t* echo;
    } cases[] = {
        {{"-3"}, -3, L" -3\n"},
        {{""}, 5, L" 5\n"},
        {{}, 5, L" 5\n"},  // the input ended: cancelled
        {{"abc", "7"}, 7, L" 7\n"},  // the host refuses a non-number and asks again
    };
    for (const auto& c : cases) {
        answer(c.answers);
        int value = -99;
        CAcadUtilities::getInteger(L"Enter count", 5, &value);
        EXPECT_EQ(c.expected, value);
        EXPECT_EQ(0, shown().Find(L"\nEnter count <5>:")) << CStringA(shown()).GetString();
        EXPECT_TRUE(shown().Right(wcslen(c.echo)) == c.echo) << CStringA(shown()).GetString();
        EXPECT_EQ(0u, answers.left());
    }
}

TEST_F(UserInput, RealPromptsShowTheDefaultAndEchoWithThePrecision) {
    const struct {
        std::vector<std::string> answers;
        double expected;
        const wchar_t* echo;
    } cases[] = {
        {{"3.14159"}, 3.14159, L" 3.14\n"},
        {{"^C"}, 2.5, L" 2.50\n"},
    };
    for (const auto& c : cases) {
        answer(c.answers);
        double value = 0.0;
        CAcadUtilities::getDouble(L"Enter size", 2.5, 2, &value);
        EXPECT_DOUBLE_EQ(c.expected, value);
        EXPECT_EQ(0, shown().Find(L"\nEnter size <2.50>:"));
        EXPECT_TRUE(shown().Right(wcslen(c.echo)) == c.echo) << CStringA(shown()).GetString();
    }
}

TEST_F(UserInput, TextPromptsKeepTheDefaultUnlessSomethingWasTyped) {
    const std::string tooLong(2000, 'x');
    const struct {
        std::vector<std::string> answers;
        const wchar_t* expected;
    } cases[] = {
        {{"B"}, L"B"},
        {{""}, L"A"},
        {{"^C"}, L"A"},  // a cancel keeps the default instead of asking forever
        {{tooLong}, L"A"},  // longer than the answer can be: an error, the default stays
    };
    for (const auto& c : cases) {
        answer(c.answers);
        CString value = L"unset";
        CAcadUtilities::getString(L"Name", L"A", &value);
        EXPECT_EQ(CString(c.expected), value);
        EXPECT_EQ(0, shown().Find(L"\nName <A>:"));
        EXPECT_TRUE(shown().Right(value.GetLength() + 2) == L" " + value + L"\n");
        EXPECT_EQ(0u, answers.left());
    }
}

TEST_F(UserInput, TextValuesAreReturnedAsTyped) {
    const struct {
        std::vector<std::string> answers;
        const wchar_t* expected;
    } cases[] = {
        {{"a b  c"}, L"a b  c"},
        {{"^C"}, L""},
    };
    for (const auto& c : cases) {
        answer(c.answers);
        EXPECT_EQ(CString(c.expected), CAcadUtilities::getStringValue(L"Layer"));
        EXPECT_EQ(0, shown().Find(L"\nLayer:"));
        EXPECT_EQ(-1, shown().Find(L"Invalid input!"));
    }
}

TEST_F(UserInput, YesNoPrompts) {
    const struct {
        std::vector<std::string> answers;
        BOOL defaultValue;
        BOOL expected;
    } cases[] = {
        {{"yes"}, FALSE, TRUE}, {{"1"}, FALSE, TRUE},   {{"Yes"}, TRUE, FALSE},
        {{"0"}, TRUE, FALSE},   {{""}, TRUE, TRUE},     {{""}, FALSE, FALSE},
        {{"^C"}, TRUE, TRUE},   {{}, FALSE, FALSE},
    };
    for (const auto& c : cases) {
        answer(c.answers);
        BOOL value = 7;
        CAcadUtilities::getBoolean(L"Apply", c.defaultValue, &value);
        EXPECT_EQ(c.expected, value) << c.answers.size() << " " << c.defaultValue;
        const CString prompt = c.defaultValue ? L"\nApply <1>:" : L"\nApply <0>:";
        EXPECT_EQ(0, shown().Find(prompt));
        EXPECT_TRUE(shown().Right(3) == (c.expected ? L" 1\n" : L" 0\n"));
    }
}

TEST_F(UserInput, ACancelledYesNoDoesNotTakeTheAnswerBeforeIt) {
    answer({"y", "^C"});
    BOOL first = FALSE;
    CAcadUtilities::getBoolean(L"First", FALSE, &first);
    BOOL second = FALSE;
    CAcadUtilities::getBoolean(L"Second", FALSE, &second);
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);
}

// Picks in a drawing with a line, two polylines and a block reference.
class Picking : public UserInput {
  protected:
    enum Entity { NONE, LINE, FIRST, SECOND, REFERENCE };

    Picking() {
        m_ids[LINE] = addToModelSpace(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)));
        m_ids[FIRST] = addToModelSpace(square(100));
        m_ids[SECOND] = addToModelSpace(square(200));
        m_ids[REFERENCE] =
            addToModelSpace(new AcDbBlockReference(AcGePoint3d(500, 500, 0), block()));
    }
    static AcDbPolyline* square(double at) {
        auto* p = new AcDbPolyline;
        const double corners[][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
        for (unsigned int i = 0; i < 4; ++i)
            p->addVertexAt(i, AcGePoint2d(at + corners[i][0], corners[i][1]));
        p->setClosed(true);
        return p;
    }
    AcDbObjectId block() {
        WriteLock lock(document());
        AcDbBlockTable* table = nullptr;
        EXPECT_EQ(Acad::eOk, db()->getBlockTable(table, AcDb::kForWrite));
        auto* record = new AcDbBlockTableRecord;
        record->setName(L"ROOM-1");
        AcDbObjectId id;
        EXPECT_EQ(Acad::eOk, table->add(id, record));
        record->close();
        table->close();
        return id;
    }
    AcDbObjectId id(Entity e) const { return m_ids[e]; }
    // The answer that picks an entity by its handle.
    std::string pick(Entity e) const {
        return "#" + std::string(CStringA(id(e).handle().text().c_str()).GetString());
    }

  private:
    AcDbObjectId m_ids[5];
};

TEST_F(Picking, OnePickOfAClassAsksAgainUntilTheClassIsRight) {
    const struct {
        const char* name;
        std::vector<std::string> answers;
        int result;
        Entity expected;  // NONE: untouched
        std::vector<const wchar_t*> messages;
    } cases[] = {
        {"right class", {pick(FIRST)}, 0, FIRST, {}},
        {"wrong first",
         {pick(LINE), pick(SECOND)},
         0,
         SECOND,
         {L"Invalid selection - AcDbLine.\n"}},
        {"wrong twice",
         {pick(REFERENCE), pick(LINE), pick(FIRST)},
         0,
         FIRST,
         {L"Invalid selection - AcDbBlockReference.\n", L"Invalid selection - AcDbLine.\n"}},
        {"cancel", {"^C"}, 16, NONE, {L"Cancelled by User.\n"}},
        // The id of the last wrong pick is left behind.
        {"wrong then cancel",
         {pick(LINE), "^C"},
         16,
         LINE,
         {L"Invalid selection - AcDbLine.\n", L"Cancelled by User.\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answer(c.answers);
        AcDbObjectId picked;
        EXPECT_EQ(c.result, CAcadUtilities::selectObjectIdOfClass(&picked, L"Pick a polyline",
                                                                  L"AcDbPolyline"));
        EXPECT_EQ(id(c.expected), picked);
        EXPECT_EQ(0, shown().Find(L"\nPick a polyline\n"));
        int from = 0;
        for (const wchar_t* m : c.messages) {
            const int at = shown().Find(m, from);
            EXPECT_GE(at, from) << CStringA(m).GetString();
            from = at + 1;
        }
        EXPECT_EQ(0u, answers.left());
    }
}

TEST_F(Picking, AnEmptyPromptAsksForAnObject) {
    answer({pick(FIRST)});
    AcDbObjectId picked;
    EXPECT_EQ(0, CAcadUtilities::selectObjectIdOfClass(&picked, CString(), L"AcDbPolyline"));
    EXPECT_EQ(0, shown().Find(L"\nPlease select an object\n"));
}

TEST_F(Picking, OnePickOfAnything) {
    const struct {
        std::vector<std::string> answers;
        int result;
        Entity expected;
    } cases[] = {
        {{pick(LINE)}, 1, LINE},
        {{"^C"}, 0, SECOND},  // left as it was
        {{""}, 0, SECOND},
    };
    for (const auto& c : cases) {
        answer(c.answers);
        AcDbObjectId picked = id(SECOND);
        EXPECT_EQ(c.result, CAcadUtilities::selectObjectId(picked, L"\nPick: "));
        EXPECT_EQ(id(c.expected), picked);
        EXPECT_EQ(-1, shown().Find(L"Cancelled by User."));
    }
}

TEST_F(Picking, ASpaceHandleComesFromABlockReference) {
    answer({pick(LINE), pick(REFERENCE)});
    AcDbHandle handle;
    EXPECT_EQ(0, CAcadUtilities::selectSpaceHandle(&handle));
    EXPECT_EQ(id(REFERENCE).handle(), handle);
    EXPECT_EQ(0, shown().Find(L"\n\nPlease select a space\n\n"));

    answer({"^C"});
    AcDbHandle kept = id(LINE).handle();
    EXPECT_EQ(13, CAcadUtilities::selectSpaceHandle(&kept));
    EXPECT_EQ(id(LINE).handle(), kept);
}

TEST_F(Picking, ASelectionAddsTheEntitiesThatAreNoBlockReferences) {
    const std::string all =
        pick(SECOND) + "," + pick(REFERENCE) + "," + pick(FIRST) + "," + pick(LINE);
    const struct {
        const char* name;
        std::vector<std::string> answers;
        std::vector<Entity> added;
    } cases[] = {
        {"mixed", {all, ""}, {SECOND, FIRST, LINE}},
        {"only a reference", {pick(REFERENCE), ""}, {}},
        {"nothing", {""}, {}},
        {"cancel", {pick(FIRST), "^C"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answer(c.answers);
        AcDbObjectIdArray ids;
        ids.append(id(LINE));  // what the caller held stays in front
        EXPECT_EQ(1, CAcadUtilities::selectObjectIds(ids, L"Select the areas to add"));
        ASSERT_EQ(1 + static_cast<int>(c.added.size()), ids.length());
        EXPECT_EQ(id(LINE), ids[0]);
        for (size_t i = 0; i < c.added.size(); ++i)
            EXPECT_EQ(id(c.added[i]), ids[static_cast<int>(i) + 1]);
        EXPECT_EQ(0, shown().Find(L"\nSelect the areas to add"));
        EXPECT_EQ(0, editor().selectionSets().openCount());
    }
}

}  // namespace
