// The commands that export, list, rename and inspect the space blocks of the current drawing:
//   ocsv     createRoomAreaCSV         the comma-separated list of spaces beside the drawing
//   olb      listBlockNameIdentifier   the space blocks (and their assets) on the command line
//   ofrs     orvanFindReplaceStub      replaces the leading text of space names
//   osc_cal  checkAttributeLayers      puts the NAME, AREA and AUX texts on their own layers
//   osc_dsd  displaySpaceDetails       the attributes and stored data of one picked space
//
// Each handler takes no arguments, runs on the host's command thread in the command frame
// (module/CommandFrame.h), catches every failure at its boundary and shows it in the error
// message box; nothing is thrown back into the host.
#pragma once

// ocsv: writes the space blocks of the current drawing, sorted by handle, to the file named as
// the drawing with ".csv" in place of its 4-character extension ("C:\plans\level1.dwg" gives
// "C:\plans\level1.csv"), as Windows-1252 text with CR LF line ends:
//   Code,Area,Units,Perimeter,Units
//   <name>,<area>,<m² or ft²>,<perimeter>,<m or ft>     one line per room block
//   Total,<area sum>,<unit>,<perimeter sum>,<unit>
//   (two empty lines)
//   <the gross-area block's line>
// Numbers carry the preference precision. Blocks of units 1 are imperial (ft², ft), all others
// metric. The total is in the units of the last block listed (empty units when there is none);
// each room's values are converted into those units before they are summed. A field holding a
// comma, a double quote, CR or LF is put in double quotes with its quotes doubled. Characters
// the code page lacks are written as "?".
// Then starts the preferences' CSV opener ("NONE": none; empty: asked for once, and an empty or
// cancelled answer starts nothing) with the command line "\"<opener>\" \"<file>\"" in the module
// folder; the program's handles are closed at once and it is not waited for.
void createRoomAreaCSV();

// olb: asks whether to sort by handle in ascending order (default yes) and whether to list the
// assets (default no), then prints "\n\n", the header "ID,Name,Area,Handle(hex),Handle(dec),Assets"
// and per space block "<block name>,<space name>,<area, 2 decimals>,<handle hex>,<handle dec>,
// <asset count>", followed, when asked, by ",,,,,,<block name>,<handle hex>,<handle dec>,
// <attribute count>" per asset. Text fields are quoted as ocsv quotes them.
void listBlockNameIdentifier();

// ofrs: asks for the text to find and the text to put in its place (blanks allowed; an empty
// find text matches every name, which then gets the replacement in front). Each space block
// whose name begins with the find text (case-sensitive) is renamed (its NAME attribute too) and
// written back, its collected errors shown; prints "<old> changed to <new>" per change and
// "<n> blocks processed - <m> changes made" at the end.
void orvanFindReplaceStub();

// osc_cal: under the drawing's lock, makes the layers "ATT-NAME", "ATT-AREA" and "ATT-AUX",
// switches every layer on (thawed, unlocked, plottable, model space), moves each space block's
// NAME, AREA and AUX attributes that lie elsewhere onto those layers, then restores the layer
// state it found — on every exit, failures included. Prints nothing.
void checkAttributeLayers();

// osc_dsd: asks for a space and prints its block name, handle, attributes and stored values. A
// picked block that is no space block prints "\nThe selected block is not a space block\n".
void displaySpaceDetails();
