// osc_has and osc_hs: solid yellow hatches in space blocks.
#include "StdAfx.h"

#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Blocks.h"
#include "drawing/AcadUtilities.h"
#include "drawing/Hatch.h"
#include "module/BlockSweep.h"
#include "module/CommandFrame.h"
#include "module/UpdateCommands.h"

namespace {

// The gross-area block's name, which osc_has leaves unhatched.
const wchar_t GROSS_AREA_NAME[] = L"GROSS AREA";

// A new hatch setting of the commands: solid, angle 0, scale 500, on "#Hatch", true colour
// yellow. The caller owns it.
CHatch* newSolidYellowHatch() {
    auto* pHatch = new CHatch;
    pHatch->setPatternName(L"SOLID");
    pHatch->setPatternAngle(0);
    pHatch->setPatternScale(500);
    pHatch->setLayerName(L"#Hatch");
    AcCmColor colour;
    colour.setRGB(255, 255, 0);
    pHatch->setColour(colour);
    return pHatch;
}

void printTime(const CTime& time) {
    acutPrintf(L"%s\n", time.Format(L"%H:%M:%S"));
}

}  // namespace

void hatchAllSpaces() {
    guardCommand(_T("hatchAllSpaces"), [] {
        const CTime start = CTime::GetCurrentTime();
        printTime(start);
        int iHatched = 0;
        {
            CCommandFrame frame;
            CAcadDrawing* pDrawing = frame.openCurrentDrawing();
            CBlocks blocks;
            collectSpaceBlocks(pDrawing, blocks);
            iHatched = sweepBlocks(pDrawing, blocks, [](CBlockDWG& block) {
                if (block.getName() == GROSS_AREA_NAME)
                    return false;
                block.setHatch(newSolidYellowHatch());
                return true;
            });
        }
        const CTime end = CTime::GetCurrentTime();
        printTime(end);
        const LONGLONG seconds = (end - start).GetTotalSeconds();
        // Nothing hatched: no time per block to speak of.
        const double dblRate = iHatched > 0 ? static_cast<double>(seconds) / iHatched : 0.0;
        acutPrintf(L"%i block(s) hatched in %d seconds (%.2f s/b)\n", iHatched,
                   static_cast<int>(seconds), dblRate);
    });
}

void hatchSpace() {
    guardCommand(_T("hatchSpace"), [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        AcDbHandle picked;
        if (CAcadUtilities::selectSpaceHandle(&picked) != 0)
            return;
        const CString sHandle = blockhost::handleText(picked);
        CBlocks blocks;
        collectSpaceBlocks(pDrawing, blocks);
        sweepBlocks(pDrawing, blocks, [&](CBlockDWG& block) {
            if (block.getHandle() != sHandle)
                return false;
            block.setHatch(newSolidYellowHatch());
            return true;
        });
    });
}
