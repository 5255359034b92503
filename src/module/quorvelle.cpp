// The library entry, the host's entry point, start-up with the command table, and shut-down.
#include "module/quorvelle.h"

#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "module/AuxAttributes.h"
#include "module/BlockCommands.h"
#include "module/BlockDialogCommands.h"
#include "module/BlockEditCommands.h"
#include "module/CommandFrame.h"
#include "module/LabelConversion.h"
#include "module/ListingCommands.h"
#include "module/MarkerCommands.h"
#include "module/ModuleGlobals.h"
#include "module/PresPreferences.h"
#include "module/ReportCommands.h"
#include "module/UpdateCommands.h"

namespace {

// The framework's record of this library as an extension module.
AFX_EXTENSION_MODULE quorvelleDLL;

// The flag of a command that runs in the document's context (the modal ones and those that open
// dialogs), and of one that runs in the application's context.
const Adesk::Int32 DOCUMENT_CONTEXT = ACRX_CMD_MODAL;
const Adesk::Int32 APPLICATION_CONTEXT = ACRX_CMD_SESSION;

// The command groups, in the order in which unloading removes them.
const wchar_t* const COMMAND_GROUPS[] = {
    L"ORVAN_COMMANDS", L"ORVAN_UTIL",   L"ORVAN_DIAG", L"ORVAN_ADMIN",
    L"ORVAN_HELP",     L"ORVAN_SECRET", L"ORVAN_TEST", L"ORVAN_DIAGNOSTICS",
};

struct CommandRow {
    const wchar_t* group;
    const wchar_t* globalName;
    const wchar_t* localName;
    Adesk::Int32 flags;
    AcRxFunctionPtr handler;
    bool fullHostOnly = false;
};

// The commands, registered in this order.
const CommandRow COMMAND_TABLE[] = {
    {L"ORVAN_COMMANDS", L"obe", L"orvanQuorvelle", DOCUMENT_CONTEXT, quorvelle},
    {L"ORVAN_COMMANDS", L"obh", L"orvanBlockHyperlink", DOCUMENT_CONTEXT, blockHyperlink},
    {L"ORVAN_COMMANDS", L"obc", L"orvanBlockCreate", DOCUMENT_CONTEXT, blockCreate},
    {L"ORVAN_COMMANDS", L"ogabc", L"orvanGrossAreaBlockCreate", APPLICATION_CONTEXT,
     grossAreaBlockCreate},
    {L"ORVAN_COMMANDS", L"odb", L"orvanDeleteBlock", APPLICATION_CONTEXT, deleteBlock},
    {L"ORVAN_COMMANDS", L"ocsv", L"orvanCommaSeperatedValues", APPLICATION_CONTEXT,
     createRoomAreaCSV},
    {L"ORVAN_COMMANDS", L"olbd", L"orvanLegendBlockDefine", APPLICATION_CONTEXT,
     legendBlockDefine},
    {L"ORVAN_COMMANDS", L"opbd", L"orvanPieBlockDefine", APPLICATION_CONTEXT, pieBlockDefine},
    {L"ORVAN_COMMANDS", L"ogr", L"orvanGraphicReport", APPLICATION_CONTEXT, graphicReport},
    {L"ORVAN_COMMANDS", L"oagr", L"orvanApplyGraphicReport", APPLICATION_CONTEXT,
     applyGraphicReport},
    {L"ORVAN_COMMANDS", L"ofrs", L"ofrs", APPLICATION_CONTEXT, orvanFindReplaceStub},
    {L"ORVAN_COMMANDS", L"olmc", L"orvanLegendMarkerCreate", DOCUMENT_CONTEXT,
     legendMarkerBlockCreate, true},
    {L"ORVAN_COMMANDS", L"opmc", L"orvanPieMarkerCreate", DOCUMENT_CONTEXT, pieMarkerBlockCreate,
     true},
    {L"ORVAN_UTIL", L"ous", L"orvanUpdateSpaces", APPLICATION_CONTEXT, updateSpaces},
    {L"ORVAN_UTIL", L"osxta", L"orvanSyncXDataToAttributes", APPLICATION_CONTEXT,
     syncXDataToAttributes},
    {L"ORVAN_UTIL", L"out", L"orvanUpdateText", APPLICATION_CONTEXT, updateTextSize},
    {L"ORVAN_UTIL", L"oaux", L"orvanAuxilarator", APPLICATION_CONTEXT, orvanAuxilarator},
    {L"ORVAN_UTIL", L"ort", L"orvanRefreshTags", APPLICATION_CONTEXT, orvanRefreshTags},
    {L"ORVAN_UTIL", L"obta", L"orvanBlankThirdAttribute", APPLICATION_CONTEXT,
     blankThirdAttribute},
    {L"ORVAN_DIAG", L"olb", L"orvanListBlocks", APPLICATION_CONTEXT, listBlockNameIdentifier},
    {L"ORVAN_ADMIN", L"oprefs", L"orvanPreferences", DOCUMENT_CONTEXT, editPreferences},
    {L"ORVAN_HELP", L"o?", L"ohelp", APPLICATION_CONTEXT, displayHelp},
    {L"ORVAN_HELP", L"od?", L"odiagnosticshelp", APPLICATION_CONTEXT, displayDiagnosticsHelp},
    {L"ORVAN_SECRET", L"osc_has", L"osc_has", APPLICATION_CONTEXT, hatchAllSpaces},
    {L"ORVAN_SECRET", L"osc_hs", L"osc_hs", APPLICATION_CONTEXT, hatchSpace},
    {L"ORVAN_SECRET", L"osc_isc", L"osc_isc", APPLICATION_CONTEXT, orvanTavrinConversion},
    {L"ORVAN_SECRET", L"osc_cal", L"osc_cal", APPLICATION_CONTEXT, checkAttributeLayers},
    {L"ORVAN_SECRET", L"osc_dsd", L"osc_dsd", APPLICATION_CONTEXT, displaySpaceDetails},
    {L"ORVAN_TEST", L"test", L"test", APPLICATION_CONTEXT, test},
    {L"ORVAN_DIAGNOSTICS", L"oda", L"orvanDiagnosticAll", APPLICATION_CONTEXT, diagnosticAll},
    {L"ORVAN_DIAGNOSTICS", L"od1", L"orvanDiagnosticBasic", APPLICATION_CONTEXT, diagnosticBasic},
    {L"ORVAN_DIAGNOSTICS", L"od3", L"orvanDiagnosticDialog", APPLICATION_CONTEXT, diagnosticDialog},
    {L"ORVAN_DIAGNOSTICS", L"od4", L"orvanDiagnosticErrorsA", APPLICATION_CONTEXT,
     diagnosticErrorsA},
    {L"ORVAN_DIAGNOSTICS", L"od5", L"orvanDiagnosticErrorsB", APPLICATION_CONTEXT,
     diagnosticErrorsB},
    {L"ORVAN_DIAGNOSTICS", L"od6", L"orvanDiagnosticErrorsC", APPLICATION_CONTEXT,
     diagnosticErrorsC},
    {L"ORVAN_DIAGNOSTICS", L"od7", L"orvanDiagnosticErrorsD", APPLICATION_CONTEXT,
     diagnosticErrorsD},
    {L"ORVAN_DIAGNOSTICS", L"od8", L"orvanDiagnosticUserInput", APPLICATION_CONTEXT,
     diagnosticUserInput},
    {L"ORVAN_DIAGNOSTICS", L"od9", L"orvanDiagnosticXML", APPLICATION_CONTEXT, diagnosticXML},
};

// The folder of the host's executable, without the trailing backslash.
CString hostProgramFolder() {
    TCHAR path[MAX_PATH] = {0};
    GetModuleFileName(NULL, path, MAX_PATH);
    const CString program(path);
    const int lastBackslash = program.ReverseFind(L'\\');
    return lastBackslash < 0 ? CString() : program.Left(lastBackslash);
}

void registerCommands() {
    for (const CommandRow& row : COMMAND_TABLE) {
        if (row.fullHostOnly && !hostIdentity.isFullHost())
            continue;
        acedRegCmds->addCommand(row.group, row.globalName, row.localName, row.flags, row.handler);
    }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*lpReserved*/) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!quorvelleDLL.bInitialized && AfxInitExtensionModule(quorvelleDLL, hInstance))
            new CDynLinkLibrary(quorvelleDLL);
        InitAcUiDLL();
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(quorvelleDLL);
    }
    return TRUE;
}

extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    switch (msg) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(pkt);
            acrxDynamicLinker->registerAppMDIAware(pkt);
            initApp();
            break;
        case AcRx::kUnloadAppMsg:
            unloadApp();
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}

extern "C" int acrxGetApiVersion() {
    return ACRX_API_VERSION;
}

extern "C" void odrxGetAPIVersion(int& nMajorVersion, int& nMinorVersion, int& nMajorBuildVersion,
                                  int& nMinorBuildVersion) {
    nMajorVersion = ODRX_API_VERSION_MAJOR;
    nMinorVersion = ODRX_API_VERSION_MINOR;
    nMajorBuildVersion = ODRX_API_BUILD_MAJOR;
    nMinorBuildVersion = ODRX_API_BUILD_MINOR;
}

extern "C" OdRxModule* odrxCreateModuleObject() {
    return new OdRxModule(L"quorvelle");
}

void initApp() {
    moduleFolder = hostProgramFolder();
    checkPreferencesExist();
    registerCommands();
}

int checkPreferencesExist() {
    try {
        CCommandFrame frame;
        CFileUtilities::ensureDirectoryExists(moduleFolder + PREFERENCES_FOLDER);
        tempFolder = moduleFolder + TEMP_FOLDER;
        CFileUtilities::ensureDirectoryExists(tempFolder);

        CStdioFile file;
        if (file.Open(moduleFolder + PREFERENCES_FILE, CFile::modeRead)) {
            file.Close();
            return 0;
        }
        CPresPreferences dialog;
        dialog.setRootPath(moduleFolder);
        int units = 0;
        int precision = 2;
        double textSize = 250.0;
        double textScale = 1.0;
        double textRotation = 0.0;
        double zoomBorder = 0.0;
        dialog.setValues(units, precision, textSize, textScale, textRotation, L"NONE", zoomBorder);
        dialog.DoModal();
    } catch (...) {
        reportCommandError(_T("checkPreferencesExist"));
    }
    return 0;
}

void unloadApp() {
    for (const wchar_t* group : COMMAND_GROUPS)
        acedRegCmds->removeGroup(group);
}
