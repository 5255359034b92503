// Stored-procedure names as callers write them for SQL Server, and the form each database takes
// in an ODBC call escape.
#pragma once

#include <string>
#include <string_view>

namespace qv::odbc {

// The database family behind a connection, judged from the driver's DBMS name.
enum class Dialect { SqlServer, PostgreSql, Other };

// A procedure name is one to three parts separated by "." (catalogue, schema, name; the middle
// part may be empty as in "[idr]..[getAssetAttributes]"), each part a plain identifier (a letter,
// "_", "@" or "#" followed by letters, digits, "_", "@", "#" or "$") or any text in brackets
// ("]]" stands for "]"). The name part must not be empty. Anything else throws an Error of kind
// Call, so that no name can carry SQL text into the call.
//
// SqlServer and Other: the name as written, each part in its written form.
// PostgreSql: catalogues are schemas there, so "[c].[s].[n]" becomes "c.n" when s is empty or
// "dbo" and "s.n" otherwise; "[s].[n]" becomes "s.n" ("n" for s = "dbo"). A part that is a plain
// identifier stays unquoted, so that it matches case-insensitively as on SQL Server; any other
// part is put in double quotes.
std::wstring callableName(std::wstring_view name, Dialect dialect);

}  // namespace qv::odbc
