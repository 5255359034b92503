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

struct Registered {
    std::wstring group, globalName, localName;
    Adesk::Int32 flags;
    bool operator==(const Registered&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Registered& r) {
    return out << CStringA(r.group.c_str()).GetString() << " "
               << CStringA(r.globalName.c_str()).GetString() << " "
               << CStringA(r.localName.c_str()).GetString() << " " << r.flags;
}

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

    static std::vector<Registered> registered() {
        std::vector<Registered> rows;
        AcEdCommandIterator* it = acedRegCmds->iterator();
        for (; !it->done(); it->next()) {
            const AcEdCommand* c = it->command();
            rows.push_back(
                {it->commandGroup(), c->globalName(), c->localName(), c->commandFlags()});
        }
        delete it;
        return rows;
    }
    void storePreferences(int precision) const {
        CPreferences p;
        p.setPrecision(precision);
        ASSERT_TRUE(p.savePreferences(CString(HOST_FOLDER) + L"\\orvan\\prefs\\prefs.cfg"));
    }
    static CString shown() { return qv::host::transcript().text().c_str(); }

    qv::test::TempDrive drive;
};

// The groups as the command stack searches them: the last registered first.
const Registered EXPECTED_COMMANDS[] = {
    {L"ORVAN_DIAGNOSTICS", L"oda", L"orvanDiagnosticAll", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od1", L"orvanDiagnosticBasic", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od3", L"orvanDiagnosticDialog", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od4", L"orvanDiagnosticErrorsA", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od5", L"orvanDiagnosticErrorsB", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od6", L"orvanDiagnosticErrorsC", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od7", L"orvanDiagnosticErrorsD", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od8", L"orvanDiagnosticUserInput", 0x200000},
    {L"ORVAN_DIAGNOSTICS", L"od9", L"orvanDiagnosticXML", 0x200000},
    {L"ORVAN_TEST", L"test", L"test", 0x200000},
    {L"ORVAN_SECRET", L"osc_has", L"osc_has", 0x200000},
    {L"ORVAN_SECRET", L"osc_hs", L"osc_hs", 0x200000},
    {L"ORVAN_SECRET", L"osc_isc", L"osc_isc", 0x200000},
    {L"ORVAN_SECRET", L"osc_cal", L"osc_cal", 0x200000},
    {L"ORVAN_SECRET", L"osc_dsd", L"osc_dsd", 0x200000},
    {L"ORVAN_HELP", L"o?", L"ohelp", 0x200000},
    {L"ORVAN_HELP", L"od?", L"odiagnosticshelp", 0x200000},
    {L"ORVAN_ADMIN", L"oprefs", L"orvanPreferences", 0},
    {L"ORVAN_DIAG", L"olb", L"orvanListBlocks", 0x200000},
    {L"ORVAN_UTIL", L"ous", L"orvanUpdateSpaces", 0x200000},
    {L"ORVAN_UTIL", L"osxta", L"orvanSyncXDataToAttributes", 0x200000},
    {L"ORVAN_UTIL", L"out", L"orvanUpdateText", 0x200000},
    {L"ORVAN_UTIL", L"oaux", L"orvanAuxilarator", 0x200000},
    {L"ORVAN_UTIL", L"ort", L"orvanRefreshTags", 0x200000},
    {L"ORVAN_UTIL", L"obta", L"orvanBlankThirdAttribute", 0x200000},
    {L"ORVAN_COMMANDS", L"obe", L"orvanQuorvelle", 0},
    {L"ORVAN_COMMANDS", L"obh", L"orvanBlockHyperlink", 0},
    {L"ORVAN_COMMANDS", L"obc", L"orvanBlockCreate", 0},
    {L"ORVAN_COMMANDS", L"ogabc", L"orvanGrossAreaBlockCreate", 0x200000},
    {L"ORVAN_COMMANDS", L"odb", L"orvanDeleteBlock", 0x200000},
    {L"ORVAN_COMMANDS", L"ocsv", L"orvanCommaSeperatedValues", 0x200000},
    {L"ORVAN_COMMANDS", L"olbd", L"orvanLegendBlockDefine", 0x200000},
    {L"ORVAN_COMMANDS", L"opbd", L"orvanPieBlockDefine", 0x200000},
    {L"ORVAN_COMMANDS", L"ogr", L"orvanGraphicReport", 0x200000},
    {L"ORVAN_COMMANDS", L"oagr", L"orvanApplyGraphicReport", 0x200000},
    {L"ORVAN_COMMANDS", L"ofrs", L"ofrs", 0x200000},
    {L"ORVAN_COMMANDS", L"olmc", L"orvanLegendMarkerCreate", 0},
    {L"ORVAN_COMMANDS", L"opmc", L"orvanPieMarkerCreate", 0},
};

TEST_F(ModuleLoading, RegistersTheCommandsInTheirGroups) {
    storePreferences(2);
    ASSERT_EQ(nullptr, qv::res::locateDialog(IDD_PREFERENCES));
    ASSERT_TRUE(load());
    // The library entry makes the dialogs findable; the module folder is the host program's.
    EXPECT_NE(nullptr, qv::res::locateDialog(IDD_ABOUT));
    EXPECT_EQ(CString(HOST_FOLDER), moduleFolder);
    EXPECT_EQ(CString(HOST_FOLDER) + L"\\orvan\\temp\\", tempFolder);
    EXPECT_TRUE(drive.exists("Program Files/Host/orvan/temp"));
    EXPECT_EQ(std::vector<Registered>(std::begin(EXPECTED_COMMANDS), std::end(EXPECTED_COMMANDS)),
              registered());
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
        const std::vector<Registered> rows = registered();
        EXPECT_EQ(std::size(EXPECTED_COMMANDS) - (c.markers ? 0 : 2), rows.size());
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
        EXPECT_EQ(std::size(EXPECTED_COMMANDS), registered().size());
        ASSERT_TRUE(unload());
        std::remove(drive.posix(PREFERENCES_PATH).c_str());
    }
}

TEST_F(ModuleLoading, AnyPreferencesFileSparesTheDialog) {
    drive.writeFile(PREFERENCES_PATH, "");  // even an empty one
    ASSERT_TRUE(load());
    EXPECT_TRUE(ui.dialogsShown().empty());
    EXPECT_EQ(std::size(EXPECTED_COMMANDS), registered().size());
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
    EXPECT_EQ(std::size(EXPECTED_COMMANDS), registered().size());
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
