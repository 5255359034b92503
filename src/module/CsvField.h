// One field of a comma-separated line, as RFC 4180 writes it: a text holding a comma, a double
// quote, CR or LF is put in double quotes, each double quote inside doubled; any other text is
// written as it is. Only texts pass through here; the numbers the module formats itself are
// written as they are.
#pragma once

#include "StdAfx.h"

CString csvField(const CString& sText);

// The same for a file that a spreadsheet opens: a text it would take for a formula (one
// beginning with "=", "+", "-", "@", a tab or a carriage return) is neutralised as the OWASP
// advice on CSV injection gives it: a single quote is put before it and the field is quoted, so
// that the program shows the text and runs nothing. A listing on the command line runs nothing
// and shows its texts through csvField.
CString spreadsheetField(const CString& sText);
