#include "host/db/HatchPatterns.h"

#include "host/db/SymbolTables.h"

namespace qv::host {

const std::vector<HatchPattern>& hatchPatterns() {
    // Spacings are in drawing units: the ANSI families are an eighth of an inch (3.175) apart.
    static const std::vector<HatchPattern> patterns = {
        {L"SOLID", L"Solid fill", true, {}},
        {L"ANSI31", L"Iron, brick, stone masonry", false, {{45, 0, 0, 0, 3.175, {}}}},
        {L"ANSI32", L"Steel", false, {{45, 0, 0, 0, 9.525, {}}, {45, 4.49, 0, 0, 9.525, {}}}},
        {L"ANSI33",
         L"Bronze, brass, copper",
         false,
         {{45, 0, 0, 0, 6.35, {}}, {45, 4.49, 0, 6.35, 6.35, {3.175, -1.5875}}}},
        {L"ANSI34",
         L"Plastic, rubber",
         false,
         {{45, 0, 0, 0, 19.05, {}},
          {45, 4.49, 0, 0, 19.05, {}},
          {45, 8.98, 0, 0, 19.05, {}},
          {45, 13.47, 0, 0, 19.05, {}}}},
        {L"ANSI35",
         L"Fire brick, refractory material",
         false,
         {{45, 0, 0, 0, 6.35, {}}, {45, 4.49, 0, 6.35, 6.35, {7.9375, -1.5875, 0, -1.5875}}}},
        {L"ANSI36",
         L"Marble, slate, glass",
         false,
         {{45, 0, 0, 5.55625, 3.175, {7.9375, -1.5875, 0, -1.5875}}}},
        {L"ANSI37",
         L"Lead, zinc, magnesium",
         false,
         {{45, 0, 0, 0, 3.175, {}}, {135, 0, 0, 0, 3.175, {}}}},
        {L"ANSI38",
         L"Aluminum",
         false,
         {{45, 0, 0, 0, 3.175, {}}, {135, 0, 0, 6.35, 3.175, {7.9375, -4.7625}}}},
        {L"LINE", L"Parallel horizontal lines", false, {{0, 0, 0, 0, 3.175, {}}}},
        {L"NET",
         L"Horizontal and vertical grid",
         false,
         {{0, 0, 0, 0, 3.175, {}}, {90, 0, 0, 0, 3.175, {}}}},
        {L"NET3",
         L"Network pattern 0-60-120",
         false,
         {{0, 0, 0, 0, 3.175, {}}, {60, 0, 0, 0, 3.175, {}}, {120, 0, 0, 0, 3.175, {}}}},
        {L"CROSS",
         L"A series of crosses",
         false,
         {{0, 0, 0, 6.35, 6.35, {3.175, -9.525}},
          {90, 1.5875, -1.5875, 6.35, 6.35, {3.175, -9.525}}}},
        {L"DASH", L"Dashed lines", false, {{0, 0, 0, 3.175, 3.175, {3.175, -3.175}}}},
        {L"DOTS", L"A series of dots", false, {{0, 0, 0, 0.79375, 1.5875, {0, -1.5875}}}},
        {L"SQUARE",
         L"Small aligned squares",
         false,
         {{0, 0, 0, 0, 3.175, {3.175, -3.175}}, {90, 0, 0, 0, 3.175, {3.175, -3.175}}}},
        {L"BRICK",
         L"Brick or masonry-type surface",
         false,
         {{0, 0, 0, 0, 6.35, {}},
          {90, 0, 0, 6.35, 6.35, {6.35, -6.35}},
          {90, 6.35, 0, 6.35, 6.35, {-6.35, 6.35}}}},
        {L"ANGLE",
         L"Angle steel",
         false,
         {{0, 0, 0, 0, 6.985, {5.08, -1.905}}, {90, 0, 0, 0, 6.985, {5.08, -1.905}}}},
        {L"HONEY",
         L"Honeycomb pattern",
         false,
         {{0, 0, 0, 4.7625, 2.74963, {3.175, -6.35}},
          {120, 0, 0, 4.7625, 2.74963, {3.175, -6.35}},
          {60, 0, 0, 4.7625, 2.74963, {-6.35, 3.175}}}},
        {L"EARTH",
         L"Earth or ground (subterranean)",
         false,
         {{0, 0, 0, 6.35, 6.35, {6.35, -6.35}}, {90, 0.46875, 5.88125, 6.35, 6.35, {6.35, -6.35}}}},
    };
    return patterns;
}

const HatchPattern* findHatchPattern(const std::wstring& name) {
    const std::wstring folded = foldName(name);
    for (const HatchPattern& p : hatchPatterns()) {
        if (p.name == folded) {
            return &p;
        }
    }
    return nullptr;
}

}  // namespace qv::host
