// The COM support strings and values: _bstr_t and _variant_t.
#pragma once

#include "../com/Bstr.h"
#include "../com/Variant.h"
