#include "ado/odbc/Statement.h"

#include "ado/odbc/Text.h"

namespace qv::odbc {

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

[[noreturn]] void fail(SQLSMALLINT handleType, SQLHANDLE handle, const ErrorKind* kind) {
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

Timestamp timestampOf(const SQL_TIMESTAMP_STRUCT& ts) {
    return {ts.year,
            ts.month,
            ts.day,
            ts.hour,
            ts.minute,
            ts.second,
            static_cast<std::uint32_t>(ts.fraction)};
}

Statement::Statement(SQLHDBC connection, int timeoutSeconds) {
    checkHandle(SQLAllocHandle(SQL_HANDLE_STMT, connection, &m_handle), SQL_HANDLE_DBC, connection);
    if (timeoutSeconds > 0) {
        SQLRETURN rc =
            SQLSetStmtAttr(m_handle, SQL_ATTR_QUERY_TIMEOUT,
                           reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
        if (!SQL_SUCCEEDED(rc)) {
            std::vector<Diagnostic> diagnostics = diagnosticsOf(SQL_HANDLE_STMT, m_handle);
            SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
            throw Error(ErrorKind::Call, std::move(diagnostics));
        }
    }
}

}  // namespace qv::odbc
