#include "blocks/Block.h"

#include "blocks/Hyperlinks.h"
#include "core/OrvanExceptions.h"
#include "core/OwnedPointer.h"

static const LPCTSTR SOURCE_FILE = _T("Block.cpp");

CBlock::CBlock() = default;

CBlock::~CBlock() {
    delete m_pHyperlinks;
}

void CBlock::setHyperlinks(CHyperlinks* pHyperlinks) {
    replaceOwned(m_pHyperlinks, pHyperlinks);
}

void CBlock::calculateVolume() {
    try {
        m_dblVolume = m_dblArea * m_dblRoomHeight;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlock::calculateVolume"));
    }
}

void CBlock::copyTo(CBlock* pTarget) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    pTarget->m_sHandle = m_sHandle;
    pTarget->m_sName = m_sName;
    pTarget->m_sCode = m_sCode;
    pTarget->m_iUnits = m_iUnits;
    pTarget->m_iPrecision = m_iPrecision;
    pTarget->m_dblArea = m_dblArea;
    pTarget->m_dblPerimeter = m_dblPerimeter;
    pTarget->m_sTagType = m_sTagType;
    pTarget->m_sAreaType = m_sAreaType;
    pTarget->m_sCostCentre = m_sCostCentre;
    pTarget->m_sDate = m_sDate;
    pTarget->m_sDateLastMove = m_sDateLastMove;
    pTarget->m_sDeptCharge = m_sDeptCharge;
    pTarget->m_dblRoomHeight = m_dblRoomHeight;
    pTarget->m_sSpecialReq = m_sSpecialReq;
    pTarget->m_sTotStaff = m_sTotStaff;
    pTarget->m_sTotWkStns = m_sTotWkStns;
    pTarget->m_dblVolume = m_dblVolume;
    pTarget->m_iBlockType = m_iBlockType;
}
