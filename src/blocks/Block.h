// CBlock: the data of one space block (a room, floor, building or site), wherever it lives. The
// drawing kinds (CBlockDWG and its kinds) and the database kinds contain it, and collections of
// space blocks hold their elements as CBlock pointers.
//
// Block type codes, written by each concrete kind's constructor:
//   0 CBlock (plain data)
//   1 to 5   database record: plain, room, floor, building, site
//   6 CBlockDWG (drawing block, plain; the legend and pie-chart marker blocks keep 6)
//   7 room, 8 floor, 9 building, 10 site (CBlockDWGRoom ... CBlockDWGSite)
//
// Units: 0 metric (square metres, metres), 1 imperial (square feet, feet), -1 not known.
// Precision: the decimal places of area, perimeter, room height and volume as text; -1 not known.
//
// Ownership: the block owns the hyperlink list it points to and deletes it with itself. The
// destructor is virtual, so a block is always destroyed whole through a CBlock pointer.
#pragma once

#include <utility>

#include "StdAfx.h"

class CHyperlinks;

class CBlock {
  public:
    // Type 0, units 0, precision 2, every text empty, every number 0, no hyperlinks.
    CBlock();
    virtual ~CBlock();
    CBlock(const CBlock&) = delete;
    CBlock& operator=(const CBlock&) = delete;

    CString getHandle() const { return m_sHandle; }
    void setHandle(CString sHandle) { m_sHandle = std::move(sHandle); }
    CString getName() const { return m_sName; }
    void setName(CString sName) { m_sName = std::move(sName); }
    CString getCode() const { return m_sCode; }
    void setCode(CString sCode) { m_sCode = std::move(sCode); }
    int getUnits() const { return m_iUnits; }
    void setUnits(int iUnits) { m_iUnits = iUnits; }
    int getPrecision() const { return m_iPrecision; }
    void setPrecision(int iPrecision) { m_iPrecision = iPrecision; }
    double getArea() const { return m_dblArea; }
    void setArea(double dblArea) { m_dblArea = dblArea; }
    double getPerimeter() const { return m_dblPerimeter; }
    void setPerimeter(double dblPerimeter) { m_dblPerimeter = dblPerimeter; }
    CString getTagType() const { return m_sTagType; }
    void setTagType(CString s) { m_sTagType = std::move(s); }
    CString getAreaType() const { return m_sAreaType; }
    void setAreaType(CString s) { m_sAreaType = std::move(s); }
    CString getCostCentre() const { return m_sCostCentre; }
    void setCostCentre(CString s) { m_sCostCentre = std::move(s); }
    CString getDate() const { return m_sDate; }
    void setDate(CString s) { m_sDate = std::move(s); }
    CString getDateLastMove() const { return m_sDateLastMove; }
    void setDateLastMove(CString s) { m_sDateLastMove = std::move(s); }
    CString getDeptCharge() const { return m_sDeptCharge; }
    void setDeptCharge(CString s) { m_sDeptCharge = std::move(s); }
    double getRoomHeight() const { return m_dblRoomHeight; }
    void setRoomHeight(double dbl) { m_dblRoomHeight = dbl; }
    CString getSpecialReq() const { return m_sSpecialReq; }
    void setSpecialReq(CString s) { m_sSpecialReq = std::move(s); }
    CString getTotStaff() const { return m_sTotStaff; }
    void setTotStaff(CString s) { m_sTotStaff = std::move(s); }
    CString getTotWkStns() const { return m_sTotWkStns; }
    void setTotWkStns(CString s) { m_sTotWkStns = std::move(s); }
    double getVolume() const { return m_dblVolume; }
    void setVolume(double dbl) { m_dblVolume = dbl; }
    int getBlockType() const { return m_iBlockType; }
    CHyperlinks* getHyperlinks() const { return m_pHyperlinks; }
    // Takes the list over; the list held before is deleted (unless it is the same list).
    void setHyperlinks(CHyperlinks* pHyperlinks);

    // volume = area x room height.
    void calculateVolume();
    // Copies every field except the hyperlinks into the target (block type included); the
    // target keeps its own hyperlink list. A null target does nothing.
    void copyTo(CBlock* pTarget) const;

  protected:
    // For the constructors of the concrete kinds.
    void setBlockType(int iBlockType) { m_iBlockType = iBlockType; }

  private:
    CString m_sHandle;
    CString m_sName;
    CString m_sCode;
    int m_iUnits = 0;
    int m_iPrecision = 2;
    double m_dblArea = 0.0;
    double m_dblPerimeter = 0.0;
    CString m_sTagType;
    CString m_sAreaType;
    CString m_sCostCentre;
    CString m_sDate;
    CString m_sDateLastMove;
    CString m_sDeptCharge;
    double m_dblRoomHeight = 0.0;
    CString m_sSpecialReq;
    CString m_sTotStaff;
    CString m_sTotWkStns;
    double m_dblVolume = 0.0;
    int m_iBlockType = 0;
    CHyperlinks* m_pHyperlinks = nullptr;
};
