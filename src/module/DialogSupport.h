// What the modeless dialogs of the block editor share: showing a caught failure without closing
// the dialog, and stepping aside for a pick in the drawing.
#pragma once

#include "StdAfx.h"

// Inside a catch block of a dialog handler: wraps what was caught in a CEXUnhandled naming the
// handler (procSig) and its source file, shows the chain in the "Error Detected." message box
// and frees it. The dialog stays as it is.
void showDialogError(LPCTSTR sourceFile, LPCTSTR procSig);

// Before a pick: minimises the dialog and activates the host window. restoreAfterPick restores
// the dialog and activates it (or `activate`, a page inside it, when given).
void stepAsideForPick(CWnd* pDialog, HWND acadWindow);
void restoreAfterPick(CWnd* pDialog, CWnd* pActivate = nullptr);
