#include <gtest/gtest.h>

#include <stdexcept>

#include "ModuleResources.h"
#include "core/OrvanExceptions.h"
#include "module/CommandFrame.h"
#include "module/ModuleGlobals.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"

namespace {

class CommandFrame : public qv::test::DrawingTest {
  protected:
    CommandFrame() { moduleFolder = L"C:\\Host"; }
    ~CommandFrame() override { moduleFolder.Empty(); }

    static CString shown() { return qv::host::transcript().text().c_str(); }
    std::vector<CString> messageBoxes() const {
        std::vector<CString> texts;
        for (const auto& s : ui.shown())
            texts.push_back(s.caption + L": " + s.text);
        return texts;
    }

    qv::test::TempDrive drive;
};

TEST_F(CommandFrame, TheLockIsHeldForTheWorkAndGivenBackAtTheEnd) {
    const struct {
        const char* name;
        bool refuse;
        bool unlockEarly;
    } cases[] = {
        {"granted, given back by the end", false, false},
        {"granted, given back after the work", false, true},
        {"refused", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.refuse)
            acDocManager->qvRefuseLocks(1);
        {
            CCommandFrame frame;
            EXPECT_EQ(!c.refuse, frame.lockDrawing() != FALSE);
            EXPECT_EQ(c.refuse ? 0 : 1, document()->qvLockCount());
            if (!c.refuse) {
                EXPECT_TRUE(frame.lockDrawing());  // held already: no second lock
                EXPECT_EQ(1, document()->qvLockCount());
            }
            if (c.unlockEarly) {
                frame.unlockDrawing();
                EXPECT_EQ(0, document()->qvLockCount());
            }
        }
        EXPECT_EQ(0, document()->qvLockCount());
    }
}

TEST_F(CommandFrame, TheHandlerBoundaryCatchesEverythingAndGivesBackTheLock) {
    const HINSTANCE before = AfxGetResourceHandle();
    ASSERT_NE(qv::test::moduleInstance(), before);
    const struct {
        const char* name;
        void (*raise)();
        bool ownLine;  // the second form, with the handler's own line for other failures
        std::vector<CString> boxes;
        const wchar_t* printed;
    } cases[] = {
        {"module error",
         [] { throw new CEXCustom(L"gone", L"src", L"BlockDWG", L"CBlockDWG::x", 0, nullptr); },
         false, {L"Error Detected.: quorvelle::ogabcWork\n\tBlockDWG::CBlockDWG::x\n\ngone"}, L""},
        {"standard exception", [] { throw std::runtime_error("broken"); }, false,
         {L"Error Detected.: quorvelle::ogabcWork\n\nbroken"}, L""},
        {"framework exception", [] { AfxThrowInvalidArgException(); }, false,
         {L"Error Detected.: quorvelle::ogabcWork\n\nEncountered an improper argument."}, L""},
        {"anything else", [] { throw 42; }, false,
         {L"Error Detected.: quorvelle::ogabcWork\n\nunhandled error"}, L""},
        {"module error, own line",
         [] { throw new CEXCustom(L"gone", L"src", L"BlockDWG", L"CBlockDWG::x", 0, nullptr); },
         true, {L"Error Detected.: quorvelle::ogabcWork\n\tBlockDWG::CBlockDWG::x\n\ngone"}, L""},
        {"anything else, own line", [] { throw 7; }, true, {}, L"\nfailed\n"},
        {"standard exception, own line", [] { throw std::runtime_error("broken"); }, true, {},
         L"\nfailed\n"},
        {"nothing thrown", [] {}, false, {}, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        qv::host::transcript().clear();
        auto work = [&] {
            CCommandFrame frame;  // the module's resources for the frame's lifetime
            EXPECT_EQ(qv::test::moduleInstance(), AfxGetResourceHandle());
            ASSERT_TRUE(frame.lockDrawing());
            c.raise();
        };
        if (c.ownLine)
            guardCommand(L"ogabcWork", L"\nfailed\n", work);
        else
            guardCommand(L"ogabcWork", work);
        EXPECT_EQ(c.boxes, messageBoxes());
        EXPECT_EQ(CString(c.printed), shown());
        EXPECT_EQ(0, document()->qvLockCount());
        EXPECT_EQ(before, AfxGetResourceHandle());
    }
}

// Whatever tells the user that a command could not do its work fails the command: the host reads
// an application's own error code as the thread's last error once the registered handler returns.
// A cancel, or a mark left by an earlier command, does not.
TEST_F(CommandFrame, EveryFailureToldEndsTheCommandAsFailed) {
    const struct {
        const char* name;
        void (*handler)();
        bool failed;
    } cases[] = {
        {"a refusal printed", [] { printCommandFailure(L"\nInvalid Selection\n\n"); }, true},
        {"a message printed", [] { acutPrintf(L"Cancelled by User.\n"); }, false},
        {"an error box",
         [] {
             auto* error = new CEXCustom(L"gone", L"src", L"BlockDWG", L"CBlockDWG::x", 0, nullptr);
             error->showErrorDialog();
             error->deleteChain();
         },
         true},
        {"an error chain printed",
         [] {
             auto* error = new CEXCustom(L"gone", L"src", L"BlockDWG", L"CBlockDWG::x", 0, nullptr);
             error->printErrorChain();
             error->deleteChain();
         },
         true},
        {"a refusal, then a system call that fails",
         [] {
             printCommandFailure(L"Block Creation Failed\n");
             SetLastError(ERROR_FILE_NOT_FOUND);
         },
         true},
        {"a failure inside a guarded part", [] { guardCommand(L"inner", [] { throw 1; }); }, true},
        {"a guarded part that did its work, after a refusal",
         [] {
             printCommandFailure(L"Block Creation Failed\n");
             guardCommand(L"inner", [] { SetLastError(ERROR_SUCCESS); });
         },
         true},
        {"a stale system error", [] { SetLastError(ERROR_ACCESS_DENIED); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        SetLastError(ERROR_SUCCESS);
        runInsideOutcome(c.handler);
        EXPECT_EQ(c.failed, (GetLastError() & APPLICATION_ERROR_MASK) != 0);
    }
    // A modeless dialog's action marks at once; the next command starts unmarked.
    markCommandFailed();
    EXPECT_NE(0u, GetLastError() & APPLICATION_ERROR_MASK);
    SetLastError(ERROR_SUCCESS);
    runInsideOutcome([] {});
    EXPECT_EQ(0u, GetLastError() & APPLICATION_ERROR_MASK);
}

}  // namespace
