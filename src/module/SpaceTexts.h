// The texts that the commands give a new space block.
#pragma once

#include "StdAfx.h"

class CAttributes;

// "sq.m." for units 0, "sq.ft." for any other units.
CString areaUnitText(int iUnits);

// A new attribute list (the caller's) of three COrvanAttribute records, in this order: NAME,
// AREA and AUX with the values given.
CAttributes* newSpaceTexts(CString sName, CString sArea, CString sAux);
