// Reads a DXF file into the host's database: records become host objects as they stream past
// (the file text is never kept as a whole), records of types the host does not model are kept
// as read, and references are resolved once the whole file is read. What a 2013 drawing needs
// and the file lacks (tables, layer "0", model space, the named-object dictionary, ...) is
// added, and every repair is reported.
#pragma once

#include <string>
#include <string_view>

#include "../db/AcDbDatabase.h"
#include "AuditReport.h"

namespace qv::dxf {

class MappedFile;

// Reads the bytes of a DXF file (R12 to 2018, see TextDecoding.h) into `database`, which must be
// empty (built without defaults). Throws DxfError when the file is refused; the database must
// then be thrown away.
void readDrawing(std::string_view bytes, AcDbDatabase& database, AuditReport& report);
// The same for a mapped file, whose pages are given back as they are read (a large drawing is
// never in memory as a whole).
void readDrawing(MappedFile& file, AcDbDatabase& database, AuditReport& report);

}  // namespace qv::dxf
