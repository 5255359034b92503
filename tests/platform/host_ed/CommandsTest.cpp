#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "EditorFixture.h"
#include "mfc/Exceptions.h"
#include "mfc/dialogs/CWnd.h"
#include "mfc/dialogs/Resources.h"
#include "win32/WinError.h"

namespace {

using qv::host::ed::CommandRun;
using qv::host::ed::runCommand;

constexpr const ACHAR* kGroup = L"QV_COMMANDS_TEST";

// What the last handler saw.
struct Seen {
    int calls = 0;
    AcAp::DocLockMode mode = AcAp::kNone;
    int locks = -1;
    HINSTANCE resources = nullptr;
    std::wstring answer;
};
Seen g_seen;

void record() {
    AcApDocument* doc = acDocManager->curDocument();
    ++g_seen.calls;
    g_seen.mode = doc->myLockMode();
    g_seen.locks = doc->qvLockCount();
    g_seen.resources = AfxGetResourceHandle();
}

void throwStatus() {
    throw Acad::eWasOpenForWrite;
}
void throwStandard() {
    throw std::runtime_error("broken");
}
void throwFramework() {
    throw new CInvalidArgException;
}
void throwOther() {
    throw 42;
}

// A command that failed ends with an application's error code; one whose last system call
// failed (a file it looked for and did not find) has not failed for that.
void failAsApplication() {
    record();
    SetLastError(APPLICATION_ERROR_MASK | 1);
}
void leaveSystemError() {
    record();
    SetLastError(ERROR_FILE_NOT_FOUND);
}

void sendAndAsk() {
    acDocManager->sendStringToExecute(acDocManager->curDocument(), L"later\nlast");
    ACHAR text[32];
    acedGetString(1, L"Text: ", text, 32);
    g_seen.answer = text;
}

class CommandsTest : public qv::test::EditorTest {
  protected:
    CommandsTest() { g_seen = Seen(); }
    ~CommandsTest() override { acedRegCmds->removeGroup(kGroup); }

    void add(const ACHAR* global, const ACHAR* local, Adesk::Int32 flags, AcRxFunctionPtr handler,
             HINSTANCE resources = nullptr) {
        ASSERT_EQ(
            acedRegCmds->addCommand(kGroup, global, local, flags, handler, nullptr, -1, resources),
            Acad::eOk);
    }
};

// The host locks the document as the flags ask, and gives the lock back whatever the handler
// throws; what it throws is reported, and a handler that ends with an application's error code
// has failed.
TEST_F(CommandsTest, TheHostLocksAsTheFlagsAskAndGivesTheLockBack) {
    struct Case {
        const ACHAR* name;
        Adesk::Int32 flags;
        AcRxFunctionPtr handler;
        CommandRun run;
        AcAp::DocLockMode mode;  // seen by `record`
        int locks;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"tmodal", ACRX_CMD_MODAL, record, CommandRun::Done, AcAp::kWrite, 1, L""},
        {L"tsession", ACRX_CMD_SESSION, record, CommandRun::Done, AcAp::kNotLocked, 0, L""},
        {L"tnolock", ACRX_CMD_NOINTERNALLOCK, record, CommandRun::Done, AcAp::kNotLocked, 0, L""},
        {L"tread", ACRX_CMD_DOCREADLOCK, record, CommandRun::Done, AcAp::kRead, 1, L""},
        {L"texclusive", ACRX_CMD_DOCEXCLUSIVELOCK, record, CommandRun::Done, AcAp::kXWrite, 1,
         L""},
        {L"tstatus", ACRX_CMD_MODAL, throwStatus, CommandRun::Threw, AcAp::kNone, -1,
         L"stopped with the host status eWasOpenForWrite"},
        {L"tstandard", ACRX_CMD_MODAL, throwStandard, CommandRun::Threw, AcAp::kNone, -1,
         L"stopped with an exception: broken"},
        {L"tframework", ACRX_CMD_MODAL, throwFramework, CommandRun::Threw, AcAp::kNone, -1,
         L"stopped with an exception: "},
        {L"tother", ACRX_CMD_MODAL, throwOther, CommandRun::Threw, AcAp::kNone, -1,
         L"stopped with an exception the host does not know"},
        {L"tfailed", ACRX_CMD_MODAL, failAsApplication, CommandRun::Failed, AcAp::kWrite, 1, L""},
        {L"tsystem", ACRX_CMD_MODAL, leaveSystemError, CommandRun::Done, AcAp::kWrite, 1, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        add(c.name, c.name, c.flags, c.handler);
        g_seen = Seen();
        clearTranscript();
        SetLastError(APPLICATION_ERROR_MASK | 2);  // what an earlier command ended with
        EXPECT_EQ(runCommand(c.name), c.run);
        EXPECT_EQ(g_seen.calls, c.run == CommandRun::Threw ? 0 : 1);
        EXPECT_EQ(g_seen.mode, c.mode);
        EXPECT_EQ(g_seen.locks, c.locks);
        EXPECT_NE(transcript().find(c.message), std::wstring::npos) << transcript();
        EXPECT_EQ(document()->qvLockCount(), 0);
    }
    // A refused lock: the command does not run.
    acDocManager->qvRefuseLocks(1);
    g_seen = Seen();
    EXPECT_EQ(runCommand(L"tmodal"), CommandRun::Refused);
    EXPECT_EQ(g_seen.calls, 0);
    EXPECT_NE(transcript().find(L"could not be locked for tmodal (eLockViolation)"),
              std::wstring::npos);
}

TEST_F(CommandsTest, FindsCommandsByLocalThenGlobalName) {
    add(L"obe", L"orvanQuorvelle", ACRX_CMD_SESSION, record);
    add(L"list", L"moduleList", ACRX_CMD_SESSION, record);
    struct Case {
        const wchar_t* typed;
        CommandRun run;
        int calls;  // of the module's handler
    };
    const Case cases[] = {
        {L"obe", CommandRun::Done, 1},
        {L"OBE", CommandRun::Done, 1},
        {L"orvanquorvelle", CommandRun::Done, 1},
        {L"_obe", CommandRun::Done, 1},
        {L"_orvanQuorvelle", CommandRun::Unknown, 0},
        {L".obe", CommandRun::Unknown, 0},
        {L"list", CommandRun::Done, 0},  // the host's own comes first
        {L"modulelist", CommandRun::Done, 1},
        {L"._list", CommandRun::Done, 0},
        {L"nothing", CommandRun::Unknown, 0},
        {L"_", CommandRun::Unknown, 0},
    };
    for (const Case& c : cases) {
        g_seen = Seen();
        EXPECT_EQ(runCommand(c.typed), c.run) << testing::PrintToString(std::wstring(c.typed));
        EXPECT_EQ(g_seen.calls, c.calls) << testing::PrintToString(std::wstring(c.typed));
    }
}

TEST_F(CommandsTest, ACommandRunsWithItsResourcesCurrent) {
    const HINSTANCE own = qv::res::moduleHandleOf(&g_seen);
    const HINSTANCE before = AfxGetResourceHandle();
    add(L"tres", L"tres", ACRX_CMD_SESSION, record, own);
    add(L"tplain", L"tplain", ACRX_CMD_SESSION, record);
    runCommand(L"tres");
    EXPECT_EQ(g_seen.resources, own);
    EXPECT_EQ(AfxGetResourceHandle(), before);
    runCommand(L"tplain");
    EXPECT_EQ(g_seen.resources, before);
}

TEST_F(CommandsTest, TheResourceStackRestoresWhatWasCurrent) {
    const HINSTANCE before = AfxGetResourceHandle();
    const HINSTANCE own = qv::res::moduleHandleOf(&g_seen);
    acDocManager->pushResourceHandle(own);
    EXPECT_EQ(AfxGetResourceHandle(), own);
    acDocManager->pushAcadResourceHandle();
    EXPECT_EQ(AfxGetResourceHandle(), qv::res::programHandle());
    acDocManager->popResourceHandle();
    EXPECT_EQ(AfxGetResourceHandle(), own);
    acDocManager->popResourceHandle();
    EXPECT_EQ(AfxGetResourceHandle(), before);
    acDocManager->popResourceHandle();  // nothing pushed: nothing changes
    EXPECT_EQ(AfxGetResourceHandle(), before);
}

TEST_F(CommandsTest, SentTextWaitsForTheRunningCommandToEnd) {
    add(L"tsend", L"tsend", ACRX_CMD_SESSION, sendAndAsk);
    answers({"typed"});
    EXPECT_EQ(runCommand(L"tsend"), CommandRun::Done);
    EXPECT_EQ(g_seen.answer, L"typed");
    EXPECT_EQ(editor().input().readLine(), std::optional<std::string>("later"));
    EXPECT_EQ(editor().input().readLine(), std::optional<std::string>("last"));
    EXPECT_EQ(editor().input().readLine(), std::nullopt);

    // Between commands it is read at once, before the source.
    answers({"typed"});
    EXPECT_EQ(acDocManager->sendStringToExecute(document(), L"now\n"), Acad::eOk);
    EXPECT_EQ(editor().input().readLine(), std::optional<std::string>("now"));
    EXPECT_EQ(editor().input().readLine(), std::optional<std::string>("typed"));
    EXPECT_EQ(acDocManager->sendStringToExecute(nullptr, L"x"), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->sendStringToExecute(document(), nullptr), Acad::eInvalidInput);
}

TEST_F(CommandsTest, AcedCommandRunsCommandsWithTheGivenAnswers) {
    const ads_point from = {0, 0, 0}, to = {10, 5, 0};
    EXPECT_EQ(acedCommand(RTSTR, L"_.LINE", RT3DPOINT, from, RTPOINT, to, RTSTR, L"", RTNONE),
              RTNORM);
    ads_name line;
    ASSERT_EQ(acedSSGet(L"L", nullptr, nullptr, nullptr, line), RTNORM);
    ads_name member;
    acedSSName(line, 0, member);
    acedSSFree(line);

    qv::host::ViewState& views = document()->qvViews();
    EXPECT_EQ(acedCommand(RTSTR, L"_ZOOM", RTSTR, L"_E", RTNONE), RTNORM);
    EXPECT_EQ(views.current().upperRight.x, 10.0);
    // Items left after a command name the next one.
    EXPECT_EQ(acedCommand(RTSTR, L"_REGEN", RTSTR, L"_REGEN", 0), RTNORM);
    EXPECT_EQ(views.regenCount(), 2);
    // Too few answers: the command's prompt is cancelled.
    EXPECT_EQ(acedCommand(RTSTR, L"_ZOOM", RTSTR, L"_W", RTPOINT, from, RTNONE), RTCAN);
    EXPECT_EQ(acedCommand(RTSTR, L"NOSUCH", RTNONE), RTERROR);
    EXPECT_EQ(acedCommand(RTNONE), RTNORM);
    EXPECT_EQ(acedCommand(RTVOID, RTNONE), RTERROR);

    // An entity is given by its handle.
    EXPECT_EQ(acedCommandS(RTSTR, L"ERASE", RTENAME, member, RTSTR, L"", RTNONE), RTNORM);
    AcDbObjectId id;
    acdbGetObjectId(id, member);
    EXPECT_TRUE(id.isErased());

    // The same from a list; prompts are not shown while CMDECHO is 0.
    resbuf off{};
    off.restype = RTSHORT;
    ASSERT_EQ(acedSetVar(L"CMDECHO", &off), RTNORM);
    clearTranscript();
    resbuf* items = acutBuildList(RTSTR, L"REGEN", 0);
    EXPECT_EQ(acedCmd(items), RTNORM);
    acutRelRb(items);
    EXPECT_EQ(transcript(), L"Regenerating model.\n");
    off.resval.rint = 1;
    acedSetVar(L"CMDECHO", &off);
    EXPECT_FALSE(editor().feeding());
}

}  // namespace
