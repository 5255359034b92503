// CCategories: the owning, ordered list of a graphic report's categories, with its part of the
// report file ("categories") and the loader of a report's categories from the facility
// database.
//
// The list never holds two equal categories (CCategory::isEqual): `add` refuses and deletes a
// category equal to a held one. A category with the same title but other hatch settings is
// added, so two categories may share a title. Equal categories are found through an index of
// each held category's title and hatch settings as they were when it was added, so a report of
// many categories is read in linear time.
//
// Ownership: the list owns every category it holds and deletes them with itself.
//
// Failures: every operation but getAt and getCount wraps a failure in a CEXUnhandled naming
// "CCategories::" and the operation (source file "Categories"); the database loader raises the
// stored procedure's CEXStoredProcedure (with the call's XML) when the call or its rows fail.
#pragma once

#include <cstddef>
#include <unordered_map>

#include "StdAfx.h"

class CCategory;
class CStoredProcedure;

class CCategories {
  public:
    CCategories() = default;
    ~CCategories();
    CCategories(const CCategories&) = delete;
    CCategories& operator=(const CCategories&) = delete;

    // Takes the category in every case: appended (1), or deleted when an equal category is
    // already held (0). A null category adds nothing (0).
    int add(CCategory* pCategory);
    // The category at 0 to count - 1; any other index raises CInvalidArgException.
    CCategory* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    // Deletes every category and empties the list.
    void deleteObjects();

    // "categories" holding each category's "category" element in list order.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // Adds a category for each node named "category" (filled by CCategory::deSerialize, then
    // handed to add); other nodes are passed over; a null list adds nothing.
    void deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes);

    // "__gr_getReportCategories" with "@graphicReportID": per row a category with "cID" and
    // "cTitle" (NULL keeps the default) and, when "cHatchPattern" is neither NULL nor empty, a
    // hatch of that pattern with "cHatchAngle", "cHatchColour" ("#RRGGBB"), "cHatchScale" (NULL
    // keeps the hatch's default) and "cHatchLayer" ("_Orvan" when NULL). The category's blocks
    // ("__gr_getCategoryBlocks") and assets ("__gr_getCategoryAssets") are asked for once the
    // row set is closed; an empty result leaves the list null. Each category then goes to add.
    void getReportCategories(CStoredProcedure* pStoredProcedure, int iGraphicReportID,
                             int iTimeout);

  private:
    CArray<CCategory*, CCategory*> m_categories;
    int m_iCount = 0;
    // The held categories by the hash of their title and hatch settings.
    std::unordered_multimap<std::size_t, CCategory*> m_index;
};
