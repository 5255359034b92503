// CTabXData: a page for the nine descriptive extended-data texts of a space block (AREA_TYPE,
// COST_CENTRE, DATE, DATE_L_MOVE, DEPT_CHARGE, SPECIAL_REQ, TAGTYPE, TOT_STAFF, TOT_WKSTNS). No
// dialog of the module shows it; it is complete for one that does: create it from its template as
// a child of a tab control, fill it from a block and apply it to a block.
#pragma once

#include "StdAfx.h"

#include "module/DialogSupport.h"
#include "module/resource.h"

class CBlock;

class CTabXData : public COrvanDialog {
  public:
    enum { IDD = IDD_TAB_XDATA };

    explicit CTabXData(CWnd* pParent = nullptr);
    ~CTabXData() override = default;

    // Each text from the block's text of the same name; shown in the edits.
    void initialiseData(const CBlock* pBlock);
    // Reads the edits and gives the block the nine texts.
    void applyChanges(CBlock* pBlock);

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}

  private:
    CString m_areaType;
    CString m_costCentre;
    CString m_date;
    CString m_dateLastMove;
    CString m_deptCharge;
    CString m_specialReq;
    CString m_tagType;
    CString m_totStaff;
    CString m_totWkStns;
};
