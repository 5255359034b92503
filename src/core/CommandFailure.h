// How the module tells the host that a command could not do its work.
//
// Whatever tells the user so marks the running command failed: an error message box
// (CEXOrvan::showErrorDialog), an error chain printed (CEXOrvan::printErrorChain), and a refusal
// printed with printCommandFailure. A cancel (Esc, or an empty answer taken as one) is no failure
// and marks nothing.
//
// Every command runs inside a CCommandOutcome (the module registers its handlers through one, and
// guardCommand keeps one): a command marked failed ends with an application's own error code
// (bit 29 set, which no system error has) as its thread's last error, which a host or a script
// driver reads when the handler returns. A modeless dialog's action runs after its command has
// returned and has no boundary of its own: the mark sets that last error at once, and the host
// reads it when the action is done.
#pragma once

#include "StdAfx.h"

// The running command (or modeless dialog action) failed; it has said why.
void markCommandFailed();

// Prints on the command line, as acutPrintf does, why the running command could not do its work,
// and marks it failed.
template <class... A>
void printCommandFailure(LPCTSTR format, const A&... args) {
    acutPrintf(format, args...);
    markCommandFailed();
}

// The failure boundary of one command, for as long as it lives: made, it starts the command
// unmarked (keeping aside the mark of a command it runs inside); gone, a command that was marked
// leaves the thread's last error the failure code, and marks the command it ran inside as well.
class CCommandOutcome {
  public:
    CCommandOutcome();
    ~CCommandOutcome();
    CCommandOutcome(const CCommandOutcome&) = delete;
    CCommandOutcome& operator=(const CCommandOutcome&) = delete;

  private:
    bool m_outer;
};

// What the module registers with the host for a command handler: the handler run inside a
// CCommandOutcome, so that no command can end without its failures told.
void runInsideOutcome(void (*handler)());
template <void (*handler)()>
void commandEntry() {
    runInsideOutcome(handler);
}
