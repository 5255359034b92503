#include "module/TabXData.h"

#include "blocks/Block.h"
#include "core/OrvanExceptions.h"

namespace {

const LPCTSTR SOURCE_FILE = _T("TabXData.cpp");

}  // namespace

CTabXData::CTabXData(CWnd* pParent) : COrvanDialog(IDD, pParent) {}

void CTabXData::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_XDATA_AREA_TYPE, m_areaType);
    DDX_Text(pDX, IDC_XDATA_COST_CENTRE, m_costCentre);
    DDX_Text(pDX, IDC_XDATA_DATE, m_date);
    DDX_Text(pDX, IDC_XDATA_DATE_L_MOVE, m_dateLastMove);
    DDX_Text(pDX, IDC_XDATA_DEPT_CHARGE, m_deptCharge);
    DDX_Text(pDX, IDC_XDATA_SPECIAL_REQ, m_specialReq);
    DDX_Text(pDX, IDC_XDATA_TAGTYPE, m_tagType);
    DDX_Text(pDX, IDC_XDATA_TOT_STAFF, m_totStaff);
    DDX_Text(pDX, IDC_XDATA_TOT_WKSTNS, m_totWkStns);
}

void CTabXData::initialiseData(const CBlock* pBlock) {
    try {
        m_areaType = pBlock->getAreaType();
        m_costCentre = pBlock->getCostCentre();
        m_date = pBlock->getDate();
        m_dateLastMove = pBlock->getDateLastMove();
        m_deptCharge = pBlock->getDeptCharge();
        m_specialReq = pBlock->getSpecialReq();
        m_tagType = pBlock->getTagType();
        m_totStaff = pBlock->getTotStaff();
        m_totWkStns = pBlock->getTotWkStns();
        UpdateData(FALSE);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTabXData::initialiseData"));
    }
}

void CTabXData::applyChanges(CBlock* pBlock) {
    try {
        UpdateData(TRUE);
        pBlock->setAreaType(m_areaType);
        pBlock->setCostCentre(m_costCentre);
        pBlock->setDate(m_date);
        pBlock->setDateLastMove(m_dateLastMove);
        pBlock->setDeptCharge(m_deptCharge);
        pBlock->setSpecialReq(m_specialReq);
        pBlock->setTagType(m_tagType);
        pBlock->setTotStaff(m_totStaff);
        pBlock->setTotWkStns(m_totWkStns);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CTabXData::applyChanges"));
    }
}
