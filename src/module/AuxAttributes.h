// oaux: gives every space block of the current drawing its third text, AUX, and lays its NAME,
// AREA and AUX texts out again around the AREA text.
//
// Layout, from the AREA text (definition or reference) with its position p, rotation r (radians)
// and height h: dx = 1.5 h sin r, dy = 1.5 h cos r; NAME stands at (p.x - dx, p.y + dy, p.z),
// AUX at (p.x + dx, p.y - dy, p.z), both with the AREA text's rotation, width factor and height.
//
// Only an AREA text anchors the layout: a definition or reference without one is left as it is
// (no AUX is made for it). A definition or reference that has its AUX already only has its texts
// laid out again, so a second run adds nothing.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;

// The handler. Under the drawing's lock: makes sure the layer "ATT-AUX" exists, switches the
// three attribute layers on, collects the space blocks (level "f", no assets) and, for each whose
// reference opens for write, treats its definition (when that opens for write) and its
// reference; then regenerates. A failure ends the command, shown in the error message box;
// blocks already treated keep their changes.
void orvanAuxilarator();

// Switches on every layer whose name in upper case is "ATT-NAME", "ATT-AREA" or "ATT-AUX" (its
// other properties stay). Needs the drawing's lock.
void turnOnOrvanLayers(CAcadDrawing* pDrawing);

// A block definition open for write: the attribute definitions tagged "NAME", "AREA" and "AUX"
// (the first of each tag, exact): AREA becomes left-aligned; NAME (left-aligned too) and AUX are
// laid out; a missing AUX is made (prompt "Enter Auxillary", default "default aux", field length
// 25, on "ATT-AUX", the AREA definition's normal and vertical alignment, left-aligned). True when
// an AREA definition anchored the layout.
bool iterateThroughOrvanBlockDefinition(AcDbBlockTableRecord* pDefinition);

// A block reference open for write: its attributes "NAME" and "AUX" are laid out from "AREA"
// (whose alignment stays); a missing AUX is made (text " ", visible, on "ATT-AUX", the AREA
// attribute's normal and alignments). True when an AREA attribute anchored the layout.
bool iterateThroughOrvanBlockReference(AcDbBlockReference* pReference);
