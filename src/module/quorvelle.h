// The module's entry points and its command handlers.
//
// The host maps the library, calls the library entry (DllMain) with DLL_PROCESS_ATTACH, then
// acrxEntryPoint with the load message; start-up registers the commands in eight groups. The
// host calls a handler per command. The unload message removes the eight groups; the library
// entry's DLL_PROCESS_DETACH leaves the extension-module chain.
#pragma once

#include "StdAfx.h"

// The library entry. Attach (DLL_PROCESS_ATTACH): joins the framework's extension-module chain
// with this library's instance handle (once; a failed initialisation leaves it out) so that the
// module's dialog templates are found, then initialises the host's user-interface library.
// Detach (DLL_PROCESS_DETACH): leaves the chain. Other reasons: nothing. Always TRUE.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

// The host's entry point. kInitAppMsg: unlocks the module (so that it can be unloaded) and
// declares it fit for several open documents through the dynamic linker, then initApp.
// kUnloadAppMsg: unloadApp. Other messages: nothing. Always kRetOK.
extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt);

// The host's module boilerplate: the interface version the module was built for, and a new module
// object (one reference, the caller's to release).
extern "C" int acrxGetApiVersion();
extern "C" void odrxGetAPIVersion(int& nMajorVersion, int& nMinorVersion, int& nMajorBuildVersion,
                                  int& nMinorBuildVersion);
extern "C" OdRxModule* odrxCreateModuleObject();

// ---- Start-up and shut-down ----------------------------------------------------------------

// Takes the folder of the host's executable as the module folder, runs checkPreferencesExist,
// then registers the commands of the command table with the host's command stack (the marker
// commands only on a full host).
void initApp();

// The first-run check: makes sure the folders "\orvan\prefs\" and "\orvan\temp\" exist below the
// module folder (setting tempFolder), and shows the preferences dialog when the preferences file
// cannot be opened. Every failure is shown in the error message box; returns 0.
int checkPreferencesExist();

// Removes the eight command groups, whether or not they hold commands; nothing else.
void unloadApp();

// ---- Command handlers ----------------------------------------------------------------------

// oprefs: the preferences dialog, modal, on the module folder.
void editPreferences();

// o?, od?: the overviews of the commands.
void displayHelp();
void displayDiagnosticsHelp();

// test: nothing.
void test();

// The diagnostics: each prints what it checks and handles its own failures.
void diagnosticAll();        // oda: od1, od4, od5, od6, od7, od8, od9 in turn
void diagnosticBasic();      // od1: command-line output
void diagnosticDialog();     // od3: the file dialog
void diagnosticErrorsA();    // od4: a thrown and handled error
void diagnosticErrorsB();    // od5: the same with other names
void diagnosticErrorsC();    // od6: the function name
void diagnosticErrorsD();    // od7: the source file name
void diagnosticUserInput();  // od8: yes/no, real, integer and text prompts
void diagnosticXML();        // od9: an XML file written where the user says
