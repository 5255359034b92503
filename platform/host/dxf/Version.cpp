#include "host/dxf/Version.h"

#include <charconv>

#include "host/dxf/Numbers.h"

namespace qv::dxf {
namespace {

constexpr DxfVersion kVersions[] = {
    DxfVersion::R12,   DxfVersion::R13,   DxfVersion::R14,   DxfVersion::R2000, DxfVersion::R2004,
    DxfVersion::R2007, DxfVersion::R2010, DxfVersion::R2013, DxfVersion::R2018,
};

}  // namespace

DxfVersion parseVersion(std::string_view acadver, bool& known) {
    acadver = trimBlanks(acadver);
    int number = 0;
    known = false;
    if (acadver.size() != 6 || acadver.substr(0, 2) != "AC") {
        return DxfVersion::R2013;
    }
    const auto [ptr, ec] = std::from_chars(acadver.data() + 2, acadver.data() + 6, number);
    if (ec != std::errc() || ptr != acadver.data() + 6) {
        return DxfVersion::R2013;
    }
    DxfVersion nearest = DxfVersion::R12;
    for (DxfVersion v : kVersions) {
        if (static_cast<int>(v) == number) {
            known = true;
            return v;
        }
        if (static_cast<int>(v) < number) {
            nearest = v;
        }
    }
    return nearest;
}

std::string versionName(DxfVersion version) {
    return "AC" + std::to_string(static_cast<int>(version));
}

}  // namespace qv::dxf
