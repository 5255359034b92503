// The list of link lines, its XML form and its loader from the facility database.
#include "reports/LinkLines.h"

#include <memory>

#include "blocks/Blocks.h"
#include "blocks/ProcedureCall.h"
#include "core/OrvanExceptions.h"
#include "database/RecordsetReader.h"
#include "reports/XmlList.h"
#include "reports/LinkLine.h"

static const LPCTSTR SOURCE_FILE = _T("LinkLines.cpp");

CLinkLines::~CLinkLines() {
    try {
        deleteObjects();
    } catch (...) {
        discardCaughtError();
    }
}

int CLinkLines::add(CLinkLine* pLine) {
    try {
        if (pLine == nullptr)
            return 0;
        std::unique_ptr<CLinkLine> pOwned(pLine);
        for (int i = 0; i < m_iCount; i++) {
            const CLinkLine* pHeld = m_lines.GetAt(i);
            if (pHeld->getStartHandle() == pOwned->getStartHandle() &&
                pHeld->getEndHandle() == pOwned->getEndHandle())
                return 0;
        }
        m_lines.Add(pOwned.get());
        pOwned.release();
        m_iCount++;
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLines::add"));
    }
}

CLinkLine* CLinkLines::getAt(int iIndex) const {
    if (iIndex < 0 || iIndex >= m_iCount)
        AfxThrowInvalidArgException();
    return m_lines.GetAt(iIndex);
}

void CLinkLines::deleteObjects() {
    try {
        for (int i = 0; i < m_lines.GetSize(); i++)
            delete m_lines.GetAt(i);
        m_lines.RemoveAll();
        m_iCount = 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLines::deleteObjects"));
    }
}

void CLinkLines::applyToDrawing(CAcadDrawing* pDrawing, CAcadDrawingState* pState) {
    try {
        for (int i = 0; i < m_iCount; i++)
            m_lines.GetAt(i)->applyToDrawing(pDrawing, pState);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLines::applyToDrawing"));
    }
}

void CLinkLines::getGraphicReportLinkLines(CStoredProcedure* pStoredProcedure, int iGraphicReportID,
                                           int iTimeout) {
    static const LPCTSTR PROC_SIG = _T("CLinkLines::getGraphicReportLinkLines");
    try {
        blockdb::callProcedure(
            pStoredProcedure, iTimeout, _T("__gr_getReportLinkLines"), SOURCE_FILE, PROC_SIG,
            blockdb::Mode::ReadRows,
            [&](CParameters& parameters) {
                blockdb::addInt(parameters, _T("@graphicReportID"), iGraphicReportID);
            },
            nullptr,
            [&](_RecordsetPtr pRecords) {
                CRecordsetReader rows(pRecords);
                while (rows.next()) {
                    auto pLine = std::make_unique<CLinkLine>();
                    CString sText;
                    if (rows.read(L"llStartHandle", sText))
                        pLine->setStartHandle(sText);
                    sText.Empty();
                    if (rows.read(L"llEndHandle", sText))
                        pLine->setEndHandle(sText);
                    sText.Empty();
                    if (rows.read(L"llLayerName", sText))
                        pLine->setLayerName(sText);
                    sText.Empty();
                    if (rows.read(L"llLabelText", sText))
                        pLine->setLabelText(sText);
                    add(pLine.release());
                }
                rows.close();
            });
    } catch (...) {
        rethrowProcedureError(SOURCE_FILE, PROC_SIG);
    }
}

MSXML2::IXMLDOMNodePtr CLinkLines::serialize(CString sNamespace) const {
    try {
        return reportxml::serializeList(L"linkLines", sNamespace, m_iCount, [&](int i) {
            return m_lines.GetAt(i)->serialize(sNamespace);
        });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLines::serialize"));
    }
}

void CLinkLines::deSerialize(MSXML2::IXMLDOMNodeListPtr pNodes) {
    try {
        reportxml::deSerializeEach<CLinkLine>(pNodes, L"linkLine",
                                        [&](CLinkLine* pItem) { add(pItem); });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLines::deSerialize"));
    }
}
