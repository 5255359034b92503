// A block-creation session carries what it makes forward from pick to pick: the next name and
// "ROOM-" number follow the rooms it made, as a fresh look at the drawing would give them.
#include <gtest/gtest.h>

#include "BlockDialogFixture.h"
#include "core/Utilities.h"
#include "module/BlockDialogCommands.h"
#include "module/PresBlockCreation.h"
#include "mfc/dialogs/DialogDriving.h"

namespace {

using qv::test::BlockDialogTest;

TEST_F(BlockDialogTest, EachPickOfASessionProposesFromTheRoomsMadeSoFar) {
    addRoom(L"Lab 7", 3, 100, 100);
    const AcDbObjectId first = addSquare(0, 0);
    const AcDbObjectId second = addSquare(20, 0);
    const AcDbObjectId third = addSquare(40, 0);
    const HWND dialog = open(blockCreate);
    ASSERT_NE(nullptr, dialog);
    answers.give({pick(first), "5,5", pick(second), "25,5", pick(third), "45,5", "^C"});
    ASSERT_TRUE(act(dialog, L"click 3"));
    EXPECT_EQ(0u, answers.left());

    const std::map<std::wstring, std::wstring> expected{
        {L"ROOM-3", L"Lab 7"}, {L"ROOM-4", L"Lab 8"}, {L"ROOM-5", L"Lab 9"}, {L"ROOM-6", L"Lab 10"}};
    EXPECT_EQ(expected, rooms());
    EXPECT_EQ(L"Lab 11", text(dialog, IDC_NEXT_SPACE_NAME));
    auto* creator = static_cast<CPresBlockCreation*>(CWnd::FromHandlePermanent(dialog));
    EXPECT_EQ(7, creator->getNextIdentifier());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

}  // namespace
