// The block collection's walks for the marker blocks (declared with the collection in
// blocks/Blocks.h; defined here, where the marker kinds are known).
#include "blocks/BlockDWGHost.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"

static const LPCTSTR SOURCE_FILE = _T("Blocks.cpp");

using blockhost::definitionNameOf;

void CBlocks::getLegendBlock_SS(CAcadDrawing* pDrawing) {
    try {
        walkSelection(pDrawing, getLegendBlockSS, [&](AcDbBlockReference* pReference) {
            if (definitionNameOf(pReference) == CMarkerBlock::LEGEND_BLOCK_NAME)
                addBlock(new CMarkerBlockLegend(pReference, pDrawing->getDocument()));
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getLegendBlock_SS"));
    }
}

void CBlocks::getPieBlock_SS(CAcadDrawing* pDrawing) {
    try {
        walkSelection(pDrawing, getPieBlockSS, [&](AcDbBlockReference* pReference) {
            if (definitionNameOf(pReference) == CMarkerBlock::PIE_BLOCK_NAME)
                addBlock(new CMarkerBlockPie(pReference, pDrawing->getDocument()));
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlocks::getPieBlock_SS"));
    }
}
