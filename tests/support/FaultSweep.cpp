#include "support/FaultSweep.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <new>

#include "arxHeaders.h"
#include "com/ComError.h"
#include "mfc/Exceptions.h"
#include "support/HostFixture.h"
#include "win32/CodePage.h"

namespace qv::test {

namespace {

std::vector<AcApDocument*> openDocuments() {
    std::vector<AcApDocument*> documents;
    std::unique_ptr<AcApDocumentIterator> it(acDocManager->newAcApDocumentIterator());
    for (; !it->done(); it->step())
        documents.push_back(it->document());
    return documents;
}

// Runs the operation; what escaped it, or empty.
std::string runCatching(const std::function<void()>& operation) {
    try {
        operation();
        return {};
    } catch (CException* e) {
        e->Delete();
        return "a framework exception escaped";
    } catch (Acad::ErrorStatus status) {
        return "the host status " + qv::wideToUtf8(acadErrorStatusText(status)) + " escaped";
    } catch (const _com_error&) {
        return "a COM error escaped";
    } catch (const std::exception& e) {
        return std::string("a standard exception escaped: ") + e.what();
    } catch (...) {
        return "an exception of unknown kind escaped";
    }
}

// Gives back what a run left: open objects closed, locks released, new documents closed.
void giveBack(const std::vector<AcApDocument*>& documentsBefore) {
    for (AcApDocument* document : openDocuments()) {
        for (const AcDbObject* left : document->database()->qvOpenObjects()) {
            auto* object = const_cast<AcDbObject*>(left);
            while (object->isReadEnabled() && object->close() == Acad::eOk) {
            }
        }
        while (document->qvLockCount() > 0 &&
               acDocManager->unlockDocument(document) == Acad::eOk) {
        }
    }
    for (AcApDocument* document : openDocuments()) {
        if (std::find(documentsBefore.begin(), documentsBefore.end(), document) ==
            documentsBefore.end())
            acDocManager->closeDocument(document);
    }
}

struct RunFindings {
    bool faultReached = false;
    int callsSeen = 0;
    std::string what;
};

RunFindings runOnce(const std::function<void()>& operation, const FaultSweepOptions& options,
                    const qv::host::FaultPlan& plan) {
    if (options.setUp)
        options.setUp();
    const std::vector<AcApDocument*> documentsBefore = openDocuments();
    const long outsideBefore = hostObjectsOutsideDrawings();
    std::string escaped;
    RunFindings findings;
    {
        qv::host::ScopedHostFault fault(plan);
        escaped = runCatching(operation);
        findings.faultReached = qv::host::hostFaultInjected();
        findings.callsSeen = qv::host::hostCallsSeen();
        findings.what = qv::host::injectedHostFault();
    }
    std::string found = hostLeftovers();
    if (!escaped.empty())
        found += escaped + "\n";
    const std::vector<AcApDocument*> documentsAfter = openDocuments();
    if (documentsAfter != documentsBefore) {
        found += std::to_string(documentsBefore.size()) + " document(s) open before, " +
                 std::to_string(documentsAfter.size()) + " after\n";
    }
    const long outsideAfter = hostObjectsOutsideDrawings();
    if (outsideAfter != outsideBefore) {
        found += std::to_string(outsideAfter - outsideBefore) +
                 " host object(s) outside the drawings after the run\n";
    }
    if (options.check)
        found += options.check();
    if (found.empty()) {
        findings.what.clear();
        return findings;
    }
    giveBack(documentsBefore);
    while (!found.empty() && found.back() == '\n')
        found.pop_back();
    std::replace(found.begin(), found.end(), '\n', ';');
    findings.what = (findings.faultReached ? findings.what : std::string("the normal path")) +
                    ": " + found;
    return findings;
}

}  // namespace

long hostObjectsOutsideDrawings() {
    long inDrawings = 0;
    for (AcApDocument* document : openDocuments())
        document->database()->qvForEachObject([&](AcDbObject&) { ++inDrawings; });
    return AcDbObject::qvLiveObjects() - inDrawings;
}

std::string FaultSweepResult::report() const {
    std::string text = std::to_string(failurePoints) + " failure point(s), " +
                       std::to_string(runs) + " run(s)" +
                       (completed ? "" : ", the normal path was never reached");
    for (const std::string& problem : problems)
        text += "\n  " + problem;
    return text;
}

FaultSweepResult sweepHostFaults(const std::function<void()>& operation,
                                 const FaultSweepOptions& options) {
    FaultSweepResult result;
    result.completed = true;
    for (const qv::host::FaultAction action : options.actions) {
        bool reachedNormalPath = false;
        for (int n = 1; n <= options.limit + 1 && !reachedNormalPath; ++n) {
            const RunFindings run =
                runOnce(operation, options, {options.calls, n, action, options.status});
            ++result.runs;
            if (!run.what.empty())
                result.problems.push_back(run.what);
            if (!run.faultReached) {
                reachedNormalPath = true;
                result.failurePoints = std::max(result.failurePoints, run.callsSeen);
            }
        }
        result.completed = result.completed && reachedNormalPath;
    }
    return result;
}

}  // namespace qv::test
