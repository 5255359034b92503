// The interactive space-block commands: turning the drawing's gross-area outline into its space
// block (ogabc) and a space block back into its outline (odb), with the test for a named block
// definition that several commands share.
#pragma once

#include "StdAfx.h"

class CAcadDrawing;

// ogabc: the gross-area block of the current drawing. Prints the banner; when the drawing holds a
// "ROOM-GROSS_AREA" definition already, says so and ends. Otherwise, under the drawing's lock,
// asks for a closed polyline ("\nPlease select a polyline:\n"), reports an open one, one on a
// locked layer or one that does not open, and hands a closed one to createGrossAreaBlock with the
// preferences' units, text size, text scale, rotation and precision. Every failure is caught
// here and shown (a module error in the error message box, anything else as
// "\nUnhandled Error - Block Creation Failed\n"); nothing reaches the host.
void grossAreaBlockCreate();

// The second gross-area flow, which no command calls: no banner. When the drawing holds a
// "ROOM-GROSS_AREA" definition, prints "Operation Cancelled. Gross Area Block already Exists\n";
// asks for the outline ("\nPlease select the gross area polyline:\n"; a cancelled pick prints
// "Gross Area Block Creation Cancelled\n"), then under the lock for the point of the texts
// (anything but a point ends quietly); refuses an entity that is no polyline ("\nInvalid
// Selection\n\n") and an open one ("\nPolyline Is not closed\n\n"), and makes the block as
// createGrossAreaBlock does but with the AREA text without its unit, with the preferences' units,
// precision, text size, scale and rotation (a fresh preferences object's without the file).
// Prints "Gross Area Block Created Successfully\n", or "Block Creation Failed\n" when the
// creation or the opening of the outline fails. Every failure is caught and shown in the error
// message box.
void grossAreaBlockCreate2();

// odb: prints the banner, asks for a block reference ("Select the Orvan Block to delete") and
// turns it back into its outline (CBlockDWG::deleteBlock). Any block reference is accepted, also
// one that is no space block: the deletion decides what it can undo. Every failure is caught and
// shown in the error message box.
void deleteBlock();

// Makes the floor space block "ROOM-GROSS_AREA" (name "GROSS AREA") from the polyline: asks for
// the point of the texts ("\nEnter Attribute points: "; anything but a point ends quietly),
// measures the polyline in the units, rounds area and perimeter to the precision, gives the block
// the NAME, AREA (area text + "sq.m." or "sq.ft.") and AUX (" ") texts and creates it
// (rotation in degrees, as the preferences hold it). The polyline is carried into the current
// UCS only by a creation that succeeds: a refused or failed creation leaves it where it was.
// Prints "Block Created Successfully\n" or "Block Creation Failed - Error Code %s\n" with the
// host's status. Every failure is caught, shown in the error message box as
// "createGrossAreaBlock", and the command goes on with its clean-up.
void createGrossAreaBlock(CAcadDrawing* pDrawing, AcDbObjectId polylineId, int iUnits,
                          double dblTextSize, double dblTextScale, double dblRotation,
                          int iPrecision);

// 1 when the drawing (marked open) holds a block definition of exactly that name (case-sensitive;
// anonymous "*" definitions never match), else 0.
int blockDefinitionExists(CAcadDrawing* pDrawing, CString sName);
