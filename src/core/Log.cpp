#include "core/Log.h"

#include "core/ComScope.h"
#include "core/FileUtilities.h"
#include "core/OrvanExceptions.h"
#include "core/PreferencesDocMon.h"
#include "core/XMLUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("Log.cpp");

namespace {

// Loads a log file into a new document and returns its root element (the first node of "/*"),
// or null when the file could not be read or has none.
MSXML2::IXMLDOMNodePtr loadRoot(MSXML2::IXMLDOMDocumentPtr& document, const CString& fileName) {
    document.CreateInstance(L"Msxml2.DOMDocument");
    document->Putasync(VARIANT_FALSE);
    document->load(_variant_t(static_cast<LPCTSTR>(fileName)));
    return document->selectNodes(L"/*")->Getitem(0);
}

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

void CLog::writeToXMLErrorLog(CString fileName, const CEXOrvan* error) {
    static const LPCTSTR PROC_SIG = _T("CLog::writeToXMLErrorLog");
    try {
        if (!CFileUtilities::fileExists(fileName))
            createXMLDocument(fileName, L"errors", ORVAN_ERROR_LOG_NAMESPACE, L"errorLog.xsl");
        CComScope com;
        MSXML2::IXMLDOMDocumentPtr document;
        MSXML2::IXMLDOMNodePtr root = loadRoot(document, fileName);
        if (!root)
            throw new CEXInvalidXMLFile(CString(), SOURCE_FILE, PROC_SIG, fileName);
        // A file of another kind is left as it is.
        if (!isNamed(root, L"errors"))
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
        if (!CFileUtilities::fileExists(fileName))
            createXMLDocument(fileName, L"debugging", ORVAN_DEBUG_LOG_NAMESPACE, L"debugLog.xsl");
        CComScope com;
        MSXML2::IXMLDOMDocumentPtr document;
        MSXML2::IXMLDOMNodePtr root = loadRoot(document, fileName);
        if (!root)
            throw new CEXInvalidXMLFile(CString(), SOURCE_FILE, PROC_SIG, fileName);
        // A file of another kind is left as it is.
        if (!isNamed(root, L"debugging"))
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
