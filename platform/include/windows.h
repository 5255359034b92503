// The Windows API as far as this platform provides it.
#pragma once

#include "../win32/CommDlg.h"
#include "../win32/DrivePaths.h"
#include "../win32/FileApi.h"
#include "../win32/MessageBox.h"
#include "../win32/Module.h"
#include "../win32/Process.h"
#include "../win32/SystemMessage.h"
#include "../win32/TimeApi.h"
#include "../win32/WideChar.h"
#include "../win32/WinError.h"
#include "../win32/WinTypes.h"
#include "../win32/WinUser.h"
