#include "ado/AdoError.h"

namespace qv::ado {

const wchar_t* adoErrorText(ErrorValueEnum error) {
    switch (error) {
        case adErrInvalidArgument:
            return L"Arguments are of the wrong type, are out of acceptable range, or are in "
                   L"conflict with one another.";
        case adErrNoCurrentRecord:
            return L"Either BOF or EOF is True, or the current record has been deleted. "
                   L"Requested operation requires a current record.";
        case adErrItemNotFound:
            return L"Item cannot be found in the collection corresponding to the requested name "
                   L"or ordinal.";
        case adErrObjectInCollection:
            return L"Object is already in collection. Cannot append.";
        case adErrDataConversion:
            return L"Application uses a value of the wrong type for the current operation.";
        case adErrObjectClosed:
            return L"Operation is not allowed when the object is closed.";
        case adErrObjectOpen:
            return L"Operation is not allowed when the object is open.";
        case adErrProviderNotFound:
            return L"Provider cannot be found. It may not be properly installed.";
        case adErrInvalidParamInfo:
            return L"Parameter object is improperly defined. Inconsistent or incomplete "
                   L"information was provided.";
        case adErrInvalidConnection:
            return L"The connection cannot be used to perform this operation. It is either "
                   L"closed or invalid in this context.";
        case adErrNotExecuting:
            return L"Operation cannot be performed while not executing.";
        case adErrFeatureNotAvailable:
            return L"Object or provider is not capable of performing requested operation.";
    }
    return L"Unknown ADO error.";
}

void raiseAdo(ErrorValueEnum error, const wchar_t* source, REFIID iid) {
    throw _com_error(adoHresult(error), qv::com::makeErrorInfo(adoErrorText(error), source, iid));
}

HRESULT providerHresult(odbc::ErrorKind kind) {
    switch (kind) {
        case odbc::ErrorKind::Connection:
            return E_FAIL;
        case odbc::ErrorKind::Timeout:
            return static_cast<HRESULT>(0x80040E31u);  // DB_E_ABORTLIMITREACHED
        case odbc::ErrorKind::Truncation:
            return static_cast<HRESULT>(0x80040E57u);  // DB_E_DATAOVERFLOW
        case odbc::ErrorKind::Conversion:
            return static_cast<HRESULT>(0x80040E07u);  // DB_E_CANTCONVERTVALUE
        case odbc::ErrorKind::Call:
            return static_cast<HRESULT>(0x80040E14u);  // DB_E_ERRORSINCOMMAND
    }
    return E_FAIL;
}

std::vector<ProviderError> providerErrors(const odbc::Error& error) {
    std::vector<ProviderError> out;
    for (const odbc::Diagnostic& d : error.diagnostics()) {
        out.push_back({providerHresult(error.kind()), d.message, d.sqlState, d.nativeError});
    }
    return out;
}

void raiseProvider(const odbc::Error& error, REFIID iid) {
    throw _com_error(providerHresult(error.kind()),
                     qv::com::makeErrorInfo(error.message().c_str(), kProviderSource, iid));
}

void raiseConnectionString(const ConnectionStringError& error, REFIID iid) {
    if (error.kind() == ConnectionStringError::Kind::UnknownProvider) {
        raiseAdo(adErrProviderNotFound, L"ADODB.Connection", iid);
    }
    throw _com_error(E_FAIL, qv::com::makeErrorInfo(error.message().c_str(), kProviderSource, iid));
}

}  // namespace qv::ado
