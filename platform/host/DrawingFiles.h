// The seam through which the host reads and writes drawing files. The drawing-file code
// installs one format; AcDbDatabase::readDwgFile and saveAs, and the document manager's opening
// of a drawing, go through it. Without a format installed, both give eNotImplementedYet.
#pragma once

#include <functional>
#include <string>

#include "ErrorStatus.h"

class AcDbDatabase;

namespace qv::host {

struct DrawingFileFormat {
    // Fills an empty database (built without defaults) from the file at `path` (a Windows
    // path, as the caller gave it). eFileNotFound when there is no such file; any other
    // refusal leaves the database to be thrown away.
    std::function<Acad::ErrorStatus(AcDbDatabase& database, const std::wstring& path)> read;
    // Writes the database to `path`, replacing a file there.
    std::function<Acad::ErrorStatus(const AcDbDatabase& database, const std::wstring& path)> write;
};

void setDrawingFileFormat(DrawingFileFormat format);
const DrawingFileFormat& drawingFileFormat();

}  // namespace qv::host
