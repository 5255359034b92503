#include "blocks/Hyperlink.h"

#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("Hyperlink.cpp");

void CHyperlink::copyTo(CHyperlink* pTarget) const {
    if (pTarget == nullptr)
        return;
    pTarget->setHref(m_sHref);
    pTarget->setDescription(m_sDescription);
}

MSXML2::IXMLDOMNodePtr CHyperlink::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pLink = xml.createNode(L"hyperlink", sNamespace);
        pLink->appendChild(xml.createNode(L"bhHref", m_sHref, sNamespace));
        if (!m_sDescription.IsEmpty())
            pLink->appendChild(xml.createNode(L"bhDescription", m_sDescription, sNamespace));
        return pLink;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlink::serialize"));
    }
}

void CHyperlink::deSerialize(MSXML2::IXMLDOMNodePtr pNode) {
    try {
        CXMLUtilities::readElement(pNode, L"hyperlink",
                                   [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                                       if (sName == L"bhHref")
                                           m_sHref = CXMLUtilities::textOf(pChild);
                                       else if (sName == L"bhDescription")
                                           m_sDescription = CXMLUtilities::textOf(pChild);
                                   });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CHyperlink::deSerialize"));
    }
}
