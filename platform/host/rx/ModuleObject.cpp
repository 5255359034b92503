#include "host/rx/ModuleObject.h"

QV_RX_DEFINE_MEMBERS(OdRxModule, AcRxObject, L"")
