// Loading modules: shared libraries that export the entry point
//
//     extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode message, void* appId);
//
// and, if they like, the library entry of Windows
//
//     extern "C" BOOL APIENTRY DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
//
// loadModule opens the library (a Windows path, or a POSIX one), calls DllMain with
// DLL_PROCESS_ATTACH and the library's instance handle (the one the dialog resources know it by;
// FALSE refuses the load), then the entry point with kInitAppMsg and the module's id, which the
// module passes back to unlockApplication and registerAppMDIAware. A module is locked until it
// unlocks itself: unloadModule refuses a locked module. Unloading calls the entry point with
// kUnloadAppMsg, removes the commands that the module left registered (a module should remove its
// own; the host names them), and closes the library after DllMain with DLL_PROCESS_DETACH.
// unloadAll, at the host's exit, unloads every module, locked or not, the last loaded first.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../rx/AcRxObject.h"
#include "../../win32/WinTypes.h"

#ifndef APIENTRY
#define APIENTRY
#endif
#ifndef DLL_PROCESS_ATTACH
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#endif

namespace AcRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
    kSuspendMsg = 16,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx

typedef AcRx::AppRetCode (*AcRxEntryPointFunction)(AcRx::AppMsgCode message, void* appId);
typedef BOOL (*DllMainFunction)(HINSTANCE instance, DWORD reason, LPVOID reserved);

class AcRxDynamicLinker : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcRxDynamicLinker)
  public:
    AcRxDynamicLinker();
    ~AcRxDynamicLinker() override;

    // Loads a module (see above). A module loaded already is not loaded again (true). On a
    // failure, with printIt, the reason is printed on the command line. False when the library
    // does not open, has no entry point, its DllMain refuses, or its entry point answers
    // kRetError (the library is closed again then).
    bool loadModule(const ACHAR* fileName, bool printIt, bool asCommand = false);
    // A module is named by its path or by its file name alone. False for a module that is not
    // loaded or is locked.
    bool unloadModule(const ACHAR* fileName, bool printIt, bool asCommand = false);

    bool lockApplication(void* appId) const;
    bool unlockApplication(void* appId) const;
    bool isApplicationLocked(const ACHAR* fileName) const;
    // The module declares that it works with several documents open (or not).
    bool registerAppMDIAware(void* appId) const;
    bool registerAppNotMDIAware(void* appId) const;

    // ---- for the host program and the tests ----

    // The modules loaded, in loading order, by the file names given to loadModule.
    std::vector<std::wstring> qvModules() const;
    bool qvIsMdiAware(const ACHAR* fileName) const;
    // The id a loaded module was given (the one its entry point got), or null.
    void* qvAppId(const ACHAR* fileName) const { return find(fileName); }
    // Unloads every module (see above).
    void qvUnloadAll();
    // Why the last load or unload failed.
    const std::wstring& qvLastError() const { return m_lastError; }

    struct Module;

  private:
    Module* find(const ACHAR* fileName) const;
    Module* ofId(void* appId) const;
    void unload(Module& module);
    bool fail(const std::wstring& why, bool printIt);

    std::vector<std::unique_ptr<Module>> m_modules;
    std::wstring m_lastError;
};

// Readies the host's user-interface library for a module's dialogs; a module calls it from its
// library entry. The dialog runtime here is ready from the start, so there is nothing to do.
void InitAcUiDLL();
