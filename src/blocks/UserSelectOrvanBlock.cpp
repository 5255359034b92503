// CAcadUtilities::userSelectOrvanBlock: picking a space block, with the space blocks it reads.
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadUtilities.h"

static const LPCTSTR SOURCE_FILE = _T("AcadUtilities.cpp");

int CAcadUtilities::userSelectOrvanBlock(AcApDocument* document, CBlock* target) {
    try {
        for (;;) {
            ads_name name;
            ads_point point;
            if (acedEntSel(L"\nPlease select a Orvan Space\n", name, point) != RTNORM) {
                acutPrintf(L"Cancelled by User.\n");
                return 0;
            }
            AcDbObjectId id;
            if (acdbGetObjectId(id, name) != Acad::eOk)
                continue;
            AcDbObjectPointer<AcDbEntity> entity(id, AcDb::kForRead);
            if (entity.openStatus() != Acad::eOk)
                continue;
            if (!blockhost::isExactly(entity.object(), L"AcDbBlockReference")) {
                entity.close();
                acutPrintf(L"Invalid selection.\n");
                continue;
            }
            const CBlockDWG picked(static_cast<AcDbBlockReference*>(entity.object()), document);
            entity.close();
            if (auto* drawingBlock = dynamic_cast<CBlockDWG*>(target))
                picked.copyInto(drawingBlock);
            else
                picked.CBlock::copyTo(target);
            return 1;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::userSelectOrvanBlock"));
    }
}
