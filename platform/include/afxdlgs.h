// MFC's standard dialogs.
#pragma once

#include "afxwin.h"
