// COM base: interfaces, GUIDs, initialisation and object creation.
#pragma once

#include "../com/ComError.h"
#include "../com/ComRuntime.h"
#include "../com/ComTypes.h"
#include "../com/Unknown.h"
