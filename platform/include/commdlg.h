// The common file dialogs.
#pragma once

#include "../win32/CommDlg.h"
