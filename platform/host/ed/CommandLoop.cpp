#include "host/ed/CommandLoop.h"

#include <optional>
#include <sstream>

#include "host/CommandLine.h"
#include "host/app/Documents.h"
#include "host/ed/Answers.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "mfc/dialogs/DialogDriving.h"
#include "ui/TerminalDriver.h"
#include "win32/WinError.h"

namespace qv::host::ed {
namespace {

bool g_quit = false;
bool g_interactive = false;
int g_commandFailures = 0;

// Sets the loop's mode for as long as it runs.
class InteractiveScope {
  public:
    explicit InteractiveScope(bool interactive) : m_previous(g_interactive) {
        g_interactive = interactive;
    }
    ~InteractiveScope() { g_interactive = m_previous; }
    InteractiveScope(const InteractiveScope&) = delete;
    InteractiveScope& operator=(const InteractiveScope&) = delete;

  private:
    bool m_previous;
};

bool isEscapeLine(const std::string& line) {
    return !line.empty() && line[0] == '\x1b' &&
           line.find_first_not_of(" \t", 1) == std::string::npos;
}

// Whether a line at the command prompt reads as the answer to some prompt.
bool looksLikeAnswer(const std::wstring& text) {
    return parseReal(text) || parsePoint(text, AcGePoint3d::kOrigin) || parseHandle(text);
}

std::wstring describeOpen(const AcDbObject& object) {
    AcDbHandle handle;
    object.getAcDbHandle(handle);
    return std::wstring(object.isA()->name()) + L" " + handle.text() +
           (object.isWriteEnabled() ? L" (for write)" : L" (for read)");
}

}  // namespace

void requestQuit() {
    g_quit = true;
}

bool interactive() {
    return g_interactive;
}

void reportCommandFailure() {
    ++g_commandFailures;
}

bool CommandLoop::dropHostEscape() {
    InputQueue& input = editor().input();
    bool dropped = false;
    for (std::optional<std::string> sent = input.peekHostLine(); sent && isEscapeLine(*sent);
         sent = input.peekHostLine()) {
        input.readLine();
        dropped = true;
    }
    return dropped;
}

bool CommandLoop::stop(const std::wstring& why) {
    ++m_errors;
    m_failure = why;
    print((atLineStart() ? L"" : L"\n") + why + L"\n");
    return false;
}

void CommandLoop::checkLeftovers(const std::wstring& command) {
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) {
        AcApDocument* doc = it->document();
        std::wstring open;
        for (const AcDbObject* object : doc->database()->qvOpenObjects()) {
            open += (open.empty() ? L"" : L", ") + describeOpen(*object);
        }
        if (!open.empty()) {
            ++m_errors;
            print(L"*Warning* " + command + L" left objects open: " + open + L"\n");
        }
        if (doc->qvLockCount() > 0) {
            ++m_errors;
            print(L"*Warning* " + command + L" left " + std::to_wstring(doc->qvLockCount()) +
                  L" document lock(s) held.\n");
        }
    }
    delete it;
}

// One turn of the shown modeless dialogs. An action that a module's dialog carried out and that
// failed ends with an application's error code as the thread's last error, as a failed command
// does, and is counted as one.
bool CommandLoop::serviceDialogs() {
    ::SetLastError(ERROR_SUCCESS);
    const bool acted = qv::win::serviceModeless();
    if (acted && (::GetLastError() & APPLICATION_ERROR_MASK) != 0) {
        ++m_errors;
    }
    return acted;
}

std::optional<std::wstring> CommandLoop::nextPrompt() {
    const std::wstring prompt = atLineStart() ? L"Command: " : L"\nCommand: ";
    Editor& ed = editor();
    // Text the host sent to its own command line is for the command prompt, never an action in
    // a dialog.
    if (!m_interactive) {
        while (!ed.input().hasHostInput() && serviceDialogs()) {
        }
        if (dropHostEscape()) {
            return std::nullopt;  // a dialog's action sent it
        }
        return prompt;
    }
    const std::vector<HWND> open = qv::win::openModelessDialogs();
    if (open.empty() || ed.input().hasHostInput()) {
        return prompt;
    }
    // One prompt for both: the line typed may be a command or an action for the dialog.
    print((atLineStart() ? L"" : L"\n") + std::wstring(L"Command or action for dialog \"") +
          qv::win::describe(open.front()).caption + L"\": ");
    if (ed.input().peekLine()) {
        noteLineEntered();  // the user's Enter ended the prompt's line
    }
    if (serviceDialogs()) {
        return std::nullopt;
    }
    return std::wstring();
}

bool CommandLoop::quitAtEndOfInput() {
    if (editor().input().endIsFinal()) {
        AcApDocument* doc = acDocManager->curDocument();
        if (doc != nullptr && doc->database()->qvHasUnsavedChanges()) {
            print(L"The input ended: the changes to " + std::wstring(doc->fileName()) +
                  L" were not saved.\n");
        }
        return true;
    }
    return askToSaveChanges();
}

bool CommandLoop::run() {
    g_quit = false;
    const InteractiveScope mode(m_interactive);
    Editor& ed = editor();
    const int refusedBefore = ed.inputErrors();
    std::wstring last;
    while (!g_quit) {
        if (dropHostEscape()) {
            continue;  // nothing waited that it could cancel
        }
        const std::optional<std::wstring> prompt = nextPrompt();
        if (!prompt) {
            continue;  // a dialog took the line
        }
        // A prompt of a modeless dialog (a pick, a point, a selection) that found the script at
        // its end fails the script as a command's prompt does: its work stands half done.
        if (ed.inputEnded() && m_script) {
            return stop(L"Script error: the script ended while a dialog's prompt waited for an "
                        L"answer.");
        }
        ed.clearInputEnded();
        const Answer answer = ed.ask(*prompt, true);
        if (answer.kind == Answer::Cancel) {
            if (ed.inputEnded() && (!m_interactive || quitAtEndOfInput())) {
                break;
            }
            continue;
        }
        if (answer.kind == Answer::Empty && (!m_interactive || last.empty())) {
            continue;
        }
        const std::wstring command = answer.kind == Answer::Empty ? last : answer.text;
        g_commandFailures = 0;
        const CommandRun run = runCommand(command);
        m_errors += g_commandFailures;
        if (run == CommandRun::Unknown) {
            const bool answerLike = looksLikeAnswer(answer.text);
            if (!m_script) {
                print(L"Unknown command \"" + answer.text + L"\"." +
                      (m_interactive ? L" Type HELP or ? for the list of commands." : L"") +
                      L"\n");
                continue;
            }
            return stop(answerLike ? L"Script error: \"" + answer.text +
                                         L"\" answers no prompt; the command line waited for a "
                                         L"command."
                                   : L"Script error: unknown command \"" + answer.text + L"\".");
        }
        last = command;
        if (run == CommandRun::Threw || run == CommandRun::Failed ||
            run == CommandRun::Refused) {
            ++m_errors;
        }
        qv::win::reclaimFocusForHost();
        checkLeftovers(answer.text);
        if (ed.inputEnded() && m_script) {
            return stop(L"Script error: the script ended while " + answer.text +
                        L" waited for an answer.");
        }
    }
    m_errors += ed.inputErrors() - refusedBefore;
    if (m_script && m_errors > 0 && m_failure.empty()) {
        m_failure = L"The script ran with " + std::to_wstring(m_errors) + L" error(s).";
    }
    return !m_script || m_errors == 0;
}

}  // namespace qv::host::ed
