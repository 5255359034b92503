// Inside the ODBC layer: a parameter bound by position, with the C buffer and indicator that
// must stay in place until the statement's outputs are read.
#pragma once

#include "Connection.h"
#include "Statement.h"

namespace qv::odbc {

// One bound parameter: the C buffer and its indicator stay put until the outputs are read.
struct Binding {
    SQLSMALLINT ioType = SQL_PARAM_INPUT;
    SQLSMALLINT cType = SQL_C_DEFAULT;
    SQLSMALLINT sqlType = SQL_UNKNOWN_TYPE;
    SQLULEN columnSize = 0;
    SQLSMALLINT digits = 0;
    std::vector<unsigned char> buffer;
    SQLLEN indicator = 0;
};

// The buffer, types and indicator of a parameter: its value in the parameter's type (NULL for
// monostate and for pure outputs), room for any value of its size when it comes back. Throws an
// Error of kind Truncation for a text longer than its size and of kind Conversion for a value
// that is not of the parameter's type or out of its range.
Binding bind(const Parameter& p);

// The value that came back in a bound output (monostate for NULL). A text longer than the
// parameter's size throws an Error of kind Truncation.
Value outputValue(const Parameter& p, const Binding& b);

}  // namespace qv::odbc
