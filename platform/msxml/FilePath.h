// File names given to the DOM's load and save, as paths of this machine.
#pragma once

#include <string>

namespace qv::msxml {

// Turns a path given to load or save into a path of this machine (UTF-8). POSIX paths stay as
// they are; "file:" URLs lose their scheme; a Windows path goes through the platform's drive
// mapping (win32/DrivePaths.h). A path that maps nowhere gives the empty text, which no file
// has.
std::string nativePath(const std::wstring& path);

}  // namespace qv::msxml
