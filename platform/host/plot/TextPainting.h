// Texts, attributes and multi-line texts on a canvas, in the plot font.
//
// The text's height is the height of its capitals; the width factor stretches it, the oblique
// angle slants it, the rotation turns it about its anchor. Left-and-baseline texts stand at
// their position; the other alignments anchor at the alignment point (centre, right, middle,
// and bottom, middle or top vertically), "aligned" and "fit" run from the position to the
// alignment point ("aligned" scaling the height with the width, "fit" the width alone).
// The control codes %%d, %%p and %%c become the degree, plus-minus and diameter signs; %%u, %%o
// and %%k (underline, overline, strike) are dropped, %%% is a percent sign. A noncharacter
// (U+FDD0 to U+FDEF, U+FFFE, U+FFFF and their likes in every plane), which no device draws, shows
// as the replacement character U+FFFD.
#pragma once

#include <string>

#include "Canvas.h"

class AcDbMText;
class AcDbText;

namespace qv::host::plot {

// The text as it reads on the sheet, control codes replaced, in UTF-8.
std::string plottedText(const std::wstring& text);

void paintText(Canvas& canvas, const AcDbText& text, const Affine& toDevice, const Rgb& colour);

// A multi-line text: its lines as the entity lays them out (AcDbMText.h), measured in the plot
// font, the capitals of each run of a line as high as the height it is set at.
void paintMText(Canvas& canvas, const AcDbMText& text, const Affine& toDevice, const Rgb& colour);

}  // namespace qv::host::plot
