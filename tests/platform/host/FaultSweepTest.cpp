// The fault sweep of tests/support must find what an operation leaves behind on an error path,
// and only that.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/FaultSweep.h"
#include "support/HostFixture.h"

namespace {

using qv::test::FaultSweepOptions;
using qv::test::FaultSweepResult;
using qv::test::sweepHostFaults;

// Options failing the given calls in one way only.
FaultSweepOptions only(qv::host::FaultAction action,
                       qv::host::HostCalls calls = qv::host::HostCalls::all()) {
    FaultSweepOptions options;
    options.actions = {action};
    options.calls = calls;
    return options;
}

class FaultSweepTest : public qv::test::DrawingTest {
  protected:
    FaultSweepTest() { line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0})); }

    ~FaultSweepTest() override {
        for (AcDbLine* kept : leaked)
            delete kept;
    }

    // Locks the document, opens the line for write, and gives both back: on every path when
    // `careful`, else only on the normal path (an early return or a throw leaves them).
    void lockAndOpen(bool careful) {
        if (acDocManager->lockDocument(document()) != Acad::eOk)
            return;
        if (careful) {
            struct Unlock {
                AcApDocument* document;
                ~Unlock() { acDocManager->unlockDocument(document); }
            } unlock{document()};
            AcDbObjectPointer<AcDbLine> opened(line, AcDb::kForWrite);
            return;
        }
        AcDbLine* opened = nullptr;
        if (acdbOpenObject(opened, line, AcDb::kForWrite) != Acad::eOk)
            return;
        opened->close();
        acDocManager->unlockDocument(document());
    }

    // Catches the host's statuses and bad_alloc, as a module operation would.
    static void swallowing(const std::function<void()>& run) {
        try {
            run();
        } catch (Acad::ErrorStatus) {
        } catch (const std::bad_alloc&) {
        }
    }

    AcDbObjectId line;
    std::vector<AcDbLine*> leaked;
};

TEST_F(FaultSweepTest, ACarefulOperationIsCleanAndEveryCallIsVisited) {
    int runs = 0;
    const FaultSweepResult sweep = sweepHostFaults([&] {
        ++runs;
        swallowing([&] { lockAndOpen(true); });
    });
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    // The lock and the open, each failing under three actions, then the normal path each time.
    EXPECT_EQ(sweep.failurePoints, 2);
    EXPECT_EQ(sweep.runs, 9);
    EXPECT_EQ(runs, 9);
}

TEST_F(FaultSweepTest, WhatAnErrorPathLeavesIsReportedWithTheCallThatFailed) {
    const struct {
        const char* what;
        std::function<void()> operation;
        FaultSweepOptions options;
        std::vector<std::string> problems;
    } cases[] = {
        {"a lock kept when the open fails",
         [&] { lockAndOpen(false); },
         only(qv::host::FaultAction::kReturnStatus),
         {"open #2 (eOutOfMemory returned): Drawing1.dwg: 1 lock(s) held"}},
        {"a throw escaping, the lock kept",
         [&] { lockAndOpen(false); },
         only(qv::host::FaultAction::kThrowStatus),
         {"lock #1 (eOutOfMemory thrown): the host status eOutOfMemory escaped",
          "open #2 (eOutOfMemory thrown): Drawing1.dwg: 1 lock(s) held;the host status "
          "eOutOfMemory escaped"}},
        {"an object left open when the append fails",
         [&] {
             AcDbBlockTableRecord* space = nullptr;
             acDocManager->lockDocument(document());
             if (acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite) == Acad::eOk) {
                 auto* added = new AcDbLine({0, 0, 0}, {2, 0, 0});
                 AcDbObjectId id;
                 if (space->appendAcDbEntity(id, added) == Acad::eOk) {
                     added->close();
                     space->close();
                 } else {
                     leaked.push_back(added);
                 }
             }
             acDocManager->unlockDocument(document());
         },
         only(qv::host::FaultAction::kReturnStatus, qv::host::HostCall::kAppend),
         {"append #1 (eOutOfMemory returned): Drawing1.dwg: AcDbBlockTableRecord D open for "
          "write;1 host object(s) outside the drawings after the run"}},
        {"a document left open",
         [&] {
             acDocManager->appContextNewDocument();
             AcApDocument* opened = acDocManager->curDocument();
             if (acDocManager->lockDocument(opened) != Acad::eOk)
                 return;
             acDocManager->unlockDocument(opened);
             acDocManager->closeDocument(opened);
         },
         only(qv::host::FaultAction::kReturnStatus, qv::host::HostCall::kLock),
         {"lock #1 (eOutOfMemory returned): 1 document(s) open before, 2 after"}},
        {"the operation's own check",
         [] {},
         [] {
             FaultSweepOptions checked = only(qv::host::FaultAction::kReturnStatus);
             checked.check = [] { return std::string("still busy\n"); };
             return checked;
         }(),
         {"the normal path: still busy"}},
    };
    for (const auto& c : cases) {
        const FaultSweepResult sweep = sweepHostFaults(c.operation, c.options);
        EXPECT_TRUE(sweep.completed) << c.what;
        EXPECT_EQ(sweep.problems, c.problems) << c.what;
        // Each run was judged on its own: nothing stays behind after the sweep.
        EXPECT_EQ(qv::test::hostLeftovers(), "") << c.what;
    }
}

TEST_F(FaultSweepTest, AnOperationThatNeverReachesItsNormalPathStopsAtTheLimit) {
    int calls = 0;
    FaultSweepOptions options = only(qv::host::FaultAction::kReturnStatus);
    options.limit = 5;
    // Each run opens the line once more than the run before.
    const FaultSweepResult sweep = sweepHostFaults(
        [&] {
            ++calls;
            for (int i = 0; i < calls; ++i) {
                AcDbObjectPointer<AcDbLine> opened(line, AcDb::kForRead);
            }
        },
        options);
    EXPECT_FALSE(sweep.completed);
    EXPECT_FALSE(sweep.clean());
    EXPECT_EQ(sweep.runs, 6);
}

}  // namespace
