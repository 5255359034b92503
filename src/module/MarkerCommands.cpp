// olmc and opmc: one algorithm over a table of the two kinds' texts.
#include "module/MarkerCommands.h"

#include <cmath>

#include "core/OrvanExceptions.h"
#include "core/Utilities.h"
#include "drawing/AcadUtilities.h"
#include "drawing/HostIdentity.h"
#include "module/BlockCommands.h"
#include "module/CommandFrame.h"
#include "reports/MarkerBlockLegend.h"
#include "reports/MarkerBlockPie.h"

namespace {

const double DEGREES_TO_RADIANS = 0.017453292519943295;

// What differs between the two marker commands.
struct MarkerCommand {
    const wchar_t* sBanner;
    const wchar_t* sBlockName;
    const wchar_t* sExists;
    const wchar_t* sClassName;
    const wchar_t* sPickPrompt;
    bool bMustBeClosed;
    const wchar_t* sLockedLayer;
    const wchar_t* sOpenFailed;
    const wchar_t* sPrecisionPrompt;
    const wchar_t* sTextSizePrompt;
    const wchar_t* sRotationPrompt;
    const wchar_t* sHandlerName;
    const wchar_t* sCreatorName;
    // Makes the marker from the entity: 0 or the host status.
    int (*create)(CAcadDrawing*, AcDbObjectId, int, int, double, double);
};

int createLegend(CAcadDrawing* pDrawing, AcDbObjectId id, int iUnits, int iPrecision,
                 double dblTextSize, double dblRotation) {
    CMarkerBlockLegend marker;
    return marker.createMarkerBlock(pDrawing, id, iUnits, iPrecision, dblTextSize, dblRotation);
}

int createPie(CAcadDrawing* pDrawing, AcDbObjectId id, int iUnits, int iPrecision,
              double dblTextSize, double dblRotation) {
    CMarkerBlockPie marker;
    return marker.createMarkerBlock(pDrawing, id, iUnits, iPrecision, dblTextSize, dblRotation);
}

const MarkerCommand LEGEND_COMMAND = {
    L"Orvan Create Legend Marker Block ",
    CMarkerBlock::LEGEND_BLOCK_NAME,
    L"\n\nLegend Marker Block Already Exists\n",
    L"AcDbPolyline",
    L"\nPlease select a polyline:\n",
    true,
    L"\nPolyline On Locked Layer - Legend Block Marker Creation Failed\n",
    L"\nUnable to get Polyline - Error %s - Legend Block Marker Creation Failed\n",
    L"enter legend precision",
    L"enter legend text size",
    L"specify legend rotation (in degrees)",
    L"legendMarkerBlockCreate",
    L"createLegendMarkerBlock",
    createLegend,
};

const MarkerCommand PIE_COMMAND = {
    L"Orvan Create Pie Chart Marker Block ",
    CMarkerBlock::PIE_BLOCK_NAME,
    L"\n\n Pie Chart Marker Block Already Exists\n",
    L"AcDbCircle",
    L"\nPlease select a circle:\n",
    false,
    L"\nCircle On Locked Layer - Pie Chart Marker Block Creation Failed\n",
    L"\nUnable to get Circle - Error %s - Pie Chart Marker Block Creation Failed\n",
    L"enter pie chart precision",
    L"enter pie chart text size",
    L"specify pie chart rotation (in degrees)",
    L"pieMarkerBlockCreate",
    L"createPieMarkerBlock",
    createPie,
};

// Carries the entity (open for write) by the matrix; the host's status.
Acad::ErrorStatus carryEntity(AcDbObjectId id, const AcGeMatrix3d& matrix) {
    AcDbObjectPointer<AcDbEntity> pEntity(id, AcDb::kForWrite);
    if (pEntity.openStatus() != Acad::eOk)
        return pEntity.openStatus();
    return pEntity->transformBy(matrix);
}

void createMarker(const MarkerCommand& command, CAcadDrawing* pDrawing, AcDbObjectId entityId) {
    try {
        CCommandFrame frame;
        CPreferences* pPreferences = frame.loadPreferences();
        int iPrecision = pPreferences->getPrecision();
        CAcadUtilities::getInteger(command.sPrecisionPrompt, pPreferences->getPrecision(),
                                   &iPrecision);
        double dblTextSize = pPreferences->getTextSize();
        CAcadUtilities::getDouble(command.sTextSizePrompt, pPreferences->getTextSize(), iPrecision,
                                  &dblTextSize);
        double dblDegrees = pPreferences->getTextRotation();
        CAcadUtilities::getDouble(command.sRotationPrompt, pPreferences->getTextRotation(),
                                  pPreferences->getPrecision(), &dblDegrees);
        if (!(dblTextSize > 0.0) || !std::isfinite(dblTextSize)) {
            printCommandFailure(
                L"\nInvalid Text Size - it must be greater than 0 - Block Creation "
                L"Failed\n");
            return;
        }
        const double dblRotation = dblDegrees * DEGREES_TO_RADIANS;

        // The entity is brought into the UCS (the marker carries it back) and closed before
        // the marker opens it again.
        AcGeMatrix3d ucs;
        acdbUcsMatrix(ucs, pDrawing->getDocument()->database());
        {
            AcDbObjectPointer<AcDbEntity> pEntity(entityId, AcDb::kForWrite);
            if (pEntity.openStatus() != Acad::eOk) {
                printCommandFailure(
                    L"Block Creation Failed - Error Code %s\n",
                    static_cast<LPCTSTR>(CUtilities::IntToCString(pEntity.openStatus())));
                return;
            }
            if (CString(pEntity->isA()->name()) != command.sClassName) {
                printCommandFailure(L"\nInvalid Selection\n\n");
                return;
            }
        }
        Acad::ErrorStatus es = carryEntity(entityId, ucs.inverse());
        int iResult = es;
        if (es == Acad::eOk) {
            try {
                iResult = command.create(pDrawing, entityId, pPreferences->getUnits(), iPrecision,
                                         dblTextSize, dblRotation);
            } catch (...) {
                carryEntity(entityId, ucs);
                throw;
            }
            if (iResult != 0)
                carryEntity(entityId, ucs);
        }
        if (iResult == 0)
            acutPrintf(L"Block Created Successfully\n");
        else
            printCommandFailure(L"Block Creation Failed - Error Code %s\n",
                                static_cast<LPCTSTR>(CUtilities::IntToCString(iResult)));
    } catch (...) {
        reportCommandError(command.sCreatorName);
    }
}

void markerCommand(const MarkerCommand& command) {
    CCommandFrame frame;
    if (!hostIdentity.isFullHost())
        return;
    try {
        CCommandFrame::printBanner(command.sBanner);
        CAcadDrawing* pDrawing = frame.openCurrentDrawing();
        if (blockDefinitionExists(pDrawing, command.sBlockName)) {
            printCommandFailure(L"%s", command.sExists);
            return;
        }
        if (!frame.lockDrawing())
            return;
        frame.loadPreferences();
        AcDbObjectId entityId;
        if (CAcadUtilities::selectObjectIdOfClass(&entityId, command.sPickPrompt,
                                                  command.sClassName) != 0) {
            frame.unlockDrawing();
            return;
        }
        bool bCreate = false;
        {
            AcDbObjectPointer<AcDbEntity> pEntity(entityId, AcDb::kForWrite);
            const Acad::ErrorStatus es = pEntity.openStatus();
            if (es == Acad::eOk) {
                auto* pPolyline = AcDbPolyline::cast(pEntity.object());
                if (command.bMustBeClosed && (pPolyline == nullptr || !pPolyline->isClosed()))
                    printCommandFailure(L"\nInvalid Selection - Polyline is not closed\n\n");
                else
                    bCreate = true;
            } else if (es == Acad::eOnLockedLayer) {
                printCommandFailure(L"%s", command.sLockedLayer);
            } else {
                printCommandFailure(command.sOpenFailed,
                                    static_cast<LPCTSTR>(CUtilities::IntToCString(es)));
            }
        }
        if (bCreate)
            createMarker(command, pDrawing, entityId);
        frame.unlockDrawing();
    } catch (...) {
        reportCommandError(command.sHandlerName,
                           L"\nUnhandled Error - Marker Block Creation Failed\n");
    }
}

}  // namespace

void createLegendMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId entityId) {
    createMarker(LEGEND_COMMAND, pDrawing, entityId);
}

void createPieMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId entityId) {
    createMarker(PIE_COMMAND, pDrawing, entityId);
}

void legendMarkerBlockCreate() {
    markerCommand(LEGEND_COMMAND);
}

void pieMarkerBlockCreate() {
    markerCommand(PIE_COMMAND);
}
