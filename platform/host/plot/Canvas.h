// The surface a plot is drawn on, in device units: points (1/72 inch) for a page, pixels for a
// raster image; x to the right, y downwards, origin at the top left corner of the sheet.
//
// Drawing builds a path (moveTo, lineTo, closePath) and then strokes it, fills it, or makes it
// the clip. Curves reach the canvas already flattened. Texts are drawn through an affine map
// from text space (units of the font's em, baseline at y 0, y upwards) to the device.
//
// CairoCanvas.h draws through cairo on a PDF page or a raster image; the image is written as PNG
// or JPEG when the canvas finishes. DwfCanvas.h writes a DWF 6 ePlot page.
#pragma once

#include <array>
#include <string>

namespace qv::host::plot {

struct Rgb {
    double r = 0.0, g = 0.0, b = 0.0;  // 0 to 1
    bool operator==(const Rgb&) const = default;
};

struct DevicePoint {
    double x = 0.0, y = 0.0;
};

// x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    DevicePoint apply(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
    // The vector (x, y) mapped without the translation.
    DevicePoint applyVector(double x, double y) const { return {a * x + c * y, b * x + d * y}; }
    // this after `first`: p -> this(first(p)).
    Affine after(const Affine& first) const;
    double determinant() const { return a * d - b * c; }
    static Affine translation(double x, double y) { return {1.0, 0.0, 0.0, 1.0, x, y}; }
    static Affine scaling(double sx, double sy) { return {sx, 0.0, 0.0, sy, 0.0, 0.0}; }
    // Counter-clockwise by `angle` radians (in a y-up space).
    static Affine rotation(double angle);
};

// The advance width and the height of capital letters of a text at an em of 1.
struct TextMetrics {
    double advance = 0.0;
    double capHeight = 0.0;
};

// The corners of a drawn text's box on the device: over its advance, from 0.3 em below the
// baseline (descenders) to 1 em above it (capitals), through the text's map `toDevice`.
inline std::array<DevicePoint, 4> textCorners(double advance, const Affine& toDevice) {
    constexpr double kBelow = 0.3, kAbove = 1.0;
    return {toDevice.apply(0.0, -kBelow), toDevice.apply(advance, -kBelow),
            toDevice.apply(advance, kAbove), toDevice.apply(0.0, kAbove)};
}

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual double width() const = 0;
    virtual double height() const = 0;

    virtual void moveTo(DevicePoint p) = 0;
    virtual void lineTo(DevicePoint p) = 0;
    virtual void closePath() = 0;
    // Strokes the path with a pen of that width (device units; round joins and caps when
    // `round`, else mitred joins and flat caps) and clears it.
    virtual void stroke(const Rgb& colour, double width, bool round = true) = 0;
    // Fills the path (even-odd: islands inside islands stay empty) and clears it.
    virtual void fill(const Rgb& colour) = 0;
    // Limits drawing to the inside (even-odd) of the path until popClip; clears the path.
    virtual void pushClip() = 0;
    virtual void popClip() = 0;

    // The metrics of a UTF-8 text in the plot font.
    virtual TextMetrics measure(const std::string& utf8) = 0;
    // Draws a UTF-8 text at text space's origin through `toDevice`.
    virtual void text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) = 0;

    // Puts what is drawn from now on on the layer of that name (UTF-8); a canvas without layers
    // ignores it.
    virtual void setLayer(const std::string& utf8Name) { (void)utf8Name; }

    // Writes the output. Empty on success, else why it failed.
    virtual std::string finish() = 0;
};

}  // namespace qv::host::plot
