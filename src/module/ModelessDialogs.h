// What the module's modeless dialogs share: reporting a failure without leaving the dialog,
// stepping aside for a pick in the drawing, and handing the command line back to the host.
#pragma once

#include "StdAfx.h"

#include <arxHeaders.h>

#include <memory>

class CAcadDrawing;

// A new wrapper of the host's current document (its file name, open, the current document); not
// open when there is no current document.
std::unique_ptr<CAcadDrawing> wrapCurrentDocument();

// Inside a catch block: wraps what is being handled in a CEXUnhandled naming `procSig` and the
// source file (wrapCaughtError), shows the chain in the error message box and deletes it. The
// dialog stays open.
void showDialogError(LPCTSTR sourceFile, LPCTSTR procSig);

// Sends one Esc to the document's command line (not activating it, echoed), so that a prompt
// still waiting there ends and the host's command prompt returns. Nothing for a null document.
void sendEscapeToCommandLine(AcApDocument* document);

// Makes a window active when it still exists; nothing for a null or stale handle.
void activateWindow(HWND window);

// For the length of a pick in the drawing: the dialog is minimised and the host's window made
// active; afterwards the dialog is restored and active again, on every path.
class CDialogAside {
  public:
    CDialogAside(CWnd* dialog, HWND hostWindow);
    ~CDialogAside();
    CDialogAside(const CDialogAside&) = delete;
    CDialogAside& operator=(const CDialogAside&) = delete;

  private:
    HWND m_dialog;
};
