// File names given to the DOM's load and save, as paths of this machine.
#pragma once

#include <functional>
#include <string>

namespace qv::msxml {

// Turns a path given to load or save into a path of this machine (UTF-8). POSIX paths stay as
// they are; "file:" URLs lose their scheme; a Windows path goes through the installed mapper.
std::string nativePath(const std::wstring& path);

// Installs the mapping of Windows paths (drive letters, backslashes); null restores the
// built-in one, which maps drive Z: to the root, every other drive letter X: to the folder
// $HOME/.cadhost/drive_x, and backslashes to slashes.
using PathMapper = std::function<std::string(const std::wstring&)>;
void setPathMapper(PathMapper mapper);

}  // namespace qv::msxml
