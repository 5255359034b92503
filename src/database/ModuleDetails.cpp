#include "database/ModuleDetails.h"

#include <memory>

#include "core/ModuleDescription.h"
#include "core/OrvanExceptions.h"
#include "database/DatabaseExceptions.h"
#include "database/ParameterDateTime.h"
#include "database/ParameterText.h"
#include "database/Parameters.h"
#include "database/StoredProcedure.h"

static const LPCTSTR SOURCE_FILE = _T("ModuleDetails.cpp");
static const LPCTSTR CATALOGUE = _T("docMon");

namespace {

CParameter* varChar(LPCTSTR name, int size, const CString& value) {
    auto* parameter = new CParameterVarChar;
    parameter->setName(name);
    parameter->setDirection(adParamInput);
    parameter->setSize(size);
    parameter->setValue(_bstr_t(value));
    return parameter;
}

// Runs one procedure on a connection of its own to "docMon", with the input parameters that
// `fill` adds to its list. The procedure and the list outlive the failure handling, so that an
// error object can still describe the call; the guard then detaches the list before deleting it.
template <class Fill>
void runProcedure(const CString& dataSource, const CString& userId, const CString& password,
                  int timeout, LPCTSTR name, LPCTSTR procSig, Fill fill) {
    std::unique_ptr<CStoredProcedure> procedure;
    std::unique_ptr<CAttachedParameters> parameters;
    try {
        procedure =
            std::make_unique<CStoredProcedure>(dataSource, CATALOGUE, userId, password, timeout);
        parameters = std::make_unique<CAttachedParameters>(procedure.get(), new CParameters);
        fill(*parameters->get());
        procedure->setName(name);
        procedure->execSPNoReturnParas();
    } catch (const _com_error& e) {
        throw new CEXStoredProcedure(e, procedure.get(), ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                     procSig, 2);
    } catch (...) {
        throwWrapped(SOURCE_FILE, procSig);
    }
}

}  // namespace

CModuleDetails::CModuleDetails()
    : m_moduleName(L"VRK"),
      m_moduleDescription(ORVAN_MODULE_DESCRIPTION),
      m_moduleDate(2014, 11, 24, 0, 0, 0),
      m_moduleVersion(L"64.04.00.01") {}

void CModuleDetails::setModDetails(CString dataSource, CString userId, CString password,
                                   int timeout) {
    runProcedure(dataSource, userId, password, timeout, _T("__mod_setModDetails"),
                 _T("CModuleDetails::setModDetails"), [this](CParameters& parameters) {
                     parameters.add(varChar(L"@moduleName", 12, m_moduleName));
                     parameters.add(varChar(L"@moduleDescription", 255, m_moduleDescription));

                     auto* version = new CParameterChar;
                     version->setName(L"@moduleVersion");
                     version->setDirection(adParamInput);
                     // The whole version text: a shorter size would be refused by the database.
                     version->setSize(m_moduleVersion.GetLength());
                     version->setValue(_bstr_t(m_moduleVersion));
                     parameters.add(version);

                     auto* date = new CParameterDateTime;
                     date->setName(L"@moduleDate");
                     date->setDirection(adParamInput);
                     date->setValue(m_moduleDate);
                     parameters.add(date);
                 });
}

void CModuleDetails::setModuleRunning(CString dataSource, CString userId, CString password,
                                      int timeout) {
    runProcedure(dataSource, userId, password, timeout, _T("__mod_setModRunning"),
                 _T("CModuleDetails::setModuleRunning"), [this](CParameters& parameters) {
                     parameters.add(varChar(L"@MODNAME", 12, m_moduleName));
                 });
}
