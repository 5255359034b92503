// The category list, its "categories" element and its loader from the facility database.
#include "reports/Categories.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "blocks/Assets.h"
#include "blocks/Blocks.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "database/RecordsetReader.h"
#include "reports/XmlList.h"
#include "drawing/Hatch.h"
#include "reports/Category.h"

static const LPCTSTR SOURCE_FILE = _T("Categories.cpp");

CCategories::~CCategories() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

namespace {

// A hash of what CCategory::isEqual compares: equal categories have equal hashes.
std::size_t equalityHash(const CCategory& category) {
    auto mix = [](std::size_t seed, std::size_t value) {
        return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
    };
    std::size_t hash = std::hash<std::wstring_view>()(category.getTitle().GetString());
    const CHatch* pHatch = category.getHatch();
    if (pHatch == nullptr)
        return mix(hash, 0);
    hash = mix(hash, std::hash<std::wstring_view>()(pHatch->getPatternName().GetString()));
    hash = mix(hash, pHatch->getColour().color());
    hash = mix(hash, std::hash<double>()(pHatch->getPatternAngle()));
    return mix(hash, std::hash<double>()(pHatch->getPatternScale()));
}

}  // namespace

int CCategories::add(CCategory* pCategory) {
    try {
        if (pCategory == nullptr)
            return 0;
        std::unique_ptr<CCategory> pOwned(pCategory);
        const std::size_t hash = equalityHash(*pOwned);
        const auto range = m_index.equal_range(hash);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second->isEqual(*pOwned))
                return 0;
        }
        m_categories.Add(pOwned.get());
        m_index.emplace(hash, pOwned.release());
        m_iCount++;
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CCategories::add"));
    }
}

CCategory* CCategories::getAt(int iIndex) const {
    if (iIndex < 0 || iIndex >= m_iCount)
        AfxThrowInvalidArgException();
    return m_categories.GetAt(iIndex);
}

void CCategories::deleteObjects() {
    try {
        for (int i = 0; i < m_categories.GetSize(); i++)
            delete m_categories.GetAt(i);
        m_categories.RemoveAll();
        m_index.clear();
        m_iCount = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CCategories::deleteObjects"));
    }
}

MSXML2::IXMLDOMNodePtr CCategories::serialize(CString sNamespace) const {
    try {
        return reportxml::serializeList(L"categories", sNamespace, m_iCount, [&](int i) {
            return m_categories.GetAt(i)->serialize(sNamespace);
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CCategories::serialize"));
    }
}

void CCategories::deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes) {
    try {
        reportxml::deSerializeEach<CCategory>(pNodes, L"category",
                                        [&](CCategory* pItem) { add(pItem); });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CCategories::deSerialize"));
    }
}

void CCategories::getReportCategories(CStoredProcedure* pStoredProcedure, int iGraphicReportID,
                                      int iTimeout) {
    static const LPCTSTR PROC_SIG = _T("CCategories::getReportCategories");
    try {
        std::vector<std::unique_ptr<CCategory>> rowsRead;
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getReportCategories"), SOURCE_FILE, PROC_SIG,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@graphicReportID"), iGraphicReportID);
            },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader rows(pRecords);
                while (rows.next()) {
                    auto pCategory = std::make_unique<CCategory>();
                    int iValue = 0;
                    CString sText;
                    if (rows.read(L"cID", iValue))
                        pCategory->setID(iValue);
                    if (rows.read(L"cTitle", sText))
                        pCategory->setTitle(sText);
                    CString sPattern;
                    rows.read(L"cHatchPattern", sPattern);
                    if (!sPattern.IsEmpty()) {
                        auto pHatch = std::make_unique<CHatch>();
                        pHatch->setPatternName(sPattern);
                        if (rows.read(L"cHatchAngle", iValue))
                            pHatch->setPatternAngle(static_cast<short>(iValue));
                        sText.Empty();
                        if (rows.read(L"cHatchColour", sText)) {
                            AcCmColor colour;
                            CUtilities::hashColourToAcad(sText, colour);
                            pHatch->setColour(colour);
                        }
                        if (rows.read(L"cHatchScale", iValue))
                            pHatch->setPatternScale(static_cast<short>(iValue));
                        sText = L"_Orvan";
                        rows.read(L"cHatchLayer", sText);
                        pHatch->setLayerName(sText);
                        pCategory->setHatch(pHatch.release());
                    }
                    rowsRead.push_back(std::move(pCategory));
                }
                rows.close();
            });
        // The blocks and assets of each category, once the row set is closed.
        for (std::unique_ptr<CCategory>& pCategory : rowsRead) {
            auto pBlocks = std::make_unique<CBlocks>();
            pBlocks->getCategoryDWGBlocks(pStoredProcedure, iTimeout, pCategory->getID(),
                                          pCategory->getHatch());
            if (pBlocks->getCount() > 0)
                pCategory->setBlocks(pBlocks.release());
            auto pAssets = std::make_unique<CAssets>();
            pAssets->getCategoryAssets(pStoredProcedure, iTimeout, pCategory->getID(),
                                       pCategory->getHatch());
            if (pAssets->getCount() > 0)
                pCategory->setAssets(pAssets.release());
            add(pCategory.release());
        }
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC_SIG);
    }
}
