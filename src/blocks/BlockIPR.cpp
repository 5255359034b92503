#include "blocks/BlockIPR.h"

#include "blocks/Assets.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "database/Parameter.h"
#include "database/Parameters.h"
#include "core/OwnedPointer.h"

static const LPCTSTR SOURCE_FILE = _T("BlockIPR.cpp");

CBlockIPR::CBlockIPR() {
    setBlockType(1);
}

CBlockIPR::~CBlockIPR() {
    delete m_pAssets;
}

void CBlockIPR::setAssets(CAssets* pAssets) {
    replaceOwned(m_pAssets, pAssets);
}

void CBlockIPR::applyToIPR(CStoredProcedure* /*pStoredProcedure*/, int /*iDrawingID*/,
                           int /*iTimeout*/) {}

void CBlockIPR::applyRoomOrBuilding(CStoredProcedure* pStoredProcedure, int iTimeout,
                                    LPCTSTR sProcedure, LPCTSTR sProcSig,
                                    int iLocationDirection) {
    blockdb::callProcedure(
        pStoredProcedure, iTimeout, sProcedure, SOURCE_FILE, sProcSig,
        blockdb::Mode::ReadOutputs,
        [&](CParameters& parameters) {
            blockdb::addInt(parameters, _T("@locationID"), m_iLocationID, iLocationDirection);
            blockdb::addInt(parameters, _T("@parentID"), m_iParentID);
            blockdb::addVarChar(parameters, _T("@name"), getName(), 255);
            blockdb::addVarChar(parameters, _T("@code"), getCode(), 255);
            blockdb::addBoolean(parameters, _T("@statusExists"), m_iStatusExists);
            blockdb::addBoolean(parameters, _T("@statusDuplicate"), m_iStatusDuplicate);
            blockdb::addDecimal(parameters, _T("@area"), getArea());
            blockdb::addVarChar(parameters, _T("@handle"), getHandle(), 255);
            blockdb::addDecimal(parameters, _T("@perimeter"), getPerimeter());
            blockdb::addInt(parameters, _T("@precision"), getPrecision());
        },
        [&](CParameters& parameters) {
            CParameter* pLocation = parameters.getParameter(L"@locationID");
            if (pLocation != nullptr)
                m_iLocationID = static_cast<long>(pLocation->getValue());
        });
}

void CBlockIPR::applyFloorOrSite(CStoredProcedure* pStoredProcedure, int iTimeout,
                                 LPCTSTR sProcedure, LPCTSTR sProcSig) {
    blockdb::callProcedure(pStoredProcedure, iTimeout, sProcedure, SOURCE_FILE, sProcSig,
                           blockdb::Mode::NoReturn, [&](CParameters& parameters) {
                               blockdb::addInt(parameters, _T("@locationID"), m_iLocationID);
                               blockdb::addDecimal(parameters, _T("@area"), getArea());
                               blockdb::addVarChar(parameters, _T("@handle"), getHandle(), 255);
                               blockdb::addDecimal(parameters, _T("@perimeter"), getPerimeter());
                               blockdb::addInt(parameters, _T("@precision"), getPrecision());
                           });
}

CBlockIPRRoom::CBlockIPRRoom() {
    setBlockType(2);
}

void CBlockIPRRoom::applyToIPR(CStoredProcedure* pStoredProcedure, int iDrawingID,
                               int iTimeout) {
    applyRoomOrBuilding(pStoredProcedure, iTimeout, _T("__to_setRoomBlockInIPR"),
                        _T("CBlockIPRRoom::applyToIPR"), adParamInputOutput);
    if (getAssets() == nullptr)
        return;
    try {
        getAssets()->applyToIPR(pStoredProcedure, iDrawingID, getLocationID(), iTimeout);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockIPRRoom::applyToIPR"));
    }
}

CBlockIPRFloor::CBlockIPRFloor() {
    setBlockType(3);
}

void CBlockIPRFloor::applyToIPR(CStoredProcedure* pStoredProcedure, int /*iDrawingID*/,
                                int iTimeout) {
    applyFloorOrSite(pStoredProcedure, iTimeout, _T("__to_setFloorBlockInIPR"),
                     _T("CBlockIPRFloor::applyToIPR"));
}

CBlockIPRBuilding::CBlockIPRBuilding() {
    setBlockType(4);
}

void CBlockIPRBuilding::applyToIPR(CStoredProcedure* pStoredProcedure, int /*iDrawingID*/,
                                   int iTimeout) {
    applyRoomOrBuilding(pStoredProcedure, iTimeout, _T("__to_setBuildingBlockInIPR"),
                        _T("CBlockIPRBuilding::applyToIPR"), adParamInput);
}

CBlockIPRSite::CBlockIPRSite() {
    setBlockType(5);
}

void CBlockIPRSite::applyToIPR(CStoredProcedure* pStoredProcedure, int /*iDrawingID*/,
                               int iTimeout) {
    applyFloorOrSite(pStoredProcedure, iTimeout, _T("__to_setSiteBlockInIPR"),
                     _T("CBlockIPRSite::applyToIPR"));
}
