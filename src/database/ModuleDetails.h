// CModuleDetails: the module's identity (short name, description, version and build date) and
// its report to the document-monitor database. Each call opens its own connection to the
// catalogue "docMon" on the caller's server with the caller's login, runs one stored procedure
// and closes the connection again; nothing of the server or login is kept.
//
// Failures arrive as a CEXUnhandled naming the operation, above what went wrong: the
// CEXConnection of a connection that could not be made, or the chain of the failed call.
#pragma once

#include "StdAfx.h"

class CModuleDetails {
  public:
    // "VRK", the module description, "64.04.00.01" and 24 November 2014, 00:00.
    CModuleDetails();

    // Runs "__mod_setModDetails" with "@moduleName" (varchar 12), "@moduleDescription"
    // (varchar 255), "@moduleVersion" (char, as long as the version text) and "@moduleDate"
    // (date-time), all inputs.
    void setModDetails(CString dataSource, CString userId, CString password, int timeout);
    // Runs "__mod_setModRunning" with "@MODNAME" (varchar 12, input): the module name.
    void setModuleRunning(CString dataSource, CString userId, CString password, int timeout);

    CString getModuleName() const { return m_moduleName; }
    CString getModuleDescription() const { return m_moduleDescription; }
    COleDateTime getModuleDate() const { return m_moduleDate; }
    CString getModuleVersion() const { return m_moduleVersion; }

  private:
    CString m_moduleName;
    CString m_moduleDescription;
    COleDateTime m_moduleDate;
    CString m_moduleVersion;
};
