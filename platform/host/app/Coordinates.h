// Coordinate systems: the drawing's current user coordinate system (UCS), and acedTrans between
// the world (WCS), the UCS, the display and an entity's own plane system.
//
// The display here is a plan view of the world without twist: display coordinates (DCS, code 2;
// paper-space display, code 3) are world coordinates.
#pragma once

#include "../db/AcDbDatabase.h"
#include "../db/ResBuf.h"

// The current UCS of `database` (the working database when null) as the matrix from UCS to
// world coordinates; false (and the identity) when there is no database.
bool acdbUcsMatrix(AcGeMatrix3d& matrix, AcDbDatabase* database = nullptr);
// The same for the current document, as a status.
Acad::ErrorStatus acedGetCurrentUCS(AcGeMatrix3d& matrix);
// Sets the current UCS from a matrix whose x and y columns are perpendicular (eInvalidInput
// otherwise, eNoDatabase without a working database).
Acad::ErrorStatus acedSetCurrentUCS(const AcGeMatrix3d& matrix);

// Converts a point (vector when `vector`) between the current UCS and the world.
bool acdbUcs2Wcs(const ads_point from, ads_point to, bool vector);
bool acdbWcs2Ucs(const ads_point from, ads_point to, bool vector);
// Between the world and the plane system of a normal.
bool acdbWcs2Ecs(const ads_point from, ads_point to, const ads_point normal, bool vector);
bool acdbEcs2Wcs(const ads_point from, ads_point to, const ads_point normal, bool vector);

// Converts `point` from one system to another: each given as RTSHORT 0 (world), 1 (UCS), 2
// (display), 3 (paper-space display), as RT3DPOINT (or RTPOINT) giving a normal whose plane
// system is meant, or as RTENAME of an entity whose plane system is meant (the world for entities
// without one). A non-zero `displacement` converts a vector. RTNORM, or RTERROR for a system it
// cannot read.
int acedTrans(const ads_point point, const resbuf* from, const resbuf* to, int displacement,
              ads_point result);
