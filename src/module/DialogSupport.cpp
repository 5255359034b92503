#include "module/DialogSupport.h"

#include "core/CommandFailure.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"

LRESULT COrvanDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The handler may end the dialog and free it (PostNcDestroy): nothing of it is used after.
    const CCommandOutcome outcome;
    return CDialog::WindowProc(message, wParam, lParam);
}

void showDialogError(LPCTSTR sourceFile, LPCTSTR procSig) {
    CEXUnhandled* error = wrapCaughtError(sourceFile, procSig);
    error->showErrorDialog();
    error->deleteChain();
}

void refuseExchange(CDataExchange* pDX, const CString& message) {
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    pDX->Fail();
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

std::unique_ptr<CAcadDrawing> wrapCurrentDocument() {
    auto drawing = std::make_unique<CAcadDrawing>();
    AcApDocument* document = acDocManager->curDocument();
    drawing->setDocument(document);
    drawing->setFileName(document ? CString(document->fileName()) : CString());
    drawing->setIsOpen(document != nullptr ? 1 : 0);
    drawing->setIsCurrentDocument(1);
    return drawing;
}

void sendEscapeToCommandLine(AcApDocument* document) {
    if (document != nullptr)
        acDocManager->sendStringToExecute(document, L"\x1b", false, false, true);
}

void activateWindow(HWND window) {
    if (window != nullptr && ::IsWindow(window))
        CWnd::FromHandle(window)->SetActiveWindow();
}
