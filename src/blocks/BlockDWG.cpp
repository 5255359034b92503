#include "blocks/BlockDWG.h"

#include <cfloat>
#include <memory>

#include "blocks/Assets.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "core/OwnedPointer.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWG.cpp");

const wchar_t CBlockDWG::XDATA_APP[] = L"ADE";
const wchar_t CBlockDWG::XDATA_APP_AEC[] = L"AECXDATA";
const wchar_t CBlockDWG::XDATA_APP_NONE[] = L"No X Data";
const wchar_t CBlockDWG::NOT_SET[] = L"<Not Set>";

CBlockDWG::CBlockDWG() {
    initialise();
}

CBlockDWG::CBlockDWG(AcDbBlockReference* pReference, AcApDocument* pDocument) : CBlockDWG() {
    try {
        if (pReference == nullptr)
            return;
        setHyperlinks(new CHyperlinks(pReference));
        m_objectId = pReference->objectId();
        m_sLayer = blockhost::layerOf(pReference);
        m_iColour = pReference->colorIndex();
        m_iLineWeight = static_cast<int>(pReference->lineWeight());
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                                AcDb::kForRead);
            if (pDefinition.openStatus() == Acad::eOk)
                m_sBlockName = pDefinition->qvName().c_str();
        }
        AcDbHandle handle;
        pReference->getAcDbHandle(handle);
        setHandle(CString(handle.text().c_str()));

        m_sXDataAppName = XDATA_APP;
        blockhost::ResBufPtr pList(pReference->xData(XDATA_APP));
        if (!pList) {
            m_sXDataAppName = XDATA_APP_AEC;
            pList.reset(pReference->xData(XDATA_APP_AEC));
        }
        if (pList)
            readXData(pList.get(), pDocument);
        else
            m_sXDataAppName = XDATA_APP_NONE;

        AcDbDatabase* pDatabase =
            pDocument != nullptr ? pDocument->database() : pReference->database();
        AcGeMatrix3d ucs;
        acdbUcsMatrix(ucs, pDatabase);
        setAttributes(new CAttributes);
        m_pAttributes->extractSpaceBlockAttributeValues(pReference, ucs);
        if (const CAttribute* pName = m_pAttributes->getAtAttribute(COrvanAttribute::KIND_NAME)) {
            setCode(pName->getValue());
            setName(getCode());
        }
        if (getName().IsEmpty())
            setName(m_sBlockName);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::CBlockDWG"));
    }
}

CBlockDWG::~CBlockDWG() {
    delete m_pHatch;
    delete m_pAttributes;
    delete m_pAssets;
}

void CBlockDWG::initialise() {
    setName(L"");
    setArea(0.0);
    setPerimeter(0.0);
    setRoomHeight(0.0);
    setVolume(0.0);
    setTagType(NOT_SET);
    setAreaType(NOT_SET);
    setCostCentre(NOT_SET);
    setDate(NOT_SET);
    setDateLastMove(NOT_SET);
    setDeptCharge(NOT_SET);
    setSpecialReq(NOT_SET);
    setTotStaff(NOT_SET);
    setTotWkStns(NOT_SET);
    setUnits(-1);
    setPrecision(-1);
    m_sXDataAppName = XDATA_APP;
    setHatch(nullptr);
    setAttributes(nullptr);
    setAssets(nullptr);
    m_iZoomTo = 0;
    m_dblZoomFactor = 0.0;
    setBlockType(6);
}

// ---- accessors ----

void CBlockDWG::setHandle(AcDbHandle handle) {
    m_dbHandle = handle;
    CBlock::setHandle(CString(handle.text().c_str()));
}

void CBlockDWG::setHandle(CString sHandle) {
    CBlock::setHandle(sHandle);
    m_dbHandle = AcDbHandle(sHandle.GetString());
}

void CBlockDWG::setHatch(CHatch* pHatch) {
    replaceOwned(m_pHatch, pHatch);
}

void CBlockDWG::setAssets(CAssets* pAssets) {
    replaceOwned(m_pAssets, pAssets);
}

void CBlockDWG::setAttributes(CAttributes* pAttributes) {
    replaceOwned(m_pAttributes, pAttributes);
}

CString CBlockDWG::getAreaUnitsText() const {
    return getUnits() == 0 ? L"sq.m." : L"sq.ft.";
}

CString CBlockDWG::getLengthUnitsText() const {
    return getUnits() == 0 ? L"m." : L"ft.";
}

// ---- handle lists ----

void CBlockDWG::setHandles(HandleList which, CString sHandles, AcDbDatabase* pDatabase,
                           LPCTSTR sProcSig) {
    try {
        AcArray<AcDbHandle>& handles = list(which);
        handles.removeAll();
        AcArray<AcDbHandle> items;
        CAcadUtilities::convertHandlesStringToArray(sHandles, items);
        for (const AcDbHandle& handle : items) {
            if (blockhost::resolves(pDatabase, handle))
                handles.append(handle);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, sProcSig);
    }
}

void CBlockDWG::setHandlesToMinus(CString sHandles, AcDbDatabase* pDatabase) {
    setHandles(HandleList::Minus, sHandles, pDatabase, _T("CBlockDWG::setHandlesToMinus"));
}

void CBlockDWG::setHandlesToAdd(CString sHandles, AcDbDatabase* pDatabase) {
    setHandles(HandleList::Add, sHandles, pDatabase, _T("CBlockDWG::setHandlesToAdd"));
}

void CBlockDWG::setHandlesToMinus(const AcDbObjectIdArray& ids) {
    try {
        m_handlesToMinus.removeAll();
        for (const AcDbObjectId& id : ids) {
            AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForRead);
            if (pEntity.openStatus() != Acad::eOk)
                continue;
            AcDbHandle handle;
            pEntity->getAcDbHandle(handle);
            m_handlesToMinus.append(handle);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::setHandlesToMinus"));
    }
}

void CBlockDWG::setHandlesToAdd(const AcDbObjectIdArray& ids) {
    try {
        m_handlesToAdd.removeAll();
        for (const AcDbObjectId& id : ids) {
            AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForRead);
            if (pEntity.openStatus() != Acad::eOk ||
                !blockhost::isExactly(pEntity.object(), L"AcDbPolyline"))
                continue;
            AcDbHandle handle;
            pEntity->getAcDbHandle(handle);
            m_handlesToAdd.append(handle);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::setHandlesToAdd"));
    }
}

void CBlockDWG::addHandleToMinus(AcDbHandle handle, AcDbDatabase* pDatabase) {
    if (pDatabase == nullptr || blockhost::resolves(pDatabase, handle))
        m_handlesToMinus.append(handle);
}

void CBlockDWG::addHandleToAdd(AcDbHandle handle, AcDbDatabase* pDatabase) {
    if (pDatabase == nullptr || blockhost::resolves(pDatabase, handle))
        m_handlesToAdd.append(handle);
}

void CBlockDWG::removeHandleToMinus(int iIndex) {
    if (iIndex >= 0 && iIndex < m_handlesToMinus.length())
        m_handlesToMinus.removeAt(iIndex);
}

void CBlockDWG::removeHandleToAdd(int iIndex) {
    if (iIndex >= 0 && iIndex < m_handlesToAdd.length())
        m_handlesToAdd.removeAt(iIndex);
}

CString CBlockDWG::handlesAsString(const AcArray<AcDbHandle>& handles) {
    CString sText;
    for (const AcDbHandle& handle : handles) {
        sText += handle.text().c_str();
        sText += L",";
    }
    return sText;
}

CString CBlockDWG::getHandlesToMinusAsString() const {
    return handlesAsString(m_handlesToMinus);
}

CString CBlockDWG::getHandlesToAddAsString() const {
    return handlesAsString(m_handlesToAdd);
}

// ---- in the drawing ----

void CBlockDWG::applyToDWG(CAcadDrawing* pDrawing, COrvanExceptions* pErrors) {
    try {
        CDrawingLock lock(pDrawing);
        if (!lock.held()) {
            const CString sDrawing =
                pDrawing != nullptr ? pDrawing->getFolder() + pDrawing->getFileName() : CString();
            throw new CEXUnhandled(static_cast<Acad::ErrorStatus>(lock.status()),
                                   ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                   _T("CBlockDWG::applyToDWG"), 751, sDrawing, nullptr);
        }
        AcDbObjectPointer<AcDbEntity> pReference(m_objectId, AcDb::kForWrite);
        if (pReference.openStatus() != Acad::eOk)
            return;
        updateBlockIdentifier(pReference.object());
        writeXData(pReference.object());
        if (m_pAttributes != nullptr && m_pAttributes->getCount() > 0) {
            AcGeMatrix3d ucs;
            acdbUcsMatrix(ucs, pReference->database());
            m_pAttributes->applyToDWGReference(pReference.object(), ucs, nullptr);
        }
        if (m_pHatch != nullptr) {
            AcDbObjectId hatchId;
            hatchBlock(pDrawing, pReference.object(), hatchId, pErrors);
            if (getHyperlinks() != nullptr && !hatchId.isNull())
                hyperlinkHatch(hatchId);
        }
        if (getHyperlinks() != nullptr)
            hyperlinkBlock(pReference.object(), 0);
        if (m_iZoomTo)
            zoomToBlock(pDrawing, pReference.object());
        if (m_pAssets != nullptr)
            m_pAssets->applyToDWG(pDrawing, pErrors);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::applyToDWG"));
    }
}

void CBlockDWG::updateAttributes(const AcGeMatrix3d& ucs, AcGePoint3d* pPosition) {
    try {
        if (m_pAttributes != nullptr)
            m_pAttributes->applyToDWG(m_objectId, ucs, pPosition);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::updateAttributes"));
    }
}

void CBlockDWG::zoomToBlock(CAcadDrawing* pDrawing, AcDbEntity* pEntity) {
    try {
        AcGePoint3d ptMin(DBL_MAX, DBL_MAX, DBL_MAX), ptMax(-DBL_MAX, -DBL_MAX, -DBL_MAX);
        CAcadUtilities::getBlockExtents(pEntity, ptMin, ptMax, m_dblZoomFactor);
        if (pDrawing != nullptr && ptMin.x <= ptMax.x)
            pDrawing->zoomWindow(ptMin, ptMax);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::zoomToBlock"));
    }
}

void CBlockDWG::copyInto(CBlockDWG* pTarget) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    try {
        pTarget->m_objectId = m_objectId;
        pTarget->setHandle(m_dbHandle);
        pTarget->m_iColour = m_iColour;
        pTarget->m_iLineWeight = m_iLineWeight;
        pTarget->m_sBlockName = m_sBlockName;
        pTarget->m_sXDataAppName = m_sXDataAppName;
        for (const AcDbHandle& handle : m_handlesToMinus)
            pTarget->addHandleToMinus(handle, nullptr);
        for (const AcDbHandle& handle : m_handlesToAdd)
            pTarget->addHandleToAdd(handle, nullptr);
        pTarget->setArea(getArea());
        if (m_pAttributes != nullptr) {
            auto pAttributes = std::make_unique<CAttributes>();
            m_pAttributes->copyOrvanAttributesTo(pAttributes.get());
            pTarget->setAttributes(pAttributes.release());
        }
        if (m_pHatch != nullptr) {
            auto pHatch = std::make_unique<CHatch>();
            m_pHatch->copyTo(pHatch.get());
            pTarget->setHatch(pHatch.release());
        }
        if (getHyperlinks() != nullptr) {
            auto pHyperlinks = std::make_unique<CHyperlinks>();
            getHyperlinks()->copyTo(pHyperlinks.get());
            pTarget->setHyperlinks(pHyperlinks.release());
        }
        if (m_pAssets != nullptr) {
            auto pAssets = std::make_unique<CAssets>();
            m_pAssets->copyTo(pAssets.get());
            pTarget->setAssets(pAssets.release());
        }
        CBlock::copyTo(pTarget);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::copyInto"));
    }
}

void CBlockDWG::updateBlockIdentifier(AcDbEntity* pEntity) {
    try {
        if (!blockhost::isExactly(pEntity, L"AcDbBlockReference"))
            return;
        AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(
            static_cast<AcDbBlockReference*>(pEntity)->blockTableRecord(), AcDb::kForWrite);
        if (pDefinition.openStatus() != Acad::eOk)
            return;
        if (CString(pDefinition->qvName().c_str()) != m_sBlockName && !m_sBlockName.IsEmpty())
            pDefinition->setName(m_sBlockName);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::updateBlockIdentifier"));
    }
}

void CBlockDWG::hyperlinkBlock(AcDbEntity* pEntity, int iWholeBlock) {
    try {
        if (getHyperlinks() == nullptr || !blockhost::isExactly(pEntity, L"AcDbBlockReference"))
            return;
        auto* pReference = static_cast<AcDbBlockReference*>(pEntity);
        AcDbObjectIdArray targets;
        if (iWholeBlock == 0) {
            getHyperlinks()->attachTo(pReference);
            const int iHost = hostIdentity.getType();
            if (iHost == CHostIdentity::HOST_AUTOCAD_LT || iHost == CHostIdentity::HOST_AUTOCAD)
                targets = blockhost::attributeIdsOf(pReference);
        } else {
            AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                                AcDb::kForRead);
            if (pDefinition.openStatus() == Acad::eOk)
                targets = blockhost::entityIdsOf(pDefinition.object());
            targets.append(blockhost::attributeIdsOf(pReference));
        }
        for (const AcDbObjectId& id : targets) {
            AcDbObjectPointer<AcDbEntity> pTarget(id, AcDb::kForWrite);
            if (pTarget.openStatus() == Acad::eOk)
                getHyperlinks()->attachTo(pTarget.object());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::hyperlinkBlock"));
    }
}
