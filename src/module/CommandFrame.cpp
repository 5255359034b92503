#include "module/CommandFrame.h"

#include "core/OrvanExceptions.h"
#include "module/ModuleGlobals.h"

CCommandFrame::CCommandFrame() = default;

// The lock guard goes before the wrapper it holds (members are destroyed in reverse order).
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
    if (m_lock && m_lock->held())
        return TRUE;
    m_lock.emplace(openCurrentDrawing());
    return m_lock->held();
}

void CCommandFrame::unlockDrawing() {
    m_lock.reset();
}

namespace {

// Runs the work of a command handler and reports what leaves it with `report` (inside the catch
// block); afterwards the thread's last error says whether the command failed.
template <class Report>
void runCommand(const std::function<void()>& work, Report report) noexcept {
    const CCommandOutcome outcome;
    try {
        work();
    } catch (...) {
        try {
            report();
        } catch (...) {
            discardCaughtError();  // (the report marked the command failed first)
        }
    }
}

void showWrapped(LPCTSTR function) {
    CEXUnhandled* error = wrapCaughtError(COMMAND_SOURCE_FILE, function);
    error->showErrorDialog();
    error->deleteChain();
}

}  // namespace

void reportCommandError(LPCTSTR function) {
    markCommandFailed();
    showWrapped(function);
}

void reportCommandError(LPCTSTR function, LPCTSTR otherMessage) {
    markCommandFailed();
    try {
        throw;
    } catch (CEXOrvan*) {
        showWrapped(function);
    } catch (...) {
        discardCaughtError();
        acutPrintf(L"%s", otherMessage);
    }
}

void guardCommand(LPCTSTR function, const std::function<void()>& work) noexcept {
    runCommand(work, [&] { reportCommandError(function); });
}

void guardCommand(LPCTSTR function, LPCTSTR otherMessage,
                  const std::function<void()>& work) noexcept {
    runCommand(work, [&] { reportCommandError(function, otherMessage); });
}
