// CSQLStatement: a connection (CDataServices) that runs plain SQL text. It sets no command
// time-out of its own (the connection's default applies) and writes no debug log.
//
// A failure of ADO or the database raises CEXSQLStatement (the driver's message) wrapped in a
// CEXUnhandled naming the operation; a call on an unconnected object raises instead of doing
// nothing.
#pragma once

#include "StdAfx.h"
#include "msado15.h"
#include "database/DataServices.h"

class CSQLStatement : public CDataServices {
  public:
    // Opens the connection as CDataServices does (raising CEXConnection when it cannot).
    CSQLStatement(CString dataSource, CString initialCatalog, CString userId, CString password,
                  int timeout);
    ~CSQLStatement() override;

    // Runs the text and drops what it returns; 1 when it ran, whether or not it touched rows.
    int execSQLNoReturn(_bstr_t sql);
    // Runs the text and returns the record set of its first result (closed when the text
    // returns no rows at all); the caller owns it.
    _RecordsetPtr execSQLReturn(_bstr_t sql);

  private:
    _RecordsetPtr run(_bstr_t sql, LPCTSTR procSig);
};
