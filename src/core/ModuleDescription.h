// The module description that every error object names as its source.
#pragma once

#include "StdAfx.h"

extern const CString ORVAN_MODULE_DESCRIPTION;
