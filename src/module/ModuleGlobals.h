// The objects the module keeps for its whole life. Each is built when the library is loaded,
// before the host calls the module's entry point, and destroyed when the library is released.
#pragma once

#include "StdAfx.h"

#include "core/Log.h"
#include "drawing/HostIdentity.h"

// debugLogPath, the XML debug log of stored-procedure calls, lives in core (core/Log.h).

// The host's program folder without a trailing backslash; empty until the load message sets it
// from the host's executable path. The preferences file is moduleFolder + PREFERENCES_FILE.
extern CString moduleFolder;

// moduleFolder + TEMP_FOLDER, set with moduleFolder at load; nothing else reads it.
extern CString tempFolder;

// The asset exclusion list, assetExclusionList, lives with the assets that read it
// (blocks/Assets.h).

// Which host runs the module: hostIdentity, kept with its class (drawing/HostIdentity.h), where
// the plot path reads it.

// The module's folders and its preferences file, each appended to a program folder.
inline constexpr wchar_t PREFERENCES_FOLDER[] = L"\\orvan\\prefs\\";
inline constexpr wchar_t PREFERENCES_FILE[] = L"\\orvan\\prefs\\prefs.cfg";
inline constexpr wchar_t TEMP_FOLDER[] = L"\\orvan\\temp\\";

// The version text that every command banner and the About dialog show.
inline constexpr wchar_t MODULE_VERSION[] = L"64.04.00.01";
