// MFC's core: strings, arrays, exceptions.
#pragma once

#include "mfc/Arrays.h"
#include "mfc/CString.h"
#include "mfc/Exceptions.h"
#include "win32/MessageBox.h"
#include "win32/WinTypes.h"
