// CTabData: the "Space Data" page of the space properties dialog. It shows one space block's
// NAME, AREA and AUX texts, its area and perimeter, handle and number of assets, and sets, clears
// and highlights the areas added to and subtracted from the space. It works on the properties
// dialog's copy of the block; only the properties dialog's Apply and OK write it to the drawing
// (highlighting acts on the drawing at once).
//
// The block, the drawing and the owner are borrowed from the properties dialog, which outlives
// the page. Each button handler shows its own failures and leaves the page usable;
// initialiseData and applyChanges raise theirs, wrapped, to the properties dialog.
#pragma once

#include "StdAfx.h"

#include "module/DialogSupport.h"
#include "module/resource.h"

class CAcadDrawing;
class CBlockDWG;

class CTabData : public COrvanDialog {
  public:
    enum { IDD = IDD_TAB_DATA };

    explicit CTabData(CWnd* pParent = nullptr);
    ~CTabData() override = default;

    // Keeps the four and shows the block: its NAME, AREA and AUX values (a missing attribute
    // leaves its text as it was), handle, asset count, area and perimeter with the block's
    // precision, and the units ("m²" and "m" for metric, else "ft²" and "ft").
    void initialiseData(CBlockDWG* pBlock, CWnd* pOwner, HWND acadWindow, CAcadDrawing* pDrawing);
    // Reads the controls into the block: the name; the NAME, AREA and AUX values (a missing
    // attribute is made, and so is a missing attribute list), the area between AREA and AUX,
    // then the perimeter, both read as the leading number of their texts (0 without one). An
    // area or perimeter whose number is not finite ("nan", "inf", "1e999") is refused with a
    // message before anything is read: FALSE, and the block stays as it was.
    BOOL applyChanges();

    CAcadDrawing* getDrawing() const { return m_drawing; }
    bool isSubtractedHighlighted() const { return m_subtractedHighlighted != 0; }
    bool isAddedHighlighted() const { return m_addedHighlighted != 0; }

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // A page has no OK or Cancel of its own: Enter and Esc belong to the properties dialog.
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnCmdAreaRecalc();
    afx_msg void OnCmdPerimeterRecalc();
    afx_msg void OnCmdSubArea();
    afx_msg void OnBnClickedCmdAddArea();
    afx_msg void OnCmdHighlight();
    afx_msg void OnBnClickedCmdAddHighlight();
    afx_msg void OnBnClickedCmdDeleteSubAreas();
    afx_msg void OnBnClickedCmdDeleteAddAreas();
    afx_msg void OnBnClickedCmdAreacopy();
    afx_msg void OnBnClickedCmdPerimetercopy();

    DECLARE_MESSAGE_MAP()

  private:
    // Which list of areas a button works on.
    enum class Areas { Subtracted, Added };
    void setAreas(Areas which);
    void deleteAreas(Areas which);
    void toggleHighlight(Areas which);
    void highlight(Areas which, int iOn, int iReport);
    // Recalculates area and perimeter and shows both.
    void recalculateBoth();
    void showMeasures();

    CString m_nameText;
    CString m_areaText;
    CString m_auxText;
    CString m_areaValue;
    CString m_perimeterValue;
    CString m_heightValue;
    CString m_volumeValue;
    CString m_areaUnitLabel;
    CString m_perimeterUnitLabel;
    CString m_handleText;
    int m_assetCount = 0;
    int m_subtractedHighlighted = 0;
    int m_addedHighlighted = 0;
    CBlockDWG* m_block = nullptr;
    CAcadDrawing* m_drawing = nullptr;
    HWND m_acadWindow = nullptr;
    CWnd* m_owner = nullptr;
};
