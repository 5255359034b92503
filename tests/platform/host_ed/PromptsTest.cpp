#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "host/ed/EntityListing.h"
#include "win32/CodePage.h"

namespace {

using qv::host::ed::listNumber;

// What one input call gave: its result code and the value (or keyword) it left.
struct Outcome {
    int code = 0;
    std::wstring value;
};

Outcome getInt() {
    int v = 7;
    const int code = acedGetInt(L"n: ", &v);
    return {code, std::to_wstring(v)};
}

Outcome getReal() {
    double v = 1.5;
    const int code = acedGetReal(L"r: ", &v);
    return {code, listNumber(v)};
}

Outcome getPoint() {
    const ads_point base = {2, 3, 0};
    ads_point p = {-1, -1, -1};
    const int code = acedGetPoint(base, L"p: ", p);
    return {code, listNumber(p[0]) + L"," + listNumber(p[1]) + L"," + listNumber(p[2])};
}

Outcome getString(int spaces, size_t size = 64) {
    std::vector<ACHAR> buffer(size, L'?');
    const int code = acedGetString(spaces, L"s: ", buffer.data(), size);
    return {code, buffer.data()};
}

Outcome getKword() {
    ACHAR buffer[16] = L"?";
    const int code = acedGetKword(L"k: ", buffer, 16);
    return {code, buffer};
}

// The keyword of an RTKWORD answer, else the value.
Outcome withInput(Outcome outcome) {
    if (outcome.code == RTKWORD) {
        ACHAR input[64];
        EXPECT_EQ(acedGetInput(input, 64), RTNORM);
        outcome.value = input;
    }
    return outcome;
}

class PromptsTest : public qv::test::EditorTest {};

TEST_F(PromptsTest, ValueInputTakesValuesKeywordsEnterAndEsc) {
    struct Case {
        const char* what;
        std::function<Outcome()> call;
        int flags;
        const wchar_t* keywords;
        std::vector<std::string> answers;
        int code;
        std::wstring value;
        int refused;
    };
    const Case cases[] = {
        {"integer", getInt, 0, nullptr, {"42"}, RTNORM, L"42", 0},
        {"integer blanks", getInt, 0, nullptr, {"  -12 "}, RTNORM, L"-12", 0},
        {"integer Enter", getInt, 0, nullptr, {""}, RTNONE, L"7", 0},
        {"integer Esc", getInt, 0, nullptr, {"^C"}, RTCAN, L"7", 0},
        {"integer escape character", getInt, 0, nullptr, {"\x1b"}, RTCAN, L"7", 0},
        {"integer input ended", getInt, 0, nullptr, {}, RTCAN, L"7", 0},
        {"integer refuses text", getInt, 0, nullptr, {"x", "5"}, RTNORM, L"5", 1},
        {"integer refuses a real", getInt, 0, nullptr, {"1.5", "2"}, RTNORM, L"2", 1},
        {"integer range", getInt, 0, nullptr, {"40000", "-32769", "32767"}, RTNORM, L"32767", 2},
        {"no null", getInt, RSG_NONULL, nullptr, {"", "3"}, RTNORM, L"3", 1},
        {"no zero", getInt, RSG_NOZERO, nullptr, {"0", "2"}, RTNORM, L"2", 1},
        {"no negative", getInt, RSG_NONEG, nullptr, {"-1", "0"}, RTNORM, L"0", 1},
        {"integer keyword", getInt, 0, L"Auto Manual", {"a"}, RTKWORD, L"Auto", 0},
        {"integer other", getInt, RSG_OTHER, nullptr, {"zz"}, RTKWORD, L"zz", 0},
        {"real", getReal, 0, nullptr, {"2.5"}, RTNORM, L"2.5", 0},
        {"real exponent", getReal, 0, nullptr, {"1e3"}, RTNORM, L"1000", 0},
        {"real not infinite", getReal, 0, nullptr, {"inf", "nan", "-0.25"}, RTNORM, L"-0.25", 2},
        {"real refuses a point", getReal, 0, nullptr, {"1,2", "3"}, RTNORM, L"3", 1},
        {"real no negative", getReal, RSG_NONEG, nullptr, {"-2", "2"}, RTNORM, L"2", 1},
        {"point", getPoint, 0, nullptr, {"3,4"}, RTNORM, L"3,4,0", 0},
        {"point with z", getPoint, 0, nullptr, {"3,4,5"}, RTNORM, L"3,4,5", 0},
        {"relative point", getPoint, 0, nullptr, {"@1,1"}, RTNORM, L"3,4,0", 0},
        {"base point", getPoint, 0, nullptr, {"@"}, RTNORM, L"2,3,0", 0},
        {"polar point", getPoint, 0, nullptr, {"10<90"}, RTNORM, L"0,10,0", 0},
        {"relative polar point", getPoint, 0, nullptr, {"@2<0"}, RTNORM, L"4,3,0", 0},
        {"not points", getPoint, 0, nullptr, {"3", "a,b", "1,2,3,4", "0,0"}, RTNORM, L"0,0,0", 3},
        {"point flat", getPoint, RSG_2D, nullptr, {"1,2,3"}, RTNORM, L"1,2,0", 0},
        {"point keyword", getPoint, 0, L"Close Undo", {"c"}, RTKWORD, L"Close", 0},
        {"point Esc", getPoint, 0, nullptr, {"^C"}, RTCAN, L"-1,-1,-1", 0},
        {"keyword", getKword, 0, L"Yes No", {"n"}, RTNORM, L"No", 0},
        {"keyword refused", getKword, 0, L"Yes No", {"maybe", "y"}, RTNORM, L"Yes", 1},
        {"keyword Enter", getKword, 0, L"Yes No", {""}, RTNONE, L"", 0},
        {"keyword no null", getKword, RSG_NONULL, L"Yes No", {"", "yes"}, RTNORM, L"Yes", 1},
        {"keyword other", getKword, RSG_OTHER, L"Yes No", {"hmm"}, RTNORM, L"hmm", 0},
        {"keyword without list", getKword, 0, nullptr, {}, RTERROR, L"", 0},
    };
    for (const Case& c : cases) {
        editor().reset();
        input.lines.assign(c.answers.begin(), c.answers.end());
        if (c.flags != 0 || c.keywords != nullptr) {
            acedInitGet(c.flags, c.keywords);
        }
        const Outcome got = withInput(c.call());
        EXPECT_EQ(got.code, c.code) << c.what;
        EXPECT_EQ(got.value, c.value) << c.what;
        EXPECT_EQ(editor().inputErrors(), c.refused) << c.what;
        EXPECT_TRUE(input.lines.empty()) << c.what << ": answers left";
    }
}

TEST_F(PromptsTest, TextInputKeepsOrEndsAtBlanksAndNeverOverflows) {
    struct Case {
        const char* what;
        int spaces;
        size_t size;
        std::vector<std::string> answers;
        int code;
        std::wstring value;
        size_t left;
    };
    const std::string longAnswer(140, 'x');
    const Case cases[] = {
        {"with blanks", 1, 64, {"Ann Lee"}, RTNORM, L"Ann Lee", 0},
        {"blank ends it", 0, 64, {"Ann Lee"}, RTNORM, L"Ann", 1},
        {"Enter", 1, 64, {""}, RTNORM, L"", 0},
        {"Esc empties", 1, 64, {"^C"}, RTCAN, L"", 0},
        {"end of input", 1, 64, {}, RTCAN, L"", 0},
        {"cut to size", 1, 4, {"abcdef"}, RTINPUTTRUNCATED, L"abc", 0},
        {"fits exactly", 1, 4, {"abc"}, RTNORM, L"abc", 0},
        {"umlauts", 1, 64, {"R\xc3\xa4ume"}, RTNORM, L"R\u00e4ume", 0},
    };
    for (const Case& c : cases) {
        editor().reset();
        input.lines.assign(c.answers.begin(), c.answers.end());
        const Outcome got = getString(c.spaces, c.size);
        EXPECT_EQ(got.code, c.code) << c.what;
        EXPECT_EQ(got.value, c.value) << c.what;
        EXPECT_EQ(editor().input().hasHostInput() ? 1u : 0u, c.left) << c.what;
    }
    // The rest after a blank is the next answer.
    answers({"Ann Lee"});
    EXPECT_EQ(getString(0).value, L"Ann");
    EXPECT_EQ(getString(1).value, L"Lee");

    // The classic form takes at most 132 characters.
    answers({longAnswer});
    ACHAR buffer[133];
    EXPECT_EQ(acedGetString(1, L"s: ", buffer), RTINPUTTRUNCATED);
    EXPECT_EQ(std::wstring(buffer), std::wstring(132, L'x'));
    EXPECT_EQ(acedGetString(1, L"s: ", nullptr, 10), RTERROR);
}

TEST_F(PromptsTest, TheCommandLineShowsPromptsAnswersAndRefusals) {
    clearTranscript();
    answers({"x", "5", "^C"});
    int n = 0;
    EXPECT_EQ(acedGetInt(L"\nHow many: ", &n), RTNORM);
    EXPECT_EQ(acedGetInt(L"\nHow many: ", &n), RTCAN);
    EXPECT_EQ(transcript(),
              L"\nHow many: x\nRequires an integer value.\n\nHow many: 5\n\nHow many: ^C\n"
              L"*Cancel*\n");
}

TEST_F(PromptsTest, InitGetHoldsForTheNextCallOnly) {
    answers({"y", "y"});
    ACHAR word[16];
    acedInitGet(0, L"Yes No");
    EXPECT_EQ(acedGetKword(L"k: ", word, 16), RTNORM);
    EXPECT_EQ(acedGetKword(L"k: ", word, 16), RTERROR);

    answers({"", "4"});
    int n = 0;
    acedInitGet(RSG_NONULL, nullptr);
    ACHAR text[16];
    EXPECT_EQ(acedGetString(1, L"s: ", text, 16), RTNORM);  // takes the flags and ignores them
    EXPECT_EQ(acedGetInt(L"n: ", &n), RTNORM);
    EXPECT_EQ(editor().inputErrors(), 0);
}

TEST_F(PromptsTest, PointsRememberTheLastPointForRelativeAnswers) {
    answers({"10,10", "@5,0"});
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"p: ", p), RTNORM);
    ASSERT_EQ(acedGetPoint(nullptr, L"p: ", p), RTNORM);
    EXPECT_EQ(p[0], 15.0);
    EXPECT_EQ(p[1], 10.0);
}

TEST_F(PromptsTest, PointsAreGivenInTheCurrentUcs) {
    // A UCS moved to (100, 0) and turned a quarter: UCS x runs along world y.
    {
        WriteLock lock(document());
        ASSERT_EQ(db()->setUcs(AcGePoint3d(100, 0, 0), AcGeVector3d::kYAxis, -AcGeVector3d::kXAxis),
                  Acad::eOk);
    }
    const AcDbObjectId line =
        addToModelSpace(new AcDbLine(AcGePoint3d(100, 5, 0), AcGePoint3d(100, 15, 0)));
    answers({"10,0", "@0,0"});
    ads_name picked;
    ads_point at;
    ASSERT_EQ(acedEntSel(nullptr, picked, at), RTNORM);
    AcDbObjectId id;
    acdbGetObjectId(id, picked);
    EXPECT_EQ(id, line);
    EXPECT_NEAR(at[0], 10.0, 1e-9);
    EXPECT_NEAR(at[1], 0.0, 1e-9);
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, L"p: ", p), RTNORM);
    EXPECT_NEAR(p[0], 10.0, 1e-9);
    EXPECT_NEAR(p[1], 0.0, 1e-9);
}

TEST_F(PromptsTest, EntSelPicksByHandleOrPoint) {
    const AcDbObjectId room = addPolyline({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const AcDbObjectId inner = addPolyline({{2, 2}, {4, 2}, {4, 4}, {2, 4}});
    const AcDbObjectId circle =
        addToModelSpace(new AcDbCircle(AcGePoint3d(130, 0, 0), AcGeVector3d::kZAxis, 5));
    const AcDbObjectId label =
        addToModelSpace(new AcDbText(AcGePoint3d(150, 0, 0), L"Label", AcDbObjectId(), 2.0));
    struct Case {
        std::string answer;
        int code;
        AcDbObjectId picked;
    };
    const Case cases[] = {
        {"#" + qv::wideToUtf8(qv::test::handleOf(room)), RTNORM, room},
        {"#" + qv::wideToUtf8(qv::test::handleOf(inner)), RTNORM, inner},
        {"100,50", RTNORM, room},    // on an edge
        {"100.5,50", RTNORM, room},  // within the pick distance of the view
        {"50,50", RTERROR, {}},      // inside, but on nothing
        {"135,0", RTNORM, circle},   // on the circle
        {"130,0", RTERROR, {}},      // its centre
        {"151,0.5", RTNORM, label},  // inside the text's box
        {"#FFFF", RTERROR, {}},      // no such handle
        {"#1", RTERROR, {}},         // no entity
        {"", RTERROR, {}},           // Enter
        {"^C", RTCAN, {}},
    };
    for (const Case& c : cases) {
        answers({c.answer});
        ads_name picked = {1, 1};
        ads_point at;
        EXPECT_EQ(acedEntSel(L"\nPick: ", picked, at), c.code) << c.answer;
        AcDbObjectId id;
        if (c.code == RTNORM) {
            EXPECT_EQ(acdbGetObjectId(id, picked), Acad::eOk);
        } else {
            EXPECT_TRUE(ads_name_nil(picked)) << c.answer;
        }
        EXPECT_EQ(id, c.picked) << c.answer;
    }
    answers({"what", "#" + qv::wideToUtf8(qv::test::handleOf(circle))});
    ads_name picked;
    ads_point at;
    EXPECT_EQ(acedEntSel(nullptr, picked, at), RTNORM);
    EXPECT_EQ(editor().inputErrors(), 1);
    EXPECT_NE(transcript().find(L"\nSelect object: what\n"), std::wstring::npos);
}

}  // namespace
