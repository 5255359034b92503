#include "host/app/DisplayColors.h"

namespace {

AcColorSettings& current() {
    static AcColorSettings colors = [] {
        AcColorSettings c{};
        c.dwGfxLayoutBkColor = 0xFFFFFF;
        c.dwParallelBkColor = 0x000000;
        c.dwBEditBkColor = 0x212121;
        c.dwCmdLineBkColor = 0xFFFFFF;
        c.dwPlotPrevBkColor = 0xFFFFFF;
        c.dwModelCrossHairColor = 0xFFFFFF;
        c.dwLayoutCrossHairColor = 0x000000;
        c.dwGfxModelBkColor = 0x000000;
        c.dwTextForeColor = 0x000000;
        c.dwTextBkColor = 0xFFFFFF;
        c.dwCmdLineForeColor = 0x000000;
        c.dwCmdLineTempPromptBkColor = 0xFFFFFF;
        return c;
    }();
    return colors;
}

}  // namespace

bool acedGetCurrentColors(AcColorSettings* colors) {
    if (colors == nullptr) {
        return false;
    }
    *colors = current();
    return true;
}

bool acedSetCurrentColors(AcColorSettings* colors) {
    if (colors == nullptr) {
        return false;
    }
    current() = *colors;
    return true;
}
