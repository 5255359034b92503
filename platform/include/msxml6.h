// The MSXML DOM ("Msxml2.DOMDocument"): namespace MSXML2 and its smart-pointer types.
#pragma once

#include "../msxml/Msxml.h"
