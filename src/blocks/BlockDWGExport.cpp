// The space-block kinds' export to the facility database: "__to_exportSpaceBlockToTP" for a room
// and a building (the parent location's id, name and code first), "__to_exportGrossAreaBlocktoTP"
// for a floor and a site (the block's own location id first), then the same sixteen values.
#include "blocks/BlockDWGKinds.h"
#include "database/DatabaseExceptions.h"
#include "database/ParameterDecimal.h"
#include "database/Parameters.h"
#include "drawing/Layer.h"

namespace {

void addDecimal(CParameters& parameters, LPCTSTR sName, double dblValue) {
    auto* pParameter = new CParameterDecimal;
    pParameter->setName(sName);
    pParameter->setDirection(adParamInput);
    pParameter->setPrecision(18);
    pParameter->setNumericScale(10);
    pParameter->setValue(dblValue);
    parameters.add(pParameter);
}

// One export: the first parameters as `bSpace` says, then the values every kind sends.
void exportBlock(const CBlockDWG& block, CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                 const CString& sExportParameters, bool bSpace, LPCTSTR sSourceFile,
                 LPCTSTR sProcSig) {
    CLayer::callProcedure(
        pStoredProcedure, iTimeout,
        bSpace ? _T("__to_exportSpaceBlockToTP") : _T("__to_exportGrossAreaBlocktoTP"),
        sSourceFile, sProcSig, [&](CParameters& parameters) {
            if (bSpace) {
                CLayer::addInt(parameters, _T("@parentID"), iId);
                CLayer::addVarChar(parameters, _T("@name"), block.getName());
                CLayer::addVarChar(parameters, _T("@code"), block.getCode());
            } else {
                CLayer::addInt(parameters, _T("@locationID"), iId);
            }
            addDecimal(parameters, _T("@area"), block.getArea());
            CLayer::addVarChar(parameters, _T("@areaType"), block.getAreaType());
            CLayer::addVarChar(parameters, _T("@costCentre"), block.getCostCentre());
            CLayer::addVarChar(parameters, _T("@date"), block.getDate());
            CLayer::addVarChar(parameters, _T("@dateLastMove"), block.getDateLastMove());
            CLayer::addVarChar(parameters, _T("@deptCharge"), block.getDeptCharge());
            CLayer::addVarChar(parameters, _T("@handle"), block.getHandle());
            addDecimal(parameters, _T("@perimeter"), block.getPerimeter());
            addDecimal(parameters, _T("@roomHeight"), block.getRoomHeight());
            CLayer::addVarChar(parameters, _T("@specialReq"), block.getSpecialReq());
            CLayer::addVarChar(parameters, _T("@tagType"), block.getTagType());
            CLayer::addVarChar(parameters, _T("@totStaff"), block.getTotStaff());
            CLayer::addVarChar(parameters, _T("@totWkStns"), block.getTotWkStns());
            addDecimal(parameters, _T("@volume"), block.getVolume());
            CLayer::addVarChar(parameters, _T("@exportParameters"), sExportParameters);
        });
}

}  // namespace

void CBlockDWGRoom::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                             CString sExportParameters) {
    exportBlock(*this, pStoredProcedure, iTimeout, iId, sExportParameters, true,
                _T("BlockDWGRoom.cpp"), _T("CBlockDWGRoom::exportTP"));
}

void CBlockDWGFloor::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                              CString sExportParameters) {
    exportBlock(*this, pStoredProcedure, iTimeout, iId, sExportParameters, false,
                _T("BlockDWGFloor.cpp"), _T("CBlockDWGFloor::exportTP"));
}

void CBlockDWGBuilding::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                                 CString sExportParameters) {
    exportBlock(*this, pStoredProcedure, iTimeout, iId, sExportParameters, true,
                _T("BlockDWGBuilding.cpp"), _T("CBlockDWGBuilding::exportTP"));
}

void CBlockDWGSite::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                             CString sExportParameters) {
    exportBlock(*this, pStoredProcedure, iTimeout, iId, sExportParameters, false,
                _T("BlockDWGSite.cpp"), _T("CBlockDWGSite::exportTP"));
}
