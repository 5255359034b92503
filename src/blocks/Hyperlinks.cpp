#include "blocks/Hyperlinks.h"

#include "blocks/Hyperlink.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/RecordsetReader.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("Hyperlinks.cpp");

CHyperlinks::CHyperlinks(AcDbEntity* pEntity) {
    if (pEntity == nullptr)
        return;
    AcDbHyperlinkCollection* pCollection = nullptr;
    try {
        AcDbEntityHyperlinkPE* pProtocol = ACRX_PE_PTR(pEntity, AcDbEntityHyperlinkPE);
        if (pProtocol == nullptr ||
            pProtocol->getHyperlinkCollection(pEntity, pCollection) != Acad::eOk ||
            pCollection == nullptr)
            return;
        for (int i = 0; i < pCollection->count(); i++) {
            const AcDbHyperlink* pLink = pCollection->item(i);
            add(new CHyperlink(pLink->name(), pLink->description()));
        }
        delete pCollection;
    } catch (...) {
        delete pCollection;
        deleteObjects();
        throwWrapped(SOURCE_FILE, _T("CHyperlinks::CHyperlinks"));
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
    CLayer::callProcedure(
        pStoredProcedure, iTimeout, _T("__gr_getAssetHyperlinks"), SOURCE_FILE,
        _T("CHyperlinks::getAssetHyperlinks"),
        [&](CParameters& parameters) {
            CLayer::addInt(parameters, _T("@categoryID"), iCategoryId);
            CLayer::addVarChar(parameters, _T("@handle"), sHandle);
        },
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
