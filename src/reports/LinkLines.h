// CLinkLines: the owning list of a graphic report's link lines. It never holds two lines with the
// same start and end handles (compared exactly, case-sensitive): `add` refuses and deletes such
// a line.
//
// Failures: every operation but getAt and getCount wraps a failure in a CEXUnhandled naming
// "CLinkLines::" and the operation (source file "LinkLines"); the database loader raises the
// stored procedure's CEXStoredProcedure (with the call's XML) when the call or its rows fail.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CAcadDrawingState;
class CLinkLine;
class CStoredProcedure;

class CLinkLines {
  public:
    CLinkLines() = default;
    ~CLinkLines();
    CLinkLines(const CLinkLines&) = delete;
    CLinkLines& operator=(const CLinkLines&) = delete;

    // Takes the line in every case: appended (1), or deleted when a line with the same start
    // and end handles is held (0). A null line adds nothing (0).
    int add(CLinkLine* pLine);
    // The line at 0 to count - 1; any other index raises CInvalidArgException.
    CLinkLine* getAt(int iIndex) const;
    int getCount() const { return m_iCount; }
    void deleteObjects();

    // CLinkLine::applyToDrawing for each line in list order.
    void applyToDrawing(CAcadDrawing* pDrawing, CAcadDrawingState* pState);
    // "__gr_getReportLinkLines" with "@graphicReportID": per row a line with "llStartHandle",
    // "llEndHandle", "llLayerName" and "llLabelText" (NULL leaves the field empty), handed to
    // add.
    void getGraphicReportLinkLines(CStoredProcedure* pStoredProcedure, int iGraphicReportID,
                                   int iTimeout);

    // "linkLines" holding each line's "linkLine" in list order.
    MSXML2::IXMLDOMNodePtr serialize(CString sNamespace) const;
    // A line for every node named "linkLine", handed to add; a null list adds nothing.
    void deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes);

  private:
    CArray<CLinkLine*, CLinkLine*> m_lines;
    int m_iCount = 0;
};
