// oprefs: the preferences dialog on its own.
#include "StdAfx.h"

#include "module/CommandFrame.h"
#include "module/ModuleGlobals.h"
#include "module/PresPreferences.h"
#include "module/quorvelle.h"

void editPreferences() {
    CCommandFrame frame;
    CCommandFrame::printBanner(L"Orvan Edit Preferences ");
    CPresPreferences dialog;
    dialog.setRootPath(moduleFolder);
    dialog.DoModal();
}
