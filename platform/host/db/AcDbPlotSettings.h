// Plot settings: how a layout (or a named page setup) goes to paper — the plot device, the
// paper (canonical media name), the area plotted, the scale, the rotation, centring and the
// pen settings.
//
// The host lets an application read every setting here but change only the simple switches
// (line weights, plot styles, hidden lines, viewport borders, the page setup's name); the device,
// the paper, the area, the scale, the rotation, the origin and centring change only through the
// plot-settings validator (AcDbPlotSettingsValidator.h), which checks them against the devices.
//
// A new object: device "None", paper "ISO_A4_(297.00_x_210.00_MM)" (297 x 210 mm, with that
// paper's margins, millimetres), no rotation, plot styles and line weights plotted, line weights not scaled, no
// style sheet; for model space plot type extents, "scale to fit" and centred, for a paper layout
// plot type layout, 1:1 and not centred, a standard scale in use either way. (A layout that a
// drawing file gives without plot settings keeps these.)
//
// Drawing files keep every field of PlotSettingsData (see qvData); the flags of the file's
// group 70 are packed and unpacked by plotLayoutFlags and setPlotLayoutFlags.
#pragma once

#include <string>

#include "AcDbObject.h"

class AcDbPlotSettingsValidator;

class AcDbPlotSettings : public AcDbObject {
    QV_RX_DECLARE_MEMBERS(AcDbPlotSettings)
  public:
    enum PlotPaperUnits { kInches = 0, kMillimeters = 1, kPixels = 2 };
    enum PlotRotation { k0degrees = 0, k90degrees = 1, k180degrees = 2, k270degrees = 3 };
    // What is plotted: the last screen display, the drawing's extents, its limits, a named view,
    // a window, or the whole layout (paper layouts only).
    enum PlotType { kDisplay = 0, kExtents = 1, kLimits = 2, kView = 3, kWindow = 4, kLayout = 5 };
    // Paper units to drawing units; the inch-to-foot scales are architectural.
    enum StdScaleType {
        kScaleToFit = 0,
        k1_128in_1ft = 1,
        k1_64in_1ft = 2,
        k1_32in_1ft = 3,
        k1_16in_1ft = 4,
        k3_32in_1ft = 5,
        k1_8in_1ft = 6,
        k3_16in_1ft = 7,
        k1_4in_1ft = 8,
        k3_8in_1ft = 9,
        k1_2in_1ft = 10,
        k3_4in_1ft = 11,
        k1in_1ft = 12,
        k3in_1ft = 13,
        k6in_1ft = 14,
        k1ft_1ft = 15,
        k1_1 = 16,
        k1_2 = 17,
        k1_4 = 18,
        k1_8 = 19,
        k1_10 = 20,
        k1_16 = 21,
        k1_20 = 22,
        k1_30 = 23,
        k1_40 = 24,
        k1_50 = 25,
        k1_100 = 26,
        k2_1 = 27,
        k4_1 = 28,
        k8_1 = 29,
        k10_1 = 30,
        k100_1 = 31,
        k1000_1 = 32,
        k1and1_2in_1ft = 33,
    };
    enum ShadePlotType { kAsDisplayed = 0, kWireframe = 1, kHidden = 2, kRendered = 3 };

    // Settings of a paper layout (modelType false) or of model space.
    explicit AcDbPlotSettings(bool modelType = false);
    QV_RX_CLONE(AcDbPlotSettings)

    // Takes every setting of another plot-settings object (a layout included); this object must
    // be writable. eNotThatKindOfClass (nothing changes) for an object that holds none.
    Acad::ErrorStatus copyFrom(const AcRxObject* other);

    // Texts point into the object (valid while it is open and unchanged).
    Acad::ErrorStatus getPlotSettingsName(const ACHAR*& name) const;
    Acad::ErrorStatus setPlotSettingsName(const ACHAR* name);
    Acad::ErrorStatus getPlotCfgName(const ACHAR*& name) const;
    Acad::ErrorStatus getCanonicalMediaName(const ACHAR*& name) const;
    Acad::ErrorStatus getPlotViewName(const ACHAR*& name) const;
    Acad::ErrorStatus getCurrentStyleSheet(const ACHAR*& name) const;

    // The unprintable margins and the paper, in millimetres (in pixels for a raster medium).
    void getPlotPaperMargins(double& left, double& bottom, double& right, double& top) const;
    void getPlotPaperSize(double& width, double& height) const;
    // The offset of the plot from the paper's lower left corner, in millimetres.
    void getPlotOrigin(double& x, double& y) const;
    void getPlotWindowArea(double& xmin, double& ymin, double& xmax, double& ymax) const;
    // Paper units per drawing units of a custom scale.
    void getCustomPrintScale(double& numerator, double& denominator) const;
    // The ratio of the standard scale type (0 for scale to fit: the plot works it out).
    void getStdScale(double& scale) const;

    PlotPaperUnits plotPaperUnits() const;
    PlotRotation plotRotation() const;
    PlotType plotType() const;
    StdScaleType stdScaleType() const;
    bool useStandardScale() const;
    bool plotCentered() const;
    bool modelType() const;
    ShadePlotType shadePlot() const;

    bool plotViewportBorders() const;
    Acad::ErrorStatus setPlotViewportBorders(bool plot);
    bool showPlotStyles() const;
    Acad::ErrorStatus setShowPlotStyles(bool show);
    bool plotPlotStyles() const;
    Acad::ErrorStatus setPlotPlotStyles(bool plot);
    bool printLineweights() const;
    Acad::ErrorStatus setPrintLineweights(bool print);
    bool scaleLineweights() const;
    Acad::ErrorStatus setScaleLineweights(bool scale);
    bool plotHidden() const;
    Acad::ErrorStatus setPlotHidden(bool hidden);
    bool drawViewportsFirst() const;
    Acad::ErrorStatus setDrawViewportsFirst(bool first);
    // eInvalidInput for a value outside the enumeration.
    Acad::ErrorStatus setShadePlot(ShadePlotType type);

    // Adds this object (outside any database, with a page setup name) to the database's
    // dictionary of named page setups ("ACAD_PLOTSETTINGS", made when missing), where it stays
    // open for write. eAlreadyInDb, eInvalidInput (no name), eDuplicateRecordName (a page setup
    // of that name exists), or the refusal of opening the dictionaries for write.
    Acad::ErrorStatus addToPlotSettingsDict(AcDbDatabase* database);

    // ---- for the host's own code (drawing files) ----

    struct Data {
        std::wstring pageSetupName;                   // 1
        std::wstring plotCfgName;                     // 2
        std::wstring canonicalMediaName;              // 4
        std::wstring plotViewName;                    // 6
        std::wstring currentStyleSheet;               // 7
        double marginLeft = 0.0, marginBottom = 0.0;  // 40, 41
        double marginRight = 0.0, marginTop = 0.0;    // 42, 43
        double paperWidth = 0.0, paperHeight = 0.0;   // 44, 45
        double originX = 0.0, originY = 0.0;          // 46, 47
        double windowXmin = 0.0, windowYmin = 0.0;    // 48, 49
        double windowXmax = 0.0, windowYmax = 0.0;    // 140, 141
        double customNumerator = 1.0;                 // 142
        double customDenominator = 1.0;               // 143
        PlotPaperUnits paperUnits = kMillimeters;     // 72
        PlotRotation rotation = k0degrees;            // 73
        PlotType plotType = kDisplay;                 // 74
        StdScaleType stdScaleType = kScaleToFit;      // 75
        ShadePlotType shadePlot = kAsDisplayed;       // 76
        // Group 70, see plotLayoutFlags.
        bool plotViewportBorders = false, showPlotStyles = false, plotCentered = false,
             plotHidden = false, useStandardScale = true, plotPlotStyles = true,
             scaleLineweights = false, printLineweights = true, drawViewportsFirst = false,
             modelType = false;
    };
    const Data& qvData() const { return m_data; }
    // Sets every field as a file has it, without the validator's checks; the object must be
    // writable.
    void qvSetData(const Data& data);

  private:
    friend class AcDbPlotSettingsValidator;
    Data m_data;
};

namespace qv::host {
// The flags of a drawing file's group 70: 1 viewport borders, 2 show plot styles, 4 centred,
// 8 hidden, 16 standard scale, 32 plot styles, 64 scale line weights, 128 print line weights,
// 512 viewports first, 1024 model type. Other bits are ignored when read and written as 0.
int plotLayoutFlags(const AcDbPlotSettings::Data& data);
void setPlotLayoutFlags(AcDbPlotSettings::Data& data, int flags);
}  // namespace qv::host
