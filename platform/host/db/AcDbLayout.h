// Layouts: model space ("Model") and the paper layouts of a drawing, each a plot-settings object
// with a name, a place among the tabs and the block that holds its entities. The layouts live in
// the named-object dictionary's dictionary "ACAD_LAYOUT", keyed by their names; the layout
// manager (AcDbLayoutManager.h) makes, finds and switches them.
//
// The block of model space is "*Model_Space". The block of the current paper layout (or of the
// last one current, while model space is) is "*Paper_Space"; the blocks of the other paper
// layouts are "*Paper_Space0", "*Paper_Space1", ... Making another paper layout current swaps the
// names of the two blocks, so a layout keeps its block (and its entities) whatever the names.
//
// Layout names follow the rules of symbol names (1 to 255 characters, none of < > / \ " : ; ? *
// | , = `) and compare without regard to case; "Model" belongs to model space alone.
#pragma once

#include <string>
#include <vector>

#include "AcDbPlotSettings.h"
#include "AcDbDictionary.h"
#include "../ge/AcGePoint.h"

class AcDbLayout : public AcDbPlotSettings {
    QV_RX_DECLARE_MEMBERS(AcDbLayout)
  public:
    // A paper layout without a name or block, tab order 0.
    AcDbLayout();
    // Model space's layout (true) or a paper layout (false).
    explicit AcDbLayout(bool modelType);
    QV_RX_CLONE(AcDbLayout)

    // A pointer into the layout (valid while it is open and unchanged).
    Acad::ErrorStatus getLayoutName(const ACHAR*& name) const;
    // A copy for the caller to free with acutDelString.
    Acad::ErrorStatus getLayoutName(ACHAR*& name) const;
    // Renames the layout and its dictionary entry. eInvalidInput for an invalid name, for
    // renaming model space and for naming a paper layout "Model"; eDuplicateRecordName for the
    // name of another layout of the drawing.
    Acad::ErrorStatus setLayoutName(const ACHAR* name);

    // 0 for model space, 1 and up for the paper layouts from left to right.
    int getTabOrder() const { return m_layout.tabOrder; }
    void setTabOrder(int order);
    bool getTabSelected() const { return m_tabSelected; }
    void setTabSelected(bool selected);

    AcDbObjectId getBlockTableRecordId() const { return m_layout.block; }
    // Ties the layout to a block (the block's layout id is the caller's to set).
    Acad::ErrorStatus setBlockTableRecordId(AcDbObjectId block);
    // Puts a new layout (outside any database) under its name into the database's layout
    // dictionary and ties it to `block`, both ways; the layout stays open for write. eAlreadyInDb,
    // eInvalidInput (no name, or no block of the database), eDuplicateRecordName, or the
    // refusal of opening the dictionaries or the block for write.
    Acad::ErrorStatus addToLayoutDict(AcDbDatabase* database, AcDbObjectId block);

    // The viewports of the layout's block in drawing order, erased ones left out.
    AcDbObjectIdArray getViewportArray() const;

    // The sheet's limits and the extents of its entities, in paper units.
    void getLimits(AcGePoint2d& minimum, AcGePoint2d& maximum) const;
    Acad::ErrorStatus setLimits(const AcGePoint2d& minimum, const AcGePoint2d& maximum);
    void getExtents(AcGePoint3d& minimum, AcGePoint3d& maximum) const;
    Acad::ErrorStatus setExtents(const AcGePoint3d& minimum, const AcGePoint3d& maximum);

    // ---- for the host's own code (drawing files) ----

    // What a drawing file keeps of a layout beyond its plot settings.
    struct LayoutData {
        std::wstring name;                            // 1
        int flags = 1;                                // 70: 1 PSLTSCALE, 2 LIMCHECK
        int tabOrder = 0;                             // 71
        AcGePoint2d limitsMin{0.0, 0.0};              // 10
        AcGePoint2d limitsMax{420.0, 297.0};          // 11
        AcGePoint3d insertionBase{0.0, 0.0, 0.0};     // 12
        AcGePoint3d extentsMin{1e20, 1e20, 1e20};     // 14
        AcGePoint3d extentsMax{-1e20, -1e20, -1e20};  // 15
        double elevation = 0.0;                       // 146
        AcDbObjectId block;                           // 330 (the block record)
        AcDbObjectId lastActiveViewport;              // 331
    };
    const LayoutData& qvLayoutData() const { return m_layout; }
    // Sets every field as a file has it, without checks; the layout must be writable.
    void qvSetLayoutData(const LayoutData& data);
    // The name alone, without the dictionary (for the host's layout code).
    void qvSetName(const std::wstring& name) { m_layout.name = name; }
    const std::wstring& qvName() const { return m_layout.name; }

  private:
    LayoutData m_layout;
    bool m_tabSelected = false;
};

namespace qv::host {
// The layout dictionary of a database, or null (without opening it).
AcDbDictionary* layoutDictionary(const AcDbDatabase& database);
// The layout of that name (without regard to case; not erased), or null, without opening it.
AcDbLayout* layoutNamed(const AcDbDatabase& database, const std::wstring& name);
// Every layout of the database (not erased), in dictionary order.
std::vector<AcDbLayout*> layoutsOf(const AcDbDatabase& database);
// True for a name a layout may have (as a symbol name).
bool isValidLayoutName(const ACHAR* name);
}  // namespace qv::host
