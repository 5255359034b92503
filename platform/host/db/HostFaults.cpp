#include "host/db/HostFaults.h"

#include <new>

#include "win32/CodePage.h"

namespace qv::host {

namespace {

struct ArmedPlan {
    bool armed = false;
    FaultPlan plan;
    int seen = 0;
    bool injected = false;
    HostCall injectedCall = HostCall::kOpen;
};

ArmedPlan& current() {
    static ArmedPlan state;
    return state;
}

}  // namespace

void armHostFault(const FaultPlan& plan) {
    current() = ArmedPlan{true, plan, 0, false, HostCall::kOpen};
}

void disarmHostFault() {
    current().armed = false;
}

int hostCallsSeen() {
    return current().seen;
}

bool hostFaultInjected() {
    return current().injected;
}

const char* hostCallName(HostCall call) {
    switch (call) {
        case HostCall::kOpen:
            return "open";
        case HostCall::kAppend:
            return "append";
        case HostCall::kLock:
            return "lock";
        case HostCall::kSetXData:
            return "setXData";
    }
    return "?";
}

const char* faultActionName(FaultAction action) {
    switch (action) {
        case FaultAction::kReturnStatus:
            return "returned";
        case FaultAction::kThrowStatus:
            return "thrown";
        case FaultAction::kThrowBadAlloc:
            return "bad_alloc thrown";
    }
    return "?";
}

std::string injectedHostFault() {
    const ArmedPlan& state = current();
    if (!state.injected)
        return {};
    std::string text = std::string(hostCallName(state.injectedCall)) + " #" +
                       std::to_string(state.plan.failAt) + " (";
    if (state.plan.action != FaultAction::kThrowBadAlloc)
        text += qv::wideToUtf8(acadErrorStatusText(state.plan.status)) + " ";
    return text + faultActionName(state.plan.action) + ")";
}

Acad::ErrorStatus hostFaultFor(HostCall call) {
    ArmedPlan& state = current();
    if (!state.armed || !state.plan.calls.contains(call))
        return Acad::eOk;
    ++state.seen;
    if (state.seen != state.plan.failAt)
        return Acad::eOk;
    state.injected = true;
    state.injectedCall = call;
    switch (state.plan.action) {
        case FaultAction::kReturnStatus:
            return state.plan.status;
        case FaultAction::kThrowStatus:
            throw state.plan.status;
        case FaultAction::kThrowBadAlloc:
            throw std::bad_alloc();
    }
    return state.plan.status;
}

}  // namespace qv::host
