// OLE Automation: BSTR, VARIANT and SAFEARRAY.
#pragma once

#include "../com/Bstr.h"
#include "../com/SafeArray.h"
#include "../com/Variant.h"
