#include "ado/odbc/Error.h"

#include "win32/CodePage.h"

namespace qv::odbc {

Error::Error(ErrorKind kind, std::vector<Diagnostic> diagnostics)
    : m_kind(kind), m_diagnostics(std::move(diagnostics)) {
    if (m_diagnostics.empty()) {
        m_diagnostics.push_back(
            {L"HY000", 0, L"The ODBC driver reported a failure without a message."});
    }
    for (const Diagnostic& d : m_diagnostics) {
        if (!m_what.empty()) {
            m_what += '\n';
        }
        m_what += wideToUtf8(d.message);
    }
}

Error::Error(ErrorKind kind, std::wstring sqlState, std::wstring message)
    : Error(kind, std::vector<Diagnostic>{{std::move(sqlState), 0, std::move(message)}}) {}

ErrorKind kindOfSqlState(const std::wstring& sqlState) {
    if (sqlState == L"HYT00" || sqlState == L"HYT01" || sqlState == L"57014") {
        return ErrorKind::Timeout;  // 57014: PostgreSQL's "canceling statement"
    }
    if (sqlState == L"22001") {
        return ErrorKind::Truncation;
    }
    if (sqlState == L"22003" || sqlState == L"22018" || sqlState == L"22007" ||
        sqlState == L"22008") {
        return ErrorKind::Conversion;
    }
    if (sqlState.starts_with(L"08") || sqlState == L"28000" || sqlState.starts_with(L"IM")) {
        return ErrorKind::Connection;
    }
    return ErrorKind::Call;
}

}  // namespace qv::odbc
