#include "blocks/Attribute.h"

#include "core/OrvanExceptions.h"
#include "database/ParameterBoolean.h"
#include "database/Parameters.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("Attribute.cpp");

CAttribute* CAttribute::clone() const {
    try {
        return new CAttribute(m_sTag, m_sValue, m_iExists);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAttribute::clone"));
    }
}

void CAttribute::applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingId, CString sHandle,
                            int iTimeout) const {
    CLayer::callProcedure(pStoredProcedure, iTimeout, _T("__to_applyAssetAttributeToIPR"),
                          SOURCE_FILE, _T("CAttribute::applyToIPR"), [&](CParameters& parameters) {
                              CLayer::addInt(parameters, _T("@drawingID"), iDrawingId);
                              CLayer::addVarChar(parameters, _T("@handle"), sHandle);
                              CLayer::addVarChar(parameters, _T("@tag"), m_sTag);
                              CLayer::addVarChar(parameters, _T("@value"), m_sValue);
                              auto* pExists = new CParameterBoolean;
                              pExists->setName(L"@exists");
                              pExists->setDirection(adParamInput);
                              pExists->setValue(m_iExists);
                              parameters.add(pExists);
                          });
}
