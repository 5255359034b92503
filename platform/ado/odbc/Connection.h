// One ODBC connection (unixODBC), and the two ways the ADO objects use it: a stored-procedure
// call through the call escape "{call name(?, ...)}" and plain SQL text.
//
// Every statement runs on a statement handle of its own and reads its whole result before it
// returns (a static, client-side result), so any number of calls may follow on the same
// connection while the caller still walks an earlier result: the module's readers nest calls.
// Nothing here includes the ODBC headers; every failure throws qv::odbc::Error with the driver's
// diagnostics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProcedureName.h"
#include "Value.h"

namespace qv::odbc {

enum class Direction { Input, Output, InputOutput };

// The types a parameter is bound in.
enum class ParamType {
    Integer,    // 32-bit; value int64 within range
    TinyInt,    // 0..255; value int64 within range
    Boolean,    // value bool
    Char,       // fixed-length text; value std::wstring of at most `size` characters
    VarChar,    // variable-length text; value std::wstring of at most `size` characters
    Numeric,    // exact number of `precision` digits, `scale` after the point; value double or
                // Decimal
    Double,     // value double
    Timestamp,  // value Timestamp
};

struct Parameter {
    std::wstring name;  // "@locationID"; kept for messages and for reading outputs back
    ParamType type = ParamType::Integer;
    Direction direction = Direction::Input;
    std::size_t size = 0;  // characters, for the text types
    int precision = 0;     // Numeric: 0 binds the value as a double of the server
    int scale = 0;
    Value value;  // in: what is sent (monostate sends NULL); out: what came back
};

// How a result column is typed, as far as the ADO objects care.
enum class ColumnType {
    Boolean,
    TinyInt,
    SmallInt,
    Integer,
    BigInt,
    Real,
    Double,
    Decimal,
    Text,
    Timestamp
};

struct Column {
    std::wstring name;
    ColumnType type = ColumnType::Text;
    std::size_t size = 0;  // the driver's column size
    int scale = 0;         // the driver's decimal digits
};

// A whole result: values per row in column order; text as std::wstring, integers as int64,
// Real and Double as double, Decimal as Decimal, Timestamp as Timestamp, Boolean as bool.
struct ResultSet {
    std::vector<Column> columns;
    std::vector<std::vector<Value>> rows;
};

class Connection {
  public:
    // Connects with a complete ODBC connection string. `loginTimeoutSeconds` 0 waits as long as
    // the driver does. Throws an Error of kind Connection when no connection is made.
    Connection(const std::wstring& connectionString, int loginTimeoutSeconds);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Dialect dialect() const { return m_dialect; }
    const std::wstring& dbmsName() const { return m_dbmsName; }
    const std::wstring& dbmsVersion() const { return m_dbmsVersion; }
    // The catalogue (database) the connection is in now.
    std::wstring currentCatalog();

    // Runs a stored procedure with `parameters` bound by position in their declared types. The
    // values of Output and InputOutput parameters are replaced by what the procedure gave back
    // (monostate for NULL). Returns the procedure's first result with columns, if any. On
    // PostgreSQL, where a function returns its output parameters as a row, that row fills the
    // parameters and is not returned as a result; a function returning void gives no result.
    // `timeoutSeconds` 0 waits without limit.
    std::optional<ResultSet> call(std::wstring_view procedureName,
                                  std::vector<Parameter>& parameters, int timeoutSeconds);

    // Runs SQL text with `parameters` bound to its "?" markers by position (outputs as for
    // call); `rowsAffected` (when given) receives the driver's row count, -1 when it has none.
    // Returns the first result with columns, if any.
    std::optional<ResultSet> execute(std::wstring_view sql, std::vector<Parameter>& parameters,
                                     int timeoutSeconds, std::int64_t* rowsAffected = nullptr);
    std::optional<ResultSet> execute(std::wstring_view sql, int timeoutSeconds,
                                     std::int64_t* rowsAffected = nullptr);

  private:
    std::optional<ResultSet> run(std::wstring_view sql, std::vector<Parameter>& parameters,
                                 int timeoutSeconds, bool outputsInRow, std::int64_t* rowsAffected);

    struct Handles;
    std::unique_ptr<Handles> m_handles;
    Dialect m_dialect = Dialect::Other;
    std::wstring m_dbmsName;
    std::wstring m_dbmsVersion;
};

}  // namespace qv::odbc
