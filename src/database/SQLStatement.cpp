#include "database/SQLStatement.h"

#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("SQLStatement.cpp");

CSQLStatement::CSQLStatement(CString dataSource, CString initialCatalog, CString userId,
                             CString password, int timeout)
    : CDataServices(dataSource, initialCatalog, userId, password, timeout) {}

CSQLStatement::~CSQLStatement() = default;

_RecordsetPtr CSQLStatement::run(_bstr_t sql, LPCTSTR procSig) {
    try {
        _ConnectionPtr connection = requireConnection();
        _variant_t recordsAffected(0L);
        return connection->Execute(sql, &recordsAffected, adOptionUnspecified);
    } catch (const _com_error& e) {
        throw new CEXSQLStatement(e, static_cast<const wchar_t*>(sql), ORVAN_MODULE_DESCRIPTION,
                                  SOURCE_FILE, procSig);
    } catch (...) {
        throwWrapped(SOURCE_FILE, procSig);
    }
}

int CSQLStatement::execSQLNoReturn(_bstr_t sql) {
    run(sql, _T("CSQLStatement::execSQLNoReturn"));
    return 1;
}

_RecordsetPtr CSQLStatement::execSQLReturn(_bstr_t sql) {
    return run(sql, _T("CSQLStatement::execSQLReturn"));
}
