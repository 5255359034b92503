// The document manager's share of the command line: text sent to execute, and the stack of
// resource handles.
#include <vector>

#include "host/app/Documents.h"
#include "host/ed/Commands.h"
#include "host/ed/Editor.h"
#include "mfc/dialogs/Resources.h"

namespace {

std::vector<HINSTANCE>& resourceStack() {
    static std::vector<HINSTANCE> stack;
    return stack;
}

}  // namespace

Acad::ErrorStatus AcApDocManager::sendStringToExecute(AcApDocument* target, const ACHAR* text,
                                                      bool activate, bool, bool echo) {
    if (text == nullptr || target == nullptr || document(target->database()) != target) {
        return Acad::eInvalidInput;
    }
    if (activate && target != curDocument()) {
        setCurDocument(target);
    }
    qv::host::ed::InputQueue& input = qv::host::ed::editor().input();
    input.send(text, echo);
    if (qv::host::ed::activeCommands() == 0) {
        input.release();
    }
    return Acad::eOk;
}

void AcApDocManager::pushResourceHandle(HINSTANCE resources) {
    resourceStack().push_back(AfxGetResourceHandle());
    AfxSetResourceHandle(resources);
}

void AcApDocManager::pushAcadResourceHandle() {
    pushResourceHandle(qv::res::programHandle());
}

void AcApDocManager::popResourceHandle() {
    if (resourceStack().empty()) {
        return;
    }
    AfxSetResourceHandle(resourceStack().back());
    resourceStack().pop_back();
}
