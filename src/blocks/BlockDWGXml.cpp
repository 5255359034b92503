// The XML form of a space block: "orvanBlock" holding, in this order, "mbHandle" (always),
// "mbName" and "mbCode" (when not empty), "mbArea" (when not 0, as the shortest text that reads
// back to the same value, so that a report's areas add up the same after a round trip),
// "mbSwapName", "mbSwapArea" and "mbSwapAux" (the values of the NAME, AREA and AUX attributes the block holds)
// "hyperlinks" (when the block has hyperlinks) and "assets" (when it has an asset list).
#include <memory>

#include "blocks/Assets.h"
#include "blocks/Attribute.h"
#include "blocks/Attributes.h"
#include "blocks/BlockDWG.h"
#include "blocks/Hyperlinks.h"
#include "blocks/OrvanAttribute.h"
#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "core/XMLUtilities.h"
#include "drawing/Hatch.h"

static const LPCTSTR SOURCE_FILE = _T("BlockDWG.cpp");  // one source file for the class

namespace {

struct SwapElement {
    const wchar_t* sName;
    int iKind;
};

const SwapElement SWAP_ELEMENTS[] = {
    {L"mbSwapName", COrvanAttribute::KIND_NAME},
    {L"mbSwapArea", COrvanAttribute::KIND_AREA},
    {L"mbSwapAux", COrvanAttribute::KIND_AUX},
};

}  // namespace

MSXML2::IXMLDOMNodePtr CBlockDWG::serialize(CString sNamespace) {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pBlock = xml.createNode(L"orvanBlock", sNamespace);
        pBlock->appendChild(xml.createNode(L"mbHandle", getHandle(), sNamespace));
        if (!getName().IsEmpty())
            pBlock->appendChild(xml.createNode(L"mbName", getName(), sNamespace));
        if (!getCode().IsEmpty())
            pBlock->appendChild(xml.createNode(L"mbCode", getCode(), sNamespace));
        if (getArea() != 0.0)
            pBlock->appendChild(
                xml.createNode(L"mbArea", CUtilities::DoubleToRoundTripCString(getArea()),
                               sNamespace));
        if (m_pAttributes != nullptr) {
            for (const SwapElement& swap : SWAP_ELEMENTS) {
                if (const CAttribute* pRecord = m_pAttributes->getAtAttribute(swap.iKind))
                    pBlock->appendChild(
                        xml.createNode(swap.sName, pRecord->getValue(), sNamespace));
            }
        }
        if (getHyperlinks() != nullptr)
            pBlock->appendChild(getHyperlinks()->serialize(sNamespace));
        if (m_pAssets != nullptr)
            pBlock->appendChild(m_pAssets->serialize(sNamespace));
        return pBlock;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::serialize"));
    }
}

void CBlockDWG::deSerialize(MSXML2::IXMLDOMNodePtr pNode, CHatch* pHatch) {
    try {
        if (pNode == nullptr || CXMLUtilities::nameOf(pNode) != L"orvanBlock")
            return;
        if (pHatch != nullptr) {
            auto pOwn = std::make_unique<CHatch>();
            pHatch->copyTo(pOwn.get());
            setHatch(pOwn.release());
        }
        CXMLUtilities::readElement(
            pNode, L"orvanBlock", [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                const CString sText = CXMLUtilities::textOf(pChild);
                if (sName == L"mbHandle") {
                    setHandle(sText);
                } else if (sName == L"mbName") {
                    setName(sText);
                } else if (sName == L"mbCode") {
                    setCode(sText);
                } else if (sName == L"mbArea") {
                    double dblArea = 0.0;
                    if (CUtilities::CStringToFiniteDouble(sText, L"report block area", dblArea))
                        setArea(dblArea);
                } else if (sName == L"hyperlinks") {
                    auto pLinks = std::make_unique<CHyperlinks>();
                    pLinks->deSerialize(pChild->GetchildNodes());
                    setHyperlinks(pLinks.release());
                } else if (sName == L"assets") {
                    // The assets of a room read from XML carry no hatch setting of their own.
                    auto pAssets = std::make_unique<CAssets>();
                    pAssets->deSerialize(pChild->GetchildNodes(), nullptr);
                    setAssets(pAssets.release());
                } else {
                    for (const SwapElement& swap : SWAP_ELEMENTS) {
                        if (sName != swap.sName)
                            continue;
                        if (m_pAttributes == nullptr)
                            setAttributes(new CAttributes);
                        auto* pRecord = new COrvanAttribute;
                        pRecord->setKind(swap.iKind);
                        pRecord->setValue(sText);
                        m_pAttributes->add(pRecord, FALSE);  // a repeated element keeps the first
                    }
                }
            });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CBlockDWG::deSerialize"));
    }
}
