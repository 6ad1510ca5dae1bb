#pragma once

#include <cmath>
#include <limits>

namespace qs {

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4), as every
// position and estimate of the playfield does. Values beyond the int range saturate and
// NaN gives 0, so a bad estimate can only land outside the grid, where every walk checks.
inline int nearest(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace qs
