// The kinds of space block in the drawing. They only set the block type and the block name (a
// room's and a building's name is completed by a number by whoever creates them):
//   CBlockDWGRoom      7  "ROOM-"
//   CBlockDWGFloor     8  "ROOM-GROSS_AREA"
//   CBlockDWGBuilding  9  "ROOM-"
//   CBlockDWGSite     10  "ROOM-GROSS_AREA"
// Read from a block reference, a kind keeps the block name it read and sets its type.
//
// exportTP writes the block to the facility database, all parameters input, the procedure's
// time-out set to `iTimeout` first, nothing read back:
//   room, building  "__to_exportSpaceBlockToTP": "@parentID" (iId), "@name", "@code", then the
//                   common values (18 parameters);
//   floor, site     "__to_exportGrossAreaBlocktoTP": "@locationID" (iId), then the common
//                   values (16 parameters).
// The common values: "@area", "@areaType", "@costCentre", "@date", "@dateLastMove",
// "@deptCharge", "@handle", "@perimeter", "@roomHeight", "@specialReq", "@tagType", "@totStaff",
// "@totWkStns", "@volume" (decimals of precision 18 and scale 10, texts of 255 characters),
// "@exportParameters". A failed call raises a CEXStoredProcedure with the call's XML; anything
// else a CEXUnhandled naming the kind's exportTP.
#pragma once

#include "blocks/BlockDWG.h"

class CStoredProcedure;

class CBlockDWGRoom : public CBlockDWG {
  public:
    CBlockDWGRoom();
    // With the assets flag set, the room also gets the assets that stand inside the first
    // polyline of its definition as the reference places it (CAssets::getPolylineAssets with
    // the reference's block transform); a definition without one gives no list. A failure of
    // the search leaves nothing open and arrives wrapped as "CBlockDWGRoom::CBlockDWGRoom".
    CBlockDWGRoom(AcDbBlockReference* pReference, AcApDocument* pDocument, int bAssets = 0);

    // The room's export, then each of its assets' (CAssets::exportTP) when it has a list.
    void exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                  CString sExportParameters);
};

class CBlockDWGFloor : public CBlockDWG {
  public:
    CBlockDWGFloor();
    CBlockDWGFloor(AcDbBlockReference* pReference, AcApDocument* pDocument);

    void exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                  CString sExportParameters);
};

class CBlockDWGBuilding : public CBlockDWG {
  public:
    CBlockDWGBuilding();
    CBlockDWGBuilding(AcDbBlockReference* pReference, AcApDocument* pDocument);

    void exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                  CString sExportParameters);
};

class CBlockDWGSite : public CBlockDWG {
  public:
    CBlockDWGSite();
    CBlockDWGSite(AcDbBlockReference* pReference, AcApDocument* pDocument);

    void exportTP(CStoredProcedure* pStoredProcedure, int iTimeout, int iId,
                  CString sExportParameters);
};
