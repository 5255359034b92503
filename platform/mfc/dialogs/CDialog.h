// CDialog: a window built from a dialog template (see Resources.h), run modally with DoModal or
// modelessly with Create.
//
// Creation makes the dialog window and its controls from the template, with the template's menu
// bar, attaches this object, and sends WM_INITDIALOG, which calls OnInitDialog. CDialog's
// OnInitDialog adds the template's initial strings to combo and list boxes and runs
// UpdateData(FALSE); a derived class calls it first.
//
// DoModal: creates the dialog, disables its owner (the parent's top-level window, or the host's
// main window), shows the dialog and runs a loop that asks the user-interface driver for the
// user's next action (qv::ui::UiDriver::dialogAction) and performs it, until EndDialog is called.
// Then it destroys the window and returns the value given to EndDialog, or -1 when the template
// is missing or the dialog could not be made. A driver that has no more input presses Esc; a
// dialog that still does not end is ended with IDCANCEL, so a loop never hangs.
//
// Create (modeless): creates the dialog as a popup owned by the parent (none: the main window)
// or, when the template has WS_CHILD, as a child of the parent; a template with WS_VISIBLE
// shows it at once. The host's command loop lets the driver act on shown modeless dialogs
// between commands (qv::win::serviceModeless). EndDialog on a modeless dialog only hides it;
// it lives until DestroyWindow or until its object is deleted.
//
// OnOK reads the controls (UpdateData(TRUE)) and ends the dialog with IDOK when they are valid;
// OnCancel ends it with IDCANCEL. The close box (WM_CLOSE) and Esc choose IDCANCEL, except while
// the dialog's control with id IDCANCEL is disabled; Enter chooses the default button.
#pragma once

#include "CWnd.h"

class CDialog : public CWnd {
  public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Ends the dialog with a result (see above).
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();

    // The default button's id (high word DC_HASDEFID) and changing it.
    DWORD GetDefID() const;
    void SetDefID(UINT nID);
    // Moves the focus to a control.
    void GotoDlgCtrl(CWnd* pWndCtrl);

    UINT m_nIDHelp = 0;  // the template id
    CWnd* m_pParentWnd = nullptr;
    INT_PTR m_nModalResult = -1;

  protected:
    virtual void OnOK();
    virtual void OnCancel();

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

  private:
    BOOL createFromTemplate(UINT nIDTemplate, CWnd* pParentWnd, bool modal);
};
