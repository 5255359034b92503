// The layout manager: makes, finds and switches the layouts of a drawing (AcDbLayout.h). The
// host has one, reached through acdbHostApplicationServices()->layoutManager(). Every operation
// acts on the database it is given, or on the working database when given none (eNoDatabase,
// or an empty or null result, when there is neither).
//
// The current layout is model space while the drawing's TILEMODE is 1; otherwise it is the
// paper layout whose block is "*Paper_Space". The system variable CTAB reads and sets the
// current layout by name.
#pragma once

#include <string>

#include "AcDbLayout.h"
#include "../rx/AcRxObject.h"

class AcDbLayoutManager : public AcRxObject {
    QV_RX_DECLARE_MEMBERS(AcDbLayoutManager)
  public:
    // Makes the layout of that name (without regard to case) current: TILEMODE 1 for "Model",
    // else TILEMODE 0 and the layout's block becomes "*Paper_Space". eKeyNotFound for no such
    // layout; the database must be writable (the document locked), else the lock's refusal. A
    // layout that is current already stays so (eOk).
    Acad::ErrorStatus setCurrentLayout(const ACHAR* name, AcDbDatabase* database = nullptr);
    Acad::ErrorStatus setCurrentLayoutId(AcDbObjectId layout);

    // The current layout's name ("Model" for model space when allowModel, else the paper layout
    // last current). The text belongs to the manager and stays valid until its next call; it is
    // empty when the drawing has no such layout.
    const ACHAR* findActiveLayout(bool allowModel, const AcDbDatabase* database = nullptr);
    // The block of the current layout: "*Model_Space" or "*Paper_Space".
    AcDbObjectId getActiveLayoutBTRId(const AcDbDatabase* database = nullptr) const;
    // The layout of that name (without regard to case), or the null id.
    AcDbObjectId findLayoutNamed(const ACHAR* name, const AcDbDatabase* database = nullptr) const;
    // Opens the layout of that name: eKeyNotFound for none, else as acdbOpenObject.
    Acad::ErrorStatus getLayoutNamed(const ACHAR* name, AcDbLayout*& layout,
                                     AcDb::OpenMode mode = AcDb::kForRead,
                                     const AcDbDatabase* database = nullptr) const;
    bool layoutExists(const ACHAR* name, const AcDbDatabase* database = nullptr) const;
    // The layouts, model space included.
    int countLayouts(const AcDbDatabase* database = nullptr) const;

    // A new paper layout with a new block ("*Paper_Space<n>"), last among the tabs; both are
    // closed. eInvalidInput for an invalid name or "Model", eDuplicateRecordName for a name
    // taken, or the refusal of writing to the drawing.
    Acad::ErrorStatus createLayout(const ACHAR* name, AcDbObjectId& layout, AcDbObjectId& block,
                                   AcDbDatabase* database = nullptr);
    // Renames a layout (AcDbLayout::setLayoutName's rules); eKeyNotFound for no such layout.
    Acad::ErrorStatus renameLayout(const ACHAR* oldName, const ACHAR* newName,
                                   AcDbDatabase* database = nullptr);

  private:
    std::wstring m_activeName;
};

namespace qv::host {
// The current layout of a database, or null when it has none.
AcDbLayout* currentLayout(const AcDbDatabase& database);
// Makes a layout of the database current (see setCurrentLayout), without the lock's check.
void makeLayoutCurrent(AcDbDatabase& database, AcDbLayout& layout);
// The layout dictionary of a database, made (and entered in the named-object dictionary) when it
// is missing; null when the database has no named-object dictionary.
AcDbDictionary* ensureLayoutDictionary(AcDbDatabase& database);
// The layout for each block of model space and paper space that has none ("Model" for model
// space, "Layout1", "Layout2", ... for the others, in block order), the layout dictionary when
// it is missing, and each layout's block tied back to it. Part of a database's missing defaults.
void addMissingLayouts(AcDbDatabase& database);
}  // namespace qv::host
