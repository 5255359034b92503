#include "module/BlockEditCommands.h"

#include <memory>

#include "module/CommandFrame.h"
#include "module/ModuleGlobals.h"
#include "module/PresQuorvelle.h"

void quorvelle() {
    try {
        CCommandFrame frame;
        CCommandFrame::printBanner(L"Orvan Block Edit ");
        if (acDocManager->curDocument() == nullptr) {
            printCommandFailure(L"\nThere is no drawing to edit - Block Edit Failed\n");
            return;
        }
        std::unique_ptr<CPresQuorvelle> editor(new (std::nothrow) CPresQuorvelle(nullptr));
        if (editor == nullptr) {
            printCommandFailure(L"unable to create the edit dialog box\n");
            return;
        }
        editor->setAcadWindow(::GetActiveWindow());
        editor->setRootPath(moduleFolder);
        if (!editor->Create(IDD_BLOCK_EDITOR)) {
            printCommandFailure(L"unable to create the edit dialog box\n");
            return;
        }
        // From here on the editor's window owns the object.
        editor.release()->ShowWindow(SW_SHOW);
    } catch (...) {
        reportCommandError(_T("quorvelle"), _T("\nUnhandled Error - Block Edit Failed\n"));
    }
}
