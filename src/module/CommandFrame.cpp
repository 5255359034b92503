#include "module/CommandFrame.h"

#include <utility>

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

// Whether the running command has failed (set by markCommandFailed and by a caught error).
thread_local bool t_commandFailed = false;

// The last error that a failed command ends with: an application's own code (bit 29 set, which
// no system error has), so that a host or a script driver that ran the command can tell.
constexpr DWORD COMMAND_FAILED = APPLICATION_ERROR_MASK | 1;

// Runs the work of a command handler and reports what leaves it with `report` (inside the catch
// block); afterwards the thread's last error says whether the command failed.
template <class Report>
void runCommand(const std::function<void()>& work, Report report) noexcept {
    const bool outer = std::exchange(t_commandFailed, false);
    try {
        work();
    } catch (...) {
        try {
            report();
        } catch (...) {
            discardCaughtError();  // (the report marked the command failed first)
        }
    }
    if (t_commandFailed)
        SetLastError(COMMAND_FAILED);
    t_commandFailed = t_commandFailed || outer;
}

void showWrapped(LPCTSTR function) {
    CEXUnhandled* error = wrapCaughtError(COMMAND_SOURCE_FILE, function);
    error->showErrorDialog();
    error->deleteChain();
}

}  // namespace

void markCommandFailed() {
    t_commandFailed = true;
    SetLastError(COMMAND_FAILED);
}

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
