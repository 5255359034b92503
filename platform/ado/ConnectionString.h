// From an ADO connection string for the SQL Server provider ("Provider=SQLOLEDB;Data
// Source=...;Initial Catalog=...;User Id=...;Password=...") to the ODBC connection string of the
// driver that the configuration names.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace qv::ado {

class ConnectionStringError : public std::exception {
  public:
    enum class Kind {
        Format,           // not "key=value" pairs, an open quote, a key given twice
        UnknownProvider,  // a provider other than the SQL Server ones
        Value,            // a value that cannot be passed on safely
    };
    ConnectionStringError(Kind kind, std::wstring message);
    Kind kind() const { return m_kind; }
    const std::wstring& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.c_str(); }

  private:
    Kind m_kind;
    std::wstring m_message;
    std::string m_what;
};

// What the connection string says. Parsing follows the OLE DB rules: pairs "key=value" separated
// by ";", keys without regard to case and blanks around keys and values ignored; a value in
// double or single quotes may hold ";" and "=", a doubled quote standing for one. Empty pairs are
// skipped. A pair without "=", an unclosed quote, text after a closing quote, a key given twice
// (under any of its synonyms) or an unknown provider raise ConnectionStringError, and so does a
// NUL character anywhere (kind Value: the driver's string would end there). Keywords that
// the SQL Server provider knows but that mean nothing here (Persist Security Info, Application
// Name, ...) are accepted and dropped: they never reach the driver.
struct ConnectionSettings {
    std::wstring provider;              // Provider; empty when absent
    std::wstring dataSource;            // Data Source, Server, Address, Addr, Network Address
    std::wstring initialCatalog;        // Initial Catalog, Database
    std::wstring userId;                // User Id, UID, User
    std::wstring password;              // Password, PWD
    std::optional<int> connectTimeout;  // Connect Timeout, Connection Timeout (seconds)
};
ConnectionSettings parseConnectionString(std::wstring_view text);

// Which ODBC driver serves the connections, and extra keywords for it. Read from the
// environment: QV_ADO_ODBC_DRIVER (a driver name from odbcinst.ini or a driver library's path;
// default "FreeTDS") and QV_ADO_ODBC_OPTIONS (keywords appended as they are, default none, for
// instance "TDS_Version=7.4" or "BoolsAsChar=0"). unixODBC finds odbcinst.ini through ODBCSYSINI.
struct DriverSettings {
    std::wstring driver = L"FreeTDS";
    std::wstring options;
    static DriverSettings fromEnvironment();
};

// The ODBC connection string: "Driver={driver};Server=host;Port=port;Database=...;UID=...;
// PWD={...};" and the configured options. A data source "host,port" (optionally "tcp:host,port")
// gives Server and Port. The password is always braced, with "}" doubled, so that no character
// in it can end the value; the driver, server, catalogue and user go as they are and may not hold
// ";", "{" or "}" (ConnectionStringError of kind Value), since not every driver removes braces
// from them. Empty values are left out.
std::wstring odbcConnectionString(const ConnectionSettings& settings, const DriverSettings& driver);

}  // namespace qv::ado
