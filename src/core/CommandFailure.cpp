#include "core/CommandFailure.h"

#include <utility>

namespace {

// Whether the running command has been marked failed.
thread_local bool t_commandFailed = false;

// The last error that a failed command ends with.
constexpr DWORD COMMAND_FAILED = APPLICATION_ERROR_MASK | 1;

}  // namespace

void markCommandFailed() {
    t_commandFailed = true;
    SetLastError(COMMAND_FAILED);
}

CCommandOutcome::CCommandOutcome() : m_outer(std::exchange(t_commandFailed, false)) {}

CCommandOutcome::~CCommandOutcome() {
    if (t_commandFailed)
        SetLastError(COMMAND_FAILED);
    t_commandFailed = t_commandFailed || m_outer;
}

void runInsideOutcome(void (*handler)()) {
    const CCommandOutcome outcome;
    handler();
}
