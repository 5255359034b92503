#include "blocks/BlockDWGKinds.h"

CBlockDWGRoom::CBlockDWGRoom() {
    setBlockType(7);
    setBlockName(L"ROOM-");
}

CBlockDWGRoom::CBlockDWGRoom(AcDbBlockReference* pReference, AcApDocument* pDocument)
    : CBlockDWG(pReference, pDocument) {
    setBlockType(7);
}

CBlockDWGFloor::CBlockDWGFloor() {
    setBlockType(8);
    setBlockName(L"ROOM-GROSS_AREA");
}

CBlockDWGFloor::CBlockDWGFloor(AcDbBlockReference* pReference, AcApDocument* pDocument)
    : CBlockDWG(pReference, pDocument) {
    setBlockType(8);
}

CBlockDWGBuilding::CBlockDWGBuilding() {
    setBlockType(9);
    setBlockName(L"ROOM-");
}

CBlockDWGBuilding::CBlockDWGBuilding(AcDbBlockReference* pReference, AcApDocument* pDocument)
    : CBlockDWG(pReference, pDocument) {
    setBlockType(9);
}

CBlockDWGSite::CBlockDWGSite() {
    setBlockType(10);
    setBlockName(L"ROOM-GROSS_AREA");
}

CBlockDWGSite::CBlockDWGSite(AcDbBlockReference* pReference, AcApDocument* pDocument)
    : CBlockDWG(pReference, pDocument) {
    setBlockType(10);
}
