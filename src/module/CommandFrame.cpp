#include "module/CommandFrame.h"

#include "core/OrvanExceptions.h"
#include "module/ModuleGlobals.h"

CCommandFrame::CCommandFrame() = default;

CCommandFrame::~CCommandFrame() = default;

void CCommandFrame::printBanner(CString title) {
    acutPrintf(L"%s\n", title + MODULE_VERSION);
}

CPreferences* CCommandFrame::loadPreferences() {
    if (!m_preferences)
        m_preferences = std::make_unique<CPreferences>();
    m_preferences->loadPreferences(moduleFolder + PREFERENCES_FILE);
    return m_preferences.get();
}

namespace {

void showWrapped(LPCTSTR function) {
    CEXUnhandled* error = wrapCaughtError(COMMAND_SOURCE_FILE, function);
    error->showErrorDialog();
    error->deleteChain();
}

}  // namespace

void reportCommandError(LPCTSTR function) {
    showWrapped(function);
}

void reportCommandError(LPCTSTR function, LPCTSTR otherMessage) {
    try {
        throw;
    } catch (CEXOrvan*) {
        showWrapped(function);
    } catch (...) {
        discardCaughtError();
        acutPrintf(L"%s", otherMessage);
    }
}
