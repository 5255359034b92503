// CPresBlock: the modeless space properties dialog of one space block, opened by the block editor
// (CPresQuorvelle::showBlock). It works on its own copy of the block, shown on the pages "Space
// Data" and "Format" of its tab control, and writes the whole copy back to the drawing on OK and
// Apply; after a write the editor's list is read again from the drawing.
//
// Lifetime: made on the heap; it owns its copy of the block and deletes itself when its window
// ends. OK (after a successful write), Cancel, Esc and the close box close it: the editor's list
// is refilled, the highlight of the subtracted areas is switched off, the editor is shown again
// and the dialog deletes itself. The drawing belongs to the editor, which closes this dialog
// before it goes itself.
//
// Failures: OK and Apply catch every failure (a refused format value included), show it and leave
// the dialog open; a refused format value writes nothing.
#pragma once

#include <memory>

#include "StdAfx.h"

#include "module/MyTabCtrl.h"
#include "module/DialogSupport.h"
#include "module/resource.h"

class CAcadDrawing;
class CBlockDWG;
class CPresQuorvelle;

class CPresBlock : public COrvanDialog {
  public:
    enum { IDD = IDD_SPACE_PROPERTIES };

    explicit CPresBlock(CWnd* pParent = nullptr);
    ~CPresBlock() override;

    // Makes the dialog's own copy of the block (CBlockDWG::copyInto).
    void setBlock(CBlockDWG* pBlock);
    CBlockDWG* getBlock() const { return m_block.get(); }
    // Copies the dialog's block into the target and gives up the dialog's copy (no command uses
    // it).
    void copyBlockTo(CBlockDWG* pTarget);
    void setDrawing(CAcadDrawing* pDrawing) { m_drawing = pDrawing; }
    void setAcadWindow(HWND acadWindow) { m_acadWindow = acadWindow; }
    HWND getAcadWindow() const { return m_acadWindow; }
    void setEditor(CPresQuorvelle* pEditor) { m_editor = pEditor; }
    CPresQuorvelle* getEditor() const { return m_editor; }
    // The editor is going away: the dialog no longer refers to it.
    void detachEditor() { m_editor = nullptr; }

    CMyTabCtrl& getTabs() { return m_tabs; }

    // Fills both pages from the block.
    void initialisePages();
    // Writes both pages into the block, the block into the drawing, regenerates and refills the
    // editor's list. TRUE when the block was written; FALSE when a format value was refused or
    // a failure was shown.
    BOOL applyChanges();

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

    afx_msg void OnApply();
    afx_msg void OnReset();
    afx_msg LRESULT OnAcadKeepFocus(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

  private:
    // The closing steps after OK and every cancel.
    void close();

    CMyTabCtrl m_tabs;
    std::unique_ptr<CBlockDWG> m_block;
    CAcadDrawing* m_drawing = nullptr;
    HWND m_acadWindow = nullptr;
    CPresQuorvelle* m_editor = nullptr;
};
