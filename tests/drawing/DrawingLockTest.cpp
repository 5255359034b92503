#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "drawing/DrawingLock.h"
#include "drawing/LayerFixture.h"

namespace {

class DrawingLockTest : public qv::test::LayerDrawingTest {
  protected:
    // The host's locks on the document, the wrapper's view, and the requests made so far.
    std::string state() {
        return "host " + std::to_string(document()->qvLockCount()) + ", wrapper " +
               std::to_string(drawing()->isLocked()) + ", requests " +
               std::to_string(acDocManager->qvLockRequests()) + "/" +
               std::to_string(acDocManager->qvUnlockRequests());
    }
};

TEST_F(DrawingLockTest, NestedGuardsAskTheHostOnceAndTheOuterOneGivesItBack) {
    {
        const CDrawingLock outer(drawing());
        EXPECT_TRUE(outer.held());
        EXPECT_EQ(outer.status(), Acad::eOk);
        {
            const CDrawingLock inner(drawing());
            EXPECT_TRUE(inner.held());
            EXPECT_EQ(state(), "host 1, wrapper 1, requests 1/0");
        }
        EXPECT_EQ(state(), "host 1, wrapper 1, requests 1/0");
    }
    EXPECT_EQ(state(), "host 0, wrapper 0, requests 1/1");

    // Inside a level the caller holds, a guard only counts: the caller's level stays.
    ASSERT_EQ(drawing()->lock(), Acad::eOk);
    { const CDrawingLock guard(drawing()); }
    EXPECT_EQ(state(), "host 1, wrapper 1, requests 2/1");
    EXPECT_EQ(drawing()->unlock(0), Acad::eOk);
}

TEST_F(DrawingLockTest, ARefusedLockIsHeldByNoneAndGivesNothingBack) {
    acDocManager->qvRefuseLocks(1, Acad::eNotApplicable);
    {
        const CDrawingLock refused(drawing());
        EXPECT_FALSE(refused.held());
        EXPECT_EQ(refused.status(), Acad::eNotApplicable);
        // The next guard asks the host again, and gets it.
        const CDrawingLock granted(drawing());
        EXPECT_TRUE(granted.held());
    }
    EXPECT_EQ(state(), "host 0, wrapper 0, requests 2/1");

    const CDrawingLock none(nullptr);
    EXPECT_FALSE(none.held());
    EXPECT_EQ(none.status(), -1);
}

TEST_F(DrawingLockTest, ReleasingEarlyGivesTheLevelBackOnce) {
    const CDrawingLock outer(drawing());
    {
        CDrawingLock inner(drawing());
        inner.release();
        inner.release();
        EXPECT_EQ(state(), "host 1, wrapper 1, requests 1/0");
        // Still counted as granted, but no longer held back from the outer level.
        EXPECT_EQ(inner.status(), Acad::eOk);
    }
    EXPECT_EQ(state(), "host 1, wrapper 1, requests 1/0");
    CDrawingLock last(drawing());
    last.release();
    EXPECT_EQ(state(), "host 1, wrapper 1, requests 1/0");
}

TEST_F(DrawingLockTest, AnExceptionLeavingTheScopeGivesTheLevelBack) {
    for (const int levels : {1, 2}) {
        try {
            const CDrawingLock outer(drawing());
            const CDrawingLock inner(levels == 2 ? drawing() : nullptr);
            throw std::runtime_error("on the way");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(document()->qvLockCount(), 0) << levels;
        EXPECT_EQ(drawing()->isLocked(), 0) << levels;
    }
}

}  // namespace
