#include "host/GroupCodes.h"

#include <array>

namespace qv::host {

namespace {

using T = GroupType;

constexpr GroupRange kRanges[] = {
    {0, 4, T::Text},  // 0 record type, 1 primary text, 2 name, 3-4 other texts
    {5, 5, T::Handle},
    {6, 9, T::Text},  // 6 linetype, 7 text style, 8 layer, 9 header variable
    {10, 18, T::PointX},
    {19, 19, T::Real},
    {20, 37, T::Coordinate},
    {38, 59, T::Real},  // 38 elevation, 39 thickness, 40-48 reals, 49 dash lengths, 50-58 angles
    {60, 79, T::Int16},
    {90, 99, T::Int32},
    {100, 104, T::Text},  // 100 subclass marker, 101 embedded object, 102 control string
    {105, 105, T::Handle},
    {106, 109, T::Text},
    {110, 119, T::PointX},
    {120, 139, T::Coordinate},
    {140, 149, T::Real},
    {160, 169, T::Int64},
    {170, 179, T::Int16},
    {210, 219, T::PointX},
    {220, 239, T::Coordinate},
    {270, 289, T::Int16},
    {290, 299, T::Bool},
    {300, 309, T::Text},
    {310, 319, T::Binary},
    {320, 329, T::Handle},
    {330, 369, T::Pointer},  // 330 soft pointer, 340 hard pointer, 350 soft owner, 360 hard owner
    {370, 389, T::Int16},    // 370 line weight, 380 plot style type
    {390, 399, T::Pointer},  // plot style name object
    {400, 409, T::Int16},
    {410, 419, T::Text},
    {420, 429, T::Int32},  // true colours
    {430, 439, T::Text},   // colour names
    {440, 459, T::Int32},  // transparency and other 32-bit integers
    {460, 469, T::Real},
    {470, 479, T::Text},
    {480, 481, T::Pointer},
    {999, 999, T::Text},  // comment
    {1000, 1003, T::Text},
    {1004, 1004, T::Binary},
    {1005, 1005, T::Handle},
    {1006, 1009, T::Text},
    {1010, 1019, T::PointX},
    {1020, 1039, T::Coordinate},
    {1040, 1059, T::Real},
    {1060, 1070, T::Int16},
    {1071, kLastGroupCode, T::Int32},
};

// groupType of every code from 0 to kLastGroupCode, filled once.
const std::array<GroupType, kLastGroupCode + 1>& typeByCode() {
    static const auto table = [] {
        std::array<GroupType, kLastGroupCode + 1> t;
        t.fill(T::Unused);
        for (const GroupRange& r : kRanges) {
            for (int code = r.first; code <= r.last; ++code) {
                t[static_cast<size_t>(code)] = r.type;
            }
        }
        return t;
    }();
    return table;
}

}  // namespace

std::span<const GroupRange> groupRanges() {
    return kRanges;
}

GroupType groupType(int code) {
    if (code < 0 || code > kLastGroupCode) {
        return T::Unused;
    }
    return typeByCode()[static_cast<size_t>(code)];
}

bool isExtendedDataCode(int code) {
    return (code >= 1000 && code <= 1005) || (code >= 1010 && code <= 1013) ||
           (code >= 1040 && code <= 1042) || code == 1070 || code == 1071;
}

}  // namespace qv::host
