// CPresPreferences: the modal dialog that shows and edits the user preferences and writes them to
// the preferences file rootPath + "\orvan\prefs\prefs.cfg".
//
// Callers build it on the stack, give it the program folder with setRootPath and run DoModal,
// which first loads the file (a missing or unreadable file shows the defaults of CPreferences).
// OK and the close box both save: the controls are read with validation (a precision outside 0
// to 9, a zoom border outside 0 to 10000 or a text that is no number is refused with the
// framework's message), and only values that passed are written. A refused value keeps the
// dialog open on OK; the close box closes it without writing. Esc closes without saving.
#pragma once

#include "StdAfx.h"

#include "core/Preferences.h"
#include "module/DialogSupport.h"
#include "module/resource.h"

class CPresPreferences : public COrvanDialog {
  public:
    enum { IDD = IDD_PREFERENCES };

    explicit CPresPreferences(CWnd* pParent = nullptr);
    ~CPresPreferences() override = default;

    void setRootPath(CString rootPath) { m_rootPath = rootPath; }
    CString getRootPath() const { return m_rootPath; }

    // Stores the values. The numbers are kept in range in the caller's variables first: a text
    // size or scale of 0.0 or less becomes 0.1, a rotation is held within -180.0 to 180.0. Units,
    // precision, the CSV opener and the zoom border are stored as given.
    void setValues(int& units, int& precision, double& textSize, double& textScale,
                   double& textRotation, CString csvOpener, double& zoomBorder);
    void getValues(int& units, int& precision, double& textSize, double& textScale,
                   double& textRotation, CString& csvOpener, double& zoomBorder) const;

    // loadPreferences, then the modal loop; the loop's result (IDOK, IDCANCEL, or -1 when the
    // dialog cannot be made).
    INT_PTR DoModal() override;

    // Loads the preferences file into the held preferences and copies them into the fields; a
    // text size below 1.0 is shown as 250.0.
    void loadPreferences();
    // Reads the controls into the fields with validation; when they pass, copies the fields into
    // the held preferences (a text size below 1.0 becomes 1.0) and writes the preferences file.
    // FALSE when a value was refused (nothing is written); TRUE otherwise, also when the file
    // could not be written (that has been reported to the user).
    BOOL savePreferences();

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Saves, then ends the dialog with IDOK; a refused value keeps it open.
    void OnOK() override;
    // The close box: saves, then closes as cancelled.
    afx_msg void OnClose();

    DECLARE_MESSAGE_MAP()

  private:
    CString preferencesFile() const;

    double m_textSize;
    int m_units;
    int m_precision;
    CString m_csvOpener;
    CPreferences m_preferences;
    CString m_rootPath;
    double m_zoomBorder = 0.0;
    double m_textScale;
    double m_textRotation;
};
