#include "ado/odbc/Connection.h"

#include <mutex>

#include "ado/odbc/Binding.h"
#include "ado/odbc/ResultReader.h"
#include "ado/odbc/Statement.h"
#include "ado/odbc/Text.h"

namespace qv::odbc {
namespace {

// The environment, shared by every connection of the process.
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
