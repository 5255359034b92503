// CTabFormat: the "Format" page of the space properties dialog: the text height, width factor and
// rotation (degrees) of a space block's attributes, and moving the attributes to a picked point.
// Height, width factor and rotation reach the properties dialog's copy of the block on Apply and
// OK; the move acts on the drawing at once.
//
// The block, drawing and owner are borrowed from the properties dialog, which outlives the page.
#pragma once

#include "StdAfx.h"

#include "module/DialogSupport.h"
#include "module/resource.h"

class CAcadDrawing;
class CBlockDWG;

class CTabFormat : public COrvanDialog {
  public:
    enum { IDD = IDD_TAB_FORMAT };

    explicit CTabFormat(CWnd* pParent = nullptr);
    ~CTabFormat() override = default;

    // Keeps the four and shows the format of the block's attributes (zeros without attributes).
    void initialiseFormat(CBlockDWG* pBlock, CWnd* pOwner, HWND acadWindow,
                          CAcadDrawing* pDrawing);
    // Reads and checks the controls: a text that is no number, a rotation outside 0 to 359, or a
    // height or width factor of 0 or less is refused with a message. FALSE when refused.
    BOOL readFormat();
    // Gives the block's attributes the values last read: height, width factor, rotation. Nothing
    // for a block without attributes.
    void applyFormat();

    double getTextHeight() const { return m_textHeight; }
    double getWidthFactor() const { return m_widthFactor; }
    double getTextRotation() const { return m_textRotation; }

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}

    // Asks for a point and moves the block's attributes there (under the drawing's lock).
    afx_msg void moveAttributes();

    DECLARE_MESSAGE_MAP()

  private:
    double m_textHeight = 0.0;
    double m_textRotation = 0.0;
    double m_widthFactor = 0.0;
    CBlockDWG* m_block = nullptr;
    CAcadDrawing* m_drawing = nullptr;
    HWND m_acadWindow = nullptr;
    CWnd* m_owner = nullptr;
};
