// CPresQuorvelle: the block editor, the modeless window of the obe command. It lists the space
// blocks of the drawing that was current when it opened, rooms or the other kinds as its combo
// box chooses, and opens the space properties dialog (CPresBlock) of one block, chosen by a
// double click on its line or by picking its reference in the drawing. Its menu runs the
// preferences dialog (then converts every block to the units chosen) and the About box.
//
// Lifetime: made on the heap without a parent and shown by obe; it owns its preferences,
// drawing wrapper and collection. However its window ends (Close, Exit, Esc, the close box, or
// destruction by the host), the members are freed and the object deletes itself; a space
// properties dialog still open on one of its blocks is closed first. While a properties dialog
// is open the editor is hidden; the properties dialog shows it again when it closes.
//
// Preferences: loaded when the editor opens, and loaded again after the preferences dialog, so
// the editor never holds older values than the file. Close writes them back only when they were
// changed through the editor's own setters; otherwise the file is left as it is.
//
// Failures: every handler catches what is thrown inside it, shows the chain in the error message
// box and leaves the editor open.
#pragma once

#include <memory>

#include "StdAfx.h"

#include "module/DialogSupport.h"
#include "module/resource.h"

class CAcadDrawing;
class CBlockDWG;
class CBlocks;
class CPreferences;
class CPresBlock;

class CPresQuorvelle : public COrvanDialog {
  public:
    enum { IDD = IDD_BLOCK_EDITOR };

    // Combo box choices.
    enum { KIND_ROOMS = 0, KIND_OTHERS = 1 };

    explicit CPresQuorvelle(CWnd* pParent = nullptr);
    ~CPresQuorvelle() override;

    // The host window to activate before picks (not owned).
    void setAcadWindow(HWND acadWindow) { m_acadWindow = acadWindow; }
    HWND getAcadWindow() const { return m_acadWindow; }
    // The module folder; the preferences file is rootPath + "\orvan\prefs\prefs.cfg".
    void setRootPath(CString rootPath) { m_rootPath = rootPath; }

    // Collects the drawing's space blocks again (level "f") and lists those of the chosen kind:
    // "NAME" + 200 blanks + handle per block whose block name begins "ROOM-"; the count label
    // reads "<n> item(s) found.". Failures are raised, wrapped.
    void fillBlockList();
    // Opens the space properties dialog on the collected block of that handle text (units and
    // precision from the preferences) and hides the editor. A handle the collection lacks raises
    // CEXInvalidHandle as it is; other failures are raised, wrapped.
    void showBlock(CString sHandle);
    // Called by the space properties dialog when it closes.
    void propertiesClosed(CPresBlock* pDialog);

    // The preferences file the editor reads and writes.
    CString getPreferencesFile() const;

    // Accessors no command uses; the preference setters mark the preferences for saving.
    CAcadDrawing* getDrawing() const { return m_drawing.get(); }
    CBlockDWG* getCurrentBlock() const { return m_currentBlock.get(); }
    void setCurrentBlock(CBlockDWG* pBlock);  // taken over
    void setPreferences(CPreferences* pPreferences);  // taken over
    void setUnits(int iUnits);
    void setPrecision(int iPrecision);

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Esc, the close box and Exit: the window ends without saving the preferences.
    void OnCancel() override;
    // Frees the members and deletes the object.
    void PostNcDestroy() override;

    afx_msg void OnCmdSelect();
    afx_msg void OnKindChanged();
    afx_msg void OnListDoubleClick();
    afx_msg void OnCmdClose();
    afx_msg void OnOptions();
    afx_msg void OnAbout();
    afx_msg void OnExit();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

  private:
    // The preferences dialog's aftermath: preferences reloaded, the blocks collected anew and
    // each block whose units differ converted and written.
    void convertUnits();
    void releaseMembers();

    CStatic m_countLabel;
    CListBox m_blockList;
    CComboBox m_kindCombo;
    CString m_drawingName;
    std::unique_ptr<CPreferences> m_preferences;
    bool m_preferencesChanged = false;
    CString m_rootPath;
    std::unique_ptr<CAcadDrawing> m_drawing;
    std::unique_ptr<CBlockDWG> m_currentBlock;
    std::unique_ptr<CBlocks> m_blocks;
    HWND m_acadWindow = nullptr;
    CPresBlock* m_properties = nullptr;  // the open properties dialog, which owns itself
};
