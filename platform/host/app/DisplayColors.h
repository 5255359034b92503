// The colours of the host's screen. acedGetCurrentColors fills a record of 32-bit colours, each
// with red in its low byte, then green, then blue. Its 18th entry, dwGfxModelBkColor, is the
// background of model space (black unless set).
#pragma once

#include "../AdeskTypes.h"

struct AcColorSettings {
    Adesk::UInt32 dwGfxLayoutBkColor;
    Adesk::UInt32 dwParallelBkColor;
    Adesk::UInt32 dwBEditBkColor;
    Adesk::UInt32 dwCmdLineBkColor;
    Adesk::UInt32 dwPlotPrevBkColor;
    Adesk::UInt32 dwSkyGradientZenithColor;
    Adesk::UInt32 dwSkyGradientHorizonColor;
    Adesk::UInt32 dwGroundGradientOriginColor;
    Adesk::UInt32 dwGroundGradientHorizonColor;
    Adesk::UInt32 dwEarthGradientAzimuthColor;
    Adesk::UInt32 dwModelCrossHairColor;
    Adesk::UInt32 dwLayoutCrossHairColor;
    Adesk::UInt32 dwParallelCrossHairColor;
    Adesk::UInt32 dwPerspectiveCrossHairColor;
    Adesk::UInt32 dwBEditCrossHairColor;
    Adesk::UInt32 dwParallelGridMajorLines;
    Adesk::UInt32 dwPerspectiveGridMajorLines;
    Adesk::UInt32 dwGfxModelBkColor;
    Adesk::UInt32 dwTextForeColor;
    Adesk::UInt32 dwTextBkColor;
    Adesk::UInt32 dwCmdLineForeColor;
    Adesk::UInt32 dwCmdLineTempPromptBkColor;
};

bool acedGetCurrentColors(AcColorSettings* colors);
bool acedSetCurrentColors(AcColorSettings* colors);
