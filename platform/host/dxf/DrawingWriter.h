// Writes the host's database as a DXF 2013 file (AC1027, UTF-8): every object the host models,
// and everything the file it was read from held that the host does not model, written back as
// it was read.
#pragma once

#include <string>
#include <vector>

#include "../db/AcDbDatabase.h"

namespace qv::dxf {

// The text of the drawing. Objects of classes the writer does not know are left out and named
// in `leftOut` (one entry per class) when it is given.
std::string writeDrawing(const AcDbDatabase& database, std::vector<std::string>* leftOut = nullptr);

}  // namespace qv::dxf
