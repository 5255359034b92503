// What the module's dialogs share: their base, which tells the host of a failed action; and for
// the modeless ones: showing a caught failure without closing the dialog, stepping aside for a
// pick in the drawing, wrapping the current document, and handing the command line back to the
// host.
#pragma once

#include <memory>

#include "StdAfx.h"

#include <arxHeaders.h>

class CAcadDrawing;

// The base of the module's dialogs. Every message a dialog handles is judged as a command's work
// is (core/CommandFailure.h): an action of a modeless dialog that tells of a failure (an error
// box, a refusal printed) ends with the failure code as the thread's last error, which the host
// reads when the action is done; inside a command, it marks that command failed.
class COrvanDialog : public CDialog {
  public:
    explicit COrvanDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : CDialog(nIDTemplate, pParentWnd) {}

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Inside a catch block of a dialog handler: wraps what was caught in a CEXUnhandled naming the
// handler (procSig) and its source file, shows the chain in the "Error Detected." message box
// and frees it. The dialog stays as it is.
void showDialogError(LPCTSTR sourceFile, LPCTSTR procSig);

// Inside a DoDataExchange that reads the controls: shows the message (exclamation) and stops the
// exchange at the control just read, so that UpdateData gives FALSE and reads nothing after it.
void refuseExchange(CDataExchange* pDX, const CString& message);

// Before a pick: minimises the dialog and activates the host window. restoreAfterPick restores
// the dialog and activates it (or `activate`, a page inside it, when given).
void stepAsideForPick(CWnd* pDialog, HWND acadWindow);
void restoreAfterPick(CWnd* pDialog, CWnd* pActivate = nullptr);

// For the length of a scope around a pick: stepAsideForPick when made, restoreAfterPick when it
// goes, on every path.
class CDialogAside {
  public:
    CDialogAside(CWnd* pDialog, HWND acadWindow) : m_pDialog(pDialog) {
        stepAsideForPick(pDialog, acadWindow);
    }
    ~CDialogAside() { restoreAfterPick(m_pDialog); }
    CDialogAside(const CDialogAside&) = delete;
    CDialogAside& operator=(const CDialogAside&) = delete;

  private:
    CWnd* m_pDialog;
};

// A new wrapper of the host's current document (its file name, open, the current document); not
// open when there is no current document.
std::unique_ptr<CAcadDrawing> wrapCurrentDocument();

// Sends one Esc to the document's command line (not activating it, echoed), so that a prompt
// still waiting there ends and the host's command prompt returns. Nothing for a null document.
void sendEscapeToCommandLine(AcApDocument* document);

// Makes a window active when it still exists; nothing for a null or stale handle.
void activateWindow(HWND window);
