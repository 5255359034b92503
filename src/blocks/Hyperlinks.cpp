#include "blocks/Hyperlinks.h"

#include <memory>

#include "blocks/BlockDWGHost.h"
#include "blocks/Hyperlink.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/RecordsetReader.h"
#include "blocks/ProcedureCall.h"

static const LPCTSTR SOURCE_FILE = _T("Hyperlinks.cpp");

CHyperlinks::CHyperlinks(AcDbEntity* pEntity) {
    try {
        getBlockHyperlinks(pEntity, 0);
    } catch (...) {
        deleteObjects();
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::CHyperlinks"));
    }
}

void CHyperlinks::getEntityHyperlinks(AcDbEntity* pEntity) {
    AcDbHyperlinkCollection* pRaw = nullptr;
    try {
        if (pEntity == nullptr)
            return;
        AcDbEntityHyperlinkPE* pProtocol = ACRX_PE_PTR(pEntity, AcDbEntityHyperlinkPE);
        if (pProtocol == nullptr)
            return;
        const Acad::ErrorStatus es = pProtocol->getHyperlinkCollection(pEntity, pRaw, false, true);
        std::unique_ptr<AcDbHyperlinkCollection> pCollection(pRaw);
        pRaw = nullptr;
        if (es != Acad::eOk || !pCollection)
            return;
        for (int i = 0; i < pCollection->count(); i++) {
            const AcDbHyperlink* pLink = pCollection->item(i);
            add(new CHyperlink(pLink->name(), pLink->description()));
        }
    } catch (...) {
        delete pRaw;
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::getEntityHyperlinks"));
    }
}

void CHyperlinks::getBlockHyperlinks(AcDbEntity* pEntity, int iWholeDefinition) {
    try {
        if (iWholeDefinition == 0) {
            getEntityHyperlinks(pEntity);
            return;
        }
        auto* pReference = AcDbBlockReference::cast(pEntity);
        if (pReference == nullptr)
            return;
        AcDbObjectIdArray ids;
        {
            AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                                AcDb::kForRead);
            if (pDefinition.openStatus() != Acad::eOk)
                return;
            ids = blockhost::entityIdsOf(pDefinition.object());
        }
        for (const AcDbObjectId& id : ids) {
            AcDbObjectPointer<AcDbEntity> pMember(id, AcDb::kForRead);
            if (pMember.openStatus() == Acad::eOk)
                getEntityHyperlinks(pMember.object());
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::getBlockHyperlinks"));
    }
}

void CHyperlinks::setHyperlinks(CString sText, long lId) {
    try {
        int iStart = 0;
        while (true) {
            const int iEnd = sText.Find(L';', iStart);
            const CString sItem = iEnd < 0 ? sText.Mid(iStart) : sText.Mid(iStart, iEnd - iStart);
            CString sAddress = sItem, sDescription = sItem;
            const int iComma = sItem.Find(L',');
            if (iComma >= 0) {
                sAddress = sItem.Left(iComma);
                sDescription = sItem.Mid(iComma + 1);
            }
            if (sAddress.IsEmpty())
                sAddress = sDescription;
            if (sDescription.IsEmpty())
                sDescription = sAddress;
            sAddress.Trim();
            sDescription.Trim();
            if (!sAddress.IsEmpty()) {
                auto pLink = std::make_unique<CHyperlink>(L"", sDescription);
                pLink->setHyperlink(sAddress, lId);
                add(pLink.release());
            }
            if (iEnd < 0)
                break;
            iStart = iEnd + 1;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::setHyperlinks"));
    }
}

Acad::ErrorStatus CHyperlinks::attachTo(AcDbObject* pObject) const {
    if (pObject == nullptr)
        return Acad::eNullObjectPointer;
    AcDbEntityHyperlinkPE* pProtocol = ACRX_PE_PTR(pObject, AcDbEntityHyperlinkPE);
    if (pProtocol == nullptr)
        return Acad::eNotApplicable;
    AcDbHyperlinkCollection collection;
    for (int i = 0; i < m_iCount; i++)
        collection.addTail(m_hyperlinks.GetAt(i)->getHref(),
                           m_hyperlinks.GetAt(i)->getDescription(), L"");
    return pProtocol->setHyperlinkCollection(pObject, &collection);
}

CHyperlinks::~CHyperlinks() {
    deleteObjects();
}

CHyperlink* CHyperlinks::getAt(int iIndex) const {
    return m_hyperlinks.GetAt(iIndex);
}

void CHyperlinks::add(CHyperlink* pHyperlink) {
    if (pHyperlink == nullptr)
        return;
    for (int i = 0; i < m_iCount; i++) {
        if (m_hyperlinks.GetAt(i)->getHref() == pHyperlink->getHref()) {
            delete pHyperlink;
            return;
        }
    }
    try {
        m_hyperlinks.Add(pHyperlink);
    } catch (...) {
        delete pHyperlink;
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::add"));
    }
    m_iCount++;
}

void CHyperlinks::copyTo(CHyperlinks* pTarget) const {
    if (pTarget == nullptr)
        return;
    try {
        for (int i = 0; i < m_iCount; i++) {
            CHyperlink* pCopy = new CHyperlink;
            m_hyperlinks.GetAt(i)->copyTo(pCopy);
            pTarget->add(pCopy);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::copyTo"));
    }
}

void CHyperlinks::deleteObjects() {
    for (int i = 0; i < m_hyperlinks.GetSize(); i++)
        delete m_hyperlinks.GetAt(i);
    m_hyperlinks.RemoveAll();
    m_iCount = 0;
}

MSXML2::IXMLDOMNodePtr CHyperlinks::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pLinks = xml.createNode(L"hyperlinks", sNamespace);
        for (int i = 0; i < m_iCount; i++)
            pLinks->appendChild(m_hyperlinks.GetAt(i)->serialize(sNamespace));
        return pLinks;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::serialize"));
    }
}

void CHyperlinks::deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes) {
    try {
        if (pNodes == nullptr)
            return;
        const long lCount = pNodes->Getlength();
        for (long i = 0; i < lCount; i++) {
            MSXML2::IXMLDOMNodePtr pNode = pNodes->Getitem(i);
            if (CXMLUtilities::nameOf(pNode) != L"hyperlink")
                continue;
            CHyperlink* pLink = new CHyperlink;
            try {
                pLink->deSerialize(pNode);
            } catch (...) {
                delete pLink;
                throw;
            }
            add(pLink);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::deSerialize"));
    }
}

void CHyperlinks::getAssetHyperlinks(CStoredProcedure* pStoredProcedure, int iTimeout,
                                     int iCategoryId, CString sHandle) {
    readHyperlinks(pStoredProcedure, iTimeout, _T("__gr_getAssetHyperlinks"),
                   _T("CHyperlinks::getAssetHyperlinks"), iCategoryId, sHandle);
}

void CHyperlinks::getBlockHyperlinks(CStoredProcedure* pStoredProcedure, int iTimeout,
                                     int iCategoryId, CString sHandle) {
    readHyperlinks(pStoredProcedure, iTimeout, _T("__gr_getBlockHyperlinks"),
                   _T("CHyperlinks::getBlockHyperlinks"), iCategoryId, sHandle);
}

void CHyperlinks::readHyperlinks(CStoredProcedure* pStoredProcedure, int iTimeout,
                                 LPCTSTR sProcedure, LPCTSTR sProcSig, int iCategoryId,
                                 CString sHandle) {
    blockdb::callProcedure(
        pStoredProcedure, iTimeout, sProcedure, SOURCE_FILE, sProcSig, blockdb::Mode::ReadRows,
        [&](CParameters& parameters) {
            blockdb::addInt(parameters, _T("@categoryID"), iCategoryId);
            blockdb::addVarChar(parameters, _T("@handle"), sHandle, 255);
        },
        nullptr,
        [&](_RecordsetPtr pRows) {
            CRecordsetReader rows(pRows);
            while (rows.next()) {
                CString sHref, sDescription;
                rows.read(L"bhHref", sHref);
                rows.read(L"bhDescription", sDescription);
                add(new CHyperlink(sHref, sDescription));
            }
            rows.close();
        });
}
