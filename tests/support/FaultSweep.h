// Fault sweeps: an operation run once for every host call it makes, with that call failing.
//
// sweepHostFaults(operation) arms the host's fault seam (host/db/HostFaults.h) so that the 1st
// counted host call fails, runs the operation, then does the same with the 2nd call, the 3rd,
// and so on, until a run ends without reaching its fault: that last run is the operation's
// normal path, and the number of calls it made is the number of failure points the sweep
// visited. Every sweep repeats this for each fault action of the options (by default: the call
// returns eOutOfMemory, throws it, throws std::bad_alloc).
//
// After every run it checks what the host can count, and records a problem for each finding:
//   - an object left open, a document lock left held (hostLeftovers());
//   - host objects leaked: more objects alive outside every drawing than before the run (made,
//     and neither handed to a database nor deleted);
//   - a document left open, or one closed, that was not before the run;
//   - an exception that escaped the operation (the operation catches what it is allowed to
//     throw, e.g. with qv::test::caught for the module's error objects);
//   - whatever options.check reports (e.g. a wrapper that still counts itself locked).
// Objects the sweep cannot see (memory of the module's own) are left to the leak sanitizer.
// After a run with a finding the sweep closes what was left open, releases the locks and closes
// the extra documents, so that each run is judged on its own.
//
// The operation must make the same host calls each time it runs on the same state: put what it
// needs into options.setUp (run before each run, with no fault armed, its calls not counted)
// or into the operation itself. Runs may leave the drawing changed (a layer made before the
// fault stays made); only what the operation holds must be given back.
//
// Example (a test of the module; `caught` frees the error chain a fault makes it throw):
//
//     TEST_F(LayersTest, ReadingLayersGivesBackEverythingOnEveryFault) {
//         const qv::test::FaultSweepResult sweep = qv::test::sweepHostFaults([&] {
//             CLayers layers;
//             qv::test::caught([&] { layers.getDWGLayers(drawing()); });
//         });
//         EXPECT_TRUE(sweep.clean()) << sweep.report();
//         EXPECT_EQ(sweep.failurePoints, 5);  // lock, table, three records
//     }
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/db/HostFaults.h"

namespace qv::test {

struct FaultSweepOptions {
    qv::host::HostCalls calls = qv::host::HostCalls::all();
    std::vector<qv::host::FaultAction> actions = {qv::host::FaultAction::kReturnStatus,
                                                  qv::host::FaultAction::kThrowStatus,
                                                  qv::host::FaultAction::kThrowBadAlloc};
    Acad::ErrorStatus status = Acad::eOutOfMemory;
    // Runs before each run, unarmed.
    std::function<void()> setUp;
    // An extra check after each run: empty when all is well, else what is wrong.
    std::function<std::string()> check;
    // A sweep that has not come to its normal path after this many failure points stops.
    int limit = 1000;
};

struct FaultSweepResult {
    // The counted host calls of the operation's normal path (the failure points visited per
    // action), and the runs made in all.
    int failurePoints = 0;
    int runs = 0;
    // Every action's sweep came to a run without its fault.
    bool completed = false;
    // One line per finding: the failing call and what was left ("open #2 (eOutOfMemory
    // returned): 1 lock(s) held").
    std::vector<std::string> problems;

    bool clean() const { return completed && problems.empty(); }
    std::string report() const;
};

FaultSweepResult sweepHostFaults(const std::function<void()>& operation,
                                 const FaultSweepOptions& options = {});

// Host objects alive outside the databases of the open documents.
long hostObjectsOutsideDrawings();

}  // namespace qv::test
