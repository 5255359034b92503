// The host's command line: the "Command: " prompt, the commands typed there and their answers,
// until the input ends or the QUIT command.
//
// Between commands the shown modeless dialogs get their turn (a line that reads as a dialog action
// goes to them, see TerminalDriver.h). An empty line at the prompt does nothing; Esc shows
// "*Cancel*". An Esc that the host sent to its own command line (a dialog ending whatever prompt
// waited) finds nothing to cancel at the command prompt and is dropped without a word. After each
// command the host takes the focus back, and reports objects that the command left open and
// document locks that it left held.
//
// Interactively (a user at a terminal, not a script) the loop behaves as a CAD user expects:
// while a modeless dialog is shown the prompt names it ('Command or action for dialog "CAPTION": ')
// and the line typed goes to the dialog when it reads as an action, else to the command line
// (Enter there shows the dialog again); Enter at the empty "Command: " repeats the last command; the end of the input (Ctrl-D) quits as QUIT
// does, asking first whether to save the drawing's changes (see askToSaveChanges in Commands.h);
// when the input has ended for good (the terminal is gone) the loop ends and says which changes
// were not saved.
//
// In a script these stop the run at once, with a message that quotes the line: an unknown command,
// an answer that no prompt asked for (a line at the command prompt that reads as a number, a
// point or a handle), and the end of the script while a prompt waited. Answers
// that a prompt refused, exceptions that a command let out, host commands that failed (a drawing
// that could not be opened or saved), a module's commands that failed (ended with an
// application's error code as the thread's last error, see Commands.h) or whose document lock was
// refused, actions of a modeless dialog that failed (ended with such a code as well), objects left
// open and locks left held, and errors of the terminal driver do not stop it but make it fail at
// the end.
#pragma once

#include <optional>
#include <string>

namespace qv::host::ed {

class CommandLoop {
  public:
    // With `script` the errors above stop the run; `interactive` for a user at a terminal.
    explicit CommandLoop(bool script, bool interactive = false)
        : m_script(script), m_interactive(interactive) {}

    // Runs until the input ends or QUIT; false when a script failed (see above).
    bool run();
    // Why the run failed, or empty.
    const std::wstring& failure() const { return m_failure; }
    // How many errors made the run fail.
    int errors() const { return m_errors; }

  private:
    bool stop(const std::wstring& why);
    void checkLeftovers(const std::wstring& command);

    bool quitAtEndOfInput();
    bool dropHostEscape();
    std::optional<std::wstring> nextPrompt();
    bool serviceDialogs();

    bool m_script;
    bool m_interactive;
    std::wstring m_failure;
    int m_errors = 0;
};

// Asks the running command loop to end after the current command (the QUIT command).
void requestQuit();
// Whether the running command loop serves a user at a terminal (false outside a loop).
bool interactive();
// Tells the running command loop that the current host command failed (it has printed why).
void reportCommandFailure();

}  // namespace qv::host::ed
