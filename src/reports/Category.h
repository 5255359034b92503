// CCategory: one line of a graphic report's key — a title, the hatch settings with which its
// space blocks and assets are drawn, and the space blocks and assets it covers. It reads and
// writes its "category" element of the report file.
//
// Ownership: the category owns its hatch, block list and asset list. Each setter takes the new
// object and deletes the one held before (unless it is the same); `releaseBlocks` hands the
// block list to the caller and leaves none.
//
// A category may have no hatch: it is still a category, applied, listed in the legend and pie
// without a hatch.
//
// Failures: every operation wraps a failure in a CEXUnhandled naming "CCategory::" and the
// operation (source file "Category").
#pragma once

#include "StdAfx.h"

class CAssets;
class CBlocks;
class CHatch;

// The namespace of every element of a graphic report file.
inline constexpr wchar_t ORVAN_REPORT_NAMESPACE[] = L"urn:orvan:graphicReport";

class CCategory {
  public:
    // Id 0, empty title, no hatch, no blocks, no assets.
    CCategory() = default;
    // Deletes the blocks, then the assets, then the hatch.
    ~CCategory();
    CCategory(const CCategory&) = delete;
    CCategory& operator=(const CCategory&) = delete;

    int getID() const { return m_iID; }
    void setID(int iID) { m_iID = iID; }
    CString getTitle() const { return m_sTitle; }
    void setTitle(CString sTitle) { m_sTitle = sTitle; }
    CHatch* getHatch() const { return m_pHatch; }
    void setHatch(CHatch* pHatch);
    CBlocks* getBlocks() const { return m_pBlocks; }
    void setBlocks(CBlocks* pBlocks);
    // The block list, now the caller's; the category holds none afterwards.
    CBlocks* releaseBlocks();
    CAssets* getAssets() const { return m_pAssets; }
    void setAssets(CAssets* pAssets);

    // Same title (exact) and same hatch settings: colour, pattern name (exact), angle and
    // scale. Two categories without a hatch have the same settings; one with a hatch and one
    // without do not.
    bool isEqual(const CCategory& other) const;

    // A new "category" element: "cID", "cTitle" (also when empty), the five hatch elements
    // ("cHatchPattern", "cHatchColour" as "#RRGGBB", "cHatchScale", "cHatchAngle",
    // "cHatchLayer") when there is a hatch, then "orvanBlocks" and "assets" when there are.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Fills the category from a "category" element with children (anything else changes
    // nothing). Children in any order; other names are passed over; a name given twice sets
    // its field twice, the later standing. The first hatch element (any of the five) makes the
    // category's hatch; "orvanBlocks" and "assets" get their own copies of the hatch made so
    // far and replace the lists held before. "cHatchColour" is read as a true colour from the
    // characters 2-3, 4-5 and 6-7 (hexadecimal; the first character is skipped, whatever it is).
    void deSerialize(MSXML2::IXMLDOMNodePtr pNode);

  private:
    CHatch* ensureHatch();

    int m_iID = 0;
    CString m_sTitle;
    CHatch* m_pHatch = nullptr;
    CBlocks* m_pBlocks = nullptr;
    CAssets* m_pAssets = nullptr;
};
