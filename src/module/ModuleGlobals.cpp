#include "module/ModuleGlobals.h"

CString moduleFolder;
CString debugLogPath;
CString assetExclusionList;
CHostIdentity hostIdentity;
