// Failures of the ODBC layer: every one carries the driver's own diagnostics (SQLSTATE, native
// error number and message text), in the order the driver reported them.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace qv::odbc {

struct Diagnostic {
    std::wstring sqlState;  // five characters, "08001"
    std::int32_t nativeError = 0;
    std::wstring message;  // as the driver (or the driver manager) wrote it
};

enum class ErrorKind {
    Connection,  // no connection: driver missing, server unreachable, login refused
    Timeout,     // the query time-out expired
    Truncation,  // a text longer than its parameter's declared size, in or out
    Conversion,  // a value that does not fit its parameter's type
    Call,        // anything else the server or the driver refused (unknown procedure, ...)
};

class Error : public std::exception {
  public:
    Error(ErrorKind kind, std::vector<Diagnostic> diagnostics);
    // One diagnostic made here (not by the driver).
    Error(ErrorKind kind, std::wstring sqlState, std::wstring message);

    ErrorKind kind() const { return m_kind; }
    // Never empty.
    const std::vector<Diagnostic>& diagnostics() const { return m_diagnostics; }
    // The first diagnostic's message: what ADO shows as the error's description.
    const std::wstring& message() const { return m_diagnostics.front().message; }
    // The messages of all diagnostics as UTF-8, one line each.
    const char* what() const noexcept override { return m_what.c_str(); }

  private:
    ErrorKind m_kind;
    std::vector<Diagnostic> m_diagnostics;
    std::string m_what;
};

// The kind that a failed statement's first SQLSTATE stands for.
ErrorKind kindOfSqlState(const std::wstring& sqlState);

}  // namespace qv::odbc
