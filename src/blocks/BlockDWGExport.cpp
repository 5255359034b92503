// The space-block kinds' export to the facility database: "__to_exportSpaceBlockToTP" for a room
// and a building (the parent location's id, name and code first), "__to_exportGrossAreaBlocktoTP"
// for a floor and a site (the block's own location id first), then the same sixteen values.
#include "blocks/Assets.h"
#include "blocks/BlockDWGKinds.h"
#include "blocks/ProcedureCall.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "database/DatabaseExceptions.h"

namespace {

using blockdb::addDecimal;
using blockdb::addInt;

void addText(CParameters& parameters, LPCTSTR sName, CString sValue) {
    blockdb::addVarChar(parameters, sName, sValue, 255);
}

// One export: the first parameters as `bSpace` says, then the values every kind sends.
void exportBlock(const CBlockDWG& block, CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                 const CString& sExportParameters, bool bSpace, LPCTSTR sSourceFile,
                 LPCTSTR sProcSig) {
    blockdb::callProcedure(
        pStoredProcedure, iTimeout,
        bSpace ? _T("__to_exportSpaceBlockToTP") : _T("__to_exportGrossAreaBlocktoTP"), sSourceFile,
        sProcSig, blockdb::Mode::NoReturn, [&](CParameters& parameters) {
            if (bSpace) {
                addInt(parameters, _T("@parentID"), iId);
                addText(parameters, _T("@name"), block.getName());
                addText(parameters, _T("@code"), block.getCode());
            } else {
                addInt(parameters, _T("@locationID"), iId);
            }
            addDecimal(parameters, _T("@area"), block.getArea());
            addText(parameters, _T("@areaType"), block.getAreaType());
            addText(parameters, _T("@costCentre"), block.getCostCentre());
            addText(parameters, _T("@date"), block.getDate());
            addText(parameters, _T("@dateLastMove"), block.getDateLastMove());
            addText(parameters, _T("@deptCharge"), block.getDeptCharge());
            addText(parameters, _T("@handle"), block.getHandle());
            addDecimal(parameters, _T("@perimeter"), block.getPerimeter());
            addDecimal(parameters, _T("@roomHeight"), block.getRoomHeight());
            addText(parameters, _T("@specialReq"), block.getSpecialReq());
            addText(parameters, _T("@tagType"), block.getTagType());
            addText(parameters, _T("@totStaff"), block.getTotStaff());
            addText(parameters, _T("@totWkStns"), block.getTotWkStns());
            addDecimal(parameters, _T("@volume"), block.getVolume());
            addText(parameters, _T("@exportParameters"), sExportParameters);
        });
}

}  // namespace

void CBlockDWGRoom::exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                             CString sExportParameters) {
    exportBlock(*this, pStoredProcedure, iTimeout, iId, sExportParameters, true,
                _T("BlockDWGRoom.cpp"), _T("CBlockDWGRoom::exportTP"));
    if (getAssets() == nullptr)
        return;
    try {
        getAssets()->exportTP(pStoredProcedure, iTimeout, sExportParameters);
    } catch (...) {
        rethrowProcedureError(_T("BlockDWGRoom.cpp"), _T("CBlockDWGRoom::exportTP"));
    }
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
