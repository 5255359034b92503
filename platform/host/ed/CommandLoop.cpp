#include "host/ed/CommandLoop.h"

#include <sstream>

#include "host/CommandLine.h"
#include "host/app/Documents.h"
#include "host/ed/Answers.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "mfc/dialogs/DialogDriving.h"
#include "ui/TerminalDriver.h"

namespace qv::host::ed {
namespace {

bool g_quit = false;
int g_commandFailures = 0;

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

void reportCommandFailure() {
    ++g_commandFailures;
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

bool CommandLoop::run() {
    g_quit = false;
    Editor& ed = editor();
    const int refusedBefore = ed.inputErrors();
    while (!g_quit) {
        // Text the host sent to its own command line (an Esc that a dialog sent to end a
        // prompt) is for the command prompt, never an action in a dialog.
        while (!ed.input().hasHostInput() && qv::win::serviceModeless()) {
        }
        // A prompt of a modeless dialog (a pick, a point, a selection) that found the script at
        // its end fails the script as a command's prompt does: its work stands half done.
        if (ed.inputEnded() && m_script) {
            return stop(L"Script error: the script ended while a dialog's prompt waited for an "
                        L"answer.");
        }
        ed.clearInputEnded();
        const Answer answer = ed.ask(atLineStart() ? L"Command: " : L"\nCommand: ", true);
        if (answer.kind == Answer::Cancel) {
            if (ed.inputEnded()) {
                break;
            }
            continue;
        }
        if (answer.kind == Answer::Empty) {
            continue;
        }
        g_commandFailures = 0;
        const CommandRun run = runCommand(answer.text);
        m_errors += g_commandFailures;
        if (run == CommandRun::Unknown) {
            const bool answerLike = looksLikeAnswer(answer.text);
            if (!m_script) {
                print(L"Unknown command \"" + answer.text + L"\".\n");
                continue;
            }
            return stop(answerLike ? L"Script error: \"" + answer.text +
                                         L"\" answers no prompt; the command line waited for a "
                                         L"command."
                                   : L"Script error: unknown command \"" + answer.text + L"\".");
        }
        if (run == CommandRun::Threw) {
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
