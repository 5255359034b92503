// olb and ofrs: the listing of the space blocks and the renaming of their names by prefix.
#include <gtest/gtest.h>

#include "SpaceBlockCommandFixture.h"
#include "module/ListingCommands.h"

namespace {

using qv::test::SpaceRoom;

class ListingCommands : public qv::test::SpaceBlockCommandTest {
  protected:
    // The space name read back from the reference and its NAME attribute's text.
    std::wstring nameOf(AcDbObjectId reference) {
        AcDbObjectPointer<AcDbBlockReference> ref(reference, AcDb::kForRead);
        CBlockDWG block(ref.object(), document());
        return std::wstring(block.getName().GetString()) + L"|" +
               block.getAttributes()->getAtAttribute(0)->getValue().GetString();
    }
};

TEST_F(ListingCommands, ListsTheSpaceBlocksAndTheirAssets) {
    const AcDbObjectId office = addRoom({L"ROOM-1", L"Office 1", 12.5, 14.2, 0, 0});
    const AcDbObjectId chair = addChair({100, 100, 0}, {L"red", L"oak"});
    const AcDbObjectId lab = addRoom({L"ROOM-2", L"Lab, east", 20.0, 18.0, 1, 2000});
    const std::wstring officeLine = L"ROOM-1,Office 1,12.50," + handleOf(office) + L"," +
                                    decimalHandleOf(office) + L",1\n";
    const std::wstring chairLine =
        L",,,,,,CHAIR," + handleOf(chair) + L"," + decimalHandleOf(chair) + L",2\n";
    const std::wstring labLine = L"ROOM-2,\"Lab, east\",20.00," + handleOf(lab) + L"," +
                                 decimalHandleOf(lab) + L",0\n";
    const std::wstring HEADER = L"\n\nID,Name,Area,Handle(hex),Handle(dec),Assets\n";
    const struct {
        const char* name;
        std::vector<std::string> answers;
        std::wstring listed;
    } cases[] = {
        {"ascending with assets", {"", "y"}, HEADER + officeLine + chairLine + labLine},
        {"descending, the count without the assets", {"n", ""}, HEADER + labLine + officeLine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        answers.give(c.answers);
        listBlockNameIdentifier();
        EXPECT_EQ(0u, answers.left());
        EXPECT_EQ(c.listed, printedFrom(L"\n\nID,"));
    }
}

TEST_F(ListingCommands, AnEmptyDrawingListsTheHeaderOnly) {
    answers.give({"", ""});
    listBlockNameIdentifier();
    EXPECT_EQ(L"\n\nID,Name,Area,Handle(hex),Handle(dec),Assets\n", printedFrom(L"\n\nID,"));
    EXPECT_EQ(std::wstring::npos, printed().find(L"ROOM-"));
}

TEST_F(ListingCommands, RenamesTheSpacesThatBeginWithTheText) {
    const struct {
        const char* name;
        std::string find, replace;
        std::wstring printed;
        std::vector<std::wstring> names;
    } cases[] = {
        {"case-sensitive prefix", "Office", "Room",
         L"Office 1 changed to Room 1\n3 blocks processed - 1 changes made",
         {L"Room 1|Room 1", L"office 2|office 2", L"Lab|Lab"}},
        {"an empty text prefixes every name", "", "X-",
         L"Office 1 changed to X-Office 1\noffice 2 changed to X-office 2\n"
         L"Lab changed to X-Lab\n3 blocks processed - 3 changes made",
         {L"X-Office 1|X-Office 1", L"X-office 2|X-office 2", L"X-Lab|X-Lab"}},
        {"a text longer than the names", "Office 1 and more", "Room", 
         L"3 blocks processed - 0 changes made",
         {L"Office 1|Office 1", L"office 2|office 2", L"Lab|Lab"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const AcDbObjectId rooms[] = {addRoom({L"ROOM-1", L"Office 1", 1.0, 4.0, 0, 0}),
                                      addRoom({L"ROOM-2", L"office 2", 1.0, 4.0, 0, 2000}),
                                      addRoom({L"ROOM-3", L"Lab", 1.0, 4.0, 0, 4000})};
        answers.give({c.find, c.replace});
        orvanFindReplaceStub();
        EXPECT_EQ(0u, answers.left());
        EXPECT_EQ(c.printed, printedFrom(c.printed.substr(0, 8)));
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(c.names[i], nameOf(rooms[i]));
            removeRoom(rooms[i]);
        }
        EXPECT_TRUE(messageBoxes().empty());
    }
}

}  // namespace
