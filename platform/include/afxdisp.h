// MFC's automation support: OLE dates and times.
#pragma once

#include "afxwin.h"
#include "../mfc/OleDateTime.h"
#include "../mfc/OleDispatchDriver.h"
