#include "database/StoredProcedure.h"

#include "core/Log.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "database/Parameters.h"

static const LPCTSTR SOURCE_FILE = _T("StoredProcedure.cpp");

CStoredProcedure::CStoredProcedure(CString dataSource, CString initialCatalog, CString userId,
                                   CString password, int timeout)
    : CDataServices(dataSource, initialCatalog, userId, password, timeout), m_timeout(timeout) {}

CStoredProcedure::~CStoredProcedure() = default;

_RecordsetPtr CStoredProcedure::run(LPCTSTR logText, bool withParameters, bool readOutputs) {
    _ConnectionPtr connection = requireConnection();
    _CommandPtr command;
    // A command that cannot be created leaves the pointer null, and the first use raises.
    command.CreateInstance(
        __uuidof(Command), NULL,
        CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER);
    command->PutRefActiveConnection(connection);
    command->PutCommandType(adCmdStoredProc);
    command->PutCommandTimeout(m_timeout);
    command->PutCommandText(m_name);
    if (withParameters && m_parameters && m_parameters->getCount() > 0) {
        m_parameters->addParametersToCommand(command);
    }
    if (!debugLogPath.IsEmpty()) {
        // Written before the call runs, so that a call that fails is in the log too.
        CLog log;
        log.writeToXMLDebugLog(debugLogPath, logText, serialize(ORVAN_DEBUG_LOG_NAMESPACE));
    }
    _RecordsetPtr records = command->Execute(NULL, NULL, adCmdStoredProc);
    if (readOutputs) {
        records = nullptr;
        if (m_parameters) {
            m_parameters->getOutputParametersFromCommand(command);
        }
    }
    return records;
}

void CStoredProcedure::execSPNoReturnNoParas() {
    static const LPCTSTR PROC_SIG = _T("CStoredProcedure::execSPNoReturnNoParas");
    try {
        run(_T("execSPNoReturnNoParas"), false, false);
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

void CStoredProcedure::execSPNoReturnParas() {
    static const LPCTSTR PROC_SIG = _T("CStoredProcedure::execSPNoReturnParas");
    try {
        run(_T("execSPNoReturnParas"), true, false);
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

void CStoredProcedure::execSPNoReturnParasReturn() {
    static const LPCTSTR PROC_SIG = _T("CStoredProcedure::execSPNoReturnParasReturn");
    try {
        run(_T("execSPNoReturnParas"), true, true);
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

_RecordsetPtr CStoredProcedure::execSPReturnNoParas() {
    static const LPCTSTR PROC_SIG = _T("CStoredProcedure::execSPReturnNoParas");
    try {
        return run(_T("execSPReturnNoParas"), false, false);
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

_RecordsetPtr CStoredProcedure::execSPReturnParas() {
    static const LPCTSTR PROC_SIG = _T("CStoredProcedure::execSPReturnParas");
    try {
        return run(_T("execSPReturnParas"), true, false);
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC_SIG);
    }
}

MSXML2::IXMLDOMNodePtr CStoredProcedure::serialize(CString namespaceURI) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr element = xml.createNode(L"storedProcedure", namespaceURI);
        element->appendChild(
            xml.createNode(L"name", static_cast<const wchar_t*>(m_name), namespaceURI));
        element->appendChild(
            xml.createUniversalTimeNode(ORVAN_ERROR_LOG_NAMESPACE, COleDateTime::GetCurrentTime()));
        if (m_parameters) {
            element->appendChild(m_parameters->serialize(namespaceURI));
        }
        return element;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CStoredProcedure::serialize"));
    }
}

// CAttachedParameters

CAttachedParameters::CAttachedParameters(CStoredProcedure* procedure, CParameters* parameters)
    : m_procedure(procedure), m_parameters(parameters) {
    if (m_procedure) {
        m_procedure->setParameters(m_parameters);
    }
}

CAttachedParameters::~CAttachedParameters() {
    if (m_procedure && m_procedure->getParameters() == m_parameters) {
        m_procedure->setParameters(nullptr);
    }
    delete m_parameters;
}
