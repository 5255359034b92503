// CParameters: the parameters of one stored-procedure call, in the order in which the procedure
// declares them (the database binds them by position). The list owns its parameters: it deletes
// each one through its virtual destructor when it is emptied or destroyed.
//
// Every operation with a body wraps its failures in a CEXUnhandled naming "CParameters::" and
// itself, with the kind's own error (CParameterInt::addParameterToCommand, ...) as inner error.
#pragma once

#include "StdAfx.h"
#include "msado15.h"

class CParameter;

class CParameters {
  public:
    CParameters() = default;
    // Deletes every parameter.
    virtual ~CParameters();
    CParameters(const CParameters&) = delete;
    CParameters& operator=(const CParameters&) = delete;

    // Appends a parameter and takes it over; returns the new count.
    int add(CParameter* parameter);
    int getCount() const { return m_count; }
    // The parameter at an index (0 to count - 1; outside raises CInvalidArgException); the list
    // keeps it.
    CParameter* getAt(int index) const { return m_parameters.GetAt(index); }
    // The first parameter, in list order, whose name equals `name` exactly (case-sensitive; an
    // unset name equals the empty one), or null.
    CParameter* getParameter(_bstr_t name);

    // Appends every parameter to the command, in list order.
    void addParametersToCommand(_CommandPtr command);
    // After a run: every output and input-output parameter, in list order, takes its value from
    // the command's Parameters (a NULL leaves it unchanged); input parameters are skipped.
    void getOutputParametersFromCommand(_CommandPtr command);
    // "parameters" in `namespaceURI` holding every parameter's element, in list order.
    MSXML2::IXMLDOMNodePtr serialize(CString namespaceURI);
    // A dump for reading: per parameter "\tParameters\n\t\tName: <name>\t\tValue: <value>\n",
    // the value as the XML form writes it.
    CString outToString();
    // Deletes every parameter and empties the list.
    void deleteObjects();

  private:
    CArray<CParameter*, CParameter*> m_parameters;
    int m_count = 0;
};
