// The editor's input functions. Each shows its prompt (nothing for a null prompt unless said),
// reads answers (Editor.h) and takes the keywords and flags of the acedInitGet before it, which
// then no longer hold.
//
// Results: RTNORM for a value; RTNONE for Enter (unless RSG_NONULL, which asks again); RTCAN for
// Esc or the end of the input; RTKWORD for a keyword of acedInitGet (or, with RSG_OTHER, any
// text that is no value), whose global form acedGetInput then gives; RTERROR for bad arguments.
// An answer that is neither is reported ("Requires an integer value.") and asked again.
#pragma once

#include <cstddef>
#include <string>

#include "../db/ResBuf.h"

// Keywords ("Yes No", see Keywords.h) and RSG_ flags (Editor.h) for the next input call.
int acedInitGet(int flags, const ACHAR* keywords);
// An integer from -32768 to 32767.
int acedGetInt(const ACHAR* prompt, int* result);
int acedGetReal(const ACHAR* prompt, ads_real* result);
// A text. With `spaces` 0 a blank ends the answer (the rest is the next answer). Enter gives
// RTNORM and an empty text; Esc RTCAN and an empty text. At most `size` - 1 characters are
// stored; a longer answer is cut and gives RTINPUTTRUNCATED, and the command line says so
// ("The answer is too long for this prompt ...") and counts it as a refused answer. Keywords do
// not apply.
int acedGetString(int spaces, const ACHAR* prompt, ACHAR* result, size_t size);
// The same into a buffer of at least 133 characters (132 and the zero).
int acedGetString(int spaces, const ACHAR* prompt, ACHAR* result);
// A keyword of acedInitGet (its global form; with RSG_OTHER any text as typed): RTNORM. Without a
// keyword list: RTERROR. Enter: RTNONE and an empty text. An answer longer than `size` - 1 is
// cut as acedGetString cuts it.
int acedGetKword(const ACHAR* prompt, ACHAR* result, size_t size);
int acedGetKword(const ACHAR* prompt, ACHAR* result);
// The keyword (or other text) of the last RTKWORD.
int acedGetInput(ACHAR* result, size_t size);
int acedGetInput(ACHAR* result);
// A point (Answers.h) in the current UCS; "@" answers are relative to `base` when given, else to
// the last point.
int acedGetPoint(const ads_point base, const ACHAR* prompt, ads_point result);
// One entity, picked by its handle ("#2A") or by a point on it; the prompt defaults to
// "\nSelect object: ". RTNORM with the entity's name and the point (UCS) picked (for a handle,
// a point on the entity); RTERROR when the handle names no entity of a layout or nothing lies at
// the point (reported), and for Enter.
int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point point);

namespace qv::host::ed {

// The host's own commands read texts without a buffer of the caller's: an answer of any length,
// read as acedGetString reads it. RTNORM with the text (empty for Enter), RTCAN for Esc or the
// end of the input.
int getText(bool spaces, const std::wstring& prompt, std::wstring& answer);

}  // namespace qv::host::ed
