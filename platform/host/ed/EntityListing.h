// The LIST command's view of entities: one line per entity with its handle, class, layer and main
// properties, then indented lines for the attributes of a block reference and for extended data.
//
//   2A AcDbPolyline layer "0": closed, 4 vertices (0,0) (10,0) (10,5) (0,5), area 50
//   2B AcDbBlockReference layer "ROOMS": block "ROOM-1" at (5,2.5,0), scale 1, rotation 0
//       attribute NAME "Office"
//       xdata "ADE": 1000 "NAME=Office", 1040 50
//
// Numbers are written with at most four decimals, without trailing zeros; rotations in degrees.
#pragma once

#include <string>

#include "../db/AcDbEntity.h"

namespace qv::host::ed {

std::wstring describeEntity(const AcDbEntity& entity);
// A number as the listing writes it.
std::wstring listNumber(double value);

}  // namespace qv::host::ed
