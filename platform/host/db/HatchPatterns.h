// The predefined hatch patterns the host knows. Each is a set of line families; a family is
// drawn as parallel lines through its base point, `spacing` apart (perpendicular to the lines),
// each line shifted `shift` along itself from the one before, solid or dashed (positive: dash,
// negative: gap, 0: dot), all in drawing units at scale 1.
#pragma once

#include <string>
#include <vector>

namespace qv::host {

struct HatchLineFamily {
    double angle;  // degrees
    double baseX, baseY;
    double shift, spacing;
    std::vector<double> dashes;
};

struct HatchPattern {
    std::wstring name;
    std::wstring description;
    bool solid = false;
    std::vector<HatchLineFamily> families;
};

// The pattern of that name (any case), or null.
const HatchPattern* findHatchPattern(const std::wstring& name);
// Every predefined pattern, SOLID first.
const std::vector<HatchPattern>& hatchPatterns();

}  // namespace qv::host
