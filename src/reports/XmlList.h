// The XML form shared by the report's owning lists (categories, link lines): an element holding
// one child element per item, in list order, and the reading of such a list, where each node of
// the item's name becomes a new item filled from it and handed to the list (which may refuse
// and delete it).
#pragma once

#include <functional>
#include <memory>

#include "StdAfx.h"
#include "core/XMLUtilities.h"

namespace reportxml {

// The empty element `sName` in the namespace, with item(i)'s element appended for i from 0 to
// iCount - 1.
inline MSXML2::IXMLDOMNodePtr serializeList(
    LPCTSTR sName, const CString& sNamespace, int iCount,
    const std::function<MSXML2::IXMLDOMNodePtr(int)>& item) {
    CXMLUtilities xml;
    MSXML2::IXMLDOMNodePtr pList = xml.createNode(sName, sNamespace);
    for (int i = 0; i < iCount; i++)
        pList->appendChild(item(i));
    return pList;
}

// For each node of the list named `sItemName`: a new Item filled by its deSerialize, then given
// to `add`, which takes it over. Other nodes are passed over; a null list adds nothing.
template <class Item>
void deSerializeEach(MSXML2::IXMLDOMNodeListPtr pNodes, LPCTSTR sItemName,
                     const std::function<void(Item*)>& add) {
    if (pNodes == nullptr)
        return;
    const long lCount = pNodes->Getlength();
    for (long i = 0; i < lCount; i++) {
        MSXML2::IXMLDOMNodePtr pNode = pNodes->Getitem(i);
        if (CXMLUtilities::nameOf(pNode) != sItemName)
            continue;
        auto pItem = std::make_unique<Item>();
        pItem->deSerialize(pNode);
        add(pItem.release());
    }
}

}  // namespace reportxml
