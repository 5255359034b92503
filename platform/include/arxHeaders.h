// The host's programming interface: everything the module calls on the CAD host.
#pragma once

#include "host/AcCmColor.h"
#include "host/AdeskTypes.h"
#include "host/CommandLine.h"
#include "host/ErrorStatus.h"
