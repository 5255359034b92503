#include "module/LabelConversion.h"

#include <cmath>
#include <memory>

#include "blocks/Attributes.h"
#include "blocks/BlockDWGHost.h"
#include "blocks/BlockDWGKinds.h"
#include "core/Utilities.h"
#include "drawing/AcadDrawing.h"
#include "drawing/AcadUtilities.h"
#include "drawing/Layer.h"
#include "drawing/Layers.h"
#include "module/BlockCommands.h"
#include "module/CommandFrame.h"
#include "module/SpaceTexts.h"

namespace {

const wchar_t LABEL_BLOCK[] = L"TAVRIN_SPACE_LABEL";
const wchar_t LABEL_LAYER[] = L"TAVRIN";
const wchar_t PLAN_LAYER[] = L"BOMA";
const double PI = 3.141592653589793;

// A selection set freed at the end of the scope.
struct LabelSelection {
    ads_name set = {0, 0};
    bool held = false;
    ~LabelSelection() {
        if (held)
            acedSSFree(set);
    }
};

// "TAVRIN" made (white) and switched off; "BOMA", when the drawing has it, thawed and on.
void prepareLayers(CAcadDrawing* pDrawing) {
    CLayers layers;
    AcCmColor white;
    white.setRGB(255, 255, 255);
    layers.ensureLayerExists(pDrawing, LABEL_LAYER, white);
    layers.getDWGLayers(pDrawing);
    if (CLayer* pLabels = layers.getAtLayer(LABEL_LAYER)) {
        pLabels->setOff(1);
        pLabels->applyToDWG(pDrawing);
    }
    if (CLayer* pPlan = layers.getAtLayer(PLAN_LAYER)) {
        pPlan->setFrozen(0);
        pPlan->setOff(0);
        pPlan->applyToDWG(pDrawing);
    }
}

// The angle of the current UCS's x axis in the world's xy plane.
double ucsAngle(AcDbDatabase* pDatabase) {
    AcGeMatrix3d ucs;
    acdbUcsMatrix(ucs, pDatabase);
    AcGeVector3d xAxis = AcGeVector3d::kXAxis;
    xAxis.transformBy(ucs);
    return std::atan2(xAxis.y, xAxis.x);
}

CString handleText(const AcDbObject* pObject) {
    AcDbHandle handle;
    pObject->getAcDbHandle(handle);
    return blockhost::handleText(handle);
}

// The name "ROOM-" + n for the first n from i up that no block definition holds.
CString freeRoomName(CAcadDrawing* pDrawing, int i) {
    for (int n = i;; ++n) {
        const CString sName = L"ROOM-" + CUtilities::IntToCString(n);
        if (!blockDefinitionExists(pDrawing, sName))
            return sName;
    }
}

// Why the polyline a label names cannot be made into a block, or empty when it can.
CString outlineProblem(AcDbDatabase* pDatabase, CString sHandleText, AcDbObjectId& id) {
    id = AcDbObjectId::kNull;
    sHandleText.Trim();
    if (sHandleText.IsEmpty())
        return L"it names no outline";
    id = CAcadUtilities::convertHandleToObjectId(AcDbHandle(static_cast<LPCTSTR>(sHandleText)));
    if (id.isNull())
        return L"its outline " + sHandleText + L" is not in the drawing";
    AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForRead);
    if (pEntity.openStatus() != Acad::eOk)
        return L"its outline " + sHandleText + L" does not open";
    if (!blockhost::isExactly(pEntity.object(), L"AcDbPolyline"))
        return L"its outline " + sHandleText + L" is no polyline";
    if (pEntity->ownerId() != pDatabase->modelSpaceId())
        return L"its outline " + sHandleText + L" belongs to a block already";
    return L"";
}

// Converts label i (open for write); prints why a label gets no block.
void convertLabel(CAcadDrawing* pDrawing, AcDbBlockReference* pLabel, int i, int iUnits,
                  int iPrecision) {
    AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
    const AcGePoint3d ptInsertion = pLabel->position();
    CString sSpaceName, sHandleText;
    double dblHeight = 10.0, dblWidthFactor = 1.0, dblRotation = 0.0;
    interrogateTavrinBlock(pLabel, sSpaceName, sHandleText, dblHeight, dblWidthFactor,
                           dblRotation);
    const CString sLabel = handleText(pLabel);

    AcDbObjectId polylineId;
    const CString sProblem = outlineProblem(pDatabase, sHandleText, polylineId);
    if (!sProblem.IsEmpty()) {
        printCommandFailure(L"\nSpace label %s: %s - no space block made\n",
                            static_cast<LPCTSTR>(sLabel), static_cast<LPCTSTR>(sProblem));
        return;
    }
    const CString sWanted = L"ROOM-" + CUtilities::IntToCString(i);
    const CString sBlockName = freeRoomName(pDrawing, i);
    if (sBlockName != sWanted)
        acutPrintf(L"\nSpace label %s: %s exists - made %s\n", static_cast<LPCTSTR>(sLabel),
                   static_cast<LPCTSTR>(sWanted), static_cast<LPCTSTR>(sBlockName));

    // The name is free: now the outline may change.
    bool bWasClosed = true;
    {
        AcDbObjectPointer<AcDbPolyline> pPolyline(polylineId, AcDb::kForWrite);
        if (pPolyline.openStatus() != Acad::eOk) {
            printCommandFailure(
                L"\nSpace label %s: its outline cannot be changed (error %s) - no space "
                L"block made\n",
                static_cast<LPCTSTR>(sLabel),
                static_cast<LPCTSTR>(CUtilities::IntToCString(pPolyline.openStatus())));
            return;
        }
        bWasClosed = pPolyline->isClosed();
        pPolyline->setClosed(true);
    }
    const Acad::ErrorStatus es =
        createTavrinBlock(pDrawing, ptInsertion, polylineId, iUnits, iPrecision, dblHeight,
                          dblWidthFactor, dblRotation, sBlockName, sSpaceName);
    if (es == Acad::eOk)
        return;
    if (!bWasClosed) {
        AcDbObjectPointer<AcDbPolyline> pPolyline(polylineId, AcDb::kForWrite);
        if (pPolyline.openStatus() == Acad::eOk)
            pPolyline->setClosed(false);
    }
    printCommandFailure(L"\nSpace label %s: %s not made (error %s)\n", static_cast<LPCTSTR>(sLabel),
                        static_cast<LPCTSTR>(sBlockName),
                        static_cast<LPCTSTR>(CUtilities::IntToCString(es)));
}

}  // namespace

int getTavrinBlockSS(ads_name set) {
    const blockhost::ResBufPtr pFilter(acutBuildList(RTDXF0, L"INSERT", 2, LABEL_BLOCK, RTNONE));
    return acedSSGet(L"X", nullptr, nullptr, pFilter.get(), set);
}

void interrogateTavrinBlock(AcDbBlockReference* pLabel, CString& sSpaceName,
                            CString& sHandleText, double& dblTextHeight, double& dblWidthFactor,
                            double& dblRotation) {
    sSpaceName.Empty();
    sHandleText.Empty();
    dblTextHeight = 10.0;
    dblWidthFactor = 1.0;
    dblRotation = 0.0;
    for (const AcDbObjectId& id : blockhost::attributeIdsOf(pLabel)) {
        AcDbObjectPointer<AcDbAttribute> pAttribute(id, AcDb::kForRead);
        if (pAttribute.openStatus() != Acad::eOk)
            continue;
        const CString sTag = pAttribute->tagConst();
        const CString sText = pAttribute->textStringConst();
        if (sTag == L"ROOM") {
            sSpaceName = sText + sSpaceName;
            dblTextHeight = pAttribute->height();
            dblWidthFactor = pAttribute->widthFactor();
            dblRotation = pAttribute->rotation();
        } else if (sTag == L"PLINE2_ID") {
            sHandleText = sText + sHandleText;
        }
    }
}

Acad::ErrorStatus createTavrinBlock(CAcadDrawing* pDrawing, const AcGePoint3d& ptInsertion,
                                    AcDbObjectId polylineId, int iUnits, int iPrecision,
                                    double dblTextHeight, double dblWidthFactor,
                                    double dblRotation, CString sBlockName, CString sSpaceName) {
    // Stays a failure unless the creation itself says otherwise (a thrown failure included).
    Acad::ErrorStatus es = Acad::eInvalidInput;
    guardCommand(L"createTavrinBlock", [&] {
        AcDbObjectPointer<AcDbEntity> pEntity(polylineId, AcDb::kForWrite);
        if (pEntity.openStatus() != Acad::eOk) {
            es = pEntity.openStatus();
            return;
        }
        if (!blockhost::isExactly(pEntity.object(), L"AcDbPolyline")) {
            es = Acad::eNotThatKindOfClass;
            return;
        }
        auto* pPolyline = static_cast<AcDbPolyline*>(pEntity.object());
        AcDbDatabase* pDatabase = pDrawing->getDocument()->database();
        const Adesk::Int16 iDrawingUnits = pDatabase->lunits();
        const double dblArea =
            CAcadUtilities::calculatePolylineArea(pPolyline, iDrawingUnits, iUnits);
        const double dblPerimeter =
            CAcadUtilities::calculatePolylinePerimeter(pPolyline, iDrawingUnits, iUnits);

        CBlockDWGRoom block;
        block.setUnits(iUnits);
        block.setPrecision(iPrecision);
        block.setName(sSpaceName);
        block.setArea(dblArea);
        block.setPerimeter(dblPerimeter);
        block.setBlockName(sBlockName);
        block.setAttributes(newSpaceTexts(
            sSpaceName, CUtilities::DoubleToCString(dblArea, iPrecision) + areaUnitText(iUnits),
            L" "));
        // The block is made in the current UCS: the point and the text direction go there.
        const double dblDegrees = (dblRotation - ucsAngle(pDatabase)) * 180.0 / PI;
        es = block.createBlock(pDrawing, pPolyline, CAcadUtilities::convertWCSToUCS(ptInsertion),
                               dblTextHeight, dblWidthFactor, dblDegrees);
    });
    return es;
}

void orvanTavrinConversion() {
    guardCommand(L"orvanTavrinConversion", [] {
        CCommandFrame frame;
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        const CPreferences* pPreferences = frame.loadPreferences();
        pDrawing->zoomExtents();
        if (!frame.lockDrawing())
            return;
        prepareLayers(pDrawing);

        LabelSelection labels;
        labels.held = getTavrinBlockSS(labels.set) == RTNORM;
        Adesk::Int32 iLength = 0;
        if (!labels.held || acedSSLength(labels.set, &iLength) != RTNORM)
            return;
        for (Adesk::Int32 i = 0; i < iLength; ++i) {
            ads_name member;
            AcDbObjectId labelId;
            if (acedSSName(labels.set, i, member) != RTNORM ||
                acdbGetObjectId(labelId, member) != Acad::eOk)
                continue;
            AcDbObjectPointer<AcDbEntity> pEntity(labelId, AcDb::kForWrite);
            if (pEntity.openStatus() != Acad::eOk ||
                !blockhost::isExactly(pEntity.object(), L"AcDbBlockReference"))
                continue;
            convertLabel(pDrawing, static_cast<AcDbBlockReference*>(pEntity.object()),
                         static_cast<int>(i), pPreferences->getUnits(),
                         pPreferences->getPrecision());
            pEntity->setLayer(LABEL_LAYER);
        }
    });
}
