// One field of a comma-separated line, as RFC 4180 writes it: a text holding a comma, a double
// quote, CR or LF is put in double quotes, each double quote inside doubled; any other text is
// written as it is.
#pragma once

#include "StdAfx.h"

CString csvField(const CString& sText);
