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

// The commands, registered in this order, each inside the module's failure boundary.
const CommandRow COMMAND_TABLE[] = {
    {L"ORVAN_COMMANDS", L"obe", L"orvanQuorvelle", DOCUMENT_CONTEXT, commandEntry<quorvelle>},
    {L"ORVAN_COMMANDS", L"obh", L"orvanBlockHyperlink", DOCUMENT_CONTEXT,
     commandEntry<blockHyperlink>},
    {L"ORVAN_COMMANDS", L"obc", L"orvanBlockCreate", DOCUMENT_CONTEXT, commandEntry<blockCreate>},
    {L"ORVAN_COMMANDS", L"ogabc", L"orvanGrossAreaBlockCreate", APPLICATION_CONTEXT,
     commandEntry<grossAreaBlockCreate>},
    {L"ORVAN_COMMANDS", L"odb", L"orvanDeleteBlock", APPLICATION_CONTEXT,
     commandEntry<deleteBlock>},
    {L"ORVAN_COMMANDS", L"ocsv", L"orvanCommaSeperatedValues", APPLICATION_CONTEXT,
     commandEntry<createRoomAreaCSV>},
    {L"ORVAN_COMMANDS", L"olbd", L"orvanLegendBlockDefine", APPLICATION_CONTEXT,
     commandEntry<legendBlockDefine>},
    {L"ORVAN_COMMANDS", L"opbd", L"orvanPieBlockDefine", APPLICATION_CONTEXT,
     commandEntry<pieBlockDefine>},
    {L"ORVAN_COMMANDS", L"ogr", L"orvanGraphicReport", APPLICATION_CONTEXT,
     commandEntry<graphicReport>},
    {L"ORVAN_COMMANDS", L"oagr", L"orvanApplyGraphicReport", APPLICATION_CONTEXT,
     commandEntry<applyGraphicReport>},
    {L"ORVAN_COMMANDS", L"ofrs", L"ofrs", APPLICATION_CONTEXT, commandEntry<orvanFindReplaceStub>},
    {L"ORVAN_COMMANDS", L"olmc", L"orvanLegendMarkerCreate", DOCUMENT_CONTEXT,
     commandEntry<legendMarkerBlockCreate>, true},
    {L"ORVAN_COMMANDS", L"opmc", L"orvanPieMarkerCreate", DOCUMENT_CONTEXT,
     commandEntry<pieMarkerBlockCreate>, true},
    {L"ORVAN_UTIL", L"ous", L"orvanUpdateSpaces", APPLICATION_CONTEXT, commandEntry<updateSpaces>},
    {L"ORVAN_UTIL", L"osxta", L"orvanSyncXDataToAttributes", APPLICATION_CONTEXT,
     commandEntry<syncXDataToAttributes>},
    {L"ORVAN_UTIL", L"out", L"orvanUpdateText", APPLICATION_CONTEXT, commandEntry<updateTextSize>},
    {L"ORVAN_UTIL", L"oaux", L"orvanAuxilarator", APPLICATION_CONTEXT,
     commandEntry<orvanAuxilarator>},
    {L"ORVAN_UTIL", L"ort", L"orvanRefreshTags", APPLICATION_CONTEXT,
     commandEntry<orvanRefreshTags>},
    {L"ORVAN_UTIL", L"obta", L"orvanBlankThirdAttribute", APPLICATION_CONTEXT,
     commandEntry<blankThirdAttribute>},
    {L"ORVAN_DIAG", L"olb", L"orvanListBlocks", APPLICATION_CONTEXT,
     commandEntry<listBlockNameIdentifier>},
    {L"ORVAN_ADMIN", L"oprefs", L"orvanPreferences", DOCUMENT_CONTEXT,
     commandEntry<editPreferences>},
    {L"ORVAN_HELP", L"o?", L"ohelp", APPLICATION_CONTEXT, commandEntry<displayHelp>},
    {L"ORVAN_HELP", L"od?", L"odiagnosticshelp", APPLICATION_CONTEXT,
     commandEntry<displayDiagnosticsHelp>},
    {L"ORVAN_SECRET", L"osc_has", L"osc_has", APPLICATION_CONTEXT, commandEntry<hatchAllSpaces>},
    {L"ORVAN_SECRET", L"osc_hs", L"osc_hs", APPLICATION_CONTEXT, commandEntry<hatchSpace>},
    {L"ORVAN_SECRET", L"osc_isc", L"osc_isc", APPLICATION_CONTEXT,
     commandEntry<orvanTavrinConversion>},
    {L"ORVAN_SECRET", L"osc_cal", L"osc_cal", APPLICATION_CONTEXT,
     commandEntry<checkAttributeLayers>},
    {L"ORVAN_SECRET", L"osc_dsd", L"osc_dsd", APPLICATION_CONTEXT,
     commandEntry<displaySpaceDetails>},
    {L"ORVAN_TEST", L"test", L"test", APPLICATION_CONTEXT, commandEntry<test>},
    {L"ORVAN_DIAGNOSTICS", L"oda", L"orvanDiagnosticAll", APPLICATION_CONTEXT,
     commandEntry<diagnosticAll>},
    {L"ORVAN_DIAGNOSTICS", L"od1", L"orvanDiagnosticBasic", APPLICATION_CONTEXT,
     commandEntry<diagnosticBasic>},
    {L"ORVAN_DIAGNOSTICS", L"od3", L"orvanDiagnosticDialog", APPLICATION_CONTEXT,
     commandEntry<diagnosticDialog>},
    {L"ORVAN_DIAGNOSTICS", L"od4", L"orvanDiagnosticErrorsA", APPLICATION_CONTEXT,
     commandEntry<diagnosticErrorsA>},
    {L"ORVAN_DIAGNOSTICS", L"od5", L"orvanDiagnosticErrorsB", APPLICATION_CONTEXT,
     commandEntry<diagnosticErrorsB>},
    {L"ORVAN_DIAGNOSTICS", L"od6", L"orvanDiagnosticErrorsC", APPLICATION_CONTEXT,
     commandEntry<diagnosticErrorsC>},
    {L"ORVAN_DIAGNOSTICS", L"od7", L"orvanDiagnosticErrorsD", APPLICATION_CONTEXT,
     commandEntry<diagnosticErrorsD>},
    {L"ORVAN_DIAGNOSTICS", L"od8", L"orvanDiagnosticUserInput", APPLICATION_CONTEXT,
     commandEntry<diagnosticUserInput>},
    {L"ORVAN_DIAGNOSTICS", L"od9", L"orvanDiagnosticXML", APPLICATION_CONTEXT,
     commandEntry<diagnosticXML>},
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
