// CHyperPres: the hyperlinking dialog, a modeless window in which the user gives a picked block
// reference up to five hyperlinks (an address and a description each).
//
// The obh command builds it on the heap without a parent, gives it the host window
// (setAcadWindow), creates it hidden from its template and shows it. Showing it wraps the current
// document and disables OK and Apply until a block reference has been picked and read.
//
// Select Block asks for one entity (any class; the dialog is minimised meanwhile). A block
// reference is read as a space block (name, handle, attributes, extended data, hyperlinks) and its
// first five hyperlinks fill the rows; any other entity changes nothing. Typing an address fills
// its row's description while the description is empty or still equal to the address before.
//
// Apply writes the rows (rows without an address skipped, an empty description taken from the
// address, a repeated address dropped) as the block's whole hyperlink list: on the picked
// reference, or with "Apply changes to all similar blocks" on every reference of the drawing to
// the same block definition. The write is the space block's own (CBlockDWG::applyToDWG): it
// writes the block as it was read when picked - its identifier, extended data (also on a plain
// block, which gets the record of a space block), attributes and hyperlinks - then reads the
// block again and shows it. OK applies and then closes as Cancel does; Cancel and Esc close:
// the block and the drawing wrapper are freed, an Esc goes to the command line, the window is
// destroyed and the object deletes itself. Without a block read, OK and Apply write nothing.
#pragma once

#include <memory>

#include "StdAfx.h"

#include <arxHeaders.h>

#include "module/DialogSupport.h"
#include "module/resource.h"

class CAcadDrawing;
class CBlockDWG;
class CHyperlinks;

class CHyperPres : public COrvanDialog {
  public:
    enum { IDD = IDD_BLOCK_HYPERLINK };
    static const int ROWS = 5;

    explicit CHyperPres(CWnd* pParent = nullptr);
    ~CHyperPres() override;

    void setAcadWindow(CWnd* pWindow) { m_acadWindow = pWindow ? pWindow->GetSafeHwnd() : nullptr; }
    // Creates the window from template IDD (hidden until shown).
    BOOL Create(CWnd* pParent = nullptr) { return CDialog::Create(IDD, pParent); }

    // Reads the block reference of this id as the current block (under the drawing's lock) and
    // shows it. Failures are shown in the error message box; the dialog stays as it was.
    void setCurrentAcadBlock(AcDbObjectId objectId);
    // The current block in the rows, the name and the handle; the check box cleared.
    void loadHyperlinks();
    // Writes the rows as described above; nothing without a current block.
    void applyChanges();
    // TRUE when the entity opens and is exactly a block reference.
    static BOOL isBlockReference(AcDbObjectId objectId);

    const CBlockDWG* getCurrentBlock() const { return m_currentBlock.get(); }

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // OK (and Enter): apply, then close as Cancel does.
    void OnOK() override;
    // Cancel and Esc.
    void OnCancel() override;
    void PostNcDestroy() override;

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSelectBlock();
    afx_msg void OnApply();
    afx_msg void OnChangeLink1();
    afx_msg void OnChangeLink2();
    afx_msg void OnChangeLink3();
    afx_msg void OnChangeLink4();
    afx_msg void OnChangeLink5();
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

  private:
    void hyperlinkBlock(const CHyperlinks& links);
    void hyperlinkAllBlocks(const CHyperlinks& links);
    void closeDialog();
    void mirrorLink(int row);
    void enableApplying(BOOL enable);
    // Writes the fields into the controls without the link edits' mirroring.
    void showFields();

    CString m_descriptions[ROWS];
    CString m_links[ROWS];
    int m_applyToAllSimilar = 0;
    CString m_blockName;
    CString m_blockHandle;
    std::unique_ptr<CAcadDrawing> m_drawing;
    std::unique_ptr<CBlockDWG> m_currentBlock;
    HWND m_acadWindow = nullptr;
    bool m_showingFields = false;
};
