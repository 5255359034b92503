// Inside the ODBC layer: reading what an executed statement gave back.
#pragma once

#include <optional>

#include "Connection.h"
#include "Statement.h"

namespace qv::odbc {

// Walks every result of an executed statement (SQL Server hands output parameters over only
// after the last one) and keeps the first that has columns. `skipFirstRowResult` drops the row
// in which PostgreSQL returns a function's output parameters.
std::optional<ResultSet> collectResults(const Statement& stmt, SQLRETURN executed,
                                        bool skipFirstRowResult, Dialect dialect);

}  // namespace qv::odbc
