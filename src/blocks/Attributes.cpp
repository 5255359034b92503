#include "blocks/Attributes.h"

#include "blocks/Attribute.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "database/ParameterVarChar.h"
#include "database/Parameters.h"
#include "database/RecordsetReader.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("Attributes.cpp");

CAttributes::~CAttributes() {
    deleteObjects();
}

void CAttributes::add(CAttribute* pAttribute, BOOL bAllowDuplicates) {
    if (pAttribute == nullptr)
        return;
    for (int i = 0; i < m_iCount; i++) {
        CAttribute* pHeld = m_attributes.GetAt(i);
        if (pHeld == pAttribute)
            return;
    }
    if (!bAllowDuplicates && getAtAttributeByTag(pAttribute->getTag()) != nullptr) {
        delete pAttribute;
        return;
    }
    try {
        m_attributes.Add(pAttribute);
    } catch (...) {
        delete pAttribute;
        throw new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, _T("CAttributes::add"));
    }
    m_iCount++;
}

CAttribute* CAttributes::getAt(int iIndex) const {
    return m_attributes.GetAt(iIndex);
}

CAttribute* CAttributes::getAtAttribute(int iKind) const {
    for (int i = 0; i < m_iCount; i++) {
        auto* pOrvan = dynamic_cast<COrvanAttribute*>(m_attributes.GetAt(i));
        if (pOrvan != nullptr && pOrvan->getKind() == iKind)
            return pOrvan;
    }
    return nullptr;
}

CAttribute* CAttributes::getAtAttributeByTag(CString sTag) const {
    for (int i = 0; i < m_iCount; i++) {
        if (m_attributes.GetAt(i)->getTag() == sTag)
            return m_attributes.GetAt(i);
    }
    return nullptr;
}

void CAttributes::copyTo(CAttributes* pTarget, bool bOrvan, LPCTSTR sProcSig) const {
    if (pTarget == nullptr || pTarget == this)
        return;
    try {
        pTarget->setTextHeight(m_dblTextHeight);
        pTarget->setRotation(m_dblRotation);
        pTarget->setWidthFactor(m_dblWidthFactor);
        for (int i = 0; i < m_iCount; i++) {
            const CAttribute* pSource = m_attributes.GetAt(i);
            const auto* pOrvan = dynamic_cast<const COrvanAttribute*>(pSource);
            CAttribute* pClone = bOrvan && pOrvan != nullptr ? pOrvan->clone() : pSource->clone();
            pTarget->add(pClone, FALSE);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, sProcSig);
    }
}

void CAttributes::copyAttributesTo(CAttributes* pTarget) const {
    copyTo(pTarget, false, _T("CAttributes::copyAttributesTo"));
}

void CAttributes::copyOrvanAttributesTo(CAttributes* pTarget) const {
    copyTo(pTarget, true, _T("CAttributes::copyOrvanAttributesTo"));
}

void CAttributes::deleteObjects() {
    for (int i = 0; i < m_attributes.GetSize(); i++)
        delete m_attributes.GetAt(i);
    m_attributes.RemoveAll();
    m_iCount = 0;
}

void CAttributes::applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingId, CString sHandle,
                             int iTimeout) const {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_attributes.GetAt(i)->applyToIPR(pStoredProcedure, iDrawingId, sHandle, iTimeout);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttributes::applyToIPR"));
    }
}

void CAttributes::getAssetAttributes(CStoredProcedure* pStoredProcedure, int iDrawingId,
                                     CString sHandle, int iTimeout) {
    CLayer::callProcedure(
        pStoredProcedure, iTimeout, _T("[idr]..[getAssetAttributes]"), SOURCE_FILE,
        _T("CAttributes::getAssetAttributes"),
        [&](CParameters& parameters) {
            CLayer::addInt(parameters, _T("@drawingID"), iDrawingId);
            auto* pHandle = new CParameterVarChar;
            pHandle->setName(L"@handle");
            pHandle->setDirection(adParamInput);
            pHandle->setSize(50);
            pHandle->setValue(_bstr_t(sHandle.GetString()));
            parameters.add(pHandle);
        },
        [&](_RecordsetPtr pRows) {
            CRecordsetReader rows(pRows);
            while (rows.next()) {
                CString sTag, sValue;
                rows.read(L"aTag", sTag);
                rows.read(L"aValue", sValue);
                add(new CAttribute(sTag, sValue, 1), FALSE);
            }
            rows.close();
        });
}
