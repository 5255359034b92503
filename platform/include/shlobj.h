// The shell: folder picker, item lists and the shell's allocator.
#pragma once

#include "windows.h"
#include "../win32/Shell.h"
