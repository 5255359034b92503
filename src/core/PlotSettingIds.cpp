// CPlotSettingIds: plot-setting identifiers. Each kind of id has one table of the stored ids with
// the host value each stands for; the conversions look values up in it, in both directions.
#include "core/PlotSettingIds.h"

#include <span>

#include "core/OrvanExceptions.h"

static const LPCTSTR SOURCE_FILE = _T("AcadUtilities.cpp");

namespace {

struct IdEntry {
    int id;
    int value;
};

struct DeviceEntry {
    int id;
    CPlotSettingIds::PlotDevice device;
    const wchar_t* fileName;
    const wchar_t* extension;
};

constexpr DeviceEntry PLOT_DEVICES[] = {
    {0, CPlotSettingIds::PLOT_DEVICE_DWF, L"DWF6 ePlot.pc3", L".dwf"},
    {1, CPlotSettingIds::PLOT_DEVICE_PDF, L"DWG To PDF.pc3", L".pdf"},
    {2, CPlotSettingIds::PLOT_DEVICE_JPG, L"PublishToWeb JPG.pc3", L".jpg"},
    {3, CPlotSettingIds::PLOT_DEVICE_PNG, L"PublishToWeb PNG.pc3", L".png"},
};

// Display, extents, limits, view, window, layout.
constexpr IdEntry PLOT_AREAS[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};

// Scale to fit, then the host's standard scales in the order of its enumeration.
constexpr IdEntry STANDARD_SCALES[] = {
    {0, 0},   {1, 1},   {2, 2},   {3, 3},   {4, 4},   {5, 5},   {6, 6},   {7, 7},   {8, 8},
    {9, 9},   {10, 10}, {11, 11}, {12, 12}, {13, 13}, {14, 14}, {15, 15}, {16, 16}, {17, 17},
    {18, 18}, {19, 19}, {20, 20}, {21, 21}, {22, 22}, {23, 23}, {24, 24}, {25, 25}, {26, 26},
    {27, 27}, {28, 28}, {29, 29}, {30, 30}, {31, 31}, {32, 32}, {33, 33},
};

struct MediaEntry {
    int id;
    const wchar_t* canonicalName;
};

// The value of a media entry is its place in this table.
constexpr MediaEntry MEDIA[] = {
    {0, L"ISO_A1_(841.00_x_594.00_MM)"},
    {1, L"ISO_A1_(594.00_x_841.00_MM)"},
    {2, L"ISO_A2_(594.00_x_420.00_MM)"},
    {3, L"ISO_A2_(420.00_x_594.00_MM)"},
    {4, L"ISO_A3_(420.00_x_297.00_MM)"},
    {5, L"ISO_A3_(297.00_x_420.00_MM)"},
    {6, L"ISO_A4_(297.00_x_210.00_MM)"},
    {7, L"ISO_A4_(210.00_x_297.00_MM)"},
    {8, L"ISO_A0_(841.00_x_1189.00_MM)"},
    {9, L"ISO_expand_A4_(297.00_x_210.00_MM)"},
    {10, L"ISO_expand_A4_(210.00_x_297.00_MM)"},
    {11, L"ISO_expand_A3_(420.00_x_297.00_MM)"},
    {12, L"ISO_expand_A3_(297.00_x_420.00_MM)"},
    {13, L"ISO_expand_A2_(594.00_x_420.00_MM)"},
    {14, L"ISO_expand_A2_(420.00_x_594.00_MM)"},
    {15, L"ISO_expand_A1_(841.00_x_594.00_MM)"},
    {16, L"ISO_expand_A1_(594.00_x_841.00_MM)"},
    {17, L"ISO_expand_A0_(841.00_x_1189.00_MM)"},
    {18, L"ISO_full_bleed_A5_(210.00_x_148.00_MM)"},
    {19, L"ISO_full_bleed_A5_(148.00_x_210.00_MM)"},
    {20, L"ISO_full_bleed_A4_(297.00_x_210.00_MM)"},
    {21, L"ISO_full_bleed_A4_(210.00_x_297.00_MM)"},
    {22, L"ISO_full_bleed_A3_(420.00_x_297.00_MM)"},
    {23, L"ISO_full_bleed_A3_(297.00_x_420.00_MM)"},
    {24, L"ISO_full_bleed_A2_(594.00_x_420.00_MM)"},
    {25, L"ISO_full_bleed_A2_(420.00_x_594.00_MM)"},
    {26, L"ISO_full_bleed_A1_(841.00_x_594.00_MM)"},
    {27, L"ISO_full_bleed_A1_(594.00_x_841.00_MM)"},
    {28, L"ISO_full_bleed_A0_(841.00_x_1189.00_MM)"},
    {29, L"ISO_full_bleed_B3_(500.00_x_353.00_MM)"},
    {30, L"ISO_full_bleed_B3_(353.00_x_500.00_MM)"},
    {31, L"ISO_full_bleed_B2_(707.00_x_500.00_MM)"},
    {32, L"ISO_full_bleed_B2_(500.00_x_707.00_MM)"},
    {33, L"ISO_full_bleed_B1_(1000.00_x_707.00_MM)"},
    {34, L"ISO_full_bleed_B1_(707.00_x_1000.00_MM)"},
    {35, L"ISO_full_bleed_B0_(1414.00_x_1000.00_MM)"},
    {36, L"ISO_full_bleed_B0_(1000.00_x_1414.00_MM)"},
    {37, L"ISO_full_bleed_2A0_(1189.00_x_1682.00_MM)"},
    {38, L"ISO_full_bleed_4A0_(1682.00_x_2378.00_MM)"},
    {39, L"ANSI_A_(11.00_x_8.50_Inches)"},
    {40, L"ANSI_A_(8.50_x_11.00_Inches)"},
    {41, L"ANSI_B_(17.00_x_11.00_Inches)"},
    {42, L"ANSI_B_(11.00_x_17.00_Inches)"},
    {43, L"ANSI_C_(22.00_x_17.00_Inches)"},
    {44, L"ANSI_C_(17.00_x_22.00_Inches)"},
    {45, L"ANSI_D_(34.00_x_22.00_Inches)"},
    {46, L"ANSI_D_(22.00_x_34.00_Inches)"},
    {47, L"ANSI_E_(34.00_x_44.00_Inches)"},
    {48, L"ANSI_expand_A_(11.00_x_8.50_Inches)"},
    {49, L"ANSI_expand_A_(8.50_x_11.00_Inches)"},
    {50, L"ANSI_expand_B_(17.00_x_11.00_Inches)"},
    {51, L"ANSI_expand_B_(11.00_x_17.00_Inches)"},
    {52, L"ANSI_expand_C_(22.00_x_17.00_Inches)"},
    {53, L"ANSI_expand_C_(17.00_x_22.00_Inches)"},
    {54, L"ANSI_expand_D_(34.00_x_22.00_Inches)"},
    {55, L"ANSI_expand_D_(22.00_x_34.00_Inches)"},
    {56, L"ANSI_expand_E_(34.00_x_44.00_Inches)"},
    {57, L"ANSI_full_bleed_F_(28.00_x_40.00_Inches)"},
    {58, L"ANSI_full_bleed_E_(34.00_x_44.00_Inches)"},
    {59, L"ANSI_full_bleed_D_(34.00_x_22.00_Inches)"},
    {60, L"ANSI_full_bleed_D_(22.00_x_34.00_Inches)"},
    {61, L"ANSI_full_bleed_C_(22.00_x_17.00_Inches)"},
    {62, L"ANSI_full_bleed_C_(17.00_x_22.00_Inches)"},
    {63, L"ANSI_full_bleed_B_(17.00_x_11.00_Inches)"},
    {64, L"ANSI_full_bleed_B_(11.00_x_17.00_Inches)"},
    {65, L"ANSI_full_bleed_A_(11.00_x_8.50_Inches)"},
    {66, L"ANSI_full_bleed_A_(8.50_x_11.00_Inches)"},
    {67, L"ARCH_C_(24.00_x_18.00_Inches)"},
    {68, L"ARCH_C_(18.00_x_24.00_Inches)"},
    {69, L"ARCH_D_(36.00_x_24.00_Inches)"},
    {70, L"ARCH_D_(24.00_x_36.00_Inches)"},
    {71, L"ARCH_E_(36.00_x_48.00_Inches)"},
    {72, L"ARCH_E1_(30.00_x_42.00_Inches)"},
    {73, L"ARCH_expand_C_(24.00_x_18.00_Inches)"},
    {74, L"ARCH_expand_C_(18.00_x_24.00_Inches)"},
    {75, L"ARCH_expand_D_(36.00_x_24.00_Inches)"},
    {76, L"ARCH_expand_D_(24.00_x_36.00_Inches)"},
    {77, L"ARCH_expand_E_(36.00_x_48.00_Inches)"},
    {78, L"ARCH_expand_E1_(30.00_x_42.00_Inches)"},
    {79, L"ARCH_full_bleed_E1_(30.00_x_42.00_Inches)"},
    {80, L"ARCH_full_bleed_E_(36.00_x_48.00_Inches)"},
    {81, L"ARCH_full_bleed_D_(36.00_x_24.00_Inches)"},
    {82, L"ARCH_full_bleed_D_(24.00_x_36.00_Inches)"},
    {83, L"ARCH_full_bleed_C_(24.00_x_18.00_Inches)"},
    {84, L"ARCH_full_bleed_C_(18.00_x_24.00_Inches)"},
    {85, L"ARCH_full_bleed_B_(18.00_x_12.00_Inches)"},
    {86, L"ARCH_full_bleed_B_(12.00_x_18.00_Inches)"},
    {87, L"ARCH_full_bleed_A_(12.00_x_9.00_Inches)"},
    {88, L"ARCH_full_bleed_A_(9.00_x_12.00_Inches)"},
};

// The host value of a stored id, or 0.
int valueOfId(std::span<const IdEntry> table, int id) {
    for (const IdEntry& entry : table)
        if (entry.id == id)
            return entry.value;
    return 0;
}

// The stored id of a host value, or 0.
int idOfValue(std::span<const IdEntry> table, int value) {
    for (const IdEntry& entry : table)
        if (entry.value == value)
            return entry.id;
    return 0;
}

// The device entry of a device value; the first entry for a value out of range.
const DeviceEntry& deviceEntry(int device) {
    for (const DeviceEntry& entry : PLOT_DEVICES)
        if (entry.device == device)
            return entry;
    return PLOT_DEVICES[0];
}

// The table index of a media value; 0 for a value out of range.
int mediaIndex(int media) {
    const int count = static_cast<int>(std::size(MEDIA));
    return media >= 0 && media < count ? media : 0;
}

}  // namespace

CPlotSettingIds::PlotDevice CPlotSettingIds::convertPlotDevice(int id) {
    try {
        for (const DeviceEntry& entry : PLOT_DEVICES)
            if (entry.id == id)
                return entry.device;
        return PLOT_DEVICES[0].device;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertPlotDevice"));
    }
}

int CPlotSettingIds::convertToPlotDeviceID(int device) {
    try {
        for (const DeviceEntry& entry : PLOT_DEVICES)
            if (entry.device == device)
                return entry.id;
        return 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertToPlotDeviceID"));
    }
}

CString CPlotSettingIds::convertPlotDeviceToName(int device) {
    try {
        return deviceEntry(device).fileName;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertPlotDevice"));
    }
}

CString CPlotSettingIds::plotExtension(int device) {
    try {
        return deviceEntry(device).extension;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::plotExtension"));
    }
}

int CPlotSettingIds::convertPlotArea(int id) {
    try {
        return valueOfId(PLOT_AREAS, id);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertPlotArea"));
    }
}

int CPlotSettingIds::convertToAreaTypeID(int areaType) {
    try {
        return idOfValue(PLOT_AREAS, areaType);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertToAreaTypeID"));
    }
}

int CPlotSettingIds::convertScale(int id) {
    try {
        return valueOfId(STANDARD_SCALES, id);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertScale"));
    }
}

int CPlotSettingIds::convertToScaleTypeID(int scaleType) {
    try {
        return idOfValue(STANDARD_SCALES, scaleType);
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertToScaleTypeID"));
    }
}

int CPlotSettingIds::convertMediaSizeFromId(int id) {
    try {
        const int count = static_cast<int>(std::size(MEDIA));
        for (int value = 0; value < count; ++value)
            if (MEDIA[value].id == id)
                return value;
        return 0;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertMediaSize"));
    }
}

int CPlotSettingIds::convertToMediaSizeID(int media) {
    try {
        return MEDIA[mediaIndex(media)].id;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertToMediaSizeID"));
    }
}

const wchar_t* CPlotSettingIds::convertMediaSize(int media) {
    try {
        return MEDIA[mediaIndex(media)].canonicalName;
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::convertMediaSize"));
    }
}

void CPlotSettingIds::checkPlotFileExtension(CString& fileName, int device) {
    try {
        const CString extension = plotExtension(device);
        if (fileName.IsEmpty()) {
            throw new CEXInvalidPlotFilename(ORVAN_MODULE_DESCRIPTION, SOURCE_FILE,
                                             _T("CAcadUtilities::checkPlotFileExtension"),
                                             fileName);
        }
        const int lastPoint = fileName.ReverseFind(L'.');
        if (lastPoint < 0) {
            fileName += extension;
        } else if (fileName.Right(extension.GetLength()) != extension) {
            fileName = fileName.Left(lastPoint) + extension;
        }
    } catch (...) {
        throwWrapped(SOURCE_FILE, _T("CAcadUtilities::checkPlotFileExtension"));
    }
}
