#include "module/DialogSupport.h"

#include "core/OrvanExceptions.h"

void showDialogError(LPCTSTR sourceFile, LPCTSTR procSig) {
    CEXUnhandled* error = wrapCaughtError(sourceFile, procSig);
    error->showErrorDialog();
    error->deleteChain();
}

void stepAsideForPick(CWnd* pDialog, HWND acadWindow) {
    if (pDialog != nullptr && pDialog->GetSafeHwnd() != nullptr)
        pDialog->ShowWindow(SW_MINIMIZE);
    if (acadWindow != nullptr)
        ::SetActiveWindow(acadWindow);
}

void restoreAfterPick(CWnd* pDialog, CWnd* pActivate) {
    if (pDialog == nullptr || pDialog->GetSafeHwnd() == nullptr)
        return;
    pDialog->ShowWindow(SW_RESTORE);
    CWnd* target = pActivate != nullptr && pActivate->GetSafeHwnd() != nullptr ? pActivate : pDialog;
    target->SetActiveWindow();
}
