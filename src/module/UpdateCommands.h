// The commands that bring every space block of the current drawing up to date in one run, and
// the hatching commands. Each walks the space blocks with the block sweep (module/BlockSweep.h)
// and catches every failure at its boundary: a failure thrown out of the work is shown as an
// error chain naming the handler (the handler's name below) in the error message box, and the
// command ends; nothing is thrown back to the host. Blocks already written keep their new state.
#pragma once

// ous: measures every space block's area and perimeter again with the preferences' units and
// precision. An AREA (AUX) text that still shows what the block's stored area (perimeter)
// printed is rewritten with the new value and the unit text of the preferences' units; a text
// typed over by a user is kept. The extended data are updated in every case.
void updateSpaces();

// osxta: after four yes/no questions (name, area, perimeter to AUX, recalculate first) copies
// the chosen stored values into the attributes, written with the preferences' precision and in
// the preferences' units (a value stored in other units is converted for the text).
void syncXDataToAttributes();

// out: asks for the text size, width factor and rotation of the attribute texts ("i" leaves a
// value unchanged; an invalid answer asks again; Esc ends the command with nothing changed) and
// gives them to every space block's attributes.
void updateTextSize();

// ort: under one lock for the whole run, writes every space block's attribute texts again from
// its records, laid out around its AREA text. Blocks without attributes are passed over.
void orvanRefreshTags();

// obta: empties (one blank) the AUX text of every space block that has one and prints how many
// blocks were altered.
void blankThirdAttribute();

// osc_has: hatches every space block but the gross-area ones in solid yellow on "#Hatch" and
// prints the start and end times, the count and the seconds per block.
void hatchAllSpaces();

// osc_hs: hatches the one space block the user picks the same way.
void hatchSpace();
