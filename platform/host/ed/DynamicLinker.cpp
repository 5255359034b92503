#include "host/ed/DynamicLinker.h"

#include <dlfcn.h>

#include <algorithm>

#include "host/CommandLine.h"
#include "host/db/SymbolTables.h"
#include "host/ed/CommandStack.h"
#include "host/ed/SysRegistry.h"
#include "win32/CodePage.h"
#include "win32/DrivePaths.h"

QV_RX_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject, L"")

struct AcRxDynamicLinker::Module {
    std::wstring fileName;  // as given
    std::string path;       // the library's POSIX path
    void* library = nullptr;
    void* base = nullptr;  // where the library lies in memory
    AcRxEntryPointFunction entry = nullptr;
    DllMainFunction dllMain = nullptr;
    mutable bool locked = true;
    mutable bool mdiAware = false;
};

namespace {

// The POSIX path of a Windows path; a path that is no Windows path is taken as it is.
std::string posixPathOf(const std::wstring& fileName) {
    const bool windows = fileName.size() >= 2 && fileName[1] == L':';
    if (windows) {
        if (std::optional<std::string> posix = qv::win32::toPosixPath(fileName)) {
            return *posix;
        }
    }
    return qv::wideToUtf8(fileName);
}

}  // namespace

AcRxDynamicLinker::AcRxDynamicLinker() = default;
AcRxDynamicLinker::~AcRxDynamicLinker() = default;

bool AcRxDynamicLinker::fail(const std::wstring& why, bool printIt) {
    m_lastError = why;
    if (printIt) {
        acutPrintf(L"%s\n", why.c_str());
    }
    return false;
}

AcRxDynamicLinker::Module* AcRxDynamicLinker::find(const ACHAR* fileName) const {
    if (fileName == nullptr) {
        return nullptr;
    }
    // By its path, or by its file name alone, as the host names applications.
    const std::string path = posixPathOf(fileName);
    const std::wstring name = qv::host::foldName(fileName);
    const bool bare = name.find_first_of(L"\\/") == std::wstring::npos;
    for (const auto& m : m_modules) {
        const std::wstring given = qv::host::foldName(m->fileName);
        if (m->path == path || given == name ||
            (bare && given.substr(given.find_last_of(L"\\/") + 1) == name)) {
            return m.get();
        }
    }
    return nullptr;
}

AcRxDynamicLinker::Module* AcRxDynamicLinker::ofId(void* appId) const {
    for (const auto& m : m_modules) {
        if (m.get() == appId) {
            return m.get();
        }
    }
    return nullptr;
}

bool AcRxDynamicLinker::loadModule(const ACHAR* fileName, bool printIt, bool) {
    if (fileName == nullptr || fileName[0] == 0) {
        return fail(L"No module file was named.", printIt);
    }
    if (find(fileName) != nullptr) {
        return true;
    }
    auto module = std::make_unique<Module>();
    module->fileName = fileName;
    module->path = posixPathOf(fileName);
    module->library = dlopen(module->path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module->library == nullptr) {
        const char* why = dlerror();
        return fail(std::wstring(L"Unable to load ") + fileName + L": " +
                        qv::utf8ToWide(why != nullptr ? why : "unknown reason"),
                    printIt);
    }
    module->entry =
        reinterpret_cast<AcRxEntryPointFunction>(dlsym(module->library, "acrxEntryPoint"));
    if (module->entry == nullptr) {
        dlclose(module->library);
        return fail(std::wstring(L"Unable to load ") + fileName +
                        L": the library has no entry point acrxEntryPoint.",
                    printIt);
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(module->entry), &info) != 0) {
        module->base = info.dli_fbase;
    }
    module->dllMain = reinterpret_cast<DllMainFunction>(dlsym(module->library, "DllMain"));
    if (module->dllMain != nullptr &&
        !module->dllMain(static_cast<HINSTANCE>(module->base), DLL_PROCESS_ATTACH, nullptr)) {
        dlclose(module->library);
        return fail(
            std::wstring(L"Unable to load ") + fileName + L": its library entry refused to attach.",
            printIt);
    }
    Module* loaded = module.get();
    m_modules.push_back(std::move(module));
    if (loaded->entry(AcRx::kInitAppMsg, loaded) == AcRx::kRetError) {
        unload(*loaded);
        return fail(std::wstring(L"Unable to load ") + fileName + L": its initialisation failed.",
                    printIt);
    }
    m_lastError.clear();
    return true;
}

void AcRxDynamicLinker::unload(Module& module) {
    if (AcEdCommandStack* stack = acedRegCmds) {
        const void* base = module.base;
        const std::vector<std::wstring> left =
            stack->qvRemoveCommands([base](const AcEdCommand& command) {
                Dl_info info{};
                return base != nullptr &&
                       dladdr(reinterpret_cast<void*>(command.functionAddr()), &info) != 0 &&
                       info.dli_fbase == base;
            });
        if (!left.empty()) {
            std::wstring names;
            for (const std::wstring& n : left) {
                names += (names.empty() ? L"" : L", ") + n;
            }
            acutPrintf(L"The module %s left commands registered; they were removed: %s\n",
                       module.fileName.c_str(), names.c_str());
        }
    }
    if (module.dllMain != nullptr) {
        module.dllMain(static_cast<HINSTANCE>(module.base), DLL_PROCESS_DETACH, nullptr);
    }
    dlclose(module.library);
    std::erase_if(m_modules, [&](const auto& m) { return m.get() == &module; });
}

bool AcRxDynamicLinker::unloadModule(const ACHAR* fileName, bool printIt, bool) {
    Module* module = find(fileName);
    if (module == nullptr) {
        return fail(std::wstring(L"The module ") + (fileName ? fileName : L"") + L" is not loaded.",
                    printIt);
    }
    if (module->locked) {
        return fail(
            std::wstring(L"The module ") + module->fileName + L" is locked and cannot be unloaded.",
            printIt);
    }
    module->entry(AcRx::kUnloadAppMsg, module);
    unload(*module);
    m_lastError.clear();
    return true;
}

bool AcRxDynamicLinker::lockApplication(void* appId) const {
    Module* m = ofId(appId);
    if (m == nullptr) {
        return false;
    }
    m->locked = true;
    return true;
}

bool AcRxDynamicLinker::unlockApplication(void* appId) const {
    Module* m = ofId(appId);
    if (m == nullptr) {
        return false;
    }
    m->locked = false;
    return true;
}

bool AcRxDynamicLinker::isApplicationLocked(const ACHAR* fileName) const {
    const Module* m = find(fileName);
    return m != nullptr && m->locked;
}

bool AcRxDynamicLinker::registerAppMDIAware(void* appId) const {
    Module* m = ofId(appId);
    if (m == nullptr) {
        return false;
    }
    m->mdiAware = true;
    return true;
}

bool AcRxDynamicLinker::registerAppNotMDIAware(void* appId) const {
    Module* m = ofId(appId);
    if (m == nullptr) {
        return false;
    }
    m->mdiAware = false;
    return true;
}

std::vector<std::wstring> AcRxDynamicLinker::qvModules() const {
    std::vector<std::wstring> names;
    for (const auto& m : m_modules) {
        names.push_back(m->fileName);
    }
    return names;
}

bool AcRxDynamicLinker::qvIsMdiAware(const ACHAR* fileName) const {
    const Module* m = find(fileName);
    return m != nullptr && m->mdiAware;
}

void AcRxDynamicLinker::qvUnloadAll() {
    while (!m_modules.empty()) {
        Module& last = *m_modules.back();
        last.entry(AcRx::kUnloadAppMsg, &last);
        unload(last);
    }
}

void InitAcUiDLL() {}
