#include "drawing/Layout.h"

#include <memory>

#include "core/DatabaseExceptions.h"
#include "core/OrvanExceptions.h"
#include "database/ParameterInt.h"
#include "database/ParameterText.h"
#include "database/Parameters.h"
#include "database/StoredProcedure.h"

static const LPCTSTR SOURCE_FILE = _T("Layout.cpp");

CLayout::CLayout() = default;

CLayout::~CLayout() = default;

void CLayout::addLayoutToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID) {
    // The list stays attached until the failure handling has described the call.
    std::unique_ptr<CAttachedParameters> attached;
    try {
        attached = std::make_unique<CAttachedParameters>(pStoredProcedure, new CParameters);
        CParameters* pParameters = attached->get();

        CParameterVarChar* pName = new CParameterVarChar;
        pName->setName(L"@layoutName");
        pName->setDirection(adParamInput);
        pName->setSize(255);
        pName->setValue(_bstr_t(m_sName.GetString()));
        pParameters->add(pName);

        CParameterInt* pAttachID = new CParameterInt;
        pAttachID->setName(L"@attachID");
        pAttachID->setDirection(adParamInput);
        pAttachID->setValue(iAttachID);
        pParameters->add(pAttachID);

        pStoredProcedure->setTimeout(iTimeout);
        pStoredProcedure->setName(L"__to_addDrawingLayout");
        pStoredProcedure->execSPNoReturnParas();
    } catch (const _com_error& e) {
        throw new CEXStoredProcedure(e, pStoredProcedure, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                     _T("CLayout::addLayoutToIPR"), 2);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLayout::addLayoutToIPR"));
    }
}
