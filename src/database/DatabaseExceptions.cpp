#include "database/DatabaseExceptions.h"

#include "database/StoredProcedure.h"

namespace {

CString text(const _bstr_t& value) {
    return static_cast<const wchar_t*>(value);
}

// What a COM error says: the description its error information carries, else the system's text
// for its HRESULT, so that no error reaches the user without words.
CString comDescription(const _com_error& e) {
    const CString description = text(e.Description());
    return description.IsEmpty() ? CString(e.ErrorMessage()) : description;
}

// The connection's provider errors as a chain of CEXCustom, the first error innermost; null when
// there are none. Reading stops at the first error that cannot be read.
CEXOrvan* providerErrors(const _ConnectionPtr& connection, const CString& source,
                         const CString& file, const CString& procSig) {
    CEXOrvan* chain = nullptr;
    try {
        ErrorsPtr errors = connection->GetErrors();
        const long count = errors->GetCount();
        for (long i = 0; i < count; ++i) {
            ErrorPtr error = errors->GetItem(_variant_t(i));
            chain = new CEXCustom(text(error->GetDescription()), source, file, procSig,
                                  static_cast<int>(error->GetNativeError()), chain);
        }
    } catch (...) {
        // What was read so far is kept.
    }
    return chain;
}

// The catalogue the connection names, or an empty text when it cannot be read.
CString defaultDatabase(const _ConnectionPtr& connection) {
    try {
        return text(connection->GetDefaultDatabase());
    } catch (...) {
        return CString();
    }
}

// The call's XML form in the error-log namespace, or null when there is no procedure or the
// form cannot be built: the error being raised matters more than its attachment.
MSXML2::IXMLDOMNodePtr procedureXML(CStoredProcedure* procedure) {
    if (!procedure) {
        return nullptr;
    }
    try {
        return procedure->serialize(ORVAN_ERROR_LOG_NAMESPACE);
    } catch (...) {
        discardCaughtError();
    }
    return nullptr;
}

}  // namespace

CEXConnection::CEXConnection(const _com_error& e, CString source, CString file, CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(comDescription(e));
}

CEXConnection::CEXConnection(_ConnectionPtr connection, CString source, CString file,
                             CString procSig)
    : CEXOrvan(source, file, procSig, 0, nullptr) {
    setDescription(L"An error occurred whilst connecting to " + defaultDatabase(connection));
    setInnerException(providerErrors(connection, source, file, procSig));
}

CEXStoredProcedure::CEXStoredProcedure(const _com_error& e, CStoredProcedure* procedure,
                                       CString source, CString file, CString procSig, int severity)
    : CEXOrvan(source, file, procSig, 0, nullptr), m_xmlNode(procedureXML(procedure)) {
    setSource(text(e.Source()));
    setDescription(comDescription(e));
    setSeverity(severity);
}

CEXStoredProcedure::CEXStoredProcedure(_ConnectionPtr connection, CStoredProcedure* procedure,
                                       CString source, CString file, CString procSig, int severity)
    : CEXOrvan(source, file, procSig, 0, nullptr), m_xmlNode(procedureXML(procedure)) {
    const CString name = procedure ? text(procedure->getName()) : CString();
    setDescription(L"An error occurred whilst executing [" + defaultDatabase(connection) + L"]..[" +
                   name + L"]");
    setSeverity(severity);
    setInnerException(providerErrors(connection, source, file, procSig));
}

CEXStoredProcedure::~CEXStoredProcedure() = default;
