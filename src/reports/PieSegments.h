// CPieSegments: the owning list of the wedges of one pie chart, with the sum of their areas.
// Two wedges never share a label (exact, case-sensitive): the second is refused.
#pragma once

#include <string>
#include <unordered_set>

#include "StdAfx.h"

class CAcadDrawing;
class CPieSegment;

class CPieSegments {
  public:
    CPieSegments() = default;
    explicit CPieSegments(CString sTitle) : m_sTitle(sTitle) {}
    // deleteObjects, then a total of 0.
    ~CPieSegments();
    CPieSegments(const CPieSegments&) = delete;
    CPieSegments& operator=(const CPieSegments&) = delete;

    // Takes the wedge over: appended (its area added to the total), or deleted when a held
    // wedge had the same label when it was added, or it is null. The count afterwards.
    int add(CPieSegment* pSegment);
    int getCount() const { return m_iCount; }
    // The wedge at 0 to count - 1 (the list keeps it); any other index raises.
    CPieSegment* getAt(int iIndex) const;
    double getTotalArea() const { return m_dblTotalArea; }
    // Deletes every wedge; the total stays.
    void deleteObjects();

    // Draws every wedge in list order into the record (open for write), each starting where
    // the drawn ones before it ended; with the ignore-empty flag a wedge of area 0.0 is skipped
    // and does not move the following ones. Failures are wrapped
    // ("CPieSegments::addSegmentsToBlock") and raised.
    void addSegmentsToBlock(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord, int bIgnoreEmpty,
                            int bShowLabels, int bShowLabelLines, AcGeVector3d normal,
                            double dblRadius, double dblTotalArea, double dblOffset,
                            double dblTextSize, int iPrecision);

  private:
    CArray<CPieSegment*, CPieSegment*> m_segments;
    int m_iCount = 0;
    double m_dblTotalArea = 0.0;
    CString m_sTitle;
    // The labels of the held wedges, so that a chart of many wedges is built in linear time.
    std::unordered_set<std::wstring> m_labels;
};
