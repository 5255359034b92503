#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

#include "StdAfx.h"
#include "core/Preferences.h"
#include "drawing/HostIdentity.h"
#include "module/ModuleGlobals.h"
#include "module/resource.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"

namespace {

const wchar_t HOST_PROGRAM[] = L"C:\\Program Files\\Host\\host.exe";
const wchar_t HOST_FOLDER[] = L"C:\\Program Files\\Host";
const char PREFERENCES_PATH[] = "Program Files/Host/orvan/prefs/prefs.cfg";

// The module library's file, as the host would be told to load it.
std::wstring moduleFile() {
    Dl_info info{};
    dladdr(dlsym(RTLD_DEFAULT, "acrxEntryPoint"), &info);
    return CString(CStringA(info.dli_fname)).GetString();
}

// The host loads and unloads the module through its dynamic linker, with the host program in a
// folder of a drive of the test's own.
class ModuleLoading : public qv::test::DrawingTest {
  protected:
    ModuleLoading() {
        qv::win32::setModuleFileName(HOST_PROGRAM);
        drive.makeFolder("Program Files/Host");
        acedRegCmds->qvClear();
    }
    ~ModuleLoading() override {
        if (loaded())
            acrxDynamicLinker->unloadModule(moduleFile().c_str(), false);
        qv::win32::setModuleFileName(CString());
        acedRegCmds->qvClear();
    }
    bool load() { return acrxDynamicLinker->loadModule(moduleFile().c_str(), true); }
    bool unload() { return acrxDynamicLinker->unloadModule(moduleFile().c_str(), true); }
    static bool loaded() { return !acrxDynamicLinker->qvModules().empty(); }

    static size_t registered() {
        size_t n = 0;
        AcEdCommandIterator* it = acedRegCmds->iterator();
        for (; !it->done(); it->next())
            ++n;
        delete it;
        return n;
    }
    void storePreferences(int precision) const {
        CPreferences p;
        p.setPrecision(precision);
        ASSERT_TRUE(p.savePreferences(CString(HOST_FOLDER) + L"\\orvan\\prefs\\prefs.cfg"));
    }
    static CString shown() { return qv::host::transcript().text().c_str(); }

    qv::test::TempDrive drive;
};

// The commands of a full host; the acceptance case of the first start lists them with their
// groups and contexts as the host sees them.
const size_t COMMANDS = 38;

TEST_F(ModuleLoading, RegistersTheCommandsInTheirGroups) {
    storePreferences(2);
    ASSERT_EQ(nullptr, qv::res::locateDialog(IDD_PREFERENCES));
    ASSERT_TRUE(load());
    // The library entry makes the dialogs findable; the module folder is the host program's.
    EXPECT_NE(nullptr, qv::res::locateDialog(IDD_ABOUT));
    EXPECT_EQ(CString(HOST_FOLDER), moduleFolder);
    EXPECT_EQ(CString(HOST_FOLDER) + L"\\orvan\\temp\\", tempFolder);
    EXPECT_TRUE(drive.exists("Program Files/Host/orvan/temp"));
    EXPECT_EQ(COMMANDS, registered());
    // Names are found as the host finds them, without regard to case.
    ASSERT_NE(nullptr, acedRegCmds->lookupLocalCmd(L"ORVANPREFERENCES"));
    EXPECT_STREQ(L"oprefs", acedRegCmds->lookupLocalCmd(L"ORVANPREFERENCES")->globalName());
    // The module unlocked itself and works with several documents.
    EXPECT_FALSE(acrxDynamicLinker->isApplicationLocked(moduleFile().c_str()));
    EXPECT_TRUE(acrxDynamicLinker->qvIsMdiAware(moduleFile().c_str()));
}

TEST_F(ModuleLoading, TheMarkerCommandsNeedAFullHost) {
    storePreferences(2);
    const CHostIdentity running = hostIdentity;
    const struct {
        const wchar_t* product;
        bool markers;
    } cases[] = {{L"AutoCAD LT 2015", false}, {L"ProCAD", false}, {L"BricsCAD", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.product).GetString());
        hostIdentity = CHostIdentity(c.product, L"");
        ASSERT_TRUE(load());
        EXPECT_EQ(COMMANDS - (c.markers ? 0 : 2), registered());
        EXPECT_EQ(c.markers, acedRegCmds->lookupGlobalCmd(L"olmc") != nullptr);
        EXPECT_EQ(c.markers, acedRegCmds->lookupGlobalCmd(L"opmc") != nullptr);
        ASSERT_TRUE(unload());
    }
    hostIdentity = running;
}

TEST_F(ModuleLoading, TheFirstStartAsksForThePreferences) {
    const struct {
        const char* name;
        std::vector<const wchar_t*> actions;
        bool written;
        int precision;
    } cases[] = {
        {"confirmed", {L"set 290 4", L"click 1"}, true, 4},
        {"closed with the close box", {L"close"}, true, 2},
        {"cancelled", {L"cancel"}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        for (const wchar_t* a : c.actions)
            ui.queueAction(CString(a));
        ASSERT_TRUE(load());
        ASSERT_EQ(1u, ui.dialogsShown().size());
        const qv::ui::DialogView& shownDialog = ui.dialogsShown()[0];
        EXPECT_EQ(CString(L"Quorvelle Suite - Preferences"), shownDialog.caption);
        EXPECT_EQ(CString(L"1000"), shownDialog.control(IDC_ZOOM_BORDER)->text);
        EXPECT_EQ(c.written, drive.exists(PREFERENCES_PATH));
        if (c.written) {
            CPreferences p;
            p.loadPreferences(CString(HOST_FOLDER) + L"\\orvan\\prefs\\prefs.cfg");
            EXPECT_EQ(c.precision, p.getPrecision());
        }
        // The commands are there whatever the dialog's outcome.
        EXPECT_EQ(COMMANDS, registered());
        ASSERT_TRUE(unload());
        std::remove(drive.posix(PREFERENCES_PATH).c_str());
    }
}

TEST_F(ModuleLoading, AnyPreferencesFileSparesTheDialog) {
    drive.writeFile(PREFERENCES_PATH, "");  // even an empty one
    ASSERT_TRUE(load());
    EXPECT_TRUE(ui.dialogsShown().empty());
    EXPECT_EQ(COMMANDS, registered());
}

TEST_F(ModuleLoading, FoldersThatCannotBeMadeAreReportedAndTheStartGoesOn) {
    drive.writeFile("Program Files/Host/orvan", "a file where the folder should be");
    ui.queueAction(CString(L"click 1"));
    ASSERT_TRUE(load());
    // Both folders are reported; the dialog still comes, and its save reports the folder again.
    const CString prefs = L"Cannot create C:\\Program Files\\Host\\orvan\\prefs\n";
    const CString temp = L"Cannot create C:\\Program Files\\Host\\orvan\\temp\n";
    EXPECT_EQ(prefs + temp + prefs, shown());
    EXPECT_EQ(1u, ui.dialogsShown().size());
    EXPECT_EQ(COMMANDS, registered());
}

TEST_F(ModuleLoading, UnloadingRemovesTheEightGroupsAndNothingElse) {
    storePreferences(2);
    ASSERT_TRUE(load());
    const AcRxFunctionPtr other = [] {};
    acedRegCmds->addCommand(L"HOST_TOOLS", L"tool", L"tool", ACRX_CMD_MODAL, other);
    // A command of another module in one of the module's groups goes with the group.
    acedRegCmds->addCommand(L"ORVAN_SECRET", L"osc_x", L"osc_x", ACRX_CMD_MODAL, other);
    qv::host::transcript().clear();
    ASSERT_TRUE(unload());
    EXPECT_EQ(std::vector<std::wstring>{L"HOST_TOOLS"}, acedRegCmds->qvGroupNames());
    // The module removed its commands itself: the host had none left to remove.
    EXPECT_EQ(-1, shown().Find(L"left commands registered"));
    EXPECT_EQ(nullptr, qv::res::locateDialog(IDD_PREFERENCES));
}

}  // namespace
