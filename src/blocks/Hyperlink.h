// CHyperlink: one hyperlink of a space block, an asset or an entity: an address (the host calls
// it the hyperlink's name) and a description. Both empty after the default constructor.
//
// XML form (namespace given by the caller): "hyperlink" holding "bhHref" (always) and
// "bhDescription" (only when the description is not empty).
#pragma once

#include <utility>

#include "StdAfx.h"

class CHyperlink {
  public:
    CHyperlink() = default;
    CHyperlink(CString sHref, CString sDescription)
        : m_sHref(sHref), m_sDescription(sDescription) {}

    CString getHref() const { return m_sHref; }
    void setHref(CString sHref) { m_sHref = std::move(sHref); }
    CString getDescription() const { return m_sDescription; }
    void setDescription(CString sDescription) { m_sDescription = std::move(sDescription); }

    // The target's address and description become this one's. A null target does nothing.
    void copyTo(CHyperlink* pTarget) const;
    // The address becomes base + "?pb=10&page=1&id=" + the id in decimal; the description stays.
    void setHyperlink(CString sBase, long lId);

    // The "hyperlink" element, for the caller to insert. Failures arrive wrapped as
    // "CHyperlink::serialize".
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Reads a "hyperlink" element that has children: "bhHref" and "bhDescription" set their
    // fields (a later child of the same name wins), other children are passed over. Any other
    // node changes nothing.
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode);

  private:
    CString m_sHref;
    CString m_sDescription;
};
