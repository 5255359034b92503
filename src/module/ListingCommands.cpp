// olb and ofrs: the listing of the space blocks and the renaming of their names by prefix.
#include "module/ListingCommands.h"

#include <optional>
#include <string>
#include <utility>

#include "StdAfx.h"

#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/OrvanAttribute.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"
#include "module/BlockSweep.h"
#include "module/CommandFrame.h"
#include "module/CsvField.h"

namespace {

// A handle's value in decimal, all 64 bits of it.
CString decimalHandle(const AcDbHandle& handle) {
    return CString(std::to_wstring(handle.value()).c_str());
}

void printBlockLine(const CBlockDWG* pBlock) {
    const CAssets* pAssets = pBlock->getAssets();
    acutPrintf(L"%s,%s,%s,%s,%s,%i\n", csvField(pBlock->getBlockName()).GetString(),
               csvField(pBlock->getName()).GetString(),
               CUtilities::DoubleToCString(pBlock->getArea(), 2).GetString(),
               pBlock->getHandle().GetString(),
               decimalHandle(*pBlock->getAcDbHandle()).GetString(),
               pAssets != nullptr ? pAssets->getCount() : 0);
}

void printAssetLines(const CAssets* pAssets) {
    for (int i = 0; i < pAssets->getCount(); ++i) {
        const CAsset* pAsset = pAssets->getAt(i);
        const CAttributes* pAttributes = pAsset->getAttributes();
        acutPrintf(L",,,,,,%s,%s,%s,%i\n", csvField(pAsset->getBlockIdentifier()).GetString(),
                   pAsset->getHandle().GetString(), decimalHandle(pAsset->getDbHandle()).GetString(),
                   pAttributes != nullptr ? pAttributes->getCount() : 0);
    }
}

}  // namespace

void listBlockNameIdentifier() {
    guardCommand(_T("listBlockNameIdentifier"), [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        BOOL bAscending = TRUE;
        BOOL bAssets = FALSE;
        CAcadUtilities::getBoolean(L"sort by handle in ascending order", TRUE, &bAscending);
        CAcadUtilities::getBoolean(L"list assets", FALSE, &bAssets);

        CBlocks blocks;
        blocks.getOrvanDWGBlocks_SS(pDrawing, true, L"f");
        blocks.sortBlocksByHandle(bAscending != FALSE);

        acutPrintf(L"\n\n");
        acutPrintf(L"ID,Name,Area,Handle(hex),Handle(dec),Assets\n");
        for (int i = 0; i < blocks.getCount(); ++i) {
            const auto* pBlock = static_cast<const CBlockDWG*>(blocks.getAt(i));
            printBlockLine(pBlock);
            if (bAssets && pBlock->getAssets() != nullptr)
                printAssetLines(pBlock->getAssets());
        }
    });
}

void orvanFindReplaceStub() {
    guardCommand(_T("orvanFindReplaceStub"), [] {
        CCommandFrame frame;
        const CString sFind = CAcadUtilities::getStringValue(L"Enter String to Find");
        const CString sReplace = CAcadUtilities::getStringValue(L"Enter String to Replace");
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();

        CBlocks blocks;
        collectSpaceBlocks(pDrawing, blocks);
        // A block's "changed to" line follows its write (and the errors the write collected),
        // so it is printed when the sweep moves on.
        std::optional<std::pair<CString, CString>> written;
        const auto printWritten = [&written] {
            if (written)
                acutPrintf(L"%s changed to %s\n", written->first.GetString(),
                           written->second.GetString());
            written.reset();
        };
        const int iChanges = sweepBlocks(pDrawing, blocks, [&](CBlockDWG& block) {
            printWritten();
            const CString sOld = block.getName();
            if (sOld.Left(sFind.GetLength()) != sFind)
                return false;
            const CString sNew = sReplace + sOld.Mid(sFind.GetLength());
            if (block.getAttributes() != nullptr) {
                if (CAttribute* pName =
                        block.getAttributes()->getAtAttribute(COrvanAttribute::KIND_NAME))
                    pName->setValue(sNew);
            }
            block.setName(sNew);
            written.emplace(sOld, sNew);
            return true;
        });
        printWritten();
        acutPrintf(L"%i blocks processed - %i changes made", blocks.getCount(), iChanges);
    });
}
