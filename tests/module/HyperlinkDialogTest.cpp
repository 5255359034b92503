#include <gtest/gtest.h>

#include "BlockDialogFixture.h"
#include "blocks/Hyperlink.h"
#include "blocks/Hyperlinks.h"
#include "module/BlockDialogCommands.h"
#include "module/HyperPres.h"
#include "win32/CodePage.h"

namespace {

using Links = std::vector<std::pair<std::wstring, std::wstring>>;  // address, description

class HyperlinkDialogTest : public qv::test::BlockDialogTest {
  protected:
    // A reference to a plain block of that name (its definition made when missing) at x.
    AcDbObjectId addPlainReference(const ACHAR* name, double x) {
        AcDbObjectId blockId;
        {
            WriteLock lock(document());
            AcDbBlockTable* table = nullptr;
            db()->getBlockTable(table, AcDb::kForWrite);
            if (table->getAt(name, blockId) != Acad::eOk) {
                auto* record = new AcDbBlockTableRecord;
                record->setName(name);
                table->add(blockId, record);
                auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(5, 5, 0));
                record->appendAcDbEntity(line);
                line->close();
                record->close();
            }
            table->close();
        }
        return addToModelSpace(new AcDbBlockReference(AcGePoint3d(x, 0, 0), blockId));
    }
    void attach(AcDbObjectId id, const Links& links) {
        CHyperlinks list;
        for (const auto& [href, description] : links)
            list.add(new CHyperlink(href.c_str(), description.c_str()));
        WriteLock lock(document());
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForWrite);
        ASSERT_EQ(Acad::eOk, list.attachTo(entity.object()));
    }
    Links linksOf(AcDbObjectId id) {
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        CHyperlinks list(entity.object());
        Links links;
        for (int i = 0; i < list.getCount(); ++i)
            links.emplace_back(list.getAt(i)->getHref().str(),
                               list.getAt(i)->getDescription().str());
        return links;
    }
    bool hasSpaceRecord(AcDbObjectId id) {
        AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
        resbuf* data = entity->xData(L"ADE");
        const bool found = data != nullptr;
        acutRelRb(data);
        return found;
    }
    // The dialog with the block of `id` picked.
    HWND openOn(AcDbObjectId id) {
        const HWND dialog = open(blockHyperlink);
        EXPECT_NE(nullptr, dialog);
        answers.give({pick(id)});
        EXPECT_TRUE(act(dialog, L"click 233"));
        return dialog;
    }
    std::vector<std::wstring> rows(HWND dialog) {
        static const int ids[] = {232, 291, 234, 292, 235, 293, 230, 295, 228, 294};
        std::vector<std::wstring> texts;
        for (int id : ids)
            texts.push_back(text(dialog, id));
        return texts;
    }
};

TEST_F(HyperlinkDialogTest, SevenLinksShowFiveAndApplyKeepsThose) {
    const AcDbObjectId room = addRoom(L"Office 1", 1, 0, 0);
    Links seven;
    for (int i = 1; i <= 7; ++i)
        seven.emplace_back(L"http://x/" + std::to_wstring(i), L"link " + std::to_wstring(i));
    attach(room, seven);

    const HWND dialog = openOn(room);
    EXPECT_EQ((std::vector<std::wstring>{L"http://x/1", L"link 1", L"http://x/2", L"link 2",
                                         L"http://x/3", L"link 3", L"http://x/4", L"link 4",
                                         L"http://x/5", L"link 5"}),
              rows(dialog));
    EXPECT_EQ(L"Office 1", text(dialog, IDC_HYPER_BLOCK_NAME));
    EXPECT_EQ(pick(room).substr(1), qv::wideToUtf8(text(dialog, IDC_HYPER_BLOCK_HANDLE)));
    EXPECT_NE(std::wstring::npos, commandLine().find(L" \n \nBlock Selected\n"));

    answers.give({});
    EXPECT_TRUE(act(dialog, L"click 229"));
    EXPECT_EQ(Links(seven.begin(), seven.begin() + 5), linksOf(room));
    EXPECT_NE(std::wstring::npos, commandLine().find(L"1 block affected.\n"));
    EXPECT_EQ((std::map<std::wstring, std::wstring>{{L"ROOM-1", L"Office 1"}}), rooms());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(HyperlinkDialogTest, RowsBecomeTheBlocksList) {
    const AcDbObjectId room = addRoom(L"Store", 4, 0, 0);
    attach(room, {{L"http://old", L"old"}});
    const HWND dialog = openOn(room);
    for (const wchar_t* line :
         {L"set 232 \"\"", L"set 291 \"description only\"",   // no address: skipped
          L"set 234 http://a", L"set 292 first",               // kept
          L"set 235 http://b", L"set 293 \"\"",                // description from the address
          L"set 230 http://a", L"set 295 second",              // the same address: dropped
          L"set 228 http://c", L"set 294 third"})
        ASSERT_TRUE(act(dialog, line)) << CStringA(line).GetString();
    EXPECT_TRUE(act(dialog, L"click 229"));
    EXPECT_EQ((Links{{L"http://a", L"first"}, {L"http://b", L"http://b"},
                     {L"http://c", L"third"}}),
              linksOf(room));
    // The block was read again and is shown as written.
    EXPECT_EQ((std::vector<std::wstring>{L"http://a", L"first", L"http://b", L"http://b",
                                         L"http://c", L"third", L"", L"", L"", L""}),
              rows(dialog));
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(HyperlinkDialogTest, AnUntouchedDescriptionFollowsItsAddress) {
    const AcDbObjectId room = addRoom(L"Hall", 2, 0, 0);
    const HWND dialog = openOn(room);
    const struct {
        const wchar_t* action;
        int descriptionEdit;
        const wchar_t* description;
    } steps[] = {
        {L"set 232 http://a", IDC_HYPER_DESCRIPTION1, L"http://a"},    // empty: filled
        {L"set 232 http://ab", IDC_HYPER_DESCRIPTION1, L"http://ab"},  // still the address
        {L"set 291 Mine", IDC_HYPER_DESCRIPTION1, L"Mine"},
        {L"set 232 http://abc", IDC_HYPER_DESCRIPTION1, L"Mine"},  // typed by the user: stays
        {L"set 234 http://z", IDC_HYPER_DESCRIPTION2, L"http://z"},  // each row on its own
        {L"set 234 http://z", IDC_HYPER_DESCRIPTION1, L"Mine"},
    };
    for (const auto& s : steps) {
        ASSERT_TRUE(act(dialog, s.action));
        EXPECT_EQ(std::wstring(s.description), text(dialog, s.descriptionEdit))
            << CStringA(s.action).GetString();
    }
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(HyperlinkDialogTest, AllSimilarBlocksOverThreeReferences) {
    const AcDbObjectId a = addPlainReference(L"DESK", 0);
    const AcDbObjectId b = addPlainReference(L"DESK", 20);
    const AcDbObjectId other = addPlainReference(L"CHAIR", 40);
    const AcDbObjectId c = addPlainReference(L"DESK", 60);
    const HWND dialog = openOn(b);
    EXPECT_EQ(L"DESK", text(dialog, IDC_HYPER_BLOCK_NAME));
    ASSERT_TRUE(act(dialog, L"set 232 http://desk"));
    ASSERT_TRUE(act(dialog, L"check 296"));
    answers.give({});
    EXPECT_TRUE(act(dialog, L"click 229"));
    EXPECT_NE(std::wstring::npos, commandLine().find(L"3 block(s) affected.\n"));
    for (AcDbObjectId id : {a, b, c}) {
        EXPECT_EQ((Links{{L"http://desk", L"http://desk"}}), linksOf(id));
        // The write is the space block's whole write: a plain block gets its record too.
        EXPECT_TRUE(hasSpaceRecord(id));
    }
    EXPECT_TRUE(linksOf(other).empty());
    EXPECT_FALSE(hasSpaceRecord(other));
    EXPECT_EQ(0, view(dialog).control(IDC_HYPER_ALL_SIMILAR)->check);  // cleared after Apply
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(HyperlinkDialogTest, OkAndApplyWaitForABlockThatWasRead) {
    const AcDbObjectId room = addRoom(L"Lab", 3, 0, 0);
    const AcDbObjectId line = addToModelSpace(new AcDbLine(AcGePoint3d(50, 50, 0),
                                                           AcGePoint3d(60, 60, 0)));
    const HWND dialog = open(blockHyperlink);
    ASSERT_NE(nullptr, dialog);
    EXPECT_NE(std::wstring::npos, commandLine().find(L"Please select a block to hyperlink\n"));
    EXPECT_FALSE(enabled(dialog, IDOK));
    EXPECT_FALSE(enabled(dialog, IDC_HYPER_APPLY));
    EXPECT_TRUE(act(dialog, L"enter"));  // refused: OK is disabled
    EXPECT_TRUE(::IsWindow(dialog));

    // A line changes nothing and says nothing more.
    answers.give({pick(line)});
    EXPECT_TRUE(act(dialog, L"click 233"));
    EXPECT_EQ(L"\nSelect a Block:  \n \n", commandLine().substr(commandLine().find(L"\nSelect")));
    EXPECT_FALSE(enabled(dialog, IDOK));
    // A cancelled pick says so.
    answers.give({"^C"});
    EXPECT_TRUE(act(dialog, L"click 233"));
    EXPECT_NE(std::wstring::npos, commandLine().find(L"A new block has not been selected\n"));
    // A block the drawing would not let us read leaves the buttons disabled.
    acDocManager->qvRefuseLocks(1);
    answers.give({pick(room)});
    EXPECT_TRUE(act(dialog, L"click 233"));
    EXPECT_FALSE(enabled(dialog, IDC_HYPER_APPLY));
    EXPECT_EQ(L"Block not Selected", text(dialog, IDC_HYPER_BLOCK_NAME));

    answers.give({pick(room)});
    EXPECT_TRUE(act(dialog, L"click 233"));
    EXPECT_TRUE(enabled(dialog, IDOK));
    EXPECT_TRUE(enabled(dialog, IDC_HYPER_APPLY));
    EXPECT_EQ(std::vector<std::wstring>{L"Enter does nothing: button 1 is disabled."}, refusals());
    EXPECT_TRUE(act(dialog, L"cancel"));
}

TEST_F(HyperlinkDialogTest, OkAppliesAndClosesEscClosesWithoutWriting) {
    const struct {
        const wchar_t* action;
        bool written;
    } cases[] = {{L"click 1", true}, {L"enter", true}, {L"cancel", false}, {L"click 302", false}};
    const AcDbObjectId room = addRoom(L"Lab", 3, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.action).GetString());
        attach(room, {});
        const HWND dialog = openOn(room);
        ASSERT_TRUE(act(dialog, L"set 232 http://lab"));
        answers.give({});
        EXPECT_TRUE(act(dialog, c.action));
        EXPECT_FALSE(::IsWindow(dialog));
        EXPECT_EQ(c.written, !linksOf(room).empty());
        EXPECT_TRUE(qv::host::ed::editor().input().hasHostInput());  // the Esc for the prompt
        qv::host::ed::editor().input().clear();
    }
    EXPECT_EQ((std::vector<std::wstring>(4, L"Orvan Block Hyperlinking")), ui.dialogsClosed());
}

TEST_F(HyperlinkDialogTest, OnlyShowingTheDialogStartsItAfresh) {
    const AcDbObjectId room = addRoom(L"Lab", 3, 0, 0);
    const HWND dialog = openOn(room);
    ASSERT_TRUE(enabled(dialog, IDC_HYPER_APPLY));
    CWnd* window = CWnd::FromHandle(dialog);
    answers.give({});
    window->ShowWindow(SW_HIDE);  // hiding is no showing: nothing changes
    EXPECT_EQ(L"", commandLine());
    EXPECT_TRUE(enabled(dialog, IDC_HYPER_APPLY));
    window->ShowWindow(SW_SHOW);
    EXPECT_EQ(L"Please select a block to hyperlink\n", commandLine());
    EXPECT_FALSE(enabled(dialog, IDOK));
    EXPECT_FALSE(enabled(dialog, IDC_HYPER_APPLY));
    EXPECT_TRUE(act(dialog, L"cancel"));
}

}  // namespace
