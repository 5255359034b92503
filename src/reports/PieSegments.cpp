#include "reports/PieSegments.h"

#include <memory>

#include "core/OrvanExceptions.h"
#include "reports/PieSegment.h"

static const LPCTSTR SOURCE_FILE = _T("PieSegments.cpp");

CPieSegments::~CPieSegments() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
    m_dblTotalArea = 0.0;
}

int CPieSegments::add(CPieSegment* pSegment) {
    std::unique_ptr<CPieSegment> pOwned(pSegment);
    try {
        if (!pOwned)
            return m_iCount;
        const std::wstring sLabel = pOwned->getLabel().GetString();
        if (m_labels.count(sLabel) != 0)
            return m_iCount;
        m_segments.Add(pOwned.get());
        m_dblTotalArea += pOwned.release()->getArea();
        ++m_iCount;
        m_labels.insert(sLabel);
        return m_iCount;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegments::add"));
    }
}

CPieSegment* CPieSegments::getAt(int iIndex) const {
    try {
        return m_segments.GetAt(iIndex);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegments::getAt"));
    }
}

void CPieSegments::deleteObjects() {
    try {
        for (int i = 0; i < m_segments.GetSize(); i++)
            delete m_segments.GetAt(i);
        m_segments.RemoveAll();
        m_labels.clear();
        m_iCount = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegments::deleteObjects"));
    }
}

void CPieSegments::addSegmentsToBlock(CAcadDrawing* pDrawing, AcDbBlockTableRecord* pRecord,
                                      int bIgnoreEmpty, int bShowLabels, int bShowLabelLines,
                                      AcGeVector3d normal, double dblRadius, double dblTotalArea,
                                      double dblOffset, double dblTextSize, int iPrecision) {
    try {
        double dblStart = 0.0;
        for (int i = 0; i < m_iCount; i++) {
            CPieSegment* pSegment = m_segments.GetAt(i);
            if (bIgnoreEmpty && pSegment->getArea() == 0.0)
                continue;
            pSegment->addSegmentToBlock(pDrawing, pRecord, bIgnoreEmpty, bShowLabels,
                                        bShowLabelLines, normal, dblRadius, dblOffset, dblTotalArea,
                                        dblStart, dblTextSize, iPrecision);
            dblStart += pSegment->getArea();
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CPieSegments::addSegmentsToBlock"));
    }
}
