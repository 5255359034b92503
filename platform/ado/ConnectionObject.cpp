#include "ado/AdoObjects.h"
#include "ado/ConnectionString.h"
#include "win32/CodePage.h"

namespace qv::ado {
namespace {

constexpr const wchar_t* kSource = L"ADODB.Connection";

[[noreturn]] void raise(ErrorValueEnum error) {
    raiseAdo(error, kSource, __uuidof(_Connection));
}

std::wstring text(const _bstr_t& value) {
    const wchar_t* p = value;
    return p ? std::wstring(p, value.length()) : std::wstring();
}

}  // namespace

bool sameName(const std::wstring& a, const std::wstring& b) {
    return qv::equalsIgnoringCase(a, b);
}

std::size_t collectionIndex(const _variant_t& index, std::size_t count,
                            const std::function<const std::wstring&(std::size_t)>& nameAt,
                            const wchar_t* source, REFIID iid) {
    if (index.vt == VT_BSTR) {
        std::wstring name =
            index.bstrVal ? std::wstring(index.bstrVal, SysStringLen(index.bstrVal)) : L"";
        for (std::size_t i = 0; nameAt && i < count; ++i) {
            if (sameName(nameAt(i), name)) {
                return i;
            }
        }
    } else {
        _variant_t ordinal;
        if (SUCCEEDED(VariantChangeType(&ordinal, &index, 0, VT_I4)) && ordinal.lVal >= 0 &&
            static_cast<std::size_t>(ordinal.lVal) < count) {
            return static_cast<std::size_t>(ordinal.lVal);
        }
    }
    raiseAdo(adErrItemNotFound, source, iid);
}

_RecordsetPtr recordsetOf(std::optional<odbc::ResultSet> result) {
    RecordsetObject* rs = result ? new RecordsetObject(std::move(*result)) : new RecordsetObject();
    return _RecordsetPtr(rs);
}

_bstr_t ConnectionObject::GetConnectionString() {
    return _bstr_t(m_connectionString.c_str());
}

void ConnectionObject::PutConnectionString(_bstr_t value) {
    if (isOpen()) {
        raise(adErrObjectOpen);
    }
    m_connectionString = text(value);
}

long ConnectionObject::GetCommandTimeout() {
    return m_commandTimeout;
}

void ConnectionObject::PutCommandTimeout(long seconds) {
    if (seconds < 0) {
        raise(adErrInvalidArgument);
    }
    m_commandTimeout = seconds;
}

long ConnectionObject::GetConnectionTimeout() {
    return m_connectionTimeout;
}

void ConnectionObject::PutConnectionTimeout(long seconds) {
    if (isOpen()) {
        raise(adErrObjectOpen);
    }
    if (seconds < 0) {
        raise(adErrInvalidArgument);
    }
    m_connectionTimeout = seconds;
}

_bstr_t ConnectionObject::GetVersion() {
    return _bstr_t(L"2.8");
}

_bstr_t ConnectionObject::GetDefaultDatabase() {
    if (!isOpen()) {
        return _bstr_t(m_defaultDatabase.c_str());
    }
    clearErrors();
    try {
        return _bstr_t(m_link->currentCatalog().c_str());
    } catch (const odbc::Error& e) {
        keepErrors(e);
        raiseProvider(e, __uuidof(_Connection));
    }
}

void ConnectionObject::PutDefaultDatabase(_bstr_t catalogue) {
    if (isOpen()) {
        // Changing the catalogue of an open connection would need the provider's own statement.
        raise(adErrFeatureNotAvailable);
    }
    m_defaultDatabase = text(catalogue);
}

ErrorsPtr ConnectionObject::GetErrors() {
    return ErrorsPtr(new ErrorsObject(this));
}

long ConnectionObject::GetState() {
    return isOpen() ? adStateOpen : adStateClosed;
}

_bstr_t ConnectionObject::GetProvider() {
    return _bstr_t(L"SQLOLEDB");
}

HRESULT ConnectionObject::Open(_bstr_t connectionString, _bstr_t userId, _bstr_t password,
                               long options) {
    if (isOpen()) {
        raise(adErrObjectOpen);
    }
    if (options != adConnectUnspecified && options != 0) {
        raise(adErrFeatureNotAvailable);  // no asynchronous connections
    }
    std::wstring given = text(connectionString);
    if (given.empty()) {
        given = m_connectionString;
    }
    clearErrors();
    std::wstring odbcText;
    int timeout = static_cast<int>(m_connectionTimeout);
    try {
        ConnectionSettings settings = parseConnectionString(given);
        if (userId.length() > 0) {
            settings.userId = text(userId);
        }
        if (password.length() > 0) {
            settings.password = text(password);
        }
        if (settings.connectTimeout) {
            timeout = *settings.connectTimeout;
        }
        odbcText = odbcConnectionString(settings, DriverSettings::fromEnvironment());
        m_defaultDatabase = settings.initialCatalog;
    } catch (const ConnectionStringError& e) {
        if (e.kind() != ConnectionStringError::Kind::UnknownProvider) {
            // The provider's refusal of its initialisation string (SQLSTATE 01S00).
            m_errors = {{E_FAIL, e.message(), L"01S00", 0}};
        }
        raiseConnectionString(e, __uuidof(_Connection));
    }
    try {
        m_link = std::make_unique<odbc::Connection>(odbcText, timeout);
    } catch (const odbc::Error& e) {
        keepErrors(e);
        raiseProvider(e, __uuidof(_Connection));
    }
    m_connectionString = given;
    return S_OK;
}

HRESULT ConnectionObject::Close() {
    if (!isOpen()) {
        raise(adErrObjectClosed);
    }
    m_link.reset();
    return S_OK;
}

_RecordsetPtr ConnectionObject::Execute(_bstr_t commandText, VARIANT* recordsAffected,
                                        long options) {
    if (!isOpen()) {
        raise(adErrInvalidConnection);
    }
    const bool noRecords = options != adOptionUnspecified && (options & adExecuteNoRecords) != 0;
    const long type =
        options == adOptionUnspecified ? long{adCmdText} : (options & ~long{adExecuteNoRecords});
    if (type != adCmdText && type != adCmdUnknown && type != adCmdStoredProc && type != 0) {
        raise(adErrInvalidArgument);
    }
    clearErrors();
    std::int64_t affected = -1;
    std::optional<odbc::ResultSet> result;
    try {
        if (type == adCmdStoredProc) {
            std::vector<odbc::Parameter> none;
            result = m_link->call(text(commandText), none, static_cast<int>(m_commandTimeout));
        } else {
            result =
                m_link->execute(text(commandText), static_cast<int>(m_commandTimeout), &affected);
        }
    } catch (const odbc::Error& e) {
        keepErrors(e);
        raiseProvider(e, __uuidof(_Connection));
    }
    if (recordsAffected != nullptr) {
        VariantClear(recordsAffected);
        recordsAffected->vt = VT_I4;
        recordsAffected->lVal = static_cast<LONG>(affected);
    }
    return noRecords ? _RecordsetPtr() : recordsetOf(std::move(result));
}

long ErrorsObject::GetCount() {
    auto* connection = dynamic_cast<ConnectionObject*>(m_connection.GetInterfacePtr());
    return connection ? static_cast<long>(connection->errors().size()) : 0;
}

ErrorPtr ErrorsObject::GetItem(const _variant_t& index) {
    auto* connection = dynamic_cast<ConnectionObject*>(m_connection.GetInterfacePtr());
    const std::size_t count = connection ? connection->errors().size() : 0;
    // Errors have no names: only ordinals find them.
    std::size_t i = collectionIndex(index, count, nullptr, L"ADODB.Errors", __uuidof(Errors));
    return ErrorPtr(new ErrorObject(connection->errors()[i]));
}

void ErrorsObject::Clear() {
    if (auto* connection = dynamic_cast<ConnectionObject*>(m_connection.GetInterfacePtr())) {
        connection->clearErrors();
    }
}

}  // namespace qv::ado
