// The COM support classes: _bstr_t, _variant_t, _com_error, _com_ptr_t and the runtime calls.
#pragma once

#include "../com/Bstr.h"
#include "../com/ComError.h"
#include "../com/ComPtr.h"
#include "../com/ComRuntime.h"
#include "../com/ComTypes.h"
#include "../com/OleDate.h"
#include "../com/SafeArray.h"
#include "../com/Unknown.h"
#include "../com/Variant.h"
