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

// Why the last write through the format failed, in the system's words ("the file cannot be
// created: Permission denied"), as the format said it; empty after a write that succeeded or
// whose format gave no reason. AcDbDatabase::saveAs empties it before it writes, so that the
// host's commands can say why a save failed rather than give its status.
void setDrawingFileError(std::wstring reason);
const std::wstring& drawingFileError();

}  // namespace qv::host
