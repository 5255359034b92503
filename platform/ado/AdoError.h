// How the ADO objects raise their failures (see the contract in ado/Ado.h).
#pragma once

#include <string>
#include <vector>

#include "Ado.h"
#include "ConnectionString.h"
#include "odbc/Error.h"

namespace qv::ado {

// The source of every failure that the database or its driver reports.
inline constexpr const wchar_t* kProviderSource = L"Microsoft OLE DB Provider for ODBC Drivers";

// The HRESULT of one of ADO's own errors: 0x800A0000 + the number.
constexpr HRESULT adoHresult(ErrorValueEnum error) {
    return static_cast<HRESULT>(0x800A0000u + static_cast<DWORD>(error));
}

// ADO's text for one of its own errors.
const wchar_t* adoErrorText(ErrorValueEnum error);

// Raises one of ADO's own errors, from `source` ("ADODB.Recordset") and the interface `iid`.
[[noreturn]] void raiseAdo(ErrorValueEnum error, const wchar_t* source, REFIID iid);

// The HRESULT a driver failure of that kind carries.
HRESULT providerHresult(odbc::ErrorKind kind);

// One error of the provider as a connection's Errors collection keeps it.
struct ProviderError {
    HRESULT number = 0;
    std::wstring description;
    std::wstring sqlState;
    long nativeError = 0;
};

// The provider errors of a driver failure: one per diagnostic.
std::vector<ProviderError> providerErrors(const odbc::Error& error);

// Raises a driver failure: the first diagnostic's message is the description.
[[noreturn]] void raiseProvider(const odbc::Error& error, REFIID iid);

// Raises a connection string that cannot be used: an unknown provider as ADO's
// adErrProviderNotFound, anything else as the provider's refusal (E_FAIL) with the reason.
[[noreturn]] void raiseConnectionString(const ConnectionStringError& error, REFIID iid);

}  // namespace qv::ado
