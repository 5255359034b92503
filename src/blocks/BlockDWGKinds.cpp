#include "blocks/BlockDWGKinds.h"

#include <memory>

#include "blocks/Assets.h"
#include "blocks/BlockDWGHost.h"
#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWGKinds.cpp");

CBlockDWGRoom::CBlockDWGRoom() {
    setBlockType(7);
    setBlockName(L"ROOM-");
}

CBlockDWGRoom::CBlockDWGRoom(AcDbBlockReference* pReference, AcApDocument* pDocument,
                             int bAssets)
    : CBlockDWG(pReference, pDocument) {
    setBlockType(7);
    if (!bAssets || pReference == nullptr)
        return;
    try {
        AcDbObjectPointer<AcDbBlockTableRecord> pDefinition(pReference->blockTableRecord(),
                                                             AcDb::kForRead);
        if (pDefinition.openStatus() != Acad::eOk)
            return;
        for (const AcDbObjectId& id : blockhost::entityIdsOf(pDefinition.object())) {
            if (!blockhost::isExactly(id, L"AcDbPolyline"))
                continue;
            AcDbObjectPointer<AcDbPolyline> pOutline(id, AcDb::kForRead);
            if (pOutline.openStatus() != Acad::eOk)
                return;
            auto pAssets = std::make_unique<CAssets>();
            pAssets->getPolylineAssets(pReference->blockTransform(), pOutline.object());
            setAssets(pAssets.release());
            return;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWGRoom::CBlockDWGRoom"));
    }
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
