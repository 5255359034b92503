// The factors between the metric and the imperial units of space blocks (units 0: metres and
// square metres; units 1: feet and square feet).
#pragma once

inline constexpr double FEET_PER_METRE = 3.2808399;
inline constexpr double SQUARE_FEET_PER_SQUARE_METRE = 10.7639104;
