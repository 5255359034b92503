// MFC's common dialogs.
#pragma once

#include "afxwin.h"
#include "../mfc/FileDialog.h"
