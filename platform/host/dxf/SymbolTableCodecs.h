// The tables' own records ("0 TABLE / 2 LAYER ..."), for the tables the host models.
#pragma once

#include <string_view>

#include "Codec.h"

namespace qv::dxf {

// The codec of the record of the table `name` ("LAYER"), or null for a table the host does
// not model (VPORT, VIEW, UCS, DIMSTYLE, ...).
const Codec* tableCodec(std::string_view name);
// The codec of a table object of the host, or null.
const Codec* tableCodecOf(const AcDbObject& table);
// The DXF name of a table object of the host ("LAYER"), or empty.
std::string_view tableName(const AcDbObject& table);

}  // namespace qv::dxf
