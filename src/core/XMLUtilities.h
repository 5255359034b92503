// CXMLUtilities: the one place where the module makes XML nodes. An operation creates one on the
// stack, asks it for elements (always in a namespace, with or without text) and for date
// elements, appends them where it needs them (also to nodes of other documents) and lets the
// object go. It also writes a new, empty XML file with its declaration, an optional stylesheet
// instruction and a root element.
//
// The object owns one "Msxml2.DOMDocument" and initialises COM for the calling thread while it
// lives. When MSXML cannot be created the object still constructs; the first operation raises
// an error chain (a COM error, invalid pointer, wrapped in CEXUnhandled).
#pragma once

#include <functional>

#include "StdAfx.h"

class CXMLUtilities {
  public:
    CXMLUtilities();
    // Balances the constructor's COM initialisation when that succeeded.
    ~CXMLUtilities();
    CXMLUtilities(const CXMLUtilities&) = delete;
    CXMLUtilities& operator=(const CXMLUtilities&) = delete;

    // A new element `name` in the namespace, with `text` as its text, attached to nothing.
    MSXML2::IXMLDOMNodePtr createNode(CString name, CString text, CString namespaceURI);
    // A new, empty element `name` in the namespace.
    MSXML2::IXMLDOMNodePtr createNode(CString name, CString namespaceURI);
    // An element "date" with the children "year", "month", "day", "hour", "minute" and "second",
    // each holding that part of `dateTime` in decimal without leading zeros. The date-time is
    // used as given (callers pass the local time).
    MSXML2::IXMLDOMNodePtr createUniversalTimeNode(CString namespaceURI, COleDateTime dateTime);
    // Writes a new file at `path` (replacing any): the declaration version="1.0"
    // encoding="UTF-8", then an "xml-stylesheet" instruction for `stylesheetHref` unless it is
    // empty, then an empty root element `rootName`, in `namespaceURI` unless that is empty.
    // A file that cannot be written raises an error chain.
    void createXMLDoc(CString path, CString stylesheetHref, CString rootName, CString namespaceURI);

    // Reading, for every XML form of the module: element names are compared without their
    // namespace prefix, and elements of other names are passed over.
    // The node's name without its prefix; empty for a null node.
    static CString nameOf(MSXML2::IXMLDOMNodePtr node);
    // The node's text; empty for a null node.
    static CString textOf(MSXML2::IXMLDOMNodePtr node);
    // When `node` is the element `name` and has children, calls visit(childName, child) for each
    // child in document order and returns TRUE; otherwise returns FALSE and calls nothing.
    static BOOL readElement(
        MSXML2::IXMLDOMNodePtr node, LPCTSTR name,
        const std::function<void(const CString& childName, MSXML2::IXMLDOMNodePtr child)>& visit);

  private:
    MSXML2::IXMLDOMDocumentPtr m_pDocument;
    BOOL m_bComInitialised;
};
