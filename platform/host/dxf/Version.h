// DXF versions as $ACADVER names them.
#pragma once

#include <string>
#include <string_view>

namespace qv::dxf {

enum class DxfVersion : int {
    R12 = 1009,
    R13 = 1012,
    R14 = 1014,
    R2000 = 1015,
    R2004 = 1018,
    R2007 = 1021,
    R2010 = 1024,
    R2013 = 1027,
    R2018 = 1032,
};

// The version that $ACADVER names ("AC1015"). A version that is not one of the above gives the
// nearest one that is older (or R12 for anything older than R12) and `known` false; text that
// names no version at all gives R2013.
DxfVersion parseVersion(std::string_view acadver, bool& known);
// "AC1027" for R2013.
std::string versionName(DxfVersion version);
// From 2007 on, DXF text is UTF-8; before, it is in the drawing's code page.
inline bool usesUtf8(DxfVersion version) {
    return version >= DxfVersion::R2007;
}

}  // namespace qv::dxf
