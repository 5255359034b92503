#include "blocks/Blocks.h"

#include <algorithm>
#include <cfloat>
#include <functional>
#include <memory>
#include <vector>

#include "blocks/Block.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/BlockDWGKinds.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/DatabaseExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"

static const LPCTSTR SOURCE_FILE = _T("Blocks.cpp");

namespace {

const wchar_t GROSS_AREA_BLOCK[] = L"ROOM-GROSS_AREA";
const wchar_t GROSS_AREA_NAME[] = L"GROSS AREA";
const wchar_t LEGEND_MARKER[] = L"MARKER-LEGEND";
const wchar_t PIE_MARKER[] = L"MARKER-PIECHART";

// A selection set freed when the scope ends (a set is only held after RTNORM).
class CSelectionSet {
  public:
    CSelectionSet() { m_set[0] = m_set[1] = 0; }
    ~CSelectionSet() {
        if (m_bHeld)
            acedSSFree(m_set);
    }
    CSelectionSet(const CSelectionSet&) = delete;
    CSelectionSet& operator=(const CSelectionSet&) = delete;

    // Runs the selection; true with a set.
    bool select(int (*selector)(ads_name)) {
        m_bHeld = selector(m_set) == RTNORM;
        return m_bHeld;
    }
    // The members' ids in selection order; members that do not resolve are left out.
    std::vector<AcDbObjectId> ids() const {
        std::vector<AcDbObjectId> result;
        Adesk::Int32 iLength = 0;
        if (!m_bHeld || acedSSLength(m_set, &iLength) != RTNORM)
            return result;
        result.reserve(static_cast<size_t>(iLength));
        for (Adesk::Int32 i = 0; i < iLength; i++) {
            ads_name entity;
            AcDbObjectId id;
            if (acedSSName(m_set, i, entity) == RTNORM && acdbGetObjectId(id, entity) == Acad::eOk)
                result.push_back(id);
        }
        return result;
    }

  private:
    ads_name m_set;
    bool m_bHeld = false;
};

// The view zoomed to the drawing's extents for a scope, and back when it ends (only when the
// zoom to the extents was made).
class CZoomedToExtents {
  public:
    explicit CZoomedToExtents(CAcadDrawing* pDrawing) : m_pDrawing(pDrawing) {
        m_pDrawing->zoomExtents();
        m_bZoomed = true;
    }
    ~CZoomedToExtents() {
        if (!m_bZoomed)
            return;
        try {
            m_pDrawing->zoomPrevious();
        } catch (...) {
            discardCaughtError();
        }
    }
    CZoomedToExtents(const CZoomedToExtents&) = delete;
    CZoomedToExtents& operator=(const CZoomedToExtents&) = delete;

  private:
    CAcadDrawing* m_pDrawing;
    bool m_bZoomed = false;
};

}  // namespace

void CBlocks::walkSelection(CAcadDrawing* pDrawing, int (*selector)(ads_name),
                            const std::function<void(AcDbBlockReference*)>& each) {
    if (pDrawing == nullptr)
        return;
    CDrawingLock lock(pDrawing);
    if (!lock.held())
        return;
    CZoomedToExtents zoom(pDrawing);
    CSelectionSet set;
    if (!set.select(selector))
        return;
    for (const AcDbObjectId& id : set.ids()) {
        AcDbObjectPointer<AcDbBlockReference> pReference(id, AcDb::kForRead);
        if (pReference.openStatus() == Acad::eOk)
            each(pReference.object());
    }
}

namespace {

int selectInserts(ads_name set, const wchar_t* sBlockName) {
    blockhost::ResBufPtr pFilter(sBlockName != nullptr
                                     ? acutBuildList(RTDXF0, L"INSERT", 2, sBlockName, RTNONE)
                                     : acutBuildList(RTDXF0, L"INSERT", RTNONE));
    return acedSSGet(L"X", nullptr, nullptr, pFilter.get(), set);
}

// The handle text's value: a leading "0X" skipped, hexadecimal digits from the left until the
// first other character, the low 64 bits kept.
unsigned long long handleValue(const CString& sHandle) {
    CString sText = sHandle;
    sText.MakeUpper();
    int i = sText.Left(2) == L"0X" ? 2 : 0;
    unsigned long long value = 0;
    for (; i < sText.GetLength(); i++) {
        const wchar_t c = sText[i];
        int iDigit;
        if (c >= L'0' && c <= L'9')
            iDigit = c - L'0';
        else if (c >= L'A' && c <= L'F')
            iDigit = c - L'A' + 10;
        else
            break;
        value = (value << 4) | static_cast<unsigned long long>(iDigit);
    }
    return value;
}

}  // namespace

void rethrowProcedureError(LPCTSTR sSourceFile, LPCTSTR sProcSig) {
    try {
        throw;
    } catch (CEXOrvan* e) {
        if (auto* pProcedure = dynamic_cast<CEXStoredProcedure*>(e))
            throw pProcedure;
        throw new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, sSourceFile, sProcSig, 0, e);
    } catch (...) {
        throwWrapped(sSourceFile, sProcSig);
    }
}

CBlocks::~CBlocks() {
    deleteObjects();
}

void CBlocks::addBlock(CBlock* pBlock) {
    if (pBlock == nullptr)
        return;
    try {
        m_blocks.Add(pBlock);
    } catch (...) {
        delete pBlock;
        throwWrapped(SOURCE_FILE, _T("CBlocks::addBlock"));
    }
    m_iCount++;
}

void CBlocks::deleteObjects() {
    for (int i = 0; i < m_blocks.GetSize(); i++)
        deleteObject(m_blocks.GetAt(i));
    m_blocks.RemoveAll();
    m_iCount = 0;
}

void CBlocks::deleteObject(CBlock* pBlock) {
    delete pBlock;
}

void CBlocks::replaceAt(int iIndex, CBlock* pBlock) {
    try {
        if (pBlock == nullptr)
            AfxThrowInvalidArgException();
        CBlock* pOld = m_blocks.GetAt(iIndex);
        if (pOld == pBlock)
            return;
        m_blocks.SetAt(iIndex, pBlock);
        deleteObject(pOld);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::replaceAt"));
    }
}

void CBlocks::deleteBlocksOfType(int iBlockType) {
    try {
        int iKept = 0;
        for (int i = 0; i < m_iCount; i++) {
            CBlock* pBlock = m_blocks.GetAt(i);
            if (pBlock->getBlockType() == iBlockType)
                deleteObject(pBlock);
            else
                m_blocks.SetAt(iKept++, pBlock);
        }
        m_blocks.SetSize(iKept);
        m_iCount = iKept;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::deleteBlocksOfType"));
    }
}

CBlock* CBlocks::getAt(int iIndex) const {
    try {
        return m_blocks.GetAt(iIndex);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getAt"));
    }
}

CBlock* CBlocks::getAt(CString sHandle) const {
    for (int i = 0; i < m_iCount; i++) {
        if (m_blocks.GetAt(i)->getHandle() == sHandle)
            return m_blocks.GetAt(i);
    }
    return nullptr;
}

CBlock* CBlocks::getByCode(CString sCode) const {
    for (int i = 0; i < m_iCount; i++) {
        if (m_blocks.GetAt(i)->getCode() == sCode)
            return m_blocks.GetAt(i);
    }
    return nullptr;
}

// ---- from the drawing ----

void CBlocks::addClassified(AcDbBlockReference* pReference, CAcadDrawing* pDrawing, bool bAssets,
                            const CString& sLevel, bool bSkipPie) {
    CString sDefinition;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                            AcDb::kForRead);
        if (pDefinition.openStatus() != Acad::eOk)
            return;
        sDefinition = pDefinition->qvName().c_str();
    }
    if (sDefinition == LEGEND_MARKER || (bSkipPie && sDefinition == PIE_MARKER))
        return;
    const bool bFloorLevel = sLevel == L"f";
    AcApDocument* pDocument = pDrawing->getDocument();
    const auto makeGross = [&]() -> std::unique_ptr<CBlockDWG> {
        if (bFloorLevel)
            return std::make_unique<CBlockDWGFloor>(pReference, pDocument);
        return std::make_unique<CBlockDWGSite>(pReference, pDocument);
    };
    std::unique_ptr<CBlockDWG> pBlock;
    if (sDefinition == GROSS_AREA_BLOCK) {
        pBlock = makeGross();
    } else {
        if (bFloorLevel)
            pBlock = std::make_unique<CBlockDWGRoom>(pReference, pDocument, bAssets ? 1 : 0);
        else
            pBlock = std::make_unique<CBlockDWGBuilding>(pReference, pDocument);
        // The extended data is read once, by the block: a space named "GROSS AREA" there is
        // the gross-area block whatever its definition is called (rare: it is read again).
        if (pBlock->getXDataName() == GROSS_AREA_NAME)
            pBlock = makeGross();
    }
    addBlock(pBlock.release());
}

void CBlocks::getOrvanDWGBlocks_SS(CAcadDrawing* pDrawing, bool bAssets, CString sLevel) {
    try {
        walkSelection(pDrawing, getOrvanBlockSS, [&](AcDbBlockReference* pReference) {
            addClassified(pReference, pDrawing, bAssets, sLevel, false);
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getOrvanDWGBlocks_SS"));
    }
}

void CBlocks::getOrvanDWGBlocks_I(CAcadDrawing* pDrawing, bool bAssets, CString sLevel) {
    try {
        if (pDrawing == nullptr || !pDrawing->isOpen() || pDrawing->getDocument() == nullptr)
            return;
        AcDbObjectIdArray entities;
        {
            AcDbSymbolTablePointer<AcDbBlockTable> pTable(pDrawing->getDocument()->database(),
                                                          AcDb::kForRead);
            if (pTable.openStatus() != Acad::eOk)
                return;
            AcDbSymbolTableRecordPointer<AcDbBlockTableRecord> pModelSpace(
                L"*Model_Space", pTable.object(), AcDb::kForRead);
            if (pModelSpace.openStatus() != Acad::eOk)
                return;
            entities = blockhost::entityIdsOf(pModelSpace.object());
        }
        for (const AcDbObjectId& id : entities) {
            AcDbObjectPointer<AcDbBlockReference> pReference(id, AcDb::kForRead);
            if (pReference.openStatus() == Acad::eOk)
                addClassified(pReference.object(), pDrawing, bAssets, sLevel, true);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getOrvanDWGBlocks_I"));
    }
}

void CBlocks::getAcadBlocks(CAcadDrawing* pDrawing) {
    try {
        walkSelection(pDrawing, getAcadBlockSS, [&](AcDbBlockReference* pReference) {
            addBlock(new CBlockDWG(pReference, pDrawing->getDocument()));
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getAcadBlocks"));
    }
}

int CBlocks::getOrvanBlockSS(ads_name set) {
    try {
        return selectInserts(set, L"ROOM-*");
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getOrvanBlockSS"));
    }
}

int CBlocks::getLegendBlockSS(ads_name set) {
    try {
        return selectInserts(set, LEGEND_MARKER);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getLegendBlockSS"));
    }
}

int CBlocks::getPieBlockSS(ads_name set) {
    try {
        return selectInserts(set, PIE_MARKER);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getPieBlockSS"));
    }
}

int CBlocks::getAcadBlockSS(ads_name set) {
    try {
        return selectInserts(set, nullptr);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getAcadBlockSS"));
    }
}

CString CBlocks::readNameFromXData(AcDbEntity* pEntity) {
    try {
        if (pEntity == nullptr)
            return CString();
        blockhost::ResBufPtr pList(pEntity->xData(CBlockDWG::XDATA_APP));
        if (!pList)
            pList.reset(pEntity->xData(CBlockDWG::XDATA_APP_AEC));
        for (const resbuf* pItem = pList.get(); pItem != nullptr; pItem = pItem->rbnext) {
            if (pItem->restype != 1000 || pItem->resval.rstring == nullptr)
                continue;
            const CString sItem(pItem->resval.rstring);
            if (sItem.Left(5) == L"NAME=")
                return CAcadUtilities::extractData(CAcadUtilities::XDATA_NAME, sItem);
        }
        return CString();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::readNameFromXData"));
    }
}

// ---- order, XML, view ----

void CBlocks::sortBlocksByHandle(bool bAscending) {
    try {
        std::vector<std::pair<unsigned long long, CBlock*>> keyed;
        keyed.reserve(static_cast<size_t>(m_iCount));
        for (int i = 0; i < m_iCount; i++)
            keyed.emplace_back(handleValue(m_blocks.GetAt(i)->getHandle()), m_blocks.GetAt(i));
        std::stable_sort(keyed.begin(), keyed.end(), [bAscending](const auto& a, const auto& b) {
            return bAscending ? a.first < b.first : a.first > b.first;
        });
        for (int i = 0; i < m_iCount; i++)
            m_blocks.SetAt(i, keyed[static_cast<size_t>(i)].second);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::sortBlocksByHandle"));
    }
}

MSXML2::IXMLDOMNodePtr CBlocks::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pBlocks = xml.createNode(L"orvanBlocks", sNamespace);
        for (int i = 0; i < m_iCount; i++) {
            // Every block of the drawing walks, the XML reader and the loaders is a drawing block.
            auto* pBlock = dynamic_cast<CBlockDWG*>(m_blocks.GetAt(i));
            if (pBlock != nullptr)
                pBlocks->appendChild(pBlock->serialize(sNamespace));
        }
        return pBlocks;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::serialize"));
    }
}

void CBlocks::deSerialize(MSXML2::IXMLDOMNodePtr pNode, CHatch* pHatchTemplate) {
    try {
        if (pNode == nullptr)
            return;
        MSXML2::IXMLDOMNodeListPtr pChildren = pNode->GetchildNodes();
        const long lCount = pChildren != nullptr ? pChildren->Getlength() : 0;
        for (long i = 0; i < lCount; i++) {
            MSXML2::IXMLDOMNodePtr pChild = pChildren->Getitem(i);
            if (CXMLUtilities::nameOf(pChild) != L"orvanBlock")
                continue;
            auto pBlock = std::make_unique<CBlockDWG>();
            pBlock->deSerialize(pChild, pHatchTemplate);
            addBlock(pBlock.release());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::deSerialize"));
    }
}

void CBlocks::zoomToBlocks(CAcadDrawing* pDrawing, double dblMargin) {
    try {
        AcGePoint3d ptMin(1e30, 1e30, 1e30), ptMax(-1e30, -1e30, -1e30);
        CDrawingLock lock(pDrawing);
        if (!lock.held())
            throw new CEXUnhandled(static_cast<Acad::ErrorStatus>(lock.status()),
                                   ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                   _T("CBlocks::zoomToBlocks"), 314, CString(), nullptr);
        bool bMeasured = false;
        for (int i = 0; i < m_iCount; i++) {
            auto* pBlock = dynamic_cast<CBlockDWG*>(m_blocks.GetAt(i));
            if (pBlock == nullptr)
                continue;
            AcDbObjectPointer<AcDbEntity> pEntity(pBlock->getObjectId(), AcDb::kForRead);
            if (pEntity.openStatus() != Acad::eOk)
                continue;
            AcGePoint3d ptLow(DBL_MAX, DBL_MAX, DBL_MAX), ptHigh(-DBL_MAX, -DBL_MAX, -DBL_MAX);
            CAcadUtilities::getBlockExtents(pEntity.object(), ptLow, ptHigh, dblMargin);
            if (ptLow.x > ptHigh.x || ptLow.y > ptHigh.y)
                continue;  // nothing measured for this one
            bMeasured = true;
            ptMin.x = std::min(ptMin.x, ptLow.x);
            ptMin.y = std::min(ptMin.y, ptLow.y);
            ptMax.x = std::max(ptMax.x, ptHigh.x);
            ptMax.y = std::max(ptMax.y, ptHigh.y);
        }
        if (bMeasured)
            pDrawing->zoomWindow(ptMin, ptMax);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::zoomToBlocks"));
    }
}
