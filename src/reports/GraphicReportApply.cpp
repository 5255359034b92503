// Applying a graphic report to an open drawing: layers, link lines, the categories' assets and
// space blocks, then the legend and pie chart at the markers, then the layer state.
#include <memory>

#include "blocks/Asset.h"
#include "blocks/Assets.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadDrawingState.h"
#include "drawing/DrawingLock.h"
#include "drawing/Hatch.h"
#include "drawing/HostIdentity.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "reports/Categories.h"
#include "reports/Category.h"
#include "reports/GraphicReport.h"
#include "reports/LinkLines.h"

static const LPCTSTR SOURCE_FILE = _T("GraphicReport.cpp");

namespace {

constexpr int TYPE_FLOOR = 8;
constexpr int TYPE_SITE = 10;

using blockhost::layerOf;

// The object id of a handle's text in the database; null when it does not resolve.
AcDbObjectId idOfHandle(AcDbDatabase* pDatabase, const CString& sHandle) {
    AcDbObjectId id;
    if (sHandle.IsEmpty() ||
        pDatabase->getAcDbObjectId(id, false, AcDbHandle(sHandle.GetString())) != Acad::eOk)
        return AcDbObjectId();
    return id;
}

void switchOn(CAcadDrawingState& state, const CString& sLayer) {
    if (!sLayer.IsEmpty())
        state.setLayerState(sLayer, 0, 0, 0, 1);
}

void reportBlockErrors(CBlockDWG* pBlock, COrvanExceptions& errors) {
    if (errors.getCount() == 0)
        return;
    acutPrintf(L"\t\terror(s) occurred whilst applying orvan block %s - %s.\n",
               static_cast<LPCTSTR>(pBlock->getCode()), static_cast<LPCTSTR>(pBlock->getHandle()));
    errors.printAll();
}

// Copies the report block's formatting onto a drawing block, keeping the drawing block's text
// rotation, height and width factor, and its stored area when the report gives none.
void copyFormattingKeeping(const CBlockDWG* pSource, CBlockDWG* pTarget) {
    CAttributes* pAttributes = pTarget->getAttributes();
    const bool bText = pAttributes != nullptr;
    const double dblRotation = bText ? pAttributes->getRotation() : 0.0;
    const double dblHeight = bText ? pAttributes->getTextHeight() : 0.0;
    const double dblWidth = bText ? pAttributes->getWidthFactor() : 0.0;
    const double dblArea = pTarget->getArea();
    pSource->copyFormatting(pTarget);
    if (pSource->getArea() == 0.0)
        pTarget->setArea(dblArea);
    if (bText && pTarget->getAttributes() != nullptr) {
        pTarget->getAttributes()->setRotation(dblRotation);
        pTarget->getAttributes()->setTextHeight(dblHeight);
        pTarget->getAttributes()->setWidthFactor(dblWidth);
    }
}

void applyAssets(CAssets* pAssets, CAcadDrawing* pDrawing, CAcadDrawingState& state) {
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    for (int i = 0; i < pAssets->getCount(); i++) {
        CAsset* pAsset = pAssets->getAt(i);
        const AcDbObjectId id = idOfHandle(pDatabase, pAsset->getHandle());
        if (id.isNull())
            continue;
        pAsset->setObjectId(id);
        COrvanExceptions errors;
        pAsset->applyToDWG(pDrawing, &errors);
        if (errors.getCount() > 0) {
            acutPrintf(L"\t\terror(s) occurred whilst applying asset %s - %s.\n",
                       static_cast<LPCTSTR>(pAsset->getBlockDescription()),
                       static_cast<LPCTSTR>(pAsset->getHandle()));
            errors.printAll();
        }
        AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForRead);
        if (pEntity.openStatus() == Acad::eOk)
            switchOn(state, layerOf(pEntity.object()));
    }
}

// The report blocks named by handle, and how many of those handles name no space block of the
// drawing: they do not resolve, or they name something else (a report made on another drawing
// may meet its handles here on lines and texts).
struct BlockCount {
    int iNamed = 0;
    int iMissing = 0;
};

// Whether the object of the id is a reference to a space block: its definition is named "ROOM-"
// and more, in any letter case, as the host's selection of space blocks matches it.
bool isSpaceBlockReference(AcDbObjectId id) {
    AcDbObjectPointer<AcDbBlockReference> pReference(id, AcDb::kForRead);
    return pReference.openStatus() == Acad::eOk &&
           blockhost::definitionNameOf(pReference.object()).Left(5).CompareNoCase(L"ROOM-") == 0;
}

// One report block with a handle: the drawing's block, read back and formatted, takes its place
// in the list; a reference that does not open for write is written from the report's block.
// False when the handle names no space block of the drawing (nothing, or another object).
bool applyHandleBlock(CBlocks* pBlocks, int iIndex, CBlockDWG* pBlock, CAcadDrawing* pDrawing,
                      CAcadDrawingState& state) {
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    const AcDbObjectId id = idOfHandle(pDatabase, pBlock->getHandle());
    if (id.isNull())
        return false;
    pBlock->setObjectId(id);
    const bool bSpaceBlock = isSpaceBlockReference(id);
    std::unique_ptr<CBlockDWG> pDrawn;
    Acad::ErrorStatus es;
    {
        AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForWrite);
        es = pEntity.openStatus();
        if (es == Acad::eOk) {
            if (auto* pReference = AcDbBlockReference::cast(pEntity.object()))
                pDrawn = std::make_unique<CBlockDWG>(pReference, pDrawing->getDocument());
        }
    }
    COrvanExceptions errors;
    if (es != Acad::eOk) {
        errors.add(new CEXUnhandled(es, ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                    _T("CGraphicReport::applyToDrawing"), __LINE__,
                                    pDrawing->getFileName(), nullptr));
        pBlock->applyToDWG(pDrawing, &errors);
        reportBlockErrors(pBlock, errors);
        switchOn(state, pBlock->getLayer());
        return bSpaceBlock;
    }
    if (!pDrawn)
        return false;
    copyFormattingKeeping(pBlock, pDrawn.get());
    pDrawn->applyToDWG(pDrawing, &errors);
    reportBlockErrors(pDrawn.get(), errors);
    pBlocks->replaceAt(iIndex, pDrawn.release());
    return bSpaceBlock;
}

// "*": every space block of the drawing but floors and sites, formatted like the report block;
// they become the category's list.
void applyToAllBlocks(CCategory* pCategory, CBlockDWG* pBlock, CAcadDrawing* pDrawing,
                      CAcadDrawingState& state) {
    auto pFound = std::make_unique<CBlocks>();
    pFound->getOrvanDWGBlocks_SS(pDrawing, true, L"f");
    pFound->deleteBlocksOfType(TYPE_FLOOR);
    pFound->deleteBlocksOfType(TYPE_SITE);
    for (int i = 0; i < pFound->getCount(); i++) {
        auto* pDrawn = dynamic_cast<CBlockDWG*>(pFound->getAt(i));
        if (pDrawn == nullptr)
            continue;
        copyFormattingKeeping(pBlock, pDrawn);
        COrvanExceptions errors;
        pDrawn->applyToDWG(pDrawing, &errors);
        reportBlockErrors(pDrawn, errors);
        switchOn(state, pDrawn->getLayer());
    }
    pCategory->setBlocks(pFound.release());
}

void applyCategory(CCategory* pCategory, CAcadDrawing* pDrawing, CAcadDrawingState& state,
                   BlockCount& count) {
    acutPrintf(L"\tapplying category %s.\n", static_cast<LPCTSTR>(pCategory->getTitle()));
    if (pCategory->getHatch() != nullptr)
        switchOn(state, CLayer::validateLayerName(pCategory->getHatch()->getLayerName()));
    if (pCategory->getAssets() != nullptr)
        applyAssets(pCategory->getAssets(), pDrawing, state);
    if (pCategory->getBlocks() == nullptr)
        return;
    acutPrintf(L"\tcategory contains %d blocks.\n", pCategory->getBlocks()->getCount());
    // "*" replaces the category's list; the list walked stays alive until the walk ends.
    std::unique_ptr<CBlocks> pWalked;
    CBlocks* pBlocks = pCategory->getBlocks();
    for (int i = 0; i < pBlocks->getCount(); i++) {
        auto* pBlock = dynamic_cast<CBlockDWG*>(pBlocks->getAt(i));
        if (pBlock == nullptr)
            continue;
        if (pBlock->getHandle() == L"*") {
            if (!pWalked)
                pWalked.reset(pCategory->releaseBlocks());
            applyToAllBlocks(pCategory, pBlock, pDrawing, state);
        } else {
            count.iNamed++;
            if (!applyHandleBlock(pBlocks, i, pBlock, pDrawing, state))
                count.iMissing++;
        }
    }
}

}  // namespace

void CGraphicReport::applyToDrawing(CAcadDrawing* pDrawing) {
    try {
        CAcadDrawingState state(pDrawing->getDocument()->database());
        if (!m_sPlotLayout.IsEmpty())
            state.setLayoutName(m_sPlotLayout);
        state.setAllLayerLineWeights(0);
        state.setOrvanLayersForOutput();
        acutPrintf(L"applying graphic report %s.\n", static_cast<LPCTSTR>(m_sTitle));

        CDrawingLock lock(pDrawing);
        if (!lock.held())
            return;

        if (m_pLayersOn != nullptr) {
            state.setStateAllOff(pDrawing);
            for (int i = 0; i < m_pLayersOn->getCount(); i++)
                switchOn(state, m_pLayersOn->getAt(i)->getName());
        }
        if (m_pLinkLines != nullptr) {
            acutPrintf(L"Applying link Lines\n");
            m_pLinkLines->applyToDrawing(pDrawing, &state);
        }
        bool bApplied = false;
        BlockCount count;
        if (m_pCategories != nullptr) {
            acutPrintf(L"\tgraphic report contains %d categories.\n", m_pCategories->getCount());
            for (int i = 0; i < m_pCategories->getCount(); i++) {
                bApplied = true;
                applyCategory(m_pCategories->getAt(i), pDrawing, state, count);
            }
        }
        if (bApplied && hostIdentity.isFullHost())
            applyLegendAndPie(pDrawing, state);
        // A report made on another drawing finds few or none of its blocks here; the user is
        // told, and the report's layout and layers are applied all the same.
        if (count.iMissing > 0)
            acutPrintf(L"%d of %d report blocks are not in this drawing\n", count.iMissing,
                       count.iNamed);
        state.applyState(pDrawing, 0);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CGraphicReport::applyToDrawing"));
    }
}
