#include "database/DataServices.h"

#include <cwchar>
#include <cwctype>

#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "database/DatabaseExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("DataServices.cpp");

namespace {

// A value as the OLE DB connection-string rules need it: as it is, or in double quotes with
// every double quote doubled when a ";", "=", a quote or white space at either end (a blank, a
// tab, a line end) would otherwise end it early or be lost.
CString connectionStringValue(const CString& value) {
    const bool quote = value.FindOneOf(L";=\"'") >= 0 ||
                       (!value.IsEmpty() && (iswspace(value[0]) || iswspace(value.Right(1)[0])));
    if (!quote) {
        return value;
    }
    CString quoted = value;
    quoted.Replace(L"\"", L"\"\"");
    return L"\"" + quoted + L"\"";
}

// Raises the refusal of a connection string as the provider raises one: a COM error whose
// description gives the reason.
[[noreturn]] void refuseConnectionString(LPCWSTR reason) {
    ICreateErrorInfoPtr writer;
    IErrorInfoPtr info;
    if (SUCCEEDED(CreateErrorInfo(&writer)) && writer) {
        writer->SetDescription(const_cast<LPOLESTR>(reason));
        writer->SetSource(const_cast<LPOLESTR>(L"ADODB.Connection"));
        info = writer;
    }
    throw _com_error(E_INVALIDARG, info.Detach());
}

}  // namespace

CDataServices::CDataServices() = default;

CDataServices::CDataServices(CString dataSource, CString initialCatalog, CString userId,
                             CString password, int timeout) {
    static const LPCTSTR PROC_SIG = _T("CDataServices::CDataServices");
    const CString connectionString =
        buildConnectionString(dataSource, initialCatalog, userId, password);
    m_comInitialised = SUCCEEDED(CoInitialize(NULL));
    try {
        const HRESULT hr =
            m_connection.CreateInstance(__uuidof(Connection), NULL,
                                        CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER |
                                            CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER);
        if (FAILED(hr)) {
            _com_issue_error(hr);
        }
        m_connection->PutConnectionTimeout(timeout);
        // The text handed to the provider ends at a NUL: a password "abc\0xyz" would log in as
        // "abc". A value that holds one is refused before it is handed over: the text then ends
        // before its length. (Find(L'\0') cannot tell: it finds the terminating NUL of every
        // text.)
        if (static_cast<int>(wcslen(connectionString.GetString())) != connectionString.GetLength())
            refuseConnectionString(L"A value of the connection (data source, catalogue, user or "
                                   L"password) holds a NUL character.");
        m_connection->Open(_bstr_t(connectionString), L"", L"", adConnectUnspecified);
        m_connected = 1;
    } catch (const _com_error& e) {
        // The driver's own diagnostics say most; without them the COM error has to do.
        CEXOrvan* error = nullptr;
        try {
            if (m_connection && m_connection->GetErrors()->GetCount() > 0) {
                error = new CEXConnection(m_connection, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                          PROC_SIG);
            }
        } catch (...) {
            error = nullptr;
        }
        if (!error) {
            error = new CEXConnection(e, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE, PROC_SIG);
        }
        end();
        throw error;
    } catch (...) {
        CEXUnhandled* error = wrapCaughtError(SOURCE_FILE, PROC_SIG);
        end();
        throw error;
    }
}

CDataServices::~CDataServices() {
    end();
}

void CDataServices::end() noexcept {
    if (m_connected == 1) {
        try {
            m_connection->Close();
        } catch (...) {
            // The connection goes with the object either way; a destructor must not throw.
            discardCaughtError();
        }
        m_connected = 0;
    }
    // Released before COM ends for this thread.
    m_connection = nullptr;
    if (m_comInitialised) {
        m_comInitialised = false;
        CoUninitialize();
    }
}

double CDataServices::getADOVersion() {
    try {
        double version = 0.0;
        if (isConnected()) {
            version = CUtilities::CStringToDouble(
                CString(static_cast<const wchar_t*>(m_connection->GetVersion())));
        }
        return version;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CDataServices::getADOVersion"));
    }
}

CString CDataServices::buildConnectionString(CString dataSource, CString initialCatalog,
                                             CString userId, CString password) {
    return L"Provider=SQLOLEDB;Data Source=" + connectionStringValue(dataSource) +
           L";Initial Catalog=" + connectionStringValue(initialCatalog) + L";User Id=" +
           connectionStringValue(userId) + L";Password=" + connectionStringValue(password) + L";";
}

_ConnectionPtr CDataServices::requireConnection() const {
    if (!isConnected()) {
        throw new CEXCustom(L"There is no open connection to the database.",
                            ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                            _T("CDataServices::requireConnection"), 0, nullptr);
    }
    return m_connection;
}
