// A test seam that makes one chosen host call fail: the Nth call, counted from when a plan is
// armed, of the kinds the plan names. Tests use it to walk every error path of an operation
// (tests/support/FaultSweep.h runs an operation once for every N).
//
// The kinds of call counted, each at the one place every such call of the host passes:
//   kOpen      acdbOpenObject and everything that opens through it (tables from the database,
//              records by name or from an iterator, entities, layouts, dictionary entries);
//   kAppend    an object added to a database or an owner (appendAcDbEntity, a symbol table's
//              add, a dictionary's setAt, addAcDbObject, and the host's own additions);
//   kLock      a document lock request (AcApDocManager::lockDocument);
//   kSetXData  AcDbObject::setXData.
// The failing call does nothing that the call would do: it returns the planned status (as the
// host refuses), or throws the status as a value (as the host raises a broken protocol), or
// throws std::bad_alloc (memory ran out). Every other call runs as usual.
//
// One plan at a time, for the whole process; disarming (or arming another) ends it. The host
// runs on one thread, and so does the seam.
#pragma once

#include <string>

#include "../ErrorStatus.h"

namespace qv::host {

enum class HostCall : unsigned { kOpen = 1, kAppend = 2, kLock = 4, kSetXData = 8 };

// A set of kinds of call.
class HostCalls {
  public:
    constexpr HostCalls() = default;
    constexpr HostCalls(HostCall call) : m_bits(static_cast<unsigned>(call)) {}
    static constexpr HostCalls all() {
        return HostCalls(HostCall::kOpen) | HostCall::kAppend | HostCall::kLock |
               HostCall::kSetXData;
    }
    constexpr bool contains(HostCall call) const {
        return (m_bits & static_cast<unsigned>(call)) != 0;
    }
    constexpr bool empty() const { return m_bits == 0; }
    friend constexpr HostCalls operator|(HostCalls a, HostCalls b) {
        HostCalls both;
        both.m_bits = a.m_bits | b.m_bits;
        return both;
    }

  private:
    unsigned m_bits = 0;
};

enum class FaultAction {
    kReturnStatus,  // the call returns the status
    kThrowStatus,   // the call throws the status (an Acad::ErrorStatus value)
    kThrowBadAlloc, // the call throws std::bad_alloc
};

struct FaultPlan {
    HostCalls calls = HostCalls::all();
    // The call that fails, counting from 1 the calls of the kinds above; 0 counts without failing.
    int failAt = 0;
    FaultAction action = FaultAction::kReturnStatus;
    Acad::ErrorStatus status = Acad::eOutOfMemory;
};

// Starts a plan: the count of calls starts again at 0.
void armHostFault(const FaultPlan& plan);
// Ends the plan; what it counted stays readable until the next one.
void disarmHostFault();
// The calls of the plan's kinds seen since it was armed.
int hostCallsSeen();
// Whether the plan's call was reached (and failed).
bool hostFaultInjected();
// The call that failed, as "open #3 (eOutOfMemory returned)"; empty when none did.
std::string injectedHostFault();

// Each counted host call asks here first: eOk to go on, or the planned status to return.
// Throws when the plan says so.
Acad::ErrorStatus hostFaultFor(HostCall call);

const char* hostCallName(HostCall call);
const char* faultActionName(FaultAction action);

// Arms a plan for a scope.
class ScopedHostFault {
  public:
    explicit ScopedHostFault(const FaultPlan& plan) { armHostFault(plan); }
    ~ScopedHostFault() { disarmHostFault(); }
    ScopedHostFault(const ScopedHostFault&) = delete;
    ScopedHostFault& operator=(const ScopedHostFault&) = delete;
};

}  // namespace qv::host
