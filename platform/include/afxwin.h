// MFC's window layer: the application and thread objects.
#pragma once

#include "afx.h"
#include "mfc/WinThread.h"
