#pragma once

#include <cmath>
#include <limits>

// Exact IEEE arithmetic is required here: never build with -ffast-math.

namespace qs {

// Rounds to the nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4), as every
// position and estimate of the playfield does. Values beyond the int range saturate and
// NaN gives 0, so a bad estimate can only land outside the grid, where every walk checks.
inline int nearest(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    // Adding and taking away 1.5 * 2^52 leaves no bits below the unit, so the FPU's own
    // rounding (to nearest, ties to even) does the work; the path tracer calls this a few
    // thousand times a frame and a library call would dominate it.
    constexpr double kShift = 6755399441055744.0;
    const double shifted = v + kShift;
    return static_cast<int>(shifted - kShift);
}

}  // namespace qs
