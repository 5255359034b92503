// CLayouts: the names of a drawing's layouts (CLayout), unique by exact (case-sensitive) name,
// in the order added, and their record in the facility database against a drawing attachment.
//
// Ownership: the list owns its layouts; deleteObjects (and the destructor) deletes them.
// Failures: every operation but getAt and getCount follows the catch-and-wrap convention
// (source file "Layouts"); the database operations turn a COM error into a CEXStoredProcedure.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CLayout;
class CStoredProcedure;

class CLayouts {
  public:
    CLayouts();
    virtual ~CLayouts();
    CLayouts(const CLayouts&) = delete;
    CLayouts& operator=(const CLayouts&) = delete;

    // Takes the layout (the list owns it in every case): appended, or deleted when the list
    // holds one of exactly that name.
    void add(CLayout* pLayout);
    // The layout at an index from 0 to count - 1; outside that the framework's
    // invalid-argument exception.
    CLayout* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    // Adds the layouts of the drawing in the order of their blocks (model space and every
    // paper layout), under the drawing's counted lock; nothing when the lock is refused. A
    // block or layout that does not open is skipped.
    void getDWGLayouts(CAcadDrawing* pDrawing);
    // Deletes the attachment's recorded layouts ("__to_deleteDrawingLayouts", "@attachID").
    void deleteDrawingLayouts(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID);
    // deleteDrawingLayouts, then CLayout::addLayoutToIPR for every layout in order; a failure
    // ends it after the rows already added. 1.
    int addLayoutsToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID);
    void deleteObjects();

  private:
    CArray<CLayout*, CLayout*> m_layouts;
    int m_iCount;
};
