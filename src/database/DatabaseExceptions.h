// The error kinds of the database layer: a connection that could not be made, and a failed
// stored-procedure call that keeps the call's XML form. Both can chain the errors that the
// provider left in the connection's Errors collection below themselves: each provider error
// becomes a CEXCustom (its description, its native error number as the code) whose inner error
// is the one made for the error before it, so that the first provider error is the innermost
// level of the chain and the one the error dialog shows.
#pragma once

#include "StdAfx.h"
#include "msado15.h"
#include "core/OrvanExceptions.h"

class CStoredProcedure;

class CEXConnection : public CEXOrvan {
  public:
    // The COM error's description (its system message when it carries no error information).
    CEXConnection(const _com_error& e, CString source, CString file, CString procSig);
    // "An error occurred whilst connecting to " + the connection's default database, with the
    // connection's provider errors chained below.
    CEXConnection(_ConnectionPtr connection, CString source, CString file, CString procSig);
};

class CEXStoredProcedure : public CEXOrvan {
  public:
    // Source and description are the COM error's (its system message when it carries no error
    // information); the XML node is the procedure's XML form in the error-log namespace.
    CEXStoredProcedure(const _com_error& e, CStoredProcedure* procedure, CString source,
                       CString file, CString procSig, int severity);
    // "An error occurred whilst executing [" + default database + "]..[" + procedure name + "]",
    // the XML node as above, the connection's provider errors chained below.
    CEXStoredProcedure(_ConnectionPtr connection, CStoredProcedure* procedure, CString source,
                       CString file, CString procSig, int severity);
    ~CEXStoredProcedure() override;

    // The call's XML form ("storedProcedure" with its name, date and parameters), or null when
    // there was no procedure or its form could not be built.
    MSXML2::IXMLDOMNodePtr getXMLNode() const { return m_xmlNode; }

  private:
    MSXML2::IXMLDOMNodePtr m_xmlNode;
};
