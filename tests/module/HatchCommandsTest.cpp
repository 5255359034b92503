// osc_has and osc_hs, and the block sweep's handling of collected and thrown failures.
#include <gtest/gtest.h>

#include "SpaceSweepFixture.h"
#include "host/db/HostFaults.h"
#include "module/UpdateCommands.h"

namespace {

using qv::test::SpaceSpec;

SpaceSpec room(const wchar_t* name, double x) {
    return {name, x, 10000, 5000, 50, 30, 0, 2, L"50.00sq.m.", L" "};
}

// A clock that moves on by a fixed step each time it is read.
class SteppingClock : public qv::ManualClock {
  public:
    SteppingClock(qv::LocalTime start, std::uint64_t stepMs) : ManualClock(start), m_step(stepMs) {}
    qv::LocalTime now() override {
        const qv::LocalTime t = ManualClock::now();
        advanceMs(m_step);
        return t;
    }

  private:
    std::uint64_t m_step;
};

class HatchCommands : public qv::test::SpaceSweepTest {
  protected:
    ~HatchCommands() override { qv::host::disarmHostFault(); }

    // Three rooms and the gross-area block, in this order.
    void drawFloor() {
        rooms = {addSpace(room(L"Office", 0)), addSpace(room(L"Lobby", 20000)),
                 addSpace(room(L"Store", 40000))};
        grossArea = addSpace(room(L"GROSS AREA", 60000));
    }
    // Which of the rooms carry a hatch: the hatches' outlines are the rooms' outlines, one room
    // every 20 m along x.
    std::vector<bool> hatchedRooms() const {
        std::vector<bool> hatched(4, false);
        for (const AcDbObjectId& id : hatches()) {
            AcDbObjectPointer<AcDbHatch> hatch(id, AcDb::kForRead);
            AcGeDoubleArray bulges;
            AcGePoint2dArray vertices;
            Adesk::Int32 type = 0;
            hatch->getLoopAt(0, type, vertices, bulges);
            const int index = static_cast<int>(vertices[0].x / 20000.0 + 0.5);
            if (index >= 0 && index < 4)
                hatched[index] = true;
        }
        return hatched;
    }

    std::vector<AcDbObjectId> rooms;
    AcDbObjectId grossArea;
};

TEST_F(HatchCommands, HatchAllSpacesReportsTheTimeTakenPerBlock) {
    struct Case {
        const char* name;
        qv::LocalTime start;
        bool withRooms;
        std::wstring transcript;
    };
    const Case cases[] = {
        {"a minute and five seconds over three blocks", {2009, 3, 5, 7, 4, 9, 0}, true,
         L"07:04:09\n07:05:14\n3 block(s) hatched in 65 seconds (21.67 s/b)\n"},
        {"over midnight", {2009, 3, 5, 23, 59, 30, 0}, true,
         L"23:59:30\n00:00:35\n3 block(s) hatched in 65 seconds (21.67 s/b)\n"},
        {"nothing but the gross area", {2009, 3, 5, 7, 4, 9, 0}, false,
         L"07:04:09\n07:05:14\n0 block(s) hatched in 65 seconds (0.00 s/b)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetHostDrawing();
        if (c.withRooms)
            drawFloor();
        else
            grossArea = addSpace(room(L"GROSS AREA", 60000));
        SteppingClock clock(c.start, 65000);
        qv::setClock(&clock);
        answers.give({});
        hatchAllSpaces();
        qv::setClock(&this->clock);
        EXPECT_EQ(shown(), c.transcript);
        EXPECT_TRUE(messageBoxes().empty());
        EXPECT_EQ(hatchedRooms(),
                  std::vector<bool>({c.withRooms, c.withRooms, c.withRooms, false}));
        // Solid yellow on "#Hatch".
        for (const AcDbObjectId& id : hatches()) {
            AcDbObjectPointer<AcDbHatch> hatch(id, AcDb::kForRead);
            EXPECT_STREQ(hatch->patternName(), L"SOLID");
            EXPECT_EQ(taken(hatch->layer()), L"#Hatch");
            EXPECT_TRUE(hatch->color().isByColor());
            EXPECT_EQ(hatch->color().red(), 255);
            EXPECT_EQ(hatch->color().green(), 255);
            EXPECT_EQ(hatch->color().blue(), 0);
        }
    }
}

TEST_F(HatchCommands, ACollectedErrorIsShownAfterItsBlockAndTheSweepGoesOn) {
    drawFloor();
    setOutlineClosed(rooms[1], false);
    answers.give({});
    hatchAllSpaces();
    const std::vector<std::wstring> boxes = messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(L"Error Detected.: "), std::wstring::npos);
    EXPECT_NE(boxes[0].find(L"Unable to hatch Orvan Block: Lobby."), std::wstring::npos)
        << boxes[0];
    EXPECT_EQ(hatchedRooms(), std::vector<bool>({true, false, true, false}));
    // The run ends normally: the blocks given a hatch are counted.
    EXPECT_NE(shown().find(L"3 block(s) hatched in 0 seconds (0.00 s/b)\n"),
              std::wstring::npos)
        << shown();
}

TEST_F(HatchCommands, AThrownErrorStopsTheSweepAtItsBlock) {
    drawFloor();
    // Lock requests: the collection's, then one per block written; the third is block 2's.
    qv::host::FaultPlan plan;
    plan.calls = qv::host::HostCall::kLock;
    plan.failAt = 3;
    plan.status = Acad::eLockViolation;
    qv::host::armHostFault(plan);
    answers.give({});
    hatchAllSpaces();
    qv::host::disarmHostFault();
    EXPECT_TRUE(qv::host::hostFaultInjected());
    const std::vector<std::wstring> boxes = messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind(L"Error Detected.: quorvelle::hatchAllSpaces\n", 0), 0u) << boxes[0];
    EXPECT_NE(boxes[0].find(L"CBlockDWG::applyToDWG"), std::wstring::npos) << boxes[0];
    EXPECT_EQ(hatchedRooms(), std::vector<bool>({true, false, false, false}));
    // Neither the end time nor the summary.
    EXPECT_EQ(shown(), L"07:04:09\n");
    EXPECT_EQ(document()->qvLockCount(), 0);
}

TEST_F(HatchCommands, HatchSpaceHatchesOnlyThePickedSpaceBlock) {
    drawFloor();
    AcDbObjectId chair;
    {
        // A block reference that is no space block.
        AcDbObjectPointer<AcDbBlockReference> ref(rooms[0], AcDb::kForRead);
        chair = addToModelSpace(
            new AcDbBlockReference(AcGePoint3d(90000, 0, 0), ref->blockTableRecord()));
    }
    struct Case {
        const char* name;
        std::string answer;
        std::vector<bool> hatched;
    };
    const Case cases[] = {
        {"a space block", pick(rooms[1]), {false, true, false, false}},
        {"the gross area too", pick(grossArea), {false, false, false, true}},
        {"no space block", pick(chair), {false, false, false, false}},
        {"cancelled", "^C", {false, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            WriteLock lock(document());
            for (const AcDbObjectId& id : hatches()) {
                AcDbObjectPointer<AcDbEntity> hatch(id, AcDb::kForWrite);
                hatch->erase();
            }
        }
        answers.give({c.answer});
        hatchSpace();
        EXPECT_EQ(answers.left(), 0u);
        EXPECT_EQ(hatchedRooms(), c.hatched);
        EXPECT_TRUE(messageBoxes().empty());
    }
}

}  // namespace
