#include "ado/odbc/ResultReader.h"

#include "ado/odbc/Text.h"

namespace qv::odbc {
namespace {

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

}  // namespace

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

}  // namespace qv::odbc
