// The framework and host headers that every source file of the module uses.
#pragma once

#include <afx.h>
