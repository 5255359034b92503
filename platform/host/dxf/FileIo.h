// Whole files in and out, for drawings: read at once, and written so that a failed save never
// leaves a half-written drawing behind.
#pragma once

#include <string>
#include <string_view>

namespace qv::dxf {

// The bytes of the file at the POSIX path `path`. Throws std::runtime_error naming the file and
// the system's reason when it cannot be read.
std::string readWholeFile(const std::string& path);

// Writes `data` to a temporary file beside `path`, flushes it to disk, and renames it over
// `path`. On any failure the temporary file is removed, `path` is left as it was, and
// std::runtime_error names the file and the reason.
void writeFileAtomically(const std::string& path, std::string_view data);

}  // namespace qv::dxf
