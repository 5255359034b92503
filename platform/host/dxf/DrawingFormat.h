// DXF as the host's drawing-file format: AcDbDatabase::readDwgFile and saveAs and the document
// manager's opening of a drawing read and write DXF through this (see host/DrawingFiles.h),
// whatever the file's extension. Paths are Windows paths, mapped to this system's files by the
// drive mapping (win32/DrivePaths.h).
#pragma once

#include <string>

#include "../db/AcDbDatabase.h"

namespace qv::dxf {

// Installs the format. The platform library does it when it is loaded; calling it again changes
// nothing.
void installFormat();

// Reads the drawing at `path` into an empty database. eFileNotFound when there is no such file,
// eFileAccessErr when it cannot be read, eDwgNotRecognized when it is no DXF the host can read
// (the reason is printed on the command line, naming the line). Repairs are printed as warnings.
Acad::ErrorStatus loadDrawingFile(AcDbDatabase& database, const std::wstring& path);
// Writes the database to `path` through a temporary file, so that a failed save leaves the file
// there as it was: eFileAccessErr (with the reason on the command line) when it cannot be
// written, eFilerError when the drawing holds what DXF cannot (a number that is not finite).
Acad::ErrorStatus saveDrawingFile(const AcDbDatabase& database, const std::wstring& path);

}  // namespace qv::dxf
