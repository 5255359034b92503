#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>

#include "host/db/HostFaults.h"
#include "support/FaultSweep.h"
#include "support/HostFixture.h"

namespace {

using qv::host::FaultAction;
using qv::host::FaultPlan;
using qv::host::HostCall;
using qv::host::HostCalls;
using qv::host::ScopedHostFault;

class HostFaultsTest : public qv::test::DrawingTest {
  protected:
    HostFaultsTest() {
        line = addToModelSpace(new AcDbLine({0, 0, 0}, {1, 0, 0}));
        WriteLock lock(document());
        EXPECT_EQ(acdbRegApp(L"ADE"), RTNORM);
    }

    // One open of the line for read, closed again at once.
    Acad::ErrorStatus openLine() {
        AcDbLine* opened = nullptr;
        const Acad::ErrorStatus es = acdbOpenObject(opened, line, AcDb::kForRead);
        if (opened != nullptr)
            opened->close();
        return es;
    }

    size_t modelSpaceCount() {
        AcDbBlockTableRecord* space = nullptr;
        EXPECT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForRead), Acad::eOk);
        const size_t count = space->qvEntities().size();
        space->close();
        return count;
    }

    std::wstring xdataOfLine() {
        AcDbLine* opened = nullptr;
        EXPECT_EQ(acdbOpenObject(opened, line, AcDb::kForRead), Acad::eOk);
        resbuf* list = opened->xData();
        opened->close();
        std::wstring text;
        for (const resbuf* item = list; item != nullptr; item = item->rbnext)
            text += item->restype == 1000 ? std::wstring(item->resval.rstring) + L";" : L"";
        acutRelRb(list);
        return text;
    }

    AcDbObjectId line;
};

TEST_F(HostFaultsTest, OnlyTheNthCallOfThePlannedKindsFails) {
    {
        ScopedHostFault fault({HostCall::kOpen, 2});
        EXPECT_EQ(openLine(), Acad::eOk);
        // A lock is no open: it neither fails nor counts.
        EXPECT_EQ(acDocManager->lockDocument(document()), Acad::eOk);
        EXPECT_EQ(acDocManager->unlockDocument(document()), Acad::eOk);
        EXPECT_EQ(openLine(), Acad::eOutOfMemory);
        EXPECT_EQ(openLine(), Acad::eOk);
        EXPECT_TRUE(qv::host::hostFaultInjected());
        EXPECT_EQ(qv::host::injectedHostFault(), "open #2 (eOutOfMemory returned)");
        EXPECT_EQ(qv::host::hostCallsSeen(), 3);
    }
    // Disarmed, nothing fails and nothing counts; the counts stay readable.
    EXPECT_EQ(openLine(), Acad::eOk);
    EXPECT_EQ(qv::host::hostCallsSeen(), 3);

    // Failing at 0 only counts.
    ScopedHostFault counting({HostCalls(HostCall::kOpen) | HostCall::kLock, 0});
    WriteLock lock(document());
    EXPECT_EQ(openLine(), Acad::eOk);
    EXPECT_EQ(qv::host::hostCallsSeen(), 2);
    EXPECT_FALSE(qv::host::hostFaultInjected());
    EXPECT_EQ(qv::host::injectedHostFault(), "");
}

TEST_F(HostFaultsTest, AFailedCallOfEachKindChangesNothingAndReportsAsPlanned) {
    const struct {
        HostCall call;
        // Makes one call of the kind; cleans up after itself whatever happens.
        std::function<Acad::ErrorStatus()> make;
        // True when the drawing is as it was before the failed call.
        std::function<bool()> unchanged;
    } kinds[] = {
        {HostCall::kOpen, [&] { return openLine(); }, [] { return true; }},
        {HostCall::kAppend,
         [&] {
             WriteLock lock(document());
             AcDbBlockTableRecord* space = nullptr;
             EXPECT_EQ(acdbOpenObject(space, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
             auto added = std::make_unique<AcDbLine>(AcGePoint3d(0, 0, 0), AcGePoint3d(3, 0, 0));
             AcDbObjectId id;
             Acad::ErrorStatus es = Acad::eOk;
             try {
                 es = space->appendAcDbEntity(id, added.get());
             } catch (...) {
                 space->close();
                 throw;
             }
             space->close();
             if (es == Acad::eOk)
                 added.release()->close();
             else
                 EXPECT_TRUE(added->objectId().isNull());
             return es;
         },
         [&] { return modelSpaceCount() == 1; }},
        {HostCall::kLock,
         [&] {
             const Acad::ErrorStatus es = acDocManager->lockDocument(document());
             if (es == Acad::eOk)
                 acDocManager->unlockDocument(document());
             return es;
         },
         [&] { return document()->qvLockCount() == 0; }},
        {HostCall::kSetXData,
         [&] {
             WriteLock lock(document());
             AcDbLine* opened = nullptr;
             EXPECT_EQ(acdbOpenObject(opened, line, AcDb::kForWrite), Acad::eOk);
             resbuf* list = acutBuildList(1001, L"ADE", 1000, L"changed", 0);
             Acad::ErrorStatus es = Acad::eOk;
             try {
                 es = opened->setXData(list);
             } catch (...) {
                 acutRelRb(list);
                 opened->close();
                 throw;
             }
             acutRelRb(list);
             opened->close();
             return es;
         },
         [&] { return xdataOfLine().empty(); }},
    };
    for (const auto& kind : kinds) {
        for (const FaultAction action :
             {FaultAction::kReturnStatus, FaultAction::kThrowStatus, FaultAction::kThrowBadAlloc}) {
            SCOPED_TRACE(std::string(qv::host::hostCallName(kind.call)) + ", " +
                         qv::host::faultActionName(action));
            std::string outcome;
            {
                ScopedHostFault fault({kind.call, 1, action, Acad::eInvalidInput});
                try {
                    outcome = acadErrorStatusText(kind.make()) == std::wstring(L"eInvalidInput")
                                  ? "returned"
                                  : "other status";
                } catch (Acad::ErrorStatus status) {
                    outcome = status == Acad::eInvalidInput ? "thrown" : "other status thrown";
                } catch (const std::bad_alloc&) {
                    outcome = "bad_alloc thrown";
                }
                EXPECT_TRUE(qv::host::hostFaultInjected());
            }
            EXPECT_EQ(outcome, qv::host::faultActionName(action));
            EXPECT_TRUE(kind.unchanged());
            EXPECT_EQ(qv::test::hostLeftovers(), "");
        }
        // The kind's call works again once the plan is gone.
        EXPECT_EQ(kind.make(), Acad::eOk) << qv::host::hostCallName(kind.call);
    }
}

TEST_F(HostFaultsTest, ANewDrawingWhoseDefaultRecordIsRefusedNeitherLeaksItNorListsANullId) {
    qv::test::FaultSweepOptions appends;
    appends.calls = HostCall::kAppend;
    appends.actions = {FaultAction::kReturnStatus};
    int nullIds = 0;
    const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults(
        [&] {
            AcDbDatabase fresh;
            AcDbLayerTable* layers = nullptr;
            ASSERT_EQ(fresh.getLayerTable(layers, AcDb::kForRead), Acad::eOk);
            for (const AcDbObjectId& id : layers->qvRecords())
                nullIds += id.isNull() ? 1 : 0;
            layers->close();
        },
        appends);
    EXPECT_TRUE(sweep.clean()) << sweep.report();
    EXPECT_GT(sweep.failurePoints, 8);
    EXPECT_EQ(nullIds, 0);
}

}  // namespace
