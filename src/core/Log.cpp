#include "core/Log.h"

#include "core/ComScope.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"
#include "core/XMLUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("Log.cpp");

CString debugLogPath;

namespace {

bool isNamed(MSXML2::IXMLDOMNodePtr node, LPCTSTR name) {
    return CString(static_cast<const wchar_t*>(node->GetnodeName())) == name;
}

}  // namespace

void CLog::createXMLDocument(CString fileName, CString rootName, CString namespaceURI,
                             CString stylesheetHref) {
    static const LPCTSTR PROC_SIG = _T("CLog::createXMLDocument");
    try {
        try {
            CComScope com;
            MSXML2::IXMLDOMDocumentPtr document;
            document.CreateInstance(L"Msxml2.DOMDocument");
            document->appendChild(document->createProcessingInstruction(
                L"xml", L"version=\"1.0\" encoding=\"UTF-8\""));
            if (!stylesheetHref.IsEmpty()) {
                document->appendChild(document->createProcessingInstruction(
                    L"xml-stylesheet",
                    _bstr_t(L"type=\"text/xsl\" href=\"" + stylesheetHref + L"\"")));
            }
            document->appendChild(document->createNode(_variant_t(long(MSXML2::NODE_ELEMENT)),
                                                       _bstr_t(rootName), _bstr_t(namespaceURI)));
            document->save(_variant_t(static_cast<LPCTSTR>(fileName)));
        } catch (const _com_error& e) {
            throw new CEXInvalidXMLFile(CString(static_cast<const wchar_t*>(e.Source())),
                                        SOURCE_FILE, PROC_SIG, fileName);
        }
    } catch (CEXInvalidXMLFile*) {
        throw;
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

MSXML2::IXMLDOMNodePtr CLog::openLog(MSXML2::IXMLDOMDocumentPtr& document, CString fileName,
                                     LPCTSTR rootName, LPCTSTR namespaceURI, LPCTSTR stylesheetHref,
                                     LPCTSTR procSig) {
    if (!CFileUtilities::fileExists(fileName))
        createXMLDocument(fileName, rootName, namespaceURI, stylesheetHref);
    document.CreateInstance(L"Msxml2.DOMDocument");
    document->Putasync(VARIANT_FALSE);
    document->load(_variant_t(static_cast<LPCTSTR>(fileName)));
    MSXML2::IXMLDOMNodePtr root = document->selectNodes(L"/*")->Getitem(0);
    if (!root)
        throw new CEXInvalidXMLFile(CString(), SOURCE_FILE, procSig, fileName);
    // A file of another kind is left as it is.
    return isNamed(root, rootName) ? root : nullptr;
}

void CLog::writeToXMLErrorLog(CString fileName, const CEXOrvan* error) {
    static const LPCTSTR PROC_SIG = _T("CLog::writeToXMLErrorLog");
    try {
        CComScope com;
        MSXML2::IXMLDOMDocumentPtr document;
        MSXML2::IXMLDOMNodePtr root = openLog(document, fileName, L"errors",
                                              ORVAN_ERROR_LOG_NAMESPACE, L"errorLog.xsl", PROC_SIG);
        if (!root)
            return;
        root->appendChild(error->toXML());
        document->save(_variant_t(static_cast<LPCTSTR>(fileName)));
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

void CLog::writeToXMLErrorLogs(const CEXOrvan* error) {
    try {
        for (int i = 0; i < docMonPreferences.getCount(); ++i) {
            const CString fileName = docMonPreferences.getAt(i)->getAcadErrorLogFilePath();
            if (!fileName.IsEmpty())
                writeToXMLErrorLog(fileName, error);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLog::writeToXMLErrorLogs"));
    }
}

void CLog::writeToXMLDebugLog(CString fileName, CString description, MSXML2::IXMLDOMNodePtr node) {
    static const LPCTSTR PROC_SIG = _T("CLog::writeToXMLDebugLog");
    try {
        CComScope com;
        MSXML2::IXMLDOMDocumentPtr document;
        MSXML2::IXMLDOMNodePtr root = openLog(document, fileName, L"debugging",
                                              ORVAN_DEBUG_LOG_NAMESPACE, L"debugLog.xsl", PROC_SIG);
        if (!root)
            return;
        appendDebug(document, root, description, node);
        document->save(_variant_t(static_cast<LPCTSTR>(fileName)));
    } catch (CEXInvalidXMLFile*) {
        throw;
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

void CLog::appendDebug(MSXML2::IXMLDOMDocumentPtr document, MSXML2::IXMLDOMNodePtr root,
                       CString description, MSXML2::IXMLDOMNodePtr node) {
    try {
        MSXML2::IXMLDOMNodePtr entry = document->createNode(_variant_t(long(MSXML2::NODE_ELEMENT)),
                                                            L"error", ORVAN_ERROR_LOG_NAMESPACE);
        root->appendChild(entry);
        CXMLUtilities xml;
        entry->appendChild(
            xml.createUniversalTimeNode(ORVAN_ERROR_LOG_NAMESPACE, COleDateTime::GetCurrentTime()));
        entry->appendChild(xml.createNode(L"description", description, ORVAN_ERROR_LOG_NAMESPACE));
        if (node)
            entry->appendChild(node);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLog::appendDebug"));
    }
}

void CLog::outputToFile(CString fileName, CString text) {
    try {
        CStdioFile file(fileName, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite |
                                      CFile::shareDenyNone | CFile::typeText);
        file.SeekToEnd();
        file.WriteString(CTime::GetCurrentTime().Format(L"%d %b %Y %H:%M:%S") + L"\t" + text +
                         L"\n");
        file.Close();
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLog::outputToFile"));
    }
}
