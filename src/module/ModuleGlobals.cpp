#include "module/ModuleGlobals.h"

CString moduleFolder;
CString tempFolder;
CString debugLogPath;
CString assetExclusionList;
CHostIdentity hostIdentity;
