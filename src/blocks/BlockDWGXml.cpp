// The XML form of a space block: "orvanBlock" holding, in this order, "mbHandle" (always),
// "mbName" and "mbCode" (when not empty), "mbArea" (two decimals, when not 0), "mbSwapName",
// "mbSwapArea" and "mbSwapAux" (the values of the NAME, AREA and AUX attributes the block holds)
// and "hyperlinks" (when the block has hyperlinks).
#include <memory>

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
                xml.createNode(L"mbArea", CUtilities::DoubleToCString(getArea(), 2), sNamespace));
        if (m_pAttributes != nullptr) {
            for (const SwapElement& swap : SWAP_ELEMENTS) {
                if (const CAttribute* pRecord = m_pAttributes->getAtAttribute(swap.iKind))
                    pBlock->appendChild(
                        xml.createNode(swap.sName, pRecord->getValue(), sNamespace));
            }
        }
        if (getHyperlinks() != nullptr)
            pBlock->appendChild(getHyperlinks()->serialize(sNamespace));
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
                    setArea(CUtilities::CStringToDouble(sText));
                } else if (sName == L"hyperlinks") {
                    auto pLinks = std::make_unique<CHyperlinks>();
                    pLinks->deSerialize(pChild->GetchildNodes());
                    setHyperlinks(pLinks.release());
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
