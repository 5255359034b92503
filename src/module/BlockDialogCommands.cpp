#include "module/BlockDialogCommands.h"

#include "StdAfx.h"

#include "module/CommandFrame.h"
#include "module/HyperPres.h"
#include "module/ModuleGlobals.h"
#include "module/PresBlockCreation.h"

void blockCreate() {
    CCommandFrame frame;
    CCommandFrame::printBanner(L"Orvan Block Create ");
    auto* dialog = new CPresBlockCreation;
    dialog->setAcadWindow(CWnd::GetActiveWindow());
    dialog->setRootPath(moduleFolder);
    if (!dialog->Create()) {
        // No window was made, so nothing will delete the object.
        delete dialog;
        return;
    }
    dialog->ShowWindow(SW_SHOW);
}

void blockHyperlink() {
    CCommandFrame frame;
    CCommandFrame::printBanner(L"Orvan Block Hyperlink ");
    auto* dialog = new CHyperPres;
    dialog->setAcadWindow(CWnd::GetActiveWindow());
    if (!dialog->Create()) {
        delete dialog;
        return;
    }
    dialog->ShowWindow(SW_SHOWNORMAL);
}
