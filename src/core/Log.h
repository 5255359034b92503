// CLog: the module's XML error log and XML debug log, and a plain-text log.
//
// The error log holds the XML form of error chains (CEXOrvan::toXML), one "error" element per
// logged chain below the root "errors":
//
//     <?xml version="1.0" encoding="UTF-8"?>
//     <?xml-stylesheet type="text/xsl" href="errorLog.xsl"?>
//     <errors xmlns="urn:orvan:errorLog">
//       <error><date>...</date><class>...</class><procSig>...</procSig><source>...</source>
//         <description>...</description><severity>high</severity>
//         <innerException><error>...</error></innerException></error>
//     </errors>
//
// The debug log holds one entry per stored-procedure call below the root "debugging" (in the
// debug-log namespace); each entry is an "error" element of the error-log namespace with a
// "date", a "description" and, when the caller gives one, the caller's node (the procedure call's
// XML form):
//
//     <?xml version="1.0" encoding="UTF-8"?>
//     <?xml-stylesheet type="text/xsl" href="debugLog.xsl"?>
//     <debugging xmlns="urn:orvan:debugLog">
//       <error xmlns="urn:orvan:errorLog"><date>...</date><description>...</description>
//         ...the caller's node...</error>
//     </debugging>
//
// A log file is created with its declaration, stylesheet instruction and empty root on first
// use; its folder is not. Every call loads the whole file, appends in memory and saves it whole
// (nothing locks the file between the load and the save); a file whose root has another name is
// saved back without the new entry. A file that is not well-formed or has no root element is
// left untouched and the call fails.
//
// Every operation runs inside the catch-and-wrap convention (source file "Log").
#pragma once

#include "StdAfx.h"

#include <msxml6.h>

class CEXOrvan;

// The namespace of the debug log's root and of the nodes its callers add. The error log's elements
// are in ORVAN_ERROR_LOG_NAMESPACE (core/OrvanExceptions.h), the namespace of every error's XML
// form.
inline constexpr wchar_t ORVAN_DEBUG_LOG_NAMESPACE[] = L"urn:orvan:debugLog";

// The XML debug-log file that every stored-procedure call appends an entry to; empty (nothing is
// logged) unless something sets it. Core keeps it so that the database subsystem can read it
// without reaching up to the module.
extern CString debugLogPath;

class CLog {
  public:
    CLog() = default;
    virtual ~CLog() = default;

    // Writes a new log file (an existing one is replaced): the declaration, the stylesheet
    // instruction when `stylesheetHref` is not empty, and an empty root element of that name in
    // that namespace. A failure of the XML document (a missing folder, a path that cannot be
    // written, no XML component) raises a CEXInvalidXMLFile ("Invalid XML file - " + path) naming
    // "CLog::createXMLDocument", with the COM error's source as its source; any other failure
    // reaches the caller wrapped.
    void createXMLDocument(CString fileName, CString rootName, CString namespaceURI,
                           CString stylesheetHref);

    // Appends the XML form of the error chain to the error log at that path, creating the file
    // when it does not exist. The chain stays the caller's.
    void writeToXMLErrorLog(CString fileName, const CEXOrvan* error);
    // writeToXMLErrorLog for the error-log path ("acadErrorLogFilePath") of every block of the
    // module's server preferences (docMonPreferences) that names one, in order.
    void writeToXMLErrorLogs(const CEXOrvan* error);

    // Appends one entry to the debug log at that path, creating the file when it does not exist.
    // `node` (may be null) is moved into the entry. A file without a root element, and a file
    // that cannot be created, raise CEXInvalidXMLFile unwrapped.
    void writeToXMLDebugLog(CString fileName, CString description, MSXML2::IXMLDOMNodePtr node);
    // Builds one debug entry in `document` (date, description, then `node` when not null) and
    // appends it to `root`.
    void appendDebug(MSXML2::IXMLDOMDocumentPtr document, MSXML2::IXMLDOMNodePtr root,
                     CString description, MSXML2::IXMLDOMNodePtr node);

    // Appends the line "<local date and time>\t<text>" to a text file (created when missing;
    // others may read and write it meanwhile). The time reads as "05 Mar 2009 07:04:09".
    void outputToFile(CString fileName, CString text);

  private:
    // Loads the log at the path into a new document for an append, creating the file first
    // (with that root, namespace and stylesheet) when it does not exist. Returns the root, or
    // null when the file's root has another name. A file without a root element raises
    // CEXInvalidXMLFile naming `procSig`.
    MSXML2::IXMLDOMNodePtr openLog(MSXML2::IXMLDOMDocumentPtr& document, CString fileName,
                                   LPCTSTR rootName, LPCTSTR namespaceURI, LPCTSTR stylesheetHref,
                                   LPCTSTR procSig);
};
