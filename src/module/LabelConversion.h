// osc_isc: turns the room labels of another space-planning format into room space blocks.
//
// A label is a block reference "TAVRIN_SPACE_LABEL" whose attribute "ROOM" holds the room's name
// (and gives the text height, width factor and rotation of the new block's texts) and whose
// attribute "PLINE2_ID" holds the hexadecimal handle of the lightweight polyline round the room.
// Label i of the selection (counted from 0 over every label found) becomes the room block
// "ROOM-" + i; when that name is taken, the next free number above i is used and the line
// "\nSpace label <handle>: ROOM-<i> exists - made ROOM-<n>\n" says so. The label then goes to the
// layer "TAVRIN", which is switched off.
//
// A label whose handle names nothing, no lightweight polyline, or a polyline that is no longer
// in model space (a label converted before: its outline lies inside its space block) gets no
// block, and a line names the label and why; its number is used up all the same. Nothing of a
// label's polyline changes before its block name is known to be free, and a creation that fails
// leaves the polyline as it was (open or closed, where it was). Every object opened is closed on
// every path.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;

// The handler. Loads the preferences (units 0 and precision 2 without a file), zooms to the
// extents and, under the drawing's lock, makes the layer "TAVRIN" (true colour white) and
// switches it off, thaws and switches on a layer "BOMA" the drawing has, then converts every
// label. A failure outside one label's creation ends the command, shown in the error message box;
// labels already converted keep their blocks.
void orvanTavrinConversion();

// Every "INSERT" of the block "TAVRIN_SPACE_LABEL" in the drawing (selection mode "X"); the
// host's result (RTNORM with a set, which the caller frees).
int getTavrinBlockSS(ads_name set);

// What a label tells: the texts of its "ROOM" and "PLINE2_ID" attributes (tags exact; a later
// attribute of the same tag goes in front of the earlier text) and the height, width factor and
// rotation (radians) of its last "ROOM" attribute. Without a "ROOM" attribute: height 10.0,
// width factor 1.0, rotation 0.0. Attributes are only read.
void interrogateTavrinBlock(AcDbBlockReference* pLabel, CString& sSpaceName,
                            CString& sHandleText, double& dblTextHeight, double& dblWidthFactor,
                            double& dblRotation);

// Makes the room block `sBlockName` named `sSpaceName` from the polyline: area and perimeter
// measured in the units (unrounded), the texts NAME, AREA (written with the precision, then
// "sq.m." or "sq.ft.") and AUX (" "), the texts at the insertion point (a world point; the block
// is made in the current UCS) with the height, width factor and rotation (radians, in the world).
// 0, or the host's status of the refusal (the polyline then is where it was). A failure inside is
// shown in the error message box and gives eInvalidInput.
Acad::ErrorStatus createTavrinBlock(CAcadDrawing* pDrawing, const AcGePoint3d& ptInsertion,
                                    AcDbObjectId polylineId, int iUnits, int iPrecision,
                                    double dblTextHeight, double dblWidthFactor,
                                    double dblRotation, CString sBlockName, CString sSpaceName);
