// The framework and host headers that every source file of the module uses.
#pragma once

#include <afx.h>
#include <comdef.h>
#include <comutil.h>
#include <arxHeaders.h>
