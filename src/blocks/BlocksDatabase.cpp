// CBlocks: the space blocks of a graphic report's category, from the facility database.
#include <memory>
#include <vector>

#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "database/DatabaseExceptions.h"
#include "database/RecordsetReader.h"
#include "drawing/Hatch.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("Blocks.cpp");  // one source file for the class

void CBlocks::getCategoryDWGBlocks(CStoredProcedure* pStoredProcedure, int iTimeout,
                                   int iCategoryID, CHatch* pHatchTemplate) {
    static const LPCTSTR PROC = _T("CBlocks::getCategoryDWGBlocks");
    try {
        std::vector<std::unique_ptr<CBlockDWG>> blocks;
        CLayer::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getCategoryBlocks"), SOURCE_FILE, PROC,
            [&](CParameters& parameters) {
                CLayer::addInt(parameters, _T("@categoryID"), iCategoryID);
            },
            [&](_RecordsetPtr pRows) {
                CRecordsetReader rows(pRows);
                while (rows.next()) {
                    auto pBlock = std::make_unique<CBlockDWG>();
                    CString sText;
                    if (rows.read(L"mbHandle", sText))
                        pBlock->setHandleFromString(sText);
                    if (rows.read(L"mbName", sText))
                        pBlock->setName(sText);
                    if (rows.read(L"mbCode", sText))
                        pBlock->setCode(sText);
                    double dblArea = 0.0;
                    if (rows.read(L"mbArea", dblArea))
                        pBlock->setArea(dblArea);
                    auto pAttributes = std::make_unique<CAttributes>();
                    const struct {
                        const wchar_t* sColumn;
                        int iKind;
                    } swaps[] = {{L"mbSwapName", COrvanAttribute::KIND_NAME},
                                 {L"mbSwapArea", COrvanAttribute::KIND_AREA},
                                 {L"mbSwapAux", COrvanAttribute::KIND_AUX}};
                    for (const auto& swap : swaps) {
                        CString sValue;
                        if (!rows.read(swap.sColumn, sValue) || sValue.IsEmpty())
                            continue;
                        auto pRecord = std::make_unique<COrvanAttribute>();
                        pRecord->setKind(swap.iKind);
                        pRecord->setValue(sValue);
                        pAttributes->add(pRecord.release(), FALSE);
                    }
                    pBlock->setAttributes(pAttributes.release());
                    blocks.push_back(std::move(pBlock));
                }
                rows.close();
            });
        // The hyperlinks come from a call of their own on the same procedure object, made once
        // the category's row set is closed.
        for (std::unique_ptr<CBlockDWG>& pBlock : blocks) {
            auto pLinks = std::make_unique<CHyperlinks>();
            pLinks->getBlockHyperlinks(pStoredProcedure, iTimeout, iCategoryID,
                                       pBlock->getHandle());
            if (pLinks->getCount() > 0)
                pBlock->setHyperlinks(pLinks.release());
            if (pHatchTemplate != nullptr) {
                auto pHatch = std::make_unique<CHatch>();
                pHatchTemplate->copyTo(pHatch.get());
                pBlock->setHatch(pHatch.release());
            }
            addBlock(pBlock.release());
        }
    } catch (CEXStoredProcedure*) {
        throw;
    } catch (...) {
        throwWrapped(SOURCE_FILE, PROC);
    }
}
