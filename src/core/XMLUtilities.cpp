#include "core/XMLUtilities.h"

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"

static const LPCTSTR SOURCE_FILE = _T("XMLUtilities.cpp");

static const LPCTSTR DOM_DOCUMENT = L"Msxml2.DOMDocument";
static const DWORD ANY_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

CXMLUtilities::CXMLUtilities() {
    const HRESULT hr = CoInitialize(NULL);
    m_bComInitialised = (hr == S_OK || hr == S_FALSE);
    // Not tested: without MSXML the reference stays empty and the first use raises.
    m_pDocument.CreateInstance(DOM_DOCUMENT, NULL, ANY_SERVER);
}

CXMLUtilities::~CXMLUtilities() {
    m_pDocument = nullptr;
    if (m_bComInitialised)
        CoUninitialize();
}

MSXML2::IXMLDOMNodePtr CXMLUtilities::createNode(CString name, CString text, CString namespaceURI) {
    try {
        MSXML2::IXMLDOMNodePtr node =
            m_pDocument->createNode(_variant_t(static_cast<long>(MSXML2::NODE_ELEMENT)),
                                    _bstr_t(name.GetString()), _bstr_t(namespaceURI.GetString()));
        node->Puttext(_bstr_t(text.GetString()));
        return node;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CXMLUtilities::createNode"));
    }
}

MSXML2::IXMLDOMNodePtr CXMLUtilities::createNode(CString name, CString namespaceURI) {
    try {
        return m_pDocument->createNode(_variant_t(static_cast<long>(MSXML2::NODE_ELEMENT)),
                                       _bstr_t(name.GetString()),
                                       _bstr_t(namespaceURI.GetString()));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CXMLUtilities::createNode"));
    }
}

MSXML2::IXMLDOMNodePtr CXMLUtilities::createUniversalTimeNode(CString namespaceURI,
                                                              COleDateTime dateTime) {
    try {
        MSXML2::IXMLDOMNodePtr date = createNode(L"date", namespaceURI);
        const struct {
            LPCTSTR name;
            int value;
        } parts[] = {
            {L"year", dateTime.GetYear()},     {L"month", dateTime.GetMonth()},
            {L"day", dateTime.GetDay()},       {L"hour", dateTime.GetHour()},
            {L"minute", dateTime.GetMinute()}, {L"second", dateTime.GetSecond()},
        };
        for (const auto& part : parts) {
            date->appendChild(
                createNode(part.name, CUtilities::IntToCString(part.value), namespaceURI));
        }
        return date;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CXMLUtilities::createUniversalTimeNode"));
    }
}

void CXMLUtilities::createXMLDoc(CString path, CString stylesheetHref, CString rootName,
                                 CString namespaceURI) {
    try {
        MSXML2::IXMLDOMDocumentPtr document;
        document.CreateInstance(DOM_DOCUMENT, NULL, ANY_SERVER);
        document->appendChild(
            document->createProcessingInstruction(L"xml", L"version=\"1.0\" encoding=\"UTF-8\""));
        if (!stylesheetHref.IsEmpty()) {
            const CString data = L"type=\"text/xsl\" href=\"" + stylesheetHref + L"\"";
            document->appendChild(
                document->createProcessingInstruction(L"xml-stylesheet", data.GetString()));
        }
        MSXML2::IXMLDOMNodePtr root;
        if (!namespaceURI.IsEmpty()) {
            root = document->createNode(_variant_t(static_cast<long>(MSXML2::NODE_ELEMENT)),
                                        _bstr_t(rootName.GetString()),
                                        _bstr_t(namespaceURI.GetString()));
        } else {
            root = document->createElement(_bstr_t(rootName.GetString()));
        }
        document->appendChild(root);
        document->save(_variant_t(path.GetString()));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CXMLUtilities::createXMLDoc"));
    }
}

CString CXMLUtilities::nameOf(MSXML2::IXMLDOMNodePtr node) {
    if (node == nullptr)
        return CString();
    return CString(static_cast<const wchar_t*>(node->GetbaseName()));
}

CString CXMLUtilities::textOf(MSXML2::IXMLDOMNodePtr node) {
    if (node == nullptr)
        return CString();
    return CString(static_cast<const wchar_t*>(node->Gettext()));
}

BOOL CXMLUtilities::readElement(
    MSXML2::IXMLDOMNodePtr node, LPCTSTR name,
    const std::function<void(const CString&, MSXML2::IXMLDOMNodePtr)>& visit) {
    if (node == nullptr || nameOf(node) != name || node->hasChildNodes() == VARIANT_FALSE)
        return FALSE;
    MSXML2::IXMLDOMNodeListPtr children = node->GetchildNodes();
    const long count = children->Getlength();
    for (long i = 0; i < count; ++i) {
        MSXML2::IXMLDOMNodePtr child = children->Getitem(i);
        visit(nameOf(child), child);
    }
    return TRUE;
}
