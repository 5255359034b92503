// The library entry, the host's entry point, start-up and shut-down.
#include "module/quorvelle.h"

#include "module/ModuleGlobals.h"

// The framework's record of this library as an extension module.
static AFX_EXTENSION_MODULE quorvelleDLL;

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
