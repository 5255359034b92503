// CStoredProcedure: one connection (CDataServices) plus one stored-procedure call: the
// procedure's name, an attached parameter list and a command time-out.
//
// The call protocol every caller follows:
//   1. build a CParameters list (create each parameter, set its name, direction, size and
//      value, add it);
//   2. build (or receive) the CStoredProcedure; setTimeout (a caller that received the object
//      passes its own time-out), setName, attach the list with a CAttachedParameters guard;
//   3. run one execSP operation;
//   4. read the output parameters or the record set (see database/Recordset.h);
//   5. let the guard detach and delete the list; delete the procedure when the caller built it.
//
// Every execSP operation runs the command synchronously on this object's connection. When the
// module's debug-log path is set, each run first appends the call's XML form to that log, so a
// call that then fails is logged too. Failures arrive as CEXUnhandled chains naming the
// operation: a failure of ADO or the database becomes a CEXUnhandled with the COM error's source
// and the driver's message (an unknown procedure, a text longer than its parameter's size, a
// time-out); a call on an unconnected object raises instead of doing nothing.
#pragma once

#include "StdAfx.h"
#include "msado15.h"
#include "database/DataServices.h"

class CParameters;

class CStoredProcedure : public CDataServices {
  public:
    // Opens the connection as CDataServices does (raising CEXConnection when it cannot); name
    // empty, no parameters, the command time-out the same as the connection's.
    CStoredProcedure(CString dataSource, CString initialCatalog, CString userId, CString password,
                     int timeout);
    // Closes the connection. The attached list is the caller's and is not touched.
    ~CStoredProcedure() override;

    // The procedure's name as the database expects it, any schema or catalogue prefix in
    // brackets included ("[idr]..[getAssetAttributes]").
    void setName(_bstr_t name) { m_name = name; }
    _bstr_t getName() const { return m_name; }
    // Attaches a list (null detaches). The list is not owned: it must outlive every run and every
    // serialize while attached; CAttachedParameters keeps that rule.
    void setParameters(CParameters* parameters) { m_parameters = parameters; }
    CParameters* getParameters() const { return m_parameters; }
    // The command time-out in seconds (0 waits without limit).
    void setTimeout(int timeout) { m_timeout = timeout; }
    int getTimeout() const { return m_timeout; }

    // Runs the procedure without parameters and drops what it returns.
    void execSPNoReturnNoParas();
    // Runs it with the attached parameters (none when no list is attached or it is empty) and
    // drops what it returns.
    void execSPNoReturnParas();
    // As execSPNoReturnParas, then copies the values of the output and input-output parameters
    // back into the attached list (a NULL leaves a parameter as it was).
    void execSPNoReturnParasReturn();
    // Run without / with the parameters and return the record set of the procedure's first
    // result: open with its rows, or closed when the procedure returns no rows at all. The
    // caller owns it and closes it when it is open.
    _RecordsetPtr execSPReturnNoParas();
    _RecordsetPtr execSPReturnParas();

    // The call's XML form: "storedProcedure" in `namespaceURI` with "name", a "date" (now, in
    // the error-log namespace) and, when a list is attached, its "parameters" element. The
    // element belongs to a document of its own; append it where it is needed.
    MSXML2::IXMLDOMNodePtr serialize(CString namespaceURI);

  private:
    // One run of the command: with the attached parameters or none, the debug-log entry under
    // `logText`, and the outputs read back when asked. Raises what it meets, unwrapped.
    _RecordsetPtr run(LPCTSTR logText, bool withParameters, bool readOutputs);

    _bstr_t m_name;
    CParameters* m_parameters = nullptr;
    int m_timeout;
};

// Attaches a parameter list to a procedure for the guard's lifetime and owns the list. When the
// guard goes, it detaches the list from the procedure (when still attached) and then deletes it,
// so that nothing, an error object serialising the call included, can reach freed parameters.
// Declare it after the procedure, so it goes first.
class CAttachedParameters {
  public:
    CAttachedParameters(CStoredProcedure* procedure, CParameters* parameters);
    ~CAttachedParameters();
    CAttachedParameters(const CAttachedParameters&) = delete;
    CAttachedParameters& operator=(const CAttachedParameters&) = delete;

    CParameters* get() const { return m_parameters; }
    CParameters* operator->() const { return m_parameters; }

  private:
    CStoredProcedure* m_procedure;
    CParameters* m_parameters;
};
