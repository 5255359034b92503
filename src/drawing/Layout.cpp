#include "drawing/Layout.h"

#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("Layout.cpp");

CLayout::CLayout() = default;

CLayout::~CLayout() = default;

void CLayout::addLayoutToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID) {
    CLayer::callProcedure(pStoredProcedure, iTimeout, _T("__to_addDrawingLayout"), SOURCE_FILE,
                          _T("CLayout::addLayoutToIPR"), [&](CParameters& parameters) {
                              CLayer::addVarChar(parameters, _T("@layoutName"), m_sName);
                              CLayer::addInt(parameters, _T("@attachID"), iAttachID);
                          });
}
