// CBlocks from the facility database: the space blocks of a graphic report's category, and the
// location records below a parent.
#include <memory>
#include <vector>

#include "blocks/Assets.h"
#include "blocks/Attributes.h"
#include "blocks/BlockIPR.h"
#include "blocks/BlockDWG.h"
#include "blocks/Blocks.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "database/DatabaseExceptions.h"
#include "database/RecordsetReader.h"
#include "drawing/Hatch.h"
#include "blocks/ProcedureCall.h"

static const LPCTSTR SOURCE_FILE = _T("Blocks.cpp");  // one source file for the class

void CBlocks::getCategoryDWGBlocks(CStoredProcedure* pStoredProcedure, int iTimeout,
                                   int iCategoryID, CHatch* pHatchTemplate) {
    static const LPCTSTR PROC = _T("CBlocks::getCategoryDWGBlocks");
    try {
        std::vector<std::unique_ptr<CBlockDWG>> blocks;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getCategoryBlocks"), SOURCE_FILE, PROC,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@categoryID"), iCategoryID);
            },
            nullptr,
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
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC);
    }
}

void CBlocks::getIPRBlocks(CStoredProcedure* pStoredProcedure, int iTimeout, int iParentID,
                           bool bAssets) {
    static const LPCTSTR PROC = _T("CBlocks::getIPRBlocks");
    try {
        std::vector<std::unique_ptr<CBlockIPR>> records;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__to_getBlocksFromIPR"), SOURCE_FILE, PROC,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@parentID"), iParentID);
            },
            nullptr,
            [&](_RecordsetPtr pRows) {
                CRecordsetReader rows(pRows);
                while (rows.next()) {
                    int iId = 0;
                    rows.read(L"id", iId);
                    CString sType;
                    rows.read(L"type", sType);
                    std::unique_ptr<CBlockIPR> pRecord;
                    if (sType == L"r")
                        pRecord = std::make_unique<CBlockIPRRoom>();
                    else if (sType == L"f")
                        pRecord = std::make_unique<CBlockIPRFloor>();
                    else if (sType == L"b")
                        pRecord = std::make_unique<CBlockIPRBuilding>();
                    else
                        pRecord = std::make_unique<CBlockIPRSite>();
                    pRecord->setLocationID(iId);
                    int iParent = pRecord->getParentID();
                    if (rows.read(L"parentid", iParent))
                        pRecord->setParentID(iParent);
                    CString sText;
                    if (rows.read(L"name", sText))
                        pRecord->setName(sText);
                    if (rows.read(L"code", sText))
                        pRecord->setCode(sText);
                    CString sStatus;
                    if (rows.read(L"status", sStatus)) {
                        if (sStatus.GetLength() > 0 && sStatus[0] == L'0')
                            pRecord->setStatusExists(1);
                        if (sStatus.GetLength() > 1 && sStatus[1] == L'1')
                            pRecord->setStatusDuplicate(1);
                    }
                    double dblValue = 0.0;
                    if (rows.read(L"area", dblValue))
                        pRecord->setArea(dblValue);
                    if (rows.read(L"handle", sText))
                        pRecord->setHandle(sText);
                    if (rows.read(L"perimeter", dblValue))
                        pRecord->setPerimeter(dblValue);
                    records.push_back(std::move(pRecord));
                }
                rows.close();
            });
        // A room's assets come from a call of their own, made once the row set is closed.
        for (std::unique_ptr<CBlockIPR>& pRecord : records) {
            if (bAssets && pRecord->getBlockType() == 2) {
                auto pAssets = std::make_unique<CAssets>();
                pAssets->getLocationAssets(pStoredProcedure, pRecord->getLocationID(), iTimeout);
                pRecord->setAssets(pAssets.release());
            }
            addBlock(pRecord.release());
        }
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC);
    }
}

CBlockIPR* CBlocks::getAtIPRBlock(int iLocationID) const {
    for (int i = 0; i < m_iCount; i++) {
        CBlock* pBlock = m_blocks.GetAt(i);
        const int iType = pBlock->getBlockType();
        if (iType < 1 || iType > 5)
            continue;  // only database records have a location id
        auto* pRecord = static_cast<CBlockIPR*>(pBlock);
        if (pRecord->getLocationID() == iLocationID)
            return pRecord;
    }
    return nullptr;
}
