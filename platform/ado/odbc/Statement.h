// Inside the ODBC layer: statement handles and the driver's diagnostics. This header brings in
// the ODBC headers, whose Windows-like names clash with the platform's own, so only the layer's
// own sources include it.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstddef>
#include <vector>

#include "Error.h"
#include "Value.h"

namespace qv::odbc {

// Room for the text of any numeric value of the drivers (38 digits, sign, point).
constexpr std::size_t kDecimalBufferBytes = 128;

// The diagnostics of a handle, in the driver's order, without trailing line ends.
std::vector<Diagnostic> diagnosticsOf(SQLSMALLINT handleType, SQLHANDLE handle);
// Throws an Error with the handle's diagnostics, of `kind` or of the kind of the first SQLSTATE.
[[noreturn]] void fail(SQLSMALLINT handleType, SQLHANDLE handle, const ErrorKind* kind = nullptr);
// Throws as fail does when `rc` is no success.
void checkHandle(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle);

Timestamp timestampOf(const SQL_TIMESTAMP_STRUCT& ts);

// One statement handle of a connection, freed with the object. A time-out above 0 becomes the
// statement's query time-out.
class Statement {
  public:
    Statement(SQLHDBC connection, int timeoutSeconds);
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, m_handle); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT handle() const { return m_handle; }
    [[noreturn]] void fail() const { odbc::fail(SQL_HANDLE_STMT, m_handle); }
    void check(SQLRETURN rc) const {
        if (!SQL_SUCCEEDED(rc)) {
            fail();
        }
    }

  private:
    SQLHSTMT m_handle = SQL_NULL_HSTMT;
};

}  // namespace qv::odbc
