// A variable-length text parameter; see database/ParameterText.h.
#pragma once

#include "database/ParameterText.h"
