#include "module/ModuleGlobals.h"

CString moduleFolder;
CString tempFolder;
