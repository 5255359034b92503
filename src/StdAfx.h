// The framework and host headers that every source file of the module uses.
#pragma once

#include <afx.h>
#include <afxwin.h>
#include <afxdisp.h>
#include <afxdlgs.h>
#include <shlobj.h>
#include <comdef.h>
#include <comutil.h>
#include <msxml6.h>
#include <arxHeaders.h>
