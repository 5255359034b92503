#include "host/app/UiLibrary.h"

#include "mfc/dialogs/Resources.h"

namespace {

AFX_EXTENSION_MODULE& uiLibrary() {
    static AFX_EXTENSION_MODULE state;
    return state;
}

}  // namespace

void InitAcUiDLL() {
    AFX_EXTENSION_MODULE& state = uiLibrary();
    if (state.bInitialized)
        return;
    // The library's templates live in the platform library itself.
    if (AfxInitExtensionModule(state,
                               qv::res::moduleHandleOf(reinterpret_cast<const void*>(&uiLibrary))))
        new CDynLinkLibrary(state, TRUE);
}

namespace qv::host {

bool uiLibraryInitialised() {
    return uiLibrary().bInitialized != FALSE;
}

}  // namespace qv::host
