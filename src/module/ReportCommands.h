// oagr, ogr, olbd and opbd: the commands that bring a graphic report file to a drawing. oagr
// applies a chosen report to the current drawing, ogr to the drawing the report names (opened,
// applied, saved and closed again); olbd and opbd only build the report's legend or pie-chart
// definition in the current drawing from settings the user types.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;
class CGraphicReport;

// The handlers of oagr, ogr, olbd and opbd.
void applyGraphicReport();
void graphicReport();
void legendBlockDefine();
void pieBlockDefine();

// Asks for text size, pie radius (only when the pie is wanted), rotation in degrees, whether
// to ignore empty categories, units text and precision, then builds the legend definition
// (bLegend non-zero) and the pie-chart definition (bPie non-zero) of the report in the drawing,
// under one more level of the drawing's lock. A failure is shown in the error box; the function
// returns normally.
void defineLegacyLegendAndPie(CAcadDrawing* pDrawing, CGraphicReport* pReport, int bLegend,
                              int bPie);
