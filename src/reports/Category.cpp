// The category, its equality and its "category" element.
#include "reports/Category.h"

#include <memory>

#include "blocks/Assets.h"
#include "blocks/Blocks.h"
#include "core/OrvanExceptions.h"
#include "core/OwnedPointer.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"
#include "drawing/Hatch.h"

static const LPCTSTR SOURCE_FILE = _T("Category.cpp");

CCategory::~CCategory() {
    delete m_pBlocks;
    delete m_pAssets;
    delete m_pHatch;
}

void CCategory::setHatch(CHatch* pHatch) {
    replaceOwned(m_pHatch, pHatch);
}
void CCategory::setBlocks(CBlocks* pBlocks) {
    replaceOwned(m_pBlocks, pBlocks);
}
void CCategory::setAssets(CAssets* pAssets) {
    replaceOwned(m_pAssets, pAssets);
}

CBlocks* CCategory::releaseBlocks() {
    CBlocks* pBlocks = m_pBlocks;
    m_pBlocks = nullptr;
    return pBlocks;
}

CHatch* CCategory::ensureHatch() {
    if (m_pHatch == nullptr)
        m_pHatch = new CHatch;
    return m_pHatch;
}

bool CCategory::isEqual(const CCategory& other) const {
    if (m_sTitle != other.m_sTitle)
        return false;
    if (m_pHatch == nullptr || other.m_pHatch == nullptr)
        return m_pHatch == other.m_pHatch;
    const CHatch& mine = *m_pHatch;
    const CHatch& theirs = *other.m_pHatch;
    return mine.getColour() == theirs.getColour() &&
           mine.getPatternName() == theirs.getPatternName() &&
           mine.getPatternAngle() == theirs.getPatternAngle() &&
           mine.getPatternScale() == theirs.getPatternScale();
}

MSXML2::IXMLDOMNodePtr CCategory::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pCategory = xml.createNode(L"category", sNamespace);
        auto append = [&](LPCTSTR sName, const CString& sText) {
            pCategory->appendChild(xml.createNode(sName, sText, sNamespace));
        };
        append(L"cID", CUtilities::IntToCString(m_iID));
        append(L"cTitle", m_sTitle);
        if (m_pHatch != nullptr) {
            append(L"cHatchPattern", m_pHatch->getPatternName());
            append(L"cHatchColour", CUtilities::acadColourToHash(m_pHatch->getColour()));
            append(L"cHatchScale", CUtilities::IntToCString(m_pHatch->getPatternScale()));
            append(L"cHatchAngle", CUtilities::IntToCString(m_pHatch->getPatternAngle()));
            append(L"cHatchLayer", m_pHatch->getLayerName());
        }
        if (m_pBlocks != nullptr)
            pCategory->appendChild(m_pBlocks->serialize(sNamespace));
        if (m_pAssets != nullptr)
            pCategory->appendChild(m_pAssets->serialize(sNamespace));
        return pCategory;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CCategory::serialize"));
    }
}

void CCategory::deSerialize(MSXML2::IXMLDOMNodePtr pNode) {
    try {
        CXMLUtilities::readElement(
            pNode, L"category", [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                const CString sText = CXMLUtilities::textOf(pChild);
                if (sName == L"cID") {
                    m_iID = static_cast<int>(CUtilities::CStringToLong(sText));
                } else if (sName == L"cTitle") {
                    m_sTitle = sText;
                } else if (sName == L"cHatchPattern") {
                    ensureHatch()->setPatternName(sText);
                } else if (sName == L"cHatchColour") {
                    AcCmColor colour;
                    colour.setRGB(static_cast<Adesk::UInt8>(CUtilities::_httoi(sText.Mid(1, 2))),
                                  static_cast<Adesk::UInt8>(CUtilities::_httoi(sText.Mid(3, 2))),
                                  static_cast<Adesk::UInt8>(CUtilities::_httoi(sText.Mid(5, 2))));
                    ensureHatch()->setColour(colour);
                } else if (sName == L"cHatchScale") {
                    ensureHatch()->setPatternScale(CUtilities::CStringToInt(sText));
                } else if (sName == L"cHatchAngle") {
                    ensureHatch()->setPatternAngle(CUtilities::CStringToInt(sText));
                } else if (sName == L"cHatchLayer") {
                    ensureHatch()->setLayerName(sText);
                } else if (sName == L"orvanBlocks") {
                    auto pBlocks = std::make_unique<CBlocks>();
                    pBlocks->deSerialize(pChild, m_pHatch);
                    setBlocks(pBlocks.release());
                } else if (sName == L"assets") {
                    auto pAssets = std::make_unique<CAssets>();
                    pAssets->deSerialize(pChild->GetchildNodes(), m_pHatch);
                    setAssets(pAssets.release());
                }
            });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CCategory::deSerialize"));
    }
}
