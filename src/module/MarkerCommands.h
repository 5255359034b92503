// olmc and opmc: the commands that place the legend marker (from a closed polyline) and the
// pie-chart marker (from a circle) at which a graphic report draws its legend table and pie
// chart. Registered on a full host only; on any other host a handler does nothing at all.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;

// The handlers of olmc and opmc.
void legendMarkerBlockCreate();
void pieMarkerBlockCreate();

// Ask for the marker's precision, text size and rotation (degrees), then make the marker from
// the picked entity of the drawing (held locked by the caller). What happens is printed; an
// error is shown in the error box. The entity stays where it was unless the marker was made.
void createLegendMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId entityId);
void createPieMarkerBlock(CAcadDrawing* pDrawing, AcDbObjectId entityId);
