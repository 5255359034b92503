// CPlotSettingIds: the tables of the small integer ids that graphic reports and the server
// preferences keep for plot settings, and the host values each stands for. Pure data with static
// lookups, so that the preferences in core can read them; the drawing's helper CAcadUtilities
// offers them as its own (it derives from this class), and their errors name it.
//
// Failures: every operation runs inside the catch-and-wrap convention (core/OrvanExceptions.h),
// so whatever goes wrong reaches the caller as a CEXUnhandled naming "CAcadUtilities::" and the
// operation, with "AcadUtilities.cpp" as its source file.
#pragma once

#include "StdAfx.h"

class CPlotSettingIds {
  public:
    // Graphic reports and the server preferences keep plot settings as small integer ids. Each
    // conversion maps every id of its range to the same host value and any other id (negative
    // ones included) to 0; an id out of range is no error.

    // The plot devices and the file each one writes.
    enum PlotDevice {
        PLOT_DEVICE_DWF = 0,  // "DWF6 ePlot.pc3", ".dwf"
        PLOT_DEVICE_PDF = 1,  // "DWG To PDF.pc3", ".pdf"
        PLOT_DEVICE_JPG = 2,  // "PublishToWeb JPG.pc3", ".jpg"
        PLOT_DEVICE_PNG = 3,  // "PublishToWeb PNG.pc3", ".png"
    };

    static PlotDevice convertPlotDevice(int id);
    static int convertToPlotDeviceID(int device);
    // The device's configuration file name; device 0's for a value out of range. Errors name
    // "CAcadUtilities::convertPlotDevice".
    static CString convertPlotDeviceToName(int device);
    // The device's file extension with its point; ".dwf" for a value out of range.
    static CString plotExtension(int device);

    // Plot-area type (0 display, 1 extents, 2 limits, 3 view, 4 window, 5 layout), handed
    // unchanged to the host's plot-settings validator.
    static int convertPlotArea(int id);
    static int convertToAreaTypeID(int areaType);

    // Standard scale type (0 scale to fit to 33), handed unchanged to the validator.
    static int convertScale(int id);
    static int convertToScaleTypeID(int scaleType);

    // Media (paper) values 0 to 88, each standing for one canonical media name of the host's plot
    // devices. convertMediaSizeFromId reports its errors as "CAcadUtilities::convertMediaSize".
    static int convertMediaSizeFromId(int id);
    static int convertToMediaSizeID(int media);
    // The canonical media name (static text); value 0's for a value out of range.
    static const wchar_t* convertMediaSize(int media);

    // Makes a plot file name end in the device's extension: a name without any "." gets it
    // appended; a name whose end differs from it (compared case-sensitively) is cut at its last
    // "." and gets it appended; a name that ends in it stays. An empty name raises
    // CEXInvalidPlotFilename, which reaches the caller wrapped in the operation's CEXUnhandled.
    static void checkPlotFileExtension(CString& fileName, int device);
};
