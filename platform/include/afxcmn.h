// MFC's common controls: the tab control.
#pragma once

#include "afxwin.h"
#include "../mfc/dialogs/CTabCtrl.h"
