#include "module/BlockSweep.h"

#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"

void collectSpaceBlocks(CAcadDrawing* pDrawing, CBlocks& blocks) {
    blocks.getOrvanDWGBlocks_SS(pDrawing, false, L"f");
}

int sweepBlocks(CAcadDrawing* pDrawing, CBlocks& blocks,
                const std::function<bool(CBlockDWG& block)>& change) {
    int iWritten = 0;
    for (int i = 0; i < blocks.getCount(); i++) {
        // The collection of the drawing holds nothing but drawing blocks.
        auto* pBlock = dynamic_cast<CBlockDWG*>(blocks.getAt(i));
        if (pBlock == nullptr || !change(*pBlock))
            continue;
        COrvanExceptions errors;
        pBlock->applyToDWG(pDrawing, &errors);
        ++iWritten;
        if (errors.getCount() > 0)
            errors.displayAll();
    }
    return iWritten;
}
