#include "blocks/ProcedureCall.h"

#include <memory>

#include "core/OrvanExceptions.h"
#include "database/DatabaseExceptions.h"
#include "database/ParameterBoolean.h"
#include "database/ParameterDecimal.h"
#include "database/ParameterInt.h"
#include "database/ParameterText.h"
#include "database/ParameterTinyInt.h"
#include "database/Parameters.h"
#include "database/StoredProcedure.h"

namespace blockdb {

namespace {

// Appends a parameter made by the caller; it is deleted when the list refuses it.
template <class Kind>
void append(CParameters& parameters, Kind* pParameter) {
    try {
        parameters.add(pParameter);
    } catch (...) {
        delete pParameter;
        throw;
    }
}

}  // namespace

void callProcedure(CStoredProcedure* pStoredProcedure, int iTimeout, LPCTSTR sProcedure,
                   LPCTSTR sSourceFile, LPCTSTR sProcSig, Mode mode,
                   const std::function<void(CParameters&)>& fill,
                   const std::function<void(CParameters&)>& after,
                   const std::function<void(_RecordsetPtr)>& rows) {
    // Declared before the try block, so that the list is still attached while an error object
    // describes the call, and detached and deleted afterwards on every path.
    std::unique_ptr<CAttachedParameters> attached;
    bool bRan = false;
    try {
        if (pStoredProcedure == nullptr)
            throw new CEXUnhandled(L"There is no stored procedure to call.",
                                   ORVAN_MODULE_DESCRIPTION, sSourceFile, sProcSig, 0);
        auto pParameters = std::make_unique<CParameters>();
        fill(*pParameters);
        pStoredProcedure->setTimeout(iTimeout);
        pStoredProcedure->setName(sProcedure);
        attached = std::make_unique<CAttachedParameters>(pStoredProcedure, pParameters.release());
        _RecordsetPtr pRows;
        switch (mode) {
        case Mode::NoReturn:
            pStoredProcedure->execSPNoReturnParas();
            break;
        case Mode::ReadOutputs:
            pStoredProcedure->execSPNoReturnParasReturn();
            break;
        case Mode::ReadRows:
            pRows = pStoredProcedure->execSPReturnParas();
            break;
        }
        bRan = true;
        if (after)
            after(*attached->get());
        if (rows)
            rows(pRows);
    } catch (const _com_error& e) {
        throw new CEXStoredProcedure(e, pStoredProcedure, ORVAN_MODULE_DESCRIPTION, sSourceFile,
                                     sProcSig, 2);
    } catch (CEXOrvan* e) {
        if (!bRan && attached)
            throw new CEXStoredProcedure(e, pStoredProcedure, ORVAN_MODULE_DESCRIPTION,
                                         sSourceFile, sProcSig, 2);
        throw new CEXUnhandled(ORVAN_MODULE_DESCRIPTION, sSourceFile, sProcSig, 0, e);
    } catch (...) {
        throwWrapped(sSourceFile, sProcSig);
    }
}

void addInt(CParameters& parameters, LPCTSTR sName, int iValue, int iDirection) {
    auto* p = new CParameterInt;
    p->setName(sName);
    p->setDirection(iDirection);
    p->setValue(iValue);
    append(parameters, p);
}

void addVarChar(CParameters& parameters, LPCTSTR sName, CString sValue, int iSize) {
    auto* p = new CParameterVarChar;
    p->setName(sName);
    p->setDirection(adParamInput);
    p->setSize(iSize);
    p->setValue(_bstr_t(sValue.GetString()));
    append(parameters, p);
}

void addTinyInt(CParameters& parameters, LPCTSTR sName, int iValue) {
    if (iValue < 0 || iValue > 255) {
        CString sMessage;
        sMessage.Format(L"%s must lie between 0 and 255, not %d", sName, iValue);
        throw new CEXUnhandled(sMessage, ORVAN_MODULE_DESCRIPTION, L"ProcedureCall.cpp",
                               L"blockdb::addTinyInt", 0);
    }
    auto* p = new CParameterTinyInt;
    p->setName(sName);
    p->setDirection(adParamInput);
    p->setValue(static_cast<BYTE>(iValue));
    append(parameters, p);
}

void addDecimal(CParameters& parameters, LPCTSTR sName, double dblValue) {
    auto* p = new CParameterDecimal;
    p->setName(sName);
    p->setDirection(adParamInput);
    p->setPrecision(18);
    p->setNumericScale(10);
    p->setValue(dblValue);
    append(parameters, p);
}

void addBoolean(CParameters& parameters, LPCTSTR sName, int iValue, int iDirection) {
    auto* p = new CParameterBoolean;
    p->setName(sName);
    p->setDirection(iDirection);
    p->setValue(iValue);
    append(parameters, p);
}

}  // namespace blockdb
