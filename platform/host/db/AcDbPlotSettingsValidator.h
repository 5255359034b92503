// The plot-settings validator: the only way to change the device, the paper, the plot area, the
// scale, the rotation, the origin, centring and the style sheet of plot settings (a layout or a
// page setup), checked against the host's devices (PlotDevices.h). The host has one, reached
// through acdbHostApplicationServices()->plotSettingsValidator().
//
// Every setter needs the plot settings open for write (else eNotOpenForWrite), gives
// eNullObjectPointer for no plot settings and eInvalidInput for a value the devices or the
// enumerations do not have; a refused call changes nothing.
#pragma once

#include "../AcArray.h"
#include "AcDbPlotSettings.h"

class AcDbPlotSettingsValidator {
  public:
    // The device and, when given, the medium. Without a medium the current one stays when the
    // device has it, else the device's default medium is taken. The paper size, margins and
    // paper units follow the medium (its own units: millimetres, inches or pixels).
    Acad::ErrorStatus setPlotCfgName(AcDbPlotSettings* settings, const ACHAR* deviceName,
                                     const ACHAR* mediaName = nullptr);
    // A medium of the settings' device; paper size, margins and paper units follow it.
    Acad::ErrorStatus setCanonicalMediaName(AcDbPlotSettings* settings, const ACHAR* mediaName);
    // Inches or millimetres for a paper, pixels for a raster size (the size stays in
    // millimetres or pixels).
    Acad::ErrorStatus setPlotPaperUnits(AcDbPlotSettings* settings,
                                        AcDbPlotSettings::PlotPaperUnits units);
    Acad::ErrorStatus setPlotRotation(AcDbPlotSettings* settings,
                                      AcDbPlotSettings::PlotRotation rotation);
    // Centring is refused (eInvalidInput) while the plot type is kLayout; making the plot type
    // kLayout ends centring.
    Acad::ErrorStatus setPlotCentered(AcDbPlotSettings* settings, bool centred);
    // kLayout only for a paper layout, kView only with a view name.
    Acad::ErrorStatus setPlotType(AcDbPlotSettings* settings, AcDbPlotSettings::PlotType type);
    // The window's corners, lower left first (each coordinate no larger than the other's).
    Acad::ErrorStatus setPlotWindowArea(AcDbPlotSettings* settings, double xmin, double ymin,
                                        double xmax, double ymax);
    // Not empty.
    Acad::ErrorStatus setPlotViewName(AcDbPlotSettings* settings, const ACHAR* viewName);
    Acad::ErrorStatus setPlotOrigin(AcDbPlotSettings* settings, double x, double y);
    Acad::ErrorStatus setUseStandardScale(AcDbPlotSettings* settings, bool useStandard);
    Acad::ErrorStatus setStdScaleType(AcDbPlotSettings* settings,
                                      AcDbPlotSettings::StdScaleType type);
    // Both above 0.
    Acad::ErrorStatus setCustomPrintScale(AcDbPlotSettings* settings, double numerator,
                                          double denominator);
    // A plot style table of the host, or empty (or null) for none.
    Acad::ErrorStatus setCurrentStyleSheet(AcDbPlotSettings* settings, const ACHAR* styleSheet);

    // The device names; the texts stay valid for the process.
    void plotDeviceList(AcArray<const ACHAR*>& devices) const;
    // The canonical media names of the settings' device.
    Acad::ErrorStatus canonicalMediaNameList(const AcDbPlotSettings* settings,
                                             AcArray<const ACHAR*>& media) const;
    // The name the host shows for a medium of the settings' device; eInvalidInput for none.
    Acad::ErrorStatus getLocaleMediaName(const AcDbPlotSettings* settings,
                                         const ACHAR* canonicalName,
                                         const ACHAR*& localeName) const;
    void plotStyleSheetList(AcArray<const ACHAR*>& styleSheets) const;
    // Reads the device lists again; this host's lists are fixed, so it only checks the
    // settings (eNullObjectPointer for none).
    Acad::ErrorStatus refreshLists(const AcDbPlotSettings* settings) const;
};
