#include "core/ModuleDescription.h"

const CString ORVAN_MODULE_DESCRIPTION = L"ORVAN Halcyra compatible with 64bit BricsCAD 15";
