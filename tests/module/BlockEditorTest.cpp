// The block editor (obe) and the space properties dialog, driven as a user drives them: dialog
// actions through the scripted screen, picks and selections typed at the command line.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "BlockDialogFixture.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/OrvanAttribute.h"
#include "core/Preferences.h"
#include "drawing/AcadDrawing.h"
#include "mfc/dialogs/DialogDriving.h"
#include "module/BlockEditCommands.h"
#include "module/ModuleGlobals.h"
#include "module/TabXData.h"
#include "module/resource.h"
#include "support/SpaceBlocks.h"
#include "win32/CodePage.h"

namespace {

const double SQUARE_FEET_PER_SQUARE_METRE = 10.7639104167097;
// Drawings are in millimetres; rooms are given in metres.
const double MM = 1000.0;

struct Room {
    const wchar_t* name;
    double x, y, w, h;
    bool gross = false;
};

class BlockEditorTest : public qv::test::BlockDialogTest {
  protected:
    BlockEditorTest() : m_windows((qv::win::mainWindow(), qv::win::windowCount())) {
        qv::test::wrapCurrentDocument(drawing, document());
        storePreferences(0, 2);
    }

    void TearDown() override {
        // Whatever a test left open goes, as when the host ends.
        for (UINT id : {IDD_BLOCK_EDITOR, IDD_SPACE_PROPERTIES})
            while (HWND h = dialog(id, true))
                ::DestroyWindow(h);
        EXPECT_EQ(m_windows, qv::win::windowCount());
        BlockDialogTest::TearDown();
    }

    void storePreferences(int units, int precision, double textSize = 250.0) {
        CPreferences p;
        p.setUnits(units);
        p.setPrecision(precision);
        p.setTextSize(textSize);
        BlockDialogTest::storePreferences(p);
    }

    // A space block around a rectangle (metres), made as the block creator makes it; its reference.
    AcDbObjectId addRoom(const Room& r) {
        const AcDbObjectId outlineId = addRectangle(r.x, r.y, r.w, r.h);

        std::unique_ptr<CBlockDWG> block;
        if (r.gross)
            block = std::make_unique<CBlockDWGFloor>();
        else
            block = std::make_unique<CBlockDWGRoom>();
        CString blockName;
        blockName.Format(L"ROOM-%d", ++m_rooms);
        block->setBlockName(r.gross ? CString(L"ROOM-GROSS_AREA") : blockName);
        block->setUnits(0);
        block->setPrecision(2);
        block->setName(r.name);
        block->setArea(r.w * r.h);
        block->setPerimeter(2 * (r.w + r.h));
        block->setAttributes(qv::test::spaceAttributes(r.name, L"area", L" "));
        EXPECT_EQ(Acad::eOk, qv::test::makeSpaceBlock(*block, drawing, outlineId,
                                                      AcGePoint3d((r.x + 1) * MM, (r.y + 1) * MM, 0)));
        return block->getObjectId();
    }
    // A closed rectangle, in metres.
    AcDbObjectId addRectangle(double x, double y, double w, double h) {
        return addToModelSpace(qv::test::rectangleOutline(x * MM, y * MM, w * MM, h * MM));
    }

    static std::string handleOf(AcDbObjectId id) { return qv::wideToUtf8(id.handle().text()); }
    std::unique_ptr<CBlockDWG> readBack(AcDbObjectId id) {
        AcDbObjectPointer<AcDbBlockReference> ref(id, AcDb::kForRead);
        EXPECT_EQ(Acad::eOk, ref.openStatus());
        return std::make_unique<CBlockDWG>(ref.object(), document());
    }
    static CString attribute(const CBlockDWG& block, int kind) {
        const CAttribute* a =
            block.getAttributes() ? block.getAttributes()->getAtAttribute(kind) : nullptr;
        return a ? a->getValue() : CString(L"<none>");
    }

    // The dialog of a template (shown ones only, unless hidden ones count too), or null.
    static HWND dialog(UINT templateId, bool hiddenToo = false) {
        for (HWND h : qv::win::topLevelWindows()) {
            const qv::win::Window* w = qv::win::find(h);
            if (w && w->templateId == templateId && (hiddenToo || ::IsWindowVisible(h)))
                return h;
        }
        return nullptr;
    }
    // The dialog as the user sees it now.
    static qv::ui::DialogView view(UINT templateId) {
        return qv::win::describe(dialog(templateId));
    }
    static CString text(UINT templateId, int id, UINT page = 0) {
        const qv::ui::DialogView shown = view(templateId);
        const qv::ui::ControlView* c = shown.control(id, page);
        return c ? CString(c->text.c_str()) : CString(L"<missing>");
    }
    static std::vector<std::wstring> listed() {
        return view(IDD_BLOCK_EDITOR).control(IDC_EDITOR_BLOCK_LIST)->items;
    }

    // obe, as the host runs it.
    void openEditor() {
        quorvelle();
        ASSERT_NE(nullptr, dialog(IDD_BLOCK_EDITOR));
    }
    // One action of the user in the shown modeless dialogs; a refusal fails the test.
    void act(const wchar_t* action) {
        const size_t notices = ui.notices().size();
        ui.queueAction(CString(action));
        EXPECT_TRUE(qv::win::serviceModeless()) << CStringA(action).GetString();
        for (size_t i = notices; i < ui.notices().size(); ++i)
            EXPECT_FALSE(ui.notices()[i].refused)
                << CStringA(action).GetString() << ": " << CStringA(ui.notices()[i].message.c_str());
    }
    void act(std::initializer_list<const wchar_t*> actions) {
        for (const wchar_t* a : actions)
            act(a);
    }
    // An action that opens a modal dialog, with the actions in that dialog.
    void actModal(std::initializer_list<const wchar_t*> actions) {
        for (const wchar_t* a : actions)
            ui.queueAction(CString(a));
        EXPECT_TRUE(qv::win::serviceModeless());
        EXPECT_EQ(0u, ui.pendingActions());
    }
    // Opens the properties of the first listed block, renames it "Renamed", makes the edits
    // (action lines) and presses OK. A refused edit shows `message` alone and leaves the dialog
    // open (cancelled here) and the block's name as it was; without a message the dialog closes
    // and the new name is written.
    void renameEditAndOk(AcDbObjectId room, std::initializer_list<CString> edits,
                         const wchar_t* message) {
        ui.clear();
        act({L"dblclick 246 0", L"set 208:203 Renamed"});
        for (const CString& edit : edits)
            act(edit.GetString());
        act(L"click 1");
        if (message) {
            EXPECT_EQ(std::vector<std::wstring>{message}, messageBoxes());
            EXPECT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));
            EXPECT_EQ(CString(L"Office"), readBack(room)->getName());
            act(L"cancel");
        } else {
            EXPECT_TRUE(messageBoxes().empty());
            EXPECT_EQ(nullptr, dialog(IDD_SPACE_PROPERTIES, true));
            EXPECT_EQ(CString(L"Renamed"), readBack(room)->getName());
        }
    }
    std::vector<std::wstring> messageBoxes() const {
        std::vector<std::wstring> texts;
        for (const auto& s : ui.shown())
            texts.push_back(s.text);
        return texts;
    }

    CAcadDrawing drawing;

  private:
    std::size_t m_windows;
    int m_rooms = 0;
};

std::wstring line(const wchar_t* name, const std::string& handle) {
    return std::wstring(name) + std::wstring(200, L' ') + std::wstring(handle.begin(), handle.end());
}

TEST_F(BlockEditorTest, ListsRoomsOrTheOtherKindsWithTheirCount) {
    const AcDbObjectId office = addRoom({L"Office", 0, 0, 5, 4});
    const AcDbObjectId kitchen = addRoom({L"Kitchen", 10, 0, 3, 3});
    const AcDbObjectId office2 = addRoom({L"Office", 20, 0, 4, 4});
    const AcDbObjectId gross = addRoom({L"GROSS AREA", -5, -5, 40, 20, true});
    openEditor();
    EXPECT_NE(std::wstring::npos, commandLine().find(L"Orvan Block Edit 64.04.00.01\n"));
    EXPECT_EQ(CString(L"Orvan Block Editor"), CString(view(IDD_BLOCK_EDITOR).caption.c_str()));

    const struct {
        const wchar_t* choose;  // null: as opened
        std::vector<std::wstring> lines;
        const wchar_t* count;
    } cases[] = {
        {nullptr,
         {line(L"Kitchen", handleOf(kitchen)), line(L"Office", handleOf(office)),
          line(L"Office", handleOf(office2))},
         L"3 item(s) found."},
        {L"select 248 \"Gross Area\"", {line(L"GROSS AREA", handleOf(gross))}, L"1 item(s) found."},
        {L"select 248 Rooms/Spaces",
         {line(L"Kitchen", handleOf(kitchen)), line(L"Office", handleOf(office)),
          line(L"Office", handleOf(office2))},
         L"3 item(s) found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choose ? CStringA(c.choose).GetString() : "opened");
        if (c.choose)
            act(c.choose);
        EXPECT_EQ(c.lines, listed());
        EXPECT_EQ(CString(c.count), text(IDD_BLOCK_EDITOR, IDC_EDITOR_COUNT));
    }
}

TEST_F(BlockEditorTest, TheHandleDecidesWhichOfTwoEquallyNamedBlocksOpens) {
    const AcDbObjectId first = addRoom({L"Office", 0, 0, 5, 4});
    const AcDbObjectId second = addRoom({L"Office", 20, 0, 4, 4});
    openEditor();
    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        const std::wstring chosen = listed()[static_cast<size_t>(index)];
        CString action;
        action.Format(L"dblclick 246 %d", index);
        act(action);
        ASSERT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));
        EXPECT_EQ(nullptr, dialog(IDD_BLOCK_EDITOR));  // hidden while the properties are open
        const CString handle = text(IDD_SPACE_PROPERTIES, IDC_DATA_HANDLE, IDD_TAB_DATA);
        EXPECT_EQ(chosen.substr(chosen.rfind(L' ') + 1), std::wstring(handle.GetString()));
        EXPECT_TRUE(handle == handleOf(first).c_str() || handle == handleOf(second).c_str());
        act(L"click 285");  // Cancel
        EXPECT_EQ(nullptr, dialog(IDD_SPACE_PROPERTIES, true));
        EXPECT_NE(nullptr, dialog(IDD_BLOCK_EDITOR));
    }
}

TEST_F(BlockEditorTest, ThePropertiesDialogShowsTheBlock) {
    addRoom({L"Lab", 0, 0, 5, 4});
    openEditor();
    act(L"dblclick 246 0");
    const struct {
        int id;
        UINT page;
        const wchar_t* text;
    } shown[] = {
        {IDC_DATA_NAME, IDD_TAB_DATA, L"Lab"},
        {IDC_DATA_AREA_TEXT, IDD_TAB_DATA, L"area"},
        {IDC_DATA_AUX_TEXT, IDD_TAB_DATA, L" "},
        {IDC_DATA_AREA, IDD_TAB_DATA, L"20.00"},
        {IDC_DATA_PERIMETER, IDD_TAB_DATA, L"18.00"},
        {IDC_DATA_AREA_UNIT, IDD_TAB_DATA, L"m\u00b2"},
        {IDC_DATA_PERIMETER_UNIT, IDD_TAB_DATA, L"m"},
        {IDC_DATA_ASSETS, IDD_TAB_DATA, L"0"},
        {IDC_FORMAT_HEIGHT, IDD_TAB_FORMAT, L"250"},
        {IDC_FORMAT_WIDTH_FACTOR, IDD_TAB_FORMAT, L"1"},
        {IDC_FORMAT_ROTATION, IDD_TAB_FORMAT, L"0"},
    };
    for (const auto& s : shown)
        EXPECT_EQ(CString(s.text), text(IDD_SPACE_PROPERTIES, s.id, s.page)) << s.id;
    EXPECT_EQ(CString(L"RoomBlock"), CString(view(IDD_SPACE_PROPERTIES).caption.c_str()));
    EXPECT_EQ((std::vector<std::wstring>{L"Space Data", L"Format"}),
              view(IDD_SPACE_PROPERTIES).control(IDC_PROPERTIES_TABS)->items);
    EXPECT_FALSE(view(IDD_SPACE_PROPERTIES).control(IDC_FORMAT_HEIGHT, IDD_TAB_FORMAT)->visible);
    act(L"select 245 Format");
    EXPECT_TRUE(view(IDD_SPACE_PROPERTIES).control(IDC_FORMAT_HEIGHT, IDD_TAB_FORMAT)->visible);
    EXPECT_FALSE(view(IDD_SPACE_PROPERTIES).control(IDC_DATA_NAME, IDD_TAB_DATA)->visible);
    act(L"select 245 Format");  // the current tab: nothing changes
    EXPECT_TRUE(view(IDD_SPACE_PROPERTIES).control(IDC_FORMAT_HEIGHT, IDD_TAB_FORMAT)->visible);
}

TEST_F(BlockEditorTest, OkWritesNameAttributesAreasAndFormat) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 10, 10});
    const AcDbObjectId pillar = addRectangle(2, 2, 1, 2);  // 2 sq.m. out
    const AcDbObjectId bay = addRectangle(10, 0, 2, 5);    // 10 sq.m. in
    openEditor();
    act(L"dblclick 246 0");
    answers.give({"#" + handleOf(pillar), "", "#" + handleOf(bay), ""});
    act({L"set 208:203 Lab 2", L"set 208:205 Level 2", L"click 208:244", L"click 208:332"});
    EXPECT_EQ(CString(L"108.00"), text(IDD_SPACE_PROPERTIES, IDC_DATA_AREA, IDD_TAB_DATA));
    EXPECT_EQ(CString(L"60.00"), text(IDD_SPACE_PROPERTIES, IDC_DATA_PERIMETER, IDD_TAB_DATA));
    act({L"click 208:252", L"select 245 Format", L"set 207:254 300", L"set 207:229 0.8",
         L"set 207:230 45", L"click 1"});
    EXPECT_EQ(0u, answers.left());
    EXPECT_EQ(nullptr, dialog(IDD_SPACE_PROPERTIES, true));
    ASSERT_NE(nullptr, dialog(IDD_BLOCK_EDITOR));
    EXPECT_EQ(line(L"Lab 2", handleOf(room)), listed().at(0));

    const std::unique_ptr<CBlockDWG> saved = readBack(room);
    EXPECT_EQ(CString(L"Lab 2"), saved->getName());
    EXPECT_EQ(CString(L"Lab 2"), attribute(*saved, COrvanAttribute::KIND_NAME));
    EXPECT_EQ(CString(L"108.00sq.m."), attribute(*saved, COrvanAttribute::KIND_AREA));
    EXPECT_EQ(CString(L"Level 2"), attribute(*saved, COrvanAttribute::KIND_AUX));
    EXPECT_DOUBLE_EQ(108.0, saved->getArea());
    EXPECT_DOUBLE_EQ(60.0, saved->getPerimeter());  // the outline and both areas
    ASSERT_EQ(1, saved->getHandlesToMinusCount());
    ASSERT_EQ(1, saved->getHandlesToAddCount());
    EXPECT_EQ(handleOf(pillar) + ",", CStringA(saved->getHandlesToMinusAsString()).GetString());
    EXPECT_EQ(handleOf(bay) + ",", CStringA(saved->getHandlesToAddAsString()).GetString());
    EXPECT_DOUBLE_EQ(300.0, saved->getAttributes()->getTextHeight());
    EXPECT_NEAR(0.8, saved->getAttributes()->getWidthFactor(), 1e-9);
    EXPECT_NEAR(45.0, saved->getAttributes()->getRotation(), 1e-9);
}

TEST_F(BlockEditorTest, CancelAfterApplyKeepsWhatWasApplied) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});
    openEditor();
    act({L"dblclick 246 0", L"set 208:203 Applied", L"click 284"});
    // Apply writes at once and refills the editor's list, the dialog stays.
    EXPECT_EQ(CString(L"Applied"), readBack(room)->getName());
    EXPECT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));
    act({L"set 208:203 Dropped", L"cancel"});
    EXPECT_EQ(nullptr, dialog(IDD_SPACE_PROPERTIES, true));
    EXPECT_EQ(CString(L"Applied"), readBack(room)->getName());
    EXPECT_EQ(line(L"Applied", handleOf(room)), listed().at(0));
}

TEST_F(BlockEditorTest, AFailedWriteIsShownAndTheDialogStaysOpen) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});
    openEditor();
    for (const wchar_t* way : {L"click 284", L"click 1"}) {
        SCOPED_TRACE(CStringA(way).GetString());
        ui.clear();
        act({L"dblclick 246 0", L"set 208:203 Renamed"});
        acDocManager->qvRefuseLocks(1, Acad::eLockViolation);
        act(way);
        ASSERT_EQ(1u, ui.shown().size());
        EXPECT_EQ(L"Error Detected.", ui.shown()[0].caption);
        EXPECT_NE(std::wstring::npos, ui.shown()[0].text.find(L"CPresBlock::applyChanges"));
        EXPECT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));
        EXPECT_EQ(CString(L"Office"), readBack(room)->getName());
        act(L"cancel");
    }
}

TEST_F(BlockEditorTest, ARefusedFormatWritesNothingAndKeepsTheDialogOpen) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});
    const struct {
        const wchar_t* control;
        const wchar_t* value;
        const wchar_t* message;  // null: accepted
    } cases[] = {
        {L"254", L"0", L"The text height must be greater than 0."},
        {L"229", L"0", L"The width factor must be greater than 0."},
        {L"230", L"360", L"Please enter a number between 0 and 359."},
        {L"230", L"-1", L"Please enter a number between 0 and 359."},
        {L"254", L"tall", L"Please enter a number."},
        {L"230", L"359", nullptr},
    };
    openEditor();
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.control + CString(L"=") + c.value).GetString());
        CString set;
        set.Format(L"set 207:%s %s", c.control, c.value);
        renameEditAndOk(room, {L"select 245 Format", set}, c.message);
        if (!c.message) {
            // -1 degree is the same angle.
            const double rotation = readBack(room)->getAttributes()->getRotation();
            EXPECT_NEAR(359.0, std::fmod(rotation + 360.0, 360.0), 1e-9);
        }
    }
}

// An area or perimeter given as a number that is not finite never reaches the block: the Space
// Data page refuses it with its message before anything is written, and the dialog stays open;
// a text that starts with a finite number is read as that number.
TEST_F(BlockEditorTest, AnAreaOrPerimeterThatIsNoFiniteNumberWritesNothing) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});
    const wchar_t AREA[] = L"The area must be a finite number.";
    const wchar_t PERIMETER[] = L"The perimeter must be a finite number.";
    const struct {
        const wchar_t* control;
        const wchar_t* value;
        const wchar_t* message;  // null: accepted
        double area, perimeter;  // stored afterwards
    } cases[] = {
        {L"219", L"nan", AREA, 20.0, 18.0},        {L"219", L"inf", AREA, 20.0, 18.0},
        {L"219", L"-INF", AREA, 20.0, 18.0},       {L"219", L"1e999", AREA, 20.0, 18.0},
        {L"218", L"NaN", PERIMETER, 20.0, 18.0},   {L"218", L"1e400", PERIMETER, 20.0, 18.0},
        {L"219", L"12.5 sq.m.", nullptr, 12.5, 18.0},
    };
    openEditor();
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.control + CString(L"=") + c.value).GetString());
        // Pasted: the digits-only edit would stop the letters, the sign and the point if typed.
        CString paste;
        paste.Format(L"paste 208:%s %s", c.control, c.value);
        renameEditAndOk(room, {paste}, c.message);
        EXPECT_DOUBLE_EQ(c.area, readBack(room)->getArea());
        EXPECT_DOUBLE_EQ(c.perimeter, readBack(room)->getPerimeter());
    }
}

TEST_F(BlockEditorTest, AreasAreSetClearedAndCancelledSelectionsChangeNothing) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 10, 10});
    const AcDbObjectId pillar = addRectangle(2, 2, 1, 2);
    openEditor();
    act(L"dblclick 246 0");
    const struct {
        const wchar_t* action;
        std::vector<std::string> answers;
        const wchar_t* area;
    } steps[] = {
        {L"click 208:244", {"^C"}, L"100.00"},                         // cancelled: unchanged
        {L"click 208:244", {"#" + handleOf(pillar), ""}, L"98.00"},    // subtracted
        {L"click 208:332", {"^C"}, L"98.00"},                          // cancelled: unchanged
        {L"click 208:333", {}, L"98.00"},                              // no added areas: recalc
        {L"set 208:219 55", {}, L"55"},                                // typed
        {L"click 208:249", {}, L"98.00"},                              // recalculated
        {L"click 208:245", {}, L"100.00"},                             // subtracted cleared
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(CStringA(s.action).GetString());
        answers.give(s.answers);
        act(s.action);
        EXPECT_EQ(0u, answers.left());
        EXPECT_EQ(CString(s.area), text(IDD_SPACE_PROPERTIES, IDC_DATA_AREA, IDD_TAB_DATA));
        EXPECT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));  // restored after every pick
    }
    act(L"click 284");
    EXPECT_EQ(0, readBack(room)->getHandlesToMinusCount());
    EXPECT_DOUBLE_EQ(100.0, readBack(room)->getArea());
}

TEST_F(BlockEditorTest, CopyButtonsPutValueAndUnitIntoTheTexts) {
    addRoom({L"Office", 0, 0, 2.5, 5});
    openEditor();
    act({L"dblclick 246 0", L"click 208:252", L"click 208:253"});
    EXPECT_EQ(CString(L"12.50sq.m."), text(IDD_SPACE_PROPERTIES, IDC_DATA_AREA_TEXT, IDD_TAB_DATA));
    EXPECT_EQ(CString(L"15.00m."), text(IDD_SPACE_PROPERTIES, IDC_DATA_AUX_TEXT, IDD_TAB_DATA));
}

TEST_F(BlockEditorTest, PickingTheBlockInTheDrawing) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});
    // A block reference that is no space block.
    auto* other = new AcDbBlockReference;
    AcDbObjectId otherDefinition;
    {
        AcDbBlockTable* table = nullptr;
        WriteLock lock(document());
        ASSERT_EQ(Acad::eOk, db()->getBlockTable(table, AcDb::kForWrite));
        auto* record = new AcDbBlockTableRecord;
        record->setName(L"CHAIR");
        ASSERT_EQ(Acad::eOk, table->add(otherDefinition, record));
        record->close();
        table->close();
    }
    other->setBlockTableRecord(otherDefinition);
    const AcDbObjectId chair = addToModelSpace(other);
    openEditor();

    const struct {
        std::vector<std::string> answers;
        bool opens;
        const wchar_t* printed;
    } cases[] = {
        {{"^C"}, false, L"Cancelled by User.\n"},
        {{"#" + handleOf(chair)}, false,
         L"The specified AcDbBlockReference cannot be found in the list of Orvan blocks.  The "
         L"selected object may not be a Orvan block."},
        {{"#" + handleOf(room)}, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers[0]);
        answers.give(c.answers);
        act(L"click 247");
        EXPECT_EQ(0u, answers.left());
        EXPECT_EQ(c.opens, dialog(IDD_SPACE_PROPERTIES) != nullptr);
        EXPECT_EQ(!c.opens, dialog(IDD_BLOCK_EDITOR) != nullptr);  // restored, or hidden
        if (c.printed) {
            EXPECT_NE(std::wstring::npos, commandLine().find(c.printed));
        }
    }
    EXPECT_EQ(CString(handleOf(room).c_str()),
              text(IDD_SPACE_PROPERTIES, IDC_DATA_HANDLE, IDD_TAB_DATA));
}

TEST_F(BlockEditorTest, OptionsConvertsEveryBlockToTheUnitsJustChosen) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});
    openEditor();
    actModal({L"menu 32769", L"check 289", L"click 1"});  // the preferences dialog: feet, OK
    EXPECT_EQ(1, storedPreferences().getUnits());
    const std::unique_ptr<CBlockDWG> converted = readBack(room);
    EXPECT_EQ(1, converted->getUnits());
    EXPECT_NEAR(20.0 * SQUARE_FEET_PER_SQUARE_METRE, converted->getArea(), 0.01);
    EXPECT_EQ(1u, listed().size());  // the collection was emptied before it was refilled

    // A block opened afterwards shows the units just chosen.
    act(L"dblclick 246 0");
    EXPECT_EQ(CString(L"ft\u00b2"), text(IDD_SPACE_PROPERTIES, IDC_DATA_AREA_UNIT, IDD_TAB_DATA));
    act(L"cancel");

    // Back to metres: converted back.
    actModal({L"menu 32769", L"check 288", L"click 1"});
    EXPECT_EQ(0, readBack(room)->getUnits());
    EXPECT_NEAR(20.0, readBack(room)->getArea(), 0.01);
}

TEST_F(BlockEditorTest, CloseNeverWritesOlderPreferencesOverNewerOnes) {
    addRoom({L"Office", 0, 0, 5, 4});
    openEditor();
    storePreferences(1, 4, 500.0);  // another dialog saves meanwhile
    act(L"click 286");
    EXPECT_EQ(nullptr, dialog(IDD_BLOCK_EDITOR, true));
    const CPreferences after = storedPreferences();
    EXPECT_EQ(1, after.getUnits());
    EXPECT_EQ(4, after.getPrecision());
    EXPECT_DOUBLE_EQ(500.0, after.getTextSize());
}

TEST_F(BlockEditorTest, EveryWayOutEndsTheWindowAndFreesTheEditor) {
    addRoom({L"Office", 0, 0, 5, 4});
    const wchar_t* const ways[] = {L"click 286", L"menu 32768", L"cancel", L"close"};
    for (const wchar_t* way : ways) {
        SCOPED_TRACE(CStringA(way).GetString());
        openEditor();
        act(way);
        EXPECT_EQ(nullptr, dialog(IDD_BLOCK_EDITOR, true));
    }
    // The editor goes with a properties dialog still open: both go.
    openEditor();
    act(L"dblclick 246 0");
    ::DestroyWindow(dialog(IDD_BLOCK_EDITOR, true));
    EXPECT_EQ(nullptr, dialog(IDD_SPACE_PROPERTIES, true));
}

TEST_F(BlockEditorTest, MovingTheAttributesActsAtOnceAndACancelMovesNothing) {
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 10, 10});
    openEditor();
    act({L"dblclick 246 0", L"select 245 Format"});
    auto areaPosition = [&] {
        AcDbObjectPointer<AcDbBlockReference> ref(room, AcDb::kForRead);
        CAttributes attributes;
        AcGeMatrix3d ucs;
        attributes.extractSpaceBlockAttributeValues(ref.object(), ucs);
        return attributes.getAreaPosition();
    };
    const AcGePoint3d before = areaPosition();
    answers.give({"^C"});
    act(L"click 207:273");
    EXPECT_TRUE(before.isEqualTo(areaPosition()));
    EXPECT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));
    // The host refuses the lock: nothing moves.
    acDocManager->qvRefuseLocks(1, Acad::eLockViolation);
    answers.give({"7000,3000"});
    act(L"click 207:273");
    EXPECT_TRUE(before.isEqualTo(areaPosition()));
    EXPECT_NE(std::wstring::npos, commandLine().find(L"the attributes were not moved"));
    answers.give({"7000,3000"});
    act(L"click 207:273");
    EXPECT_TRUE(areaPosition().isEqualTo(AcGePoint3d(7000, 3000, 0)));
    EXPECT_NE(nullptr, dialog(IDD_SPACE_PROPERTIES));
}

TEST_F(BlockEditorTest, ABlockOfOtherUnitsIsConvertedWhenItOpens) {
    storePreferences(1, 1);  // feet, one decimal place
    const AcDbObjectId room = addRoom({L"Office", 0, 0, 5, 4});  // metric
    openEditor();
    act(L"dblclick 246 0");
    EXPECT_EQ(CString(L"215.3"), text(IDD_SPACE_PROPERTIES, IDC_DATA_AREA, IDD_TAB_DATA));
    EXPECT_EQ(CString(L"ft\u00b2"), text(IDD_SPACE_PROPERTIES, IDC_DATA_AREA_UNIT, IDD_TAB_DATA));
    act(L"click 1");
    const std::unique_ptr<CBlockDWG> saved = readBack(room);
    EXPECT_EQ(1, saved->getUnits());
    EXPECT_NEAR(20.0 * SQUARE_FEET_PER_SQUARE_METRE, saved->getArea(), 0.05);
}

// No dialog shows the extended-data page; it is checked standing alone.
TEST_F(BlockEditorTest, TheExtendedDataPageShowsAndAppliesTheNineTexts) {
    CBlockDWG block;  // every descriptive text "<Not Set>"
    block.setCostCentre(L"CC-12");
    block.setTotStaff(L"");
    CTabXData page;
    ASSERT_TRUE(page.Create(IDD_TAB_XDATA));
    page.ShowWindow(SW_SHOW);
    page.initialiseData(&block);
    const qv::ui::DialogView shown = qv::win::describe(page.m_hWnd);
    EXPECT_EQ(CString(L"CC-12"), CString(shown.control(IDC_XDATA_COST_CENTRE)->text.c_str()));
    EXPECT_EQ(CString(L"<Not Set>"), CString(shown.control(IDC_XDATA_TAGTYPE)->text.c_str()));
    EXPECT_EQ(CString(), CString(shown.control(IDC_XDATA_TOT_STAFF)->text.c_str()));
    EXPECT_EQ(L"COST_CENTRE", shown.control(IDC_XDATA_COST_CENTRE)->label);

    // Each edit reaches its own text: a swapped pair would show here.
    const struct {
        int id;
        const wchar_t* value;
        CString (CBlock::*get)() const;
    } fields[] = {
        {IDC_XDATA_AREA_TYPE, L"Office", &CBlock::getAreaType},
        {IDC_XDATA_COST_CENTRE, L"4711", &CBlock::getCostCentre},
        {IDC_XDATA_DATE, L"2026-12-07", &CBlock::getDate},
        {IDC_XDATA_DATE_L_MOVE, L"2025-01-31", &CBlock::getDateLastMove},
        {IDC_XDATA_DEPT_CHARGE, L"Finance", &CBlock::getDeptCharge},
        {IDC_XDATA_SPECIAL_REQ, L"Ramp", &CBlock::getSpecialReq},
        {IDC_XDATA_TAGTYPE, L"T2", &CBlock::getTagType},
        {IDC_XDATA_TOT_STAFF, L"12", &CBlock::getTotStaff},
        {IDC_XDATA_TOT_WKSTNS, L"14", &CBlock::getTotWkStns},
    };
    for (const auto& f : fields) {
        CString action;
        action.Format(L"set %d %s", f.id, f.value);
        EXPECT_TRUE(qv::win::perform(page.m_hWnd, *qv::ui::parseDialogAction(action.GetString())).done);
    }
    CBlockDWG target;
    page.applyChanges(&target);
    for (const auto& f : fields)
        EXPECT_EQ(CString(f.value), (target.*f.get)()) << f.id;
    page.DestroyWindow();
}

}  // namespace
