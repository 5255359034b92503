#include "ado/odbc/Connection.h"

#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>

#include "ado/odbc/Error.h"
#include "ado/odbc/Text.h"

namespace qv::odbc {
namespace {

// --- diagnostics ---------------------------------------------------------------------------

std::vector<Diagnostic> diagnosticsOf(SQLSMALLINT handleType, SQLHANDLE handle) {
    std::vector<Diagnostic> out;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::vector<SQLWCHAR> message(1024);
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(handleType, handle, record, state, &native, message.data(),
                                      static_cast<SQLSMALLINT>(message.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
            message.resize(static_cast<std::size_t>(length) + 1);
            rc = SQLGetDiagRecW(handleType, handle, record, state, &native, message.data(),
                                static_cast<SQLSMALLINT>(message.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc)) {
            break;
        }
        std::wstring text = fromUtf16(message.data(), static_cast<std::size_t>(length));
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
            text.pop_back();
        }
        out.push_back({fromUtf16(state, 5), static_cast<std::int32_t>(native), std::move(text)});
    }
    return out;
}

[[noreturn]] void fail(SQLSMALLINT handleType, SQLHANDLE handle, const ErrorKind* kind = nullptr) {
    std::vector<Diagnostic> diagnostics = diagnosticsOf(handleType, handle);
    ErrorKind k = kind ? *kind
                       : (diagnostics.empty() ? ErrorKind::Call
                                              : kindOfSqlState(diagnostics.front().sqlState));
    throw Error(k, std::move(diagnostics));
}

void checkHandle(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
    if (!SQL_SUCCEEDED(rc)) {
        fail(handleType, handle);
    }
}

// --- the environment, shared by every connection of the process ------------------------------

class Environment {
  public:
    Environment() {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_handle))) {
            throw Error(ErrorKind::Connection, L"IM004",
                        L"The ODBC driver manager could not allocate an environment.");
        }
        SQLSetEnvAttr(m_handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                      0);
    }
    ~Environment() { SQLFreeHandle(SQL_HANDLE_ENV, m_handle); }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    SQLHENV handle() const { return m_handle; }

    static std::shared_ptr<Environment> shared() {
        static std::mutex mutex;
        static std::weak_ptr<Environment> current;
        std::lock_guard<std::mutex> lock(mutex);
        std::shared_ptr<Environment> env = current.lock();
        if (!env) {
            env = std::make_shared<Environment>();
            current = env;
        }
        return env;
    }

  private:
    SQLHENV m_handle = SQL_NULL_HENV;
};

// --- statements ----------------------------------------------------------------------------

class Statement {
  public:
    Statement(SQLHDBC connection, int timeoutSeconds) {
        checkHandle(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle), SQL_HANDLE_DBC,
                    connection);
        if (timeoutSeconds > 0) {
            SQLRETURN rc = SQLSetStmtAttr(
                m_handle, SQL_ATTR_QUERY_TIMEOUT,
                reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
            checkHandle(rc, SQL_HANDLE_STMT, m_handle);
        }
    }
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

template <typename T>
void store(Binding& b, const T& value) {
    b.buffer.resize(sizeof(T));
    std::memcpy(b.buffer.data(), &value, sizeof(T));
    b.indicator = sizeof(T);
}

template <typename T>
T load(const Binding& b) {
    T value;
    std::memcpy(&value, b.buffer.data(), sizeof(T));
    return value;
}

[[noreturn]] void conversionError(const Parameter& p, const std::wstring& what) {
    throw Error(ErrorKind::Conversion, L"22018", L"Parameter " + p.name + L": " + what);
}

std::int64_t integerValue(const Parameter& p, std::int64_t low, std::int64_t high) {
    const std::int64_t* v = std::get_if<std::int64_t>(&p.value);
    if (v == nullptr) {
        conversionError(p, L"the value is not an integer.");
    }
    if (*v < low || *v > high) {
        throw Error(ErrorKind::Conversion, L"22003",
                    L"Parameter " + p.name + L": the value " + std::to_wstring(*v) +
                        L" is out of the range of its type.");
    }
    return *v;
}

std::string fixedDecimalText(double value, int scale) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", scale, value);
    return text;
}

constexpr std::size_t kDecimalBufferBytes = 128;

Binding bind(const Parameter& p) {
    Binding b;
    b.ioType = p.direction == Direction::Input    ? SQL_PARAM_INPUT
               : p.direction == Direction::Output ? SQL_PARAM_OUTPUT
                                                  : SQL_PARAM_INPUT_OUTPUT;
    const bool sendsValue = p.direction != Direction::Output && !isNull(p.value);
    switch (p.type) {
        case ParamType::Integer:
            b.cType = SQL_C_SLONG;
            b.sqlType = SQL_INTEGER;
            b.columnSize = 10;
            store(b, static_cast<SQLINTEGER>(
                         sendsValue ? integerValue(p, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max())
                                    : 0));
            break;
        case ParamType::TinyInt:
            b.cType = SQL_C_UTINYINT;
            b.sqlType = SQL_TINYINT;
            b.columnSize = 3;
            store(b, static_cast<SQLCHAR>(sendsValue ? integerValue(p, 0, 255) : 0));
            break;
        case ParamType::Boolean: {
            b.cType = SQL_C_BIT;
            b.sqlType = SQL_BIT;
            b.columnSize = 1;
            bool flag = false;
            if (sendsValue) {
                const bool* v = std::get_if<bool>(&p.value);
                if (v == nullptr) {
                    conversionError(p, L"the value is not a boolean.");
                }
                flag = *v;
            }
            store(b, static_cast<SQLCHAR>(flag ? 1 : 0));
            break;
        }
        case ParamType::Char:
        case ParamType::VarChar: {
            if (p.size == 0) {
                throw Error(ErrorKind::Call, L"HY104",
                            L"Parameter " + p.name + L": a text parameter needs a size above 0.");
            }
            b.cType = SQL_C_WCHAR;
            b.sqlType = p.type == ParamType::Char ? SQL_CHAR : SQL_VARCHAR;
            b.columnSize = p.size;
            std::u16string text;
            if (sendsValue) {
                const std::wstring* v = std::get_if<std::wstring>(&p.value);
                if (v == nullptr) {
                    conversionError(p, L"the value is not a text.");
                }
                if (v->size() > p.size) {
                    throw Error(ErrorKind::Truncation, L"22001",
                                L"String data, right truncation: the value of parameter " + p.name +
                                    L" has " + std::to_wstring(v->size()) +
                                    L" characters, more than its declared size " +
                                    std::to_wstring(p.size) + L".");
                }
                text = toUtf16(*v);
            }
            std::size_t units = text.size() + 1;
            if (p.direction != Direction::Input) {
                units = std::max(units, p.size * 2 + 1);  // room for any `size` characters
            }
            b.buffer.assign(units * sizeof(SQLWCHAR), 0);
            std::memcpy(b.buffer.data(), text.data(), text.size() * sizeof(SQLWCHAR));
            b.indicator = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
            break;
        }
        case ParamType::Numeric:
        case ParamType::Double: {
            const bool exact = p.type == ParamType::Numeric && p.precision > 0;
            b.sqlType = exact ? SQL_NUMERIC : SQL_DOUBLE;
            b.columnSize = exact ? static_cast<SQLULEN>(p.precision) : 15;
            b.digits = exact ? static_cast<SQLSMALLINT>(p.scale) : 0;
            const double* d = std::get_if<double>(&p.value);
            const Decimal* dec = std::get_if<Decimal>(&p.value);
            if (sendsValue && d == nullptr && dec == nullptr) {
                conversionError(p, L"the value is not a number.");
            }
            if (!exact) {
                b.cType = SQL_C_DOUBLE;
                double value = d ? *d : 0.0;
                if (dec) {
                    value = std::strtod(dec->text.c_str(), nullptr);
                }
                store(b, value);
            } else if (d && p.direction == Direction::Input) {
                b.cType = SQL_C_DOUBLE;
                store(b, *d);
            } else {
                // Exact text both ways: a Decimal in, and every digit of an output back.
                b.cType = SQL_C_CHAR;
                std::string text = dec ? dec->text : d ? fixedDecimalText(*d, p.scale) : "0";
                b.buffer.assign(std::max(kDecimalBufferBytes, text.size() + 1), 0);
                std::memcpy(b.buffer.data(), text.data(), text.size());
                b.indicator = static_cast<SQLLEN>(text.size());
            }
            break;
        }
        case ParamType::Timestamp: {
            b.cType = SQL_C_TYPE_TIMESTAMP;
            b.sqlType = SQL_TYPE_TIMESTAMP;
            b.columnSize = 23;
            b.digits = 3;
            SQL_TIMESTAMP_STRUCT ts{};
            if (sendsValue) {
                const Timestamp* v = std::get_if<Timestamp>(&p.value);
                if (v == nullptr) {
                    conversionError(p, L"the value is not a date and time.");
                }
                ts.year = static_cast<SQLSMALLINT>(v->year);
                ts.month = static_cast<SQLUSMALLINT>(v->month);
                ts.day = static_cast<SQLUSMALLINT>(v->day);
                ts.hour = static_cast<SQLUSMALLINT>(v->hour);
                ts.minute = static_cast<SQLUSMALLINT>(v->minute);
                ts.second = static_cast<SQLUSMALLINT>(v->second);
                ts.fraction = v->fraction / 1000000 * 1000000;  // whole milliseconds: 3 digits
            }
            store(b, ts);
            break;
        }
    }
    if (!sendsValue) {
        b.indicator = SQL_NULL_DATA;
    }
    return b;
}

Timestamp timestampOf(const SQL_TIMESTAMP_STRUCT& ts) {
    return {ts.year,
            ts.month,
            ts.day,
            ts.hour,
            ts.minute,
            ts.second,
            static_cast<std::uint32_t>(ts.fraction)};
}

Value outputValue(const Parameter& p, const Binding& b) {
    if (b.indicator == SQL_NULL_DATA) {
        return std::monostate{};
    }
    switch (p.type) {
        case ParamType::Integer:
            return static_cast<std::int64_t>(load<SQLINTEGER>(b));
        case ParamType::TinyInt:
            return static_cast<std::int64_t>(load<SQLCHAR>(b));
        case ParamType::Boolean:
            return load<SQLCHAR>(b) != 0;
        case ParamType::Char:
        case ParamType::VarChar: {
            std::size_t capacity = b.buffer.size() - sizeof(SQLWCHAR);
            if (b.indicator == SQL_NO_TOTAL || static_cast<std::size_t>(b.indicator) > capacity) {
                throw Error(ErrorKind::Truncation, L"22001",
                            L"String data, right truncation: the value returned in parameter " +
                                p.name + L" is longer than its declared size " +
                                std::to_wstring(p.size) + L".");
            }
            std::wstring text = fromUtf16(reinterpret_cast<const SQLWCHAR*>(b.buffer.data()),
                                          static_cast<std::size_t>(b.indicator) / sizeof(SQLWCHAR));
            if (text.size() > p.size) {
                throw Error(ErrorKind::Truncation, L"22001",
                            L"String data, right truncation: the value returned in parameter " +
                                p.name + L" has " + std::to_wstring(text.size()) +
                                L" characters, more than its declared size " +
                                std::to_wstring(p.size) + L".");
            }
            return text;
        }
        case ParamType::Numeric:
        case ParamType::Double:
            if (b.cType == SQL_C_CHAR) {
                std::size_t length =
                    std::min(static_cast<std::size_t>(std::max<SQLLEN>(b.indicator, 0)),
                             b.buffer.size() - 1);
                return Decimal{std::string(reinterpret_cast<const char*>(b.buffer.data()), length)};
            }
            return load<double>(b);
        case ParamType::Timestamp:
            return timestampOf(load<SQL_TIMESTAMP_STRUCT>(b));
    }
    return std::monostate{};
}

// --- results -------------------------------------------------------------------------------

ColumnType columnTypeOf(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_BIT:
            return ColumnType::Boolean;
        case SQL_TINYINT:
            return ColumnType::TinyInt;
        case SQL_SMALLINT:
            return ColumnType::SmallInt;
        case SQL_INTEGER:
            return ColumnType::Integer;
        case SQL_BIGINT:
            return ColumnType::BigInt;
        case SQL_REAL:
            return ColumnType::Real;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return ColumnType::Double;
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return ColumnType::Decimal;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_DATETIME:
        case SQL_TIMESTAMP:
            return ColumnType::Timestamp;
        default:
            return ColumnType::Text;
    }
}

std::vector<Column> describeColumns(const Statement& stmt, SQLSMALLINT count) {
    std::vector<Column> columns;
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
        SQLWCHAR name[512] = {};
        SQLSMALLINT nameLength = 0, dataType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        stmt.check(SQLDescribeColW(stmt.handle(), i, name, 512, &nameLength, &dataType, &size,
                                   &digits, &nullable));
        nameLength = std::min<SQLSMALLINT>(nameLength, 511);
        columns.push_back({fromUtf16(name, static_cast<std::size_t>(nameLength)),
                           columnTypeOf(dataType), static_cast<std::size_t>(size), digits});
    }
    return columns;
}

// PostgreSQL answers a function returning void with one column of the type "void".
bool isVoidResult(const Statement& stmt, SQLSMALLINT count) {
    if (count != 1) {
        return false;
    }
    SQLWCHAR typeName[64] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLColAttributeW(stmt.handle(), 1, SQL_DESC_TYPE_NAME, typeName, sizeof typeName,
                                    &length, nullptr);
    return SQL_SUCCEEDED(rc) &&
           fromUtf16(typeName, std::min<std::size_t>(length / 2, 63)) == L"void";
}

// Long texts arrive in chunks; the UTF-16 units are joined before decoding, so a surrogate pair
// split between two chunks survives.
std::wstring readText(const Statement& stmt, SQLUSMALLINT column, bool& isNullOut) {
    std::vector<SQLWCHAR> units;
    std::vector<SQLWCHAR> chunk(2048);
    const std::size_t room = chunk.size() - 1;  // one unit goes to the terminator
    isNullOut = false;
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(stmt.handle(), column, SQL_C_WCHAR, chunk.data(),
                                  static_cast<SQLLEN>(chunk.size() * sizeof(SQLWCHAR)), &indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        stmt.check(rc);
        if (indicator == SQL_NULL_DATA) {
            isNullOut = true;
            return {};
        }
        bool complete = indicator != SQL_NO_TOTAL &&
                        static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) <= room;
        std::size_t count =
            complete ? static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) : room;
        units.insert(units.end(), chunk.begin(),
                     chunk.begin() + static_cast<std::ptrdiff_t>(count));
        if (complete) {
            break;
        }
    }
    return fromUtf16(units.data(), units.size());
}

template <typename T>
bool readFixed(const Statement& stmt, SQLUSMALLINT column, SQLSMALLINT cType, T& out) {
    SQLLEN indicator = 0;
    stmt.check(SQLGetData(stmt.handle(), column, cType, &out, sizeof(T), &indicator));
    return indicator != SQL_NULL_DATA;
}

Value readValue(const Statement& stmt, SQLUSMALLINT column, ColumnType type) {
    switch (type) {
        case ColumnType::Boolean: {
            SQLCHAR v = 0;
            return readFixed(stmt, column, SQL_C_BIT, v) ? Value(v != 0) : Value();
        }
        case ColumnType::TinyInt:
        case ColumnType::SmallInt:
        case ColumnType::Integer:
        case ColumnType::BigInt: {
            SQLBIGINT v = 0;
            return readFixed(stmt, column, SQL_C_SBIGINT, v) ? Value(static_cast<std::int64_t>(v))
                                                             : Value();
        }
        case ColumnType::Real:
        case ColumnType::Double: {
            double v = 0;
            return readFixed(stmt, column, SQL_C_DOUBLE, v) ? Value(v) : Value();
        }
        case ColumnType::Decimal: {
            char text[kDecimalBufferBytes] = {};
            SQLLEN indicator = 0;
            stmt.check(
                SQLGetData(stmt.handle(), column, SQL_C_CHAR, text, sizeof text, &indicator));
            if (indicator == SQL_NULL_DATA) {
                return Value();
            }
            return Decimal{std::string(text)};
        }
        case ColumnType::Timestamp: {
            SQL_TIMESTAMP_STRUCT ts{};
            if (!readFixed(stmt, column, SQL_C_TYPE_TIMESTAMP, ts)) {
                return Value();
            }
            return timestampOf(ts);
        }
        case ColumnType::Text: {
            bool null = false;
            std::wstring text = readText(stmt, column, null);
            return null ? Value() : Value(std::move(text));
        }
    }
    return Value();
}

ResultSet readAll(const Statement& stmt, std::vector<Column> columns) {
    ResultSet result;
    result.columns = std::move(columns);
    for (;;) {
        SQLRETURN rc = SQLFetch(stmt.handle());
        if (rc == SQL_NO_DATA) {
            break;
        }
        stmt.check(rc);
        std::vector<Value> row;
        row.reserve(result.columns.size());
        for (std::size_t i = 0; i < result.columns.size(); ++i) {
            row.push_back(
                readValue(stmt, static_cast<SQLUSMALLINT>(i + 1), result.columns[i].type));
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

// Walks every result of an executed statement (SQL Server hands output parameters over only
// after the last one) and keeps the first that has columns. `skipFirstRowResult` drops the row
// in which PostgreSQL returns a function's output parameters.
std::optional<ResultSet> collectResults(const Statement& stmt, SQLRETURN executed,
                                        bool skipFirstRowResult, Dialect dialect) {
    if (!SQL_SUCCEEDED(executed) && executed != SQL_NO_DATA) {
        stmt.fail();
    }
    std::optional<ResultSet> kept;
    bool skipping = skipFirstRowResult;
    for (;;) {
        SQLSMALLINT count = 0;
        stmt.check(SQLNumResultCols(stmt.handle(), &count));
        if (count > 0) {
            if (skipping) {
                skipping = false;
            } else if (!kept && !(dialect == Dialect::PostgreSql && isVoidResult(stmt, count))) {
                kept = readAll(stmt, describeColumns(stmt, count));
            }
        }
        SQLRETURN rc = SQLMoreResults(stmt.handle());
        if (rc == SQL_NO_DATA) {
            break;
        }
        stmt.check(rc);
    }
    return kept;
}

std::wstring infoText(SQLHDBC dbc, SQLUSMALLINT item) {
    SQLWCHAR text[256] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(dbc, item, text, sizeof text, &length))) {
        return {};
    }
    return fromUtf16(text, std::min<std::size_t>(static_cast<std::size_t>(length) / 2, 255));
}

}  // namespace

struct Connection::Handles {
    std::shared_ptr<Environment> environment;
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool connected = false;

    ~Handles() {
        if (connected) {
            SQLDisconnect(dbc);
        }
        if (dbc != SQL_NULL_HDBC) {
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        }
    }
};

Connection::Connection(const std::wstring& connectionString, int loginTimeoutSeconds)
    : m_handles(std::make_unique<Handles>()) {
    m_handles->environment = Environment::shared();
    SQLHENV env = m_handles->environment->handle();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &m_handles->dbc))) {
        const ErrorKind kind = ErrorKind::Connection;
        fail(SQL_HANDLE_ENV, env, &kind);
    }
    SQLHDBC dbc = m_handles->dbc;
    if (loginTimeoutSeconds > 0) {
        SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)),
                          0);
    }
    std::u16string text = toUtf16(connectionString);
    SQLSMALLINT outLength = 0;
    SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, reinterpret_cast<SQLWCHAR*>(text.data()),
                                     static_cast<SQLSMALLINT>(text.size()), nullptr, 0, &outLength,
                                     SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        const ErrorKind kind = ErrorKind::Connection;
        fail(SQL_HANDLE_DBC, dbc, &kind);
    }
    m_handles->connected = true;
    m_dbmsName = infoText(dbc, SQL_DBMS_NAME);
    m_dbmsVersion = infoText(dbc, SQL_DBMS_VER);
    if (m_dbmsName.find(L"PostgreSQL") != std::wstring::npos) {
        m_dialect = Dialect::PostgreSql;
    } else if (m_dbmsName.find(L"SQL Server") != std::wstring::npos) {
        m_dialect = Dialect::SqlServer;
    }
}

Connection::~Connection() = default;

std::wstring Connection::currentCatalog() {
    SQLWCHAR text[512] = {};
    SQLINTEGER length = 0;
    SQLRETURN rc = SQLGetConnectAttrW(m_handles->dbc, SQL_ATTR_CURRENT_CATALOG, text,
                                      sizeof text - sizeof(SQLWCHAR), &length);
    checkHandle(rc, SQL_HANDLE_DBC, m_handles->dbc);
    return fromUtf16(text, std::min<std::size_t>(static_cast<std::size_t>(length) / 2, 511));
}

std::optional<ResultSet> Connection::call(std::wstring_view procedureName,
                                          std::vector<Parameter>& parameters, int timeoutSeconds) {
    std::wstring sql = L"{call " + callableName(procedureName, m_dialect) + L"(";
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        sql += i == 0 ? L"?" : L", ?";
    }
    sql += L")}";
    return run(sql, parameters, timeoutSeconds, m_dialect == Dialect::PostgreSql, nullptr);
}

std::optional<ResultSet> Connection::execute(std::wstring_view sql,
                                             std::vector<Parameter>& parameters, int timeoutSeconds,
                                             std::int64_t* rowsAffected) {
    return run(sql, parameters, timeoutSeconds, false, rowsAffected);
}

std::optional<ResultSet> Connection::execute(std::wstring_view sql, int timeoutSeconds,
                                             std::int64_t* rowsAffected) {
    std::vector<Parameter> none;
    return run(sql, none, timeoutSeconds, false, rowsAffected);
}

std::optional<ResultSet> Connection::run(std::wstring_view sql, std::vector<Parameter>& parameters,
                                         int timeoutSeconds, bool outputsInRow,
                                         std::int64_t* rowsAffected) {
    std::vector<Binding> bindings;
    bindings.reserve(parameters.size());
    for (const Parameter& p : parameters) {
        bindings.push_back(bind(p));
    }
    Statement stmt(m_handles->dbc, timeoutSeconds);
    bool hasOutputs = false;
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        Binding& b = bindings[i];
        hasOutputs = hasOutputs || b.ioType != SQL_PARAM_INPUT;
        stmt.check(SQLBindParameter(stmt.handle(), static_cast<SQLUSMALLINT>(i + 1), b.ioType,
                                    b.cType, b.sqlType, b.columnSize, b.digits, b.buffer.data(),
                                    static_cast<SQLLEN>(b.buffer.size()), &b.indicator));
    }
    std::u16string text = toUtf16(sql);
    SQLRETURN rc = SQLExecDirectW(stmt.handle(), reinterpret_cast<SQLWCHAR*>(text.data()),
                                  static_cast<SQLINTEGER>(text.size()));
    if (rowsAffected != nullptr) {
        SQLLEN count = -1;
        if (!SQL_SUCCEEDED(rc) || !SQL_SUCCEEDED(SQLRowCount(stmt.handle(), &count))) {
            count = -1;
        }
        *rowsAffected = count;
    }
    std::optional<ResultSet> result =
        collectResults(stmt, rc, hasOutputs && outputsInRow, m_dialect);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (parameters[i].direction != Direction::Input) {
            parameters[i].value = outputValue(parameters[i], bindings[i]);
        }
    }
    return result;
}

}  // namespace qv::odbc
