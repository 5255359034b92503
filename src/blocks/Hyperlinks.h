// CHyperlinks: the owning list of the hyperlinks of a space block, an asset or an entity. The list
// never holds two hyperlinks with the same address (exact, case-sensitive comparison).
//
// Ownership: the list owns its elements; getAt hands out elements that stay the list's. The
// destructor deletes every element.
//
// XML form: "hyperlinks" holding one "hyperlink" per element, in list order (CHyperlink).
#pragma once

#include "StdAfx.h"

class CHyperlink;
class CStoredProcedure;

class CHyperlinks {
  public:
    CHyperlinks() = default;
    // The hyperlinks attached to the entity (open), in order, under the duplicate rule; none for
    // a null entity. Failures arrive wrapped as "CHyperlinks::CHyperlinks".
    explicit CHyperlinks(AcDbEntity* pEntity);
    virtual ~CHyperlinks();
    CHyperlinks(const CHyperlinks&) = delete;
    CHyperlinks& operator=(const CHyperlinks&) = delete;

    int getCount() const { return m_iCount; }
    // The element at 0 to count - 1; any other index raises CInvalidArgException.
    CHyperlink* getAt(int iIndex) const;
    // Takes the hyperlink over and appends it, unless the list holds one with the same address:
    // then the new one is deleted and the list is unchanged. A null hyperlink is ignored.
    void add(CHyperlink* pHyperlink);
    // Offers a copy of each element, in order, to the target (through add). The target is not
    // emptied first. A null target does nothing.
    void copyTo(CHyperlinks* pTarget) const;
    // Replaces the hyperlinks of the object (open for write) with this list's (address,
    // description, no sub-location); an empty list removes them. The host's status.
    Acad::ErrorStatus attachTo(AcDbObject* pObject) const;
    // Appends (duplicate rule) the hyperlinks that the database gives for an asset of a graphic
    // report's category: "__gr_getAssetHyperlinks" with "@categoryID" and "@handle"; each row's
    // "bhHref" and "bhDescription" (left empty when NULL). A COM error becomes a
    // CEXStoredProcedure naming "CHyperlinks::getAssetHyperlinks".
    void getAssetHyperlinks(CStoredProcedure* pStoredProcedure, int iTimeout, int iCategoryId,
                            CString sHandle);
    // Deletes every element and empties the list.
    void deleteObjects();

    // The "hyperlinks" element. Failures arrive wrapped as "CHyperlinks::serialize".
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Reads each child named exactly "hyperlink" of a "hyperlinks" element's child list into a
    // new hyperlink and adds it; other children are passed over. A null list adds nothing.
    void deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes);

  private:
    CArray<CHyperlink*, CHyperlink*> m_hyperlinks;
    int m_iCount = 0;
};
