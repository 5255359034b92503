#include "module/ModelessDialogs.h"

#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"

std::unique_ptr<CAcadDrawing> wrapCurrentDocument() {
    auto drawing = std::make_unique<CAcadDrawing>();
    AcApDocument* document = acDocManager->curDocument();
    drawing->setDocument(document);
    drawing->setFileName(document ? CString(document->fileName()) : CString());
    drawing->setIsOpen(document != nullptr ? 1 : 0);
    drawing->setIsCurrentDocument(1);
    return drawing;
}

void showDialogError(LPCTSTR sourceFile, LPCTSTR procSig) {
    CEXUnhandled* error = wrapCaughtError(sourceFile, procSig);
    error->showErrorDialog();
    error->deleteChain();
}

void sendEscapeToCommandLine(AcApDocument* document) {
    if (document != nullptr)
        acDocManager->sendStringToExecute(document, L"\x1b", false, false, true);
}

void activateWindow(HWND window) {
    if (window != nullptr && ::IsWindow(window))
        CWnd::FromHandle(window)->SetActiveWindow();
}

CDialogAside::CDialogAside(CWnd* dialog, HWND hostWindow) : m_dialog(dialog->GetSafeHwnd()) {
    dialog->ShowWindow(SW_MINIMIZE);
    activateWindow(hostWindow);
}

CDialogAside::~CDialogAside() {
    if (m_dialog == nullptr || !::IsWindow(m_dialog))
        return;
    CWnd* dialog = CWnd::FromHandle(m_dialog);
    dialog->ShowWindow(SW_RESTORE);
    dialog->SetActiveWindow();
}
