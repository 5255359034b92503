// The host's commands for the view and for modules: ZOOM, REGEN and ARX.
#include <algorithm>

#include "com/Variant.h"
#include "host/app/Automation.h"
#include "host/app/Documents.h"
#include "host/ed/CommandStack.h"
#include "host/ed/Commands.h"
#include "host/ed/DynamicLinker.h"
#include "host/ed/Picking.h"
#include "host/ed/Editor.h"
#include "host/ed/Prompts.h"
#include "host/ed/SysRegistry.h"

namespace qv::host::ed {
namespace {

ViewState* currentViews() {
    AcApDocument* doc = acDocManager->curDocument();
    if (doc == nullptr) {
        print(L"There is no drawing.\n");
        return nullptr;
    }
    return &doc->qvViews();
}

// ZOOM: "Specify corner of window or [All/Extents/Previous/Window]: "; a point starts a window.
void zoomCommand() {
    ViewState* views = currentViews();
    if (views == nullptr) {
        return;
    }
    ads_point first, second;
    acedInitGet(0, L"All Extents Previous Window");
    int status = acedGetPoint(
        nullptr, L"Specify corner of window or [All/Extents/Previous/Window]: ", first);
    if (status == RTKWORD) {
        ACHAR keyword[32];
        acedGetInput(keyword, 32);
        const std::wstring option = keyword;
        if (option == L"All" || option == L"Extents") {
            // The automation object's zoom measures model space.
            DISPPARAMS none{nullptr, nullptr, 0, 0};
            AcadGetIDispatch(FALSE)->Invoke(36, GUID_NULL, 0, DISPATCH_METHOD, &none, nullptr,
                                            nullptr, nullptr);
            return;
        }
        if (option == L"Previous") {
            if (!views->zoomPrevious()) {
                print(L"No previous view saved.\n");
            }
            return;
        }
        status = acedGetPoint(nullptr, L"Specify first corner: ", first);
    }
    if (status != RTNORM) {
        return;
    }
    if (acedGetPoint(first, L"Specify opposite corner: ", second) != RTNORM) {
        return;
    }
    const AcGePoint3d a = ucsToWorld(AcGePoint3d(first[0], first[1], first[2]));
    const AcGePoint3d b = ucsToWorld(AcGePoint3d(second[0], second[1], second[2]));
    if (a.x == b.x || a.y == b.y) {
        print(L"The window has no area.\n");
        return;
    }
    views->zoomTo({{std::min(a.x, b.x), std::min(a.y, b.y), 0.0},
                   {std::max(a.x, b.x), std::max(a.y, b.y), 0.0}});
}

void regenCommand() {
    if (ViewState* views = currentViews()) {
        views->regen();
        print(L"Regenerating model.\n");
    }
}

std::wstring flagsText(Adesk::Int32 flags) {
    return (flags & ACRX_CMD_SESSION) ? L"application context" : L"document context";
}

// ARX: "Enter an option [?/Load/Unload/Commands]: ".
void arxCommand() {
    AcRxDynamicLinker* linker = acrxDynamicLinker;
    acedInitGet(0, L"? Load Unload Commands");
    ACHAR option[32];
    if (acedGetKword(L"Enter an option [?/Load/Unload/Commands]: ", option, 32) != RTNORM) {
        return;
    }
    const std::wstring chosen = option;
    if (chosen == L"?") {
        const std::vector<std::wstring> modules = linker->qvModules();
        if (modules.empty()) {
            print(L"No modules are loaded.\n");
        }
        for (const std::wstring& m : modules) {
            print(L"  " + m + (linker->isApplicationLocked(m.c_str()) ? L" (locked)" : L"") +
                  L"\n");
        }
        return;
    }
    if (chosen == L"Commands") {
        AcEdCommandIterator* it = acedRegCmds->iterator();
        bool any = false;
        for (; !it->done(); it->next()) {
            const AcEdCommand* c = it->command();
            print(L"  " + std::wstring(it->commandGroup()) + L" " + c->globalName() + L" " +
                  c->localName() + L" (" + flagsText(c->commandFlags()) + L")\n");
            any = true;
        }
        delete it;
        if (!any) {
            print(L"No commands are registered.\n");
        }
        return;
    }
    std::wstring file;
    const bool load = chosen == L"Load";
    if (getText(true, load ? L"Module file to load: " : L"Module file to unload: ", file) !=
            RTNORM ||
        file.empty()) {
        return;
    }
    if (load ? linker->loadModule(file.c_str(), true) : linker->unloadModule(file.c_str(), true)) {
        print(std::wstring(L"Module ") + file + (load ? L" loaded.\n" : L" unloaded.\n"));
    }
}

const bool g_registered = [] {
    registerHostCommand(L"ZOOM", zoomCommand);
    registerHostCommand(L"REGEN", regenCommand);
    registerHostCommand(L"ARX", arxCommand);
    return true;
}();

}  // namespace
}  // namespace qv::host::ed
