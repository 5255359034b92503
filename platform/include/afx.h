// MFC's core: strings, arrays, exceptions, files and times, over the Windows API.
#pragma once

#include "windows.h"

#include "../mfc/Arrays.h"
#include "../mfc/CString.h"
#include "../mfc/Exceptions.h"
#include "../mfc/File.h"
#include "../mfc/StdioFile.h"
#include "../mfc/Time.h"
