#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ModuleResources.h"
#include "core/Preferences.h"
#include "module/PresAbout.h"
#include "module/PresPreferences.h"
#include "support/TempDrive.h"

namespace {

const wchar_t PROGRAM_FOLDER[] = L"C:\\Program Files\\Host";
const char PREFERENCES_PATH[] = "Program Files/Host/orvan/prefs/prefs.cfg";

class PreferencesDialogTest : public qv::test::DriveTest {
  protected:
    void act(std::initializer_list<const wchar_t*> actions) {
        for (const wchar_t* a : actions)
            ui.queueAction(CString(a));
    }
    // Runs the dialog on the program folder with the queued actions.
    INT_PTR run() {
        CPresPreferences dialog;
        dialog.setRootPath(PROGRAM_FOLDER);
        return dialog.DoModal();
    }
    // The preferences as the file holds them now.
    CPreferences stored() const {
        CPreferences p;
        EXPECT_TRUE(p.loadPreferences(CString(PROGRAM_FOLDER) + L"\\orvan\\prefs\\prefs.cfg"));
        return p;
    }
    void store(const CPreferences& p) const {
        CPreferences copy = p;
        drive.makeFolder("Program Files/Host/orvan/prefs");
        ASSERT_TRUE(copy.savePreferences(CString(PROGRAM_FOLDER) + L"\\orvan\\prefs\\prefs.cfg"));
    }
    // A control's text (or "checked"/"unchecked" for a radio button) as first shown.
    CString shown(int id) const {
        const qv::ui::ControlView* c = ui.dialogsShown().at(0).control(id);
        if (!c)
            return L"<missing>";
        if (c->check >= 0)
            return c->check ? L"checked" : L"unchecked";
        return c->text;
    }
    std::vector<CString> messages() const {
        std::vector<CString> texts;
        for (const auto& s : ui.shown())
            texts.push_back(s.text);
        return texts;
    }

    qv::test::ModuleResources resources;
};

TEST_F(PreferencesDialogTest, ShowsTheStoredPreferences) {
    CPreferences imperial;
    imperial.setUnits(1);
    imperial.setPrecision(3);
    imperial.setTextSize(0.5);  // too small to show
    imperial.setTextScale(0.75);
    imperial.setTextRotation(-45.5);
    imperial.setCsvOpener(L"C:\\Office\\calc.exe");
    imperial.setZoomBorder(25.0);
    const struct {
        const char* name;
        const CPreferences* file;  // null: no file
        std::vector<std::pair<int, const wchar_t*>> controls;
    } cases[] = {
        {"no file",
         nullptr,
         {{IDC_UNITS_METRIC, L"checked"},
          {IDC_UNITS_IMPERIAL, L"unchecked"},
          {IDC_PRECISION, L"2"},
          {IDC_TEXT_SIZE, L"250"},
          {IDC_TEXT_SCALE, L"1"},
          {IDC_TEXT_ROTATION, L"0"},
          {IDC_CSV_OPENER, L"NONE"},
          {IDC_ZOOM_BORDER, L"1000"}}},
        {"imperial",
         &imperial,
         {{IDC_UNITS_METRIC, L"unchecked"},
          {IDC_UNITS_IMPERIAL, L"checked"},
          {IDC_PRECISION, L"3"},
          {IDC_TEXT_SIZE, L"250"},
          {IDC_TEXT_SCALE, L"0.75"},
          {IDC_TEXT_ROTATION, L"-45.5"},
          {IDC_CSV_OPENER, L"C:\\Office\\calc.exe"},
          {IDC_ZOOM_BORDER, L"25"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file)
            store(*c.file);
        EXPECT_EQ(IDCANCEL, run());
        ASSERT_EQ(1u, ui.dialogsShown().size());
        EXPECT_EQ(CString(L"Quorvelle Suite - Preferences"), ui.dialogsShown()[0].caption);
        for (const auto& [id, text] : c.controls)
            EXPECT_EQ(CString(text), shown(id)) << "control " << id;
        ui.clear();
    }
}

TEST_F(PreferencesDialogTest, OkAndTheCloseBoxWriteTheFileEscDoesNot) {
    const struct {
        const char* name;
        std::vector<const wchar_t*> actions;
        INT_PTR result;
        bool written;
    } cases[] = {
        {"ok", {L"click 1"}, IDOK, true},
        {"enter", {L"enter"}, IDOK, true},
        {"close box", {L"close"}, IDCANCEL, true},
        {"esc", {L"cancel"}, IDCANCEL, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        qv::test::TempDrive fresh;
        for (const wchar_t* a : c.actions)
            ui.queueAction(CString(a));
        EXPECT_EQ(c.result, run());
        EXPECT_EQ(c.written, fresh.exists(PREFERENCES_PATH));
    }
}

// A refused value is mended and written on the next OK; a text size below one is stored as one.
TEST_F(PreferencesDialogTest, WritesWhatTheUserEntered) {
    CPreferences small;
    small.setTextSize(0.5);
    store(small);
    act({L"check 289", L"set 290 12", L"click 1", L"set 290 4", L"set 291 0", L"set 341 0.8",
         L"set 342 90", L"set 330 notepad.exe", L"set 292 500", L"click 1"});
    ASSERT_EQ(IDOK, run());
    const CPreferences p = stored();
    EXPECT_EQ(1, p.getUnits());
    EXPECT_EQ(4, p.getPrecision());
    EXPECT_DOUBLE_EQ(1.0, p.getTextSize());
    EXPECT_DOUBLE_EQ(0.8, p.getTextScale());
    EXPECT_DOUBLE_EQ(90.0, p.getTextRotation());
    EXPECT_EQ(CString(L"notepad.exe"), p.getCsvOpener());
    EXPECT_DOUBLE_EQ(500.0, p.getZoomBorder());
}

TEST_F(PreferencesDialogTest, RefusedValuesAreNeverWritten) {
    const struct {
        const wchar_t* action;
        const wchar_t* message;
    } cases[] = {
        {L"set 290 10", L"Please enter an integer between 0 and 9."},
        {L"set 292 20000", L"Please enter a number between 0 and 10000."},
        {L"set 341 big", L"Please enter a number."},
        {L"set 342 ", L"Please enter a number."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.action).GetString());
        ui.clear();
        {
            // OK refuses and keeps the dialog open; Esc then leaves without a file.
            qv::test::TempDrive fresh;
            act({c.action, L"click 1", L"cancel"});
            EXPECT_EQ(IDCANCEL, run());
            EXPECT_FALSE(fresh.exists(PREFERENCES_PATH));
            EXPECT_EQ(std::vector<CString>{c.message}, messages());
            EXPECT_EQ(0u, ui.pendingActions());
        }
        ui.clear();
        {
            // The close box reports the refusal and closes without writing.
            qv::test::TempDrive fresh;
            act({c.action, L"close"});
            EXPECT_EQ(IDCANCEL, run());
            EXPECT_FALSE(fresh.exists(PREFERENCES_PATH));
            EXPECT_EQ(std::vector<CString>{c.message}, messages());
        }
    }
}

// The clamped numbers go back to the caller's variables.
TEST(PreferencesDialogValues, SetValuesKeepsTheNumbersInRangeInTheCallersVariables) {
    const struct {
        double size, scale, rotation;
        double wantSize, wantScale, wantRotation;
    } cases[] = {
        {0.0, -2.0, 200.0, 0.1, 0.1, 180.0},
        {-5.0, 0.0, -300.0, 0.1, 0.1, -180.0},
        {0.05, 0.05, 180.0, 0.05, 0.05, 180.0},
        {1.0, 3.0, -180.0, 1.0, 3.0, -180.0},
    };
    for (const auto& c : cases) {
        CPresPreferences dialog;
        int units = 1, precision = 12;
        double size = c.size, scale = c.scale, rotation = c.rotation, border = -7.0;
        dialog.setValues(units, precision, size, scale, rotation, L"x.exe", border);
        EXPECT_DOUBLE_EQ(c.wantSize, size);
        EXPECT_DOUBLE_EQ(c.wantScale, scale);
        EXPECT_DOUBLE_EQ(c.wantRotation, rotation);
    }
}

TEST_F(PreferencesDialogTest, DoModalReloadsTheFileOverValuesSetBefore) {
    // The first start sets the defaults with a zero zoom border; the file's values win.
    CPreferences stored;
    stored.setZoomBorder(42.0);
    store(stored);
    CPresPreferences dialog;
    dialog.setRootPath(PROGRAM_FOLDER);
    int units = 0, precision = 2;
    double size = 250.0, scale = 1.0, rotation = 0.0, border = 0.0;
    dialog.setValues(units, precision, size, scale, rotation, L"NONE", border);
    act({L"click 1"});
    EXPECT_EQ(IDOK, dialog.DoModal());
    CString opener;
    dialog.getValues(units, precision, size, scale, rotation, opener, border);
    EXPECT_DOUBLE_EQ(42.0, border);
    EXPECT_EQ(CString(L"42"), shown(IDC_ZOOM_BORDER));
}

class AboutDialogTest : public qv::test::PlatformTest {
  protected:
    qv::test::ModuleResources resources;
};

TEST_F(AboutDialogTest, ShowsTheVersionRows) {
    CPresAbout about;
    ui.queueAction(CString(L"click 1"));
    EXPECT_EQ(IDOK, about.DoModal());
    ASSERT_EQ(1u, ui.dialogsShown().size());
    const qv::ui::DialogView& view = ui.dialogsShown()[0];
    EXPECT_EQ(CString(L"About - Halcyra"), view.caption);
    const std::pair<int, const wchar_t*> rows[] = {
        {IDC_ABOUT_HOST_VERSION, L"64bit 15"},
        {IDC_ABOUT_VERSION, L"64.04.00.01"},
        {IDC_ABOUT_COMPILE_DATE, L"Nov 24 2014"},
    };
    for (const auto& [id, text] : rows) {
        ASSERT_NE(nullptr, view.control(id));
        EXPECT_EQ(CString(text), view.control(id)->text);
    }
}

}  // namespace
