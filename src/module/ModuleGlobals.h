// The objects the module keeps for its whole life. Each is built when the library is loaded,
// before the host calls the module's entry point, and destroyed when the library is released.
#pragma once

#include "StdAfx.h"

#include "drawing/HostIdentity.h"

// The host's program folder without a trailing backslash; empty until the load message sets it
// from the host's executable path. The preferences file is moduleFolder + "\orvan\prefs\prefs.cfg".
extern CString moduleFolder;

// The XML debug-log file that every stored-procedure call appends an entry to; empty (nothing is
// logged) unless something sets it.
extern CString debugLogPath;

// Block names of assets to leave out, ","-separated; empty excludes nothing.
extern CString assetExclusionList;

// Which host runs the module, judged once at load; nothing changes it afterwards.
extern CHostIdentity hostIdentity;
