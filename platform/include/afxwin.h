// MFC's window layer: the application and thread objects, CWnd, dialogs and their data exchange,
// the standard controls, menus, message maps and resources, with the Windows window calls.
#pragma once

#include "afx.h"
#include "../mfc/WinThread.h"
#include "../mfc/dialogs/CDialog.h"
#include "../mfc/dialogs/CMenu.h"
#include "../mfc/dialogs/CWnd.h"
#include "../mfc/dialogs/Controls.h"
#include "../mfc/dialogs/DataExchange.h"
#include "../mfc/dialogs/Geometry.h"
#include "../mfc/dialogs/MessageMap.h"
#include "../mfc/dialogs/Resources.h"
#include "../mfc/dialogs/WindowApi.h"
#include "../mfc/dialogs/WindowDefs.h"
