// CLayout: the name of one layout of a drawing, as the facility database records it against a
// drawing attachment.
//
// Failures: addLayoutToIPR follows the catch-and-wrap convention (source file "Layout"); a COM
// error of the call becomes a CEXStoredProcedure.
#pragma once

#include "StdAfx.h"

class CStoredProcedure;

class CLayout {
  public:
    // An empty name.
    CLayout();
    virtual ~CLayout();

    CString getName() const { return m_sName; }
    void setName(CString sName) { m_sName = sName; }

    // Records the layout with "__to_addDrawingLayout" ("@layoutName", varchar 255, and
    // "@attachID", int, both input) on the caller's stored procedure and connection.
    void addLayoutToIPR(CStoredProcedure* pStoredProcedure, int iTimeout, int iAttachID);

  private:
    CString m_sName;
};
