// The kinds of space block in the drawing. They only set the block type and the block name (a
// room's and a building's name is completed by a number by whoever creates them):
//   CBlockDWGRoom      7  "ROOM-"
//   CBlockDWGFloor     8  "ROOM-GROSS_AREA"
//   CBlockDWGBuilding  9  "ROOM-"
//   CBlockDWGSite     10  "ROOM-GROSS_AREA"
// Read from a block reference, a kind keeps the block name it read and sets its type.
#pragma once

#include "blocks/BlockDWG.h"

class CBlockDWGRoom : public CBlockDWG {
  public:
    CBlockDWGRoom();
    // With the assets flag set, the room also gets the assets that stand inside the first
    // polyline of its definition as the reference places it (CAssets::getPolylineAssets with
    // the reference's block transform); a definition without one gives no list. A failure of
    // the search leaves nothing open and arrives wrapped as "CBlockDWGRoom::CBlockDWGRoom".
    CBlockDWGRoom(AcDbBlockReference* pReference, AcApDocument* pDocument, int bAssets = 0);
};

class CBlockDWGFloor : public CBlockDWG {
  public:
    CBlockDWGFloor();
    CBlockDWGFloor(AcDbBlockReference* pReference, AcApDocument* pDocument);
};

class CBlockDWGBuilding : public CBlockDWG {
  public:
    CBlockDWGBuilding();
    CBlockDWGBuilding(AcDbBlockReference* pReference, AcApDocument* pDocument);
};

class CBlockDWGSite : public CBlockDWG {
  public:
    CBlockDWGSite();
    CBlockDWGSite(AcDbBlockReference* pReference, AcApDocument* pDocument);
};
