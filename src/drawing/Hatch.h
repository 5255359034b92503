// CHatch: the settings with which a space block, an asset or a graphic report's category is
// hatched: pattern name, angle and scale, the layer the hatch goes on, and its colour. It draws
// nothing; the code that builds a hatch in the drawing reads it.
#pragma once

#include "StdAfx.h"

#include <arxHeaders.h>

class CHatch {
  public:
    // Empty pattern and layer names, angle 0, scale 1, the colour type's default (by layer).
    CHatch() = default;

    // Copies every field into the target (through its setters: angle, colour, layer name,
    // pattern name, scale). A null target raises; failures arrive wrapped as
    // "CHatch::copyTo".
    void copyTo(CHatch* target) const;

    CString getPatternName() const { return m_patternName; }
    void setPatternName(CString patternName) { m_patternName = patternName; }
    // A whole number of degrees, handed unchanged to the host's hatch.
    int getPatternAngle() const { return m_patternAngle; }
    void setPatternAngle(int patternAngle) { m_patternAngle = patternAngle; }
    // A whole number, handed to the host's hatch and shown in the hatch-density errors.
    int getPatternScale() const { return m_patternScale; }
    void setPatternScale(int patternScale) { m_patternScale = patternScale; }
    CString getLayerName() const { return m_layerName; }
    void setLayerName(CString layerName) { m_layerName = layerName; }
    AcCmColor getColour() const { return m_colour; }
    void setColour(AcCmColor colour) { m_colour = colour; }

  private:
    CString m_patternName;
    int m_patternAngle = 0;
    int m_patternScale = 1;
    CString m_layerName;
    AcCmColor m_colour;
};
