#include <gtest/gtest.h>

#include <map>

#include "BlockDialogFixture.h"
#include "core/Utilities.h"
#include "module/BlockDialogCommands.h"
#include "module/PresBlockCreation.h"
#include "host/db/HostFaults.h"
#include "mfc/dialogs/DialogDriving.h"

namespace {

using qv::test::BlockDialogTest;

TEST(BlockCreatorNames, TheNextNameCountsOnFromTheTrailingDigits) {
    const struct {
        const wchar_t* name;
        int increment;
        const wchar_t* next;
    } cases[] = {
        {L"Office 009", 1, L"Office 010"},  // the width is kept
        {L"Office 999", 1, L"Office 1000"},  // and grows when it must
        {L"Kitchen", 1, L"Kitchen1"},
        {L"Room ", 1, L"Room 1"},
        {L"Lab 2.5", 1, L"Lab 2.6"},  // the digits end at the point
        {L"A-07", 5, L"A-12"},
        {L"12", 1, L"13"},  // digits only
        {L"", 1, L"1"},
        {L"Store 0", 3, L"Store 3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CString(c.next), CPresBlockCreation::incrementBlockName(c.name, c.increment))
            << CStringA(c.name).GetString();
    }
}

// The proposals of a dialog opened on a drawing with these rooms (in order of creation).
TEST_F(BlockDialogTest, TheProposalsFollowTheDrawingsRooms) {
    const struct {
        const char* what;
        std::vector<std::pair<const wchar_t*, int>> rooms;  // NAME and n of "ROOM-"n
        int increment;
        const wchar_t* nextName;
        const wchar_t* nextBlock;
    } cases[] = {
        {"no rooms", {}, 1, L"Room 1", L"ROOM-1"},
        {"padded", {{L"Office 009", 4}}, 1, L"Office 010", L"ROOM-5"},
        {"tie, later wins", {{L"R10", 1}, {L"Q10", 2}}, 1, L"Q11", L"ROOM-3"},
        {"tie, other order", {{L"Q10", 1}, {L"R10", 2}}, 1, L"R11", L"ROOM-3"},
        {"highest number, not the last room", {{L"Lab 12", 7}, {L"Lab 9", 3}}, 1, L"Lab 13",
         L"ROOM-8"},
        {"increment 5", {{L"A-07", 1}}, 5, L"A-12", L"ROOM-2"},
        {"no digits", {{L"Kitchen", 2}}, 1, L"Kitchen1", L"ROOM-3"},
    };
    for (const auto& p : cases) {
        SCOPED_TRACE(p.what);
        renewDocument();
        CPreferences preferences;
        preferences.setInc(p.increment);
        storePreferences(preferences);
        double x = 0;
        for (const auto& [name, n] : p.rooms) {
            addRoom(name, n, x, 0);
            x += 20;
        }
        const HWND dialog = open(blockCreate);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(std::wstring(p.nextName), text(dialog, IDC_NEXT_SPACE_NAME));
        auto* creator = static_cast<CPresBlockCreation*>(CWnd::FromHandlePermanent(dialog));
        EXPECT_EQ(CString(p.nextBlock),
                  L"ROOM-" + CUtilities::IntToCString(creator->getNextIdentifier()));
        EXPECT_TRUE(act(dialog, L"cancel"));
        EXPECT_FALSE(::IsWindow(dialog));
    }
}

// Tries to close the dialog while a message box waits, then answers it.
class ClosingDriver : public qv::ui::ScriptedDriver {
  public:
    HWND dialog = nullptr;
    std::vector<bool> closed;  // whether each attempt was carried out
    int messageBox(HWND owner, std::wstring_view text, std::wstring_view caption,
                   UINT type) override {
        for (const wchar_t* line : {L"cancel", L"close", L"menu 32768", L"click 2"}) {
            closed.push_back(qv::win::perform(dialog, *qv::ui::parseDialogAction(line)).done);
        }
        return ScriptedDriver::messageBox(owner, text, caption, type);
    }
};

TEST_F(BlockDialogTest, ASessionOfThreePicksEndedByEsc) {
    addRoom(L"Kitchen", 1, 100, 100);
    const AcDbObjectId duplicate = addSquare(0, 0);
    const AcDbObjectId openOutline = addSquare(20, 0, false);
    const AcDbObjectId room = addSquare(40, 0);
    AcGePoint3d firstCorner;
    {
        AcDbObjectPointer<AcDbPolyline> p(duplicate, AcDb::kForRead);
        p->getStartPoint(firstCorner);
    }

    ClosingDriver screen;
    qv::ui::DriverScope scope(screen);
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    screen.dialog = dialog;
    screen.queueButton(IDNO);
    ASSERT_TRUE(act(dialog, L"set 311 Kitchen"));  // a name the drawing has already
    answers.give({pick(duplicate), "5,5", pick(openOutline), pick(room), "45,5", "^C"});
    screen.queueAction(std::wstring(L"click 3"));
    ASSERT_TRUE(qv::win::serviceModeless(screen));

    EXPECT_EQ(0u, answers.left());
    // The question came before anything changed; closing meanwhile was refused or ignored.
    ASSERT_EQ(1u, screen.shown().size());
    EXPECT_EQ(L"Duplicate Space Name", screen.shown()[0].caption);
    EXPECT_EQ(
        L"Room Name already exists in the drawing.\n\nDo you want another space of the same "
        L"name creating?",
        screen.shown()[0].text);
    // Esc and Close are refused (Close is disabled); the close box and Exit reach the dialog,
    // which ignores them.
    EXPECT_EQ((std::vector<bool>{false, true, true, false}), screen.closed);
    ASSERT_TRUE(::IsWindow(dialog));

    // "No" left the outline where it was, in model space; the open one was refused; the third
    // became ROOM-2 with the name proposed afresh from the drawing.
    {
        AcDbObjectPointer<AcDbPolyline> p(duplicate, AcDb::kForRead);
        ASSERT_EQ(Acad::eOk, p.openStatus());
        EXPECT_EQ(db()->modelSpaceId(), p->ownerId());
        AcGePoint3d start;
        p->getStartPoint(start);
        EXPECT_EQ(firstCorner, start);
    }
    const std::map<std::wstring, std::wstring> expected{{L"ROOM-1", L"Kitchen"},
                                                        {L"ROOM-2", L"Kitchen1"}};
    EXPECT_EQ(expected, rooms());
    const std::wstring line = commandLine();
    EXPECT_NE(std::wstring::npos, line.find(L"\nBlock Creation Session Started\n"));
    EXPECT_NE(std::wstring::npos, line.find(L"\nInvalid Selection - Polyline is not closed\n\n"));
    const size_t created = line.find(L"Block Created Successfully\n");  // once
    EXPECT_NE(std::wstring::npos, created);
    EXPECT_EQ(created, line.rfind(L"Block Created Successfully\n"));
    EXPECT_NE(std::wstring::npos, line.find(L"\nBlock Creation Session Ended\n"));

    // Unlocked, buttons and edits back, the next proposal shown, an Esc for the command line.
    EXPECT_EQ("", qv::test::hostLeftovers());
    for (int id : {IDC_START, IDC_CLOSE, IDC_TEXT_SIZE, IDC_TEXT_SCALE, IDC_TEXT_ROTATION})
        EXPECT_TRUE(enabled(dialog, id)) << id;
    EXPECT_EQ(L"Kitchen2", text(dialog, IDC_NEXT_SPACE_NAME));
    EXPECT_TRUE(qv::host::ed::editor().input().hasHostInput());

    screen.queueAction(std::wstring(L"cancel"));
    EXPECT_TRUE(qv::win::serviceModeless(screen));
    EXPECT_FALSE(::IsWindow(dialog));
}

TEST_F(BlockDialogTest, ASessionOnARefusedLockPicksNothing) {
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    acDocManager->qvRefuseLocks(1);
    answers.give({"^C"});
    EXPECT_TRUE(act(dialog, L"click 3"));
    EXPECT_EQ(1u, answers.left());  // no prompt was asked
    EXPECT_EQ(L"\nBlock Creation Session Started\n\nBlock Creation Session Ended\n",
              commandLine().substr(commandLine().find(L"\nBlock Creation")));
    EXPECT_TRUE(enabled(dialog, IDC_START));
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(BlockDialogTest, AFailedCreationLeavesTheDrawingAsItWas) {
    const AcDbObjectId outline = addSquare(0, 0);
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    answers.give({pick(outline), "5,5", "^C"});
    qv::host::failNextAdditions(1);  // the block definition is refused
    EXPECT_TRUE(act(dialog, L"click 3"));
    qv::host::failNextAdditions(0);
    EXPECT_NE(std::wstring::npos, commandLine().find(L"Block Creation Failed\n"));
    {
        AcDbObjectPointer<AcDbPolyline> p(outline, AcDb::kForRead);
        ASSERT_EQ(Acad::eOk, p.openStatus());
        EXPECT_EQ(db()->modelSpaceId(), p->ownerId());
        AcGePoint3d start;
        p->getStartPoint(start);
        EXPECT_EQ(AcGePoint3d(0, 0, 0), start);
    }
    EXPECT_TRUE(rooms().empty());
    EXPECT_EQ(L"Room 1", text(dialog, IDC_NEXT_SPACE_NAME));
    EXPECT_EQ("", qv::test::hostLeftovers());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(BlockDialogTest, TheTextDefaultsAreSavedAsTyped) {
    const struct {
        const wchar_t* action;
        int id;
        const wchar_t* shown;
        double size, scale, rotation;
    } cases[] = {
        {L"set 341 1a2", IDC_TEXT_SCALE, L"12", 250.0, 12.0, 0.0},
        {L"set 291 300", IDC_TEXT_SIZE, L"300", 300.0, 12.0, 0.0},
        {L"set 342 -4.5.6", IDC_TEXT_ROTATION, L"-4.56", 300.0, 12.0, -4.56},
        // The file holds 0; reading it back keeps sizes and scales at 0.1 at least.
        {L"set 291 abc", IDC_TEXT_SIZE, L"", 0.1, 12.0, -4.56},
        {L"set 341 \"\"", IDC_TEXT_SCALE, L"0", 0.1, 0.1, -4.56},
    };
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.action).GetString());
        ASSERT_TRUE(act(dialog, c.action));
        EXPECT_EQ(std::wstring(c.shown), text(dialog, c.id));
        const CPreferences stored = storedPreferences();
        EXPECT_DOUBLE_EQ(c.size, stored.getTextSize());
        EXPECT_DOUBLE_EQ(c.scale, stored.getTextScale());
        EXPECT_DOUBLE_EQ(c.rotation, stored.getTextRotation());
    }
    EXPECT_TRUE(ui.shown().empty());  // no validation box while typing
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(BlockDialogTest, ATextSizeOfZeroBecomesOneAtThePick) {
    const AcDbObjectId outline = addSquare(0, 0);
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(act(dialog, L"set 291 0"));
    answers.give({pick(outline), "5,5", "^C"});
    EXPECT_TRUE(act(dialog, L"click 3"));
    EXPECT_EQ(L"1", text(dialog, IDC_TEXT_SIZE));
    EXPECT_DOUBLE_EQ(1.0, storedPreferences().getTextSize());
    EXPECT_EQ((std::map<std::wstring, std::wstring>{{L"ROOM-1", L"Room 1"}}), rooms());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(BlockDialogTest, CloseRequestsCloseTheIdleDialogEnterDoesNothing) {
    const struct {
        const wchar_t* action;
        bool closes;
    } cases[] = {
        {L"enter", false}, {L"cancel", true}, {L"close", true}, {L"menu 32768", true},
        {L"click 2", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.action).GetString());
        const HWND dialog = open(blockCreate);
        ASSERT_NE(nullptr, dialog);
        EXPECT_TRUE(act(dialog, c.action));
        EXPECT_EQ(!c.closes, ::IsWindow(dialog) != FALSE);
        if (::IsWindow(dialog))
            act(dialog, L"cancel");
    }
    EXPECT_TRUE(refusals().empty());
}

TEST_F(BlockDialogTest, TheDialogShowsItsMenuAndHidesTheAreaButtons) {
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    const qv::ui::DialogView v = view(dialog);
    EXPECT_EQ(L"Orvan Block Creator", v.caption);
    ASSERT_EQ(3u, v.menu.size());
    EXPECT_EQ(32769u, v.menu[1].items.at(0).id);
    EXPECT_FALSE(v.control(IDC_SUB_AREA)->visible);
    EXPECT_FALSE(v.control(IDC_ADD_AREA)->visible);
    EXPECT_TRUE(act(dialog, L"click 315"));
    EXPECT_EQ(std::vector<std::wstring>{L"Control 315 is hidden."}, refusals());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(BlockDialogTest, OptionsChangeTheDefaultsTheDialogShows) {
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    qv::ui::DialogAction menu = *qv::ui::parseDialogAction(L"menu 32769");
    menu.dialog = dialog;
    ui.queueAction(menu);
    for (const wchar_t* line : {L"check 289", L"set 291 300", L"set 341 0.5", L"click 1"})
        ui.queueAction(std::wstring(line));  // in the modal preferences dialog
    answers.give({});
    EXPECT_TRUE(qv::win::serviceModeless(ui));
    EXPECT_EQ(L"Units set to FT\u00b2\n", commandLine());
    EXPECT_EQ(L"300", text(dialog, IDC_TEXT_SIZE));
    EXPECT_EQ(L"0.5", text(dialog, IDC_TEXT_SCALE));
    EXPECT_EQ(1, storedPreferences().getUnits());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

// The area buttons are hidden, so only a program reaches them.
TEST_F(BlockDialogTest, SubAreaAndAddAreaRecalculateTheRoom) {
    const AcDbObjectId room = addRoom(L"Hall", 1, 0, 0, 5000);  // 25 sq.m.
    const AcDbObjectId column = addSquare(1000, 1000, true, 1000);  // 1 sq.m.
    const AcDbObjectId annex = addSquare(6000, 0, true, 2000);  // 4 sq.m.
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    auto click = [&](int id) {
        CWnd::FromHandle(dialog)->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    };
    answers.give({pick(room), pick(column), ""});
    click(IDC_SUB_AREA);
    EXPECT_EQ(0u, answers.left());
    EXPECT_DOUBLE_EQ(24.0, areaOf(room));
    answers.give({pick(room), pick(annex), ""});
    click(IDC_ADD_AREA);
    EXPECT_NE(std::wstring::npos, commandLine().find(L"Please Select Areas to Add"));
    EXPECT_DOUBLE_EQ(28.0, areaOf(room));
    // A cancelled pick aborts and leaves the room alone.
    answers.give({"^C"});
    click(IDC_ADD_AREA);
    EXPECT_NE(std::wstring::npos, commandLine().find(L"\nInvalid Space - Aborting...\n"));
    EXPECT_DOUBLE_EQ(28.0, areaOf(room));
    // The dialog came back after each pick.
    EXPECT_EQ(dialog, ::GetActiveWindow());
    EXPECT_FALSE(CWnd::FromHandle(dialog)->IsIconic());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

// An outline that the host will not open says so, in the session's read of it and when its block
// is made, with the host's status or as a locked layer; the session goes on with the next pick.
// Each open of a session in turn is refused until both texts have been seen.
TEST_F(BlockDialogTest, AnOutlineTheHostWillNotOpenIsReported) {
    const struct {
        Acad::ErrorStatus status;
        const wchar_t* session;
        const wchar_t* creation;
    } cases[] = {
        {Acad::eOutOfMemory, L"\nUnable get Polyline - Error 6 - Block Creation Failed\n",
         L"\nUnable get Polyline - Error 6 - Block Creation Failed\n"},
        {Acad::eOnLockedLayer, L"\n1Polyline On Locked Layer - Block Creation Failed\n",
         L"\nPolyline On Locked Layer - Block Creation Failed\n"},
    };
    const AcDbObjectId outline = addSquare(0, 0);
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    for (const auto& c : cases) {
        std::vector<int> seen;  // the refused open after which each text was seen
        for (int at = 1; at < 40 && seen.size() < 2; ++at) {
            qv::host::transcript().clear();
            qv::host::ed::editor().input().clear();  // the Esc the last session sent
            answers.give({pick(outline), "5,5", "^C"});
            {
                qv::host::ScopedHostFault fault(
                    {qv::host::HostCall::kOpen, at, qv::host::FaultAction::kReturnStatus, c.status});
                EXPECT_TRUE(act(dialog, L"click 3"));
            }
            const std::wstring line = commandLine();
            if (line.find(seen.empty() ? c.session : c.creation) != std::wstring::npos)
                seen.push_back(at);
            EXPECT_EQ("", qv::test::hostLeftovers()) << at;
        }
        EXPECT_EQ(2u, seen.size()) << static_cast<int>(c.status);
    }
    EXPECT_TRUE(rooms().empty());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

}  // namespace
