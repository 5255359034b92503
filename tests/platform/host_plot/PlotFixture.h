// A drawing to plot: helpers that fill it and set its layouts' plot settings.
#pragma once

#include <string>

#include "arxHeaders.h"
#include "support/HostFixture.h"
#include "support/TempDrive.h"

namespace qv::test {

class PlotFixture : public DrawingTest {
  protected:
    TempDrive drive;

    AcDbObjectId layer(const ACHAR* name, bool off = false, bool frozen = false,
                       bool plottable = true);
    // A solid hatch over the rectangle, in a colour of its own (or by block).
    AcDbHatch* solidSquare(double x0, double y0, double x1, double y1, AcDbObjectId layer,
                           const AcCmColor& colour);
    AcDbObjectId modelLayoutId();
    // Sets device, medium, plot type, scale to fit (or 1:1), centring and rotation of a layout.
    void setSettings(AcDbObjectId layout, const ACHAR* device, const ACHAR* medium,
                     AcDbPlotSettings::PlotType type, bool fit = true, bool centred = true,
                     AcDbPlotSettings::PlotRotation rotation = AcDbPlotSettings::k0degrees);
    // Runs the publish engine on the layout as the host's plot does; the first failing status.
    Acad::ErrorStatus publish(AcDbObjectId layout, const std::wstring& windowsPath);
    static AcCmColor rgb(int r, int g, int b);
};

}  // namespace qv::test
