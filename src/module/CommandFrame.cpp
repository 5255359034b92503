#include "module/CommandFrame.h"

#include "core/OrvanExceptions.h"
#include "module/ModuleGlobals.h"

CCommandFrame::CCommandFrame() = default;

CCommandFrame::~CCommandFrame() {
    try {
        unlockDrawing();
    } catch (...) {
        discardCaughtError();
    }
}

void CCommandFrame::printBanner(CString title) {
    acutPrintf(L"%s\n", title + MODULE_VERSION);
}

CPreferences* CCommandFrame::loadPreferences() {
    if (!m_preferences)
        m_preferences = std::make_unique<CPreferences>();
    m_preferences->loadPreferences(moduleFolder + PREFERENCES_FILE);
    return m_preferences.get();
}

CAcadDrawing* CCommandFrame::openCurrentDrawing() {
    if (!m_drawing) {
        m_drawing = std::make_unique<CAcadDrawing>();
        AcApDocument* document = acDocManager->curDocument();
        m_drawing->setDocument(document);
        m_drawing->setFileName(document ? CString(document->fileName()) : CString());
        m_drawing->setIsOpen(1);
        m_drawing->setIsCurrentDocument(1);
    }
    return m_drawing.get();
}

BOOL CCommandFrame::lockDrawing() {
    if (m_locked)
        return TRUE;
    m_locked = openCurrentDrawing()->lock() == Acad::eOk;
    return m_locked;
}

void CCommandFrame::unlockDrawing() {
    if (!m_locked)
        return;
    m_locked = false;
    m_drawing->unlock(0);
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
