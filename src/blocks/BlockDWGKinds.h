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
    CBlockDWGRoom(AcDbBlockReference* pReference, AcApDocument* pDocument);
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
