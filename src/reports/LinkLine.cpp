// One link line: drawn between two references, and its "linkLine" element.
#include "reports/LinkLine.h"

#include <cmath>

#include "blocks/BlockDWGHost.h"
#include "core/OrvanExceptions.h"
#include "core/XMLUtilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadDrawingState.h"
#include "drawing/Layer.h"

static const LPCTSTR SOURCE_FILE = _T("LinkLine.cpp");

namespace {

constexpr double LABEL_HEIGHT = 150.0;
constexpr double DASH = 50.0;

void check(Acad::ErrorStatus es) {
    if (es != Acad::eOk)
        throw es;
}

AcCmColor red() {
    AcCmColor colour;
    colour.setRGB(255, 0, 0);
    return colour;
}

// (0, 0, 1) of the current UCS in world coordinates, as a displacement.
AcGeVector3d ucsNormal() {
    resbuf fromSystem{};
    fromSystem.restype = RTSHORT;
    fromSystem.resval.rint = 1;
    resbuf toSystem{};
    toSystem.restype = RTSHORT;
    toSystem.resval.rint = 0;
    const ads_point in = {0.0, 0.0, 1.0};
    ads_point out = {0.0, 0.0, 1.0};
    if (acedTrans(in, &fromSystem, &toSystem, 1, out) != RTNORM)
        return AcGeVector3d::kZAxis;
    return AcGeVector3d(out[0], out[1], out[2]);
}

}  // namespace

void CLinkLine::applyToDrawing(CAcadDrawing* pDrawing, CAcadDrawingState* pState) {
    try {
        AcGePoint3d start, end;
        const bool bStart = getAssetCurrentCoord(m_sStartHandle, pDrawing, pState, start);
        const bool bEnd = getAssetCurrentCoord(m_sEndHandle, pDrawing, pState, end);
        if (!bStart || !bEnd) {
            acutPrintf(L"\tlink line skipped: no block reference has the handle %s.\n",
                       static_cast<LPCTSTR>(bStart ? m_sEndHandle : m_sStartHandle));
            return;
        }
        if (m_sLayerName.IsEmpty()) {
            m_sLayerName = LINK_LINE_DEFAULT_LAYER;
            pState->setLayerState(m_sLayerName, 0, 0, 0, 1);
        }
        CLayer::ensureLayerExists(m_sLayerName, pDrawing);

        AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
        AcDbSymbolTablePointer<AcDbBlockTable> pBlockTable(pDatabase, AcDb::kForRead);
        check(pBlockTable.openStatus());
        AcDbSymbolTableRecordPointer<AcDbBlockTableRecord> pModelSpace(
            L"*Model_Space", pBlockTable.object(), AcDb::kForWrite);
        check(pModelSpace.openStatus());
        pBlockTable.close();
        AcDbObjectId lineId;
        drawLine(lineId, start, end, red(), m_sLabelText, LABEL_HEIGHT, 1, m_sLayerName,
                 pModelSpace.object());
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::applyToDrawing"));
    }
}

bool CLinkLine::getAssetCurrentCoord(CString sHandle, CAcadDrawing* pDrawing,
                                     CAcadDrawingState* pState, AcGePoint3d& position) {
    try {
        position = AcGePoint3d(0.0, 0.0, 0.0);
        if (sHandle.IsEmpty())
            return false;
        AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
        AcDbObjectId id;
        if (pDatabase->getAcDbObjectId(id, false, AcDbHandle(sHandle.GetString())) != Acad::eOk ||
            id.isNull())
            return false;
        AcDbObjectPointer<AcDbBlockReference> pReference(id, AcDb::kForRead);
        if (pReference.openStatus() != Acad::eOk)
            return false;
        position = pReference->position();
        pState->setLayerState(blockhost::layerOf(pReference.object()), 0, 0, 0, 1);
        return true;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::getAssetCurrentCoord"));
    }
}

double CLinkLine::labelAngle(const AcGePoint3d& start, const AcGePoint3d& end) {
    const double dx = end.x - start.x;
    const double dy = end.y - start.y;
    if (dx == 0.0 && dy == 0.0)
        return 0.0;
    double angle = std::atan2(dy, dx);
    const double halfPi = std::acos(-1.0) / 2.0;
    if (angle > halfPi)
        angle -= 2.0 * halfPi;
    else if (angle <= -halfPi)
        angle += 2.0 * halfPi;
    return angle;
}

void CLinkLine::drawLine(AcDbObjectId& lineId, const AcGePoint3d& start, const AcGePoint3d& end,
                         AcCmColor colour, CString sLabel, double dblTextHeight, int bRotateLabel,
                         CString sLayerName, AcDbBlockTableRecord* pModelSpace) {
    try {
        AcDbObjectId linetypeId;
        createLinetype(pModelSpace->database(), linetypeId);
        AcDbObjectPointer<AcDbLine> pLine;
        check(pLine.create());
        check(pLine->setStartPoint(start));
        check(pLine->setEndPoint(end));
        check(pLine->setColor(colour, true));
        check(pLine->setLineWeight(AcDb::kLnWtByLayer));
        check(pLine->setLinetype(linetypeId));
        check(pLine->setLayer(sLayerName.GetString()));
        check(pModelSpace->appendAcDbEntity(lineId, pLine.object()));
        pLine.close();
        if (!sLabel.IsEmpty()) {
            const AcGePoint3d middle(start.x + (end.x - start.x) / 2.0,
                                     start.y + (end.y - start.y) / 2.0,
                                     start.z + (end.z - start.z) / 2.0);
            const double dblAngle = bRotateLabel ? labelAngle(start, end) : 0.0;
            AcDbObjectId textId;
            drawLabel(textId, middle, colour, dblTextHeight, dblAngle, sLabel, sLayerName,
                      pModelSpace);
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::drawLine"));
    }
}

void CLinkLine::drawLabel(AcDbObjectId& textId, const AcGePoint3d& position, AcCmColor colour,
                          double dblHeight, double dblRotation, CString sText, CString sLayerName,
                          AcDbBlockTableRecord* pModelSpace) {
    try {
        AcDbObjectPointer<AcDbText> pText;
        check(pText.create());
        pText->setDatabaseDefaults(pModelSpace->database());
        check(pText->setNormal(ucsNormal()));
        check(pText->setHeight(dblHeight));
        check(pText->setRotation(dblRotation));
        check(pText->setWidthFactor(1.0));
        check(pText->setHorizontalMode(AcDb::kTextCenter));
        check(pText->setVerticalMode(AcDb::kTextBottom));
        check(pText->setTextString(sText.GetString()));
        check(pText->setColor(colour, true));
        check(pText->setLayer(sLayerName.GetString()));
        check(pModelSpace->appendAcDbEntity(textId, pText.object()));
        check(pText->setPosition(position));
        check(pText->setAlignmentPoint(position));
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::drawLabel"));
    }
}

int CLinkLine::createLinetype(AcDbDatabase* pDatabase, AcDbObjectId& linetypeId) {
    try {
        AcDbSymbolTablePointer<AcDbLinetypeTable> pTable(pDatabase, AcDb::kForWrite);
        check(pTable.openStatus());
        if (pTable->getAt(LINK_LINE_LINETYPE, linetypeId) == Acad::eOk && !linetypeId.isNull())
            return 0;
        AcDbSymbolTableRecordPointer<AcDbLinetypeTableRecord> pRecord;
        check(pRecord.create());
        check(pRecord->setName(LINK_LINE_LINETYPE));
        check(pRecord->setNumDashes(2));
        check(pRecord->setDashLengthAt(0, DASH));
        check(pRecord->setDashLengthAt(1, -DASH));
        check(pRecord->setPatternLength(2.0 * DASH));
        check(pTable->add(linetypeId, pRecord.object()));
        return 1;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::createLinetype"));
    }
}

MSXML2::IXMLDOMNodePtr CLinkLine::serialize(CString sNamespace) const {
    try {
        CXMLUtilities xml;
        MSXML2::IXMLDOMNodePtr pLine = xml.createNode(L"linkLine", sNamespace);
        pLine->appendChild(xml.createNode(L"linkStartHandle", m_sStartHandle, sNamespace));
        pLine->appendChild(xml.createNode(L"linkEndHandle", m_sEndHandle, sNamespace));
        pLine->appendChild(xml.createNode(L"linkLineLayer", m_sLayerName, sNamespace));
        if (!m_sLabelText.IsEmpty())
            pLine->appendChild(xml.createNode(L"linkLineText", m_sLabelText, sNamespace));
        return pLine;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::serialize"));
    }
}

void CLinkLine::deSerialize(MSXML2::IXMLDOMNodePtr pNode) {
    try {
        CXMLUtilities::readElement(pNode, L"linkLine",
                                   [&](const CString& sName, MSXML2::IXMLDOMNodePtr pChild) {
                                       const CString sText = CXMLUtilities::textOf(pChild);
                                       if (sName == L"linkStartHandle")
                                           m_sStartHandle = sText;
                                       else if (sName == L"linkEndHandle")
                                           m_sEndHandle = sText;
                                       else if (sName == L"linkLineLayer")
                                           m_sLayerName = sText;
                                       else if (sName == L"linkLineText")
                                           m_sLabelText = sText;
                                   });
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CLinkLine::deSerialize"));
    }
}
