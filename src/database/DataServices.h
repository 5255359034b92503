// CDataServices: one ADO connection to the facility database (SQL Server through the SQLOLEDB
// provider). It is the base of CStoredProcedure and CSQLStatement: each such object opens its own
// connection when it is built and closes it when it is destroyed; nothing is pooled or shared.
// Server, catalogue, user, password and time-out come from the caller and are not kept once the
// connection is open.
//
// COM: the connecting constructor initialises COM for the calling thread, and the object balances
// that initialisation when it ends (also when its constructor fails), but only when it succeeded.
#pragma once

#include "StdAfx.h"
#include "msado15.h"

class CDataServices {
  public:
    // Unconnected: no COM initialisation, no connection; getADOVersion gives 0.0.
    CDataServices();
    // Opens a connection to `initialCatalog` on `dataSource` with the login, waiting at most
    // `timeout` seconds (0 as long as the driver waits). Every value reaches the provider as it
    // is: one that holds ";", a quote or blanks at its ends is quoted in the connection string, so
    // it cannot add or change another keyword.
    // Raises CEXConnection when the connection object cannot be created or ADO refuses the
    // time-out or the open; the driver's errors are then chained below it, first error innermost.
    // Any other failure raises CEXUnhandled. Nothing is left open or initialised after a failure.
    CDataServices(CString dataSource, CString initialCatalog, CString userId, CString password,
                  int timeout);
    // Closes the connection when it is open, releases it and ends the COM initialisation of the
    // constructor. Never throws: a failing close is ignored (the connection is released anyway).
    virtual ~CDataServices();
    CDataServices(const CDataServices&) = delete;
    CDataServices& operator=(const CDataServices&) = delete;

    // The version of the ADO library serving the connection (2.8), or 0.0 when not connected.
    double getADOVersion();

    // The connection text for the SQLOLEDB provider, each value quoted when it has to be.
    static CString buildConnectionString(CString dataSource, CString initialCatalog, CString userId,
                                         CString password);

  protected:
    // True from a successful open until destruction.
    bool isConnected() const { return m_connected == 1; }
    // The open connection. Raises CEXCustom "There is no open connection to the database."
    // (naming CDataServices::requireConnection) when there is none, so that no call on an
    // unconnected object passes for a success.
    _ConnectionPtr requireConnection() const;

  private:
    _ConnectionPtr m_connection;
    int m_connected = 0;
    bool m_comInitialised = false;

    void end() noexcept;
};
